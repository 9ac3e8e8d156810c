// app_loop_test.cpp: the full-screen click latch, window events, the inactive screen, folders, the end and quit signals.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <ctime>
#include <fstream>

#include "app/spine.h"
#include "audio/audio.h"
#include "board.h"
#include "harness.h"
#include "platform.h"

using MainLoop = HarnessTest;

TEST_F(MainLoop, FullScreenHeldButtonClicksOnce) {
    HarnessOptions options;
    options.gameScreen = ScreenFullscreen;
    StartAtMainMenu(options);
    const MenuButton& start = Menus.MainMenu[1];
    PfInjectMouseMove((start.hitX1 + start.hitX2) / 2, (start.hitY1 + start.hitY2) / 2);
    RunOneFrame();
    ASSERT_EQ(Menus.MainMenuHover, 1);
    PfInjectMouseButton(MOUSE_LEFT, 1);
    RunOneFrame();
    ASSERT_EQ(App.ScreenState, StateGameMode) << "the press itself clicks";
    // Still held: move onto BACK of the game mode screen; no second click.
    const MenuButton& back = Menus.GameMode[4];
    PfInjectMouseMove((back.hitX1 + back.hitX2) / 2, (back.hitY1 + back.hitY2) / 2);
    RunFrames(10);
    EXPECT_EQ(App.ScreenState, StateGameMode);
    EXPECT_EQ(Menus.GameModeHover, 4);
    PfInjectMouseButton(MOUSE_LEFT, 0);
    RunOneFrame();
    EXPECT_EQ(App.ScreenState, StateGameMode);
    PfInjectMouseButton(MOUSE_LEFT, 1);
    RunOneFrame();
    EXPECT_EQ(App.ScreenState, StateMainMenu) << "after a release the next press clicks";
}

TEST_F(MainLoop, FullScreenFirstPressAfterStartUpNeedsARelease) {
    HarnessOptions options;
    options.gameScreen = ScreenFullscreen;
    StartHarness(options);
    // A button held since before the menu appeared does not click.
    PfInjectMouseButton(MOUSE_LEFT, 1);
    ASSERT_TRUE(RunUntilState(StateMainMenu));
    const MenuButton& quit = Menus.MainMenu[6];
    PfInjectMouseMove((quit.hitX1 + quit.hitX2) / 2, (quit.hitY1 + quit.hitY2) / 2);
    RunFrames(3);
    EXPECT_EQ(App.ScreenState, StateMainMenu);
}

TEST_F(MainLoop, WindowedClickFiresOnRelease) {
    HarnessOptions options;
    options.gameScreen = ScreenWindowed;
    StartAtMainMenu(options);
    const MenuButton& help = Menus.MainMenu[4];
    PfInjectMouseMove((help.hitX1 + help.hitX2) / 2, (help.hitY1 + help.hitY2) / 2);
    RunOneFrame();
    PfInjectMouseButton(MOUSE_LEFT, 1);
    RunFrames(3);
    EXPECT_EQ(App.ScreenState, StateMainMenu);
    PfInjectMouseButton(MOUSE_LEFT, 0);
    RunOneFrame();
    EXPECT_EQ(App.ScreenState, StateHelp);
}

TEST_F(MainLoop, WindowCloseDuringAGameEndsTheLoopAndSavesPreferences) {
    HarnessOptions options;
    options.gameScreen = ScreenWindowed;
    options.musicVolume = 40;
    StartAtMainMenu(options);
    StartGameThroughMenus(2, 3);
    App.Settings.MusicVolume = 55;  // changed during the run, e.g. by the keypad
    const std::string prefs = Folders.userDir + "Prismoria.prefs";
    std::remove(prefs.c_str());
    PfInjectWindowEvent(WEV_CLOSE);
    RunMainLoop();  // returns after the frame that saw the close
    EXPECT_EQ(App.QuitRequested, 1);
    ShutDown();
    std::string text = ReadTextFile(prefs);
    EXPECT_NE(text.find("MusicVolume = 55\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("GameScreen = 1\r\n"), std::string::npos) << text;
}

// The desktop ending the session: the loop ends at the end of the frame that
// sees the signal, with the normal save of preferences and scores, whether the
// signal came during a game or before the loop even began (during start-up).
// Each case runs in a child process, whose exit code 42 says every check held:
// a process ended by the signal itself, saved or not, cannot pass for that.
TEST_F(MainLoop, QuitSignalEndsTheLoopAfterOneFrameAndSavesLikeTheWindowsClose) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    struct Case {
        int signal;
        bool duringStartUp;
    };
    for (const Case c : {Case{SIGTERM, false}, Case{SIGINT, false}, Case{SIGHUP, false}, Case{SIGTERM, true}}) {
        SCOPED_TRACE(c.signal);
        EXPECT_EXIT(
            {
                PfInstallQuitSignals();
                HarnessOptions options;
                options.musicVolume = 40;
                if (c.duringStartUp) {
                    std::raise(c.signal);
                    StartHarness(options);
                } else {
                    StartAtMainMenu(options);
                    StartGameThroughMenus(1, 1);
                    std::raise(c.signal);  // between two frames, as a signal lands anywhere in one
                }
                App.Settings.MusicVolume = 55;  // changed during the run
                const int frames = Loop.Frames;
                RunMainLoop();
                const bool oneFrame = Loop.Frames == frames + 1 && App.QuitRequested == 1;
                ShutDown();
                const std::string text = ReadTextFile(Folders.userDir + "Prismoria.prefs");
                const bool saved = text.find("MusicVolume = 55\r\n") != std::string::npos &&
                                   FileSize(Folders.userDir + "Prismoria.scores") == 36;
                std::exit(oneFrame && saved ? 42 : 1);
            },
            testing::ExitedWithCode(42), "");
    }
}

// A second signal while the game is saving ends it at once, whichever of the
// three it is; so does the same signal twice before the loop has seen the first.
TEST(QuitSignals, ASecondSignalEndsTheProcessAtOnce) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    struct Case {
        int first, second;
        bool seenByTheLoop;
    };
    for (const Case c : {Case{SIGTERM, SIGTERM, false}, Case{SIGTERM, SIGINT, true}, Case{SIGHUP, SIGTERM, true}}) {
        SCOPED_TRACE(c.second);
        EXPECT_EXIT(
            {
                PfInstallQuitSignals();
                std::raise(c.first);
                if (c.seenByTheLoop && PfQuitSignalled() != c.first) std::exit(3);
                std::raise(c.second);
                std::exit(0);  // still running: the second signal was only noted
            },
            testing::KilledBySignal(c.second), "");
    }
}

// A signal landing at any instant of the loop's look at the flag is seen, never
// lost: a timer sends SIGTERM at a varying moment while the loop asks and asks.
TEST(QuitSignals, ASignalLandingWhileTheLoopLooksIsNeverLost) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            timer_t timer;
            sigevent sent{};
            sent.sigev_notify = SIGEV_SIGNAL;
            sent.sigev_signo = SIGTERM;
            if (timer_create(CLOCK_MONOTONIC, &sent, &timer) != 0) std::exit(2);
            for (int round = 0; round < 8000; ++round) {
                PfInstallQuitSignals();
                itimerspec when{};
                when.it_value.tv_nsec = 20000 + round % 64 * 997;
                timer_settime(timer, 0, &when, nullptr);
                int seen = 0;
                // Once the timer is seen expired its signal has been handled; the
                // next thousand looks must find it.
                for (int expired = 0; seen == 0 && expired < 2;) {
                    for (int i = 0; i < 1000 && seen == 0; ++i) seen = PfQuitSignalled();
                    itimerspec left{};
                    timer_gettime(timer, &left);
                    if (left.it_value.tv_sec == 0 && left.it_value.tv_nsec == 0) ++expired;
                }
                if (seen != SIGTERM) std::exit(1);
            }
            std::exit(42);
        },
        testing::ExitedWithCode(42), "");
}

TEST_F(MainLoop, BorderlessDeactivationMinimisesUnlessAReopenIsPending) {
    StartAtMainMenu();  // borderless
    ASSERT_EQ(TrackStatus(SndMenuTrack), SOUND_PLAYING);
    App.ReopenPending = 1;
    PfInjectWindowEvent(WEV_DEACTIVATED);
    RunOneFrame();
    EXPECT_EQ(App.ReopenPending, 0) << "the first deactivation only clears the flag";
    EXPECT_EQ(TrackStatus(SndMenuTrack), SOUND_PAUSED);
    PfInjectWindowEvent(WEV_ACTIVATED);
    RunOneFrame();
    EXPECT_EQ(TrackStatus(SndMenuTrack), SOUND_PLAYING);
}

TEST_F(MainLoop, WindowedMinimiseAndRestorePauseAndResumeMusic) {
    HarnessOptions options;
    options.gameScreen = ScreenWindowed;
    StartAtMainMenu(options);
    PfInjectWindowEvent(WEV_MINIMISED);
    RunOneFrame();
    EXPECT_EQ(TrackStatus(SndMenuTrack), SOUND_PAUSED);
    const int state = App.ScreenState;
    RunFrames(2);  // inactive: nothing moves
    EXPECT_EQ(App.ScreenState, state);
    PfInjectWindowEvent(WEV_RESTORED);
    RunOneFrame();
    EXPECT_EQ(TrackStatus(SndMenuTrack), SOUND_PLAYING);
}

TEST_F(MainLoop, InactiveScreenStopsTheIntroTimers) {
    HarnessOptions options;
    options.gameScreen = ScreenWindowed;
    StartHarness(options);
    RunFrames(10);
    const int counter = App.SplashCounter;
    PfInjectWindowEvent(WEV_MINIMISED);
    RunFrames(3);
    EXPECT_EQ(App.SplashCounter, counter);
    PfInjectWindowEvent(WEV_RESTORED);
    RunFrames(1);
    EXPECT_EQ(App.SplashCounter, counter + 1);
}

TEST_F(MainLoop, PortableModeKeepsEverythingBesideTheProgram) {
    HarnessOptions options;
    options.portable = true;
    options.arguments = {"/LOG"};
    StartHarness(options);
    EXPECT_EQ(App.GameDir, Folders.gameDir);
    EXPECT_EQ(App.SaveTo, Folders.gameDir);
    EXPECT_EQ(App.UserDir, Folders.userDir);
    EXPECT_FALSE(FileExists(Folders.dataHome + "dawnwhistle game studio")) << "user folder never created";
    bool logBesideProgram = false;
    for (const std::string& f : FilesIn(Folders.gameDir)) logBesideProgram |= f.rfind("Log ", 0) == 0;
    EXPECT_TRUE(logBesideProgram);
    RunUntilState(StateMainMenu);
    App.QuitRequested = 1;
    ShutDown();
    EXPECT_FALSE(FileExists(Folders.dataHome + "dawnwhistle game studio"));
    EXPECT_TRUE(FileExists(Folders.gameDir + "Prismoria.prefs"));
    // A save cut short leaves its temporary files: the next start removes them
    // from the folder it saves to, and nothing else.
    const std::vector<std::string> unfinished = {"Prismoria.prefs.a1B2c3", "Prismoria.scores.Zz9Yy8"};
    const std::vector<std::string> kept = {"Prismoria.prefs.notes", "Prismoria.prefs.a1B2c3.bak",
                                           "Prismoria.scores.a-b_c.", "Prismoria.log.a1B2c3"};
    for (const auto* names : {&unfinished, &kept}) {
        for (const std::string& name : *names) std::ofstream(Folders.gameDir + name) << "x";
    }
    std::ofstream(Folders.dataHome + unfinished[0]) << "x";
    LaunchGame(options);
    for (const std::string& name : unfinished) EXPECT_FALSE(FileExists(Folders.gameDir + name)) << name;
    for (const std::string& name : kept) EXPECT_TRUE(FileExists(Folders.gameDir + name)) << name;
    EXPECT_TRUE(FileExists(Folders.dataHome + unfinished[0])) << "another folder's files are not the game's";
    EXPECT_TRUE(FileExists(Folders.gameDir + "Prismoria.prefs"));
}

TEST_F(MainLoop, WithoutPreferencesTheUserFolderIsCreated) {
    PfShutdown();
    PrepareFolders();
    PfSelectBackend(PF_BACKEND_HEADLESS);
    PfSetHeadlessDesktopSize(1024, 576);
    char program[] = "prismoria";
    char* argv[] = {program};
    SetCommandLine(1, argv);
    Start.GameDir = Folders.gameDir;
    ASSERT_FALSE(FileExists(Folders.userDir));
    StartUp();
    EXPECT_TRUE(FileExists(Folders.userDir));
    EXPECT_EQ(App.SaveTo, Folders.userDir);
    EXPECT_EQ(App.Settings.GameScreen, ScreenBorderless);
    EXPECT_EQ(App.Settings.Language, "en_GB");
}
