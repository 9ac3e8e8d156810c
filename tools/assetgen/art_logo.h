// art_logo.h: the game's title logo and the studio splash screens.
#pragma once

#include "image_core.h"

// "PRISMORIA" in faceted prismatic letters on transparency, `width` pixels wide.
Image GameLogoImage(int width);
// The studio splash for a full screen of the given size, opaque.
Image StudioSplashImage(int width, int height);
