// layout_scaling_test.cpp: aspect classes, TileSize and BoardTop per class, and the play screen's fixed positions.
#include <gtest/gtest.h>

#include "core/state.h"
#include "core/log.h"
#include "assets_test_pack.h"
#include "display/display.h"

namespace {

struct LayoutCase {
    int width, height;
    int aspectClass, tile, trayCell, boardTop;
};

void Layout(int width, int height) {
    Display = DisplayState();
    Display.ScreenWidth = width;
    Display.ScreenHeight = height;
    ClassifyAspect(width, height);
    ComputeLayout();
}

}  // namespace

TEST(LayoutScaling, ClassTileAndBoardTopForKnownScreens) {
    const LayoutCase cases[] = {
        {1920, 1080, 3, 96, 144, 96},   // 16:9: the board one tile below the top
        {1366, 768, 3, 68, 102, 68},    // 1.7786 rounds to "1.78"
        {1360, 768, 3, 68, 102, 68},    // 1.7708 rounds to "1.77"
        {1300, 731, 3, 64, 96, 64},     // 65 is odd: made 64
        {1024, 576, 3, 50, 75, 50},     // 51 made even
        {1280, 1024, 2, 64, 96, 256},   // 5:4, centred: 512 - 4T
        {1680, 1050, 4, 84, 126, 105},  // 16:10: 525 - 5T
        {1600, 1200, 1, 80, 120, 280},  // 4:3
        {1440, 960, 0, 72, 108, 192},   // 3:2
        {2040, 1080, 5, 102, 153, 132}, // 17:9 ("1.89")
        {2048, 1080, 5, 102, 153, 132}, // "1.90"
        {1080, 1920, 7, 54, 81, 744},   // portrait: custom, centred
        {1000, 1000, 7, 50, 75, 300},   // square: custom
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        Layout(c.width, c.height);
        EXPECT_EQ(Display.AspectClass, c.aspectClass);
        EXPECT_EQ(Display.TileSize, c.tile);
        EXPECT_EQ(Display.TileSize % 2, 0);
        EXPECT_EQ(Display.TrayCell, c.trayCell);
        EXPECT_EQ(Display.BoardTop, c.boardTop);
    }
}

// Ultra-wide screens get the tiles of the 16:9 screen of the same height and a
// vertically centred board, so all eight rows and the tray stay on screen.
TEST(LayoutScaling, UltraWideUsesTheSixteenByNineTileOfItsHeight) {
    const LayoutCase cases[] = {
        {2560, 1080, 6, 96, 144, 156},   // "2.37"
        {3440, 1440, 6, 128, 192, 208},  // "2.39"
        {2580, 1080, 6, 96, 144, 156},   // "2.39"
        {1720, 720, 6, 64, 96, 104},     // "2.39"
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        Layout(c.width, c.height);
        EXPECT_EQ(Display.AspectClass, c.aspectClass);
        EXPECT_EQ(Display.TileSize, c.tile);
        EXPECT_EQ(Display.TrayCell, c.trayCell);
        EXPECT_EQ(Display.BoardTop, c.boardTop);
        // Board with its top and bottom edges, and the tray with its frame, fit the height.
        EXPECT_GE(Display.BoardTop - Display.TileSize, 0);
        EXPECT_LE(Display.BoardTop + 9 * Display.TileSize, c.height);
    }
    // The 16:9 logo stands in for the missing ultra-wide one.
    EXPECT_EQ(AspectLogoEntry(6), "brk_16x9.png");
}

TEST(LayoutScaling, LogoVariantAndAspectNamePerClass) {
    const char* logos[8] = {"brk_3x2.png",   "brk_4x3.png",  "brk_5x4.png",  "brk_16x9.png",
                            "brk_16x10.png", "brk_17x9.png", "brk_16x9.png", "brk_16x9.png"};
    const char* names[8] = {"3:2", "4:3", "5:4", "16:9", "16:10", "17:9", "ultra-wide", "custom"};
    for (int c = 0; c < 8; c++) {
        EXPECT_EQ(AspectLogoEntry(c), logos[c]) << c;
        EXPECT_EQ(AspectClassName(c), names[c]) << c;
    }
    EXPECT_EQ(ClassifyAspect(1600, 1200), 1);
    EXPECT_EQ(AspectLogoEntry(ClassifyAspect(1600, 1200)), "brk_4x3.png");
}

TEST(LayoutScaling, DegenerateSizesAreCustomAndDoNotDivideByZero) {
    EXPECT_EQ(ClassifyAspect(1920, 0), 7);
    EXPECT_EQ(ClassifyAspect(0, 0), 7);
    Layout(30, 20);
    EXPECT_EQ(Display.TileSize, 0);
    EXPECT_EQ(Display.TrayCell, 0);
}

// The worked example of a 1920 x 1080 screen.
TEST(PlayLayout, PositionsOnAFullHdScreen) {
    Layout(1920, 1080);
    EXPECT_EQ(PlayLayout.CentreX, 960);
    const int slotX[3] = {744, 888, 1032};
    for (int s = 0; s < 3; s++) {
        EXPECT_EQ(PlayLayout.TrayRect[s].x1, slotX[s]);
        EXPECT_EQ(PlayLayout.TrayRect[s].y1, 936);
        EXPECT_EQ(PlayLayout.TrayRect[s].x2, slotX[s] + 144);
        EXPECT_EQ(PlayLayout.TrayRect[s].y2, 1080);
    }
    const int cellX[4] = {192, 384, 1296, 1584};
    const int cellW[4] = {48, 240, 144, 144};
    for (int i = 0; i < 4; i++) {
        const StatusBarCell& cell = PlayLayout.StatusCell[i];
        EXPECT_EQ(cell.bx, cellX[i]);
        EXPECT_EQ(cell.bw, cellW[i]);
        EXPECT_EQ(cell.contentX, cellX[i] + 1);
        EXPECT_EQ(cell.contentY, 985);
        EXPECT_EQ(cell.topEdgeY, 936);
        EXPECT_EQ(cell.bottomEdgeY, 1032);
        EXPECT_EQ(cell.leftCapX, cellX[i] - 48);
        EXPECT_EQ(cell.rightCapX, cellX[i] + cellW[i] - 48);
        EXPECT_EQ(cell.capY, 936);
    }
    // The bar with its caps spans X - 8.5T to X + 8.5T.
    EXPECT_EQ(PlayLayout.StatusCell[CellMenuButton].leftCapX, 960 - 816);
    EXPECT_EQ(PlayLayout.StatusCell[CellBest].rightCapX + 96, 960 + 816);
}

TEST(PlayLayout, MenuButtonAreaIsStrictOnAllSides) {
    Layout(1920, 1080);
    const ScreenRect& area = PlayLayout.MenuButtonArea;
    EXPECT_EQ(area.x1, 193);
    EXPECT_EQ(area.y1, 985);
    EXPECT_EQ(area.x2, 241);
    EXPECT_EQ(area.y2, 1033);
    EXPECT_TRUE(PointInRect(area, 194, 986));
    EXPECT_TRUE(PointInRect(area, 240, 1032));
    EXPECT_FALSE(PointInRect(area, 193, 1000));
    EXPECT_FALSE(PointInRect(area, 241, 1000));
    EXPECT_FALSE(PointInRect(area, 200, 985));
    EXPECT_FALSE(PointInRect(area, 200, 1033));
}

TEST(PlayLayout, RecomputedForANewScreen) {
    Layout(1920, 1080);
    Layout(1280, 1024);
    EXPECT_EQ(PlayLayout.CentreX, 640);
    EXPECT_EQ(PlayLayout.TrayRect[1].x1, 640 - 48);
    EXPECT_EQ(PlayLayout.TrayRect[1].y1, 1024 - 96);
    EXPECT_EQ(PlayLayout.StatusCell[CellMode].bx, 640 - 6 * 64);
    EXPECT_EQ(PlayLayout.StatusCell[CellScore].bx, 640 + 224);
}

// ---------------------------------------------------------------- screen size and log lines

using ScreenSizeTest = HeadlessDisplayTest;

TEST_F(ScreenSizeTest, ResolutionListHoldsTheNineEntries) {
    BuildResolutionList();
    const std::vector<std::string> expected = {"1024x576",  "1280x720",  "1366x768",  "1920x1080", "2048x1152",
                                               "2560x1440", "2880x1620", "3200x1800", "3840x2160"};
    EXPECT_EQ(Display.Resolutions, expected);
    BuildResolutionList();
    EXPECT_EQ(Display.Resolutions.size(), 9u);
}

TEST_F(ScreenSizeTest, OnlyWindowedModeUsesTheResolution) {
    PfSetHeadlessDesktopSize(1600, 900);
    BuildResolutionList();
    App.Settings.Resolution = 3;
    for (int mode : {ScreenFullscreen, ScreenBorderless}) {
        App.Settings.GameScreen = mode;
        ChooseScreenSize(false);
        EXPECT_EQ(Display.ScreenWidth, 1600);
        EXPECT_EQ(Display.ScreenHeight, 900);
    }
    App.Settings.GameScreen = ScreenWindowed;
    ChooseScreenSize(false);
    EXPECT_EQ(Display.ScreenWidth, 1920);
    EXPECT_EQ(Display.ScreenHeight, 1080);
    // Larger than the desktop: not clamped.
    App.Settings.Resolution = 8;
    ChooseScreenSize(false);
    EXPECT_EQ(Display.ScreenWidth, 3840);
    EXPECT_EQ(Display.ScreenHeight, 2160);
    // An index that is not in the list falls back to the default entry.
    App.Settings.Resolution = 42;
    ChooseScreenSize(false);
    EXPECT_EQ(Display.ScreenWidth, 1280);
    EXPECT_EQ(Display.ScreenHeight, 720);
}

TEST_F(ScreenSizeTest, DesktopSizeIsLoggedOnlyWhenAsked) {
    PfSetHeadlessDesktopSize(1600, 900);
    App.Settings.GameScreen = ScreenWindowed;
    StartLog();
    ChooseScreenSize(true);
    ChooseScreenSize(false);
    ClassifyAspect(1280, 1024);
    std::vector<std::string> lines = FinishLog();
    const std::vector<std::string> expected = {"Prismoria", "ScreenWidth:\t\t1600", "ScreenHeight:\t\t900",
                                               "AspectRatio:\t\t2"};
    EXPECT_EQ(lines, expected);
}
