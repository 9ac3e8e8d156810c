// keyboard_menus_test.cpp: every menu walked by keys and by the controller's buttons, the settings changed by keys and saved, one highlight shared with the pointer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/spine.h"
#include "board.h"
#include "data/text.h"
#include "harness.h"
#include "menus/menus.h"
#include "platform.h"
#include "play_test_util.h"

namespace {

using KeyboardMenus = HarnessTest;

// Not a key: Tab with Shift held.
constexpr int ShiftTab = -1;

void Press(int key) {
    if (key == ShiftTab) {
        PfInjectKey(KEY_LEFT_SHIFT, 1);
        TapKey(KEY_TAB);
        PfInjectKey(KEY_LEFT_SHIFT, 0);
        return;
    }
    TapKey(key);
}

// Mixes away whatever still sounds, so that the next question hears only what follows.
void Hush() {
    int16_t buffer[2 * 4410];
    for (int i = 0; i < 30; ++i) PfMixSound(buffer, 4410);
    SoundHeardSinceLastAsked();
}

int Highlighted(int state) { return *MenuScreenFor(state).hover; }
int ImageOf(int state, int button) { return MenuScreenFor(state).buttons[button].image; }

// The game-over panel over a finished game, as the end of a game leaves it.
void EndTheGame() {
    GameVars.GameRunning = 0;
    EnterMenuScreen(StateGameOver);
}

struct WalkStep {
    int from;
    std::vector<int> moves;  // keys that move the highlight (or, with no activation, leave the screen)
    int highlighted;         // the button they highlight
    int hoverImage;          // the image it then shows: its hover image
    int activate;            // the key that activates it (0: none)
    int to;                  // the state after it; -1: the game ends
};

// Music off: the only sound in the menus is the click.
TEST_F(KeyboardMenus, EveryButtonIsReachedAndActivatedByKeysWithTheClickSound) {
    HarnessOptions options;
    options.music = 0;
    StartAtMainMenu(options);
    const WalkStep walk[] = {
        {StateMainMenu, {KEY_DOWN, KEY_DOWN, KEY_DOWN, KEY_DOWN}, 4, 26, KEY_RETURN, StateHelp},
        {StateHelp, {KEY_DOWN}, 1, 76, KEY_PAD_ENTER, StateMainMenu},
        {StateMainMenu, {KEY_DOWN, KEY_DOWN, KEY_DOWN, KEY_DOWN, KEY_DOWN}, 5, 28, KEY_SPACE, StateCredits},
        {StateCredits, {KEY_UP}, 1, 78, KEY_RETURN, StateMainMenu},
        {StateMainMenu, {KEY_UP, KEY_UP, KEY_UP, KEY_UP}, 3, 24, KEY_RETURN, StateSettings},
        {StateSettings, {KEY_UP}, 7, 74, KEY_RETURN, StateMainMenu},
        {StateMainMenu, {KEY_TAB, KEY_TAB, KEY_TAB}, 3, 24, KEY_RETURN, StateSettings},
        {StateSettings, {KEY_UP, KEY_UP}, 6, 72, KEY_SPACE, StateMainMenu},
        {StateMainMenu, {KEY_UP}, 6, 30, KEY_RETURN, StateQuitConfirm},
        {StateQuitConfirm, {KEY_RIGHT}, 2, 82, KEY_RETURN, StateMainMenu},
        // Seven steps down wrap past QUIT back to START.
        {StateMainMenu, {KEY_DOWN, KEY_DOWN, KEY_DOWN, KEY_DOWN, KEY_DOWN, KEY_DOWN, KEY_DOWN}, 1, 20, KEY_RETURN,
         StateGameMode},
        {StateGameMode, {KEY_UP}, 4, 56, KEY_RETURN, StateMainMenu},
        {StateMainMenu, {KEY_TAB}, 1, 20, KEY_SPACE, StateGameMode},
        {StateGameMode, {KEY_TAB, KEY_TAB}, 2, 52, KEY_RETURN, StateBoardSize},
        {StateBoardSize, {KEY_UP}, 4, 48, KEY_RETURN, StateGameMode},
        {StateGameMode, {KEY_DOWN, KEY_DOWN, KEY_DOWN}, 3, 54, KEY_RETURN, StateBoardSize},
        {StateBoardSize, {KEY_DOWN, KEY_DOWN, KEY_DOWN}, 3, 46, KEY_PAD_ENTER, StatePlaying},
        {StatePlaying, {KEY_ESCAPE}, 0, 0, 0, StateInGameMenu},
        {StateInGameMenu, {KEY_DOWN}, 1, 32, KEY_RETURN, StatePlaying},
        {StatePlaying, {KEY_ESCAPE}, 0, 0, 0, StateInGameMenu},
        {StateInGameMenu, {KEY_DOWN, KEY_DOWN}, 2, 34, KEY_SPACE, StatePlaying},
        {StatePlaying, {KEY_ESCAPE}, 0, 0, 0, StateInGameMenu},
        {StateInGameMenu, {KEY_UP}, 3, 36, KEY_RETURN, StateInGameQuit},
        {StateInGameQuit, {KEY_RIGHT}, 2, 82, KEY_RETURN, StateInGameMenu},
        {StateInGameMenu, {KEY_UP}, 3, 36, KEY_RETURN, StateInGameQuit},
        {StateInGameQuit, {KEY_RIGHT, KEY_LEFT}, 1, 80, KEY_RETURN, StateMainMenu},
        {StateMainMenu, {KEY_DOWN, KEY_DOWN}, 2, 22, KEY_RETURN, StatePlaying},
        {StateGameOver, {KEY_DOWN}, 1, 38, KEY_RETURN, StatePlaying},
        {StateGameOver, {KEY_UP}, 2, 40, KEY_SPACE, StateMainMenu},
        {StateMainMenu, {ShiftTab}, 6, 30, KEY_RETURN, StateQuitConfirm},
        {StateQuitConfirm, {KEY_LEFT}, 1, 80, KEY_PAD_ENTER, -1},
    };
    for (const WalkStep& step : walk) {
        const int n = int(&step - walk);
        SCOPED_TRACE("step " + std::to_string(n));
        if (step.from == StateGameOver && App.ScreenState != StateGameOver) EndTheGame();
        ASSERT_EQ(App.ScreenState, step.from);
        if (step.activate != 0) {
            // Entered with nothing highlighted; activating nothing does nothing.
            EXPECT_EQ(Highlighted(step.from), 0);
            Hush();
            Press(step.activate);
            EXPECT_EQ(App.ScreenState, step.from);
            EXPECT_FALSE(SoundHeardSinceLastAsked()) << "a click with nothing highlighted";
        }
        for (int key : step.moves) Press(key);
        if (step.highlighted != 0) {
            EXPECT_EQ(Highlighted(step.from), step.highlighted);
            EXPECT_EQ(ImageOf(step.from, step.highlighted), step.hoverImage);
        }
        if (step.activate == 0) {
            EXPECT_EQ(App.ScreenState, step.to);
            continue;
        }
        Hush();
        Press(step.activate);
        if (step.to < 0) {
            EXPECT_EQ(App.QuitRequested, 1);
        } else {
            EXPECT_EQ(App.ScreenState, step.to);
        }
        EXPECT_TRUE(SoundHeardSinceLastAsked()) << "the click sound";
    }
}

// A held Return acts once: its repeats do not click the button highlighted on the next screen.
TEST_F(KeyboardMenus, AHeldActivationKeyActsOnce) {
    StartAtMainMenu();
    TapKey(KEY_DOWN);
    PfInjectKey(KEY_RETURN, 1);
    RunFrames(1);
    ASSERT_EQ(App.ScreenState, StateGameMode);
    TapKey(KEY_DOWN);
    RunFrames(40);
    EXPECT_EQ(App.ScreenState, StateGameMode);
    PfInjectKey(KEY_RETURN, 0);
    RunFrames(1);
    EXPECT_EQ(App.ScreenState, StateGameMode) << "nor does its release";
    TapKey(KEY_RETURN);
    EXPECT_EQ(App.ScreenState, StateBoardSize);
}

// Keys the menus do not use change nothing: no highlight, no click, no screen.
TEST_F(KeyboardMenus, UnusedKeysAreIgnored) {
    HarnessOptions options;
    options.music = 0;
    StartAtMainMenu(options);
    const int unused[] = {KEY_A,         KEY_Z,         KEY_0,         KEY_1,
                          KEY_PAD_1,     KEY_F1,        KEY_BACKSPACE, KEY_LEFT_CONTROL,
                          KEY_LEFT_ALT,  KEY_LEFT_SHIFT, KEY_GAMEPAD_LEFT_SHOULDER, KEY_GAMEPAD_RIGHT_SHOULDER};
    struct Screen {
        int state;
        int highlighted;  // set up by keys first (0: none)
        std::vector<int> alsoUnused;  // keys used elsewhere but not here
    };
    const Screen screens[] = {
        {StateMainMenu, 0, {KEY_LEFT, KEY_RIGHT, KEY_GAMEPAD_LEFT, KEY_GAMEPAD_RIGHT}},
        {StateMainMenu, 2, {KEY_LEFT, KEY_RIGHT, KEY_GAMEPAD_LEFT, KEY_GAMEPAD_RIGHT}},
        {StateSettings, 0, {KEY_LEFT, KEY_RIGHT}},
        {StateGameOver, 1, {KEY_LEFT, KEY_RIGHT}},
    };
    for (const Screen& screen : screens) {
        SCOPED_TRACE("state " + std::to_string(screen.state));
        if (screen.state == StateSettings) OpenSettings();
        if (screen.state == StateGameOver) EndTheGame();
        if (screen.state == StateMainMenu) EnterMenuScreen(StateMainMenu);
        for (int i = 0; i < screen.highlighted; ++i) TapKey(KEY_DOWN);
        ASSERT_EQ(Highlighted(screen.state), screen.highlighted);
        const GameSettings pending = App.Pending;
        Hush();
        std::vector<int> keys(std::begin(unused), std::end(unused));
        keys.insert(keys.end(), screen.alsoUnused.begin(), screen.alsoUnused.end());
        for (int key : keys) {
            TapKey(key);
            EXPECT_EQ(App.ScreenState, screen.state) << "key " << key;
            EXPECT_EQ(Highlighted(screen.state), screen.highlighted) << "key " << key;
        }
        EXPECT_EQ(App.Pending.Language, pending.Language);
        EXPECT_EQ(App.Pending.GameScreen, pending.GameScreen);
        EXPECT_FALSE(SoundHeardSinceLastAsked());
    }
    EXPECT_EQ(App.QuitRequested, 0);
}

// Three languages, so that Left and Right go different ways through them.
HarnessOptions ThreeLanguages() {
    HarnessOptions options;
    const std::string shipped = std::string(PRISMORIA_SOURCE_DIR) + "/assets/languages/en_GB.language";
    options.languages = {{"en_GB", ReadTextFile(shipped)},
                         {"xx_XX", "\xEF\xBB\xBF[LANGUAGE FILE]\r\ntLangFileNAME = Testish\r\n"},
                         {"yy_YY", "\xEF\xBB\xBF[LANGUAGE FILE]\r\ntLangFileNAME = Othrish\r\n"}};
    options.music = 0;
    return options;
}

TEST_F(KeyboardMenus, SettingsChangedByKeysAreAppliedAndSaved) {
    StartAtMainMenu(ThreeLanguages());  // borderless, resolution 1, music off, sounds on
    ASSERT_EQ(Languages.List.size(), 3u);
    for (int key : {KEY_DOWN, KEY_DOWN, KEY_DOWN, KEY_RETURN}) TapKey(key);
    ASSERT_EQ(App.ScreenState, StateSettings);
    EXPECT_EQ(Highlighted(StateSettings), 0);

    // Language row: three steps Right come round to the start; Left walks them back.
    TapKey(KEY_DOWN);
    std::vector<std::string> right;
    for (int i = 0; i < 3; ++i) {
        Hush();
        TapKey(KEY_RIGHT);
        EXPECT_TRUE(SoundHeardSinceLastAsked()) << "Right clicks the row";
        right.push_back(App.Pending.Language);
    }
    EXPECT_EQ(std::set<std::string>(right.begin(), right.end()).size(), 3u);
    EXPECT_EQ(right[2], "en_GB");
    Hush();
    TapKey(KEY_LEFT);
    EXPECT_TRUE(SoundHeardSinceLastAsked()) << "Left clicks the row too";
    EXPECT_EQ(App.Pending.Language, right[1]);
    TapKey(KEY_LEFT);
    EXPECT_EQ(App.Pending.Language, right[0]);
    const std::string chosen = right[0];

    struct Change {
        int key;
        int row;  // the row highlighted when the key is pressed
        int music, sounds, screen, resolution;  // pending values after it
    };
    const Change changes[] = {
        {KEY_DOWN, 2, 0, 1, ScreenBorderless, 1},
        {KEY_RIGHT, 2, 1, 1, ScreenBorderless, 1},
        {KEY_LEFT, 2, 0, 1, ScreenBorderless, 1},
        {KEY_RIGHT, 2, 1, 1, ScreenBorderless, 1},
        {KEY_DOWN, 3, 1, 1, ScreenBorderless, 1},
        {KEY_LEFT, 3, 1, 0, ScreenBorderless, 1},
        {KEY_DOWN, 4, 1, 0, ScreenBorderless, 1},
        {KEY_RIGHT, 4, 1, 0, ScreenFullscreen, 1},
        {KEY_LEFT, 4, 1, 0, ScreenBorderless, 1},
        {KEY_DOWN, 5, 1, 0, ScreenBorderless, 1},
        {KEY_RIGHT, 5, 1, 0, ScreenBorderless, 2},  // steps, but stays greyed out
        {KEY_LEFT, 5, 1, 0, ScreenBorderless, 1},
        {KEY_LEFT, 5, 1, 0, ScreenBorderless, 0},
        {KEY_LEFT, 5, 1, 0, ScreenBorderless, 8},  // from the first size round to the last
        {KEY_RIGHT, 5, 1, 0, ScreenBorderless, 0},
        {KEY_UP, 4, 1, 0, ScreenBorderless, 0},
        {KEY_LEFT, 4, 1, 0, ScreenWindowed, 0},
        {KEY_DOWN, 5, 1, 0, ScreenWindowed, 0},
        {KEY_DOWN, 6, 1, 0, ScreenWindowed, 0},
        {KEY_RIGHT, 7, 1, 0, ScreenWindowed, 0},  // OK and CANCEL: Left and Right move between them
        {KEY_LEFT, 6, 1, 0, ScreenWindowed, 0},
    };
    for (const Change& c : changes) {
        const int n = int(&c - changes);
        SCOPED_TRACE("change " + std::to_string(n));
        TapKey(c.key);
        EXPECT_EQ(Highlighted(StateSettings), c.row);
        EXPECT_EQ(App.Pending.Music, c.music);
        EXPECT_EQ(App.Pending.Sounds, c.sounds);
        EXPECT_EQ(App.Pending.GameScreen, c.screen);
        EXPECT_EQ(App.Pending.Resolution, c.resolution);
        if (c.row == 5) {
            // The resolution's images per entry: normal, hover, greyed out.
            const size_t shown = size_t(3 * c.resolution + (c.screen == ScreenWindowed ? 1 : 2));
            EXPECT_EQ(Menus.Settings[5].image, Menus.ResolutionImages[shown]);
        }
    }
    EXPECT_EQ(App.Settings.Music, 0) << "nothing is applied before OK";
    EXPECT_EQ(App.Settings.Language, "en_GB");

    TapKey(KEY_RETURN);  // OK: a new window, then the title intro
    EXPECT_EQ(App.ScreenState, StateTitle);
    EXPECT_EQ(App.Settings.Language, chosen);
    EXPECT_EQ(App.Settings.Music, 1);
    EXPECT_EQ(App.Settings.Sounds, 0);
    EXPECT_EQ(App.Settings.GameScreen, ScreenWindowed);
    EXPECT_EQ(App.Settings.Resolution, 0);
    ASSERT_TRUE(RunUntilState(StateMainMenu));
    TapKey(KEY_ESCAPE);
    ASSERT_EQ(App.QuitRequested, 1);
    ShutDown();
    const std::string prefs = ReadTextFile(Folders.userDir + "Prismoria.prefs");
    for (const std::string& line : {"Language = " + chosen, std::string("Music = 1"), std::string("Sounds = 0"),
                                   std::string("GameScreen = 1"), std::string("Resolution = 0")}) {
        EXPECT_NE(prefs.find(line + "\r\n"), std::string::npos) << line << " in\n" << prefs;
    }
}

// The controller's buttons: its up and down move, A activates, B and Start go
// back; on the play screen B is not Escape.
TEST_F(KeyboardMenus, GamepadButtonsWorkTheMenus) {
    StartAtMainMenu();
    struct PadStep {
        int key;
        int state;        // afterwards
        int highlighted;  // afterwards, in that state
    };
    const PadStep steps[] = {
        {KEY_GAMEPAD_DOWN, StateMainMenu, 1},
        {KEY_GAMEPAD_DOWN, StateMainMenu, 2},
        {KEY_GAMEPAD_UP, StateMainMenu, 1},
        {KEY_GAMEPAD_A, StateGameMode, 0},
        {KEY_GAMEPAD_B, StateMainMenu, 0},
        {KEY_GAMEPAD_UP, StateMainMenu, 6},
        {KEY_GAMEPAD_A, StateQuitConfirm, 0},
        {KEY_GAMEPAD_RIGHT, StateQuitConfirm, 2},
        {KEY_GAMEPAD_LEFT, StateQuitConfirm, 1},
        {KEY_GAMEPAD_START, StateMainMenu, 0},
        {KEY_GAMEPAD_DOWN, StateMainMenu, 1},
        {KEY_GAMEPAD_DOWN, StateMainMenu, 2},
        {KEY_GAMEPAD_A, StatePlaying, 0},  // QUICKGAME
        {KEY_GAMEPAD_B, StatePlaying, 0},  // here B puts a piece back, it is no Escape
        {KEY_GAMEPAD_START, StateInGameMenu, 0},
        {KEY_GAMEPAD_B, StatePlaying, 0},
        {KEY_GAMEPAD_START, StateInGameMenu, 0},
        {KEY_GAMEPAD_UP, StateInGameMenu, 3},
        {KEY_GAMEPAD_A, StateInGameQuit, 0},
        {KEY_GAMEPAD_B, StateInGameMenu, 0},
        {KEY_GAMEPAD_DOWN, StateInGameMenu, 1},
        {KEY_GAMEPAD_A, StatePlaying, 0},
    };
    for (const PadStep& step : steps) {
        const int n = int(&step - steps);
        SCOPED_TRACE("step " + std::to_string(n));
        TapKey(step.key);
        ASSERT_EQ(App.ScreenState, step.state);
        if (step.state != StatePlaying) {
            EXPECT_EQ(Highlighted(step.state), step.highlighted);
        }
    }
    EndTheGame();
    TapKey(KEY_GAMEPAD_B);
    EXPECT_EQ(App.ScreenState, StateMainMenu);
    EXPECT_EQ(App.QuitRequested, 0);
    TapKey(KEY_GAMEPAD_START);
    EXPECT_EQ(App.QuitRequested, 1) << "Start on the main menu is Escape: the game ends";
}

// One highlight: the pointer takes it by moving, a key takes it back and keeps
// it while the pointer rests; a click acts on what is under the pointer.
TEST_F(KeyboardMenus, PointerAndKeysShareOneHighlight) {
    for (int mode : {ScreenBorderless, ScreenFullscreen}) {
        SCOPED_TRACE(mode == ScreenBorderless ? "borderless" : "full screen");
        HarnessOptions options;
        options.gameScreen = mode;
        StartAtMainMenu(options);
        auto centre = [](int button, int dx) {
            const MenuButton& b = Menus.MainMenu[button];
            PfInjectMouseMove((b.hitX1 + b.hitX2) / 2 + dx, (b.hitY1 + b.hitY2) / 2);
            RunFrames(1);
        };
        centre(2, 0);
        EXPECT_EQ(Menus.MainMenuHover, 2);
        TapKey(KEY_DOWN);
        EXPECT_EQ(Menus.MainMenuHover, 3) << "the key goes on from the pointer's button";
        RunFrames(5);
        EXPECT_EQ(Menus.MainMenuHover, 3) << "the resting pointer leaves the key's highlight alone";
        EXPECT_EQ(Menus.MainMenu[3].image, 24);
        EXPECT_EQ(Menus.MainMenu[2].image, 21);
        centre(5, 0);
        EXPECT_EQ(Menus.MainMenuHover, 5) << "a moving pointer takes it over";
        TapKey(KEY_UP);
        EXPECT_EQ(Menus.MainMenuHover, 4);
        centre(5, 1);
        EXPECT_EQ(Menus.MainMenuHover, 5);
        // A key highlights QUIT while the pointer rests on CREDITS: a click is the pointer's.
        TapKey(KEY_DOWN);
        ASSERT_EQ(Menus.MainMenuHover, 6);
        PfInjectMouseButton(MOUSE_LEFT, 1);
        RunFrames(1);
        PfInjectMouseButton(MOUSE_LEFT, 0);
        RunFrames(1);
        ASSERT_EQ(App.ScreenState, StateCredits);
        TapKey(KEY_ESCAPE);
        ASSERT_EQ(App.ScreenState, StateMainMenu);
        // Return on the pointer's SETTINGS: the settings screen opens with nothing
        // highlighted, though the resting pointer is over its sound effects row.
        const MenuButton& from = Menus.MainMenu[3];
        const MenuButton& row = Menus.Settings[3];
        const int x = (from.hitX1 + from.hitX2) / 2;
        const int y = (std::max(from.hitY1, row.hitY1) + std::min(from.hitY2, row.hitY2)) / 2;
        ASSERT_TRUE(PointInButton(from, x, y) && PointInButton(row, x, y)) << "the figures need the two to overlap";
        PfInjectMouseMove(x, y);
        RunFrames(1);
        ASSERT_EQ(Menus.MainMenuHover, 3);
        TapKey(KEY_RETURN);
        ASSERT_EQ(App.ScreenState, StateSettings);
        RunFrames(3);
        EXPECT_EQ(Menus.SettingsHover, 0);
        EXPECT_EQ(Menus.Settings[3].image, 61);
        PfInjectMouseMove(x + 1, y);
        RunFrames(1);
        EXPECT_EQ(Menus.SettingsHover, 3) << "until the pointer moves";
        StopHarness();
    }
}

}  // namespace

// Pictures of a main menu button and a settings row highlighted by keys, for
// review by eye (run on request only):
//   build/bin/game_tests --gtest_also_run_disabled_tests --gtest_filter='KeyboardMenus.DISABLED_*'
// The bitmaps land in $PRISMORIA_CAPTURE_DIR, else in the test's scratch folder.
TEST_F(KeyboardMenus, DISABLED_CaptureButtonsHighlightedByKeys) {
    const char* folder = std::getenv("PRISMORIA_CAPTURE_DIR");
    const std::string base = folder && *folder ? std::string(folder) + "/" : std::string(PRISMORIA_TEST_TMP) + "/";
    for (const auto& [width, height] : {std::pair{1920, 1080}, std::pair{1024, 576}}) {
        HarnessOptions options;
        options.desktopWidth = width;
        options.desktopHeight = height;
        StartAtMainMenu(options);
        const std::string size = std::to_string(width) + "x" + std::to_string(height);
        for (int key : {KEY_DOWN, KEY_DOWN, KEY_DOWN}) TapKey(key);
        ASSERT_EQ(Menus.MainMenuHover, 3);
        RunFrames(1);  // a frame is drawn before its keys are read
        EXPECT_TRUE(playtest::SaveFrame(base + "menu_keys_main_" + size + ".bmp"));
        for (int key : {KEY_RETURN, KEY_DOWN, KEY_DOWN, KEY_DOWN, KEY_DOWN}) TapKey(key);
        ASSERT_EQ(Menus.SettingsHover, 4);
        RunFrames(1);
        EXPECT_TRUE(playtest::SaveFrame(base + "menu_keys_settings_" + size + ".bmp"));
        // The help text with its keys, BACK highlighted.
        for (int key : {KEY_ESCAPE, KEY_UP, KEY_UP, KEY_UP, KEY_RETURN, KEY_DOWN}) TapKey(key);
        ASSERT_EQ(Menus.HelpHover, 1);
        RunFrames(1);
        EXPECT_TRUE(playtest::SaveFrame(base + "menu_keys_help_" + size + ".bmp"));
        StopHarness();
    }
}
