// state.h: the game's gathered state that every subsystem reads: settings, paths, screen state.
#pragma once

#include <string>

enum ScreenStateValue {
    StateLogo = 0,
    StateTitle = 1,
    StateMainMenu = 2,
    StateBoardSize = 3,
    StateGameMode = 4,
    StateHelp = 5,
    StateCredits = 6,
    StateSettings = 7,
    StateQuitConfirm = 8,
    StatePlaying = 9,
    StateInGameMenu = 10,
    StateInGameQuit = 11,
    StateGameOver = 12
};

enum GameScreenValue { ScreenFullscreen = 0, ScreenWindowed = 1, ScreenBorderless = 2 };

// The six settings; each exists as the value in force and a pending copy.
struct GameSettings {
    std::string Language;
    int GameScreen = ScreenBorderless;
    int Resolution = 1;
    int Music = 1;
    int Sounds = 1;
    int MusicVolume = 100;
};

struct AppState {
    int ScreenState = StateLogo;
    int SplashCounter = 0;
    int QuitRequested = 0;
    int ReopenPending = 0;
    int ClickArmed = 0;
    GameSettings Settings;  // in force
    GameSettings Pending;   // edited by the settings screen
    std::string GameDir;    // each path ends with '/'; the game's data files are read from here
    std::string ProgramDir;  // the program's folder: a Prismoria.prefs here means portable use
    std::string UserDir;
    std::string SaveTo;
};

extern AppState App;

// Shows the fatal message box built from the error texts and ends the process
// without saving anything. `messageKey` is "tErrorSUBSYSTEM", "tErrorSCREEN" or
// "tErrorASSET"; `suffix` is appended to the message (e.g. "  : Sound").
[[noreturn]] void FatalError(const std::string& messageKey, const std::string& suffix = "");

// Pointer position of this frame: the window's client position in the windowed
// modes, the full-screen mouse otherwise.
int PointerX();
int PointerY();
