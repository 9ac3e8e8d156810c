// play_test_util.h: driving a game as the player does: pressing on tray slots, carrying pieces, releasing over cells.
#pragma once

#include <string>

#include "core/state.h"
#include "play/play.h"
#include "app/spine.h"
#include "board.h"
#include "display/assets.h"
#include "display/display.h"
#include "harness.h"
#include "platform.h"

namespace playtest {

inline int SlotCentreX(int slot) { return (PlayLayout.TrayRect[slot].x1 + PlayLayout.TrayRect[slot].x2) / 2; }
inline int SlotCentreY(int slot) { return (PlayLayout.TrayRect[slot].y1 + PlayLayout.TrayRect[slot].y2) / 2; }

// Pointer to (x, y) and the left button down, one frame.
inline void PressAt(int x, int y) {
    PfInjectMouseMove(x, y);
    PfInjectMouseButton(MOUSE_LEFT, 1);
    RunOneFrame();
}

inline void MoveTo(int x, int y) {
    PfInjectMouseMove(x, y);
    RunOneFrame();
}

inline void ReleaseAt(int x, int y) {
    PfInjectMouseMove(x, y);
    PfInjectMouseButton(MOUSE_LEFT, 0);
    RunOneFrame();
}

// Where the pointer must be so that the carried image's top-left corner lies
// on the corner of cell (column, row) plus (dx, dy).
inline int PointerXFor(int shape, int column, int dx = 0) {
    return CellAt(column, 0).x + dx + SpriteWidth(Assets.Shape[shape]) / 2;
}
inline int PointerYFor(int shape, int row, int dy = 0) {
    return CellAt(0, row).y + dy + SpriteHeight(Assets.Shape[shape]) / 2;
}

// Picks the piece of `slot` up and releases it with its corner on cell (column, row).
inline void DragToCell(int slot, int column, int row) {
    const int shape = Tray.Slots[slot].piece;
    PressAt(SlotCentreX(slot), SlotCentreY(slot));
    MoveTo(PointerXFor(shape, column), PointerYFor(shape, row));
    ReleaseAt(PointerXFor(shape, column), PointerYFor(shape, row));
}

// Runs frames until no clear effect is fading (at most a second's worth).
inline void RunUntilEffectEnds() {
    for (int i = 0; i < 60 && Effects.EffectActive; ++i) RunOneFrame();
}

// Puts a piece into a tray slot as the supply would.
inline void GiveSlot(int slot, int shape) {
    Tray.Slots[slot].piece = shape;
    Tray.Slots[slot].image = BoardImages.Tray[shape];
}

// Fills one board cell with a gem of a colour as a placement would.
inline void FillCell(int column, int row, int colour) {
    CellAt(column, row).image = BoardImages.Gem[colour];
    CellAt(column, row).colour = colour;
}

// Harness options for a game on a screen of the given size and mode.
inline HarnessOptions ScreenOptions(int gameScreen, int width, int height) {
    HarnessOptions options;
    options.gameScreen = gameScreen;
    options.desktopWidth = width;
    options.desktopHeight = height;
    return options;
}

// The frame drawn so far, grabbed into an image and saved as a bitmap.
inline bool SaveFrame(const std::string& path) {
    const int image = GrabScreenImage(PF_ANY, 0, 0, ScreenWidth(), ScreenHeight());
    const bool saved = image != 0 && SaveImageBmp(image, path) != 0;
    if (image != 0) FreeImage(image);
    return saved;
}

}  // namespace playtest

namespace playtest {

// The last row made full but for its last cell, which slot 0's single gem then
// completes through a real drag: the row is cleared and its effect starts.
inline void ClearTheLastRowByHand() {
    for (int i = 0; i < Board.LastColumn; ++i) FillCell(i, BoardRows - 1, 1 + i % 11);
    GiveSlot(0, 1);
    DragToCell(0, Board.LastColumn, BoardRows - 1);
}

// One screen pixel's colour channels.
struct Rgb {
    int r, g, b;
};
inline Rgb PixelAt(int x, int y) {
    const uint32_t p = ScreenPixel(x, y);
    return {ColourRed(p), ColourGreen(p), ColourBlue(p)};
}
inline int Brightness(const Rgb& c) { return c.r + c.g + c.b; }

// What a sprite shows at one of its pixels, at its display size.
inline uint32_t ShownPixel(int sprite, int x, int y) {
    const int image = CreateImage(PF_ANY, SpriteWidth(sprite), SpriteHeight(sprite));
    uint32_t pixel = 0;
    if (image != 0 && StartDrawing(ImageOutput(image))) {
        DrawShownSpriteOn(sprite, 0, 0);
        StopDrawing();
        pixel = ImagePixel(image, x, y);
    }
    if (image != 0) FreeImage(image);
    return pixel;
}

}  // namespace playtest
