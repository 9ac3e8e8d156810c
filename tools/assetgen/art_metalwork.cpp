// art_metalwork.cpp: gold metalwork: wire, beads, bezels and filigree, the play screen's rails, corners,
// status bar caps and menu button, the shadow layer, and the pointer arrow.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "art_metalwork.h"
#include "art_style.h"

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

// Light on a round profile: `t` is the distance from the ridge as a share of the
// half width, `dir` the way the surface falls away.
float RoundProfileLight(Vec2 dir, float t) {
    t = std::min(t, 0.97f);
    float slope = t / std::sqrt(1 - t * t);
    float d = SurfaceLight(dir, std::min(slope, 4.0f));
    return 0.18f + 0.8f * d + 0.55f * std::pow(d, 14.0f);
}

}  // namespace

float MouldingLight(Vec2 inward, float u) {
    float a = std::min(std::fabs(u), 0.97f);
    float slope = a / std::sqrt(1 - a * a);
    Vec2 dir = u >= 0 ? inward : Vec2{-inward.x, -inward.y};
    float d = SurfaceLight(dir, std::min(slope, 4.0f));
    return 0.2f + 0.78f * d + 0.5f * std::pow(d, 14.0f);
}

Colour GoldShade(float light) {
    static const float stops[5] = {0.0f, 0.35f, 0.65f, 0.9f, 1.25f};
    static const Colour cols[5] = {Rgb(46, 28, 10), Rgb(124, 82, 30), Rgb(196, 146, 58),
                                   Rgb(242, 206, 118), Rgb(255, 248, 222)};
    if (light <= stops[0]) return cols[0];
    for (int i = 0; i < 4; ++i)
        if (light <= stops[i + 1])
            return MixColour(cols[i], cols[i + 1], (light - stops[i]) / (stops[i + 1] - stops[i]));
    return cols[4];
}

float SurfaceLight(Vec2 dir, float slope) {
    float nx = dir.x * slope, ny = dir.y * slope, nz = 1;
    float nl = std::sqrt(nx * nx + ny * ny + nz * nz);
    const float lx = -0.45f, ly = -0.65f, lz = 0.75f;
    const float ll = std::sqrt(lx * lx + ly * ly + lz * lz);
    return std::max(0.0f, (nx * lx + ny * ly + nz * lz) / (nl * ll));
}

void DrawGoldWire(Image& img, const std::vector<Segment>& segments, float halfWidth, float opacity) {
    SegmentField f = MakeSegmentField(segments, halfWidth + 1.5f, img.width, img.height);
    for (int ly = 0; ly < f.height; ++ly) {
        for (int lx = 0; lx < f.width; ++lx) {
            size_t i = static_cast<size_t>(ly) * f.width + lx;
            float cover = Clamp01(halfWidth + 0.5f - f.dist[i]);
            if (cover <= 0) continue;
            // Shading in steps of 1/32: invisible on a thin wire, and it keeps the
            // pictures' files small.
            float light = std::round(RoundProfileLight(f.dir[i], f.dist[i] / halfWidth) * 32) / 32;
            Colour c = GoldShade(light);
            c.a = opacity;
            BlendPixel(img, f.x0 + lx, f.y0 + ly, c, cover);
        }
    }
}

void DrawGoldBead(Image& img, Vec2 centre, float radius) {
    int x0 = static_cast<int>(centre.x - radius) - 1, x1 = static_cast<int>(centre.x + radius) + 1;
    int y0 = static_cast<int>(centre.y - radius) - 1, y1 = static_cast<int>(centre.y + radius) + 1;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            float dx = x + 0.5f - centre.x, dy = y + 0.5f - centre.y;
            float d = std::hypot(dx, dy);
            float cover = Clamp01(radius + 0.5f - d);
            if (cover <= 0) continue;
            Vec2 dir = d > 1e-4f ? Vec2{dx / d, dy / d} : Vec2{0, -1};
            BlendPixel(img, x, y, GoldShade(RoundProfileLight(dir, d / radius)), cover);
        }
}

void DrawSetGem(Image& img, int colour, Vec2 centre, float radius, float glow) {
    // Dark cup, the gem, then the rim of the bezel and four prongs.
    PaintMaskSolid(img, FillPath(CirclePath(centre, radius * 1.02f), img.width, img.height),
                   Rgb(24, 16, 10));
    DrawGem(img, colour, centre, radius * 0.8f, glow);
    DrawGoldWire(img, PolylineSegments(CirclePath(centre, radius * 0.92f), true), radius * 0.1f);
    for (int k = 0; k < 4; ++k) {
        float a = kPi / 4 + k * kPi / 2;
        DrawGoldBead(img, Vec2{centre.x + std::cos(a) * radius * 0.8f, centre.y + std::sin(a) * radius * 0.8f},
                     radius * 0.11f);
    }
}

void DrawSoftShadow(Image& img, const Path& outline, Vec2 offset, float blur, float opacity) {
    Path moved = TranslatePath(outline, offset);
    Mask inside = FillPath(moved, img.width, img.height);
    SegmentField f = MakeSegmentField(PolylineSegments(moved, true), blur + 1, img.width, img.height);
    for (int ly = 0; ly < f.height; ++ly) {
        for (int lx = 0; lx < f.width; ++lx) {
            int x = f.x0 + lx, y = f.y0 + ly;
            float d = f.dist[static_cast<size_t>(ly) * f.width + lx];
            float in = inside.At(x, y);
            float sd = in > 0.5f ? -d : d;
            float a = opacity * (1 - SmoothStep(-blur * 0.6f, blur, sd));
            BlendPixel(img, x, y, Colour{0, 0, 0, 1}, a);
        }
    }
}

void DrawFiligreeBand(Image& img, float x0, float y0, float x1, float y1, float wire, unsigned seed) {
    const bool horizontal = (x1 - x0) >= (y1 - y0);
    const float length = horizontal ? x1 - x0 : y1 - y0;
    const float thick = horizontal ? y1 - y0 : x1 - x0;
    const float hb = thick / 2;
    int halfWaves = std::max(2, static_cast<int>(std::lround(length / (thick * 1.9f))));
    const float halfPeriod = length / halfWaves;
    const float amp = hb * 0.28f;
    const float r0 = hb * 0.55f;
    auto toImage = [&](float u, float v) {
        return horizontal ? Vec2{x0 + u, y0 + hb + v} : Vec2{x0 + hb + v, y0 + u};
    };
    std::vector<Segment> segs;
    std::vector<Vec2> beads;
    // The vine: a sine running the length of the band.
    Path vine;
    int steps = static_cast<int>(length / 2) + 2;
    for (int i = 0; i <= steps; ++i) {
        float u = length * i / steps;
        vine.push_back(toImage(u, amp * std::sin(kPi * u / halfPeriod)));
    }
    segs = PolylineSegments(vine, false);
    // A curl at every crest, turning into the free side of the wave.
    for (int k = 0; k < halfWaves; ++k) {
        float uk = (k + 0.5f) * halfPeriod;
        float s = (k % 2 == 0) ? 1.0f : -1.0f;
        float cu = uk, cv = s * amp - s * r0;
        float turn = ((k / 2 + seed) % 2 == 0) ? 1.0f : -1.0f;
        Path spiral;
        const float sweep = 1.8f * kPi;
        for (int i = 0; i <= 48; ++i) {
            float phi = sweep * i / 48;
            float r = r0 * (1 - 0.72f * phi / sweep);
            float a = s * kPi / 2 + turn * phi;
            spiral.push_back(toImage(cu + std::cos(a) * r, cv + std::sin(a) * r));
        }
        std::vector<Segment> sp = PolylineSegments(spiral, false);
        segs.insert(segs.end(), sp.begin(), sp.end());
        beads.push_back(spiral.back());
        // A small bead where the next half-wave crosses the middle line.
        if (k + 1 < halfWaves) beads.push_back(toImage((k + 1) * halfPeriod, 0));
    }
    DrawGoldWire(img, segs, wire);
    for (Vec2 b : beads) DrawGoldBead(img, b, wire * 1.7f);
}

namespace {

// Light on a rounded moulding at position u (-1 outer edge .. 1 inner edge) whose
// surface falls away along `inward` for u > 0 and against it for u < 0.
float Band(float t, float a, float b) { return 2 * (t - a) / (b - a) - 1; }

}  // namespace

Colour RailColour(float t, Vec2 inward) {
    // Across the rail from its outer edge (t = 0) to the edge at the board (t = 1).
    // The outer part is left clear (only a soft cast shadow) so the rail reads slim
    // and overlapping pieces of the layout do not crowd each other.
    if (t < 0.3f) return Colour{0, 0, 0, 0.4f * SmoothStep(0.0f, 0.3f, t) * SmoothStep(0.0f, 0.3f, t)};
    if (t < 0.45f) return GoldShade(MouldingLight(inward, Band(t, 0.3f, 0.45f)));
    if (t < 0.48f) return Rgb(34, 20, 8);
    if (t < 0.74f) {
        // Enamel inlay with a fine gold thread along its middle.
        float u = Band(t, 0.48f, 0.74f);
        if (std::fabs(u) < 0.16f) return GoldShade(MouldingLight(inward, u / 0.16f) * 0.9f);
        Colour enamel = Rgb(40, 26, 66);
        float shade = 0.7f + 0.3f * (1 - std::fabs(u)) - 0.25f * SmoothStep(0.6f, 1.0f, -u);
        return ScaleColour(enamel, shade);
    }
    if (t < 0.77f) return Rgb(34, 20, 8);
    if (t < 0.94f) return GoldShade(MouldingLight(inward, Band(t, 0.77f, 0.94f)) * 1.05f);
    return Rgb(22, 12, 6);
}

Image RailImage(RailSide side, int length, int thickness) {
    const bool horizontal = side == RailSide::AboveBoard || side == RailSide::BelowBoard;
    const int w = horizontal ? length : thickness, h = horizontal ? thickness : length;
    Vec2 inward;
    switch (side) {
        case RailSide::AboveBoard: inward = Vec2{0, 1}; break;
        case RailSide::BelowBoard: inward = Vec2{0, -1}; break;
        case RailSide::LeftOfBoard: inward = Vec2{1, 0}; break;
        case RailSide::RightOfBoard: inward = Vec2{-1, 0}; break;
    }
    Image img = MakeImage(w, h);
    // Four samples across the rail per pixel keep the moulding edges smooth.
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float acc[4] = {0, 0, 0, 0};
            for (int s = 0; s < 4; ++s) {
                float pos = (horizontal ? y : x) + (s + 0.5f) / 4;
                float t = pos / thickness;
                if (inward.x < 0 || inward.y < 0) t = 1 - t;
                Colour c = RailColour(t, inward);
                acc[0] += c.r * c.a;
                acc[1] += c.g * c.a;
                acc[2] += c.b * c.a;
                acc[3] += c.a;
            }
            float* p = &img.px[(static_cast<size_t>(y) * w + x) * 4];
            for (int c = 0; c < 4; ++c) p[c] = acc[c] / 4;
        }
    return img;
}

Image CornerOrnament(bool right, bool bottom, int size) {
    const float s = static_cast<float>(size), q = s / 2;
    Image img = MakeImage(size, size);
    // Map from the ornament's own frame (outer corner at the origin) to the picture.
    auto map = [&](Vec2 p) { return Vec2{right ? s - p.x : p.x, bottom ? s - p.y : p.y}; };
    const Vec2 inwardX{right ? -1.0f : 1.0f, 0}, inwardY{0, bottom ? -1.0f : 1.0f};

    // Mitred continuation of the two rails through the outer quadrant.
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float lx = right ? s - (x + 0.5f) : x + 0.5f, ly = bottom ? s - (y + 0.5f) : y + 0.5f;
            if (lx >= q || ly >= q) continue;
            bool useHorizontalRail = ly < lx;  // above the mitre: the rail along the top or bottom
            float t = (useHorizontalRail ? ly : lx) / q;
            Colour c = RailColour(t, useHorizontalRail ? inwardY : inwardX);
            BlendPixel(img, x, y, c, 1);
        }

    // Scrolls running from the boss along each rail.
    const float wire = s * 0.012f;
    for (int axis = 0; axis < 2; ++axis) {
        Path spiral;
        for (int i = 0; i <= 60; ++i) {
            float phi = 2.1f * kPi * i / 60;
            float r = s * 0.1f * (1 - 0.7f * phi / (2.1f * kPi));
            float a = -kPi / 2 + phi;
            Vec2 c{s * 0.62f + std::cos(a) * r, s * 0.2f + s * 0.1f + std::sin(a) * r};
            spiral.push_back(axis == 0 ? c : Vec2{c.y, c.x});
        }
        Path stem;
        for (int i = 0; i <= 20; ++i) {
            float u = s * 0.34f + (s * 0.28f) * i / 20;
            Vec2 c{u, s * 0.2f + std::sin((u - s * 0.34f) / (s * 0.28f) * kPi) * s * -0.02f};
            stem.push_back(axis == 0 ? c : Vec2{c.y, c.x});
        }
        Path spiralImg, stemImg;
        for (Vec2 v : spiral) spiralImg.push_back(map(v));
        for (Vec2 v : stem) stemImg.push_back(map(v));
        std::vector<Segment> segs = PolylineSegments(spiralImg, false);
        std::vector<Segment> st = PolylineSegments(stemImg, false);
        segs.insert(segs.end(), st.begin(), st.end());
        DrawGoldWire(img, segs, wire);
        DrawGoldBead(img, spiralImg.back(), wire * 1.8f);
        Vec2 tip = axis == 0 ? Vec2{s * 0.9f, s * 0.2f} : Vec2{s * 0.2f, s * 0.9f};
        DrawGoldBead(img, map(tip), wire * 2.2f);
    }

    // The boss: a gold rosette with a large set gem where the rails meet.
    Vec2 centre = map(Vec2{s * 0.27f, s * 0.27f});
    Path rosette;
    for (int i = 0; i < 64; ++i) {
        float a = 2 * kPi * i / 64;
        float r = s * 0.215f * (1 + 0.06f * std::cos(8 * a));
        rosette.push_back(Vec2{centre.x + std::cos(a) * r, centre.y + std::sin(a) * r});
    }
    DrawSoftShadow(img, rosette, Vec2{s * 0.015f, s * 0.025f}, s * 0.03f, 0.6f);
    Mask plate = FillPath(rosette, size, size);
    PaintMask(img, plate, [&](int x, int y) {
        float dx = x + 0.5f - centre.x, dy = y + 0.5f - centre.y;
        float d = std::hypot(dx, dy) / (s * 0.215f);
        Vec2 dir = d > 1e-4f ? Vec2{dx / (d * s * 0.215f), dy / (d * s * 0.215f)} : Vec2{0, -1};
        float light = 0.3f + 0.75f * SurfaceLight(dir, 0.9f * d);
        return GoldShade(light);
    });
    DrawGoldWire(img, PolylineSegments(rosette, true), s * 0.008f);
    DrawSetGem(img, 7, centre, s * 0.15f);
    return img;
}

Image StatusCap(bool right, int width, int height) {
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    Image img = MakeImage(width, height);
    // A gold pillar just outside the cell border, with finials and a small gem. The outer
    // quarter stays clear: the tray's side rails may pass there.
    const float px0 = w * 0.27f, px1 = w * 0.53f;
    auto mx = [&](float x) { return right ? w - x : x; };
    float a0 = std::min(mx(px0), mx(px1)), a1 = std::max(mx(px0), mx(px1));
    Path pillar = RoundedRectPath(a0, h * 0.08f, a1, h * 0.92f, (px1 - px0) / 2);
    DrawSoftShadow(img, pillar, Vec2{w * 0.03f, w * 0.04f}, w * 0.06f, 0.55f);
    Mask m = FillPath(pillar, width, height);
    const float cx = (a0 + a1) / 2, half = (a1 - a0) / 2;
    PaintMask(img, m, [&](int x, int) {
        float u = (x + 0.5f - cx) / half;
        float a = std::min(std::fabs(u), 0.97f);
        Vec2 dir{u >= 0 ? 1.0f : -1.0f, 0};
        float light = 0.22f + 0.8f * SurfaceLight(dir, a / std::sqrt(1 - a * a));
        return GoldShade(light);
    });
    // Engraved rings dividing the pillar into the three bands of the status bar.
    for (float fy : {h / 3, h * 2 / 3}) {
        std::vector<Segment> ring{Segment{Vec2{a0 + 1, fy}, Vec2{a1 - 1, fy}}};
        PaintMaskSolid(img, StrokeMask(ring, w * 0.012f, width, height), Rgb(50, 30, 10, 0.9f));
    }
    DrawGoldBead(img, Vec2{cx, h * 0.08f + half * 0.2f}, half * 1.15f);
    DrawGoldBead(img, Vec2{cx, h * 0.92f - half * 0.2f}, half * 1.15f);
    DrawSetGem(img, 6, Vec2{cx, h / 2}, half * 1.2f);
    return img;
}

Image MenuButtonImage(int size, bool hovered) {
    const float s = static_cast<float>(size);
    Image img = MakeImage(size, size, PanelColour());
    Vec2 c{s / 2, s / 2};
    if (hovered) {
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                float d = std::hypot(x + 0.5f - c.x, y + 0.5f - c.y) / (s / 2);
                if (d < 1) BlendPixel(img, x, y, Rgb(120, 190, 255), 0.55f * (1 - d));
            }
    }
    // A domed sapphire cabochon in a gold ring, with the menu glyph on it.
    const float r = s * 0.4f;
    Colour deep = hovered ? Rgb(60, 130, 245) : Rgb(28, 62, 160);
    PaintMask(img, FillPath(CirclePath(c, r), size, size), [&](int x, int y) {
        float dx = (x + 0.5f - c.x) / r, dy = (y + 0.5f - c.y) / r;
        float d = std::min(1.0f, std::hypot(dx, dy));
        Vec2 dir = d > 1e-4f ? Vec2{dx / d, dy / d} : Vec2{0, -1};
        float light = SurfaceLight(dir, d * 1.4f);
        Colour col = ScaleColour(deep, 0.45f + 0.9f * light);
        float specular = std::pow(std::max(0.0f, 1 - std::hypot(dx + 0.35f, dy + 0.45f) / 0.35f), 2.0f);
        return MixColour(col, Colour{1, 1, 1, 1}, 0.8f * specular);
    });
    DrawGoldWire(img, PolylineSegments(CirclePath(c, r), true), s * 0.055f);
    Colour glyph = hovered ? Colour{1, 1, 1, 1} : Rgb(250, 226, 160);
    std::vector<Segment> bars;
    for (int i = -1; i <= 1; ++i)
        bars.push_back(Segment{Vec2{c.x - r * 0.42f, c.y + i * r * 0.32f}, Vec2{c.x + r * 0.42f, c.y + i * r * 0.32f}});
    std::vector<Segment> shadowBars;
    for (Segment b : bars)
        shadowBars.push_back(Segment{Vec2{b.a.x + s * 0.01f, b.a.y + s * 0.015f}, Vec2{b.b.x + s * 0.01f, b.b.y + s * 0.015f}});
    PaintMaskSolid(img, StrokeMask(shadowBars, s * 0.045f, size, size), Colour{0, 0, 0, 0.45f});
    PaintMaskSolid(img, StrokeMask(bars, s * 0.04f, size, size), glyph);
    for (size_t i = 3; i < img.px.size(); i += 4) img.px[i] = 1.0f;  // drawn opaque by the game
    return img;
}

Image ShadowImage(int size) {
    Image img = MakeImage(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float dx = (x + 0.5f) / size - 0.5f, dy = (y + 0.5f) / size - 0.5f;
            float a = 0.56f + 0.22f * (dx * dx + dy * dy) * 2;  // slightly darker towards the edges
            SetPixel(img, x, y, Colour{0.01f, 0.0f, 0.03f, a});
        }
    return img;
}

Image PointerImage(int size) {
    const float k = size / 48.0f;
    Image img = MakeImage(size, size);
    // The classic arrow outline, tip exactly at the picture's corner.
    Path arrow{{0, 0}, {0, 37}, {9.5f, 28.5f}, {16, 43}, {22.5f, 40}, {16.2f, 26}, {29, 26}};
    for (Vec2& v : arrow) v = Vec2{v.x * k, v.y * k};
    Path body = arrow;
    DrawSoftShadow(img, body, Vec2{1.6f * k, 2.4f * k}, 2.2f * k, 0.45f);
    // Gold body lit from the upper left, then a dark outline over its edge.
    PaintMask(img, FillPath(body, size, size), [&](int x, int y) {
        float t = (x + y) / (1.6f * size);
        return GoldShade(1.15f - 0.8f * t);
    });
    PaintMaskSolid(img, StrokeMask(PolylineSegments(arrow, true), 1.25f * k, size, size), Rgb(30, 14, 40));
    DrawGem(img, 1, Vec2{7.2f * k, 15.5f * k}, 5.2f * k, 1.15f);
    // Keep the tip pixel solid so the hot spot is visibly where it points.
    SetPixel(img, 0, 0, Rgb(30, 14, 40));
    return img;
}
