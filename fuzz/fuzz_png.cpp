// fuzz_png.cpp: fuzzes the PNG loader: images and sprites decoded from memory, then read back.
//
// Every PNG chunk carries a CRC that almost every mutation breaks; each input is
// also tried with the CRCs mended, so the fuzzer gets past them into the pixels.
#include <zlib.h>

#include <algorithm>
#include <vector>

#include "fuzz_support.h"
#include "platform.h"

namespace {

constexpr int Slot = 1;

void ExercisePng(const uint8_t* data, size_t size) {
    const int image = LoadImageBytes(Slot, data, size);
    const int sprite = LoadSpriteBytes(Slot, data, size, SPRITE_ALPHA);
    // A sprite only checks the file's structure when loaded and decodes it when
    // its pixels are first needed: whatever decodes as an image loads as a
    // sprite, and a sprite whose pixels turn out undecodable is clear.
    if (image) FUZZ_CHECK(sprite);
    if (!image) {
        if (sprite) {
            FUZZ_CHECK(SpritePixel(Slot, 0, 0) == 0);
            FreeSprite(Slot);
        }
        return;
    }
    const int width = ImageWidth(Slot);
    const int height = ImageHeight(Slot);
    FUZZ_CHECK(width > 0 && height > 0);
    FUZZ_CHECK(SpriteStoredWidth(Slot) == width && SpriteStoredHeight(Slot) == height);
    FUZZ_CHECK(ImagePixel(Slot, width - 1, height - 1) == SpritePixel(Slot, width - 1, height - 1));
    FUZZ_CHECK(ImagePixel(Slot, width, height) == 0);
    // The game scales what it loads; a small target keeps each run quick.
    FUZZ_CHECK(ResizeImage(Slot, 7, 5) == 1);
    FreeImage(Slot);
    FreeSprite(Slot);
    FUZZ_CHECK(!IsImage(Slot) && !IsSprite(Slot));
}

// Rewrites the CRC of every whole chunk after the signature; false when
// there is nothing to mend.
bool MendChunkCrcs(std::vector<uint8_t>& png) {
    size_t at = 8;
    bool any = false;
    while (at + 12 <= png.size()) {
        const uint32_t length = FuzzBe32(png.data() + at);
        if (length > png.size() - at - 12) break;
        const uint8_t* typeAndData = png.data() + at + 4;
        FuzzPutBe(png.data() + at + 8 + length, uint32_t(crc32(0, typeAndData, uInt(length) + 4)));
        at += 12 + size_t(length);
        any = true;
    }
    return any;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ExercisePng(data, size);
    std::vector<uint8_t> mended(data, data + size);
    if (MendChunkCrcs(mended) && !std::equal(mended.begin(), mended.end(), data)) {
        ExercisePng(mended.data(), mended.size());
    }
    return 0;
}
