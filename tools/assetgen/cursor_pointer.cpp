// cursor_pointer.cpp: the pointer arrow and its packing as a Windows cursor (.cur) file.
#include "cursor_pointer.h"

#include <algorithm>
#include <cmath>

#include "art_style.h"
#include "assetgen.h"

namespace {

void PutU16(std::vector<uint8_t>& out, unsigned v) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>((v >> (8 * i)) & 0xFF));
}

}  // namespace

Image PointerImage(int size) {
    const float k = size / 48.0f;
    Image img = MakeImage(size, size);
    // The classic arrow outline, tip exactly at the picture's corner.
    Path arrow{{0, 0}, {0, 37}, {9.5f, 28.5f}, {16, 43}, {22.5f, 40}, {16.2f, 26}, {29, 26}};
    for (Vec2& v : arrow) v = Vec2{v.x * k, v.y * k};
    Path body = arrow;
    DrawSoftShadow(img, body, Vec2{1.6f * k, 2.4f * k}, 2.2f * k, 0.45f);
    // Dark outline first (a little wider than the body), then the gold body.
    PaintMaskSolid(img, StrokeMask(PolylineSegments(arrow, true), 1.5f * k, size, size), Rgb(30, 14, 40));
    Mask inside = FillPath(body, size, size);
    PaintMaskSolid(img, inside, Rgb(30, 14, 40));
    Path inner;
    for (Vec2 v : arrow) inner.push_back(Vec2{v.x * 0.86f + 1.6f * k, v.y * 0.86f + 2.6f * k});
    Mask face = FillPath(inner, size, size);
    PaintMask(img, face, [&](int x, int y) {
        float t = (x + y) / (1.6f * size);
        return GoldShade(1.1f - 0.75f * t);
    });
    DrawGem(img, 1, Vec2{7.2f * k, 15.5f * k}, 5.2f * k, 1.15f);
    // Keep the tip pixel solid so the hot spot is visibly where it points.
    SetPixel(img, 0, 0, Rgb(30, 14, 40));
    return img;
}

std::vector<uint8_t> BuildCursorFile(const Image& image, int hotX, int hotY) {
    const int w = std::min(image.width, 256), h = std::min(image.height, 256);
    std::vector<uint8_t> rgba = ToRgba8(image);
    const uint32_t xorBytes = static_cast<uint32_t>(w) * h * 4;
    const uint32_t maskStride = static_cast<uint32_t>((w + 31) / 32) * 4;
    const uint32_t andBytes = maskStride * h;
    const uint32_t dibBytes = 40 + xorBytes + andBytes;

    std::vector<uint8_t> out;
    // ICONDIR: reserved, type 2 (cursor), one image.
    PutU16(out, 0);
    PutU16(out, 2);
    PutU16(out, 1);
    // ICONDIRENTRY: size (0 means 256), colour count, reserved, hot spot, data size, offset.
    out.push_back(static_cast<uint8_t>(w == 256 ? 0 : w));
    out.push_back(static_cast<uint8_t>(h == 256 ? 0 : h));
    out.push_back(0);
    out.push_back(0);
    PutU16(out, static_cast<unsigned>(hotX));
    PutU16(out, static_cast<unsigned>(hotY));
    PutU32(out, dibBytes);
    PutU32(out, 6 + 16);
    // BITMAPINFOHEADER: the height counts the colour image and the mask together.
    PutU32(out, 40);
    PutU32(out, static_cast<uint32_t>(w));
    PutU32(out, static_cast<uint32_t>(h * 2));
    PutU16(out, 1);
    PutU16(out, 32);
    PutU32(out, 0);
    PutU32(out, xorBytes + andBytes);
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, 0);
    // Colour rows bottom-up, BGRA with straight alpha.
    for (int y = h - 1; y >= 0; --y)
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = &rgba[(static_cast<size_t>(y) * image.width + x) * 4];
            out.push_back(p[2]);
            out.push_back(p[1]);
            out.push_back(p[0]);
            out.push_back(p[3]);
        }
    // AND mask, bottom-up, 1 = transparent, rows padded to 32 bits.
    for (int y = h - 1; y >= 0; --y) {
        std::vector<uint8_t> row(maskStride, 0);
        for (int x = 0; x < w; ++x)
            if (rgba[(static_cast<size_t>(y) * image.width + x) * 4 + 3] == 0)
                row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

std::vector<uint8_t> GenerateCursor() { return BuildCursorFile(PointerImage(32), 0, 0); }
