// display_screen_test.cpp: opening the surface in each screen mode, its log lines, closing it, and the rebuild.
#include <gtest/gtest.h>

#include "core/state.h"
#include "app/spine.h"
#include "assets_test_pack.h"
#include "menus/menus.h"

namespace {

using testpack::CountLine;

class ScreenModeTest : public HeadlessDisplayTest {
protected:
    void SetUp() override {
        HeadlessDisplayTest::SetUp();
        PfSetHeadlessDesktopSize(1600, 900);
        BuildResolutionList();
    }

    bool Open(int mode, int resolution) {
        App.Settings.GameScreen = mode;
        App.Settings.Resolution = resolution;
        ChooseScreenSize(false);
        return OpenGameSurface();
    }
};

}  // namespace

TEST_F(ScreenModeTest, FullscreenOpensAtTheDesktopSize) {
    StartLog();
    ASSERT_TRUE(Open(ScreenFullscreen, 8));
    std::vector<std::string> lines = FinishLog();
    EXPECT_EQ(ScreenWidth(), 1600);
    EXPECT_EQ(ScreenHeight(), 900);
    EXPECT_FALSE(IsGameWindow(0));
    const std::vector<std::string> expected = {"Prismoria", "Opening screen (Fullscreen):\t\tOK",
                                               "Screenwidth:\t\t1600", "Screenheight:\t\t900"};
    EXPECT_EQ(lines, expected);
    CloseGameSurface();
    EXPECT_FALSE(IsGameScreenOpen());
}

TEST_F(ScreenModeTest, WindowedOpensWindowZeroAtTheChosenResolution) {
    StartLog();
    ASSERT_TRUE(Open(ScreenWindowed, 2));
    std::vector<std::string> lines = FinishLog();
    EXPECT_TRUE(IsGameWindow(0));
    EXPECT_TRUE(IsGameScreenOpen());
    EXPECT_EQ(Display.ScreenWidth, 1366);
    EXPECT_EQ(Display.ScreenHeight, 768);
    const std::vector<std::string> expected = {"Prismoria", "Opening screen (Windowed):\t\tOK",
                                               "Screenwidth:\t\t1366", "Screenheight:\t\t768"};
    EXPECT_EQ(lines, expected);
    CloseGameSurface();
    EXPECT_FALSE(IsGameScreenOpen());
    EXPECT_FALSE(IsGameWindow(0));
}

TEST_F(ScreenModeTest, BorderlessCoversTheDesktop) {
    StartLog();
    ASSERT_TRUE(Open(ScreenBorderless, 0));
    std::vector<std::string> lines = FinishLog();
    EXPECT_TRUE(IsGameWindow(0));
    EXPECT_EQ(ScreenWidth(), 1600);
    EXPECT_EQ(ScreenHeight(), 900);
    EXPECT_EQ(CountLine(lines, "Opening screen (Borderless):\t\tOK"), 1);
    ShowGameWindow();  // shows and activates it; no cursor file here
    EXPECT_EQ(Display.Cursor, 0);
    CloseGameSurface();
    EXPECT_FALSE(IsGameWindow(0));
}

TEST_F(ScreenModeTest, CursorIsLoadedOnceFromTheGameFolder) {
    std::vector<uint8_t> cursor = testpack::ReadBytes(std::string(PRISMORIA_BIN_DIR) + "/Prismoria.pointer");
    if (cursor.empty()) GTEST_SKIP() << "the game's cursor file has not been generated";
    ASSERT_EQ(WriteWholeFile(Folder + "Prismoria.pointer", cursor.data(), cursor.size()), 1);
    ASSERT_TRUE(Open(ScreenWindowed, 1));
    const int loaded = Display.Cursor;
    EXPECT_NE(loaded, 0);
    CloseGameSurface();
    ASSERT_TRUE(Open(ScreenBorderless, 1));
    EXPECT_EQ(Display.Cursor, loaded);
}

TEST_F(ScreenModeTest, ASurfaceThatCannotOpenIsLoggedAsFailed) {
    Display.Resolutions[0] = "0x0";
    StartLog();
    EXPECT_FALSE(Open(ScreenWindowed, 0));
    std::vector<std::string> lines = FinishLog();
    const std::vector<std::string> expected = {"Prismoria", "Opening screen (Windowed):\t\tFAILED"};
    EXPECT_EQ(lines, expected);
    EXPECT_FALSE(IsGameScreenOpen());
    EXPECT_FALSE(IsGameWindow(0));
}

// ---------------------------------------------------------------- the display rebuild

namespace {

class DisplayRebuildTest : public ScreenModeTest {
protected:
    void SetUp() override {
        ScreenModeTest::SetUp();
        ASSERT_TRUE(testpack::WriteTestPack(Folder + "Prismoria.data"));
        // The first opening, as the start-up does it.
        ASSERT_TRUE(Open(ScreenWindowed, 1));
        ClassifyAspect(Display.ScreenWidth, Display.ScreenHeight);
        ComputeLayout();
        LoadImages();
        PlaceGameLogo();
        CreateFonts();
        BuildAllPanels();
        Menus.GemWallColumns = BuildGemWall(Display.ScreenWidth, Display.ScreenHeight, Display.TileSize);
        App.Pending = App.Settings;
        App.ScreenState = StateSettings;
        App.SplashCounter = 57;
    }
};

}  // namespace

TEST_F(DisplayRebuildTest, SwitchingToFullscreenReopensAtTheDesktopSize) {
    App.Pending.GameScreen = ScreenFullscreen;
    StartLog();
    RebuildDisplay();
    std::vector<std::string> lines = FinishLog();

    EXPECT_EQ(App.Settings.GameScreen, ScreenFullscreen);
    EXPECT_FALSE(IsGameWindow(0));
    EXPECT_EQ(Display.ScreenWidth, 1600);
    EXPECT_EQ(Display.ScreenHeight, 900);
    EXPECT_EQ(Display.TileSize, 80);
    EXPECT_EQ(SpriteWidth(ImgShadow), 1600);
    EXPECT_EQ(SpriteWidth(ImgStudioLogo), 1600);
    EXPECT_EQ(App.ScreenState, StateTitle);
    EXPECT_EQ(App.SplashCounter, 0);
    // The logo starts centred again.
    EXPECT_EQ(Display.LogoX, 800 - SpriteWidth(ImgGameLogo) / 2);
    EXPECT_EQ(Display.LogoY, 450 - SpriteHeight(ImgGameLogo) / 2);
    ReadMouse();
    EXPECT_EQ(MouseX(), 800);
    EXPECT_EQ(MouseY(), 450);

    ASSERT_GE(lines.size(), 8u);
    EXPECT_EQ(lines[1], "Opening screen (Fullscreen):\t\tOK");
    EXPECT_EQ(lines[2], "Screenwidth:\t\t1600");
    EXPECT_EQ(lines[3], "Screenheight:\t\t900");
    EXPECT_EQ(lines[4], "AspectRatio:\t\t3");
    EXPECT_EQ(lines[5], "AspectRatio:  16:9");
    EXPECT_EQ(lines[6], "Load asset (brk):\t\tOK");
    EXPECT_EQ(lines.back(), "TileSize: \t\t80");
    // Neither the desktop lines nor the typeface and the sounds come again.
    EXPECT_EQ(CountLine(lines, "ScreenWidth:\t\t1600"), 0);
    EXPECT_EQ(CountLine(lines, "Load asset (TimeandSpace-Regular.ttf):\t\tOK"), 0);
    EXPECT_EQ(CountLine(lines, "Load asset (music1.ogg):\t\tOK"), 0);
}

TEST_F(DisplayRebuildTest, RepeatedRebuildsKeepTheNumbersAndLeakNothing) {
    const int sprites = PfLiveObjectCount(PF_OBJECTS_SPRITES);
    const int images = PfLiveObjectCount(PF_OBJECTS_IMAGES);
    const int fonts = PfLiveObjectCount(PF_OBJECTS_FONTS);

    const int sizes[3][2] = {{1024, 576}, {1920, 1080}, {1280, 720}};
    for (int round = 0; round < 3; round++) {
        App.Pending.GameScreen = ScreenWindowed;
        App.Pending.Resolution = round == 0 ? 0 : round == 1 ? 3 : 1;
        RebuildDisplay();
        EXPECT_EQ(Display.ScreenWidth, sizes[round][0]);
        EXPECT_EQ(Display.ScreenHeight, sizes[round][1]);
        EXPECT_TRUE(IsGameWindow(0));
        EXPECT_EQ(PfLiveObjectCount(PF_OBJECTS_SPRITES), sprites) << round;
        EXPECT_EQ(PfLiveObjectCount(PF_OBJECTS_IMAGES), images) << round;
        EXPECT_EQ(PfLiveObjectCount(PF_OBJECTS_FONTS), fonts) << round;
        for (int n = 1; n <= 18; n++) EXPECT_TRUE(IsSprite(n)) << n;
        for (int n = 83; n <= 110; n++) EXPECT_TRUE(IsSprite(n)) << n;
        for (int i = 1; i <= 11; i++) {
            EXPECT_TRUE(IsSprite(Assets.Shape[i]));
            EXPECT_EQ(SpriteWidth(Assets.TrayShape[i]), Display.TrayCell);
        }
    }
}

namespace {

// The frame drawn so far, as pixels.
std::vector<uint32_t> GrabFrame() {
    std::vector<uint32_t> pixels;
    const int image = GrabScreenImage(PF_ANY, 0, 0, ScreenWidth(), ScreenHeight());
    for (int y = 0; y < ImageHeight(image); y++) {
        for (int x = 0; x < ImageWidth(image); x++) pixels.push_back(ImagePixel(image, x, y));
    }
    FreeImage(image);
    return pixels;
}

// The main menu with the logo at rest, then every image the game loads drawn at
// its display size over a cleared frame.
std::vector<uint32_t> DrawMenuAndImages() {
    App.ScreenState = StateMainMenu;
    Display.LogoY = 0;
    DrawScreenState();
    std::vector<uint32_t> frames = GrabFrame();
    ClearFrame(RGB(90, 20, 140));
    std::vector<int> images = {ImgShadow, ImgGameLogo, ImgPointer, ImgPlayBackground};
    for (int n = ImgMainMenuPanel; n <= ImgGameModePanel; n++) images.push_back(n);
    for (int n = ImgMenuButtonTemplate; n <= ImgMenuButtonHover; n++) images.push_back(n);
    for (int i = 0; i <= 11; i++) {
        for (int series : {Assets.Gem[i], Assets.GemEffect[i], Assets.Shape[i], Assets.TrayShape[i]}) {
            if (series != 0) images.push_back(series);
        }
    }
    int x = 0;
    int y = 0;
    for (int n : images) {
        DrawSprite(n, x, y);
        x += 97;
        if (x >= ScreenWidth()) {
            x = 0;
            y += 61;
        }
    }
    std::vector<uint32_t> catalogue = GrabFrame();
    frames.insert(frames.end(), catalogue.begin(), catalogue.end());
    return frames;
}

}  // namespace

// Once drawn, every image has given up its pixels; a rebuild under the same
// settings then makes the same screen, pixel for pixel (the gem wall's random
// gems put back as they were).
TEST_F(DisplayRebuildTest, SameScreenPixelForPixelAfterARebuild) {
    const std::vector<uint32_t> before = DrawMenuAndImages();
    FlipFrame();
    std::vector<GemTile> wall = Menus.GemWall;
    for (GemTile& tile : wall) {
        for (int colour = 0; colour <= 11; colour++) {
            if (Assets.Gem[colour] == tile.image) tile.image = colour;
        }
    }
    App.Pending = App.Settings;
    RebuildDisplay();
    for (GemTile& tile : wall) tile.image = Assets.Gem[tile.image];
    Menus.GemWall = wall;
    const std::vector<uint32_t> after = DrawMenuAndImages();
    ASSERT_EQ(after.size(), before.size());
    size_t differ = 0;
    for (size_t i = 0; i < before.size(); i++) differ += before[i] != after[i];
    EXPECT_EQ(differ, 0u) << "of " << before.size() << " pixels";
}
