// art_glyphs.cpp: stroke definitions of the letters, digits and signs the artwork writes.
#include "art_glyphs.h"

#include <cmath>
#include <numbers>

namespace {

// Glyph space: baseline at y = 0, capital height 1, x-height 0.6, y grows upwards.
struct Glyph {
    float advance = 0.6f;
    std::vector<Path> strokes;
};

Path L(std::initializer_list<float> xy) {
    Path p;
    for (auto it = xy.begin(); it != xy.end(); it += 2) p.push_back(Vec2{*it, *(it + 1)});
    return p;
}

// Arc in glyph space; angles in degrees, counter-clockwise with y up.
Path A(float cx, float cy, float rx, float ry, float fromDeg, float toDeg) {
    Path p;
    int steps = std::max(6, static_cast<int>(std::fabs(toDeg - fromDeg) / 10));
    for (int i = 0; i <= steps; ++i) {
        float a = (fromDeg + (toDeg - fromDeg) * i / steps) * std::numbers::pi_v<float> / 180;
        p.push_back(Vec2{cx + std::cos(a) * rx, cy + std::sin(a) * ry});
    }
    return p;
}

Path Dot(float x, float y) { return L({x, y, x, y + 0.001f}); }

Glyph RoundedGlyph(char c) {
    switch (c) {
        case 'a': return {0.62f, {A(0.3f, 0.3f, 0.3f, 0.3f, 0, 360), L({0.6f, 0.6f, 0.6f, 0})}};
        case 'b': return {0.62f, {L({0, 1, 0, 0}), A(0.3f, 0.3f, 0.3f, 0.3f, 0, 360)}};
        case 'c': return {0.58f, {A(0.3f, 0.3f, 0.3f, 0.3f, 45, 315)}};
        case 'd': return {0.62f, {A(0.3f, 0.3f, 0.3f, 0.3f, 0, 360), L({0.6f, 1, 0.6f, 0})}};
        case 'e': return {0.62f, {L({0.02f, 0.3f, 0.6f, 0.3f}), A(0.3f, 0.3f, 0.3f, 0.3f, 0, 315)}};
        case 'f': return {0.42f, {L({0.14f, 0, 0.14f, 0.78f}), A(0.34f, 0.78f, 0.2f, 0.2f, 180, 40),
                                  L({0, 0.6f, 0.38f, 0.6f})}};
        case 'g': return {0.62f, {A(0.3f, 0.3f, 0.3f, 0.3f, 0, 360), L({0.6f, 0.6f, 0.6f, -0.1f}),
                                  A(0.3f, -0.1f, 0.3f, 0.25f, 0, -165)}};
        case 'h': return {0.6f, {L({0, 1, 0, 0}), A(0.3f, 0.3f, 0.3f, 0.3f, 180, 0),
                                 L({0.6f, 0.3f, 0.6f, 0})}};
        case 'i': return {0.12f, {L({0, 0, 0, 0.6f}), Dot(0, 0.84f)}};
        case 'j': return {0.3f, {L({0.2f, 0.6f, 0.2f, -0.15f}), A(0.0f, -0.15f, 0.2f, 0.2f, 0, -120),
                                 Dot(0.2f, 0.84f)}};
        case 'k': return {0.52f, {L({0, 1, 0, 0}), L({0.48f, 0.6f, 0, 0.24f}), L({0.14f, 0.34f, 0.5f, 0})}};
        case 'l': return {0.12f, {L({0, 1, 0, 0})}};
        case 'm': return {0.8f, {L({0, 0.6f, 0, 0}), A(0.2f, 0.4f, 0.2f, 0.2f, 180, 0), L({0.4f, 0.4f, 0.4f, 0}),
                                 A(0.6f, 0.4f, 0.2f, 0.2f, 180, 0), L({0.8f, 0.4f, 0.8f, 0})}};
        case 'n': return {0.6f, {L({0, 0.6f, 0, 0}), A(0.3f, 0.3f, 0.3f, 0.3f, 180, 0),
                                 L({0.6f, 0.3f, 0.6f, 0})}};
        case 'o': return {0.62f, {A(0.3f, 0.3f, 0.3f, 0.3f, 0, 360)}};
        case 'p': return {0.62f, {L({0, 0.6f, 0, -0.36f}), A(0.3f, 0.3f, 0.3f, 0.3f, 0, 360)}};
        case 'q': return {0.62f, {A(0.3f, 0.3f, 0.3f, 0.3f, 0, 360), L({0.6f, 0.6f, 0.6f, -0.36f})}};
        case 'r': return {0.42f, {L({0, 0.6f, 0, 0}), A(0.3f, 0.3f, 0.3f, 0.3f, 180, 70)}};
        case 's': return {0.5f, {A(0.25f, 0.45f, 0.23f, 0.15f, 10, 270), A(0.25f, 0.15f, 0.23f, 0.15f, 90, -170)}};
        case 't': return {0.4f, {L({0.14f, 0.95f, 0.14f, 0.12f}), A(0.3f, 0.12f, 0.16f, 0.12f, 180, 300),
                                 L({0, 0.6f, 0.38f, 0.6f})}};
        case 'u': return {0.6f, {L({0, 0.6f, 0, 0.3f}), A(0.3f, 0.3f, 0.3f, 0.3f, 180, 360),
                                 L({0.6f, 0.6f, 0.6f, 0})}};
        case 'v': return {0.6f, {L({0, 0.6f, 0.3f, 0, 0.6f, 0.6f})}};
        case 'w': return {0.84f, {L({0, 0.6f, 0.21f, 0, 0.42f, 0.48f, 0.63f, 0, 0.84f, 0.6f})}};
        case 'x': return {0.56f, {L({0, 0, 0.56f, 0.6f}), L({0, 0.6f, 0.56f, 0})}};
        case 'y': return {0.6f, {L({0, 0.6f, 0.3f, 0.04f}), L({0.6f, 0.6f, 0.14f, -0.36f})}};
        case 'z': return {0.54f, {L({0, 0.6f, 0.54f, 0.6f, 0, 0, 0.54f, 0})}};
        case '0': return {0.6f, {A(0.3f, 0.5f, 0.3f, 0.5f, 0, 360)}};
        case '1': return {0.4f, {L({0.05f, 0.8f, 0.3f, 1, 0.3f, 0})}};
        case '2': return {0.6f, {A(0.3f, 0.7f, 0.29f, 0.3f, 160, -35), L({0.54f, 0.53f, 0, 0, 0.6f, 0})}};
        case '3': return {0.6f, {A(0.3f, 0.76f, 0.26f, 0.24f, 160, -90), A(0.3f, 0.27f, 0.3f, 0.27f, 90, -160)}};
        case '4': return {0.66f, {L({0.46f, 0, 0.46f, 1, 0, 0.3f, 0.66f, 0.3f})}};
        case '5': return {0.6f, {L({0.56f, 1, 0.06f, 1, 0.03f, 0.56f}), A(0.3f, 0.31f, 0.3f, 0.31f, 128, -160)}};
        case '6': return {0.6f, {A(0.3f, 0.3f, 0.3f, 0.3f, 0, 360), L({0.04f, 0.42f, 0.42f, 1})}};
        case '7': return {0.6f, {L({0, 1, 0.6f, 1, 0.16f, 0})}};
        case '8': return {0.6f, {A(0.3f, 0.77f, 0.23f, 0.23f, 0, 360), A(0.3f, 0.27f, 0.29f, 0.27f, 0, 360)}};
        case '9': return {0.6f, {A(0.3f, 0.7f, 0.3f, 0.3f, 0, 360), L({0.56f, 0.58f, 0.18f, 0})}};
        case '.': return {0.12f, {Dot(0, 0.02f)}};
        case '_': return {0.6f, {L({0, -0.12f, 0.6f, -0.12f})}};
        case '-': return {0.4f, {L({0, 0.36f, 0.4f, 0.36f})}};
        default: return {0.36f, {}};  // blank and anything unknown
    }
}

Glyph FacetedGlyph(char c) {
    switch (c) {
        case 'P': return {0.62f, {L({0, 0, 0, 1, 0.45f, 1, 0.62f, 0.84f, 0.62f, 0.66f, 0.45f, 0.5f, 0, 0.5f})}};
        case 'R': return {0.64f, {L({0, 0, 0, 1, 0.45f, 1, 0.62f, 0.84f, 0.62f, 0.66f, 0.45f, 0.5f, 0, 0.5f}),
                                  L({0.36f, 0.5f, 0.64f, 0})}};
        case 'I': return {0.0f, {L({0, 0, 0, 1})}};
        case 'S': return {0.62f, {L({0.62f, 0.86f, 0.48f, 1, 0.14f, 1, 0, 0.86f, 0, 0.64f, 0.14f, 0.5f, 0.48f, 0.5f,
                                     0.62f, 0.36f, 0.62f, 0.14f, 0.48f, 0, 0.14f, 0, 0, 0.14f})}};
        case 'M': return {0.86f, {L({0, 0, 0, 1, 0.43f, 0.42f, 0.86f, 1, 0.86f, 0})}};
        case 'O': return {0.74f, {L({0.22f, 0, 0.52f, 0, 0.74f, 0.22f, 0.74f, 0.78f, 0.52f, 1, 0.22f, 1, 0, 0.78f,
                                     0, 0.22f, 0.22f, 0})}};
        case 'A': return {0.76f, {L({0, 0, 0.38f, 1, 0.76f, 0}), L({0.15f, 0.38f, 0.61f, 0.38f})}};
        default: return RoundedGlyph(static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c));
    }
}

Glyph GlyphFor(char c, GlyphStyle style) {
    if (style == GlyphStyle::Faceted) return FacetedGlyph(c);
    return RoundedGlyph(static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c));
}

}  // namespace

TextLayout LayoutText(const std::string& text, GlyphStyle style, float size, Vec2 origin,
                      float tracking) {
    TextLayout out;
    float x = origin.x;
    for (size_t i = 0; i < text.size(); ++i) {
        Glyph g = GlyphFor(text[i], style);
        for (const Path& stroke : g.strokes) {
            Path placed;
            for (Vec2 v : stroke) placed.push_back(Vec2{x + v.x * size, origin.y - v.y * size});
            std::vector<Segment> segs = PolylineSegments(placed, false);
            out.segments.insert(out.segments.end(), segs.begin(), segs.end());
        }
        x += g.advance * size;
        if (i + 1 < text.size()) x += tracking * size;
    }
    out.width = x - origin.x;
    return out;
}

float MeasureText(const std::string& text, GlyphStyle style, float size, float tracking) {
    return LayoutText(text, style, size, Vec2{0, 0}, tracking).width;
}

void DrawText(Image& img, const std::string& text, GlyphStyle style, float size, Vec2 origin,
              float halfWidth, Colour colour, float tracking) {
    TextLayout layout = LayoutText(text, style, size, origin, tracking);
    PaintMaskSolid(img, StrokeMask(layout.segments, halfWidth, img.width, img.height), colour);
}
