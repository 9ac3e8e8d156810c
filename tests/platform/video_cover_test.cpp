// video_cover_test.cpp: sprites drawn in opaque and blended parts, and hidden drawing skipped, give the same screen.
#include <random>
#include <set>

#include "pf_internal.h"
#include "video_test_support.h"

namespace {

constexpr uint32_t kClear = 0;

// A sprite of `width` x `height`: a clear margin, then a see-through border, then
// an opaque middle, each `band` pixels wide.
std::vector<uint32_t> FramedPixels(int width, int height, int margin, int border) {
    std::vector<uint32_t> pixels(size_t(width) * size_t(height), kClear);
    for (int y = margin; y < height - margin; y++) {
        for (int x = margin; x < width - margin; x++) {
            bool edge = x < margin + border || y < margin + border || x >= width - margin - border ||
                        y >= height - margin - border;
            pixels[size_t(y) * size_t(width) + size_t(x)] =
                edge ? RGBA(200, 40 + x % 50, 90, 60 + (x + y) % 120) : RGBA(30, 160, 220 - y % 40, 255);
        }
    }
    return pixels;
}

bool Inside(const PfRect& r, int x, int y) {
    return x >= r.x && y >= r.y && x < r.x + r.width && y < r.y + r.height;
}

// The core and the strips cover the visible box exactly once; the core is all
// opaque and nothing outside the visible box shows.
void ExpectExactPartition(const std::vector<uint32_t>& pixels, int width, int height) {
    PfSpriteCover cover = PfMeasureCover(pixels.data(), width, height);
    std::vector<PfRect> parts = PfBlendedStrips(cover);
    if (cover.core.width > 0) parts.push_back(cover.core);
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            uint32_t p = pixels[size_t(y) * size_t(width) + size_t(x)];
            int covering = 0;
            for (const PfRect& r : parts) covering += Inside(r, x, y) ? 1 : 0;
            if (Inside(cover.visible, x, y)) {
                ASSERT_EQ(covering, 1) << "pixel " << x << "," << y;
            } else {
                ASSERT_EQ(covering, 0) << "pixel " << x << "," << y;
                ASSERT_EQ(ColourAlpha(p), 0) << "a showing pixel outside the visible box at " << x << "," << y;
            }
            if (Inside(cover.core, x, y)) {
                ASSERT_EQ(ColourAlpha(p), 255) << "core pixel " << x << "," << y;
            }
        }
    }
}

}  // namespace

TEST(SpriteCover, FindsTheVisibleBoxAndTheOpaqueMiddle) {
    std::vector<uint32_t> framed = FramedPixels(120, 90, 4, 6);
    PfSpriteCover cover = PfMeasureCover(framed.data(), 120, 90);
    EXPECT_FALSE(cover.opaque);
    EXPECT_EQ(cover.visible, (PfRect{4, 4, 112, 82}));
    EXPECT_EQ(cover.core, (PfRect{10, 10, 100, 70}));
    ExpectExactPartition(framed, 120, 90);

    std::vector<uint32_t> solid(64 * 70, RGBA(1, 2, 3, 255));
    cover = PfMeasureCover(solid.data(), 64, 70);
    EXPECT_TRUE(cover.opaque);
    EXPECT_EQ(cover.core, (PfRect{0, 0, 64, 70}));
    EXPECT_TRUE(PfBlendedStrips(cover).empty());

    std::vector<uint32_t> clear(50 * 50, kClear);
    cover = PfMeasureCover(clear.data(), 50, 50);
    EXPECT_EQ(cover.visible.width, 0);
    EXPECT_TRUE(PfBlendedStrips(cover).empty()) << "nothing to draw at all";

    // A small opaque patch is not split off: the whole visible box is blended.
    std::vector<uint32_t> small = FramedPixels(40, 40, 2, 3);
    cover = PfMeasureCover(small.data(), 40, 40);
    EXPECT_EQ(cover.core.width, 0);
    ASSERT_EQ(PfBlendedStrips(cover).size(), 1u);
    EXPECT_EQ(PfBlendedStrips(cover)[0], cover.visible);

    PfSpriteCover none = PfMeasureCover(nullptr, 10, 10);
    EXPECT_EQ(none.visible.width, 0);
}

TEST(SpriteCover, AnyShapeIsSplitIntoDisjointPartsThatCoverItExactly) {
    std::mt19937 random(7);
    for (int round = 0; round < 40; round++) {
        const int width = 20 + int(random() % 140), height = 20 + int(random() % 100);
        std::vector<uint32_t> pixels(size_t(width) * size_t(height), kClear);
        // A few overlapping blobs: opaque blocks, see-through blocks and holes.
        for (int blob = 0; blob < 6; blob++) {
            int x0 = int(random() % unsigned(width)), y0 = int(random() % unsigned(height));
            int w = 1 + int(random() % unsigned(width)), h = 1 + int(random() % unsigned(height));
            int kind = int(random() % 3);
            uint32_t colour = kind == 0 ? RGBA(9, 9, 9, 255) : kind == 1 ? RGBA(9, 9, 9, 128) : kClear;
            for (int y = y0; y < std::min(height, y0 + h); y++) {
                for (int x = x0; x < std::min(width, x0 + w); x++) pixels[size_t(y) * size_t(width) + size_t(x)] = colour;
            }
        }
        SCOPED_TRACE("round " + std::to_string(round));
        ExpectExactPartition(pixels, width, height);
        if (HasFatalFailure()) return;
    }
}

using ScreenQueueTest = HeadlessVideo;

// Draws a scene of overlapping sprites and fills. The reference reads the screen
// after every call, which draws each call on its own with nothing skipped, and
// tints with white, which draws every sprite whole instead of in parts.
static void DrawScene(bool reference) {
    auto step = [reference] {
        if (reference) (void)ScreenPixel(0, 0);
    };
    const int64_t plain = reference ? int64_t(RGB(255, 255, 255)) : -1;
    ClearFrame(RGB(12, 34, 56));
    step();
    for (int row = 0; row < 6; row++) {
        DrawSpriteOpaque(1, -30, row * 90 - 20);  // wider than the screen, partly above it
        step();
    }
    ClearFrameArea(600, 0, 40, 480, RGB(0, 0, 0));
    step();
    // A wall of opaque tiles, row by row, over part of the stripes and off the left edge.
    for (int y = 130; y < 400; y += 45) {
        for (int x = -20; x < 500; x += 45) {
            DrawSpriteOpaque(4, x, y);
            step();
        }
    }
    DrawSprite(3, 200, 200, 255, plain);  // see-through, between two layers of tiles
    step();
    for (int x = 0; x < 300; x += 45) {
        DrawSpriteOpaque(4, x, 220);
        step();
    }
    DrawSprite(2, 100, 60, 255, plain);   // framed: opaque middle and see-through border
    step();
    DrawSprite(2, 150, 100, 255, plain);  // overlapping the first
    step();
    DrawSprite(2, 560, 420, 255, plain);  // partly off the screen
    step();
    DrawSprite(2, 300, 300, 140);         // faded
    step();
    DrawSprite(2, 20, 300, 255, RGB(255, 128, 0));  // tinted
    step();
    DrawSprite(3, 130, 80, 255, plain);   // small and see-through over everything
    step();
    DrawSpriteOpaque(2, 400, 40);         // replaces what is under it, border and all
    step();
}

TEST_F(ScreenQueueTest, SkippingHiddenDrawingChangesNoPixel) {
    OpenScreen();
    std::vector<uint32_t> stripes;
    for (int y = 0; y < 90; y++) {
        for (int x = 0; x < 700; x++) stripes.push_back(RGBA(x % 256, y * 2, (x * 7 + y) % 256, 255));
    }
    std::vector<uint8_t> png = MakePng(700, 90, stripes);
    ASSERT_EQ(LoadSpriteBytes(1, png.data(), png.size(), SPRITE_ALPHA), 1);
    png = MakePng(160, 120, FramedPixels(160, 120, 5, 9));
    ASSERT_EQ(LoadSpriteBytes(2, png.data(), png.size(), SPRITE_ALPHA), 1);
    png = MakePng(30, 30, std::vector<uint32_t>(900, RGBA(255, 255, 255, 100)));
    ASSERT_EQ(LoadSpriteBytes(3, png.data(), png.size(), SPRITE_ALPHA), 1);
    std::vector<uint32_t> tile;
    for (int i = 0; i < 45 * 45; i++) tile.push_back(RGBA(i % 45 * 5, 90, i / 45 * 5, 255));
    png = MakePng(45, 45, tile);
    ASSERT_EQ(LoadSpriteBytes(4, png.data(), png.size(), SPRITE_ALPHA), 1);

    DrawScene(true);
    ASSERT_EQ(GrabScreenImage(10, 0, 0, 640, 480), 1);
    // Nothing of the reference may survive into the second picture.
    ClearFrame(RGB(255, 0, 255));
    ASSERT_EQ(ScreenPixel(0, 0), RGBA(255, 0, 255, 255));
    DrawScene(false);
    ASSERT_EQ(GrabScreenImage(11, 0, 0, 640, 480), 1);
    int differing = 0;
    for (int y = 0; y < 480; y++) {
        for (int x = 0; x < 640; x++) differing += ImagePixel(10, x, y) != ImagePixel(11, x, y) ? 1 : 0;
    }
    EXPECT_EQ(differing, 0);
    // The scene really has layers to skip: the framed sprite's middle shows, not the stripes under it.
    EXPECT_EQ(ImagePixel(11, 200, 150), RGBA(30, 160, 220 - (150 - 100) % 40, 255));
}

// A sprite changed or freed after it was drawn still shows what it held when drawn.
TEST_F(ScreenQueueTest, DrawnPixelsSurviveLaterChangesToTheSprite) {
    OpenScreen();
    ClearFrame(RGB(0, 0, 0));
    ASSERT_EQ(SolidSprite(1, 80, 80, RGBA(255, 0, 0, 255)), 1);
    DrawSprite(1, 10, 10);
    ASSERT_EQ(StartDrawing(SpriteOutput(1)), 1);
    FillBox(0, 0, 80, 80, RGB(0, 255, 0));
    StopDrawing();
    DrawSprite(1, 200, 10);
    FreeSprite(1);
    FlipFrame();
    EXPECT_EQ(ScreenPixel(50, 50), RGBA(255, 0, 0, 255));
    EXPECT_EQ(ScreenPixel(240, 50), RGBA(0, 255, 0, 255));
    EXPECT_EQ(ScreenPixel(150, 50), RGBA(0, 0, 0, 255));
}

// Closing the screen with drawing still queued neither draws it later nor crashes.
TEST_F(ScreenQueueTest, ClosingTheScreenDropsQueuedDrawing) {
    OpenScreen();
    ASSERT_EQ(SolidSprite(1, 20, 20, RGBA(255, 255, 255, 255)), 1);
    ClearFrame(RGB(0, 0, 0));
    DrawSprite(1, 0, 0);
    CloseGameScreen();
    FlipFrame();
    OpenScreen();
    ClearFrame(RGB(1, 2, 3));
    EXPECT_EQ(ScreenPixel(5, 5), RGBA(1, 2, 3, 255));
}
