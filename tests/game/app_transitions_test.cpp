// app_transitions_test.cpp: every click transition between the screen states, and the intro timing.
#include <gtest/gtest.h>

#include "play/play.h"
#include "app/spine.h"
#include "audio/audio.h"
#include "board.h"
#include "display/display.h"
#include "harness.h"
#include "platform.h"

using Transitions = HarnessTest;

TEST_F(Transitions, IntroRunsLogoThenTitleThenMainMenu) {
    StartHarness();
    EXPECT_EQ(App.ScreenState, StateLogo);
    RunFrames(100);
    EXPECT_EQ(App.ScreenState, StateLogo);
    RunFrames(1);
    EXPECT_EQ(App.ScreenState, StateTitle);
    EXPECT_EQ(App.SplashCounter, 0);
    EXPECT_FALSE(IsSprite(2)) << "the studio logo is freed when its splash ends";

    const int startY = Display.LogoY;
    const int step = Display.LogoSlideStep;
    ASSERT_GE(step, 1);
    RunFrames(100);
    EXPECT_EQ(Display.LogoY, startY) << "the logo waits 100 frames";
    int slides = 0;
    while (App.ScreenState == StateTitle && slides < 1000) {
        RunOneFrame();
        ++slides;
    }
    EXPECT_EQ(App.ScreenState, StateMainMenu);
    EXPECT_EQ(Display.LogoY, 0);
    EXPECT_EQ(App.SplashCounter, 0);
    EXPECT_EQ(slides, 1 + startY / step) << "the slide ends on the first negative y";
}

TEST_F(Transitions, TitleIntroEndsEvenWithoutASlideStep) {
    StartHarness();
    RunFrames(101);
    ASSERT_EQ(App.ScreenState, StateTitle);
    Display.LogoY = 10;
    Display.LogoSlideStep = 0;  // a logo starting near the top of the screen
    EXPECT_TRUE(RunUntilState(StateMainMenu, 200));
    EXPECT_EQ(Display.LogoY, 0);
}

TEST_F(Transitions, MainMenuButtonsOpenTheirScreens) {
    StartAtMainMenu();
    const int expected[7] = {0, StateGameMode, StatePlaying, StateSettings, StateHelp, StateCredits,
                             StateQuitConfirm};
    for (int button : {1, 3, 4, 5, 6}) {
        App.ScreenState = StateMainMenu;
        ResetMainMenuHover(0);
        ClickButton(StateMainMenu, button);
        EXPECT_EQ(App.ScreenState, expected[button]) << "button " << button;
    }
    // Entering a screen clears its hover, whatever it was left at.
    for (int button : {1, 3, 4, 5, 6}) {
        App.ScreenState = StateMainMenu;
        Menus.MainMenuHover = button;
        *MenuScreenFor(expected[button]).hover = 1;
        HandleClick();
        ASSERT_EQ(App.ScreenState, expected[button]);
        EXPECT_EQ(*MenuScreenFor(App.ScreenState).hover, 0) << "button " << button;
        EXPECT_EQ(Menus.MainMenuHover, 0);
    }
}

TEST_F(Transitions, QuickGamePicksModeAndSizeAndSwitchesMusic) {
    StartAtMainMenu();
    ASSERT_EQ(TrackStatus(SndMenuTrack), SOUND_PLAYING);
    ClickButton(StateMainMenu, 2);
    EXPECT_EQ(App.ScreenState, StatePlaying);
    EXPECT_GE(GameVars.GameMode, 1);
    EXPECT_LE(GameVars.GameMode, 3);
    EXPECT_GE(GameVars.BoardSize, 1);
    EXPECT_LE(GameVars.BoardSize, 3);
    EXPECT_EQ(GameVars.GameRunning, 1);
    EXPECT_EQ(Board.Columns, ColumnsForBoardSize(GameVars.BoardSize));
    EXPECT_EQ(TrackStatus(SndGameTrack), SOUND_PLAYING);
    EXPECT_NE(TrackStatus(SndMenuTrack), SOUND_PLAYING);
}

TEST_F(Transitions, GameModeAndBoardSizeWalkToAGameAndBack) {
    StartAtMainMenu();
    for (int mode = 1; mode <= 3; ++mode) {
        App.ScreenState = StateGameMode;
        ClickButton(StateGameMode, mode);
        EXPECT_EQ(App.ScreenState, StateBoardSize);
        EXPECT_EQ(GameVars.GameMode, mode);
    }
    ClickButton(StateBoardSize, 4);  // BACK
    EXPECT_EQ(App.ScreenState, StateGameMode);
    EXPECT_EQ(GameVars.BoardSize, 0);
    ClickButton(StateGameMode, 4);  // BACK clears the mode
    EXPECT_EQ(App.ScreenState, StateMainMenu);
    EXPECT_EQ(GameVars.GameMode, 0);

    for (int size = 1; size <= 3; ++size) {
        GameVars.GameMode = 2;
        App.ScreenState = StateBoardSize;
        ClickButton(StateBoardSize, size);
        EXPECT_EQ(App.ScreenState, StatePlaying);
        EXPECT_EQ(GameVars.BoardSize, size);
        EXPECT_EQ(Board.Columns, 4 + 4 * size);
        EXPECT_EQ(GameVars.Score, 0);
        for (int k = 0; k < TraySlots; ++k) EXPECT_GT(Tray.Slots[k].piece, 0);
    }
}

TEST_F(Transitions, HelpCreditsQuitAndSettingsLeadBack) {
    StartAtMainMenu();
    for (int state : {StateHelp, StateCredits}) {
        App.ScreenState = state;
        ClickButton(state, 1);
        EXPECT_EQ(App.ScreenState, StateMainMenu);
    }
    App.ScreenState = StateQuitConfirm;
    ClickButton(StateQuitConfirm, 2);  // NO
    EXPECT_EQ(App.ScreenState, StateMainMenu);
    EXPECT_EQ(App.QuitRequested, 0);
    OpenSettings();
    ClickButton(StateSettings, 7);  // CANCEL
    EXPECT_EQ(App.ScreenState, StateMainMenu);
    OpenSettings();
    ClickButton(StateSettings, 6);  // OK without changes
    EXPECT_EQ(App.ScreenState, StateMainMenu);
    EXPECT_EQ(App.ReopenPending, 0);
    App.ScreenState = StateQuitConfirm;
    ClickButton(StateQuitConfirm, 1);  // YES
    EXPECT_EQ(App.QuitRequested, 1);
}

TEST_F(Transitions, SettingsRowsStepPendingValuesOnly) {
    StartAtMainMenu();
    ClickButton(StateMainMenu, 3);
    ASSERT_EQ(App.ScreenState, StateSettings);
    const GameSettings before = App.Settings;
    ClickButton(StateSettings, 2);  // music
    ClickButton(StateSettings, 3);  // sounds
    ClickButton(StateSettings, 5);  // resolution
    EXPECT_EQ(App.Pending.Music, 1 - before.Music);
    EXPECT_EQ(App.Pending.Sounds, 1 - before.Sounds);
    EXPECT_EQ(App.Pending.Resolution, (before.Resolution + 1) % 9);
    EXPECT_EQ(App.Settings.Music, before.Music);
    EXPECT_EQ(App.Settings.Sounds, before.Sounds);
    ClickButton(StateSettings, 7);  // CANCEL drops them
    EXPECT_EQ(App.Settings.Music, before.Music);
    EXPECT_EQ(App.Settings.Resolution, before.Resolution);
}

TEST_F(Transitions, InGameMenuResumeRestartQuit) {
    StartAtMainMenu();
    StartGameThroughMenus(1, 1);
    // The status bar's menu button opens the in-game menu.
    const ScreenRect& area = PlayLayout.MenuButtonArea;
    ClickAt((area.x1 + area.x2) / 2, (area.y1 + area.y2) / 2);
    ASSERT_EQ(App.ScreenState, StateInGameMenu);
    ClickButton(StateInGameMenu, 1);  // RESUME
    EXPECT_EQ(App.ScreenState, StatePlaying);

    App.ScreenState = StateInGameMenu;
    GameVars.Score = 70;
    ClickButton(StateInGameMenu, 2);  // RESTART
    EXPECT_EQ(App.ScreenState, StatePlaying);
    EXPECT_EQ(GameVars.Score, 0);
    EXPECT_EQ(GameVars.GameMode, 1);
    EXPECT_EQ(GameVars.BoardSize, 1);
    EXPECT_EQ(TrackStatus(SndGameTrack), SOUND_PLAYING) << "the game track keeps playing";

    App.ScreenState = StateInGameMenu;
    ClickButton(StateInGameMenu, 3);  // QUIT
    EXPECT_EQ(App.ScreenState, StateInGameQuit);
    ClickButton(StateInGameQuit, 2);  // NO
    EXPECT_EQ(App.ScreenState, StateInGameMenu);
    ClickButton(StateInGameMenu, 3);
    ClickButton(StateInGameQuit, 1);  // YES
    EXPECT_EQ(App.ScreenState, StateMainMenu);
    EXPECT_EQ(GameVars.GameRunning, 0);
    EXPECT_EQ(TrackStatus(SndMenuTrack), SOUND_PLAYING);
    EXPECT_NE(TrackStatus(SndGameTrack), SOUND_PLAYING);
}

TEST_F(Transitions, MenuButtonBorderDoesNotOpenTheMenu) {
    StartAtMainMenu();
    StartGameThroughMenus(2, 2);
    const ScreenRect& area = PlayLayout.MenuButtonArea;
    ClickAt(area.x1, (area.y1 + area.y2) / 2);
    EXPECT_EQ(App.ScreenState, StatePlaying);
    ClickAt((area.x1 + area.x2) / 2, area.y2);
    EXPECT_EQ(App.ScreenState, StatePlaying);
}

TEST_F(Transitions, NoFittingPieceEndsTheGameThenRetryOrMenu) {
    StartAtMainMenu();
    StartGameThroughMenus(1, 1);
    // A full board: no tray piece fits anywhere.
    for (int i = 0; i <= Board.LastColumn; ++i) {
        for (int j = 0; j < BoardRows; ++j) {
            CellAt(i, j).image = BoardImages.Gem[1];
            CellAt(i, j).colour = 1;
        }
    }
    GameVars.Score = 40;
    ASSERT_EQ(EndOfMoveTest(), 1);
    HandleBoardEvents();
    EXPECT_EQ(App.ScreenState, StateGameOver);
    EXPECT_EQ(BestScoreFor(1, 1), 40);

    ClickButton(StateGameOver, 1);  // RETRY
    EXPECT_EQ(App.ScreenState, StatePlaying);
    EXPECT_EQ(GameVars.GameRunning, 1);
    EXPECT_EQ(GameVars.Score, 0);
    EXPECT_EQ(CellAt(0, 0).image, BoardImages.Gem[0]) << "a fresh empty board";

    App.ScreenState = StateGameOver;
    GameVars.GameRunning = 0;
    ClickButton(StateGameOver, 2);  // MENU
    EXPECT_EQ(App.ScreenState, StateMainMenu);
    EXPECT_EQ(TrackStatus(SndMenuTrack), SOUND_PLAYING);
}

TEST_F(Transitions, ClickBesideEveryButtonDoesNothing) {
    StartAtMainMenu();
    const MenuButton& first = Menus.MainMenu[1];
    ClickAt(first.hitX1, first.hitY1 + 2);  // exactly on the left edge
    EXPECT_EQ(App.ScreenState, StateMainMenu);
    ClickAt(2, 2);
    EXPECT_EQ(App.ScreenState, StateMainMenu);
    EXPECT_EQ(Menus.MainMenuHover, 0);
}
