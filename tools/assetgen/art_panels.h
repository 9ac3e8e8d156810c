// art_panels.h: menu panel pictures and button templates.
#pragma once

#include "image_core.h"

// Pixels closer than this to a panel's edge belong to its ornamental border; all
// others are exactly the panel colour and opaque (texts are drawn there).
inline constexpr int kPanelInteriorInset = 90;

// A panel of the given size; `studColour` picks the gem colour of its corner studs.
Image PanelImage(int width, int height, int studColour);
// A fully transparent button template.
Image TemplateImage(int width, int height);
