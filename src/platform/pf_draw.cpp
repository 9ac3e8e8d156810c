// pf_draw.cpp: 2D drawing into a sprite or an image — boxes, gradients, texts and other images.
#include <algorithm>
#include <cmath>

#include "pf_video_internal.h"

// Outputs carry their kind above the 32 bits of the number.
constexpr int64_t kSpriteOutput = int64_t(1) << 32;
constexpr int64_t kImageOutput = int64_t(2) << 32;

PfOutput SpriteOutput(int number) {
    return PfTableGet(PfVideo.sprites, number) ? kSpriteOutput | int64_t(uint32_t(number)) : 0;
}

PfOutput ImageOutput(int number) {
    return PfTableGet(PfVideo.images, number) ? kImageOutput | int64_t(uint32_t(number)) : 0;
}

namespace {

struct Target {
    uint32_t* pixels = nullptr;
    int width = 0, height = 0;
    PfSprite* sprite = nullptr;  // when the output is a sprite
};

// Tells a sprite output which rectangle (already clipped) a call changed.
void Changed(const Target& t, int x, int y, int width, int height) {
    if (t.sprite) PfSpriteChanged(*t.sprite, {x, y, width, height});
}

// The pixels of the current output, looked up afresh each time so that an object
// freed in the middle of drawing is simply no longer drawn on.
bool CurrentTarget(Target& target) {
    int64_t output = PfDraw.output;
    int number = int(uint32_t(output & 0xFFFFFFFF));
    if ((output & ~int64_t(0xFFFFFFFF)) == kSpriteOutput) {
        PfSprite* sprite = PfTableGet(PfVideo.sprites, number);
        if (!sprite) return false;
        target = {PfSpritePixelsToChange(*sprite).data(), sprite->width, sprite->height, sprite};
        return true;
    }
    if ((output & ~int64_t(0xFFFFFFFF)) == kImageOutput) {
        PfImage* image = PfTableGet(PfVideo.images, number);
        if (!image) return false;
        target = {image->pixels.data(), image->width, image->height, nullptr};
        return true;
    }
    return false;
}

// The opacity a colour is drawn with: its alpha byte in alpha-blend mode, where a
// colour made with RGB() (alpha 0) still counts as opaque; full otherwise.
int ColourOpacity(uint32_t colour) {
    if (!(PfDraw.mode & DRAW_ALPHABLEND)) return 255;
    int alpha = ColourAlpha(colour);
    return alpha == 0 ? 255 : alpha;
}

// Lays colour over *dst with the given opacity (straight alpha, "source over").
void BlendPixel(uint32_t* dst, uint32_t colour, int opacity) {
    if (opacity <= 0) return;
    if (opacity >= 255) {
        *dst = (colour & 0xFFFFFF) | 0xFF000000u;
        return;
    }
    uint32_t under = *dst;
    int dstAlpha = ColourAlpha(under);
    int keep = dstAlpha * (255 - opacity);  // scaled by 255
    int outAlpha255 = opacity * 255 + keep;  // scaled by 255
    if (outAlpha255 == 0) return;
    auto mix = [&](int src, int old) { return (src * opacity * 255 + old * keep + outAlpha255 / 2) / outAlpha255; };
    *dst = RGBA(mix(ColourRed(colour), ColourRed(under)), mix(ColourGreen(colour), ColourGreen(under)),
                mix(ColourBlue(colour), ColourBlue(under)), (outAlpha255 + 127) / 255);
}

// Clips a rectangle to the target; false when nothing is left.
bool ClipRect(const Target& t, int& x, int& y, int& width, int& height) {
    int64_t x1 = std::max<int64_t>(x, 0), y1 = std::max<int64_t>(y, 0);
    int64_t x2 = std::min<int64_t>(int64_t(x) + width, t.width), y2 = std::min<int64_t>(int64_t(y) + height, t.height);
    if (x1 >= x2 || y1 >= y2) return false;
    x = int(x1);
    y = int(y1);
    width = int(x2 - x1);
    height = int(y2 - y1);
    return true;
}

void FillPlain(const Target& t, int x, int y, int width, int height, uint32_t colour) {
    if (!ClipRect(t, x, y, width, height)) return;
    Changed(t, x, y, width, height);
    int opacity = ColourOpacity(colour);
    for (int row = y; row < y + height; row++) {
        uint32_t* p = t.pixels + size_t(row) * size_t(t.width) + size_t(x);
        for (int i = 0; i < width; i++) BlendPixel(p + i, colour, opacity);
    }
}

// The gradient as the drawing context defines it now: the front colour at 0,
// the added stops in order of position, the back colour at 1.
PfGradient CurrentGradient() {
    PfGradient gradient;
    gradient.x1 = PfDraw.gradX1;
    gradient.y1 = PfDraw.gradY1;
    gradient.x2 = PfDraw.gradX2;
    gradient.y2 = PfDraw.gradY2;
    std::vector<PfGradientStop>& stops = gradient.stops;
    stops.push_back({0.0, PfDraw.front, ColourOpacity(PfDraw.front)});
    auto added = PfDraw.gradStops;
    std::stable_sort(added.begin(), added.end(), [](auto& a, auto& b) { return a.first < b.first; });
    for (auto& [position, colour] : added) stops.push_back({std::clamp(position, 0.0, 1.0), colour, ColourOpacity(colour)});
    stops.push_back({1.0, PfDraw.back, ColourOpacity(PfDraw.back)});
    return gradient;
}

void GradientAt(const std::vector<PfGradientStop>& stops, double t, uint32_t& colour, int& opacity) {
    size_t i = 1;
    while (i + 1 < stops.size() && stops[i].position < t) i++;
    const PfGradientStop& a = stops[i - 1];
    const PfGradientStop& b = stops[i];
    double span = b.position - a.position;
    double f = span > 0 ? std::clamp((t - a.position) / span, 0.0, 1.0) : (t >= b.position ? 1.0 : 0.0);
    auto lerp = [f](int from, int to) { return int(std::lround(from + (to - from) * f)); };
    colour = RGB(lerp(ColourRed(a.colour), ColourRed(b.colour)), lerp(ColourGreen(a.colour), ColourGreen(b.colour)),
                 lerp(ColourBlue(a.colour), ColourBlue(b.colour)));
    opacity = lerp(a.opacity, b.opacity);
}

void FillGradient(const Target& t, int x, int y, int width, int height) {
    if (!ClipRect(t, x, y, width, height)) return;
    Changed(t, x, y, width, height);
    PfPaintGradient(CurrentGradient(), t.pixels, t.width, x, y, width, height);
}

// Copies (or in alpha-blend mode lays over) pixels at their stored size.
void DrawPixelsOn(const Target& t, const uint32_t* source, int srcW, int srcH, int x, int y) {
    int cx = x, cy = y, w = srcW, h = srcH;
    if (!ClipRect(t, cx, cy, w, h)) return;
    Changed(t, cx, cy, w, h);
    bool blend = (PfDraw.mode & DRAW_ALPHABLEND) != 0;
    for (int row = 0; row < h; row++) {
        const uint32_t* from = source + size_t(cy - y + row) * size_t(srcW) + size_t(cx - x);
        uint32_t* to = t.pixels + size_t(cy + row) * size_t(t.width) + size_t(cx);
        for (int i = 0; i < w; i++) {
            if (blend) {
                BlendPixel(to + i, from[i], ColourAlpha(from[i]));
            } else {
                to[i] = from[i];
            }
        }
    }
}

// True when the output being drawn on is this sprite or image itself.
bool DrawingOnto(int64_t kind, int number) { return PfDraw.output == (kind | int64_t(uint32_t(number))); }

}  // namespace

// Each pixel takes the colour of its projection onto the line from (x1, y1) to (x2, y2).
// Along a horizontal or vertical line every column or every row has one colour,
// worked out once for all of its pixels.
void PfPaintGradient(const PfGradient& gradient, uint32_t* pixels, int stride, int x, int y, int width, int height,
                     int top, int left) {
    const std::vector<PfGradientStop>& stops = gradient.stops;
    double dx = gradient.x2 - gradient.x1, dy = gradient.y2 - gradient.y1;
    double length2 = dx * dx + dy * dy;
    struct Shade {
        uint32_t colour;
        int opacity;
    };
    auto shadeAt = [&](int col, int row) {
        double along = length2 > 0 ? ((col - gradient.x1) * dx + (row - gradient.y1) * dy) / length2 : 0.0;
        Shade shade;
        GradientAt(stops, std::clamp(along, 0.0, 1.0), shade.colour, shade.opacity);
        return shade;
    };
    std::vector<Shade> columns;
    if (dy == 0) {
        columns.reserve(size_t(width));
        for (int col = x; col < x + width; col++) columns.push_back(shadeAt(col, y));
    }
    for (int row = y; row < y + height; row++) {
        uint32_t* p = pixels + size_t(row - top) * size_t(stride);
        if (dy == 0) {
            for (int i = 0; i < width; i++) BlendPixel(p + (x - left) + i, columns[size_t(i)].colour, columns[size_t(i)].opacity);
        } else if (dx == 0) {
            const Shade shade = shadeAt(x, row);
            for (int col = x; col < x + width; col++) BlendPixel(p + (col - left), shade.colour, shade.opacity);
        } else {
            for (int col = x; col < x + width; col++) {
                const Shade shade = shadeAt(col, row);
                BlendPixel(p + (col - left), shade.colour, shade.opacity);
            }
        }
    }
}

// Ends the drawing on the current output: a sprite gives its pixels up where
// it can make them again.
void PfResetDrawing() {
    if ((PfDraw.output & ~int64_t(0xFFFFFFFF)) == kSpriteOutput) {
        if (PfSprite* sprite = PfTableGet(PfVideo.sprites, int(uint32_t(PfDraw.output & 0xFFFFFFFF)))) {
            PfSpriteLetGo(*sprite);
        }
    }
    PfDraw = PfDrawState();
}

// The output's pixels are made only when a drawing call needs them.
int StartDrawing(PfOutput output) {
    PfResetDrawing();
    const int number = int(uint32_t(output & 0xFFFFFFFF));
    const int64_t kind = output & ~int64_t(0xFFFFFFFF);
    const bool exists = kind == kSpriteOutput   ? PfTableGet(PfVideo.sprites, number) != nullptr
                        : kind == kImageOutput ? PfTableGet(PfVideo.images, number) != nullptr
                                               : false;
    if (exists) PfDraw.output = output;
    return exists ? 1 : 0;
}

void StopDrawing() { PfResetDrawing(); }

void DrawingMode(int modeFlags) { PfDraw.mode = modeFlags; }
void UseFont(int fontNumber) { PfDraw.font = fontNumber; }
void SetFrontColor(uint32_t colour) { PfDraw.front = colour; }
void SetBackColor(uint32_t colour) { PfDraw.back = colour; }

void DrawTextAt(int x, int y, const std::string& text) { DrawTextAt(x, y, text, PfDraw.front, PfDraw.back); }

void DrawTextAt(int x, int y, const std::string& text, uint32_t front) { DrawTextAt(x, y, text, front, PfDraw.back); }

// A text standing on an opaque box of its back colour does not depend on what is
// under it: on a sprite still made by its source (a panel copied from its
// artwork) it becomes one more patch, and the artwork need not be decoded now.
static bool TextAsPatch(int x, int y, const std::vector<uint8_t>& coverage, int width, int height, uint32_t front,
                        uint32_t back) {
    if ((PfDraw.mode & DRAW_TRANSPARENT) || ColourOpacity(back) < 255) return false;
    if ((PfDraw.output & ~int64_t(0xFFFFFFFF)) != kSpriteOutput) return false;
    PfSprite* sprite = PfTableGet(PfVideo.sprites, int(uint32_t(PfDraw.output & 0xFFFFFFFF)));
    if (!sprite) return false;
    Target whole = {nullptr, sprite->width, sprite->height, nullptr};
    PfRect area = {x, y, width, height};
    if (!ClipRect(whole, area.x, area.y, area.width, area.height)) return sprite->fromSource && !sprite->held;
    if (!PfSpriteTakesPatch(*sprite, area)) return false;
    std::vector<uint32_t> pixels(size_t(area.width) * size_t(area.height));
    Target part = {pixels.data(), area.width, area.height, nullptr};
    FillPlain(part, 0, 0, area.width, area.height, back);
    const int opacity = ColourOpacity(front);
    for (int row = 0; row < area.height; row++) {
        const uint8_t* cov = coverage.data() + size_t(area.y - y + row) * size_t(width) + size_t(area.x - x);
        uint32_t* to = pixels.data() + size_t(row) * size_t(area.width);
        for (int i = 0; i < area.width; i++) {
            if (cov[i]) BlendPixel(to + i, front, (cov[i] * opacity + 127) / 255);
        }
    }
    PfSpriteAddPatch(*sprite, area, std::move(pixels));
    return true;
}

void DrawTextAt(int x, int y, const std::string& text, uint32_t front, uint32_t back) {
    if (PfDraw.output == 0) return;
    std::vector<uint8_t> coverage;
    int width = 0, height = 0;
    if (!PfRenderTextCoverage(PfDraw.font, text, coverage, width, height)) return;
    if (TextAsPatch(x, y, coverage, width, height, front, back)) return;
    Target t;
    if (!CurrentTarget(t)) return;
    // Without the transparent mode the text stands on a box of its back colour.
    if (!(PfDraw.mode & DRAW_TRANSPARENT)) FillPlain(t, x, y, width, height, back);
    int cx = x, cy = y, w = width, h = height;
    if (!ClipRect(t, cx, cy, w, h)) return;
    Changed(t, cx, cy, w, h);
    int opacity = ColourOpacity(front);
    for (int row = 0; row < h; row++) {
        const uint8_t* cov = coverage.data() + size_t(cy - y + row) * size_t(width) + size_t(cx - x);
        uint32_t* to = t.pixels + size_t(cy + row) * size_t(t.width) + size_t(cx);
        for (int i = 0; i < w; i++) {
            if (cov[i]) BlendPixel(to + i, front, (cov[i] * opacity + 127) / 255);
        }
    }
}

void FillBox(int x, int y, int width, int height) { FillBox(x, y, width, height, PfDraw.front); }

// In gradient mode the gradient fills the box whatever colour is passed. A fill
// over a whole sprite with nothing see-through in it (one opaque colour, or a
// gradient between opaque colours) makes the sprite that fill alone: nothing of
// what was there needs making first, and the fill is all it keeps.
void FillBox(int x, int y, int width, int height, uint32_t colour) {
    const bool sprite = (PfDraw.output & ~int64_t(0xFFFFFFFF)) == kSpriteOutput;
    PfSprite* whole = sprite ? PfTableGet(PfVideo.sprites, int(uint32_t(PfDraw.output & 0xFFFFFFFF))) : nullptr;
    if (whole && x <= 0 && y <= 0 && int64_t(x) + width >= whole->width && int64_t(y) + height >= whole->height) {
        if (!(PfDraw.mode & DRAW_GRADIENT) && ColourOpacity(colour) >= 255) {
            const uint32_t filled = (colour & 0xFFFFFF) | 0xFF000000u;
            if (whole->held) std::fill(whole->pixels.begin(), whole->pixels.end(), filled);
            PfSpriteFilled(*whole, filled);
            return;
        }
        PfGradient gradient = CurrentGradient();
        const bool opaque = std::all_of(gradient.stops.begin(), gradient.stops.end(),
                                        [](const PfGradientStop& stop) { return stop.opacity >= 255; });
        if ((PfDraw.mode & DRAW_GRADIENT) && opaque) {
            if (whole->held) {
                PfPaintGradient(gradient, whole->pixels.data(), whole->width, 0, 0, whole->width, whole->height);
            }
            PfSpriteGradientFilled(*whole, std::make_shared<const PfGradient>(std::move(gradient)));
            return;
        }
    }
    Target t;
    if (!CurrentTarget(t)) return;
    if (PfDraw.mode & DRAW_GRADIENT) {
        FillGradient(t, x, y, width, height);
    } else {
        FillPlain(t, x, y, width, height, colour);
    }
}

void LinearGradient(int x1, int y1, int x2, int y2) {
    PfDraw.gradX1 = x1;
    PfDraw.gradY1 = y1;
    PfDraw.gradX2 = x2;
    PfDraw.gradY2 = y2;
}

void GradientColor(double position, uint32_t colour) { PfDraw.gradStops.emplace_back(position, colour); }

void ResetGradientColors() { PfDraw.gradStops.clear(); }

// A copy of the source is made only when it is the output itself.
static void DrawSourceOn(const Target& t, const std::vector<uint32_t>& pixels, int width, int height, int x, int y,
                         bool sourceIsOutput) {
    if (sourceIsOutput) {
        std::vector<uint32_t> copy = pixels;
        DrawPixelsOn(t, copy.data(), width, height, x, y);
        return;
    }
    DrawPixelsOn(t, pixels.data(), width, height, x, y);
}

void DrawImageOn(int image, int x, int y) {
    PfImage* source = PfTableGet(PfVideo.images, image);
    Target t;
    if (!source || !CurrentTarget(t)) return;
    DrawSourceOn(t, source->pixels, source->width, source->height, x, y, DrawingOnto(kImageOutput, image));
}

// A sprite source gives its pixels up again afterwards where it can make them again.
void DrawSpriteOn(int sprite, int x, int y) {
    PfSprite* source = PfTableGet(PfVideo.sprites, sprite);
    Target t;
    if (!source || !CurrentTarget(t)) return;
    const bool sourceIsOutput = DrawingOnto(kSpriteOutput, sprite);
    // The output holds its pixels while drawn on; any other sprite makes them now.
    const std::vector<uint32_t>& pixels = sourceIsOutput ? source->pixels : PfSpritePixels(*source);
    DrawSourceOn(t, pixels, source->width, source->height, x, y, sourceIsOutput);
    if (!sourceIsOutput) PfSpriteLetGo(*source);
}

// Draws onto a sprite made by a fill, without making all of its pixels: only the
// rectangle drawn over is made, drawn on and kept as one more patch. False when
// the output is not such a sprite or the patches would grow past half of it.
static bool DrawOnFillPatch(int x, int y, int width, int height, const uint32_t* source) {
    if ((PfDraw.output & ~int64_t(0xFFFFFFFF)) != kSpriteOutput) return false;
    PfSprite* sprite = PfTableGet(PfVideo.sprites, int(uint32_t(PfDraw.output & 0xFFFFFFFF)));
    if (!sprite || !PfSpriteIsFill(*sprite)) return false;
    Target whole = {nullptr, sprite->width, sprite->height, nullptr};
    PfRect area = {x, y, width, height};
    if (!ClipRect(whole, area.x, area.y, area.width, area.height)) return true;  // nothing of it lands
    std::vector<uint32_t> pixels(size_t(area.width) * size_t(area.height));
    if (!PfSpriteFillArea(*sprite, area, pixels.data())) return false;
    Target part = {pixels.data(), area.width, area.height, nullptr};
    DrawPixelsOn(part, source, width, height, x - area.x, y - area.y);
    PfSpriteAddPatch(*sprite, area, std::move(pixels));
    return true;
}

void DrawShownSpriteOn(int sprite, int x, int y) {
    PfSprite* source = PfTableGet(PfVideo.sprites, sprite);
    if (!source || source->displayWidth <= 0 || source->displayHeight <= 0) return;
    if (!PfSpriteResampled(*source) &&
        (source->displayWidth != source->width || source->displayHeight != source->height)) {
        return;  // too large to resample here; the screen scales it on drawing
    }
    if (!DrawingOnto(kSpriteOutput, sprite) &&
        DrawOnFillPatch(x, y, source->displayWidth, source->displayHeight, PfShownPixels(*source).data())) {
        PfSpriteLetGo(*source);
        return;
    }
    Target t;
    if (!CurrentTarget(t)) return;
    if (DrawingOnto(kSpriteOutput, sprite)) {
        std::vector<uint32_t> pixels = PfShownPixels(*source);
        DrawPixelsOn(t, pixels.data(), source->displayWidth, source->displayHeight, x, y);
        return;
    }
    DrawPixelsOn(t, PfShownPixels(*source).data(), source->displayWidth, source->displayHeight, x, y);
    PfSpriteLetGo(*source);
}
