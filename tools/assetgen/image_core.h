// image_core.h: the generator's in-memory picture (premultiplied float RGBA) and its basic operations.
#pragma once

#include <cstdint>
#include <vector>

struct Vec2 {
    float x = 0, y = 0;
};

// A colour in straight (not premultiplied) form, channels 0..1.
struct Colour {
    float r = 0, g = 0, b = 0, a = 1;
};

// Pixels are premultiplied RGBA floats, row after row, top row first. Premultiplied
// values make "over" compositing and resampling free of dark fringes.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<float> px;  // 4 floats per pixel
};

Image MakeImage(int width, int height, Colour fill = Colour{0, 0, 0, 0});
Colour Rgb(int r, int g, int b, float alpha = 1.0f);
Colour MixColour(Colour a, Colour b, float t);
Colour ScaleColour(Colour c, float factor);  // brightens or darkens RGB, keeps alpha
float Clamp01(float v);
float SmoothStep(float e0, float e1, float v);
float Mix(float a, float b, float t);

// Composites `c` with extra coverage `cover` (0..1) over the pixel at (x, y).
void BlendPixel(Image& img, int x, int y, Colour c, float cover);
// Replaces the pixel at (x, y) with `c`.
void SetPixel(Image& img, int x, int y, Colour c);
Colour GetPixel(const Image& img, int x, int y);  // straight colour
void FillRect(Image& img, int x0, int y0, int x1, int y1, Colour c);  // replaces, [x0,x1)
// Composites `src` over `dst` with its top-left at (x, y), times `opacity`.
void DrawImage(Image& dst, const Image& src, int x, int y, float opacity = 1.0f);
// Copies `src` into `dst` at (x, y) ignoring its alpha (the game's opaque blit).
void DrawImageOpaque(Image& dst, const Image& src, int x, int y);
// Resizes with a filter whose footprint follows the scale (area-like when shrinking,
// bilinear-like when enlarging), as a smooth sprite scaler would.
Image Resample(const Image& src, int width, int height);

// 8-bit straight RGBA, rounded, as stored in PNG files.
std::vector<uint8_t> ToRgba8(const Image& img);
Image FromRgba8(const std::vector<uint8_t>& rgba, int width, int height);

// Deterministic hash noise in 0..1 for integer lattice points and a seed.
float HashNoise(int x, int y, uint32_t seed);
// Smooth value noise in 0..1 (bilinear-smoothed lattice of HashNoise), `scale` in pixels.
float ValueNoise(float x, float y, float scale, uint32_t seed);
