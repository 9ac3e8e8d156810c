// art_metalwork.h: the play screen's metalwork pictures (rails, corners, status bar caps, menu button) and pointer.
#pragma once

#include "image_core.h"

// Where a rail sits relative to what it frames; its inner edge faces that way.
enum class RailSide { AboveBoard, BelowBoard, LeftOfBoard, RightOfBoard };

// The rail's cross-section: t runs from the outer edge (0) to the framed edge (1);
// `inward` is the picture direction from outer to inner edge (for the lighting).
Colour RailColour(float t, Vec2 inward);
// A rail whose detail is uniform along its length, so any stretch along it looks right.
Image RailImage(RailSide side, int length, int thickness);
// A corner ornament: outer corner at the left/right and top/bottom as asked.
Image CornerOrnament(bool right, bool bottom, int size);
// A status bar end piece centred on a cell border; `right` for the cell's right end.
Image StatusCap(bool right, int width, int height);
// The status bar's round menu button, opaque.
Image MenuButtonImage(int size, bool hovered);
// The translucent layer that darkens the play screen under a panel.
Image ShadowImage(int size);
// A gold arrow with a gem, its tip at the top-left corner (the hot spot), `size` square.
Image PointerImage(int size);
