// image_raster.cpp: scanline coverage of polygons (16 sub-rows, exact along x) and segment distances.
#include "image_raster.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr int kSubRows = 16;
constexpr float kFar = 1e9f;

struct Edge {
    Vec2 a, b;  // a.y < b.y
    int winding;
};

struct Crossing {
    float x;
    int winding;
};

}  // namespace

Mask FillPaths(const std::vector<Path>& contours, int imgW, int imgH) {
    Mask m;
    std::vector<Edge> edges;
    float minX = kFar, minY = kFar, maxX = -kFar, maxY = -kFar;
    for (const Path& p : contours) {
        for (size_t i = 0; i < p.size(); ++i) {
            Vec2 a = p[i], b = p[(i + 1) % p.size()];
            minX = std::min(minX, a.x);
            maxX = std::max(maxX, a.x);
            minY = std::min(minY, a.y);
            maxY = std::max(maxY, a.y);
            if (a.y == b.y) continue;
            if (a.y < b.y) edges.push_back(Edge{a, b, 1});
            else edges.push_back(Edge{b, a, -1});
        }
    }
    if (edges.empty()) return m;
    m.x0 = std::max(0, static_cast<int>(std::floor(minX)));
    m.y0 = std::max(0, static_cast<int>(std::floor(minY)));
    int x1 = std::min(imgW, static_cast<int>(std::ceil(maxX)) + 1);
    int y1 = std::min(imgH, static_cast<int>(std::ceil(maxY)) + 1);
    if (x1 <= m.x0 || y1 <= m.y0) return Mask{};
    m.width = x1 - m.x0;
    m.height = y1 - m.y0;
    m.cover.assign(static_cast<size_t>(m.width) * m.height, 0.0f);

    std::vector<Crossing> crossings;
    std::vector<const Edge*> active;
    const float weight = 1.0f / kSubRows;
    for (int y = m.y0; y < y1; ++y) {
        active.clear();
        for (const Edge& e : edges)
            if (e.a.y < y + 1 && e.b.y > y) active.push_back(&e);
        if (active.empty()) continue;
        float* row = &m.cover[static_cast<size_t>(y - m.y0) * m.width];
        for (int k = 0; k < kSubRows; ++k) {
            float sy = y + (k + 0.5f) / kSubRows;
            crossings.clear();
            for (const Edge* e : active) {
                if (sy < e->a.y || sy >= e->b.y) continue;
                float t = (sy - e->a.y) / (e->b.y - e->a.y);
                crossings.push_back(Crossing{e->a.x + t * (e->b.x - e->a.x), e->winding});
            }
            std::sort(crossings.begin(), crossings.end(),
                      [](const Crossing& l, const Crossing& r) { return l.x < r.x; });
            int wind = 0;
            for (size_t i = 0; i + 1 < crossings.size(); ++i) {
                wind += crossings[i].winding;
                if (wind == 0) continue;
                float xa = std::max(crossings[i].x, static_cast<float>(m.x0));
                float xb = std::min(crossings[i + 1].x, static_cast<float>(x1));
                if (xb <= xa) continue;
                int pa = static_cast<int>(std::floor(xa)), pb = static_cast<int>(std::floor(xb));
                for (int px = pa; px <= pb && px < x1; ++px) {
                    float lo = std::max(xa, static_cast<float>(px));
                    float hi = std::min(xb, static_cast<float>(px + 1));
                    if (hi > lo) row[px - m.x0] += (hi - lo) * weight;
                }
            }
        }
        for (int i = 0; i < m.width; ++i) row[i] = std::min(row[i], 1.0f);
    }
    return m;
}

Mask FillPath(const Path& contour, int imgW, int imgH) {
    return FillPaths(std::vector<Path>{contour}, imgW, imgH);
}

SegmentField MakeSegmentField(const std::vector<Segment>& segments, float reach, int imgW,
                              int imgH) {
    SegmentField f;
    if (segments.empty()) return f;
    float minX = kFar, minY = kFar, maxX = -kFar, maxY = -kFar;
    for (const Segment& s : segments) {
        minX = std::min({minX, s.a.x, s.b.x});
        maxX = std::max({maxX, s.a.x, s.b.x});
        minY = std::min({minY, s.a.y, s.b.y});
        maxY = std::max({maxY, s.a.y, s.b.y});
    }
    f.x0 = std::max(0, static_cast<int>(std::floor(minX - reach)) - 1);
    f.y0 = std::max(0, static_cast<int>(std::floor(minY - reach)) - 1);
    int x1 = std::min(imgW, static_cast<int>(std::ceil(maxX + reach)) + 2);
    int y1 = std::min(imgH, static_cast<int>(std::ceil(maxY + reach)) + 2);
    if (x1 <= f.x0 || y1 <= f.y0) return SegmentField{};
    f.width = x1 - f.x0;
    f.height = y1 - f.y0;
    f.dist.assign(static_cast<size_t>(f.width) * f.height, kFar);
    f.dir.assign(static_cast<size_t>(f.width) * f.height, Vec2{0, -1});
    for (const Segment& s : segments) {
        int sx0 = std::max(f.x0, static_cast<int>(std::floor(std::min(s.a.x, s.b.x) - reach)));
        int sx1 = std::min(x1 - 1, static_cast<int>(std::ceil(std::max(s.a.x, s.b.x) + reach)));
        int sy0 = std::max(f.y0, static_cast<int>(std::floor(std::min(s.a.y, s.b.y) - reach)));
        int sy1 = std::min(y1 - 1, static_cast<int>(std::ceil(std::max(s.a.y, s.b.y) + reach)));
        float ex = s.b.x - s.a.x, ey = s.b.y - s.a.y;
        float len2 = ex * ex + ey * ey;
        for (int y = sy0; y <= sy1; ++y) {
            for (int x = sx0; x <= sx1; ++x) {
                float px = x + 0.5f - s.a.x, py = y + 0.5f - s.a.y;
                float t = len2 > 0 ? std::clamp((px * ex + py * ey) / len2, 0.0f, 1.0f) : 0.0f;
                float dx = px - t * ex, dy = py - t * ey;
                float d = std::sqrt(dx * dx + dy * dy);
                size_t i = static_cast<size_t>(y - f.y0) * f.width + (x - f.x0);
                if (d < f.dist[i]) {
                    f.dist[i] = d;
                    if (d > 1e-4f) f.dir[i] = Vec2{dx / d, dy / d};
                    else if (len2 > 0) {
                        float l = std::sqrt(len2);
                        f.dir[i] = Vec2{-ey / l, ex / l};
                    }
                }
            }
        }
    }
    return f;
}

Mask StrokeMask(const std::vector<Segment>& segments, float halfWidth, int imgW, int imgH) {
    SegmentField f = MakeSegmentField(segments, halfWidth + 1, imgW, imgH);
    Mask m;
    m.x0 = f.x0;
    m.y0 = f.y0;
    m.width = f.width;
    m.height = f.height;
    m.cover.resize(f.dist.size());
    for (size_t i = 0; i < f.dist.size(); ++i) m.cover[i] = Clamp01(halfWidth + 0.5f - f.dist[i]);
    return m;
}

Mask MaskMultiply(const Mask& a, const Mask& b) {
    Mask m = a;
    for (int ly = 0; ly < m.height; ++ly)
        for (int lx = 0; lx < m.width; ++lx)
            m.cover[static_cast<size_t>(ly) * m.width + lx] *= b.At(m.x0 + lx, m.y0 + ly);
    return m;
}

std::vector<Segment> PolylineSegments(const Path& points, bool closed) {
    std::vector<Segment> segs;
    if (points.size() < 2) return segs;
    for (size_t i = 0; i + 1 < points.size(); ++i) segs.push_back(Segment{points[i], points[i + 1]});
    if (closed) segs.push_back(Segment{points.back(), points.front()});
    return segs;
}

Path EllipsePath(Vec2 centre, float rx, float ry, float rotation, int steps) {
    if (steps <= 0) steps = std::max(24, static_cast<int>(std::max(rx, ry) * 1.5f));
    Path p;
    float cr = std::cos(rotation), sr = std::sin(rotation);
    for (int i = 0; i < steps; ++i) {
        float a = 2 * std::numbers::pi_v<float> * i / steps;
        float x = std::cos(a) * rx, y = std::sin(a) * ry;
        p.push_back(Vec2{centre.x + x * cr - y * sr, centre.y + x * sr + y * cr});
    }
    return p;
}

Path CirclePath(Vec2 centre, float radius, int steps) {
    return EllipsePath(centre, radius, radius, 0, steps);
}

Path ArcPoints(Vec2 centre, float radius, float startAngle, float endAngle, int steps) {
    if (steps <= 0)
        steps = std::max(6, static_cast<int>(std::fabs(endAngle - startAngle) * radius / 2));
    Path p;
    for (int i = 0; i <= steps; ++i) {
        float a = startAngle + (endAngle - startAngle) * i / steps;
        p.push_back(Vec2{centre.x + std::cos(a) * radius, centre.y + std::sin(a) * radius});
    }
    return p;
}

Path RoundedRectPath(float x0, float y0, float x1, float y1, float radius) {
    const float pi = std::numbers::pi_v<float>;
    Path p;
    auto corner = [&](float cx, float cy, float a0) {
        Path arc = ArcPoints(Vec2{cx, cy}, radius, a0, a0 + pi / 2);
        p.insert(p.end(), arc.begin(), arc.end());
    };
    corner(x1 - radius, y0 + radius, -pi / 2);
    corner(x1 - radius, y1 - radius, 0);
    corner(x0 + radius, y1 - radius, pi / 2);
    corner(x0 + radius, y0 + radius, pi);
    return p;
}

Path RegularPolygon(Vec2 centre, float radius, int sides, float rotation) {
    Path p;
    for (int i = 0; i < sides; ++i) {
        float a = rotation + 2 * std::numbers::pi_v<float> * i / sides;
        p.push_back(Vec2{centre.x + std::cos(a) * radius, centre.y + std::sin(a) * radius});
    }
    return p;
}

Path ScalePath(const Path& p, Vec2 centre, float factor) {
    Path out;
    for (Vec2 v : p)
        out.push_back(Vec2{centre.x + (v.x - centre.x) * factor, centre.y + (v.y - centre.y) * factor});
    return out;
}

Path TranslatePath(const Path& p, Vec2 offset) {
    Path out;
    for (Vec2 v : p) out.push_back(Vec2{v.x + offset.x, v.y + offset.y});
    return out;
}

Vec2 PathCentroid(const Path& p) {
    Vec2 c;
    for (Vec2 v : p) {
        c.x += v.x;
        c.y += v.y;
    }
    if (!p.empty()) {
        c.x /= p.size();
        c.y /= p.size();
    }
    return c;
}
