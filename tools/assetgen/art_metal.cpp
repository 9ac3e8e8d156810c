// art_metal.cpp: gold metalwork shared by panels, frames and ornaments: wire, beads, bezels, filigree.
#include <algorithm>
#include <cmath>
#include <numbers>

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
