// art_icon.cpp: the application icon: four of the board's gems in their velvet wells, framed in gold.
#include <algorithm>
#include <cmath>

#include "art_menus.h"
#include "art_style.h"
#include "assetgen.h"
#include "image_files.h"

namespace {

// The four gems of the icon, left to right, top to bottom: red, yellow, blue and
// green read apart from one another even at 16 pixels.
constexpr int kIconGems[4] = {1, 3, 6, 4};

// Signed distance to a rounded square of side `side` at (0, 0) (negative inside),
// and the outward normal at the nearest edge.
float RoundedSquareDistance(float px, float py, float side, float radius, Vec2& outward) {
    const float half = side / 2;
    const float dx = px - half, dy = py - half;
    const float qx = std::fabs(dx) - (half - radius), qy = std::fabs(dy) - (half - radius);
    const float sx = dx < 0 ? -1.0f : 1.0f, sy = dy < 0 ? -1.0f : 1.0f;
    if (qx > 0 && qy > 0) {
        const float l = std::hypot(qx, qy);
        outward = Vec2{sx * qx / l, sy * qy / l};
        return l - radius;
    }
    outward = qx > qy ? Vec2{sx, 0} : Vec2{0, sy};
    return std::max(qx, qy) - radius;
}

// The icon drawn `factor` times larger than `size`. The frame and the wells fall on
// whole pixels of the final size, so their edges stay crisp once it is shrunk;
// small icons get a thicker frame and larger gems so their shapes still read.
Image DrawIcon(int size, int factor) {
    const bool small = size <= 32;
    const int big = size * factor;
    const float s = static_cast<float>(big);
    const float margin = static_cast<float>(small ? 0 : std::lround(size * 0.05f) * factor);
    const float frame = static_cast<float>(std::max(1L, std::lround(size * (small ? 0.07f : 0.06f))) * factor);
    const float side = s - 2 * margin;
    const float corner = side * 0.17f;
    Image img = MakeImage(big, big);

    // A drop shadow under the tile, for the larger sizes only.
    if (!small) {
        DrawSoftShadow(img, RoundedRectPath(margin, margin, s - margin, s - margin, corner),
                       Vec2{0, s * 0.012f}, s * 0.025f, 0.55f);
    }

    // The gold frame: a rounded moulding lit from the upper left, its inner edge
    // falling into a dark groove.
    for (int y = 0; y < big; ++y) {
        for (int x = 0; x < big; ++x) {
            float acc[4] = {0, 0, 0, 0};
            for (int k = 0; k < 4; ++k) {
                const float px = x + 0.25f + 0.5f * (k % 2) - margin, py = y + 0.25f + 0.5f * (k / 2) - margin;
                Vec2 outward;
                const float d = RoundedSquareDistance(px, py, side, corner, outward);
                if (d > 0 || -d > frame) continue;
                const float e = -d / frame;  // 0 at the outer edge .. 1 at the groove
                Colour c = e > 0.82f ? Rgb(24, 14, 6)
                                     : GoldShade(MouldingLight(Vec2{-outward.x, -outward.y}, 2 * e / 0.82f - 1));
                acc[0] += c.r;
                acc[1] += c.g;
                acc[2] += c.b;
                acc[3] += 1;
            }
            if (acc[3] == 0) continue;
            BlendPixel(img, x, y, Colour{acc[0] / acc[3], acc[1] / acc[3], acc[2] / acc[3], 1}, acc[3] / 4);
        }
    }

    // The 2 x 2 board of gem wells inside the groove, cut to its rounded corners.
    const float inset = margin + frame;
    const int cell = (big - 2 * static_cast<int>(inset) + factor) / (2 * factor) * factor;
    Image board = MakeImage(big, big);
    for (int i = 0; i < 4; ++i) {
        Image tile = GemCellTile(small ? 0 : kIconGems[i], cell);
        if (small) {
            // Larger, brighter gems in small icons: their colours carry the picture.
            DrawGem(tile, kIconGems[i], Vec2{cell / 2.0f, cell / 2.0f}, cell * 0.46f, 1.15f);
        }
        DrawImageOpaque(board, tile, static_cast<int>(inset) + (i % 2) * cell, static_cast<int>(inset) + (i / 2) * cell);
    }
    const Mask inside = FillPath(RoundedRectPath(inset, inset, s - inset, s - inset, std::max(0.0f, corner - frame)),
                                 big, big);
    PaintMask(img, inside, [&board](int x, int y) { return GetPixel(board, x, y); });
    return img;
}

}  // namespace

Image AppIconImage(int size) {
    // Small icons are drawn larger and shrunk, so edges and facets stay smooth.
    const int factor = size <= 64 ? 8 : size < 256 ? 4 : 2;
    return Resample(DrawIcon(size, factor), size, size);
}

std::vector<uint8_t> GenerateIconPng(int size) {
    if (size < 16 || size > 1024) return {};
    return EncodePng(AppIconImage(size));
}
