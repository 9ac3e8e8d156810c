// assets_loading_test.cpp: loading from a test pack and from the built game pack: numbers, sizes, generated images, logs.
#include <gtest/gtest.h>

#include <cstdlib>

#include "assets_test_pack.h"

namespace {

using testpack::CountLine;

class ImageLoadingTest : public HeadlessDisplayTest {
protected:
    void SetUp() override {
        HeadlessDisplayTest::SetUp();
        ASSERT_TRUE(testpack::WriteTestPack(Folder + "Prismoria.data"));
    }

    void ExpectSize(int number, int width, int height) {
        EXPECT_EQ(SpriteWidth(number), width) << "image " << number;
        EXPECT_EQ(SpriteHeight(number), height) << "image " << number;
    }
};

bool Near(uint32_t colour, int r, int g, int b, int tolerance = 4) {
    return std::abs(ColourRed(colour) - r) <= tolerance && std::abs(ColourGreen(colour) - g) <= tolerance &&
           std::abs(ColourBlue(colour) - b) <= tolerance;
}

}  // namespace

TEST_F(ImageLoadingTest, EveryImageGetsItsNumberAndDisplaySize) {
    ASSERT_TRUE(OpenSurface(1920, 1080));
    LoadImages();
    const int t = 96;

    // Drawn as stored.
    ExpectSize(ImgPointer, 16, 24);
    ExpectSize(ImgCreditsTemplate, 127, 160);
    ExpectSize(ImgQuitTemplate, 103, 112);
    ExpectSize(ImgMainMenuTemplate, 103, 140);
    ExpectSize(ImgSettingsTemplate, 126, 112);
    ExpectSize(ImgMenuButtonTemplate, 103, 9);
    ExpectSize(ImgSettingsButtonTemplate, 126, 7);
    ExpectSize(ImgCreditsButtonTemplate, 127, 7);
    ExpectSize(ImgFrameLeft, 10, 30);
    ExpectSize(ImgFrameRight, 11, 30);
    ExpectSize(ImgFrameTop, 30, 10);
    ExpectSize(ImgFrameBottom, 30, 11);

    // Panel copies of their templates, still at the template's size.
    for (int n : {ImgCreditsPanel, ImgHelpPanel}) ExpectSize(n, 127, 160);
    for (int n : {ImgQuitPanel, ImgGameOverPanel, ImgInGameMenuPanel, ImgBoardSizePanel, ImgGameModePanel})
        ExpectSize(n, 103, 112);
    ExpectSize(ImgMainMenuPanel, 103, 140);
    ExpectSize(ImgSettingsPanel, 126, 112);

    // Scaled.
    ExpectSize(ImgShadow, 1920, 1080);
    ExpectSize(ImgGameLogo, 950, 480);  // (1920 / 100) * 50 wide; 100 / 200 * 1920 / 100 * 50 high
    ExpectSize(ImgTrayRight, t, 144);
    ExpectSize(ImgTrayLeft, t, 144);
    ExpectSize(ImgTrayTop, 432, t);
    ExpectSize(ImgMenuButtonTop, 48, 48);
    ExpectSize(ImgMenuButtonBottom, 48, 48);
    ExpectSize(ImgScoreBoxTop, 144, 48);
    ExpectSize(ImgScoreBoxBottom, 144, 48);
    ExpectSize(ImgModeBoxTop, 240, 48);
    ExpectSize(ImgModeBoxBottom, 240, 48);
    for (int n = ImgDecorTopLeft; n <= ImgDecorBottomRight; n++) ExpectSize(n, 2 * t, 2 * t);
    ExpectSize(ImgStatusLeftCap, t, 144);
    ExpectSize(ImgStatusRightCap, t, 144);
    ExpectSize(ImgMenuButton, 46, 46);
    ExpectSize(ImgMenuButtonHover, 46, 46);

    // The copies are independent objects: the sources keep their stored size.
    EXPECT_EQ(SpriteStoredWidth(ImgTrayTop), 30);
    EXPECT_EQ(SpriteStoredHeight(ImgMenuButtonBottom), 11);
}

TEST_F(ImageLoadingTest, SeriesHandlesAndTheirSizes) {
    ASSERT_TRUE(OpenSurface(1920, 1080));
    LoadImages();
    const int t = 96;
    const int wide[12] = {0, 1, 2, 3, 3, 1, 3, 2, 1, 2, 3, 3};
    const int high[12] = {0, 1, 1, 2, 3, 4, 2, 2, 3, 2, 2, 3};
    for (int i = 0; i <= 11; i++) {
        ASSERT_TRUE(IsSprite(Assets.Gem[i])) << i;
        ExpectSize(Assets.Gem[i], t, t);
    }
    EXPECT_EQ(Assets.GemEffect[0], 0);
    EXPECT_EQ(Assets.Shape[0], 0);
    EXPECT_EQ(Assets.TrayShape[0], 0);
    for (int i = 1; i <= 11; i++) {
        ASSERT_TRUE(IsSprite(Assets.GemEffect[i])) << i;
        ASSERT_TRUE(IsSprite(Assets.Shape[i])) << i;
        ASSERT_TRUE(IsSprite(Assets.TrayShape[i])) << i;
        ExpectSize(Assets.GemEffect[i], t, t);
        ExpectSize(Assets.Shape[i], wide[i] * t, high[i] * t);
        ExpectSize(Assets.TrayShape[i], 144, 144);
    }
    // Series images never land on the game's fixed numbers.
    for (int i = 0; i <= 11; i++) EXPECT_GT(Assets.Gem[i], 200);
}

TEST_F(ImageLoadingTest, GeneratedImages) {
    ASSERT_TRUE(OpenSurface(1920, 1080));
    LoadImages();
    ExpectSize(ImgPlayBackground, 1920, 1080);
    ExpectSize(ImgEmptyTraySlot, 144, 144);
    ExpectSize(ImgModeBox, 238, 46);
    ExpectSize(ImgScoreBox, 142, 46);
    ExpectSize(ImgBestBox, 142, 46);
    EXPECT_TRUE(Near(SpritePixel(ImgEmptyTraySlot, 70, 70), 38, 35, 32, 0));

    // Left to right rainbow, mirrored about the middle, the same on every row.
    for (int y : {0, 540, 1079}) {
        EXPECT_TRUE(Near(SpritePixel(ImgPlayBackground, 0, y), 191, 64, 64)) << y;
        EXPECT_TRUE(Near(SpritePixel(ImgPlayBackground, 960, y), 191, 189, 64)) << y;
        EXPECT_TRUE(Near(SpritePixel(ImgPlayBackground, 1919, y), 192, 64, 64)) << y;
    }
    EXPECT_TRUE(Near(SpritePixel(ImgPlayBackground, 384, 10), 68, 64, 191));   // 0.20
    EXPECT_TRUE(Near(SpritePixel(ImgPlayBackground, 1536, 10), 68, 64, 191));  // 0.80
    EXPECT_TRUE(Near(SpritePixel(ImgPlayBackground, 576, 10), 64, 191, 191));   // 0.30
    EXPECT_TRUE(Near(SpritePixel(ImgPlayBackground, 768, 10), 137, 205, 106));  // 0.40
}

TEST_F(ImageLoadingTest, StudioLogoIsResizedToTheScreenWidth) {
    // 16:9 screen, 320 x 180 artwork: scaled up to the full screen.
    ASSERT_TRUE(OpenSurface(1280, 720));
    LoadImages();
    ExpectSize(ImgStudioLogo, 1280, 720);
    // 4:3 screen, 400 x 300 artwork.
    CloseGameSurface();
    ASSERT_TRUE(OpenSurface(1600, 1200));
    LoadImages();
    ExpectSize(ImgStudioLogo, 1600, 1200);
    // 16:10 artwork 320 x 200 on 1680 x 1050.
    CloseGameSurface();
    ASSERT_TRUE(OpenSurface(1680, 1050));
    LoadImages();
    ExpectSize(ImgStudioLogo, 1680, 1050);
    // The picture reaches the middle of the screen.
    DrawSpriteOpaque(ImgStudioLogo, 0, 0);
    EXPECT_NE(ScreenPixel(840, 525) & 0xFFFFFFu, 0u);
}

TEST_F(ImageLoadingTest, UltraWideLoadsTheSixteenByNineLogo) {
    ASSERT_TRUE(OpenSurface(2560, 1080));
    EXPECT_EQ(Display.AspectClass, 6);
    StartLog();
    LoadImages();
    std::vector<std::string> lines = FinishLog();
    ExpectSize(ImgStudioLogo, 2560, 1440);  // 180 / 320 * 2560
    EXPECT_EQ(CountLine(lines, "AspectRatio:  ultra-wide"), 1);
    EXPECT_EQ(CountLine(lines, "Load asset (brk):\t\tOK"), 1);
}

TEST_F(ImageLoadingTest, LogLinesInCatalogueOrder) {
    ASSERT_TRUE(OpenSurface(1920, 1080));
    StartLog();
    LoadImages();
    std::vector<std::string> lines = FinishLog();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[1], "AspectRatio:  16:9");
    EXPECT_EQ(lines[2], "Load asset (brk):\t\tOK");
    EXPECT_EQ(lines[3], "Load asset (shadow.png):\t\tOK");
    EXPECT_EQ(lines[4], "Load asset (pointer.png):\t\tOK");
    EXPECT_EQ(lines[5], "Load asset (logo.png):\t\tOK");
    EXPECT_EQ(CountLine(lines, "Load asset (gems):\t\tOK"), 12);
    EXPECT_EQ(CountLine(lines, "Load asset (gems fx):\t\tOK"), 11);
    EXPECT_EQ(CountLine(lines, "Load asset (temps):\t\tOK"), 22);
    EXPECT_EQ(lines.back(), "Load asset (gui_quit_active.png):\t\tOK");
    // first line + aspect + brk + 7 singles + 45 series + 15 singles.
    EXPECT_EQ(lines.size(), 70u);
    // A custom screen names itself so.
    CloseGameSurface();
    ASSERT_TRUE(OpenSurface(1000, 1000));
    DeleteFile(LogPath);
    StartLog();
    LoadImages();
    lines = FinishLog();
    EXPECT_EQ(lines[1], "AspectRatio:  custom");
}

TEST_F(ImageLoadingTest, RebuildRecreatesEverythingUnderTheSameNumbersWithoutLeaks) {
    ASSERT_TRUE(OpenSurface(1920, 1080));
    LoadImages();
    const int sprites = PfLiveObjectCount(PF_OBJECTS_SPRITES);
    const int images = PfLiveObjectCount(PF_OBJECTS_IMAGES);
    // Numbers 1..18 and 83..110, plus the 45 series images.
    EXPECT_EQ(sprites, 18 + 28 + 45);
    EXPECT_EQ(images, 0);  // the decoded logo is freed once drawn

    for (int round = 0; round < 2; round++) {
        CloseGameSurface();
        ASSERT_TRUE(OpenSurface(1366, 768));
        LoadImages();
        EXPECT_EQ(PfLiveObjectCount(PF_OBJECTS_SPRITES), sprites);
        EXPECT_EQ(PfLiveObjectCount(PF_OBJECTS_IMAGES), 0);
        for (int n = 1; n <= 18; n++) EXPECT_TRUE(IsSprite(n)) << n;
        for (int n = 83; n <= 110; n++) EXPECT_TRUE(IsSprite(n)) << n;
        ExpectSize(ImgShadow, 1366, 768);
        ExpectSize(Assets.Gem[5], 68, 68);
        ExpectSize(ImgEmptyTraySlot, 102, 102);
    }
}

TEST_F(ImageLoadingTest, LargeLogoUsesItsOwnBuffer) {
    // Over 200 KiB (stored without compression) but well below 4 MiB.
    std::vector<uint8_t> big = testpack::MakePng(320, 180, RGBA(10, 20, 30, 255), 0);
    ASSERT_GT(big.size(), 204800u);
    ASSERT_TRUE(testpack::WriteTestPack(Folder + "Prismoria.data", {}, {{"brk_16x9.png", big}}));
    ASSERT_TRUE(OpenSurface(1920, 1080));
    LoadImages();
    ExpectSize(ImgStudioLogo, 1920, 1080);
    EXPECT_TRUE(Near(SpritePixel(ImgStudioLogo, 100, 100), 10, 20, 30, 1));
}

// ---------------------------------------------------------------- the built game pack

namespace {

using testpack::TwoDigits;

constexpr int64_t Large = 15728640;
constexpr int64_t Logo = 4194304;
constexpr int64_t Image = 204800;

const char* const Sounds[8] = {"music1.ogg",
                               "music2.ogg",
                               "chime_bell_positive_ring_01.ogg",
                               "collect_item_hurry_out_of_time_01.ogg",
                               "game_over_dark_bell_chime_01.ogg",
                               "points_ticker_bonus_score_reward_single_05.ogg",
                               "coin_ring_gemstone_item_02.ogg",
                               "ui_menu_popup_01.ogg"};
const int SoundNumbers[8] = {0, 1, 4, 2, 5, 7, 3, 6};

// Every entry the game reads, with the buffer it must fit in.
std::vector<std::pair<std::string, int64_t>> ExpectedEntries() {
    std::vector<std::pair<std::string, int64_t>> entries = {{"TimeandSpace-Regular.ttf", Large}};
    for (const char* sound : Sounds) entries.push_back({sound, Large});
    for (const char* logo : {"brk_3x2.png", "brk_4x3.png", "brk_5x4.png", "brk_16x9.png", "brk_16x10.png",
                             "brk_17x9.png"})
        entries.push_back({logo, Logo});
    for (const char* image :
         {"shadow.png", "pointer.png", "logo.png", "credits.png", "quit.png", "mainmenu.png", "settings.png",
          "menu_template.png", "settings_template.png", "credits_template.png", "frame_left.png",
          "frame_right.png", "frame_top.png", "frame_bottom.png", "decor_top_left.png", "decor_top_right.png",
          "decor_bottom_left.png", "decor_bottom_right.png", "gui_complex_left.png", "gui_complex_right.png",
          "gui_quit.png", "gui_quit_active.png"})
        entries.push_back({image, Image});
    for (int i = 0; i <= 11; i++) entries.push_back({"s" + TwoDigits(i) + ".png", Image});
    for (int i = 1; i <= 11; i++) {
        entries.push_back({TwoDigits(i) + ".png", Image});
        entries.push_back({"shape" + TwoDigits(i) + ".png", Image});
        entries.push_back({"gui_shape " + TwoDigits(i) + ".png", Image});
    }
    return entries;
}

class BuiltPackTest : public HeadlessDisplayTest {
protected:
    void SetUp() override {
        if (!testpack::BuiltPackExists()) GTEST_SKIP() << "the game's data pack has not been built";
        HeadlessDisplayTest::SetUp();
        ASSERT_EQ(InitSound(), 1);
        App.GameDir = std::string(PRISMORIA_BIN_DIR) + "/";
    }
};

}  // namespace

TEST_F(BuiltPackTest, EveryCatalogueEntryIsPresentAndFitsItsBuffer) {
    int pack = OpenDataPack(PF_ANY, testpack::BuiltPackPath(), PACK_NATIVE);
    ASSERT_NE(pack, 0);
    std::vector<PackEntryInfo> listing = ListPackEntries(pack);
    CloseDataPack(pack);
    for (const auto& [name, buffer] : ExpectedEntries()) {
        const PackEntryInfo* found = nullptr;
        for (const PackEntryInfo& info : listing) {
            if (info.name == name) found = &info;
        }
        ASSERT_NE(found, nullptr) << name;
        EXPECT_GT(found->size, 0) << name;
        EXPECT_LE(found->size, buffer) << name;
    }
}

TEST_F(BuiltPackTest, AllFourPhasesLoad) {
    StartLog();
    InstallTypeface();
    LoadSounds();
    ASSERT_TRUE(OpenSurface(1920, 1080));
    LoadImages();
    PlaceGameLogo();
    CreateFonts();
    std::vector<std::string> lines = FinishLog();

    ASSERT_GE(lines.size(), 10u);
    EXPECT_EQ(lines[1], "Load asset (TimeandSpace-Regular.ttf):\t\tOK");
    for (int i = 0; i < 8; i++) {
        EXPECT_EQ(lines[size_t(2 + i)], std::string("Load asset (") + Sounds[i] + "):\t\tOK");
        EXPECT_TRUE(IsSound(SoundNumbers[i])) << Sounds[i];
    }
    EXPECT_EQ(CountLine(lines, "Load asset (brk):\t\tOK"), 1);
    EXPECT_EQ(CountLine(lines, "Load asset (temps):\t\tOK"), 22);

    for (int f = 0; f <= 20; f++) EXPECT_TRUE(IsFontFace(f)) << f;
    EXPECT_FALSE(IsFontFace(21));
    EXPECT_TRUE(IsFontFace(HudFont));
    // The status-bar font (24 points here) is smaller than the 60-point panel fonts.
    ASSERT_TRUE(StartDrawing(SpriteOutput(ImgModeBox)));
    UseFont(HudFont);
    const int hudHeight = TextHeight("0");
    UseFont(0);
    const int titleHeight = TextHeight("0");
    StopDrawing();
    EXPECT_GT(hudHeight, 0);
    EXPECT_LT(hudHeight, titleHeight);

    // The game logo keeps its place centred on the screen; the menus hang below it.
    EXPECT_EQ(SpriteWidth(ImgGameLogo), 950);
    EXPECT_EQ(Display.LogoX, 960 - 475);
    EXPECT_EQ(Display.LogoY, 540 - SpriteHeight(ImgGameLogo) / 2);
    EXPECT_EQ(Display.LogoSlideStep, Display.LogoY / 25);
    EXPECT_EQ(Display.MenuCenterY, (1080 - SpriteHeight(ImgGameLogo)) / 2 + SpriteHeight(ImgGameLogo));
}

TEST_F(BuiltPackTest, MissingSoundFailsWithItsEntryNameAfterTheOnesBefore) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    std::vector<PackFileEntry> entries;
    ASSERT_TRUE(ReadPackFile(testpack::BuiltPackPath(), entries));
    std::vector<PackFileEntry> kept;
    for (PackFileEntry& entry : entries) {
        if (entry.name != "coin_ring_gemstone_item_02.ogg") kept.push_back(std::move(entry));
    }
    ASSERT_TRUE(WritePackFile(Folder + "Prismoria.data", kept));
    App.GameDir = Folder;
    EXPECT_EXIT(
        {
            StartLog();
            LoadSounds();
        },
        ::testing::ExitedWithCode(1), "Prismoria::");
    std::vector<std::string> lines = testpack::ReadLogLines(LogPath);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[6], "Load asset (points_ticker_bonus_score_reward_single_05.ogg):\t\tOK");
    EXPECT_EQ(lines[7], "Load asset (coin_ring_gemstone_item_02.ogg):\t\tFAILED");
}
