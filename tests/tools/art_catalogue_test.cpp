// art_catalogue_test.cpp: every picture of the catalogue is made, decodes, has its size, and honours its role.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "assetgen.h"
#include "image_files.h"

namespace {

std::string Two(int n) {
    char b[8];
    std::snprintf(b, sizeof b, "%02d", n);
    return b;
}

// The catalogue's picture entries, written out independently of the generator.
std::vector<std::string> CatalogueNames() {
    std::vector<std::string> names{"shadow.png", "pointer.png", "logo.png", "credits.png",
                                   "quit.png",   "mainmenu.png", "settings.png"};
    for (int k = 0; k <= 11; ++k) names.push_back("s" + Two(k) + ".png");
    for (int k = 1; k <= 11; ++k) names.push_back(Two(k) + ".png");
    for (int k = 1; k <= 11; ++k) names.push_back("shape" + Two(k) + ".png");
    for (int k = 1; k <= 11; ++k) names.push_back("gui_shape " + Two(k) + ".png");
    for (const char* n : {"menu_template.png", "settings_template.png", "credits_template.png",
                          "frame_left.png", "frame_right.png", "frame_top.png", "frame_bottom.png",
                          "decor_top_left.png", "decor_top_right.png", "decor_bottom_left.png",
                          "decor_bottom_right.png", "gui_complex_left.png", "gui_complex_right.png",
                          "gui_quit.png", "gui_quit_active.png", "brk_3x2.png", "brk_4x3.png",
                          "brk_5x4.png", "brk_16x9.png", "brk_16x10.png", "brk_17x9.png"})
        names.push_back(n);
    return names;
}

class ArtCatalogue : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        art_ = new std::vector<GeneratedFile>(GenerateArtwork());
        decoded_ = new std::map<std::string, DecodedPng>();
        for (const GeneratedFile& f : *art_) {
            DecodedPng d;
            if (DecodePng(f.bytes, d)) (*decoded_)[f.name] = std::move(d);
        }
    }
    static void TearDownTestSuite() {
        delete art_;
        delete decoded_;
        art_ = nullptr;
        decoded_ = nullptr;
    }
    static const DecodedPng& Png(const std::string& name) {
        static const DecodedPng missing;
        auto it = decoded_->find(name);
        return it == decoded_->end() ? missing : it->second;
    }
    static const uint8_t* Pixel(const DecodedPng& p, int x, int y) {
        return &p.rgba[(static_cast<size_t>(y) * p.width + x) * 4];
    }
    static bool AllOpaque(const DecodedPng& p) {
        for (size_t i = 3; i < p.rgba.size(); i += 4)
            if (p.rgba[i] != 255) return false;
        return !p.rgba.empty();
    }
    static std::vector<GeneratedFile>* art_;
    static std::map<std::string, DecodedPng>* decoded_;
};

std::vector<GeneratedFile>* ArtCatalogue::art_ = nullptr;
std::map<std::string, DecodedPng>* ArtCatalogue::decoded_ = nullptr;

TEST_F(ArtCatalogue, MakesEveryEntryOnceUnderItsCatalogueName) {
    std::vector<std::string> expected = CatalogueNames();
    ASSERT_EQ(art_->size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ((*art_)[i].name, expected[i]);
    EXPECT_EQ(ArtworkEntryNames(), expected);
}

TEST_F(ArtCatalogue, EveryEntryDecodesAndFitsItsBuffer) {
    for (const GeneratedFile& f : *art_) {
        EXPECT_EQ(decoded_->count(f.name), 1u) << f.name << " does not decode as PNG";
        const size_t limit = f.name.rfind("brk_", 0) == 0 ? 4194304u : 204800u;
        EXPECT_EQ(EntryBufferLimit(f.name), limit) << f.name;
        EXPECT_LE(f.bytes.size(), limit) << f.name;
    }
}

TEST_F(ArtCatalogue, BufferLimitsFollowTheEntryKind) {
    EXPECT_EQ(EntryBufferLimit("brk_16x9.png"), 4194304u);
    EXPECT_EQ(EntryBufferLimit("gui_shape 03.png"), 204800u);
    EXPECT_EQ(EntryBufferLimit("TimeandSpace-Regular.ttf"), 15728640u);
    EXPECT_EQ(EntryBufferLimit("music1.ogg"), 15728640u);
    EXPECT_EQ(EntryBufferLimit("ui_menu_popup_01.ogg"), 15728640u);
    // A name merely starting like a splash but not a picture is not a splash.
    EXPECT_EQ(EntryBufferLimit("brk_"), 15728640u);
}

TEST_F(ArtCatalogue, FixedSizesAreExact) {
    const std::map<std::string, std::pair<int, int>> fixed{
        {"mainmenu.png", {1030, 1404}},      {"quit.png", {1030, 1118}},
        {"settings.png", {1262, 1120}},      {"credits.png", {1272, 1601}},
        {"menu_template.png", {1030, 90}},   {"settings_template.png", {1262, 65}},
        {"credits_template.png", {1272, 65}}};
    for (const auto& [name, size] : fixed) {
        EXPECT_EQ(Png(name).width, size.first) << name;
        EXPECT_EQ(Png(name).height, size.second) << name;
    }
    for (int k = 0; k <= 11; ++k) {
        EXPECT_EQ(Png("s" + Two(k) + ".png").width, 128);
        EXPECT_EQ(Png("s" + Two(k) + ".png").height, 128);
    }
    for (int k = 1; k <= 11; ++k) {
        EXPECT_EQ(Png(Two(k) + ".png").width, 128);
        EXPECT_EQ(Png(Two(k) + ".png").height, 128);
    }
    // Piece images are the shape's bounding box at 128 pixels per cell.
    const int cells[12][2] = {{0, 0}, {1, 1}, {2, 1}, {3, 2}, {3, 3}, {1, 4}, {3, 2},
                              {2, 2}, {1, 3}, {2, 2}, {3, 2}, {3, 3}};
    for (int k = 1; k <= 11; ++k) {
        EXPECT_EQ(Png("shape" + Two(k) + ".png").width, cells[k][0] * 128) << k;
        EXPECT_EQ(Png("shape" + Two(k) + ".png").height, cells[k][1] * 128) << k;
    }
    // Pictures shown at fixed proportions: corners square, caps T x 1.5T, button square.
    for (const char* n : {"decor_top_left.png", "decor_top_right.png", "decor_bottom_left.png",
                          "decor_bottom_right.png", "gui_quit.png", "gui_quit_active.png"})
        EXPECT_EQ(Png(n).width, Png(n).height) << n;
    for (const char* n : {"gui_complex_left.png", "gui_complex_right.png"})
        EXPECT_EQ(Png(n).height * 2, Png(n).width * 3) << n;
}

TEST_F(ArtCatalogue, PanelTextAreasArePlainOpaquePanelColour) {
    // Titles start at y = 110, labels at x = 120 (125 for help), and centred texts
    // may run almost to the border: everything 96 pixels in from each edge is plain.
    for (const char* n : {"mainmenu.png", "quit.png", "settings.png", "credits.png"}) {
        const DecodedPng& p = Png(n);
        ASSERT_GT(p.width, 200) << n;
        int wrong = 0;
        for (int y = 96; y < p.height - 96; ++y)
            for (int x = 96; x < p.width - 96; ++x) {
                const uint8_t* px = Pixel(p, x, y);
                if (px[0] != 38 || px[1] != 35 || px[2] != 32 || px[3] != 255) ++wrong;
            }
        EXPECT_EQ(wrong, 0) << n;
        // The border is decorated, not plain.
        const uint8_t* edge = Pixel(p, p.width / 4, 12);
        EXPECT_FALSE(edge[0] == 38 && edge[1] == 35 && edge[2] == 32) << n;
    }
}

TEST_F(ArtCatalogue, TemplatesAreFullyTransparent) {
    for (const char* n : {"menu_template.png", "settings_template.png", "credits_template.png"}) {
        const DecodedPng& p = Png(n);
        ASSERT_FALSE(p.rgba.empty()) << n;
        for (size_t i = 3; i < p.rgba.size(); i += 4) ASSERT_EQ(p.rgba[i], 0) << n;
    }
}

TEST_F(ArtCatalogue, PicturesDrawnOpaqueHaveNoTransparency) {
    // Tray slots, the status bar button and the cells are blitted without alpha or
    // cover what lies beneath; the splash fills the screen.
    for (int k = 1; k <= 11; ++k) {
        const DecodedPng& p = Png("gui_shape " + Two(k) + ".png");
        EXPECT_EQ(p.width, p.height) << k;
        EXPECT_TRUE(AllOpaque(p)) << k;
    }
    for (int k = 0; k <= 11; ++k) EXPECT_TRUE(AllOpaque(Png("s" + Two(k) + ".png"))) << k;
    for (const char* n : {"gui_quit.png", "gui_quit_active.png", "brk_3x2.png", "brk_4x3.png",
                          "brk_5x4.png", "brk_16x9.png", "brk_16x10.png", "brk_17x9.png"})
        EXPECT_TRUE(AllOpaque(Png(n))) << n;
}

TEST_F(ArtCatalogue, TrayBackgroundIsThePanelColour) {
    // The empty slot is plain panel colour; a filled slot must match it at its edges.
    for (int k = 1; k <= 11; ++k) {
        const DecodedPng& p = Png("gui_shape " + Two(k) + ".png");
        for (auto [x, y] : {std::pair{0, 0}, {p.width - 1, 0}, {0, p.height - 1}, {p.width - 1, p.height - 1}}) {
            const uint8_t* px = Pixel(p, x, y);
            EXPECT_EQ(px[0], 38) << k;
            EXPECT_EQ(px[1], 35) << k;
            EXPECT_EQ(px[2], 32) << k;
        }
    }
}

TEST_F(ArtCatalogue, PieceImagesAreOpaqueAtCellsAndClearInGaps) {
    // Shape 4 (plus): the four corner cells are gaps. Shape 7: only its top-left.
    const DecodedPng& plus = Png("shape04.png");
    ASSERT_EQ(plus.width, 384);
    for (auto [cx, cy] : {std::pair{0, 0}, {2, 0}, {0, 2}, {2, 2}})
        EXPECT_EQ(Pixel(plus, cx * 128 + 64, cy * 128 + 64)[3], 0);
    for (auto [cx, cy] : {std::pair{1, 0}, {0, 1}, {1, 1}, {2, 1}, {1, 2}})
        EXPECT_EQ(Pixel(plus, cx * 128 + 64, cy * 128 + 64)[3], 255);
    const DecodedPng& corner = Png("shape07.png");
    ASSERT_EQ(corner.width, 256);
    EXPECT_EQ(Pixel(corner, 64, 64)[3], 0);
    EXPECT_EQ(Pixel(corner, 192, 64)[3], 255);
    EXPECT_EQ(Pixel(corner, 64, 192)[3], 255);
}

TEST_F(ArtCatalogue, GemsHaveClearlyDifferentColours) {
    // The centre pixel's colour differs between every two gem colours.
    std::vector<const uint8_t*> centres;
    for (int k = 1; k <= 11; ++k) centres.push_back(Pixel(Png("s" + Two(k) + ".png"), 64, 80));
    for (size_t a = 0; a < centres.size(); ++a)
        for (size_t b = a + 1; b < centres.size(); ++b) {
            int d = std::abs(centres[a][0] - centres[b][0]) + std::abs(centres[a][1] - centres[b][1]) +
                    std::abs(centres[a][2] - centres[b][2]);
            EXPECT_GT(d, 40) << "gems " << a + 1 << " and " << b + 1;
        }
}

TEST_F(ArtCatalogue, SplashVariantsMatchTheirAspectRatios) {
    const std::map<std::string, std::pair<int, int>> ratio{
        {"brk_3x2.png", {3, 2}},   {"brk_4x3.png", {4, 3}},   {"brk_5x4.png", {5, 4}},
        {"brk_16x9.png", {16, 9}}, {"brk_16x10.png", {16, 10}}, {"brk_17x9.png", {17, 9}}};
    for (const auto& [name, r] : ratio) {
        const DecodedPng& p = Png(name);
        EXPECT_GE(p.width, 1920) << name;
        EXPECT_EQ(p.width * r.second, p.height * r.first) << name;
    }
}

TEST_F(ArtCatalogue, PointerTipIsTheTopLeftPixel) {
    const DecodedPng& p = Png("pointer.png");
    ASSERT_EQ(p.width, 48);
    ASSERT_EQ(p.height, 48);
    EXPECT_EQ(Pixel(p, 0, 0)[3], 255);
    EXPECT_EQ(Pixel(p, 47, 0)[3], 0);  // the arrow leans down and right from the tip
}

TEST_F(ArtCatalogue, ShadowIsTranslucentDark) {
    const DecodedPng& p = Png("shadow.png");
    ASSERT_FALSE(p.rgba.empty());
    for (size_t i = 0; i < p.rgba.size(); i += 4) {
        EXPECT_LT(p.rgba[i] + p.rgba[i + 1] + p.rgba[i + 2], 30);
        EXPECT_GT(p.rgba[i + 3], 100);
        EXPECT_LT(p.rgba[i + 3], 220);
    }
}

TEST_F(ArtCatalogue, RailsAreUniformAlongTheirLength) {
    // Rails are stretched to any length, so every line across them must be the same.
    for (const char* n : {"frame_top.png", "frame_bottom.png"}) {
        const DecodedPng& p = Png(n);
        ASSERT_GT(p.width, 1) << n;
        for (int y = 0; y < p.height; ++y)
            for (int x = 1; x < p.width; ++x)
                ASSERT_EQ(std::memcmp(Pixel(p, x, y), Pixel(p, 0, y), 4), 0) << n << " row " << y;
    }
    for (const char* n : {"frame_left.png", "frame_right.png"}) {
        const DecodedPng& p = Png(n);
        ASSERT_GT(p.height, 1) << n;
        for (int y = 1; y < p.height; ++y)
            ASSERT_EQ(std::memcmp(Pixel(p, 0, y), Pixel(p, 0, 0), static_cast<size_t>(p.width) * 4), 0) << n;
    }
}

TEST_F(ArtCatalogue, RailsMeetTheBoardWithTheirSolidEdge) {
    // "frame_right.png" is drawn left of the board and "frame_left.png" right of it;
    // the top rail sits above, the bottom rail below. The edge touching the board is
    // solid metal, the far edge is clear.
    const DecodedPng& top = Png("frame_top.png");
    EXPECT_EQ(Pixel(top, 0, top.height - 2)[3], 255);
    EXPECT_LT(Pixel(top, 0, 1)[3], 40);
    const DecodedPng& bottom = Png("frame_bottom.png");
    EXPECT_EQ(Pixel(bottom, 0, 1)[3], 255);
    EXPECT_LT(Pixel(bottom, 0, bottom.height - 2)[3], 40);
    const DecodedPng& leftOfBoard = Png("frame_right.png");
    EXPECT_EQ(Pixel(leftOfBoard, leftOfBoard.width - 2, 0)[3], 255);
    EXPECT_LT(Pixel(leftOfBoard, 1, 0)[3], 40);
    const DecodedPng& rightOfBoard = Png("frame_left.png");
    EXPECT_EQ(Pixel(rightOfBoard, 1, 0)[3], 255);
    EXPECT_LT(Pixel(rightOfBoard, rightOfBoard.width - 2, 0)[3], 40);
}

TEST_F(ArtCatalogue, OrnamentsLeaveTheCellsAndBoxesTheyOverlapVisible) {
    // A corner ornament's inner quarter lies over a board cell (or a tray slot).
    const struct {
        const char* name;
        bool right, bottom;
    } corners[] = {{"decor_top_left.png", false, false}, {"decor_top_right.png", true, false},
                   {"decor_bottom_left.png", false, true}, {"decor_bottom_right.png", true, true}};
    for (const auto& c : corners) {
        const DecodedPng& p = Png(c.name);
        const int q = p.width / 2;
        int covered = 0;
        for (int y = 0; y < q; ++y)
            for (int x = 0; x < q; ++x) {
                int px = c.right ? x : q + x, py = c.bottom ? y : q + y;
                covered += Pixel(p, px, py)[3] > 0;
            }
        EXPECT_LT(covered, q * q / 8) << c.name;  // at most a small flourish
        // The outer quarter closes the gap where two rails meet.
        int ox = c.right ? p.width - q / 2 : q / 2, oy = c.bottom ? p.height - q / 2 : q / 2;
        EXPECT_EQ(Pixel(p, ox, oy)[3], 255) << c.name;
    }
    // A status bar cap's inner half covers the cell's text box between its rails:
    // apart from the post on the border, it must be clear there.
    for (const char* n : {"gui_complex_left.png", "gui_complex_right.png"}) {
        const DecodedPng& p = Png(n);
        const bool right = std::string(n).find("right") != std::string::npos;
        for (int y = p.height * 2 / 5; y < p.height * 3 / 5; ++y)
            for (int x = p.width * 5 / 8; x < p.width; ++x) {
                int px = right ? p.width - 1 - x : x;
                ASSERT_EQ(Pixel(p, px, y)[3], 0) << n << " at " << px << "," << y;
            }
    }
}

}  // namespace
