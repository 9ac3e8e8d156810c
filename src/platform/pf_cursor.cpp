// pf_cursor.cpp: Windows .cur files read (every offset bounds-checked) into colour mouse cursors.
#include <cstdio>
#include <cstring>

#include "pf_video_internal.h"

namespace {

uint32_t Le16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t Le32(const uint8_t* p) { return Le16(p) | Le16(p + 2) << 16; }

// A device-independent bitmap as stored in icon and cursor files: the colour
// rows (XOR image) and then the 1-bit transparency rows (AND mask), both
// bottom-up, with a height that counts both halves.
bool ParseDib(const uint8_t* dib, size_t size, PfCursorImage& out) {
    if (size < 40) return false;
    uint32_t headerSize = Le32(dib);
    int32_t width = int32_t(Le32(dib + 4));
    int32_t doubledHeight = int32_t(Le32(dib + 8));
    uint32_t bitCount = Le16(dib + 14);
    uint32_t compression = Le32(dib + 16);
    uint32_t coloursUsed = Le32(dib + 32);
    if (headerSize < 40 || headerSize > size || compression != 0) return false;
    if (width <= 0 || width > 256 || doubledHeight <= 1 || doubledHeight > 512) return false;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32) return false;
    int height = doubledHeight / 2;

    uint64_t paletteCount = 0;
    if (bitCount <= 8) {
        paletteCount = coloursUsed ? coloursUsed : (1u << bitCount);
        if (paletteCount > (1u << bitCount)) return false;
    }
    uint64_t paletteAt = headerSize;
    uint64_t xorStride = ((uint64_t(width) * bitCount + 31) / 32) * 4;
    uint64_t andStride = ((uint64_t(width) + 31) / 32) * 4;
    uint64_t xorAt = paletteAt + paletteCount * 4;
    uint64_t andAt = xorAt + xorStride * uint64_t(height);
    if (andAt > size) return false;
    bool hasMask = andAt + andStride * uint64_t(height) <= size;
    // Only a 32-bit image carries its own transparency; the others need the mask.
    if (!hasMask && bitCount != 32) return false;

    out.width = width;
    out.height = height;
    out.pixels.assign(size_t(width) * size_t(height), 0);
    bool anyAlpha = false;
    for (int row = 0; row < height; row++) {
        const uint8_t* src = dib + xorAt + xorStride * uint64_t(height - 1 - row);
        uint32_t* dst = out.pixels.data() + size_t(row) * size_t(width);
        for (int x = 0; x < width; x++) {
            uint32_t colour;
            if (bitCount == 32) {
                const uint8_t* p = src + x * 4;
                colour = RGBA(p[2], p[1], p[0], p[3]);
                anyAlpha = anyAlpha || p[3] != 0;
            } else if (bitCount == 24) {
                const uint8_t* p = src + x * 3;
                colour = RGBA(p[2], p[1], p[0], 255);
            } else {
                uint32_t bitPos = uint32_t(x) * bitCount;
                uint32_t index = (src[bitPos / 8] >> (8 - bitCount - bitPos % 8)) & ((1u << bitCount) - 1);
                if (index >= paletteCount) return false;
                const uint8_t* p = dib + paletteAt + index * 4;
                colour = RGBA(p[2], p[1], p[0], 255);
            }
            dst[x] = colour;
        }
    }
    // A 32-bit image with an alpha channel is used as it is; otherwise the mask
    // says which pixels are transparent.
    if (bitCount == 32 && anyAlpha) return true;
    for (int row = 0; row < height; row++) {
        const uint8_t* mask = dib + andAt + andStride * uint64_t(height - 1 - row);
        uint32_t* dst = out.pixels.data() + size_t(row) * size_t(width);
        for (int x = 0; x < width; x++) {
            bool transparent = hasMask && ((mask[x / 8] >> (7 - x % 8)) & 1);
            dst[x] = transparent ? 0 : (dst[x] | 0xFF000000u);
        }
    }
    return true;
}

}  // namespace

bool PfParseCursor(const uint8_t* data, size_t size, PfCursorImage& out) {
    out = PfCursorImage();
    if (!data || size < 6 + 16) return false;
    if (Le16(data) != 0 || Le16(data + 2) != 2 || Le16(data + 4) == 0) return false;
    // The first image of the file.
    const uint8_t* entry = data + 6;
    uint32_t hotX = Le16(entry + 4), hotY = Le16(entry + 6);
    uint64_t length = Le32(entry + 8), offset = Le32(entry + 12);
    if (length == 0 || offset > size || length > size - offset) return false;
    const uint8_t* payload = data + offset;
    static const uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    bool ok;
    if (length >= 8 && std::memcmp(payload, kPngSignature, 8) == 0) {
        ok = PfDecodePng(payload, size_t(length), out.pixels, out.width, out.height) && out.width <= 256 &&
             out.height <= 256;
    } else {
        ok = ParseDib(payload, size_t(length), out);
    }
    if (!ok) {
        out = PfCursorImage();
        return false;
    }
    out.hotX = int(hotX < uint32_t(out.width) ? hotX : uint32_t(out.width - 1));
    out.hotY = int(hotY < uint32_t(out.height) ? hotY : uint32_t(out.height - 1));
    return true;
}

static void FreeCursor(PfCursor& cursor) {
    if (cursor.cursor && PfVideo.videoUp) SDL_FreeCursor(cursor.cursor);
    cursor.cursor = nullptr;
}

void PfFreeAllCursors() {
    if (PfVideo.videoUp && !PfIsHeadless()) SDL_SetCursor(SDL_GetDefaultCursor());
    PfTableForEach(PfVideo.cursors, [](PfCursor& c) { FreeCursor(c); });
    PfVideo.cursors = PfTable<PfCursor>();
}

int LoadCursorFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return 0;
    std::vector<uint8_t> bytes(1 << 20);  // far more than any cursor file needs
    size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    bytes.resize(got);
    auto cursor = std::make_unique<PfCursor>();
    if (!PfParseCursor(bytes.data(), bytes.size(), cursor->image)) return 0;
    // The offscreen driver has no cursors: the parsed image is kept all the same.
    if (!PfIsHeadless() && PfEnsureVideo()) {
        PfCursorImage& image = cursor->image;
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(image.pixels.data(), image.width, image.height, 32,
                                                                  image.width * 4, SDL_PIXELFORMAT_RGBA32);
        if (surface) {
            cursor->cursor = SDL_CreateColorCursor(surface, image.hotX, image.hotY);
            SDL_FreeSurface(surface);
        }
    }
    int handle = PfTableChooseNumber(PfVideo.cursors, PF_ANY);
    *PfTableSlot(PfVideo.cursors, handle) = std::move(cursor);
    return handle;
}
