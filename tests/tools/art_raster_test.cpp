// art_raster_test.cpp: the software rasteriser, the resampler and the PNG codec the artwork is built with.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "image_files.h"
#include "image_raster.h"

namespace {

float MaskArea(const Mask& m) {
    float total = 0;
    for (float c : m.cover) total += c;
    return total;
}

TEST(ArtRaster, PolygonCoverageMatchesItsArea) {
    // An axis-aligned square on pixel edges is exact; a rotated one and a circle are
    // within a small fraction of their true areas.
    EXPECT_NEAR(MaskArea(FillPath(Path{{10, 10}, {30, 10}, {30, 30}, {10, 30}}, 64, 64)), 400.0f, 0.01f);
    EXPECT_NEAR(MaskArea(FillPath(RegularPolygon(Vec2{32, 32}, 20, 4, 0.3f), 64, 64)), 800.0f, 4.0f);
    const float pi = std::numbers::pi_v<float>;
    EXPECT_NEAR(MaskArea(FillPath(CirclePath(Vec2{40, 40}, 25), 80, 80)), pi * 625, pi * 625 * 0.01f);
}

TEST(ArtRaster, WindingDirectionDoesNotMatterAndHolesNeedOppositeContours) {
    Path cw{{0, 0}, {20, 0}, {20, 20}, {0, 20}};
    Path ccw(cw.rbegin(), cw.rend());
    EXPECT_NEAR(MaskArea(FillPath(ccw, 32, 32)), 400.0f, 0.01f);
    // A reversed inner square cuts a hole (non-zero rule).
    Path hole{{5, 5}, {5, 15}, {15, 15}, {15, 5}};
    EXPECT_NEAR(MaskArea(FillPaths({cw, hole}, 32, 32)), 300.0f, 0.01f);
}

TEST(ArtRaster, ShapesAreClippedToThePicture) {
    Mask m = FillPath(Path{{-50, -50}, {10, -50}, {10, 10}, {-50, 10}}, 16, 16);
    EXPECT_EQ(m.x0, 0);
    EXPECT_EQ(m.y0, 0);
    EXPECT_NEAR(MaskArea(m), 100.0f, 0.01f);
    EXPECT_TRUE(FillPath(Path{{100, 100}, {120, 100}, {120, 120}}, 16, 16).cover.empty());
    EXPECT_TRUE(FillPath(Path{}, 16, 16).cover.empty());
}

TEST(ArtRaster, StrokesCoverTheirWidthWithRoundEnds) {
    // A 20 px segment stroked 2 px either side: a 20 x 4 body plus two half discs.
    Mask m = StrokeMask({Segment{{10, 16}, {30, 16}}}, 2.0f, 48, 32);
    const float pi = std::numbers::pi_v<float>;
    EXPECT_NEAR(MaskArea(m), 80 + pi * 4, 3.0f);
    EXPECT_GT(m.At(20, 15), 0.99f);
    EXPECT_EQ(m.At(20, 25), 0.0f);
}

TEST(ArtRaster, SegmentFieldPointsAwayFromTheNearestSegment) {
    SegmentField f = MakeSegmentField({Segment{{0, 10}, {40, 10}}}, 8, 40, 20);
    const int lx = 20 - f.x0, ly = 15 - f.y0;
    const size_t i = static_cast<size_t>(ly) * f.width + lx;
    EXPECT_NEAR(f.dist[i], 5.5f, 1e-4f);  // pixel centre (20.5, 15.5)
    EXPECT_NEAR(f.dir[i].y, 1.0f, 1e-4f);
}

TEST(ArtRaster, ResamplingKeepsFlatColourAndOpacity) {
    Image flat = MakeImage(37, 23, Rgb(200, 100, 50));
    for (auto [w, h] : {std::pair{13, 7}, {100, 64}, {37, 23}, {1, 1}}) {
        Image r = Resample(flat, w, h);
        ASSERT_EQ(r.width, w);
        ASSERT_EQ(r.height, h);
        std::vector<uint8_t> px = ToRgba8(r);
        for (size_t i = 0; i < px.size(); i += 4) {
            ASSERT_EQ(px[i], 200);
            ASSERT_EQ(px[i + 1], 100);
            ASSERT_EQ(px[i + 2], 50);
            ASSERT_EQ(px[i + 3], 255);
        }
    }
    // Premultiplied resampling: a transparent neighbour never darkens an edge.
    Image half = MakeImage(8, 1, Colour{0, 0, 0, 0});
    for (int x = 0; x < 4; ++x) SetPixel(half, x, 0, Rgb(255, 255, 255));
    Image r = Resample(half, 3, 1);
    Colour mid = GetPixel(r, 1, 0);
    EXPECT_GT(mid.r, 0.99f);
    EXPECT_GT(mid.a, 0.2f);
    EXPECT_LT(mid.a, 0.8f);
}

TEST(ArtPng, RoundTripIsExactForEightBitPixels) {
    Image img = MakeImage(5, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) SetPixel(img, x, y, Rgb(x * 50, y * 60, 7, (x + y * 5) / 19.0f));
    const std::vector<uint8_t> expected = ToRgba8(img);
    DecodedPng d;
    ASSERT_TRUE(DecodePng(EncodePng(img), d));
    EXPECT_EQ(d.width, 5);
    EXPECT_EQ(d.height, 4);
    EXPECT_EQ(d.rgba, expected);
    // Opaque pictures stored as RGB decode with full alpha.
    Image opaque = MakeImage(4, 4, Rgb(9, 8, 7));
    ASSERT_TRUE(DecodePng(EncodePng(opaque, true), d));
    EXPECT_EQ(d.rgba, ToRgba8(opaque));
    EXPECT_EQ(EncodePng(img), EncodePng(img));  // no time stamps
}

TEST(ArtPng, DamagedFilesAreRefused) {
    std::vector<uint8_t> good = EncodePng(MakeImage(16, 16, Rgb(1, 2, 3)));
    DecodedPng d;
    EXPECT_FALSE(DecodePng({}, d));
    EXPECT_FALSE(DecodePng(std::vector<uint8_t>(good.begin(), good.begin() + good.size() / 2), d));
    std::vector<uint8_t> bad = good;
    bad[0] = 'X';
    EXPECT_FALSE(DecodePng(bad, d));
    EXPECT_EQ(d.width, 0);  // nothing half-filled on failure
}

}  // namespace
