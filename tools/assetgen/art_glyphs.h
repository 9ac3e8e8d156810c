// art_glyphs.h: the generator's own stroke lettering (logo, studio name, review labels).
#pragma once

#include <string>
#include <vector>

#include "image_raster.h"

enum class GlyphStyle {
    Rounded,  // geometric lower case, digits and a few signs; capitals fall back to lower case
    Faceted,  // angular capitals for the game's name
};

struct TextLayout {
    std::vector<Segment> segments;  // picture coordinates
    float width = 0;                // advance of the whole line in pixels
};

// Lays out one line: `size` is the capital height in pixels, `origin` the start of the
// baseline, `tracking` extra space between letters as a share of `size`.
TextLayout LayoutText(const std::string& text, GlyphStyle style, float size, Vec2 origin,
                      float tracking = 0.12f);
float MeasureText(const std::string& text, GlyphStyle style, float size, float tracking = 0.12f);
// Strokes a line of text in one colour.
void DrawText(Image& img, const std::string& text, GlyphStyle style, float size, Vec2 origin,
              float halfWidth, Colour colour, float tracking = 0.12f);
