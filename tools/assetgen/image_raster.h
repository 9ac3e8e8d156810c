// image_raster.h: anti-aliased coverage of polygons and stroked lines, and painting through it.
#pragma once

#include <cstddef>
#include <vector>

#include "image_core.h"

using Path = std::vector<Vec2>;

// Per-pixel coverage (0..1) inside a bounding box of the picture.
struct Mask {
    int x0 = 0, y0 = 0, width = 0, height = 0;
    std::vector<float> cover;
    float At(int x, int y) const {
        int lx = x - x0, ly = y - y0;
        if (lx < 0 || ly < 0 || lx >= width || ly >= height) return 0;
        return cover[static_cast<size_t>(ly) * width + lx];
    }
};

struct Segment {
    Vec2 a, b;
};

// Distance from each pixel centre to the nearest of a set of segments, and the unit
// direction from that nearest point to the pixel: enough to shade round wires.
struct SegmentField {
    int x0 = 0, y0 = 0, width = 0, height = 0;
    std::vector<float> dist;
    std::vector<Vec2> dir;
};

// Coverage of closed contours under the non-zero winding rule, clipped to the picture.
Mask FillPaths(const std::vector<Path>& contours, int imgW, int imgH);
Mask FillPath(const Path& contour, int imgW, int imgH);
// Distances up to `reach` pixels around the segments; farther pixels hold a large value.
SegmentField MakeSegmentField(const std::vector<Segment>& segments, float reach, int imgW,
                              int imgH);
// Coverage of the segments stroked with round ends to `halfWidth`.
Mask StrokeMask(const std::vector<Segment>& segments, float halfWidth, int imgW, int imgH);
Mask MaskMultiply(const Mask& a, const Mask& b);  // intersection, in a's box

std::vector<Segment> PolylineSegments(const Path& points, bool closed);
Path CirclePath(Vec2 centre, float radius, int steps = 0);
Path EllipsePath(Vec2 centre, float rx, float ry, float rotation = 0, int steps = 0);
Path RoundedRectPath(float x0, float y0, float x1, float y1, float radius);
Path RegularPolygon(Vec2 centre, float radius, int sides, float rotation);
Path ArcPoints(Vec2 centre, float radius, float startAngle, float endAngle, int steps = 0);
Path ScalePath(const Path& p, Vec2 centre, float factor);
Path TranslatePath(const Path& p, Vec2 offset);
Vec2 PathCentroid(const Path& p);

// Blends a colour, chosen per pixel by `colourAt(x, y)`, through a mask.
template <typename ColourAt>
void PaintMask(Image& img, const Mask& m, ColourAt colourAt) {
    for (int ly = 0; ly < m.height; ++ly) {
        for (int lx = 0; lx < m.width; ++lx) {
            float c = m.cover[static_cast<size_t>(ly) * m.width + lx];
            if (c <= 0) continue;
            int x = m.x0 + lx, y = m.y0 + ly;
            BlendPixel(img, x, y, colourAt(x, y), c);
        }
    }
}

inline void PaintMaskSolid(Image& img, const Mask& m, Colour c) {
    PaintMask(img, m, [c](int, int) { return c; });
}
