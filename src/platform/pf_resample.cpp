// pf_resample.cpp: resizing pixels for sprites and images: linear where they grow, area-averaged where they shrink.
//
// Panels carry their texts drawn at the artwork's own size and are shown at a
// fraction of it (a quarter on small screens); sampling only the four nearest
// source pixels there would drop whole strokes of the letters. Each axis that
// shrinks therefore averages every source pixel under the target pixel, weighted
// by how much of it is covered; an axis that grows interpolates linearly.
#include <algorithm>
#include <cmath>
#include <vector>

#include "pf_video_internal.h"

namespace {

using Tap = PfResampler::Tap;

// For each target position along one axis, the source positions it takes and
// their weights (summing to 1).
std::vector<std::vector<Tap>> AxisTaps(int sourceSize, int targetSize) {
    std::vector<std::vector<Tap>> taps(static_cast<size_t>(targetSize));
    const double scale = double(sourceSize) / targetSize;
    for (int t = 0; t < targetSize; t++) {
        std::vector<Tap>& out = taps[size_t(t)];
        if (scale <= 1.0) {
            double s = std::clamp((t + 0.5) * scale - 0.5, 0.0, double(sourceSize - 1));
            int s0 = int(s);
            int s1 = std::min(s0 + 1, sourceSize - 1);
            double f = s - s0;
            out.push_back({s0, 1 - f});
            if (s1 != s0) out.push_back({s1, f});
            continue;
        }
        const double begin = t * scale;
        const double end = std::min((t + 1) * scale, double(sourceSize));
        for (int s = int(begin); s < end; s++) {
            double covered = std::min(end, double(s + 1)) - std::max(begin, double(s));
            if (covered > 0) out.push_back({s, covered / scale});
        }
    }
    return taps;
}

// Rounds half away from zero, as std::lround does, for the non-negative values
// met here; inline, since it runs three times for every pixel made.
int RoundNonNegative(double value) {
    const int whole = int(value);
    return whole + (value - whole >= 0.5 ? 1 : 0);
}

}  // namespace

PfResampler::PfResampler(const std::vector<uint32_t>& src, int srcW, int srcH, int dstW, int dstH) : source(&src) {
    Prepare(srcW, srcH, dstW, dstH);
}

PfResampler::PfResampler(PfPngRows& rows, int srcW, int srcH, int dstW, int dstH) : png(&rows) {
    Prepare(srcW, srcH, dstW, dstH);
}

void PfResampler::Prepare(int srcW, int srcH, int dstW, int dstH) {
    sourceWidth = srcW;
    width = dstW;
    height = dstH;
    if (srcW <= 0 || srcH <= 0 || dstW <= 0 || dstH <= 0) return;
    across = AxisTaps(srcW, dstW);
    down = AxisTaps(srcH, dstH);
    row.resize(size_t(srcW) * 4);
}

// The first source row each target row takes rises from one target row to the
// next, so rows above it are done with; rows are read from the PNG on demand.
const uint32_t* PfResampler::SourceRow(int index, int firstNeeded) {
    if (source) return source->data() + size_t(index) * size_t(sourceWidth);
    while (!window.empty() && nextRow - int(window.size()) < firstNeeded) window.pop_front();
    while (nextRow <= index) {
        window.emplace_back(size_t(sourceWidth));
        png->Read(1, window.back().data());
        ++nextRow;
        if (nextRow <= firstNeeded) window.pop_back();  // a row a shrinking resample steps over
    }
    const int first = nextRow - int(window.size());
    if (index < first) return nullptr;  // asked for out of order: never here, but never a wrong read either
    return window[size_t(index - first)].data();
}

// Colours are weighted by their alpha, so transparent neighbours leave no dark
// fringe along the edges.
void PfResampler::Rows(int first, int count, uint32_t* out) {
    std::fill(out, out + size_t(std::max(count, 0)) * size_t(std::max(width, 0)), 0u);
    if (down.empty() || across.empty() || first < 0 || first + count > height) return;
    // One source-wide row of alpha-weighted colour, gathered from the rows under
    // a target row, then filtered across into the target.
    for (int y = first; y < first + count; y++) {
        std::fill(row.begin(), row.end(), 0.0);
        for (const Tap& v : down[size_t(y)]) {
            const uint32_t* from = SourceRow(v.index, down[size_t(y)].front().index);
            if (!from) continue;
            double* to = row.data();
            for (int x = 0; x < sourceWidth; x++, to += 4) {
                const uint32_t c = from[x];
                const double wa = v.weight * ColourAlpha(c);
                to[0] += wa * ColourRed(c);
                to[1] += wa * ColourGreen(c);
                to[2] += wa * ColourBlue(c);
                to[3] += wa;
            }
        }
        uint32_t* target = out + size_t(y - first) * size_t(width);
        for (int x = 0; x < width; x++) {
            double r = 0, g = 0, b = 0, a = 0;
            for (const Tap& h : across[size_t(x)]) {
                const double* from = row.data() + size_t(h.index) * 4;
                r += h.weight * from[0];
                g += h.weight * from[1];
                b += h.weight * from[2];
                a += h.weight * from[3];
            }
            if (a > 0) {
                target[x] = RGBA(RoundNonNegative(r / a), RoundNonNegative(g / a), RoundNonNegative(b / a),
                                 RoundNonNegative(std::min(a, 255.0)));
            }
        }
    }
}

void PfResample(const std::vector<uint32_t>& src, int srcW, int srcH, std::vector<uint32_t>& dst, int dstW,
                int dstH) {
    dst.assign(size_t(std::max(dstW, 0)) * size_t(std::max(dstH, 0)), 0);
    if (srcW <= 0 || srcH <= 0 || dstW <= 0 || dstH <= 0) return;
    PfResampler(src, srcW, srcH, dstW, dstH).Rows(0, dstH, dst.data());
}
