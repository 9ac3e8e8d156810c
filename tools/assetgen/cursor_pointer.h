// cursor_pointer.h: the mouse pointer picture and the window cursor file built from it.
#pragma once

#include <cstdint>
#include <vector>

#include "image_core.h"

// A gold arrow with a gem, its tip at the top-left corner (the hot spot), `size` square.
Image PointerImage(int size);
// A Windows .cur file holding one 32-bit image of `image` (at most 256 square) with
// its AND mask, hot spot at (hotX, hotY).
std::vector<uint8_t> BuildCursorFile(const Image& image, int hotX, int hotY);
