// transitions.cpp: what a click on each screen's buttons and the Escape key do to the screen state.
#include "app/app.h"
#include "app/screens.h"
#include "app/spine.h"
#include "audio/audio.h"
#include "board.h"
#include "menus/menus.h"
#include "platform.h"

namespace {

void EnterMainMenu() {
    Menus.MainMenuHover = 0;
    ResetMainMenuHover(0);
    App.ScreenState = StateMainMenu;
}

void EnterGameMode() {
    Menus.GameModeHover = 0;
    ResetGameModeHover(0);
    App.ScreenState = StateGameMode;
}

void EnterBoardSize() {
    Menus.BoardSizeHover = 0;
    ResetBoardSizeHover(0);
    App.ScreenState = StateBoardSize;
}

void EnterInGameMenu() {
    Menus.InGameHover = 0;
    ResetInGameHover(0);
    App.ScreenState = StateInGameMenu;
}

void RestartGame() {
    Menus.InGameHover = 0;
    Menus.GameOverHover = 0;
    Menus.InGameQuitHover = 0;
    StartGame(false);  // same mode and size; the game track keeps playing
}

void ClickMainMenu(int button) {
    switch (button) {
        case 1:
            EnterGameMode();
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
            Menus.HelpHover = 0;
            ResetHelpHover(0);
            App.ScreenState = StateHelp;
            break;
        case 5:
            Menus.CreditsHover = 0;
            ResetCreditsHover(0);
            App.ScreenState = StateCredits;
            break;
        case 6:
            Menus.QuitHover = 0;
            ResetQuitHover(0);
            App.ScreenState = StateQuitConfirm;
            break;
    }
    Menus.MainMenuHover = 0;  // the setter runs when the menu is entered again
}

void ClickGameMode(int button) {
    if (button <= 3) {
        GameVars.GameMode = button;
        EnterBoardSize();
    } else {
        GameVars.GameMode = 0;
        EnterMainMenu();
    }
    Menus.GameModeHover = 0;
}

void ClickBoardSize(int button) {
    if (button <= 3) {
        GameVars.BoardSize = button;
        StartGame(true);
    } else {
        GameVars.BoardSize = 0;
        EnterGameMode();
    }
    Menus.BoardSizeHover = 0;
}

void ClickSettings(int row) {
    if (row == 6) {
        ApplySettings();
        return;
    }
    if (row == 7) {
        Menus.SettingsHover = 0;
        EnterMainMenu();
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
            Menus.InGameQuitHover = 0;
            ResetInGameQuitHover(0);
            App.ScreenState = StateInGameQuit;
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
    PlayEffect(SndClick);
    switch (state) {
        case StateMainMenu: ClickMainMenu(button); break;
        case StateGameMode: ClickGameMode(button); break;
        case StateBoardSize: ClickBoardSize(button); break;
        case StateHelp:
        case StateCredits: EnterMainMenu(); break;
        case StateSettings: ClickSettings(button); break;
        case StateQuitConfirm:
            if (button == 1) {
                App.QuitRequested = 1;
            } else {
                EnterMainMenu();
            }
            break;
        case StateInGameMenu: ClickInGameMenu(button); break;
        case StateInGameQuit:
            if (button == 1) {
                EndGameForMenu(true);
            } else {
                EnterInGameMenu();
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

void HandleEscape() {
    switch (App.ScreenState) {
        case StateMainMenu:
            App.QuitRequested = 1;  // no question asked
            break;
        case StateBoardSize:
            GameVars.BoardSize = 0;
            EnterGameMode();
            break;
        case StateGameMode:
        case StateHelp:
        case StateCredits:
        case StateSettings:  // the pending values are dropped
        case StateQuitConfirm:
            EnterMainMenu();
            break;
        default:
            break;  // the intro cannot be skipped; the play screen has its own keys
    }
}
