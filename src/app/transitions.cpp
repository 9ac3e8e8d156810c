// transitions.cpp: what a click on each screen's buttons and the Escape key do to the screen state.
#include "core/state.h"
#include "play/play.h"
#include "app/spine.h"
#include "audio/audio.h"
#include "board.h"
#include "menus/menus.h"
#include "platform.h"

namespace {

void RestartGame() {
    Menus.InGameHover = 0;
    Menus.GameOverHover = 0;
    Menus.InGameQuitHover = 0;
    StartGame(false);  // same mode and size; the game track keeps playing
}

void ClickMainMenu(int button) {
    switch (button) {
        case 1:
            EnterMenuScreen(StateGameMode);
            break;
        case 2:
            GameVars.GameMode = RandomInt(3, 1);
            GameVars.BoardSize = RandomInt(3, 1);
            StartGame(true);
            break;
        case 3:
            OpenSettings();
            break;
        case 4:
            EnterMenuScreen(StateHelp);
            break;
        case 5:
            EnterMenuScreen(StateCredits);
            break;
        case 6:
            EnterMenuScreen(StateQuitConfirm);
            break;
    }
    Menus.MainMenuHover = 0;  // the setter runs when the menu is entered again
}

void ClickGameMode(int button) {
    if (button <= 3) {
        GameVars.GameMode = button;
        EnterMenuScreen(StateBoardSize);
    } else {
        GameVars.GameMode = 0;
        EnterMenuScreen(StateMainMenu);
    }
    Menus.GameModeHover = 0;
}

void ClickBoardSize(int button) {
    if (button <= 3) {
        GameVars.BoardSize = button;
        StartGame(true);
    } else {
        GameVars.BoardSize = 0;
        EnterMenuScreen(StateGameMode);
    }
    Menus.BoardSizeHover = 0;
}

void ClickSettings(int row) {
    if (row == 6) {
        ApplySettings();
        if (App.ReopenPending) RebuildDisplay();
        return;
    }
    if (row == 7) {
        Menus.SettingsHover = 0;
        EnterMenuScreen(StateMainMenu);
        return;
    }
    StepSettingsRow(row);
    ResetSettingsRows(Menus.SettingsHover);
}

void ClickInGameMenu(int button) {
    switch (button) {
        case 1:
            Menus.InGameHover = 0;
            App.ScreenState = StatePlaying;
            break;
        case 2:
            RestartGame();
            break;
        case 3:
            EnterMenuScreen(StateInGameQuit);
            break;
    }
}

}  // namespace

void HandleClick() {
    const int state = App.ScreenState;
    if (state == StatePlaying) {
        ClickMenuButton();
        return;
    }
    MenuScreenRef screen = MenuScreenFor(state);
    if (screen.count == 0 || *screen.hover == 0) {
        return;  // no button under the pointer: no sound, nothing happens
    }
    const int button = *screen.hover;
    PlayEffect(SndClick);  // every accepted click sounds before its action
    switch (state) {
        case StateMainMenu: ClickMainMenu(button); break;
        case StateGameMode: ClickGameMode(button); break;
        case StateBoardSize: ClickBoardSize(button); break;
        case StateHelp:
        case StateCredits: EnterMenuScreen(StateMainMenu); break;
        case StateSettings: ClickSettings(button); break;
        case StateQuitConfirm:
            if (button == 1) {
                App.QuitRequested = 1;
            } else {
                EnterMenuScreen(StateMainMenu);
            }
            break;
        case StateInGameMenu: ClickInGameMenu(button); break;
        case StateInGameQuit:
            if (button == 1) {
                EndGameForMenu(true);
            } else {
                EnterMenuScreen(StateInGameMenu);
            }
            break;
        case StateGameOver:
            if (button == 1) {
                RestartGame();
            } else {
                EndGameForMenu(false);
            }
            break;
        default: break;
    }
}

void StepSettingsBack() {
    const int row = Menus.SettingsHover;
    if (App.ScreenState != StateSettings || row < 1 || row > 5) {
        return;
    }
    PlayEffect(SndClick);
    StepSettingsRowBack(row);
    ResetSettingsRows(row);
}

void HandleEscape() {
    switch (App.ScreenState) {
        case StateMainMenu:
            App.QuitRequested = 1;  // no question asked
            break;
        case StateBoardSize:
            GameVars.BoardSize = 0;
            EnterMenuScreen(StateGameMode);
            break;
        case StateGameMode:
        case StateHelp:
        case StateCredits:
        case StateSettings:  // the pending values are dropped
        case StateQuitConfirm:
            EnterMenuScreen(StateMainMenu);
            break;
        default:
            break;  // the intro cannot be skipped; the play screen has its own keys
    }
}
