// app_keys_test.cpp: the Escape table, the music and sound keys, the volume keys and the F2 screenshot.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "core/log.h"
#include "app/spine.h"
#include "audio/audio.h"
#include "board.h"
#include "harness.h"
#include "platform.h"

using Keys = HarnessTest;

TEST_F(Keys, EscapeDoesNothingDuringTheIntro) {
    StartHarness();
    TapKey(KEY_ESCAPE);
    EXPECT_EQ(App.ScreenState, StateLogo);
    RunUntilState(StateTitle);
    TapKey(KEY_ESCAPE);
    EXPECT_EQ(App.ScreenState, StateTitle);
    EXPECT_EQ(App.QuitRequested, 0);
}

TEST_F(Keys, EscapeWalksBackThroughTheMenus) {
    StartAtMainMenu();
    for (int state : {StateGameMode, StateHelp, StateCredits, StateSettings, StateQuitConfirm}) {
        App.ScreenState = state;
        Menus.MainMenuHover = 3;
        TapKey(KEY_ESCAPE);
        EXPECT_EQ(App.ScreenState, StateMainMenu) << "from state " << state;
        EXPECT_EQ(Menus.MainMenuHover, 0);
    }
    GameVars.GameMode = 2;
    GameVars.BoardSize = 3;
    App.ScreenState = StateBoardSize;
    TapKey(KEY_ESCAPE);
    EXPECT_EQ(App.ScreenState, StateGameMode);
    EXPECT_EQ(GameVars.BoardSize, 0);
    TapKey(KEY_ESCAPE);
    EXPECT_EQ(GameVars.GameMode, 2) << "Escape on the game mode screen keeps the mode";
    EXPECT_EQ(App.QuitRequested, 0);
    TapKey(KEY_ESCAPE);
    EXPECT_EQ(App.QuitRequested, 1) << "Escape on the main menu quits without asking";
}

TEST_F(Keys, EscapeInSettingsDropsPendingValues) {
    StartAtMainMenu();
    OpenSettings();
    StepSettingsRow(2);
    StepSettingsRow(4);
    const GameSettings before = App.Settings;
    TapKey(KEY_ESCAPE);
    EXPECT_EQ(App.ScreenState, StateMainMenu);
    EXPECT_EQ(App.Settings.Music, before.Music);
    EXPECT_EQ(App.Settings.GameScreen, before.GameScreen);
}

TEST_F(Keys, EscapeDuringAGame) {
    StartAtMainMenu();
    StartGameThroughMenus(3, 1);
    TapKey(KEY_ESCAPE);
    EXPECT_EQ(App.ScreenState, StateInGameMenu);
    TapKey(KEY_ESCAPE);
    EXPECT_EQ(App.ScreenState, StatePlaying);
    App.ScreenState = StateInGameQuit;
    TapKey(KEY_ESCAPE);
    EXPECT_EQ(App.ScreenState, StateInGameMenu);
    App.ScreenState = StateGameOver;
    GameVars.GameRunning = 0;
    TapKey(KEY_ESCAPE);
    EXPECT_EQ(App.ScreenState, StateMainMenu);
    EXPECT_NE(TrackStatus(SndGameTrack), SOUND_PLAYING);
    EXPECT_EQ(TrackStatus(SndMenuTrack), SOUND_PLAYING);
}

TEST_F(Keys, MusicAndSoundKeysToggleExceptOnTheSettingsScreen) {
    StartAtMainMenu();
    ASSERT_EQ(App.Settings.Music, 1);
    TapKey(KEY_M);
    EXPECT_EQ(App.Settings.Music, 0);
    EXPECT_NE(TrackStatus(SndMenuTrack), SOUND_PLAYING);
    TapKey(KEY_N);
    EXPECT_EQ(App.Settings.Sounds, 0);

    OpenSettings();
    TapKey(KEY_M);
    TapKey(KEY_N);
    EXPECT_EQ(App.Settings.Music, 0);
    EXPECT_EQ(App.Settings.Sounds, 0);
    EXPECT_EQ(App.Pending.Music, 0) << "the pending copies are not touched";

    App.ScreenState = StateMainMenu;
    TapKey(KEY_M);
    EXPECT_EQ(App.Settings.Music, 1);
    EXPECT_EQ(TrackStatus(SndMenuTrack), SOUND_PLAYING);
}

TEST_F(Keys, MusicKeyInAGameStartsTheGameTrack) {
    HarnessOptions options;
    options.music = 0;
    StartAtMainMenu(options);
    StartGameThroughMenus(1, 2);
    EXPECT_NE(TrackStatus(SndGameTrack), SOUND_PLAYING) << "music off: no game track";
    TapKey(KEY_ESCAPE);
    ASSERT_EQ(App.ScreenState, StateInGameMenu);
    TapKey(KEY_M);
    EXPECT_EQ(TrackStatus(SndGameTrack), SOUND_PLAYING);
    EXPECT_NE(TrackStatus(SndMenuTrack), SOUND_PLAYING);
}

TEST_F(Keys, KeypadPlusStopsAtOneHundred) {
    HarnessOptions options;
    options.musicVolume = 98;
    StartAtMainMenu(options);
    ASSERT_EQ(App.Settings.MusicVolume, 98);
    PfInjectKey(KEY_PAD_PLUS, 1);
    RunOneFrame();
    EXPECT_EQ(App.Settings.MusicVolume, 99);
    RunOneFrame();
    EXPECT_EQ(App.Settings.MusicVolume, 100);
    RunFrames(3);
    EXPECT_EQ(App.Settings.MusicVolume, 100);
    PfInjectKey(KEY_PAD_PLUS, 0);
    PfInjectKey(KEY_PAD_MINUS, 1);
    RunFrames(5);
    EXPECT_EQ(App.Settings.MusicVolume, 95);
    PfInjectKey(KEY_PAD_MINUS, 0);
    RunOneFrame();
    EXPECT_EQ(App.Settings.MusicVolume, 95);
}

TEST(ScreenshotName, DayMonthYearThenTime) {
    setenv("TZ", "UTC", 1);
    tzset();
    // 2 August 2023, 09:05:07 UTC.
    EXPECT_EQ(ScreenshotFileName(1690967107), "Prismoria 02-08-2023 09-05-07.bmp");
}

TEST_F(Keys, F2SavesAScreenshotAndLogsIt) {
    HarnessOptions options;
    options.arguments = {"/LOG"};
    StartAtMainMenu(options);
    TapKey(KEY_F2);
    std::vector<std::string> shots;
    std::string logName;
    for (const std::string& f : FilesIn(Folders.userDir)) {
        if (f.rfind("Prismoria ", 0) == 0 && f.size() > 4 && f.substr(f.size() - 4) == ".bmp") shots.push_back(f);
        if (f.rfind("Log ", 0) == 0) logName = f;
    }
    ASSERT_EQ(shots.size(), 1u);
    std::string bmp = ReadTextFile(Folders.userDir + shots[0]);
    ASSERT_GT(bmp.size(), 54u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    ASSERT_FALSE(logName.empty());
    CloseLog();
    std::string log = ReadTextFile(Folders.userDir + logName);
    EXPECT_NE(log.find("Saving screenshot:\t\tOK\r\n"), std::string::npos);
}

TEST_F(Keys, ScreenshotIntoAMissingFolderLogsFailed) {
    HarnessOptions options;
    options.arguments = {"/LOG"};
    StartAtMainMenu(options);
    const std::string saveTo = App.SaveTo;
    App.SaveTo = Folders.root + "no such folder/";
    TapKey(KEY_F2);
    App.SaveTo = saveTo;
    CloseLog();
    std::string logName;
    for (const std::string& f : FilesIn(Folders.userDir)) {
        if (f.rfind("Log ", 0) == 0) logName = f;
    }
    ASSERT_FALSE(logName.empty());
    EXPECT_NE(ReadTextFile(Folders.userDir + logName).find("Saving screenshot:\t\tFAILED\r\n"),
              std::string::npos);
}
