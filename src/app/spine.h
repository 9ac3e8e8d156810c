// spine.h: the start-up, main-loop and input pieces of the app, shared by its files and the tests.
#pragma once

#include <cstdint>
#include <string>

// ---------------------------------------------------------------- start-up and end

void StartUp();
// Every menu panel and the gem wall, built on the surface as it is now.
void BuildScreenPanels();
// A new screen in the pending mode and resolution (the settings' OK): the
// display reopened, every panel rebuilt, the title intro played again.
void RebuildDisplay();
void RunMainLoop();
// A quit signal received (SIGTERM, SIGINT, SIGHUP) ends the loop at the end of
// the frame, as the window's close does.
void TakeQuitSignal();
// Full screen and borderless: when the desktop's size changed or the screen's
// display went away, the display is rebuilt for the desktop as it is now (a
// game in progress ends, the title intro plays). True when it was rebuilt.
bool FollowDesktopChanges();
// Saves the preferences and best scores and shuts the platform layer down.
void ShutDown();
// One pass of the main loop: window events, present, draw, timers, input, keys.
void RunOneFrame();

// Test hooks for start-up: a game folder other than the program's own.
struct StartOptions {
    std::string GameDir;  // "" = the folder of the executable
};
extern StartOptions Start;

// ---------------------------------------------------------------- folders

// ProgramDir from the program's folder; GameDir the folder holding the data
// pack: ProgramDir itself, else the installed share folder relative to it;
// UserDir from the per-user data folder ("" when the system names none); SaveTo
// starts as ProgramDir.
void FindFolders();
// The per-user folder below a data folder: "dawnwhistle game studio/Prismoria/".
std::string UserFolderBelow(const std::string& dataFolder);
// Reads the preferences from ProgramDir, else from UserDir (created when missing),
// and sets SaveTo to the folder the preferences belong to.
void ReadStartupPreferences();
// Removes the temporary files a save cut short left in SaveTo.
void RemoveUnfinishedSaves();

// ---------------------------------------------------------------- log report

struct SystemFacts {
    std::string CpuName;
    int TotalCores = 1;
    int AvailableCores = 1;
    int64_t TotalMemory = 0;
    int64_t FreeMemory = 0;
    int Desktops = 1;
    int OsVersion = 0;
};

SystemFacts ReadSystemFacts();
std::string LogFileName(int64_t startTime);
std::string ScreenModeName(int gameScreen);
// The sections "[SYSTEM DETAILS]" to "[INITIAL SETTINGS]".
void WriteSystemReport(const SystemFacts& facts);
// Creates SaveTo + the log file name, writes the first two lines and the report.
bool StartLogReport(const SystemFacts& facts, int64_t startTime);
// "[AVAILABLE LANGUAGES]" with one line per language, then "[STARTING GAME]".
void LogAvailableLanguages();

// ---------------------------------------------------------------- frame pieces

void DrawScreenState();
void StepIntro();
void HandlePointer();
void DrainWindowEvents();
void HandleClick();
void HandleKeys();
// F2, M, N and the keypad volume keys, the same on every screen.
void HandleGlobalKeys();
void HandleEscape();
// Left on a highlighted settings row: the click's sound, then its value stepped
// the other way round.
void StepSettingsBack();
// F2: the frame drawn so far, saved as SaveTo + "Prismoria <date> <time>.bmp".
// Returns the file name tried.
std::string TakeScreenshot();
std::string ScreenshotFileName(int64_t time);


// Loop state that belongs to the spine alone.
struct LoopState {
    int TrackPausedByInactive = 0;  // full screen: resume the music once the screen is back
    int Frames = 0;                 // frames run since start-up
    int KeysScreen = 0;             // the screen state when the keys were last read
};
extern LoopState Loop;
