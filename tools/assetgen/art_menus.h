// art_menus.h: the menu screens' pictures: panels, button templates, game logo, studio splash.
#pragma once

#include "image_core.h"

// Pixels closer than this to a panel's edge belong to its ornamental border; all
// others are exactly the panel colour and opaque (texts are drawn there).
inline constexpr int kPanelInteriorInset = 90;

// A panel of the given size; `studColour` picks the gem colour of its corner studs.
Image PanelImage(int width, int height, int studColour);
// A fully transparent button template.
Image TemplateImage(int width, int height);

// "PRISMORIA" in faceted prismatic letters on transparency, `width` pixels wide.
Image GameLogoImage(int width);
// The studio splash for a full screen of the given size, opaque.
Image StudioSplashImage(int width, int height);
// The application icon: four gems in their wells framed in gold, `size` pixels
// square, on transparency.
Image AppIconImage(int size);
