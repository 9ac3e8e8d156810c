// pf_sprite_store.cpp: where a sprite's stored pixels live: held while worked on, otherwise made again from their source or texture.
//
// A sprite's pixels at their stored size are needed only to draw on it, copy it,
// read it or resample it. Between those moments a sprite keeps what it can make
// them again from: the PNG it was loaded from (shared by its copies), or the one
// colour or opaque gradient that last filled all of it, plus patches for the
// rectangles drawn on since (the texts of a panel). Pixels changed beyond that
// (a button's label over most of a clear template, a photograph drawn into a
// blank sprite) are packed run by run, which shrinks clear and flat areas to a
// few bytes, unless a texture already holds them at their stored size.
#include <algorithm>

#include "pf_internal.h"
#include "pf_video_internal.h"

namespace {

// Past this many rectangles the changes are taken as their bounding box. Enough
// for the fifteen frame edges laid over the play background, each kept apart.
constexpr size_t kMaxChangedRects = 16;

int64_t Area(const PfRect& r) { return int64_t(r.width) * r.height; }

bool Contains(const PfRect& outer, const PfRect& inner) {
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

PfRect Bounds(const PfRect& a, const PfRect& b) {
    const int left = std::min(a.x, b.x), top = std::min(a.y, b.y);
    const int right = std::max(a.x + a.width, b.x + b.width), bottom = std::max(a.y + a.height, b.y + b.height);
    return {left, top, right - left, bottom - top};
}

// True while the texture holds the sprite's current stored pixels at their
// stored size and can give them back.
bool TextureHoldsPixels(const PfSprite& sprite) {
    return sprite.texture && sprite.textureReadable && sprite.textureKey.version == sprite.version &&
           sprite.textureKey.width == sprite.width && sprite.textureKey.height == sprite.height;
}

// Reads the texture's pixels back, as RGBA.
bool ReadTexture(PfSprite& sprite, std::vector<uint32_t>& pixels) {
    SDL_Renderer* renderer = PfVideo.renderer;
    if (!renderer || !TextureHoldsPixels(sprite)) return false;
    pixels.assign(size_t(sprite.width) * size_t(sprite.height), 0);
    if (SDL_SetRenderTarget(renderer, sprite.texture) != 0) return false;
    bool read = SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_RGBA32, pixels.data(), sprite.width * 4) == 0;
    SDL_SetRenderTarget(renderer, nullptr);
    // An opaque sprite's texture may have no alpha of its own.
    if (read && sprite.cover.opaque) {
        for (uint32_t& p : pixels) p |= 0xFF000000u;
    }
    return read;
}

void CopyRect(const uint32_t* from, int fromWidth, const PfRect& fromArea, uint32_t* to, int toWidth, int toX,
              int toY) {
    for (int row = 0; row < fromArea.height; row++) {
        const uint32_t* source = from + size_t(fromArea.y + row) * size_t(fromWidth) + size_t(fromArea.x);
        std::copy(source, source + fromArea.width, to + size_t(toY + row) * size_t(toWidth) + size_t(toX));
    }
}

// Runs of one pixel repeated, or of pixels as they are: a 16-bit head (the top
// bit set for a repeat, then the length) followed by one pixel or by the run.
constexpr uint32_t kRepeat = 0x8000;
constexpr uint32_t kLongestRun = 0x7FFF;

void PutPixel(std::vector<uint8_t>& out, uint32_t pixel) {
    for (int b = 0; b < 4; b++) out.push_back(uint8_t(pixel >> (8 * b)));
}

std::vector<uint8_t> Pack(const std::vector<uint32_t>& pixels) {
    std::vector<uint8_t> out;
    const size_t n = pixels.size();
    size_t i = 0;
    while (i < n) {
        size_t same = 1;
        while (i + same < n && same < kLongestRun && pixels[i + same] == pixels[i]) same++;
        if (same >= 3) {
            out.push_back(uint8_t(same & 0xFF));
            out.push_back(uint8_t((same >> 8) | (kRepeat >> 8)));
            PutPixel(out, pixels[i]);
            i += same;
            continue;
        }
        // As they are, up to where three equal pixels begin a repeat.
        size_t run = 0;
        while (i + run < n && run < kLongestRun &&
               !(i + run + 2 < n && pixels[i + run] == pixels[i + run + 1] && pixels[i + run] == pixels[i + run + 2])) {
            run++;
        }
        out.push_back(uint8_t(run & 0xFF));
        out.push_back(uint8_t(run >> 8));
        for (size_t k = 0; k < run; k++) PutPixel(out, pixels[i + k]);
        i += run;
    }
    out.shrink_to_fit();
    return out;
}

bool Unpack(const std::vector<uint8_t>& packed, std::vector<uint32_t>& pixels, size_t count) {
    pixels.resize(count);
    size_t at = 0, written = 0;
    auto pixel = [&](size_t from) {
        return uint32_t(packed[from]) | uint32_t(packed[from + 1]) << 8 | uint32_t(packed[from + 2]) << 16 |
               uint32_t(packed[from + 3]) << 24;
    };
    while (at + 2 <= packed.size()) {
        const uint32_t head = uint32_t(packed[at]) | uint32_t(packed[at + 1]) << 8;
        const size_t run = head & kLongestRun;
        at += 2;
        if (written + run > count) return false;
        if (head & kRepeat) {
            if (at + 4 > packed.size()) return false;
            std::fill_n(pixels.begin() + std::ptrdiff_t(written), run, pixel(at));
            at += 4;
        } else {
            if (at + 4 * run > packed.size()) return false;
            for (size_t k = 0; k < run; k++) pixels[written + k] = pixel(at + 4 * k);
            at += 4 * run;
        }
        written += run;
    }
    return written == count;
}

// A patch's pixels: its own, or unpacked into `scratch`.
const std::vector<uint32_t>& PatchPixels(const PfSpritePatch& patch, std::vector<uint32_t>& scratch) {
    if (patch.packed.empty()) return patch.pixels;
    const size_t count = size_t(patch.area.width) * size_t(patch.area.height);
    if (!Unpack(patch.packed, scratch, count)) scratch.assign(count, 0);
    return scratch;
}

// Keeps a new patch's pixels packed where that takes under half the room.
PfSpritePatch MakePatch(const PfRect& area, std::vector<uint32_t> pixels) {
    PfSpritePatch patch;
    patch.area = area;
    std::vector<uint8_t> packed = Pack(pixels);
    if (packed.size() * 2 < pixels.size() * sizeof(uint32_t)) {
        patch.packed = std::move(packed);
    } else {
        patch.pixels = std::move(pixels);
    }
    return patch;
}

// The last small PNG decoded, kept while its file lives: the button templates
// are copied and drawn on dozens of times in a row, each copy needing them.
constexpr size_t kLargestRememberedPng = 512 * 1024;  // pixels
struct RememberedPng {
    std::shared_ptr<const std::vector<uint8_t>> file;
    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
};
RememberedPng LastPng;

bool DecodeSource(const PfSprite& sprite, std::vector<uint32_t>& pixels) {
    if (LastPng.file && LastPng.file == sprite.png) {
        if (LastPng.width != sprite.width || LastPng.height != sprite.height) return false;
        pixels = LastPng.pixels;
        return true;
    }
    int width = 0, height = 0;
    if (!PfDecodePng(sprite.png->data(), sprite.png->size(), pixels, width, height) || width != sprite.width ||
        height != sprite.height) {
        return false;
    }
    if (pixels.size() <= kLargestRememberedPng) {
        LastPng = RememberedPng{sprite.png, pixels, width, height};
    }
    return true;
}

// The stored pixels made again from the source and its patches, or read from the
// texture. A PNG that turns out undecodable gives a clear sprite.
void Remake(PfSprite& sprite, std::vector<uint32_t>& pixels) {
    const size_t count = size_t(sprite.width) * size_t(sprite.height);
    if (!sprite.fromSource) {
        if (!sprite.packed.empty()) {
            if (!Unpack(sprite.packed, pixels, count)) pixels.assign(count, 0);
            std::vector<uint8_t>().swap(sprite.packed);
        } else if (!ReadTexture(sprite, pixels)) {
            pixels.assign(count, 0);
        }
        return;
    }
    if (sprite.gradient) {
        pixels.resize(count);
        PfPaintGradient(*sprite.gradient, pixels.data(), sprite.width, 0, 0, sprite.width, sprite.height);
    } else if (!sprite.png) {
        pixels.assign(count, sprite.colour);
    } else if (!DecodeSource(sprite, pixels)) {
        pixels.assign(count, 0);
    }
    std::vector<uint32_t> scratch;
    for (const PfSpritePatch& patch : sprite.patches) {
        CopyRect(PatchPixels(patch, scratch).data(), patch.area.width, {0, 0, patch.area.width, patch.area.height},
                 pixels.data(), sprite.width, patch.area.x, patch.area.y);
    }
}

// Turns the rectangles changed since the pixels were made into patches, while
// all patches together stay within half the sprite; past that the pixels no
// longer come from the source.
void FoldChanges(PfSprite& sprite) {
    if (!sprite.held || !sprite.fromSource || sprite.changed.empty()) return;
    // Older patches that a change covers whole are drawn over anyway (a status
    // box redrawn with each new score).
    std::vector<PfSpritePatch>& patches = sprite.patches;
    for (const PfRect& r : sprite.changed) {
        patches.erase(std::remove_if(patches.begin(), patches.end(),
                                     [&](const PfSpritePatch& patch) { return Contains(r, patch.area); }),
                      patches.end());
    }
    int64_t area = 0;
    for (const PfSpritePatch& patch : sprite.patches) area += Area(patch.area);
    for (const PfRect& r : sprite.changed) area += Area(r);
    if (area * 2 > int64_t(sprite.width) * sprite.height) {
        sprite.fromSource = false;
        sprite.png.reset();
        sprite.gradient.reset();
        sprite.patches.clear();
        sprite.changed.clear();
        return;
    }
    for (const PfRect& r : sprite.changed) {
        std::vector<uint32_t> pixels(size_t(r.width) * size_t(r.height));
        CopyRect(sprite.pixels.data(), sprite.width, r, pixels.data(), r.width, 0, 0);
        sprite.patches.push_back(MakePatch(r, std::move(pixels)));
    }
    sprite.changed.clear();
}

}  // namespace

std::vector<uint32_t>& PfSpritePixels(PfSprite& sprite) {
    if (!sprite.held) {
        Remake(sprite, sprite.pixels);
        sprite.held = true;
    }
    return sprite.pixels;
}

std::vector<uint32_t>& PfSpritePixelsToChange(PfSprite& sprite) {
    PfSpritePixels(sprite);
    sprite.version++;
    return sprite.pixels;
}

void PfSpriteChanged(PfSprite& sprite, const PfRect& area) {
    if (!sprite.fromSource || area.width <= 0 || area.height <= 0) return;
    std::vector<PfRect>& changed = sprite.changed;
    for (const PfRect& r : changed) {
        if (Contains(r, area)) return;
    }
    changed.erase(std::remove_if(changed.begin(), changed.end(), [&](const PfRect& r) { return Contains(area, r); }),
                  changed.end());
    changed.push_back(area);
    if (changed.size() > kMaxChangedRects) {
        PfRect all = changed.front();
        for (const PfRect& r : changed) all = Bounds(all, r);
        changed.assign(1, all);
    }
}

void PfSpriteFilled(PfSprite& sprite, uint32_t colour) {
    std::vector<uint8_t>().swap(sprite.packed);
    sprite.png.reset();
    sprite.gradient.reset();
    sprite.colour = colour;
    sprite.patches.clear();
    sprite.changed.clear();
    sprite.fromSource = true;
    sprite.version++;
}

void PfSpriteGradientFilled(PfSprite& sprite, std::shared_ptr<const PfGradient> gradient) {
    PfSpriteFilled(sprite, 0);
    sprite.gradient = std::move(gradient);
}

void PfSpriteLetGo(PfSprite& sprite) {
    std::vector<uint32_t>().swap(sprite.shown);
    sprite.shownKey = PfShownKey();
    if (!sprite.held) return;
    FoldChanges(sprite);
    if (!sprite.fromSource && !TextureHoldsPixels(sprite)) sprite.packed = Pack(sprite.pixels);
    std::vector<uint32_t>().swap(sprite.pixels);
    sprite.held = false;
}

bool PfSpriteIsFill(const PfSprite& sprite) { return !sprite.held && sprite.fromSource && !sprite.png; }

bool PfSpriteTakesPatch(const PfSprite& sprite, const PfRect& area) {
    if (sprite.held || !sprite.fromSource) return false;
    int64_t patched = Area(area);
    for (const PfSpritePatch& patch : sprite.patches) {
        if (!Contains(area, patch.area)) patched += Area(patch.area);
    }
    return patched * 2 <= int64_t(sprite.width) * sprite.height;
}

bool PfSpriteFillArea(const PfSprite& sprite, const PfRect& area, uint32_t* out) {
    if (!PfSpriteTakesPatch(sprite, area)) return false;
    const size_t count = size_t(area.width) * size_t(area.height);
    if (sprite.gradient) {
        std::fill(out, out + count, 0u);
        PfPaintGradient(*sprite.gradient, out, area.width, area.x, area.y, area.width, area.height, area.y, area.x);
    } else {
        std::fill(out, out + count, sprite.colour);
    }
    std::vector<uint32_t> scratch;
    for (const PfSpritePatch& patch : sprite.patches) {
        const int left = std::max(area.x, patch.area.x), right = std::min(area.x + area.width, patch.area.x + patch.area.width);
        const int top = std::max(area.y, patch.area.y), bottom = std::min(area.y + area.height, patch.area.y + patch.area.height);
        if (left >= right || top >= bottom) continue;
        CopyRect(PatchPixels(patch, scratch).data(), patch.area.width,
                 {left - patch.area.x, top - patch.area.y, right - left, bottom - top}, out, area.width,
                 left - area.x, top - area.y);
    }
    return true;
}

void PfSpriteAddPatch(PfSprite& sprite, const PfRect& area, std::vector<uint32_t> pixels) {
    std::vector<PfSpritePatch>& patches = sprite.patches;
    patches.erase(std::remove_if(patches.begin(), patches.end(),
                                 [&](const PfSpritePatch& patch) { return Contains(area, patch.area); }),
                  patches.end());
    patches.push_back(MakePatch(area, std::move(pixels)));
    sprite.version++;
}

bool PfSpriteOpaqueFromFill(const PfSprite& sprite) {
    if (sprite.held || !sprite.fromSource || sprite.png) return false;
    // Gradients are kept as the source only when every stop is opaque.
    if (!sprite.gradient && ColourAlpha(sprite.colour) != 255) return false;
    std::vector<uint32_t> scratch;
    return std::all_of(sprite.patches.begin(), sprite.patches.end(), [&](const PfSpritePatch& patch) {
        const std::vector<uint32_t>& pixels = PatchPixels(patch, scratch);
        return std::all_of(pixels.begin(), pixels.end(), [](uint32_t pixel) { return ColourAlpha(pixel) == 255; });
    });
}

void PfSpriteFillRows(const PfSprite& sprite, int first, int count, uint32_t* out) {
    const size_t stride = size_t(sprite.width);
    if (sprite.gradient) {
        std::fill(out, out + size_t(count) * stride, 0u);
        PfPaintGradient(*sprite.gradient, out, sprite.width, 0, first, sprite.width, count, first);
    } else {
        std::fill(out, out + size_t(count) * stride, sprite.colour);
    }
    // The patches in order, each only where it crosses these rows.
    std::vector<uint32_t> scratch;
    for (const PfSpritePatch& patch : sprite.patches) {
        const int top = std::max(first, patch.area.y);
        const int bottom = std::min(first + count, patch.area.y + patch.area.height);
        if (top >= bottom) continue;
        const std::vector<uint32_t>& pixels = PatchPixels(patch, scratch);
        for (int row = top; row < bottom; row++) {
            const uint32_t* from = pixels.data() + size_t(row - patch.area.y) * size_t(patch.area.width);
            std::copy(from, from + patch.area.width, out + size_t(row - first) * stride + size_t(patch.area.x));
        }
    }
}

bool PfSpriteNeedsTexture(const PfSprite& sprite) {
    return !sprite.held && !sprite.fromSource && sprite.packed.empty();
}

void PfForgetRememberedPng() { LastPng = RememberedPng(); }

void PfCopySpritePixels(PfSprite& from, PfSprite& to) {
    FoldChanges(from);
    to.fromSource = from.fromSource;
    if (from.fromSource) {
        to.png = from.png;
        to.gradient = from.gradient;
        to.colour = from.colour;
        to.patches = from.patches;
        return;
    }
    // Only the pixels themselves: held, packed, or read back from the texture.
    if (from.held) {
        to.pixels = from.pixels;
    } else if (!from.packed.empty()) {
        to.packed = from.packed;
        return;
    } else {
        Remake(from, to.pixels);
    }
    to.held = true;
}

bool PfSpriteHoldsPixels(int number) {
    const PfSprite* sprite = PfTableGet(PfVideo.sprites, number);
    return sprite && sprite->held;
}
