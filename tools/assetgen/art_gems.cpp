// art_gems.cpp: the board's pictures: eleven cut gems, the velvet well, the clear effect, pieces and tray pictures.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "art_style.h"

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

enum class Cut { Step, Brilliant };

struct Facet {
    Path poly;
    Vec2 dir;     // outward tilt direction (unit), picture coordinates
    float slope;  // 0 for the table
    bool table;
};

Path Rotate(const Path& p, float angle) {
    Path out;
    float c = std::cos(angle), s = std::sin(angle);
    for (Vec2 v : p) out.push_back(Vec2{v.x * c - v.y * s, v.x * s + v.y * c});
    return out;
}

Path CutCorners(float halfW, float halfH, float cut) {
    return Path{{-halfW + cut, -halfH}, {halfW - cut, -halfH}, {halfW, -halfH + cut},
                {halfW, halfH - cut},   {halfW - cut, halfH},  {-halfW + cut, halfH},
                {-halfW, halfH - cut},  {-halfW, -halfH + cut}};
}

// Outline of each gem in unit space (about -1..1, y down), with its cut.
Path UnitOutline(int colour, Cut& cut) {
    cut = Cut::Brilliant;
    Path p;
    switch (colour) {
        case 1:  // ruby: square step cut
            cut = Cut::Step;
            return CutCorners(0.86f, 0.86f, 0.26f);
        case 2:  // amber: round brilliant
            return RegularPolygon(Vec2{0, 0}, 0.93f, 16, -kPi / 2);
        case 3:  // citrine: cushion
            for (int i = 0; i < 16; ++i) {
                float a = 2 * kPi * i / 16 + kPi / 16;
                float c = std::cos(a), s = std::sin(a);
                p.push_back(Vec2{std::copysign(std::pow(std::fabs(c), 0.5f), c) * 0.88f,
                                 std::copysign(std::pow(std::fabs(s), 0.5f), s) * 0.88f});
            }
            return p;
        case 4:  // emerald: emerald cut, tall
            cut = Cut::Step;
            return CutCorners(0.66f, 0.94f, 0.24f);
        case 5:  // jade: oval
            return EllipsePath(Vec2{0, 0}, 0.68f, 0.95f, 0, 16);
        case 6: {  // sapphire: trillion with softly curved sides
            Path corners = RegularPolygon(Vec2{0, 0.14f}, 1.04f, 3, -kPi / 2);
            for (int i = 0; i < 3; ++i) {
                Vec2 a = corners[i], b = corners[(i + 1) % 3];
                for (int k = 0; k < 4; ++k) {
                    float t = k / 4.0f;
                    float bulge = std::sin(t * kPi) * 0.1f;
                    Vec2 m{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
                    float len = std::hypot(m.x, m.y - 0.14f);
                    p.push_back(Vec2{m.x + m.x / len * bulge, m.y + (m.y - 0.14f) / len * bulge});
                }
            }
            return p;
        }
        case 7:  // amethyst: hexagon step cut
            cut = Cut::Step;
            return RegularPolygon(Vec2{0, 0}, 0.95f, 6, 0);
        case 8:  // rose: heart
            for (int i = 0; i < 24; ++i) {
                float t = 2 * kPi * i / 24;
                float x = 16 * std::pow(std::sin(t), 3.0f);
                float y = -(13 * std::cos(t) - 5 * std::cos(2 * t) - 2 * std::cos(3 * t) - std::cos(4 * t));
                p.push_back(Vec2{x / 16.5f, y / 16.5f + 0.1f});
            }
            return p;
        case 9: {  // aquamarine: pear, point up
            Vec2 apex{0, -1.0f};
            Vec2 c{0, 0.3f};
            float r = 0.64f;
            p.push_back(apex);
            p.push_back(Vec2{0.3f, -0.5f});
            for (int i = 0; i <= 14; ++i) {
                float a = (-31.0f + 242.0f * i / 14) * kPi / 180;
                p.push_back(Vec2{c.x + std::cos(a) * r, c.y + std::sin(a) * r});
            }
            p.push_back(Vec2{-0.3f, -0.5f});
            return p;
        }
        case 10: {  // peridot: marquise, set diagonally
            for (int i = 0; i < 9; ++i) {
                float a = (-53.13f + 106.26f * i / 8) * kPi / 180;
                p.push_back(Vec2{-0.75f + std::cos(a) * 1.25f, std::sin(a) * 1.25f});
            }
            for (int i = 1; i < 8; ++i) {
                float a = (126.87f + 106.26f * i / 8) * kPi / 180;
                p.push_back(Vec2{0.75f + std::cos(a) * 1.25f, std::sin(a) * 1.25f});
            }
            return Rotate(ScalePath(p, Vec2{0, 0}, 1.12f), kPi / 4);
        }
        default:  // diamond: six-pointed star
            for (int i = 0; i < 12; ++i)
                p.push_back(Vec2{std::cos(-kPi / 2 + kPi * i / 6) * (i % 2 ? 0.56f : 1.0f),
                                 std::sin(-kPi / 2 + kPi * i / 6) * (i % 2 ? 0.56f : 1.0f)});
            return p;
    }
}

Vec2 Normalised(Vec2 v) {
    float l = std::hypot(v.x, v.y);
    return l > 1e-6f ? Vec2{v.x / l, v.y / l} : Vec2{0, -1};
}

Vec2 Lerp(Vec2 a, Vec2 b, float t) { return Vec2{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}; }

std::vector<Facet> BuildFacets(const Path& outline, Cut cut) {
    std::vector<Facet> facets;
    const size_t n = outline.size();
    Vec2 origin{0, 0};
    if (cut == Cut::Step) {
        const float scales[3] = {1.0f, 0.8f, 0.6f};
        const float slopes[2] = {0.95f, 0.5f};
        for (int ring = 0; ring < 2; ++ring) {
            Path outer = ScalePath(outline, origin, scales[ring]);
            Path inner = ScalePath(outline, origin, scales[ring + 1]);
            for (size_t i = 0; i < n; ++i) {
                size_t j = (i + 1) % n;
                Vec2 mid = Lerp(outer[i], outer[j], 0.5f);
                facets.push_back(Facet{{outer[i], outer[j], inner[j], inner[i]}, Normalised(mid),
                                       slopes[ring], false});
            }
        }
        facets.push_back(Facet{ScalePath(outline, origin, scales[2]), Vec2{0, 0}, 0, true});
        return facets;
    }
    Path mid, table = ScalePath(outline, origin, 0.5f);
    for (size_t i = 0; i < n; ++i) mid.push_back(ScalePath({Lerp(outline[i], outline[(i + 1) % n], 0.5f)}, origin, 0.74f)[0]);
    for (size_t i = 0; i < n; ++i) {
        size_t j = (i + 1) % n, h = (i + n - 1) % n;
        Path girdle{outline[i], outline[j], mid[i]};
        Path upper{mid[h], outline[i], mid[i]};
        Path star{mid[h], mid[i], table[i]};
        Path crown{table[i], table[j], mid[i]};
        facets.push_back(Facet{girdle, Normalised(PathCentroid(girdle)), 1.0f, false});
        facets.push_back(Facet{upper, Normalised(PathCentroid(upper)), 0.85f, false});
        facets.push_back(Facet{star, Normalised(PathCentroid(star)), 0.45f, false});
        facets.push_back(Facet{crown, Normalised(PathCentroid(crown)), 0.35f, false});
    }
    facets.push_back(Facet{table, Vec2{0, 0}, 0, true});
    return facets;
}

// Maps a light value to the gem's colour ramp: dark core, body colour, pale, white.
Colour GemRamp(Colour base, float v) {
    Colour dark = ScaleColour(base, 0.2f);
    Colour light = MixColour(base, Colour{1, 1, 1, 1}, 0.5f);
    if (v < 0.5f) return MixColour(dark, base, Clamp01(v / 0.5f));
    if (v < 1.0f) return MixColour(base, light, (v - 0.5f) / 0.5f);
    return MixColour(light, Colour{1, 1, 1, 1}, Clamp01((v - 1.0f) / 0.45f));
}

Colour HueTint(float hue) {
    float r = Clamp01(std::fabs(hue * 6 - 3) - 1);
    float g = Clamp01(2 - std::fabs(hue * 6 - 2));
    float b = Clamp01(2 - std::fabs(hue * 6 - 4));
    return Colour{r, g, b, 1};
}

// A four-pointed sparkle: two thin fading rays and a bright core.
void DrawSparkle(Image& img, Vec2 c, float length, float thickness, float strength) {
    int x0 = static_cast<int>(c.x - length) - 1, x1 = static_cast<int>(c.x + length) + 1;
    int y0 = static_cast<int>(c.y - length) - 1, y1 = static_cast<int>(c.y + length) + 1;
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            float dx = std::fabs(x + 0.5f - c.x), dy = std::fabs(y + 0.5f - c.y);
            float h = std::exp(-dy / thickness) * std::max(0.0f, 1 - dx / length);
            float v = std::exp(-dx / thickness) * std::max(0.0f, 1 - dy / length);
            float core = std::max(0.0f, 1 - std::hypot(dx, dy) / (thickness * 3));
            float a = Clamp01((h * h + v * v + core) * strength);
            BlendPixel(img, x, y, Colour{1, 1, 1, 1}, a);
        }
    }
}

}  // namespace

Colour PanelColour() { return Rgb(kPanelR, kPanelG, kPanelB); }

Colour GemBaseColour(int colour) {
    static const Colour table[12] = {
        Rgb(30, 24, 44),    Rgb(222, 24, 58),   Rgb(246, 132, 18),  Rgb(248, 212, 36),
        Rgb(22, 186, 84),   Rgb(18, 176, 168),  Rgb(36, 86, 232),   Rgb(150, 66, 228),
        Rgb(246, 92, 176),  Rgb(84, 212, 250),  Rgb(166, 226, 40),  Rgb(206, 216, 234)};
    return table[std::clamp(colour, 0, 11)];
}

void DrawGem(Image& img, int colour, Vec2 centre, float radius, float glow) {
    Cut cut;
    Path unit = UnitOutline(colour, cut);
    std::vector<Facet> facets = BuildFacets(unit, cut);
    auto place = [&](const Path& p) {
        Path out;
        for (Vec2 v : p) out.push_back(Vec2{centre.x + v.x * radius, centre.y + v.y * radius});
        return out;
    };
    Colour base = GemBaseColour(colour);
    const bool diamond = colour == 11;
    Path outline = place(unit);

    // Body first, so hairline gaps between facets read as dark facet edges.
    PaintMaskSolid(img, FillPath(outline, img.width, img.height), GemRamp(base, 0.22f * glow));

    const Vec2 back = Normalised(Vec2{0.6f, 0.75f});
    for (size_t f = 0; f < facets.size(); ++f) {
        const Facet& facet = facets[f];
        float jitter = (HashNoise(static_cast<int>(f), colour, 77u) - 0.5f) * 0.2f;
        float v;
        if (facet.table) {
            v = 0.62f;
        } else {
            float direct = SurfaceLight(facet.dir, facet.slope);
            float exit = std::max(0.0f, facet.dir.x * back.x + facet.dir.y * back.y) * facet.slope;
            v = 0.12f + 0.85f * direct + 0.45f * exit * exit + jitter;
        }
        Colour tint = diamond ? MixColour(Colour{1, 1, 1, 1}, HueTint(HashNoise(static_cast<int>(f), 3, 99u)), 0.2f)
                              : Colour{1, 1, 1, 1};
        Mask m = FillPath(place(facet.poly), img.width, img.height);
        bool isTable = facet.table;
        PaintMask(img, m, [&, v, tint, isTable](int x, int y) {
            float px = (x + 0.5f - centre.x) / radius, py = (y + 0.5f - centre.y) / radius;
            float shade = v - 0.14f * (px + py);
            if (isTable) {
                float band = std::fabs((px - py) * 0.7071f + 0.12f);
                shade += 0.35f * (1 - SmoothStep(0.05f, 0.16f, band)) - 0.1f * (px + py);
            }
            Colour c = GemRamp(base, shade * glow);
            return Colour{c.r * tint.r, c.g * tint.g, c.b * tint.b, 1};
        });
    }

    // Facet edges: fine pale lines; then a dark rim around the girdle.
    std::vector<Segment> edges;
    for (const Facet& facet : facets) {
        std::vector<Segment> s = PolylineSegments(place(facet.poly), true);
        edges.insert(edges.end(), s.begin(), s.end());
    }
    float hair = std::max(0.35f, radius * 0.012f);
    PaintMaskSolid(img, StrokeMask(edges, hair, img.width, img.height),
                   Colour{1, 1, 1, (cut == Cut::Step ? 0.22f : 0.14f) * std::min(glow, 1.6f)});
    PaintMaskSolid(img, StrokeMask(PolylineSegments(outline, true), std::max(0.6f, radius * 0.035f),
                                   img.width, img.height),
                   Colour{base.r * 0.12f, base.g * 0.12f, base.b * 0.14f, 0.85f});

    // Glint near the upper left, with a small sparkle.
    Vec2 glint{centre.x - radius * 0.34f, centre.y - radius * 0.4f};
    float gr = radius * 0.26f;
    Mask inside = FillPath(outline, img.width, img.height);
    for (int y = static_cast<int>(glint.y - gr); y <= static_cast<int>(glint.y + gr) + 1; ++y)
        for (int x = static_cast<int>(glint.x - gr); x <= static_cast<int>(glint.x + gr) + 1; ++x) {
            float d = std::hypot(x + 0.5f - glint.x, y + 0.5f - glint.y) / gr;
            if (d < 1) BlendPixel(img, x, y, Colour{1, 1, 1, 1}, 0.55f * (1 - d) * (1 - d) * inside.At(x, y));
        }
    DrawSparkle(img, glint, radius * 0.38f, std::max(0.5f, radius * 0.02f), 0.9f);
}

Image GemCellTile(int colour, int size) {
    const float s = static_cast<float>(size);
    Image img = MakeImage(size, size, Rgb(20, 16, 28));
    const int border = std::max(1, static_cast<int>(std::lround(s / 64)));
    const Colour velvet = GemBaseColour(0);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            float fx = x + 0.5f, fy = y + 0.5f;
            bool edge = x < border || y < border || x >= size - border || y >= size - border;
            if (edge) {
                // Thin bronze divider, lit on its upper and left sides.
                float lit = (x < border || y < border) ? 0.95f : 0.45f;
                SetPixel(img, x, y, GoldShade(lit * 0.75f));
                continue;
            }
            float inset = std::min(fx - border, fy - border) / s;  // from the upper-left wall
            float far = std::min(s - border - fx, s - border - fy) / s;
            float shade = 0.45f + 0.55f * SmoothStep(0.0f, 0.2f, inset);
            shade += 0.35f * (1 - SmoothStep(0.0f, 0.05f, far));  // lit lower-right lip
            float dc = std::hypot(fx / s - 0.5f, fy / s - 0.5f);
            shade *= 1.12f - 0.35f * dc;
            shade *= 0.96f + 0.08f * ValueNoise(fx, fy, s / 10, 5u);
            SetPixel(img, x, y, ScaleColour(velvet, shade));
        }
    }
    Vec2 centre{s / 2, s / 2};
    if (colour == 0) {
        // An engraved rhombus marks the free well without competing with gems.
        Path rhomb{{s / 2, s * 0.36f}, {s * 0.64f, s / 2}, {s / 2, s * 0.64f}, {s * 0.36f, s / 2}};
        PaintMaskSolid(img, StrokeMask(PolylineSegments(TranslatePath(rhomb, Vec2{s * 0.006f, s * 0.006f}), true),
                                       s * 0.006f, size, size),
                       Colour{1, 1, 1, 0.07f});
        PaintMaskSolid(img, StrokeMask(PolylineSegments(rhomb, true), s * 0.006f, size, size),
                       Colour{0, 0, 0, 0.35f});
        return img;
    }
    Cut cut;
    Path unit = UnitOutline(colour, cut);
    Path outline;
    for (Vec2 v : unit) outline.push_back(Vec2{centre.x + v.x * s * 0.4f, centre.y + v.y * s * 0.4f});
    DrawSoftShadow(img, outline, Vec2{s * 0.03f, s * 0.05f}, s * 0.05f, 0.7f);
    DrawGem(img, colour, centre, s * 0.4f);
    return img;
}

Image GemEffectTile(int colour, int size) {
    const float s = static_cast<float>(size);
    Image img = MakeImage(size, size);
    Colour halo = MixColour(GemBaseColour(colour), Colour{1, 1, 1, 1}, 0.35f);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float d = std::hypot(x + 0.5f - s / 2, y + 0.5f - s / 2) / (s / 2);
            float a = d < 1 ? std::pow(1 - d, 1.5f) * 0.95f : 0.0f;
            BlendPixel(img, x, y, halo, a);
        }
    DrawGem(img, colour, Vec2{s / 2, s / 2}, s * 0.38f, 1.55f);
    DrawSparkle(img, Vec2{s / 2, s / 2}, s * 0.5f, s * 0.012f, 0.8f);
    DrawSparkle(img, Vec2{s * 0.7f, s * 0.3f}, s * 0.16f, s * 0.008f, 0.9f);
    return img;
}

const PieceCells& PieceShape(int shape) {
    // Cells (column, row) of each shape in the order the board rules list them.
    static const PieceCells shapes[12] = {
        {},
        {1, 1, 1, {{0, 0}}},
        {2, 1, 2, {{0, 0}, {1, 0}}},
        {3, 2, 4, {{0, 0}, {1, 0}, {2, 0}, {0, 1}}},
        {3, 3, 5, {{1, 0}, {0, 1}, {1, 1}, {2, 1}, {1, 2}}},
        {1, 4, 4, {{0, 0}, {0, 1}, {0, 2}, {0, 3}}},
        {3, 2, 4, {{1, 0}, {2, 0}, {0, 1}, {1, 1}}},
        {2, 2, 3, {{1, 0}, {0, 1}, {1, 1}}},
        {1, 3, 3, {{0, 0}, {0, 1}, {0, 2}}},
        {2, 2, 4, {{0, 0}, {1, 0}, {0, 1}, {1, 1}}},
        {3, 2, 4, {{1, 0}, {0, 1}, {1, 1}, {2, 1}}},
        {3, 3, 9, {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}, {0, 2}, {1, 2}, {2, 2}}},
    };
    return shapes[std::clamp(shape, 1, 11)];
}

Image PieceImage(int shape, int cell) {
    const PieceCells& p = PieceShape(shape);
    Image img = MakeImage(p.width * cell, p.height * cell);
    Image tile = GemCellTile(shape, cell);
    for (int i = 0; i < p.count; ++i)
        DrawImage(img, tile, p.cells[i][0] * cell, p.cells[i][1] * cell);
    return img;
}

Image TrayImage(int shape, int size) {
    // Each piece fills most of the slot, but small pieces are not blown up beyond
    // the size a 3 x 3 piece's cells get, so cells look alike from slot to slot.
    const PieceCells& p = PieceShape(shape);
    const int longest = std::max(p.width, p.height);
    const int cell = static_cast<int>(std::min(size * 0.86f / longest, size * 0.28f));
    Image img = MakeImage(size, size, PanelColour());
    const int ox = (size - p.width * cell) / 2, oy = (size - p.height * cell) / 2;

    // A soft shadow under the piece lifts it off the slot.
    const float blur = cell * 0.22f, dx = cell * 0.06f, dy = cell * 0.1f;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float best = 1e9f;
            for (int i = 0; i < p.count; ++i) {
                float rx0 = ox + p.cells[i][0] * cell + dx, ry0 = oy + p.cells[i][1] * cell + dy;
                float qx = std::max({rx0 - (x + 0.5f), 0.0f, (x + 0.5f) - (rx0 + cell)});
                float qy = std::max({ry0 - (y + 0.5f), 0.0f, (y + 0.5f) - (ry0 + cell)});
                best = std::min(best, std::hypot(qx, qy));
            }
            if (best < blur) BlendPixel(img, x, y, Colour{0, 0, 0, 1}, 0.55f * (1 - best / blur));
        }
    DrawImage(img, PieceImage(shape, cell), ox, oy);
    // The slot is drawn without its alpha, so make sure nothing is translucent.
    for (size_t i = 3; i < img.px.size(); i += 4) img.px[i] = 1.0f;
    return img;
}
