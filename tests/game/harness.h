// harness.h: runs the whole game headless for tests: temporary folders, start-up, injected input, frames.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/state.h"
#include "menus/menus.h"

struct HarnessOptions {
    int gameScreen = ScreenBorderless;
    bool portable = false;  // preferences beside the program instead of the user folder
    int music = 1;
    int sounds = 1;
    int musicVolume = 100;
    std::vector<std::string> arguments;  // command-line parameters after the program name
    // The desktop the headless backend reports; small keeps the frames quick.
    int desktopWidth = 1024;
    int desktopHeight = 576;
    // A language pack of these files (code, bytes) instead of the shipped one;
    // with noLanguages, no pack at all.
    std::vector<std::pair<std::string, std::string>> languages;
    bool noLanguages = false;
};

struct HarnessFolders {
    std::string root;      // this test's own folder, emptied at the start
    std::string gameDir;   // stands in for the program's folder (links to the data files)
    std::string dataHome;  // XDG_DATA_HOME
    std::string userDir;   // the per-user folder the game uses below dataHome
};
extern HarnessFolders Folders;

// True when the built data pack exists (tests that start the game skip without it).
bool GameDataAvailable();
// Fresh folders for the running test; the environment points HOME and
// XDG_DATA_HOME into them so nothing reaches the real user's folders.
void PrepareFolders();
// Writes a preferences file with the options into the folder.
void WritePrefsFile(const std::string& folder, const HarnessOptions& options);
// PrepareFolders, preferences, command line, headless backend, StartUp.
void StartHarness(const HarnessOptions& options = HarnessOptions{});
// Command line, headless backend and StartUp in the folders as they are now: a
// second run of the game after ShutDown (or after a process that never ended).
void LaunchGame(const HarnessOptions& options = HarnessOptions{});
void StopHarness();

// The frame-running helpers below also play the sound of each frame (1/60 second).
void RunFrames(int count);
// True when any sound was heard in those frames since the last call.
bool SoundHeardSinceLastAsked();
// Runs frames until the state is reached (at most `limit`); true when it was.
bool RunUntilState(int state, int limit = 2000);
// Press and release a key; the next frame sees it released.
void TapKey(int key);
// Pointer to (x, y), one frame for the hover, then a full left click.
void ClickAt(int x, int y);
// Clicks the middle of button n of the screen state's menu.
void ClickButton(int state, int n);
// Starts from the main menu (intro run through).
void StartAtMainMenu(const HarnessOptions& options = HarnessOptions{});
// Starts a game of the mode and size through the menus.
void StartGameThroughMenus(int mode, int size);
// Carries the piece of a tray slot with the pointer and drops it with its origin
// on the cell, then runs the frames of any clear effect.
void DragPiece(int slot, int column, int row);
// Plays the running game with the pointer until the game-over panel shows, each
// move chosen at random among the legal ones; true when the game ended.
bool PlayGameToTheEnd(uint64_t botSeed, int moveLimit = 1000);
std::string ReadTextFile(const std::string& path);
bool FileExists(const std::string& path);
std::vector<std::string> FilesIn(const std::string& folder);

// A test case that runs the whole game: skipped without the data pack, and the
// game is stopped after each case whatever it did.
class HarnessTest : public testing::Test {
protected:
    void SetUp() override {
        if (!GameDataAvailable()) GTEST_SKIP() << "the data pack has not been built";
    }
    void TearDown() override { StopHarness(); }
};
