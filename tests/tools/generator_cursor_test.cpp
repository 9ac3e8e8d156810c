// generator_cursor_test.cpp: the window cursor is a well-formed .cur file matching the pointer picture.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "assetgen.h"
#include "art_metalwork.h"
#include "image_files.h"

namespace {

uint32_t U16(const std::vector<uint8_t>& b, size_t at) { return b[at] | (b[at + 1] << 8); }
uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

struct ParsedCursor {
    int width = 0, height = 0, hotX = -1, hotY = -1;
    std::vector<uint8_t> bgra;  // top row first
    std::vector<bool> maskTransparent;
};

// Parses a one-image .cur, checking every header field against the data size.
bool ParseCursor(const std::vector<uint8_t>& b, ParsedCursor& c) {
    if (b.size() < 6 + 16 + 40) return false;
    if (U16(b, 0) != 0 || U16(b, 2) != 2 || U16(b, 4) != 1) return false;
    c.width = b[6] == 0 ? 256 : b[6];
    c.height = b[7] == 0 ? 256 : b[7];
    c.hotX = static_cast<int>(U16(b, 10));
    c.hotY = static_cast<int>(U16(b, 12));
    const uint32_t bytes = U32(b, 14), offset = U32(b, 18);
    if (offset != 22 || offset + bytes != b.size()) return false;
    if (U32(b, 22) != 40 || static_cast<int>(U32(b, 26)) != c.width ||
        static_cast<int>(U32(b, 30)) != 2 * c.height || U16(b, 34) != 1 || U16(b, 36) != 32 ||
        U32(b, 38) != 0)
        return false;
    const size_t xorBytes = static_cast<size_t>(c.width) * c.height * 4;
    const size_t stride = static_cast<size_t>((c.width + 31) / 32) * 4;
    if (40 + xorBytes + stride * c.height != bytes) return false;
    const size_t pixels = offset + 40, mask = pixels + xorBytes;
    c.bgra.resize(xorBytes);
    c.maskTransparent.resize(static_cast<size_t>(c.width) * c.height);
    for (int y = 0; y < c.height; ++y) {
        const int row = c.height - 1 - y;  // stored bottom-up
        for (int x = 0; x < c.width * 4; ++x)
            c.bgra[static_cast<size_t>(y) * c.width * 4 + x] = b[pixels + static_cast<size_t>(row) * c.width * 4 + x];
        for (int x = 0; x < c.width; ++x)
            c.maskTransparent[static_cast<size_t>(y) * c.width + x] =
                (b[mask + static_cast<size_t>(row) * stride + x / 8] >> (7 - x % 8)) & 1;
    }
    return true;
}

TEST(GeneratorCursor, IsAWellFormedCursorWithTheHotSpotAtTheTip) {
    std::vector<uint8_t> file = GenerateCursor();
    ParsedCursor c;
    ASSERT_TRUE(ParseCursor(file, c));
    EXPECT_EQ(c.width, 32);
    EXPECT_EQ(c.height, 32);
    EXPECT_EQ(c.hotX, 0);
    EXPECT_EQ(c.hotY, 0);
    // The tip pixel is solid; the top-right corner is clear.
    EXPECT_EQ(c.bgra[3], 255);
    EXPECT_FALSE(c.maskTransparent[0]);
    EXPECT_EQ(c.bgra[31 * 4 + 3], 0);
    EXPECT_TRUE(c.maskTransparent[31]);
}

TEST(GeneratorCursor, MaskAgreesWithAlphaEverywhere) {
    ParsedCursor c;
    ASSERT_TRUE(ParseCursor(GenerateCursor(), c));
    int opaque = 0;
    for (size_t i = 0; i < c.maskTransparent.size(); ++i) {
        EXPECT_EQ(c.maskTransparent[i], c.bgra[i * 4 + 3] == 0) << i;
        opaque += c.bgra[i * 4 + 3] == 255;
    }
    EXPECT_GT(opaque, 100);  // a visible arrow, not an empty picture
}

TEST(GeneratorCursor, ColoursAreStoredBlueFirst) {
    Image img = MakeImage(3, 2, Colour{0, 0, 0, 0});
    SetPixel(img, 0, 0, Rgb(200, 100, 50));
    ParsedCursor c;
    ASSERT_TRUE(ParseCursor(BuildCursorFile(img, 1, 1), c));
    EXPECT_EQ(c.hotX, 1);
    EXPECT_EQ(c.bgra[0], 50);
    EXPECT_EQ(c.bgra[1], 100);
    EXPECT_EQ(c.bgra[2], 200);
    EXPECT_EQ(c.bgra[3], 255);
}

TEST(GeneratorCursor, MaskRowsArePaddedToFourBytes) {
    // 48 pixels need 6 mask bytes per row, padded to 8; 256 is written as 0 in the entry.
    ParsedCursor c;
    ASSERT_TRUE(ParseCursor(BuildCursorFile(MakeImage(48, 48), 0, 0), c));
    EXPECT_EQ(c.width, 48);
    for (bool t : c.maskTransparent) EXPECT_TRUE(t);
    std::vector<uint8_t> big = BuildCursorFile(MakeImage(256, 256), 0, 0);
    EXPECT_EQ(big[6], 0);
    EXPECT_EQ(big[7], 0);
    ASSERT_TRUE(ParseCursor(big, c));
    EXPECT_EQ(c.width, 256);
}

}  // namespace
