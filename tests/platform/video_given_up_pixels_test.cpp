// video_given_up_pixels_test.cpp: sprites that gave up their stored pixels are drawn on, copied, rescaled and redrawn exactly as before.
#include <zlib.h>

#include <functional>
#include <string>

#include "pf_internal.h"
#include "video_test_support.h"

namespace {

// Pixels with every alpha from clear to opaque and no two neighbours alike.
std::vector<uint32_t> Pattern(int width, int height, int seed) {
    std::vector<uint32_t> pixels(size_t(width) * size_t(height));
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            pixels[size_t(y * width + x)] = RGBA(x * 7 + seed, y * 11, (x * y + seed) * 3, (x * 13 + y * 29) % 256);
        }
    }
    return pixels;
}

PfOutput Output(int number, bool image) { return image ? ImageOutput(number) : SpriteOutput(number); }

class GivenUpPixels : public HeadlessVideo {
protected:
    void SetUp() override {
        HeadlessVideo::SetUp();
        ASSERT_EQ(InstallFontFile(kTestFontPath), 1);
        ASSERT_EQ(LoadFontFace(1, "DejaVu Sans", 14, FONT_HIGHQUALITY), 1);
        OpenScreen();
        SetSpriteQuality(1);
    }

    // A text and two boxes, one of them blended, drawn on a sprite or an image.
    static void DrawSomething(int number, bool image, int x) {
        ASSERT_EQ(StartDrawing(Output(number, image)), 1);
        UseFont(1);
        DrawTextAt(x, 2, "Ag", RGB(250, 240, 10), RGB(20, 30, 40));
        DrawingMode(DRAW_ALPHABLEND | DRAW_TRANSPARENT);
        FillBox(x + 3, 12, 9, 5, RGBA(0, 90, 200, 100));
        DrawTextAt(x + 1, 4, "x", RGBA(255, 255, 255, 180));
        DrawingMode(DRAW_DEFAULT);
        FillBox(1, 1, 3, 3, RGB(200, 0, 0));
        StopDrawing();
    }

    // A copy: CopySprite for sprites; for images, a new one with the source drawn over it.
    static void Copy(int from, int to, bool image) {
        if (!image) {
            ASSERT_EQ(CopySprite(from, to, SPRITE_ALPHA), 1);
            return;
        }
        ASSERT_EQ(CreateImage(to, ImageWidth(from), ImageHeight(from)), 1);
        ASSERT_EQ(StartDrawing(ImageOutput(to)), 1);
        DrawImageOn(from, 0, 0);
        StopDrawing();
    }

    // Images always hold their pixels: the stored pixels of a sprite must be theirs.
    static void ExpectImagePixels(int sprite, int image, const std::string& what) {
        ASSERT_EQ(SpriteStoredWidth(sprite), ImageWidth(image)) << what;
        int mismatches = 0;
        for (int y = 0; y < ImageHeight(image); y++) {
            for (int x = 0; x < ImageWidth(image); x++) {
                mismatches += SpritePixel(sprite, x, y) != ImagePixel(image, x, y);
            }
        }
        EXPECT_EQ(mismatches, 0) << what << ": stored pixels";
    }

    // Two sprites land alike on a cleared screen.
    static void ExpectSameOnScreen(int a, int b, const std::string& what) {
        ASSERT_EQ(SpriteWidth(a), SpriteWidth(b)) << what;
        ClearFrame(RGB(60, 70, 80));
        DrawSprite(a, 0, 0);
        DrawSprite(b, 320, 0);
        int mismatches = 0;
        for (int y = 0; y < SpriteHeight(a); y++) {
            for (int x = 0; x < SpriteWidth(a); x++) mismatches += ScreenPixel(x, y) != ScreenPixel(320 + x, y);
        }
        EXPECT_EQ(mismatches, 0) << what << ": on the screen";
    }
};

// Each kind of sprite is made as sprites 1 and 2, and with the same calls as
// image 2, which holds its pixels throughout. Only sprite 2 is drawn on the
// screen, which makes it give its pixels up where it can make them again. All
// three are then copied, the screen is made anew, they are drawn on and the
// sprites rescaled: sprite 2 must hold the image's pixels and look like sprite 1.
TEST_F(GivenUpPixels, RemadeExactlyForCopyDrawingRescalingAndANewScreen) {
    const struct {
        const char* name;
        std::function<void(int, bool)> make;
    } cases[] = {
        {"PNG, scaled", [](int n, bool image) {
             std::vector<uint8_t> png = MakePng(40, 30, Pattern(40, 30, 1));
             ASSERT_EQ(image ? LoadImageBytes(n, png.data(), png.size())
                             : LoadSpriteBytes(n, png.data(), png.size(), SPRITE_ALPHA), 1);
             if (!image) ScaleSprite(n, 57, 41);
         }},
        {"copy of a PNG with texts, scaled", [](int n, bool image) {
             std::vector<uint8_t> png = MakePng(60, 40, Pattern(60, 40, 2));
             ASSERT_EQ(image ? LoadImageBytes(50, png.data(), png.size())
                             : LoadSpriteBytes(50, png.data(), png.size(), SPRITE_ALPHA), 1);
             Copy(50, n, image);
             DrawSomething(n, image, 20);
             if (!image) ScaleSprite(n, 45, 30);
         }},
        {"blank, filled, with texts", [](int n, bool image) {
             ASSERT_EQ(image ? CreateImage(n, 70, 40) : CreateSprite(n, 70, 40, SPRITE_ALPHA), 1);
             ASSERT_EQ(StartDrawing(Output(n, image)), 1);
             FillBox(0, 0, 70, 40, RGB(38, 35, 32));
             StopDrawing();
             DrawSomething(n, image, 30);
         }},
        {"blank filled with a gradient, with texts", [](int n, bool image) {
             ASSERT_EQ(image ? CreateImage(n, 70, 40) : CreateSprite(n, 70, 40, SPRITE_ALPHA), 1);
             ASSERT_EQ(StartDrawing(Output(n, image)), 1);
             DrawingMode(DRAW_GRADIENT);
             SetFrontColor(RGB(250, 10, 10));
             SetBackColor(RGB(10, 10, 250));
             LinearGradient(3, 0, 60, 37);
             GradientColor(0.4, RGB(20, 200, 20));
             FillBox(0, 0, 70, 40);
             StopDrawing();
             DrawSomething(n, image, 30);
         }},
        {"blank with an image drawn over all of it", [](int n, bool image) {
             const int picture = CreateImage(PF_ANY, 64, 48);
             ASSERT_EQ(StartDrawing(ImageOutput(picture)), 1);
             DrawingMode(DRAW_GRADIENT);
             SetFrontColor(RGB(255, 0, 0));
             SetBackColor(RGB(0, 0, 255));
             LinearGradient(0, 0, 64, 48);
             FillBox(0, 0, 64, 48);
             StopDrawing();
             ASSERT_EQ(image ? CreateImage(n, 64, 48) : CreateSprite(n, 64, 48, 0), 1);
             ASSERT_EQ(StartDrawing(Output(n, image)), 1);
             DrawImageOn(picture, 0, 0);
             StopDrawing();
             FreeImage(picture);
         }},
        {"PNG mostly painted over, scaled", [](int n, bool image) {
             std::vector<uint8_t> png = MakePng(40, 30, Pattern(40, 30, 3));
             ASSERT_EQ(image ? LoadImageBytes(n, png.data(), png.size())
                             : LoadSpriteBytes(n, png.data(), png.size(), SPRITE_ALPHA), 1);
             ASSERT_EQ(StartDrawing(Output(n, image)), 1);
             FillBox(0, 0, 30, 25, RGB(1, 2, 3));
             StopDrawing();
             if (!image) ScaleSprite(n, 80, 60);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.make(1, false);
        c.make(2, false);
        c.make(2, true);
        ClearFrame(RGB(0, 0, 0));
        DrawSprite(2, 0, 0);
        FlipFrame();
        EXPECT_FALSE(PfSpriteHoldsPixels(2)) << "pixels are given up once shown";

        for (bool image : {false, true}) {
            if (!image) Copy(1, 11, false);
            Copy(2, 12, image);
        }
        CloseGameScreen();
        OpenScreen();
        DrawSprite(2, 0, 0);  // gives its pixels up again on the new screen
        EXPECT_FALSE(PfSpriteHoldsPixels(2)) << "pixels are given up once shown";
        for (int n : {1, 2}) DrawSomething(n, false, 5);
        DrawSomething(2, true, 5);
        ScaleSprite(1, 33, 21);
        ScaleSprite(2, 33, 21);

        ExpectImagePixels(2, 2, "drawn on and rescaled");
        ExpectImagePixels(12, 12, "copy");
        ExpectSameOnScreen(1, 2, "drawn on and rescaled");
        ExpectSameOnScreen(11, 12, "copy");
        for (int n : {1, 2, 11, 12, 50}) {
            FreeSprite(n);
            FreeImage(n);
        }
    }
}

// Opaque sprites reach the screen a band of rows at a time, made from what they
// keep (a fill with patches, a PNG resized on the way, a PNG without alpha read
// row by row from its file) and never held whole at their shown size. Each is made as sprite 1 and, with the same calls, as image 1
// (resized like the sprite is shown): drawn opaque, the sprite must put exactly
// the image's pixels on the screen.
TEST_F(GivenUpPixels, OpaqueSpritesShowExactlyTheirPixels) {
    // Opaque pixels, no two neighbours alike.
    std::vector<uint32_t> opaque = Pattern(50, 40, 5);
    for (uint32_t& p : opaque) p |= 0xFF000000u;
    const std::vector<uint8_t> photo = MakePng(50, 40, opaque);
    const std::vector<uint8_t> rgb = MakePng(50, 40, opaque, false);
    auto loadRgb = [&rgb](int n, bool image) {
        ASSERT_EQ(image ? LoadImageBytes(n, rgb.data(), rgb.size()) : LoadSpriteBytes(n, rgb.data(), rgb.size(), 0), 1);
    };
    const struct {
        const char* name;
        int shownWidth, shownHeight;  // 0: as stored
        std::function<void(int, bool)> make;
    } cases[] = {
        {"gradient with a see-through sprite laid over part of it", 0, 0, [](int n, bool image) {
             std::vector<uint8_t> edge = MakePng(12, 9, Pattern(12, 9, 6));
             ASSERT_EQ(LoadSpriteBytes(60, edge.data(), edge.size(), SPRITE_ALPHA), 1);
             ScaleSprite(60, 23, 14);
             ASSERT_EQ(image ? CreateImage(n, 300, 250) : CreateSprite(n, 300, 250, 0), 1);
             ASSERT_EQ(StartDrawing(Output(n, image)), 1);
             DrawingMode(DRAW_GRADIENT);
             SetFrontColor(RGB(250, 10, 10));
             SetBackColor(RGB(10, 10, 250));
             LinearGradient(0, 250, 300, 250);
             GradientColor(0.5, RGB(20, 200, 20));
             FillBox(0, 0, 300, 250);
             StopDrawing();
             ASSERT_EQ(StartDrawing(Output(n, image)), 1);
             DrawingMode(DRAW_ALPHABLEND);
             DrawShownSpriteOn(60, 30, 20);
             DrawShownSpriteOn(60, 290, 242);  // partly off the edge, in the last band of rows
             StopDrawing();
         }},
        {"copy of a PNG with texts on their boxes", 0, 0, [&photo](int n, bool image) {
             ASSERT_EQ(image ? LoadImageBytes(50, photo.data(), photo.size())
                             : LoadSpriteBytes(50, photo.data(), photo.size(), SPRITE_ALPHA), 1);
             Copy(50, n, image);
             ASSERT_EQ(StartDrawing(Output(n, image)), 1);
             UseFont(1);
             DrawTextAt(3, 2, "Ag", RGB(250, 240, 10), RGB(20, 30, 40));
             DrawTextAt(30, 25, "Wy", RGBA(250, 240, 10, 90), RGB(20, 30, 40));  // cut at the edge
             StopDrawing();
         }},
        {"PNG grown to eight times its size", 400, 320, [&photo](int n, bool image) {
             ASSERT_EQ(image ? LoadImageBytes(n, photo.data(), photo.size())
                             : LoadSpriteBytes(n, photo.data(), photo.size(), SPRITE_ALPHA), 1);
         }},
        {"PNG grown by an uneven step", 83, 61, [&photo](int n, bool image) {
             ASSERT_EQ(image ? LoadImageBytes(n, photo.data(), photo.size())
                             : LoadSpriteBytes(n, photo.data(), photo.size(), SPRITE_ALPHA), 1);
         }},
        {"PNG shrunk", 37, 23, [&photo](int n, bool image) {
             ASSERT_EQ(image ? LoadImageBytes(n, photo.data(), photo.size())
                             : LoadSpriteBytes(n, photo.data(), photo.size(), SPRITE_ALPHA), 1);
         }},
        {"PNG without alpha as stored", 0, 0, loadRgb},
        {"PNG without alpha grown by an uneven step", 83, 61, loadRgb},
        {"PNG without alpha shrunk by an uneven step", 37, 23, loadRgb},
        {"PNG without alpha shrunk to a third", 16, 13, loadRgb},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.make(1, false);
        c.make(1, true);
        if (c.shownWidth > 0) {
            ScaleSprite(1, c.shownWidth, c.shownHeight);
            ASSERT_EQ(ResizeImage(1, c.shownWidth, c.shownHeight), 1);
        }
        ClearFrame(RGB(0, 0, 0));
        DrawSpriteOpaque(1, 0, 0);
        int mismatches = 0;
        for (int y = 0; y < ImageHeight(1); y++) {
            for (int x = 0; x < ImageWidth(1); x++) mismatches += ScreenPixel(x, y) != (ImagePixel(1, x, y) | 0xFF000000u);
        }
        EXPECT_EQ(mismatches, 0);
        EXPECT_FALSE(PfSpriteHoldsPixels(1));
        for (int n : {1, 50, 60}) {
            FreeSprite(n);
            FreeImage(n);
        }
    }
}

// Only a PNG's structure is checked when it is loaded; one whose compressed data
// turns out broken when it is decoded gives a clear sprite of its size.
TEST_F(GivenUpPixels, PngBrokenInsideItsDataDrawsClear) {
    std::vector<uint8_t> png = MakePng(8, 8, Pattern(8, 8, 4));
    // The image data chunk follows the 8-byte signature and the 25-byte header.
    const size_t data = 8 + 25;
    ASSERT_EQ(std::string(png.begin() + long(data) + 4, png.begin() + long(data) + 8), "IDAT");
    const uint32_t length = uint32_t(png[data]) << 24 | uint32_t(png[data + 1]) << 16 | uint32_t(png[data + 2]) << 8 |
                            png[data + 3];
    for (uint32_t i = 2; i < length; i++) png[data + 8 + i] = 0xFF;  // no longer a zlib stream
    const uint32_t crc = uint32_t(crc32(crc32(0, nullptr, 0), png.data() + data + 4, length + 4));
    for (int i = 0; i < 4; i++) png[data + 8 + length + size_t(i)] = uint8_t(crc >> (24 - 8 * i));

    ASSERT_EQ(LoadSpriteBytes(1, png.data(), png.size(), SPRITE_ALPHA), 1);
    EXPECT_EQ(SpriteStoredWidth(1), 8);
    EXPECT_EQ(SpritePixel(1, 3, 3), 0u);
    ClearFrame(RGB(5, 6, 7));
    DrawSprite(1, 0, 0);
    EXPECT_EQ(ScreenPixel(3, 3), RGBA(5, 6, 7, 255));
}

}  // namespace
