// art_menus.cpp: the menu screens' pictures: panels, button templates, the game logo, the studio splash.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "art_glyphs.h"
#include "art_menus.h"
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

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

Colour Hue(float h, float saturation, float value) {
    h = h - std::floor(h);
    float r = Clamp01(std::fabs(h * 6 - 3) - 1);
    float g = Clamp01(2 - std::fabs(h * 6 - 2));
    float b = Clamp01(2 - std::fabs(h * 6 - 4));
    auto sv = [&](float c) { return value * (1 - saturation + saturation * c); };
    return Colour{sv(r), sv(g), sv(b), 1};
}

// A sky colour for a height share 0 (top) .. 1 (bottom): night to dawn.
Colour SkyColour(float v) {
    static const float stops[5] = {0.0f, 0.45f, 0.7f, 0.88f, 1.0f};
    static const Colour cols[5] = {Rgb(6, 8, 24), Rgb(20, 20, 58), Rgb(58, 34, 88),
                                   Rgb(160, 76, 98), Rgb(238, 150, 92)};
    for (int i = 0; i < 4; ++i)
        if (v <= stops[i + 1]) return MixColour(cols[i], cols[i + 1], SmoothStep(stops[i], stops[i + 1], v));
    return cols[4];
}

}  // namespace

Image GameLogoImage(int width) {
    const float margin = width * 0.04f;
    const float tracking = 0.2f;
    const float units = MeasureText("PRISMORIA", GlyphStyle::Faceted, 1.0f, tracking);
    const float half = 0.105f;  // stroke half width per unit of capital height
    const float size = (width - 2 * margin) / (units + 2 * half);
    const float hw = half * size;
    const int height = static_cast<int>(std::ceil(size + 2 * hw + 2 * margin));
    Image img = MakeImage(width, height);
    const Vec2 origin{margin + hw, margin + hw + size};
    TextLayout text = LayoutText("PRISMORIA", GlyphStyle::Faceted, size, origin, tracking);

    const float rim = hw * 0.22f, outline = hw * 0.12f, glow = margin * 0.8f;
    SegmentField f = MakeSegmentField(text.segments, hw + rim + outline + glow, width, height);
    for (int ly = 0; ly < f.height; ++ly) {
        for (int lx = 0; lx < f.width; ++lx) {
            size_t i = static_cast<size_t>(ly) * f.width + lx;
            int x = f.x0 + lx, y = f.y0 + ly;
            float d = f.dist[i];
            Vec2 dir = f.dir[i];
            // Red through to violet along the name, in steps too fine to see (smaller file).
            float hue = std::round((0.98f - 0.8f * (x - origin.x) / text.width) * 160) / 160;
            Colour out{0, 0, 0, 0};
            if (d < hw + 0.5f) {
                // Chiselled crystal: each side of the ridge is one flat facet.
                float light = SurfaceLight(dir, 1.1f);
                float ridge = 1 - SmoothStep(0.0f, hw * 0.18f, d);
                Colour body = Hue(hue, 0.8f, 0.45f + 0.7f * light);
                body = MixColour(body, Colour{1, 1, 1, 1}, Clamp01(0.55f * ridge + 0.5f * std::pow(light, 6.0f)));
                float cover = Clamp01(hw + 0.5f - d);
                Colour rimC = GoldShade(0.3f + 0.9f * SurfaceLight(dir, 1.5f));
                out = MixColour(rimC, body, cover);
                out.a = 1;
            } else if (d < hw + rim + 0.5f) {
                out = GoldShade(0.3f + 0.9f * SurfaceLight(dir, 1.5f));
                float cover = Clamp01(hw + rim + 0.5f - d);
                Colour dark = Rgb(24, 10, 36);
                out = MixColour(dark, out, cover);
                out.a = 1;
            } else if (d < hw + rim + outline + 0.5f) {
                out = Rgb(24, 10, 36);
                out.a = 1;
                float cover = Clamp01(hw + rim + outline + 0.5f - d);
                float g = 1 - (d - hw - rim - outline) / glow;
                Colour halo = Rgb(16, 6, 28, 0.7f * g * g);
                out = MixColour(halo, out, cover);
            } else {
                float g = 1 - (d - hw - rim - outline) / glow;
                if (g <= 0) continue;
                out = Rgb(16, 6, 28, 0.7f * g * g);  // dark halo: the logo stays legible over the gems
            }
            SetPixel(img, x, y, out);
        }
    }
    // Quantise the faint outer halo a little: it keeps the picture small without
    // visible steps, since it is always drawn over a busy background.
    for (size_t i = 0; i < img.px.size(); i += 4) {
        float a = img.px[i + 3];
        if (a > 0 && a < 0.5f) {
            float q = std::round(a * 255 / 3) * 3 / 255;
            float k = q / a;
            for (int c = 0; c < 4; ++c) img.px[i + c] *= k;
        }
    }
    return img;
}

Image StudioSplashImage(int width, int height) {
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    Image img = MakeImage(width, height);
    const Vec2 sun{w / 2, h * 0.98f};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            float v = (y + 0.5f) / h;
            Colour c = SkyColour(v);
            float d = std::hypot((x + 0.5f - sun.x) / h, (y + 0.5f - sun.y) / h);
            c = MixColour(c, Rgb(255, 178, 110), 0.45f * std::exp(-d * d * 9));
            SetPixel(img, x, y, c);
        }
    // Stars, thinning out towards the dawn.
    const int stars = static_cast<int>(w * h / 9000);
    for (int i = 0; i < stars; ++i) {
        float sx = HashNoise(i, 1, 41u) * w, sy = std::pow(HashNoise(i, 2, 41u), 1.6f) * h * 0.75f;
        float r = 0.5f + 1.1f * std::pow(HashNoise(i, 3, 41u), 3.0f);
        float bright = (0.35f + 0.65f * HashNoise(i, 4, 41u)) * (1 - sy / (h * 0.8f));
        for (int y = static_cast<int>(sy - r - 1); y <= static_cast<int>(sy + r + 1); ++y)
            for (int x = static_cast<int>(sx - r - 1); x <= static_cast<int>(sx + r + 1); ++x) {
                float d = std::hypot(x + 0.5f - sx, y + 0.5f - sy);
                BlendPixel(img, x, y, Rgb(235, 236, 255), bright * Clamp01(r + 0.5f - d));
            }
    }
    // Low hills in silhouette along the bottom.
    Path hills{{0, h}};
    for (int i = 0; i <= 64; ++i) {
        float x = w * i / 64;
        float y = h * (0.9f + 0.03f * std::sin(x / w * 7.0f + 1.2f) + 0.015f * std::sin(x / w * 17.0f));
        hills.push_back(Vec2{x, y});
    }
    hills.push_back(Vec2{w, h});
    PaintMaskSolid(img, FillPath(hills, width, height), Rgb(12, 8, 24));

    // The emblem: a gold ring holding a rising sun, with three whistle notes above it.
    const float R = h * 0.17f;
    const Vec2 c{w / 2, h * 0.4f};
    Mask disc = FillPath(CirclePath(c, R), width, height);
    PaintMask(img, disc, [&](int, int y) {
        float v = (y + 0.5f - (c.y - R)) / (2 * R);
        return MixColour(Rgb(18, 22, 70), Rgb(236, 120, 110), SmoothStep(0.1f, 0.95f, v));
    });
    Mask sunDisc = MaskMultiply(FillPath(CirclePath(Vec2{c.x, c.y + R * 0.38f}, R * 0.42f), width, height), disc);
    Mask below = FillPath(Path{{c.x - R, c.y + R * 0.38f}, {c.x + R, c.y + R * 0.38f},
                               {c.x + R, c.y + R}, {c.x - R, c.y + R}}, width, height);
    PaintMask(img, sunDisc, [&](int, int y) {
        float v = (y + 0.5f - (c.y - R * 0.04f)) / (R * 0.42f);
        return MixColour(Rgb(255, 236, 150), Rgb(255, 160, 70), Clamp01(v));
    });
    std::vector<Segment> rays;
    for (int i = 0; i < 9; ++i) {
        float a = kPi + kPi * (i + 0.5f) / 9;
        Vec2 dir{std::cos(a), std::sin(a)};
        Vec2 base{c.x, c.y + R * 0.38f};
        rays.push_back(Segment{Vec2{base.x + dir.x * R * 0.52f, base.y + dir.y * R * 0.52f},
                               Vec2{base.x + dir.x * R * 0.7f, base.y + dir.y * R * 0.7f}});
    }
    PaintMaskSolid(img, MaskMultiply(StrokeMask(rays, R * 0.025f, width, height), disc), Rgb(255, 214, 130));
    PaintMaskSolid(img, MaskMultiply(below, disc), Rgb(20, 14, 40));
    // Two early birds over the sunrise: each a pair of curved wing strokes.
    std::vector<Segment> notes;
    const struct {
        float x, y, size;
    } birds[] = {{0.18f, -0.5f, 0.16f}, {0.42f, -0.34f, 0.1f}};
    for (const auto& bird : birds) {
        const float bx = c.x + R * bird.x, by = c.y + R * bird.y, bs = R * bird.size;
        for (float side : {-1.0f, 1.0f}) {
            Path wing = ArcPoints(Vec2{bx + side * 0.5f * bs, by + 0.3f * bs}, 0.58f * bs,
                                  side < 0 ? -kPi * 0.85f : -kPi * 0.8f, side < 0 ? -kPi * 0.2f : -kPi * 0.15f);
            std::vector<Segment> strokes = PolylineSegments(wing, false);
            notes.insert(notes.end(), strokes.begin(), strokes.end());
        }
    }
    PaintMaskSolid(img, StrokeMask(notes, R * 0.018f, width, height), Rgb(255, 240, 214));
    DrawGoldWire(img, PolylineSegments(CirclePath(c, R), true), R * 0.05f);
    DrawGoldWire(img, PolylineSegments(CirclePath(c, R * 1.1f), true), R * 0.015f);
    for (int i = 0; i < 12; ++i) {
        float a = 2 * kPi * i / 12;
        DrawGoldBead(img, Vec2{c.x + std::cos(a) * R * 1.1f, c.y + std::sin(a) * R * 1.1f}, R * 0.028f);
    }

    // The studio's name, letter-spaced, in warm white.
    const std::string name = "dawnwhistle game studio";
    // As large as fits comfortably: the height sets it on wide screens, the width on
    // squarer ones.
    const float size = std::min(h * 0.07f, w * 0.6f / MeasureText(name, GlyphStyle::Rounded, 1.0f, 0.16f));
    const float tw = MeasureText(name, GlyphStyle::Rounded, size, 0.16f);
    const Vec2 at{w / 2 - tw / 2, c.y + R * 1.1f + h * 0.14f};
    DrawText(img, name, GlyphStyle::Rounded, size, Vec2{at.x + h * 0.002f, at.y + h * 0.003f}, size * 0.06f,
             Colour{0, 0, 0, 0.5f}, 0.16f);
    DrawText(img, name, GlyphStyle::Rounded, size, at, size * 0.055f, Rgb(250, 236, 212), 0.16f);
    return img;
}
