// video_sprites_test.cpp: object numbers and handles, PNG decoding, and how sprites land on the screen.
#include <SDL.h>
#include <zlib.h>

#include <set>

#include "pf_internal.h"
#include "video_test_support.h"

using SpriteTest = HeadlessVideo;

TEST_F(SpriteTest, NumbersHandlesAndReplacement) {
    // PF_ANY answers distinct handles that never look like a small number.
    int a = SolidSprite(PF_ANY, 2, 2, RGBA(255, 0, 0, 255));
    int b = SolidSprite(PF_ANY, 3, 3, RGBA(0, 255, 0, 255));
    ASSERT_NE(a, 0);
    ASSERT_NE(b, 0);
    EXPECT_NE(a, b);
    EXPECT_GT(a, 65535);
    EXPECT_EQ(SpriteWidth(b), 3);
    // A small number next to the handles is its own object.
    ASSERT_EQ(SolidSprite(0, 5, 5, RGBA(0, 0, 255, 255)), 1);
    EXPECT_EQ(SpriteWidth(0), 5);
    EXPECT_EQ(SpriteWidth(a), 2);

    // Creating under a used number replaces the old object.
    ASSERT_EQ(CreateSprite(0, 7, 9, SPRITE_ALPHA), 1);
    EXPECT_EQ(SpriteWidth(0), 7);
    EXPECT_EQ(SpriteHeight(0), 9);
    EXPECT_EQ(SpritePixel(0, 0, 0), 0u) << "a blank alpha sprite is transparent";

    // A freed handle's slot is reused, and the old handle answers nothing meanwhile.
    FreeSprite(a);
    EXPECT_EQ(IsSprite(a), 0);
    EXPECT_EQ(SpriteWidth(a), 0);
    int c = CreateSprite(PF_ANY, 1, 1, 0);
    EXPECT_EQ(c, a);
    EXPECT_EQ(SpritePixel(c, 0, 0), RGBA(0, 0, 0, 255)) << "without SPRITE_ALPHA a blank sprite is opaque";

    // Numbers that can never be valid are refused; empty numbers are harmless.
    EXPECT_EQ(CreateSprite(-5, 4, 4, 0), 0);
    EXPECT_EQ(CreateSprite(4, 0, 4, 0), 0);
    FreeSprite(42);
    FreeSprite(-7);
    FreeSprite(0x7FFFFFFF);
    EXPECT_EQ(IsSprite(0x7FFFFFFF), 0);
    ScaleSprite(42, 10, 10);
    EXPECT_EQ(SpritePixel(42, 0, 0), 0u);
}

TEST_F(SpriteTest, DrawingNothingIsHarmless) {
    DrawSprite(3, 0, 0);  // no screen, no sprite
    OpenScreen();
    ClearFrame(RGB(9, 9, 9));
    DrawSprite(3, 0, 0);
    DrawSpriteOpaque(3, 0, 0);
    DrawSprite(PF_ANY, 0, 0);
    EXPECT_EQ(ScreenPixel(0, 0), RGBA(9, 9, 9, 255));
}

TEST_F(SpriteTest, PngKeepsItsPixelsAndAlpha) {
    std::vector<uint32_t> pixels = {RGBA(255, 0, 0, 255), RGBA(0, 255, 0, 128), RGBA(0, 0, 255, 0),
                                    RGBA(10, 20, 30, 40)};
    std::vector<uint8_t> png = MakePng(2, 2, pixels);
    ASSERT_EQ(LoadSpriteBytes(1, png.data(), png.size(), SPRITE_ALPHA), 1);
    EXPECT_EQ(SpriteStoredWidth(1), 2);
    EXPECT_EQ(SpriteStoredHeight(1), 2);
    for (int i = 0; i < 4; i++) EXPECT_EQ(SpritePixel(1, i % 2, i / 2), pixels[size_t(i)]) << i;
    int image = LoadImageBytes(PF_ANY, png.data(), png.size());
    ASSERT_NE(image, 0);
    EXPECT_EQ(ImagePixel(image, 1, 0), pixels[1]);
}

TEST_F(SpriteTest, TruncatedOrCorruptPngIsRefused) {
    std::vector<uint32_t> pixels(16 * 16);
    for (size_t i = 0; i < pixels.size(); i++) pixels[i] = RGBA(int(i), int(i * 3), int(i * 7), 255);
    std::vector<uint8_t> png = MakePng(16, 16, pixels);
    ASSERT_GT(png.size(), 60u);
    // Every prefix of the file: nothing may be read past the end, and no sprite is made.
    for (size_t length = 0; length < png.size(); length++) {
        std::vector<uint8_t> cut(png.begin(), png.begin() + std::ptrdiff_t(length));
        EXPECT_EQ(LoadSpriteBytes(1, cut.data(), cut.size(), 0), 0) << length;
        EXPECT_EQ(LoadImageBytes(PF_ANY, cut.data(), cut.size()), 0) << length;
    }
    EXPECT_EQ(IsSprite(1), 0);
    // A damaged byte in the compressed data (the checksum no longer matches).
    std::vector<uint8_t> damaged = png;
    damaged[damaged.size() - 20] ^= 0x55;
    EXPECT_EQ(LoadSpriteBytes(1, damaged.data(), damaged.size(), 0), 0);
    // An absurd size in the header.
    std::vector<uint8_t> huge = png;
    huge[16] = 0x7F;
    EXPECT_EQ(LoadImageBytes(PF_ANY, huge.data(), huge.size()), 0);
    // A well-formed header asking for 16384 x 16384 pixels (a gigabyte) is refused
    // before any buffer is made.
    std::vector<uint8_t> vast = png;
    for (int at : {16, 20}) {
        vast[size_t(at)] = 0, vast[size_t(at) + 1] = 0, vast[size_t(at) + 2] = 0x40, vast[size_t(at) + 3] = 0;
    }
    const uLong crc = crc32(0, vast.data() + 12, 17);
    for (int b = 0; b < 4; b++) vast[size_t(29 + b)] = uint8_t(crc >> (24 - 8 * b));
    EXPECT_EQ(LoadImageBytes(PF_ANY, vast.data(), vast.size()), 0);
    EXPECT_EQ(LoadSpriteBytes(1, vast.data(), vast.size(), 0), 0);
    std::vector<uint8_t> garbage(100, 0xAB);
    EXPECT_EQ(LoadSpriteBytes(1, garbage.data(), garbage.size(), 0), 0);
    EXPECT_EQ(LoadSpriteBytes(1, nullptr, 100, 0), 0);
    // A failed load leaves the object already under that number alone.
    ASSERT_EQ(SolidSprite(2, 3, 3, RGBA(1, 1, 1, 255)), 1);
    EXPECT_EQ(LoadSpriteBytes(2, garbage.data(), garbage.size(), 0), 0);
    EXPECT_EQ(SpriteWidth(2), 3);
}

TEST_F(SpriteTest, ScaledDrawCoversTheScaledRectangle) {
    OpenScreen();
    ClearFrame(RGB(0, 0, 0));
    ASSERT_EQ(SolidSprite(1, 4, 4, RGBA(255, 0, 0, 255)), 1);
    ScaleSprite(1, 40, 30);
    EXPECT_EQ(SpriteWidth(1), 40);
    EXPECT_EQ(SpriteHeight(1), 30);
    EXPECT_EQ(SpriteStoredWidth(1), 4);
    SetSpriteQuality(1);
    DrawSprite(1, 10, 20);
    const uint32_t red = RGBA(255, 0, 0, 255), black = RGBA(0, 0, 0, 255);
    EXPECT_EQ(ScreenPixel(10, 20), red);
    EXPECT_EQ(ScreenPixel(49, 49), red);
    EXPECT_EQ(ScreenPixel(9, 20), black);
    EXPECT_EQ(ScreenPixel(50, 20), black);
    EXPECT_EQ(ScreenPixel(10, 50), black);
    ScaleSprite(1, -1, -1);
    EXPECT_EQ(SpriteWidth(1), 4);
}

// A resampled sprite: the draw covers exactly its display rectangle, the outer
// pixels keep the colours of the stored edges, a transparent neighbour leaves no
// dark fringe, and the stored pixels stay as they were.
TEST_F(SpriteTest, ResampledDrawKeepsItsRectangleAndEdgeColours) {
    OpenScreen();
    const uint32_t red = RGBA(255, 0, 0, 255), blue = RGBA(0, 0, 255, 255), clear = RGBA(0, 0, 0, 0);
    // Left half red, right half blue, with a transparent black column on the right.
    std::vector<uint32_t> pixels;
    for (int y = 0; y < 8; y++) {
        for (int x = 0; x < 8; x++) pixels.push_back(x < 4 ? red : x < 7 ? blue : clear);
    }
    std::vector<uint8_t> png = MakePng(8, 8, pixels);
    ASSERT_EQ(LoadSpriteBytes(1, png.data(), png.size(), SPRITE_ALPHA), 1);
    ScaleSprite(1, 64, 48);
    SetSpriteQuality(1);
    const uint32_t green = RGBA(0, 255, 0, 255);
    ClearFrame(RGB(0, 255, 0));
    DrawSprite(1, 10, 20);
    for (int y = 20; y < 68; y++) {
        EXPECT_EQ(ScreenPixel(9, y), green) << "left of the rectangle, row " << y;
        EXPECT_EQ(ScreenPixel(10, y), red) << "left edge, row " << y;
        EXPECT_EQ(ScreenPixel(10 + 64, y), green) << "right of the rectangle, row " << y;
    }
    for (int x = 10; x < 74; x++) {
        EXPECT_EQ(ScreenPixel(x, 19), green) << "above, column " << x;
        EXPECT_EQ(ScreenPixel(x, 68), green) << "below, column " << x;
    }
    EXPECT_EQ(ScreenPixel(10, 67), red) << "bottom-left corner";
    EXPECT_EQ(ScreenPixel(10 + 47, 44), blue) << "inside the blue half";
    // Columns fading into the transparent one blend blue with the green below
    // and never darken: blue plus green stays 255 (give or take rounding).
    for (int x = 10 + 48; x < 10 + 64; x++) {
        uint32_t p = ScreenPixel(x, 40);
        EXPECT_EQ(ColourRed(p), 0) << "column " << x;
        EXPECT_NEAR(ColourGreen(p) + ColourBlue(p), 255, 2) << "no dark fringe at column " << x;
    }
    EXPECT_EQ(ScreenPixel(10 + 63, 40), green) << "the transparent column stays transparent";
    // The stored pixels are untouched by the resampling.
    EXPECT_EQ(SpriteStoredWidth(1), 8);
    EXPECT_EQ(SpritePixel(1, 7, 0), clear);
    EXPECT_EQ(SpritePixel(1, 3, 0), red);

    // Drawing on the sprite (at its stored size) and a new display size both reach the screen.
    ASSERT_EQ(StartDrawing(SpriteOutput(1)), 1);
    FillBox(0, 0, 4, 8, RGB(255, 255, 0));
    StopDrawing();
    EXPECT_EQ(SpritePixel(1, 0, 0), RGBA(255, 255, 0, 255));
    ScaleSprite(1, 16, 16);
    ClearFrame(RGB(0, 255, 0));
    DrawSprite(1, 0, 0);
    EXPECT_EQ(ScreenPixel(0, 0), RGBA(255, 255, 0, 255));
    EXPECT_EQ(ScreenPixel(0, 15), RGBA(255, 255, 0, 255));
    EXPECT_EQ(ScreenPixel(0, 16), green);
    EXPECT_EQ(ScreenPixel(16, 0), green);

    // The same pixels drawn into a sprite as the screen shows them.
    ASSERT_EQ(CreateSprite(2, 20, 20, 0), 1);
    ASSERT_EQ(StartDrawing(SpriteOutput(2)), 1);
    DrawingMode(DRAW_ALPHABLEND);
    DrawShownSpriteOn(1, 2, 2);
    StopDrawing();
    ClearFrame(RGB(0, 0, 0));
    DrawSprite(1, 2, 2);
    for (int y = 0; y < 20; y++) {
        for (int x = 0; x < 20; x++) {
            EXPECT_LE(ChannelDistance(SpritePixel(2, x, y), ScreenPixel(x, y)), 1) << x << "," << y;
        }
    }
}

TEST_F(SpriteTest, SmoothQualityBlendsScaledPixels) {
    OpenScreen();
    std::vector<uint32_t> pixels = {RGBA(0, 0, 0, 255), RGBA(255, 255, 255, 255)};
    std::vector<uint8_t> png = MakePng(2, 1, pixels);
    ASSERT_EQ(LoadSpriteBytes(1, png.data(), png.size(), SPRITE_ALPHA), 1);
    ScaleSprite(1, 40, 1);
    auto greys = [&] {
        std::set<int> seen;
        for (int x = 0; x < 40; x++) seen.insert(ColourRed(ScreenPixel(x, 0)));
        return seen;
    };
    SetSpriteQuality(0);
    DrawSpriteOpaque(1, 0, 0);
    EXPECT_EQ(greys(), (std::set<int>{0, 255}));
    SetSpriteQuality(1);
    DrawSpriteOpaque(1, 0, 0);
    EXPECT_GT(greys().size(), 5u) << "bilinear filtering gives intermediate greys";
}

TEST_F(SpriteTest, IntensityAndOpacity) {
    OpenScreen();
    ASSERT_EQ(SolidSprite(1, 8, 8, RGBA(200, 100, 40, 255)), 1);
    ClearFrame(RGB(0, 0, 0));
    DrawSprite(1, 0, 0, 128);
    EXPECT_LE(ChannelDistance(ScreenPixel(3, 3), RGB(100, 50, 20)), 3);
    DrawSprite(1, 20, 0, 0);
    EXPECT_EQ(ScreenPixel(21, 1), RGBA(0, 0, 0, 255)) << "intensity 0 draws nothing";

    // Alpha 0 in the pixels: invisible when blended, shown when drawn opaque.
    ASSERT_EQ(SolidSprite(2, 8, 8, RGBA(200, 100, 50, 0)), 1);
    ClearFrame(RGB(0, 0, 255));
    DrawSprite(2, 0, 0);
    EXPECT_EQ(ScreenPixel(1, 1), RGBA(0, 0, 255, 255));
    DrawSpriteOpaque(2, 0, 0);
    EXPECT_EQ(ScreenPixel(1, 1), RGBA(200, 100, 50, 255));

    // Half-transparent pixels blend with what is below.
    ASSERT_EQ(SolidSprite(3, 8, 8, RGBA(255, 255, 255, 128)), 1);
    ClearFrame(RGB(0, 0, 0));
    DrawSprite(3, 0, 0);
    EXPECT_LE(ChannelDistance(ScreenPixel(1, 1), RGB(128, 128, 128)), 3);
}

TEST_F(SpriteTest, DrawClipsAtTheScreenEdges) {
    OpenScreen();
    ClearFrame(RGB(0, 0, 0));
    ASSERT_EQ(SolidSprite(1, 10, 10, RGBA(0, 255, 0, 255)), 1);
    DrawSprite(1, -5, -5);
    DrawSprite(1, 635, 475);
    DrawSprite(1, 5000, -5000);
    EXPECT_EQ(ScreenPixel(0, 0), RGBA(0, 255, 0, 255));
    EXPECT_EQ(ScreenPixel(4, 4), RGBA(0, 255, 0, 255));
    EXPECT_EQ(ScreenPixel(5, 5), RGBA(0, 0, 0, 255));
    EXPECT_EQ(ScreenPixel(639, 479), RGBA(0, 255, 0, 255));
}

TEST_F(SpriteTest, ChangedPixelsReachTheScreen) {
    OpenScreen();
    ASSERT_EQ(SolidSprite(1, 4, 4, RGBA(255, 0, 0, 255)), 1);
    DrawSpriteOpaque(1, 0, 0);
    EXPECT_EQ(ScreenPixel(0, 0), RGBA(255, 0, 0, 255));
    // Drawing on a sprite that was already on the screen must upload it again.
    ASSERT_EQ(StartDrawing(SpriteOutput(1)), 1);
    FillBox(0, 0, 4, 4, RGB(0, 255, 0));
    StopDrawing();
    DrawSpriteOpaque(1, 0, 0);
    EXPECT_EQ(ScreenPixel(0, 0), RGBA(0, 255, 0, 255));
}

TEST_F(SpriteTest, CopiesAreIndependentAndSurviveReopening) {
    OpenScreen();
    ASSERT_EQ(SolidSprite(9, 4, 4, RGBA(255, 0, 0, 255)), 1);
    ScaleSprite(9, 8, 8);
    ASSERT_EQ(CopySprite(9, 8, 0), 1);
    EXPECT_EQ(SpriteWidth(8), 8) << "the copy keeps the display size";
    ASSERT_EQ(StartDrawing(SpriteOutput(8)), 1);
    FillBox(0, 0, 2, 2, RGB(0, 0, 255));
    StopDrawing();
    EXPECT_EQ(SpritePixel(9, 0, 0), RGBA(255, 0, 0, 255));
    EXPECT_EQ(SpritePixel(8, 0, 0), RGBA(0, 0, 255, 255));
    EXPECT_EQ(CopySprite(77, 8, 0), 0) << "no source";
    int handle = CopySprite(9, PF_ANY, 0);
    EXPECT_GT(handle, 65535);

    // Sprites keep their pixels while the screen is closed and reopened.
    DrawSpriteOpaque(9, 0, 0);
    CloseGameScreen();
    OpenScreen();
    ClearFrame(RGB(0, 0, 0));
    DrawSpriteOpaque(8, 0, 0);
    EXPECT_EQ(ScreenPixel(0, 0), RGBA(0, 0, 255, 255));
    EXPECT_EQ(ScreenPixel(7, 7), RGBA(255, 0, 0, 255));
}

TEST_F(SpriteTest, ResizeImageResamplesBilinearly) {
    std::vector<uint32_t> pixels = {RGBA(0, 0, 0, 255), RGBA(255, 0, 0, 255), RGBA(0, 255, 0, 255),
                                    RGBA(0, 0, 255, 255)};
    std::vector<uint8_t> png = MakePng(2, 2, pixels);
    int image = LoadImageBytes(PF_ANY, png.data(), png.size());
    ASSERT_NE(image, 0);
    ASSERT_EQ(ResizeImage(image, 8, 8), 1);
    EXPECT_EQ(ImageWidth(image), 8);
    EXPECT_EQ(ImageHeight(image), 8);
    EXPECT_EQ(ImagePixel(image, 0, 0), pixels[0]);
    EXPECT_EQ(ImagePixel(image, 7, 0), pixels[1]);
    EXPECT_EQ(ImagePixel(image, 0, 7), pixels[2]);
    EXPECT_EQ(ImagePixel(image, 7, 7), pixels[3]);
    uint32_t middle = ImagePixel(image, 3, 0);
    EXPECT_GT(ColourRed(middle), 60);
    EXPECT_LT(ColourRed(middle), 200);
    // Transparent neighbours do not darken an opaque pixel's colour.
    std::vector<uint32_t> edge = {RGBA(255, 255, 255, 255), RGBA(0, 0, 0, 0)};
    std::vector<uint8_t> png2 = MakePng(2, 1, edge);
    int second = LoadImageBytes(PF_ANY, png2.data(), png2.size());
    ASSERT_EQ(ResizeImage(second, 8, 1), 1);
    EXPECT_EQ(ColourRed(ImagePixel(second, 4, 0)), 255);
    EXPECT_LT(ColourAlpha(ImagePixel(second, 4, 0)), 255);
    // Shrinking averages every pixel under the target: one bright pixel in four
    // gives a quarter of its brightness, where four-point sampling would miss it.
    std::vector<uint32_t> strip = {RGBA(255, 255, 255, 255), RGBA(0, 0, 0, 255), RGBA(0, 0, 0, 255),
                                   RGBA(0, 0, 0, 255)};
    std::vector<uint8_t> png3 = MakePng(4, 1, strip);
    int third = LoadImageBytes(PF_ANY, png3.data(), png3.size());
    ASSERT_EQ(ResizeImage(third, 1, 1), 1);
    EXPECT_EQ(ColourRed(ImagePixel(third, 0, 0)), 64);
    // Halves round up: 10 and 11 averaged are 10.5, kept as 11.
    std::vector<uint32_t> pair = {RGBA(10, 20, 30, 255), RGBA(11, 21, 31, 255)};
    std::vector<uint8_t> png4 = MakePng(2, 1, pair);
    int fourth = LoadImageBytes(PF_ANY, png4.data(), png4.size());
    ASSERT_EQ(ResizeImage(fourth, 1, 1), 1);
    EXPECT_EQ(ImagePixel(fourth, 0, 0), RGBA(11, 21, 31, 255));
    EXPECT_EQ(ResizeImage(second, 0, 5), 0);
    EXPECT_EQ(ResizeImage(999, 5, 5), 0);
}

// SDL's blocks of 2 MB and more are the platform's own mappings: each keeps its
// contents through a move to another size in either direction, a zeroed one is
// zero, and every one is given back when freed.
TEST_F(SpriteTest, SdlLargeBlocksKeepTheirBytesAndAreGivenBack) {
    const size_t held = PfLargeBlocksHeld();
    const size_t mb = size_t(1) << 20;
    const struct {
        size_t from, to;  // sizes in bytes: grown, shrunk, across the 2 MB line both ways
    } moves[] = {{3 * mb, 5 * mb}, {5 * mb, 3 * mb}, {1 * mb, 4 * mb}, {4 * mb, 1000}};
    for (const auto& m : moves) {
        SCOPED_TRACE(std::to_string(m.from) + " -> " + std::to_string(m.to));
        auto* bytes = static_cast<uint8_t*>(SDL_malloc(m.from));
        ASSERT_NE(bytes, nullptr);
        for (size_t i = 0; i < m.from; ++i) bytes[i] = uint8_t(i * 7 + i / 4096);
        bytes = static_cast<uint8_t*>(SDL_realloc(bytes, m.to));
        ASSERT_NE(bytes, nullptr);
        size_t wrong = 0;
        for (size_t i = 0; i < std::min(m.from, m.to); ++i) wrong += bytes[i] != uint8_t(i * 7 + i / 4096);
        EXPECT_EQ(wrong, 0u);
        bytes[m.to - 1] = 1;  // the whole new size is there to write
        SDL_free(bytes);
    }
    auto* zeroed = static_cast<uint8_t*>(SDL_calloc(3, 2 * mb));
    ASSERT_NE(zeroed, nullptr);
    EXPECT_EQ(PfLargeBlocksHeld(), held + 1);
    size_t nonzero = 0;
    for (size_t i = 0; i < 6 * mb; ++i) nonzero += zeroed[i] != 0;
    EXPECT_EQ(nonzero, 0u);
    SDL_free(zeroed);
    EXPECT_EQ(PfLargeBlocksHeld(), held);
}
