// app_shell_test.cpp: the fatal exit, settings OK reopening the display, and the gem wall behind the menus.
#include <gtest/gtest.h>

#include "app/spine.h"
#include "data/text.h"
#include "display/display.h"
#include "harness.h"
#include "platform.h"

TEST(FatalExit, MessageIsNeverBlankAndTheProcessFails) {
    PfSelectBackend(PF_BACKEND_HEADLESS);
    ResetTextTable();  // as when no language could be loaded
    EXPECT_EXIT(FatalError("tErrorSUBSYSTEM", "  : Sound"), testing::ExitedWithCode(1),
                "Prismoria::Error\nA system component of the game could not be started.  : Sound");
    SetText("tErrorERROR", "Fehler");
    SetText("tErrorSCREEN", "Kein Bildschirm");
    EXPECT_EXIT(FatalError("tErrorSCREEN"), testing::ExitedWithCode(1), "Prismoria::Fehler\nKein Bildschirm");
    ResetTextTable();
}

class Shell : public testing::Test {
protected:
    void SetUp() override {
        if (!GameDataAvailable()) GTEST_SKIP() << "the data pack has not been built";
    }
    void TearDown() override { StopHarness(); }
};

TEST_F(Shell, SettingsOkWithANewScreenModeReopensAndReplaysTheTitle) {
    StartAtMainMenu();  // borderless
    ClickButton(StateMainMenu, 3);
    ASSERT_EQ(App.ScreenState, StateSettings);
    ClickButton(StateSettings, 4);  // Borderless -> Fullscreen
    EXPECT_EQ(App.Pending.GameScreen, ScreenFullscreen);
    EXPECT_EQ(App.Settings.GameScreen, ScreenBorderless);
    ClickButton(StateSettings, 6);  // OK
    EXPECT_EQ(App.Settings.GameScreen, ScreenFullscreen);
    EXPECT_EQ(App.ReopenPending, 1);
    EXPECT_EQ(App.ScreenState, StateTitle);
    EXPECT_TRUE(IsGameScreenOpen());
    EXPECT_TRUE(RunUntilState(StateMainMenu)) << "the title intro leads back to the main menu";
    // The panels were rebuilt for the new surface: the buttons still answer.
    ClickButton(StateMainMenu, 4);
    EXPECT_EQ(App.ScreenState, StateHelp);
}

TEST_F(Shell, SettingsOkChangingOnlyTheResolutionOutsideWindowedReopensNothing) {
    StartAtMainMenu();
    OpenSettings();
    StepSettingsRow(5);
    const int resolution = App.Settings.Resolution;
    ClickButton(StateSettings, 6);
    EXPECT_EQ(App.ReopenPending, 0);
    EXPECT_EQ(App.Settings.Resolution, resolution);
    EXPECT_EQ(App.ScreenState, StateMainMenu);
}

TEST_F(Shell, SettingsOkTurnsMusicAndSoundsOff) {
    StartAtMainMenu();
    OpenSettings();
    StepSettingsRow(2);
    StepSettingsRow(3);
    ApplySettings();
    EXPECT_EQ(App.Settings.Music, 0);
    EXPECT_EQ(App.Settings.Sounds, 0);
    EXPECT_EQ(App.ScreenState, StateMainMenu);
}

TEST_F(Shell, GemWallCoversTheScreenAndScrollsOnePixelAFrame) {
    StartAtMainMenu();
    const int tile = Display.TileSize;
    const int columns = Display.ScreenWidth / tile + 1;
    const int rows = Display.ScreenHeight / tile + 1;
    BuildGemWall();
    ASSERT_EQ(Menus.GemWallColumns, columns);
    ASSERT_EQ(int(Menus.GemWall.size()), (columns + 1) * (rows + 1));
    EXPECT_EQ(Menus.GemWall.back().x, columns * tile);
    EXPECT_EQ(Menus.GemWall.back().y, rows * tile);
    StepGemWall();
    EXPECT_EQ(Menus.GemWall.front().y, -1);
    // After a tile and a bit the top row is recycled at the bottom; the count stays.
    for (int i = 0; i < tile; ++i) StepGemWall();
    EXPECT_EQ(Menus.GemWall.front().y, -tile - 1);
    const int lastY = Menus.GemWall.back().y;
    StepGemWall();  // the top row is now wholly above the screen
    EXPECT_EQ(int(Menus.GemWall.size()), (columns + 1) * (rows + 1));
    EXPECT_EQ(Menus.GemWall.front().y, -2) << "the second row moved up to the front";
    EXPECT_EQ(Menus.GemWall.back().y, lastY + tile - 1) << "a new row below the last one";
    EXPECT_EQ(Menus.GemWall.back().x, columns * tile);
    for (const GemTile& t : Menus.GemWall) EXPECT_NE(t.image, 0);
}
