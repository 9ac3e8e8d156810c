// input_cursor_test.cpp: Windows .cur files — 32-bit, paletted and PNG images, hotspots, damaged files.
#include <fstream>

#include "pf_cursor_file.h"
#include "video_test_support.h"

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// ICONDIR with one cursor entry pointing at the payload right after it.
std::vector<uint8_t> CursorFile(int width, int height, int hotX, int hotY, const std::vector<uint8_t>& payload) {
    std::vector<uint8_t> out;
    Put16(out, 0);
    Put16(out, 2);  // cursor
    Put16(out, 1);
    out.push_back(uint8_t(width));
    out.push_back(uint8_t(height));
    out.push_back(0);
    out.push_back(0);
    Put16(out, uint32_t(hotX));
    Put16(out, uint32_t(hotY));
    Put32(out, uint32_t(payload.size()));
    Put32(out, 22);
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

std::vector<uint8_t> DibHeader(int width, int height, int bits, int colours) {
    std::vector<uint8_t> out;
    Put32(out, 40);
    Put32(out, uint32_t(width));
    Put32(out, uint32_t(height * 2));  // colour rows and mask rows
    Put16(out, 1);
    Put16(out, uint32_t(bits));
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, uint32_t(colours));
    Put32(out, 0);
    return out;
}

// 2 x 2, 32 bits: bottom row first in the file. Top row: red opaque, green half;
// bottom row: blue opaque, white transparent.
std::vector<uint8_t> ThirtyTwoBitCursor() {
    std::vector<uint8_t> dib = DibHeader(2, 2, 32, 0);
    const uint8_t rows[] = {255, 0, 0, 255, 255, 255, 255, 0,     // bottom: blue, white
                            0, 0, 255, 255, 0, 255, 0, 128};      // top: red, green
    dib.insert(dib.end(), rows, rows + sizeof rows);
    dib.insert(dib.end(), 8, 0);  // AND mask, two padded rows
    return CursorFile(2, 2, 1, 0, dib);
}

// 8 x 2, 1 bit: palette black/white; top row white, bottom row black; the mask
// makes the left half of the top row transparent.
std::vector<uint8_t> OneBitCursor() {
    std::vector<uint8_t> dib = DibHeader(8, 2, 1, 2);
    const uint8_t palette[] = {0, 0, 0, 0, 255, 255, 255, 0};
    dib.insert(dib.end(), palette, palette + sizeof palette);
    const uint8_t colour[] = {0x00, 0, 0, 0, 0xFF, 0, 0, 0};  // bottom row, top row
    dib.insert(dib.end(), colour, colour + sizeof colour);
    const uint8_t mask[] = {0x00, 0, 0, 0, 0xF0, 0, 0, 0};
    dib.insert(dib.end(), mask, mask + sizeof mask);
    return CursorFile(8, 2, 3, 1, dib);
}

}  // namespace

TEST(CursorFile, ThirtyTwoBitImageKeepsItsAlpha) {
    std::vector<uint8_t> file = ThirtyTwoBitCursor();
    PfCursorImage image;
    ASSERT_TRUE(PfParseCursor(file.data(), file.size(), image));
    EXPECT_EQ(image.width, 2);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.hotX, 1);
    EXPECT_EQ(image.hotY, 0);
    EXPECT_EQ(image.pixels[0], RGBA(255, 0, 0, 255));
    EXPECT_EQ(image.pixels[1], RGBA(0, 255, 0, 128));
    EXPECT_EQ(image.pixels[2], RGBA(0, 0, 255, 255));
    EXPECT_EQ(ColourAlpha(image.pixels[3]), 0);
}

TEST(CursorFile, PalettedImageTakesTransparencyFromTheMask) {
    std::vector<uint8_t> file = OneBitCursor();
    PfCursorImage image;
    ASSERT_TRUE(PfParseCursor(file.data(), file.size(), image));
    EXPECT_EQ(image.width, 8);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.hotX, 3);
    EXPECT_EQ(image.hotY, 1);
    EXPECT_EQ(ColourAlpha(image.pixels[0]), 0);
    EXPECT_EQ(ColourAlpha(image.pixels[3]), 0);
    EXPECT_EQ(image.pixels[4], RGBA(255, 255, 255, 255));
    EXPECT_EQ(image.pixels[8], RGBA(0, 0, 0, 255));
}

TEST(CursorFile, PngPayload) {
    std::vector<uint8_t> png = SolidPng(4, 3, RGBA(10, 20, 30, 200));
    std::vector<uint8_t> file = CursorFile(4, 3, 9, 9, png);
    PfCursorImage image;
    ASSERT_TRUE(PfParseCursor(file.data(), file.size(), image));
    EXPECT_EQ(image.width, 4);
    EXPECT_EQ(image.height, 3);
    EXPECT_EQ(image.hotX, 3) << "a hotspot outside the image is kept inside it";
    EXPECT_EQ(image.hotY, 2);
    EXPECT_EQ(image.pixels[5], RGBA(10, 20, 30, 200));
}

TEST(CursorFile, DamagedFilesAreRefused) {
    for (const std::vector<uint8_t>& file : {ThirtyTwoBitCursor(), OneBitCursor()}) {
        PfCursorImage image;
        // Every cut through the file; only the mask of a 32-bit image may be missing.
        size_t firstAccepted = file.size();
        for (size_t length = 0; length < file.size(); length++) {
            std::vector<uint8_t> cut(file.begin(), file.begin() + std::ptrdiff_t(length));
            // The entry still claims the full payload, so every cut is beyond the file.
            if (PfParseCursor(cut.data(), cut.size(), image)) firstAccepted = std::min(firstAccepted, length);
        }
        EXPECT_EQ(firstAccepted, file.size());
    }
    std::vector<uint8_t> icon = ThirtyTwoBitCursor();
    icon[2] = 1;  // an icon, not a cursor
    PfCursorImage image;
    EXPECT_FALSE(PfParseCursor(icon.data(), icon.size(), image));
    std::vector<uint8_t> farOffset = ThirtyTwoBitCursor();
    farOffset[18] = 0xFF;  // payload offset beyond the end
    EXPECT_FALSE(PfParseCursor(farOffset.data(), farOffset.size(), image));
    std::vector<uint8_t> hugeWidth = ThirtyTwoBitCursor();
    hugeWidth[22 + 4] = 0xFF;
    hugeWidth[22 + 5] = 0xFF;
    EXPECT_FALSE(PfParseCursor(hugeWidth.data(), hugeWidth.size(), image));
    std::vector<uint8_t> badIndex = OneBitCursor();
    badIndex[22 + 32] = 1;  // one palette colour, but the pixels use index 1
    EXPECT_FALSE(PfParseCursor(badIndex.data(), badIndex.size(), image));
    EXPECT_FALSE(PfParseCursor(nullptr, 0, image));
}

using CursorLoading = HeadlessVideo;

TEST_F(CursorLoading, LoadsFromDiskAndAppliesToAWindow) {
    std::string good = TestTmpPath("video_cursor_good.cur");
    std::string cut = TestTmpPath("video_cursor_cut.cur");
    std::vector<uint8_t> file = OneBitCursor();
    std::ofstream(good, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
    std::ofstream(cut, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), 40);
    int cursor = LoadCursorFile(good);
    EXPECT_NE(cursor, 0);
    EXPECT_EQ(LoadCursorFile(cut), 0);
    EXPECT_EQ(LoadCursorFile(TestTmpPath("video_cursor_missing.cur")), 0);
    ASSERT_EQ(OpenGameWindow(0, 0, 0, 100, 100, "w", WINDOW_CENTRED), 1);
    SetWindowCursor(0, cursor);
    SetWindowCursor(0, 0);
    SetWindowCursor(5, cursor);
    std::remove(good.c_str());
    std::remove(cut.c_str());
}
