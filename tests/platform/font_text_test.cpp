// font_text_test.cpp: installing TrueType families, opening faces by name, measuring and drawing text.
#include <fstream>
#include <iterator>

#include "video_test_support.h"

namespace {

const uint32_t kPanel = RGB(38, 35, 32);
const uint32_t kWhite = RGBA(255, 255, 255, 255);

class FontTest : public HeadlessVideo {
protected:
    void SetUp() override {
        HeadlessVideo::SetUp();
        ASSERT_EQ(InstallFontFile(kTestFontPath), 1);
    }

    // A 300 x 60 image filled with the panel colour, ready for drawing.
    int PanelImage() {
        int image = CreateImage(PF_ANY, 300, 60);
        EXPECT_EQ(StartDrawing(ImageOutput(image)), 1);
        FillBox(0, 0, 300, 60, kPanel);
        return image;
    }
};

struct Bounds {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    bool empty() const { return right < 0; }
};

// The rectangle of pixels that differ from a background colour.
Bounds PixelsUnlike(int image, uint32_t background) {
    Bounds b;
    for (int y = 0; y < ImageHeight(image); y++) {
        for (int x = 0; x < ImageWidth(image); x++) {
            if (ImagePixel(image, x, y) == (background | 0xFF000000u)) continue;
            b.left = std::min(b.left, x);
            b.right = std::max(b.right, x);
            b.top = std::min(b.top, y);
            b.bottom = std::max(b.bottom, y);
        }
    }
    return b;
}

}  // namespace

TEST_F(FontTest, FamiliesAreFoundWithoutRegardToCase) {
    EXPECT_EQ(LoadFontFace(1, "DejaVu Sans", 12, 0), 1);
    EXPECT_EQ(LoadFontFace(2, "dejavu SANS", 12, 0), 1);
    EXPECT_EQ(LoadFontFace(3, "DejaVu", 12, 0), 0) << "a family name is matched whole";
    EXPECT_EQ(LoadFontFace(4, "Time And Space", 12, 0), 0);
    ASSERT_EQ(InstallFontFile(kComfortaaPath), 1);
    EXPECT_EQ(LoadFontFace(4, "COMFORTAA", 12, FONT_BOLD | FONT_HIGHQUALITY), 1);
    EXPECT_EQ(LoadFontFace(5, "DejaVu Sans", 0, 0), 0);
    EXPECT_EQ(IsFontFace(1), 1);
    FreeFontFace(1);
    EXPECT_EQ(IsFontFace(1), 0);
    FreeFontFace(1);
    int handle = LoadFontFace(PF_ANY, "Comfortaa", 10, 0);
    EXPECT_GT(handle, 65535);
    EXPECT_EQ(IsFontFace(handle), 1);
}

TEST_F(FontTest, BadFontFilesAreRefused) {
    EXPECT_EQ(InstallFontFile("/nonexistent/font.ttf"), 0);
    std::vector<uint8_t> garbage(4096, 0x5A);
    EXPECT_EQ(InstallFontBytes(garbage.data(), garbage.size()), 0);
    EXPECT_EQ(InstallFontBytes(nullptr, 10), 0);
    // A font file cut short.
    std::ifstream in(kComfortaaPath, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 1000u);
    EXPECT_EQ(InstallFontBytes(bytes.data(), 200), 0);
}

TEST_F(FontTest, InstalledBytesAreTheLayersOwnCopy) {
    std::ifstream in(kComfortaaPath, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(InstallFontBytes(bytes.data(), bytes.size()), 1);
    std::fill(bytes.begin(), bytes.end(), 0);
    bytes.clear();
    bytes.shrink_to_fit();
    ASSERT_EQ(LoadFontFace(1, "Comfortaa", 20, FONT_HIGHQUALITY), 1);
    int image = PanelImage();
    UseFont(1);
    DrawTextAt(5, 5, "Gems");
    StopDrawing();
    EXPECT_FALSE(PixelsUnlike(image, kPanel).empty());
}

TEST_F(FontTest, PixelHeightFollowsPointsAt96Dpi) {
    ASSERT_EQ(LoadFontFace(1, "DejaVu Sans", 72, 0), 1);
    ASSERT_EQ(LoadFontFace(2, "DejaVu Sans", 36, 0), 1);
    int image = PanelImage();
    UseFont(1);
    int big = TextHeight("x");
    // 72 points are 96 pixels; a line is at least the em and not much more.
    EXPECT_GE(big, 96);
    EXPECT_LE(big, 96 * 13 / 10);
    UseFont(2);
    int small = TextHeight("x");
    EXPECT_NEAR(big, 2 * small, 3);
    EXPECT_EQ(TextHeight(""), small) << "the line height, whatever the text";
    UseFont(77);
    EXPECT_EQ(TextHeight("x"), 0);
    EXPECT_EQ(TextWidth("x"), 0);
    StopDrawing();
    (void)image;
}

TEST_F(FontTest, TextCentredInABoxHasEqualMargins) {
    ASSERT_EQ(LoadFontFace(1, "DejaVu Sans", 18, FONT_HIGHQUALITY), 1);
    for (const char* text : {"PLAY", "Settings", "Größe ÄÖÜ"}) {
        int image = PanelImage();
        UseFont(1);
        int tw = TextWidth(text), th = TextHeight(text);
        ASSERT_GT(tw, 0);
        ASSERT_LT(tw, 300);
        // The text's back box shows where the measured text lies.
        DrawTextAt(300 / 2 - tw / 2, 60 / 2 - th / 2, text, kWhite, RGB(200, 0, 0));
        StopDrawing();
        Bounds box = PixelsUnlike(image, kPanel);
        ASSERT_FALSE(box.empty());
        EXPECT_EQ(box.right - box.left + 1, tw) << text;
        EXPECT_EQ(box.bottom - box.top + 1, th) << text;
        EXPECT_LE(std::abs(box.left - (299 - box.right)), 1) << text;
        EXPECT_LE(std::abs(box.top - (59 - box.bottom)), 1) << text;
    }
}

TEST_F(FontTest, OpaqueTextStandsOnItsBackColour) {
    ASSERT_EQ(LoadFontFace(1, "DejaVu Sans", 14, 0), 1);
    int image = PanelImage();
    UseFont(1);
    SetFrontColor(RGB(255, 255, 0));
    SetBackColor(RGB(0, 0, 200));
    DrawTextAt(10, 10, "i");  // a narrow glyph: most of its box is background
    int tw = TextWidth("i"), th = TextHeight("i");
    StopDrawing();
    int back = 0, ink = 0, other = 0;
    for (int y = 10; y < 10 + th; y++) {
        for (int x = 10; x < 10 + tw; x++) {
            uint32_t p = ImagePixel(image, x, y);
            if (p == RGBA(0, 0, 200, 255)) back++;
            else if (p == RGBA(255, 255, 0, 255)) ink++;
            else other++;
        }
    }
    EXPECT_GT(back, ink);
    EXPECT_GT(ink, 0);
    EXPECT_EQ(other, 0) << "without high quality every pixel is ink or back colour";
    EXPECT_EQ(ImagePixel(image, 9, 10), kPanel | 0xFF000000u);
}

TEST_F(FontTest, TransparentTextLeavesTheBackground) {
    ASSERT_EQ(LoadFontFace(1, "DejaVu Sans", 20, FONT_HIGHQUALITY), 1);
    int image = PanelImage();
    UseFont(1);
    DrawingMode(DRAW_TRANSPARENT | DRAW_ALPHABLEND);
    DrawTextAt(10, 10, "o o", RGBA(255, 255, 255, 255), RGB(255, 0, 0));
    int tw = TextWidth("o o"), th = TextHeight("o o");
    StopDrawing();
    int ink = 0, partial = 0, reddish = 0;
    for (int y = 10; y < 10 + th; y++) {
        for (int x = 10; x < 10 + tw; x++) {
            uint32_t p = ImagePixel(image, x, y);
            if (p == kWhite) ink++;
            else if (p != (kPanel | 0xFF000000u)) partial++;
            if (ColourRed(p) > ColourGreen(p) + 20) reddish++;
        }
    }
    EXPECT_GT(ink, 0);
    EXPECT_GT(partial, 0) << "high quality is anti-aliased";
    EXPECT_EQ(reddish, 0) << "no back box";
    EXPECT_EQ(ImagePixel(image, 10, 10), kPanel | 0xFF000000u) << "the corner of the box is background";
}

TEST_F(FontTest, TranslucentTextColourIsBlended) {
    ASSERT_EQ(LoadFontFace(1, "DejaVu Sans", 40, 0), 1);
    int image = PanelImage();
    UseFont(1);
    DrawingMode(DRAW_TRANSPARENT | DRAW_ALPHABLEND);
    DrawTextAt(10, 0, "I", RGBA(95, 95, 95, 95));
    StopDrawing();
    // The middle of the I's stem.
    int tw = 0;
    StartDrawing(ImageOutput(image));
    UseFont(1);
    tw = TextWidth("I");
    StopDrawing();
    uint32_t p = ImagePixel(image, 10 + tw / 2, 30);
    int expected = (95 * 95 + 38 * (255 - 95)) / 255;
    EXPECT_NEAR(ColourRed(p), expected, 2);
}

TEST_F(FontTest, StylesChangeTheText) {
    ASSERT_EQ(LoadFontFace(1, "DejaVu Sans", 16, 0), 1);
    ASSERT_EQ(LoadFontFace(2, "DejaVu Sans", 16, FONT_BOLD), 1);
    ASSERT_EQ(LoadFontFace(3, "DejaVu Sans", 16, FONT_UNDERLINE), 1);
    auto inkCount = [&](int font) {
        int img = PanelImage();
        UseFont(font);
        DrawingMode(DRAW_TRANSPARENT);
        DrawTextAt(0, 0, "Prismoria", kWhite);
        StopDrawing();
        int count = 0;
        for (int y = 0; y < 60; y++)
            for (int x = 0; x < 300; x++) count += ImagePixel(img, x, y) == kWhite;
        return count;
    };
    EXPECT_GT(inkCount(2), inkCount(1) * 11 / 10) << "bold strokes are thicker";
    auto inkRows = [&](int font) {
        int img = PanelImage();
        UseFont(font);
        DrawingMode(DRAW_TRANSPARENT);
        DrawTextAt(0, 0, "ooo", kWhite);
        StopDrawing();
        return PixelsUnlike(img, kPanel);
    };
    Bounds plain = inkRows(1), underlined = inkRows(3);
    EXPECT_GT(underlined.bottom, plain.bottom) << "the underline lies below the letters";
}

TEST_F(FontTest, EmptyAndOddTextIsHarmless) {
    ASSERT_EQ(LoadFontFace(1, "DejaVu Sans", 16, 0), 1);
    int image = PanelImage();
    UseFont(1);
    DrawingMode(DRAW_TRANSPARENT);
    EXPECT_EQ(TextWidth(""), 0);
    DrawTextAt(0, 0, "");
    DrawTextAt(-500, -500, "off the edge");
    DrawTextAt(290, 50, "clipped at the corner");
    DrawTextAt(0, 0, std::string("\xff\xfe broken \xc3", 12));
    StopDrawing();
    EXPECT_EQ(ImagePixel(image, 200, 20), kPanel | 0xFF000000u);
}
