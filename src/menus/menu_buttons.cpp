// menu_buttons.cpp: the button records of every menu-like screen, their hover setters and hover tracking.
#include "core/state.h"
#include "menus/menus.h"
#include "platform.h"

MenuScreensState Menus;

namespace {

// Normal image numbers per button, numbered from 1; each hover image is the normal one + 1.
constexpr int MainMenuImages[7] = {0, 19, 21, 23, 25, 27, 29};
constexpr int BoardSizeImages[5] = {0, 41, 43, 45, 47};
constexpr int GameModeImages[5] = {0, 49, 51, 53, 55};
constexpr int HelpImages[2] = {0, 75};
constexpr int CreditsImages[2] = {0, 77};
constexpr int QuitImages[3] = {0, 79, 81};
constexpr int InGameImages[4] = {0, 31, 33, 35};
constexpr int GameOverImages[3] = {0, 37, 39};

void SetButtonImages(MenuButton* buttons, int count, const int* normal, int hovered) {
    for (int i = 1; i <= count; ++i) {
        buttons[i].image = normal[i];
    }
    if (hovered >= 1 && hovered <= count) {
        buttons[hovered].image = normal[hovered] + 1;
    }
}

}  // namespace

void ResetMenuState() {
    Menus = MenuScreensState{};
}

void ResetMainMenuHover(int n) { SetButtonImages(Menus.MainMenu, 6, MainMenuImages, n); }
void ResetBoardSizeHover(int n) { SetButtonImages(Menus.BoardSize, 4, BoardSizeImages, n); }
void ResetGameModeHover(int n) { SetButtonImages(Menus.GameMode, 4, GameModeImages, n); }
void ResetHelpHover(int n) { SetButtonImages(Menus.Help, 1, HelpImages, n); }
void ResetCreditsHover(int n) { SetButtonImages(Menus.Credits, 1, CreditsImages, n); }
void ResetQuitHover(int n) { SetButtonImages(Menus.Quit, 2, QuitImages, n); }
void ResetInGameHover(int n) { SetButtonImages(Menus.InGame, 3, InGameImages, n); }
void ResetInGameQuitHover(int n) { SetButtonImages(Menus.InGameQuit, 2, QuitImages, n); }
void ResetGameOverHover(int n) { SetButtonImages(Menus.GameOver, 2, GameOverImages, n); }

MenuScreenRef MenuScreenFor(int screenState) {
    switch (screenState) {
        case StateMainMenu:
            return {Menus.MainMenu, 6, &Menus.MainMenuHover, ResetMainMenuHover, &Menus.MainMenuPanel};
        case StateBoardSize:
            return {Menus.BoardSize, 4, &Menus.BoardSizeHover, ResetBoardSizeHover, &Menus.BoardSizePanel};
        case StateGameMode:
            return {Menus.GameMode, 4, &Menus.GameModeHover, ResetGameModeHover, &Menus.GameModePanel};
        case StateHelp:
            return {Menus.Help, 1, &Menus.HelpHover, ResetHelpHover, &Menus.HelpPanel};
        case StateCredits:
            return {Menus.Credits, 1, &Menus.CreditsHover, ResetCreditsHover, &Menus.CreditsPanel};
        case StateSettings:
            return {Menus.Settings, 7, &Menus.SettingsHover, ResetSettingsRows, &Menus.SettingsPanel};
        case StateQuitConfirm:
            return {Menus.Quit, 2, &Menus.QuitHover, ResetQuitHover, &Menus.QuitPanel};
        case StateInGameMenu:
            return {Menus.InGame, 3, &Menus.InGameHover, ResetInGameHover, &Menus.InGamePanel};
        case StateInGameQuit:
            return {Menus.InGameQuit, 2, &Menus.InGameQuitHover, ResetInGameQuitHover, &Menus.InGameQuitPanel};
        case StateGameOver:
            return {Menus.GameOver, 2, &Menus.GameOverHover, ResetGameOverHover, &Menus.GameOverPanel};
        default:
            return {};
    }
}

void EnterMenuScreen(int screenState) {
    MenuScreenRef screen = MenuScreenFor(screenState);
    if (screen.count > 0) {
        *screen.hover = 0;
        screen.setHover(0);
    }
    App.ScreenState = screenState;
}

void UpdateMenuHover(int screenState, int x, int y) {
    MenuScreenRef screen = MenuScreenFor(screenState);
    if (screen.count == 0) {
        return;
    }
    if (Menus.KeyHoldsHighlight) {
        if (x == Menus.KeyPointerX && y == Menus.KeyPointerY) {
            return;  // the pointer has not moved since a key took the highlight
        }
        Menus.KeyHoldsHighlight = 0;
    }
    int found = 0;
    for (int i = 1; i <= screen.count; ++i) {
        if (PointInButton(screen.buttons[i], x, y)) {
            found = i;  // overlapping rectangles: the lower number wins
            break;
        }
    }
    if (found != *screen.hover) {
        *screen.hover = found;
        screen.setHover(found);
    }
}

void DrawMenuScreen(int screenState) {
    MenuScreenRef screen = MenuScreenFor(screenState);
    if (screen.count == 0) {
        return;
    }
    DrawSprite(screen.panel->image, screen.panel->x, screen.panel->y);
    for (int i = 1; i <= screen.count; ++i) {
        const MenuButton& b = screen.buttons[i];
        DrawSprite(b.image, b.drawX, b.drawY);
    }
}
