// art_panels.cpp: the menu panels (jewel-box lids with a filigree border) and the blank button templates.
#include <algorithm>
#include <cmath>

#include "art_panels.h"
#include "art_style.h"

namespace {

// Distances, in the panel's own pixels, from the outer edge inwards.
constexpr float kCornerRadius = 38;
constexpr float kOuterMouldingEnd = 22;
constexpr float kBandStart = 26, kBandEnd = 66;
constexpr float kInnerMouldingStart = 70, kInnerMouldingEnd = 80;

// Signed distance to a rounded rectangle (negative inside) and the outward normal.
float RoundedRectDistance(float px, float py, float w, float h, float r, Vec2& outward) {
    float cx = w / 2, cy = h / 2;
    float dx = px - cx, dy = py - cy;
    float qx = std::fabs(dx) - (w / 2 - r), qy = std::fabs(dy) - (h / 2 - r);
    float sx = dx < 0 ? -1.0f : 1.0f, sy = dy < 0 ? -1.0f : 1.0f;
    if (qx > 0 && qy > 0) {
        float l = std::hypot(qx, qy);
        outward = Vec2{sx * qx / l, sy * qy / l};
        return l - r;
    }
    if (qx > qy) outward = Vec2{sx, 0};
    else outward = Vec2{0, sy};
    return std::max(qx, qy) - r;
}

float MouldingLight(Vec2 inward, float u) {
    float a = std::min(std::fabs(u), 0.97f);
    float slope = a / std::sqrt(1 - a * a);
    Vec2 dir = u >= 0 ? inward : Vec2{-inward.x, -inward.y};
    float d = SurfaceLight(dir, std::min(slope, 4.0f));
    return 0.2f + 0.78f * d + 0.5f * std::pow(d, 14.0f);
}

// The border's cross-section at depth e from the outer edge.
Colour BorderColour(float e, Vec2 inward) {
    if (e < 3) return Rgb(20, 12, 6);
    if (e < kOuterMouldingEnd)
        return GoldShade(MouldingLight(inward, 2 * (e - 3) / (kOuterMouldingEnd - 3) - 1));
    if (e < kBandStart) return Rgb(34, 20, 8);
    if (e < kBandEnd) {
        // Deep enamel, a little darker where it meets the mouldings.
        float u = 2 * (e - kBandStart) / (kBandEnd - kBandStart) - 1;
        return ScaleColour(Rgb(46, 28, 70), 0.75f + 0.25f * (1 - u * u));
    }
    if (e < kInnerMouldingStart) return Rgb(34, 20, 8);
    if (e < kInnerMouldingEnd)
        return GoldShade(MouldingLight(inward, 2 * (e - kInnerMouldingStart) /
                                                   (kInnerMouldingEnd - kInnerMouldingStart) - 1));
    // A short soft shadow cast by the inner moulding, fading into the interior.
    float t = SmoothStep(kInnerMouldingEnd, kPanelInteriorInset, e);
    return MixColour(ScaleColour(PanelColour(), 0.55f), PanelColour(), t);
}

}  // namespace

Image PanelImage(int width, int height, int studColour) {
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    Image img = MakeImage(width, height);
    const Colour panel = PanelColour();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            // Everything at least the interior inset away from the edges is exactly the
            // panel colour: titles and labels are drawn there on that colour.
            if (x >= kPanelInteriorInset && y >= kPanelInteriorInset && x < width - kPanelInteriorInset &&
                y < height - kPanelInteriorInset) {
                SetPixel(img, x, y, panel);
                continue;
            }
            // Four samples per pixel for a smooth outer edge and moulding lines.
            float acc[4] = {0, 0, 0, 0};
            for (int s = 0; s < 4; ++s) {
                float px = x + 0.25f + 0.5f * (s % 2), py = y + 0.25f + 0.5f * (s / 2);
                Vec2 outward;
                float d = RoundedRectDistance(px, py, w, h, kCornerRadius, outward);
                if (d > 0) continue;
                Colour c = BorderColour(-d, Vec2{-outward.x, -outward.y});
                acc[0] += c.r;
                acc[1] += c.g;
                acc[2] += c.b;
                acc[3] += 1;
            }
            float* p = &img.px[(static_cast<size_t>(y) * width + x) * 4];
            for (int c = 0; c < 4; ++c) p[c] = acc[c] / 4;
        }
    }

    // Filigree runs in the enamel band between the studs.
    const float b0 = kBandStart + 3, b1 = kBandEnd - 3;
    const float stud = 34, gap = 88;  // stud radius; filigree keeps clear of the studs
    const float wire = 2.2f;
    DrawFiligreeBand(img, gap, b0, w / 2 - gap * 0.6f, b1, wire, 1);
    DrawFiligreeBand(img, w / 2 + gap * 0.6f, b0, w - gap, b1, wire, 2);
    DrawFiligreeBand(img, gap, h - b1, w / 2 - gap * 0.6f, h - b0, wire, 3);
    DrawFiligreeBand(img, w / 2 + gap * 0.6f, h - b1, w - gap, h - b0, wire, 4);
    DrawFiligreeBand(img, b0, gap, b1, h - gap, wire, 5);
    DrawFiligreeBand(img, w - b1, gap, w - b0, h - gap, wire, 6);

    const float mid = (kBandStart + kBandEnd) / 2;
    const Vec2 corners[4] = {{mid, mid}, {w - mid, mid}, {mid, h - mid}, {w - mid, h - mid}};
    for (Vec2 c : corners) {
        DrawSoftShadow(img, CirclePath(c, stud), Vec2{3, 5}, 6, 0.6f);
        DrawSetGem(img, studColour, c, stud);
    }
    for (Vec2 c : {Vec2{w / 2, mid}, Vec2{w / 2, h - mid}}) {
        DrawSoftShadow(img, CirclePath(c, stud * 0.62f), Vec2{2, 4}, 5, 0.6f);
        DrawSetGem(img, 11, c, stud * 0.62f);
    }
    return img;
}

Image TemplateImage(int width, int height) { return MakeImage(width, height); }
