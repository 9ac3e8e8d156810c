// image_core.cpp: pixel storage, compositing, resampling and noise for the generator's pictures.
#include "image_core.h"

#include <algorithm>
#include <cmath>

Image MakeImage(int width, int height, Colour fill) {
    Image img;
    img.width = std::max(0, width);
    img.height = std::max(0, height);
    img.px.resize(static_cast<size_t>(img.width) * img.height * 4);
    for (size_t i = 0; i < img.px.size(); i += 4) {
        img.px[i + 0] = fill.r * fill.a;
        img.px[i + 1] = fill.g * fill.a;
        img.px[i + 2] = fill.b * fill.a;
        img.px[i + 3] = fill.a;
    }
    return img;
}

Colour Rgb(int r, int g, int b, float alpha) {
    return Colour{r / 255.0f, g / 255.0f, b / 255.0f, alpha};
}

float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

float Mix(float a, float b, float t) { return a + (b - a) * t; }

float SmoothStep(float e0, float e1, float v) {
    float t = Clamp01((v - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

Colour MixColour(Colour a, Colour b, float t) {
    return Colour{Mix(a.r, b.r, t), Mix(a.g, b.g, t), Mix(a.b, b.b, t), Mix(a.a, b.a, t)};
}

Colour ScaleColour(Colour c, float factor) {
    return Colour{Clamp01(c.r * factor), Clamp01(c.g * factor), Clamp01(c.b * factor), c.a};
}

void BlendPixel(Image& img, int x, int y, Colour c, float cover) {
    if (x < 0 || y < 0 || x >= img.width || y >= img.height) return;
    float a = Clamp01(c.a * cover);
    if (a <= 0) return;
    float* p = &img.px[(static_cast<size_t>(y) * img.width + x) * 4];
    float keep = 1 - a;
    p[0] = c.r * a + p[0] * keep;
    p[1] = c.g * a + p[1] * keep;
    p[2] = c.b * a + p[2] * keep;
    p[3] = a + p[3] * keep;
}

void SetPixel(Image& img, int x, int y, Colour c) {
    if (x < 0 || y < 0 || x >= img.width || y >= img.height) return;
    float* p = &img.px[(static_cast<size_t>(y) * img.width + x) * 4];
    p[0] = c.r * c.a;
    p[1] = c.g * c.a;
    p[2] = c.b * c.a;
    p[3] = c.a;
}

Colour GetPixel(const Image& img, int x, int y) {
    if (x < 0 || y < 0 || x >= img.width || y >= img.height) return Colour{0, 0, 0, 0};
    const float* p = &img.px[(static_cast<size_t>(y) * img.width + x) * 4];
    if (p[3] <= 0) return Colour{0, 0, 0, 0};
    return Colour{p[0] / p[3], p[1] / p[3], p[2] / p[3], p[3]};
}

void FillRect(Image& img, int x0, int y0, int x1, int y1, Colour c) {
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, img.width);
    y1 = std::min(y1, img.height);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) SetPixel(img, x, y, c);
}

void DrawImage(Image& dst, const Image& src, int x, int y, float opacity) {
    for (int sy = 0; sy < src.height; ++sy) {
        int dy = y + sy;
        if (dy < 0 || dy >= dst.height) continue;
        for (int sx = 0; sx < src.width; ++sx) {
            int dx = x + sx;
            if (dx < 0 || dx >= dst.width) continue;
            const float* s = &src.px[(static_cast<size_t>(sy) * src.width + sx) * 4];
            float* d = &dst.px[(static_cast<size_t>(dy) * dst.width + dx) * 4];
            float keep = 1 - s[3] * opacity;
            for (int c = 0; c < 4; ++c) d[c] = s[c] * opacity + d[c] * keep;
        }
    }
}

void DrawImageOpaque(Image& dst, const Image& src, int x, int y) {
    for (int sy = 0; sy < src.height; ++sy) {
        for (int sx = 0; sx < src.width; ++sx) {
            Colour c = GetPixel(src, sx, sy);
            c.a = 1;
            SetPixel(dst, x + sx, y + sy, c);
        }
    }
}

namespace {

// Weights of one output position along one axis: a tent whose width grows with the
// shrink factor, so every source pixel contributes when shrinking.
struct AxisTaps {
    std::vector<int> first;
    std::vector<int> count;
    std::vector<float> weights;  // `count` weights per output, packed
    std::vector<size_t> offset;
};

AxisTaps MakeTaps(int srcSize, int dstSize) {
    AxisTaps taps;
    double scale = static_cast<double>(srcSize) / dstSize;
    double support = std::max(1.0, scale);
    for (int o = 0; o < dstSize; ++o) {
        double centre = (o + 0.5) * scale - 0.5;
        int lo = static_cast<int>(std::floor(centre - support));
        int hi = static_cast<int>(std::ceil(centre + support));
        taps.first.push_back(lo);
        taps.count.push_back(hi - lo + 1);
        taps.offset.push_back(taps.weights.size());
        double total = 0;
        size_t start = taps.weights.size();
        for (int i = lo; i <= hi; ++i) {
            double w = std::max(0.0, 1.0 - std::fabs(i - centre) / support);
            taps.weights.push_back(static_cast<float>(w));
            total += w;
        }
        for (size_t k = start; k < taps.weights.size(); ++k)
            taps.weights[k] = static_cast<float>(taps.weights[k] / (total > 0 ? total : 1));
    }
    return taps;
}

}  // namespace

Image Resample(const Image& src, int width, int height) {
    Image out = MakeImage(width, height);
    if (src.width == 0 || src.height == 0 || width <= 0 || height <= 0) return out;
    AxisTaps tx = MakeTaps(src.width, width);
    AxisTaps ty = MakeTaps(src.height, height);
    // Horizontal pass into a width x src.height buffer, then vertical.
    std::vector<float> mid(static_cast<size_t>(width) * src.height * 4, 0.0f);
    for (int y = 0; y < src.height; ++y) {
        for (int x = 0; x < width; ++x) {
            float acc[4] = {0, 0, 0, 0};
            for (int k = 0; k < tx.count[x]; ++k) {
                int sx = std::clamp(tx.first[x] + k, 0, src.width - 1);
                float w = tx.weights[tx.offset[x] + k];
                const float* s = &src.px[(static_cast<size_t>(y) * src.width + sx) * 4];
                for (int c = 0; c < 4; ++c) acc[c] += s[c] * w;
            }
            float* m = &mid[(static_cast<size_t>(y) * width + x) * 4];
            for (int c = 0; c < 4; ++c) m[c] = acc[c];
        }
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            float acc[4] = {0, 0, 0, 0};
            for (int k = 0; k < ty.count[y]; ++k) {
                int sy = std::clamp(ty.first[y] + k, 0, src.height - 1);
                float w = ty.weights[ty.offset[y] + k];
                const float* m = &mid[(static_cast<size_t>(sy) * width + x) * 4];
                for (int c = 0; c < 4; ++c) acc[c] += m[c] * w;
            }
            float* d = &out.px[(static_cast<size_t>(y) * width + x) * 4];
            for (int c = 0; c < 4; ++c) d[c] = std::max(0.0f, acc[c]);
        }
    }
    return out;
}

std::vector<uint8_t> ToRgba8(const Image& img) {
    std::vector<uint8_t> out(static_cast<size_t>(img.width) * img.height * 4);
    for (size_t i = 0; i < out.size(); i += 4) {
        float a = Clamp01(img.px[i + 3]);
        uint8_t a8 = static_cast<uint8_t>(std::lround(a * 255.0f));
        for (int c = 0; c < 3; ++c) {
            float v = a8 == 0 ? 0.0f : Clamp01(img.px[i + c] / a);
            out[i + c] = a8 == 0 ? 0 : static_cast<uint8_t>(std::lround(v * 255.0f));
        }
        out[i + 3] = a8;
    }
    return out;
}

Image FromRgba8(const std::vector<uint8_t>& rgba, int width, int height) {
    Image img = MakeImage(width, height);
    for (size_t i = 0; i < img.px.size() && i < rgba.size(); i += 4) {
        float a = rgba[i + 3] / 255.0f;
        for (int c = 0; c < 3; ++c) img.px[i + c] = rgba[i + c] / 255.0f * a;
        img.px[i + 3] = a;
    }
    return img;
}

float HashNoise(int x, int y, uint32_t seed) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
                 seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / static_cast<float>(0xFFFFFF);
}

float ValueNoise(float x, float y, float scale, uint32_t seed) {
    float fx = x / scale, fy = y / scale;
    int ix = static_cast<int>(std::floor(fx)), iy = static_cast<int>(std::floor(fy));
    float tx = fx - ix, ty = fy - iy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    float a = HashNoise(ix, iy, seed), b = HashNoise(ix + 1, iy, seed);
    float c = HashNoise(ix, iy + 1, seed), d = HashNoise(ix + 1, iy + 1, seed);
    return Mix(Mix(a, b, tx), Mix(c, d, tx), ty);
}
