// video_test_support.h: a headless layer per test case, PNG bytes made in memory, and pixel helpers.
#pragma once

#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform.h"

inline const char* kTestFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
inline const char* kComfortaaPath = "/usr/share/fonts/truetype/comfortaa/Comfortaa-Regular.ttf";

// Every case starts from a clean, headless layer with a 640 x 480 desktop.
class HeadlessVideo : public ::testing::Test {
protected:
    void SetUp() override {
        PfShutdown();
        PfSelectBackend(PF_BACKEND_HEADLESS);
        PfSetHeadlessDesktopSize(640, 480);
        ASSERT_EQ(InitSprite(), 1);
        ASSERT_EQ(InitKeyboard(), 1);
        ASSERT_EQ(InitMouse(), 1);
    }
    void TearDown() override { PfShutdown(); }

    void OpenScreen() { ASSERT_EQ(OpenGameScreen(640, 480, 32, "test", 1), 1); }
};

// Encodes RGBA pixels (packed as in platform.h) as a PNG file in memory.
// An RGBA file, or with `alpha` false an RGB one (the pixels' alpha left out).
inline std::vector<uint8_t> MakePng(int width, int height, const std::vector<uint32_t>& pixels, bool alpha = true) {
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, png_size_t length) {
            auto* bytes = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(p));
            bytes->insert(bytes->end(), data, data + length);
        },
        nullptr);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    if (!alpha) png_set_filler(png, 0, PNG_FILLER_AFTER);
    for (int y = 0; y < height; y++) {
        png_write_row(png, reinterpret_cast<png_const_bytep>(pixels.data() + size_t(y) * size_t(width)));
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

inline std::vector<uint8_t> SolidPng(int width, int height, uint32_t colour) {
    return MakePng(width, height, std::vector<uint32_t>(size_t(width) * size_t(height), colour));
}

// A sprite of one colour under a number (or PF_ANY); returns what LoadSpriteBytes returned.
inline int SolidSprite(int number, int width, int height, uint32_t colour) {
    std::vector<uint8_t> png = SolidPng(width, height, colour);
    return LoadSpriteBytes(number, png.data(), png.size(), SPRITE_ALPHA);
}

inline int ChannelDistance(uint32_t a, uint32_t b) {
    int d = std::abs(ColourRed(a) - ColourRed(b));
    d = std::max(d, std::abs(ColourGreen(a) - ColourGreen(b)));
    return std::max(d, std::abs(ColourBlue(a) - ColourBlue(b)));
}

inline std::string TestTmpPath(const std::string& name) {
    std::string dir = std::string(PRISMORIA_TEST_TMP) + "/";
    CreateFolderPath(dir);
    return dir + name;
}
