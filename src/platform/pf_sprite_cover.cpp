// pf_sprite_cover.cpp: which parts of a sprite are see-through, opaque or empty, so drawing can skip work.
//
// The software renderer blends every pixel of a sprite one by one, even where the
// sprite is fully opaque (a panel's interior) or fully clear (the margins around a
// logo). Knowing the sprite's shape lets a draw copy the opaque middle as a plain
// block, blend only the border strips around it and leave the clear margins out.
#include <algorithm>
#include <vector>

#include "pf_internal.h"
#include "platform.h"

namespace {

bool Opaque(uint32_t pixel) { return ColourAlpha(pixel) == 255; }

// The smallest rectangle holding every pixel that is not fully clear.
PfRect VisibleBox(const uint32_t* pixels, int width, int height) {
    int left = width, right = -1, top = height, bottom = -1;
    for (int y = 0; y < height; y++) {
        const uint32_t* row = pixels + size_t(y) * size_t(width);
        int first = 0;
        while (first < width && ColourAlpha(row[first]) == 0) first++;
        if (first == width) continue;
        int last = width - 1;
        while (ColourAlpha(row[last]) == 0) last--;
        left = std::min(left, first);
        right = std::max(right, last);
        top = std::min(top, y);
        bottom = y;
    }
    if (right < 0) return {};
    return {left, top, right - left + 1, bottom - top + 1};
}

// The largest rectangle of fully opaque pixels inside `box`: for each row, the run
// of opaque pixels above each column forms a histogram whose largest rectangle is
// found with a stack, in one pass over the pixels.
PfRect LargestOpaqueRect(const uint32_t* pixels, int width, const PfRect& box) {
    std::vector<int> runs(size_t(box.width) + 1, 0);  // the extra 0 closes every bar
    std::vector<int> stack;
    stack.reserve(size_t(box.width) + 1);
    PfRect best;
    int64_t bestArea = 0;
    for (int y = box.y; y < box.y + box.height; y++) {
        const uint32_t* row = pixels + size_t(y) * size_t(width) + size_t(box.x);
        for (int i = 0; i < box.width; i++) runs[size_t(i)] = Opaque(row[i]) ? runs[size_t(i)] + 1 : 0;
        stack.clear();
        for (int i = 0; i <= box.width; i++) {
            while (!stack.empty() && runs[size_t(stack.back())] >= runs[size_t(i)]) {
                int tall = runs[size_t(stack.back())];
                stack.pop_back();
                int start = stack.empty() ? 0 : stack.back() + 1;
                int64_t area = int64_t(tall) * (i - start);
                if (area > bestArea) {
                    bestArea = area;
                    best = {box.x + start, y - tall + 1, i - start, tall};
                }
            }
            stack.push_back(i);
        }
    }
    return best;
}

}  // namespace

PfSpriteCover PfMeasureCover(const uint32_t* pixels, int width, int height) {
    PfSpriteCover cover;
    if (!pixels || width <= 0 || height <= 0) return cover;
    cover.opaque = std::all_of(pixels, pixels + size_t(width) * size_t(height), Opaque);
    if (cover.opaque) {
        cover.visible = cover.core = {0, 0, width, height};
        return cover;
    }
    cover.visible = VisibleBox(pixels, width, height);
    if (cover.visible.width == 0) return cover;
    PfRect core = LargestOpaqueRect(pixels, width, cover.visible);
    // A small opaque patch is not worth the extra draws it splits the sprite into.
    if (int64_t(core.width) * core.height >= PF_MIN_COVER_CORE_PIXELS) cover.core = core;
    return cover;
}

std::vector<PfRect> PfBlendedStrips(const PfSpriteCover& cover) {
    std::vector<PfRect> strips;
    const PfRect& v = cover.visible;
    const PfRect& c = cover.core;
    if (v.width <= 0 || v.height <= 0) return strips;
    if (c.width <= 0 || c.height <= 0) {
        strips.push_back(v);
        return strips;
    }
    auto add = [&strips](int x, int y, int w, int h) {
        if (w > 0 && h > 0) strips.push_back({x, y, w, h});
    };
    add(v.x, v.y, v.width, c.y - v.y);                                       // above the core
    add(v.x, c.y + c.height, v.width, v.y + v.height - (c.y + c.height));    // below it
    add(v.x, c.y, c.x - v.x, c.height);                                      // left of it
    add(c.x + c.width, c.y, v.x + v.width - (c.x + c.width), c.height);      // right of it
    return strips;
}
