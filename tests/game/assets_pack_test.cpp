// assets_pack_test.cpp: the game's built data pack holds the whole catalogue, and every phase loads from it.
#include <gtest/gtest.h>

#include "assets_test_pack.h"

namespace {

using testpack::CountLine;
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
