// app_shell_test.cpp: the fatal exit, the display reopened by settings OK or by a desktop change, and the gem wall.
#include <gtest/gtest.h>

#include "app/spine.h"
#include "audio/audio.h"
#include "board.h"
#include "data/text.h"
#include "display/assets.h"
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

using Shell = HarnessTest;

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

// The desktop changing under a running game (headless desktop 1024x576): full
// screen and borderless are rebuilt for the new desktop size when it changed or
// when their display went away; a window keeps its chosen 1280x720; a desktop
// reporting no size changes nothing. A game in progress ends with the rebuild.
TEST_F(Shell, DesktopChangesRebuildFullScreenAndBorderlessForTheNewSize) {
    struct Case {
        int mode, change, desktopW, desktopH;
        bool inGame, rebuilt;
        int width, height, tile, boardTop;
    };
    const Case cases[] = {
        {ScreenBorderless, PF_DISPLAY_DESKTOP_CHANGED, 1366, 768, false, true, 1366, 768, 68, 68},
        {ScreenFullscreen, PF_DISPLAY_DESKTOP_CHANGED, 1280, 1024, false, true, 1280, 1024, 64, 256},
        {ScreenFullscreen, PF_DISPLAY_DESKTOP_CHANGED, 1680, 1050, true, true, 1680, 1050, 84, 105},
        {ScreenBorderless, PF_DISPLAY_DESKTOP_CHANGED, 1024, 576, false, false, 1024, 576, 50, 50},
        {ScreenBorderless, PF_DISPLAY_SCREEN_GONE, 1024, 576, true, true, 1024, 576, 50, 50},
        {ScreenWindowed, PF_DISPLAY_SCREEN_GONE, 1680, 1050, false, false, 1280, 720, 64, 64},
        {ScreenFullscreen, PF_DISPLAY_SCREEN_GONE, -1, -1, true, false, 1024, 576, 50, 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.mode << " " << c.change << " " << c.desktopW << "x" << c.desktopH);
        HarnessOptions options;
        options.gameScreen = c.mode;
        StartAtMainMenu(options);
        if (c.inGame) StartGameThroughMenus(2, 1);
        const int stateBefore = App.ScreenState;
        PfSetHeadlessDesktopSize(c.desktopW, c.desktopH);
        PfInjectDisplayChange(c.change);
        RunOneFrame();
        EXPECT_EQ(App.ScreenState, c.rebuilt ? StateTitle : stateBefore);
        EXPECT_EQ(Display.ScreenWidth, c.width);
        EXPECT_EQ(Display.ScreenHeight, c.height);
        EXPECT_EQ(ScreenWidth(), c.width);
        EXPECT_EQ(Display.TileSize, c.tile);
        EXPECT_EQ(Display.BoardTop, c.boardTop);
        EXPECT_EQ(App.Settings.GameScreen, c.mode);
        if (c.inGame && c.rebuilt) {
            EXPECT_EQ(GameVars.GameRunning, 0);
            EXPECT_EQ(TrackStatus(SndGameTrack), SOUND_STOPPED);
            EXPECT_EQ(TrackStatus(SndMenuTrack), SOUND_PLAYING);
        }
        if (c.rebuilt) {
            EXPECT_TRUE(RunUntilState(StateMainMenu)) << "the title intro leads to the main menu";
            ClickButton(StateMainMenu, 4);
            EXPECT_EQ(App.ScreenState, StateHelp) << "the rebuilt panels answer";
        }
        StopHarness();
        PfSetHeadlessDesktopSize(0, 0);
    }
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
    Menus.GemWallColumns = BuildGemWall(Display.ScreenWidth, Display.ScreenHeight, tile);
    ASSERT_EQ(Menus.GemWallColumns, columns);
    ASSERT_EQ(int(Menus.GemWall.size()), (columns + 1) * (rows + 1));
    EXPECT_EQ(Menus.GemWall.back().x, columns * tile);
    EXPECT_EQ(Menus.GemWall.back().y, rows * tile);
    ScrollGemWall(columns, tile);
    EXPECT_EQ(Menus.GemWall.front().y, -1);
    // After a tile and a bit the top row is recycled at the bottom; the count stays.
    for (int i = 0; i < tile; ++i) ScrollGemWall(columns, tile);
    EXPECT_EQ(Menus.GemWall.front().y, -tile - 1);
    const int lastY = Menus.GemWall.back().y;
    ScrollGemWall(columns, tile);  // the top row is now wholly above the screen
    EXPECT_EQ(int(Menus.GemWall.size()), (columns + 1) * (rows + 1));
    EXPECT_EQ(Menus.GemWall.front().y, -2) << "the second row moved up to the front";
    EXPECT_EQ(Menus.GemWall.back().y, lastY + tile - 1) << "a new row below the last one";
    EXPECT_EQ(Menus.GemWall.back().x, columns * tile);
    for (const GemTile& t : Menus.GemWall) EXPECT_NE(t.image, 0);
}

namespace {

// The wall rebuilt for the current display, as a display rebuild does.
void RebuildGemWall() {
    Menus.GemWallColumns = BuildGemWall(Display.ScreenWidth, Display.ScreenHeight, Display.TileSize);
}

// The frame drawn so far, grabbed into an image and read back as pixels.
std::vector<uint32_t> GrabFrame() {
    const int w = ScreenWidth(), h = ScreenHeight();
    std::vector<uint32_t> pixels;
    const int image = GrabScreenImage(PF_ANY, 0, 0, w, h);
    if (!image) return pixels;
    pixels.reserve(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) pixels.push_back(ImagePixel(image, x, y) | 0xFF000000u);
    }
    FreeImage(image);
    return pixels;
}

}  // namespace

// The compared pictures of one wall: through the tile sprites, and every gem with its transparency.
static void ExpectTileSpritesShowTheGems(const char* when) {
    ClearFrame(RGB(255, 0, 255));
    (void)ScreenPixel(0, 0);  // drawn now: nothing of an earlier picture survives
    DrawGemWall();
    const std::vector<uint32_t> cached = GrabFrame();
    DrawGemWallGemByGem();
    const std::vector<uint32_t> gems = GrabFrame();
    ASSERT_EQ(cached.size(), size_t(ScreenWidth()) * size_t(ScreenHeight()));
    ASSERT_EQ(gems.size(), cached.size());
    size_t differing = 0, lit = 0;
    for (size_t i = 0; i < cached.size(); ++i) {
        differing += cached[i] != gems[i];
        lit += (gems[i] & 0xFFFFFFu) != 0;
    }
    EXPECT_EQ(differing, 0u) << when;
    EXPECT_GT(lit, gems.size() / 2) << "the gems are on the screen, " << when;
}

TEST_F(Shell, GemWallTileSpritesShowExactlyWhatTheGemsShow) {
    StartAtMainMenu();
    RebuildGemWall();
    const int tile = Display.TileSize;
    for (int colour = 1; colour <= GemColourCount; ++colour) {
        const int number = Menus.GemWallTileSprites[size_t(colour)];
        ASSERT_EQ(number, GemWallFirstTileSprite + colour) << "colour " << colour << " has its tile";
        EXPECT_EQ(SpriteWidth(number), tile);
        EXPECT_EQ(SpriteHeight(number), tile);
    }
    const int sprites = PfLiveObjectCount(PF_OBJECTS_SPRITES);
    // Steps chosen so that rows are recycled in between, twice.
    int stepped = 0;
    for (int target : {0, 1, tile, tile + 1, tile + 2, 2 * tile + 3, 3 * tile + 7}) {
        while (stepped < target) {
            ScrollGemWall(Menus.GemWallColumns, tile);
            ++stepped;
        }
        ExpectTileSpritesShowTheGems(("after " + std::to_string(stepped) + " steps").c_str());
    }
    EXPECT_EQ(PfLiveObjectCount(PF_OBJECTS_SPRITES), sprites) << "scrolling makes no sprites";
    RebuildGemWall();
    EXPECT_EQ(PfLiveObjectCount(PF_OBJECTS_SPRITES), sprites) << "a rebuild replaces the tile sprites";
}

// Whatever the tiles leave uncovered (a gap at the top, a short wall, a shifted
// wall) is black, never the previous frame; a gem shown at another size than a
// tile has no tile sprite and is drawn as it is.
TEST_F(Shell, GemWallLeavesNoStaleFrameWhereTheTilesDoNotReach) {
    StartAtMainMenu();
    const int tile = Display.TileSize;
    ScaleSprite(Assets.Gem[3], tile + 10, tile + 10);
    RebuildGemWall();
    EXPECT_EQ(Menus.GemWallTileSprites[3], 0) << "a gem larger than its tile";
    EXPECT_NE(Menus.GemWallTileSprites[4], 0);
    const size_t perRow = size_t(Menus.GemWallColumns) + 1;
    // Drop the bottom two rows and push the wall right and down.
    Menus.GemWall.resize(Menus.GemWall.size() - 2 * perRow);
    for (GemTile& t : Menus.GemWall) {
        t.x += 7;
        t.y += tile / 2 + 3;
    }
    Menus.GemWall[perRow + 1].image = Assets.Gem[3];
    const uint32_t stale = RGB(255, 0, 255);
    // Each picture starts from a frame that really holds the stale colour.
    ClearFrame(stale);
    ASSERT_EQ(ScreenPixel(0, 0) & 0xFFFFFFu, stale & 0xFFFFFFu);
    ExpectTileSpritesShowTheGems("on a shifted, short wall");
    ClearFrame(stale);
    ASSERT_EQ(ScreenPixel(0, 0) & 0xFFFFFFu, stale & 0xFFFFFFu);
    DrawGemWall();
    const std::vector<uint32_t> cached = GrabFrame();
    ASSERT_EQ(cached.size(), size_t(ScreenWidth()) * size_t(ScreenHeight()));
    size_t staleLeft = 0;
    for (uint32_t pixel : cached) staleLeft += (pixel & 0xFFFFFFu) == (stale & 0xFFFFFFu);
    EXPECT_EQ(staleLeft, 0u);
    // The gaps themselves: the strip above the wall and the columns left of it.
    const size_t w = size_t(ScreenWidth());
    EXPECT_EQ(cached[0] & 0xFFFFFFu, 0u);
    EXPECT_EQ(cached[w * size_t(ScreenHeight() / 2) + 3] & 0xFFFFFFu, 0u);
}
