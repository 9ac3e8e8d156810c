// app_transitions_test.cpp: every click transition between the screen states, and the intro timing.
#include <gtest/gtest.h>

#include <string>

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

namespace {

// The effects (sounds 2 to 7) playing now, as a bit per sound number.
int EffectsPlaying() {
    int bits = 0;
    for (int sound = SndRefused; sound <= SndNewBest; ++sound) {
        if (SoundStatus(sound, -1) == SOUND_PLAYING) bits |= 1 << sound;
    }
    return bits;
}

void SilenceEffects() {
    for (int sound = SndRefused; sound <= SndNewBest; ++sound) StopSoundClip(sound, -1);
}

}  // namespace

// Every accepted click of every panel, and of the status bar's menu button, plays
// the click (effect 6) and nothing else, and leads to its screen (YES of the quit
// question ends the loop instead); a click on no button is silent and stays. A screen
// entered by a click shows every button in its normal image and no hover, even if
// it was left hovered. Settings rows: music and sounds on, borderless, so row 4 is
// BORDERLESS (69); rows 1 and 5 hold images made per language and resolution.
TEST_F(Transitions, EveryAcceptedClickClicksAndEntersItsScreenUnhovered) {
    StartAtMainMenu();
    StartGameThroughMenus(1, 1);
    struct Click {
        int from, button, to;  // button 0: the pointer over no button (status bar: over its menu button)
        bool sound;
    };
    const Click clicks[] = {
        {StateMainMenu, 1, StateGameMode, true},     {StateMainMenu, 2, StatePlaying, true},
        {StateMainMenu, 3, StateSettings, true},     {StateMainMenu, 4, StateHelp, true},
        {StateMainMenu, 5, StateCredits, true},      {StateMainMenu, 6, StateQuitConfirm, true},
        {StateMainMenu, 0, StateMainMenu, false},    {StateGameMode, 1, StateBoardSize, true},
        {StateGameMode, 2, StateBoardSize, true},    {StateGameMode, 3, StateBoardSize, true},
        {StateGameMode, 4, StateMainMenu, true},     {StateGameMode, 0, StateGameMode, false},
        {StateBoardSize, 1, StatePlaying, true},     {StateBoardSize, 2, StatePlaying, true},
        {StateBoardSize, 3, StatePlaying, true},     {StateBoardSize, 4, StateGameMode, true},
        {StateHelp, 1, StateMainMenu, true},         {StateCredits, 1, StateMainMenu, true},
        {StateHelp, 0, StateHelp, false},            {StateSettings, 1, StateSettings, true},
        {StateSettings, 2, StateSettings, true},     {StateSettings, 3, StateSettings, true},
        {StateSettings, 4, StateSettings, true},     {StateSettings, 5, StateSettings, true},
        {StateSettings, 6, StateMainMenu, true},     {StateSettings, 7, StateMainMenu, true},
        {StateSettings, 0, StateSettings, false},    {StateQuitConfirm, 1, StateQuitConfirm, true},
        {StateQuitConfirm, 2, StateMainMenu, true},  {StateQuitConfirm, 0, StateQuitConfirm, false},
        {StateInGameMenu, 1, StatePlaying, true},    {StateInGameMenu, 2, StatePlaying, true},
        {StateInGameMenu, 3, StateInGameQuit, true}, {StateInGameMenu, 0, StateInGameMenu, false},
        {StateInGameQuit, 1, StateMainMenu, true},   {StateInGameQuit, 2, StateInGameMenu, true},
        {StateInGameQuit, 0, StateInGameQuit, false}, {StateGameOver, 1, StatePlaying, true},
        {StateGameOver, 2, StateMainMenu, true},     {StateGameOver, 0, StateGameOver, false},
        {StatePlaying, 0, StateInGameMenu, true},    {StatePlaying, 1, StatePlaying, false},
    };
    // Normal images of every button of the screens a click enters (0: not checked).
    struct Normal {
        int state;
        int images[8];
    };
    const Normal normals[] = {
        {StateMainMenu, {0, 19, 21, 23, 25, 27, 29}}, {StateBoardSize, {0, 41, 43, 45, 47}},
        {StateGameMode, {0, 49, 51, 53, 55}},         {StateHelp, {0, 75}},
        {StateCredits, {0, 77}},                      {StateSettings, {0, 0, 57, 61, 69, 0, 71, 73}},
        {StateQuitConfirm, {0, 79, 81}},              {StateInGameMenu, {0, 31, 33, 35}},
        {StateInGameQuit, {0, 79, 81}},
    };
    const ScreenRect& menu = PlayLayout.MenuButtonArea;
    for (const Click& c : clicks) {
        SCOPED_TRACE("state " + std::to_string(c.from) + " button " + std::to_string(c.button));
        GameVars.GameMode = 1;
        GameVars.BoardSize = 1;
        GameVars.GameRunning = c.from == StateGameOver ? 0 : 1;
        App.QuitRequested = 0;
        if (c.from == StateSettings) OpenSettings();
        App.ScreenState = c.from;
        // The screen to be entered was left hovered, its buttons showing a stale image.
        const MenuScreenRef target = MenuScreenFor(c.to);
        if (c.to != c.from && target.count > 0) {
            *target.hover = 1;
            for (int i = 1; i <= target.count; ++i) target.buttons[i].image = -1;
        }
        if (c.from == StatePlaying) {
            // Over the status bar's menu button, or beside it.
            const int x = c.button == 0 ? (menu.x1 + menu.x2) / 2 : menu.x2 + 3;
            PfInjectMouseMove(x, (menu.y1 + menu.y2) / 2);
            RunOneFrame();
            ASSERT_EQ(App.ScreenState, StatePlaying);
        } else {
            *MenuScreenFor(c.from).hover = c.button;
        }
        SilenceEffects();
        HandleClick();
        EXPECT_EQ(App.ScreenState, c.to);
        EXPECT_EQ(App.QuitRequested, c.from == StateQuitConfirm && c.button == 1 ? 1 : 0);
        EXPECT_EQ(App.ReopenPending, 0);
        EXPECT_EQ(EffectsPlaying(), c.sound ? 1 << SndClick : 0);
        if (c.to == c.from || target.count == 0) continue;
        EXPECT_EQ(*target.hover, 0);
        for (const Normal& n : normals) {
            if (n.state != c.to) continue;
            for (int i = 1; i <= target.count; ++i) {
                if (n.images[i] != 0) {
                    EXPECT_EQ(target.buttons[i].image, n.images[i]) << "button " << i;
                }
            }
        }
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
