// menu_render.h: drawing steps every panel builder shares: the panel copy, centred texts, button images.
#pragma once

#include <cstdint>
#include <string>

// Frees the panel image, makes it a fresh copy of the template at the template's
// stored size and starts drawing on it. False when the copy or the drawing fails.
bool StartPanel(int panel, int templateImage);
// The panel's title: centred, 110 pixels from the top of the artwork, in the
// title colour on the panel colour.
void DrawPanelTitle(int font, const std::string& text);
// One line centred on the panel being drawn on, opaque on the panel colour.
void DrawCentredPanelText(int font, int y, const std::string& text, uint32_t colour);
// One button image: a copy of the template with the label drawn at (x, 0) in the
// font and colour, with a transparent background and blended, then scaled to
// width x height.
void RenderButtonImage(int number, int templateImage, int font, const std::string& label, int x,
                       uint32_t colour, int width, int height);
