// play_keys.cpp: playing without a mouse: tray pieces taken, moved over the board, placed and put back by keys and gamepad.
//
// A piece carried by the keys is not on the pointer: its origin sits on a board
// cell, the keyboard cursor, and it only ever stands on an origin where the
// whole piece lies inside the board. Placing it goes through the same rules as
// a mouse drop; a refused placement keeps it carried where it is. Nothing shows
// whether it would fit: the player finds out by trying, as with the mouse.
//
// The mouse always wins: any movement of it, or a press, puts a key-carried
// piece back in its slot before the mouse does anything, and the keys do
// nothing while the mouse carries a piece. So one frame with both never leaves
// two pieces carried or a slot empty with its piece gone.
#include "core/state.h"
#include "play/play.h"
#include "board.h"
#include "platform.h"

PointerWatch Pointer;

namespace {

// Keys act once, when they come up (as Escape does), except the moves, which
// repeat while held.
constexpr int TakeKeys[TraySlots][2] = {{KEY_1, KEY_PAD_1}, {KEY_2, KEY_PAD_2}, {KEY_3, KEY_PAD_3}};
constexpr int PlaceKeys[] = {KEY_RETURN, KEY_PAD_ENTER, KEY_SPACE, KEY_GAMEPAD_A};
constexpr int BackKeys[] = {KEY_BACKSPACE, KEY_GAMEPAD_B};

bool AnyReleased(const int* keys, int count) {
    bool any = false;
    for (int i = 0; i < count; ++i) any = KeyReleased(keys[i]) || any;
    return any;
}

// An arrow and its gamepad direction typed in one frame still make one step.
bool Typed(int key, int padKey) { return KeyTyped(key) || KeyTyped(padKey); }

// The next tray slot after `from` (step +1) or before it (step -1), wrapping,
// that holds a piece; `from` itself comes last. -1 when the tray is empty.
int FilledSlotFrom(int from, int step) {
    for (int n = 1; n <= TraySlots; ++n) {
        const int k = ((from + step * n) % TraySlots + TraySlots) % TraySlots;
        if (Tray.Slots[k].piece > 0) return k;
    }
    return -1;
}

// Takes slot k's piece onto the board's centre, putting a carried one back first.
void TakeWithKeys(int k) {
    // As for the mouse, nothing is taken while the last clearing fades.
    if (Tray.Slots[k].piece <= 0 || Effects.EffectActive) return;
    PutKeyPieceBack();
    const int shape = TakeFromTray(k);
    if (shape == 0) return;
    Play.KeyCarried = 1;
    Play.KeyShape = shape;
    Play.KeySlot = k;
    Play.KeyColumn = (Board.Columns - ShapeWidth(shape)) / 2;
    Play.KeyRow = (BoardRows - ShapeHeight(shape)) / 2;
}

// One step on the board, held inside the piece's valid origins.
void MoveWithKeys(int dx, int dy) {
    const int lastColumn = Board.Columns - ShapeWidth(Play.KeyShape);
    const int lastRow = BoardRows - ShapeHeight(Play.KeyShape);
    const int column = Play.KeyColumn + dx;
    const int row = Play.KeyRow + dy;
    if (column >= 0 && column <= lastColumn) Play.KeyColumn = column;
    if (row >= 0 && row <= lastRow) Play.KeyRow = row;
}

void PlaceWithKeys() {
    const int shape = Play.KeyShape;
    const int slot = Play.KeySlot;
    Play.KeyCarried = 0;
    // Every sound, score, refill and end-of-move test as for a mouse drop.
    if (PlacePiece(Play.KeyColumn, Play.KeyRow, shape, slot) < 0) {
        // Refused: the failure sound plays, and the piece stays on the cursor,
        // so the player can move it on; its slot shows the empty square again.
        TakeFromTray(slot);
        Play.KeyCarried = 1;
    }
    HandleBoardEvents();
}

}  // namespace

void PutKeyPieceBack() {
    if (!Play.KeyCarried) return;
    Play.KeyCarried = 0;
    ReturnToTray(Play.KeySlot);
}

void NoticeMouse() {
    const bool fullScreen = App.Settings.GameScreen == ScreenFullscreen;
    const int x = PointerX();
    const int y = PointerY();
    // Any button: the right and middle ones do nothing else in the game, but
    // the player pressing one has taken up the mouse.
    int buttons = 0;
    for (int b = MOUSE_LEFT; b <= MOUSE_MIDDLE; ++b) buttons |= MouseButton(b) ? 1 << b : 0;
    const bool moved = x != Pointer.LastX || y != Pointer.LastY;
    const bool pressed = (buttons & ~Pointer.LastButtons) != 0;
    Pointer.LastX = x;
    Pointer.LastY = y;
    Pointer.LastButtons = buttons;
    if (moved) Pointer.Hidden = 0;
    if ((moved || pressed) && App.ScreenState == StatePlaying) PutKeyPieceBack();
    // A full screen draws the pointer image itself and leaves it out while hidden.
    if (!fullScreen) ShowWindowCursor(0, !Pointer.Hidden);
}

void HandleCarryKeys() {
    if (App.ScreenState != StatePlaying || !GameVars.GameRunning) return;
    // The mouse carries a piece (or, in full screen, holds its button down): it has the game.
    if (Play.Dragging) return;
    if (App.Settings.GameScreen == ScreenFullscreen && MouseButton(MOUSE_LEFT)) return;

    bool used = false;
    // Take: a slot's number (its own number again puts the piece back), or the
    // shoulders for the previous or next slot that holds a piece.
    for (int k = 0; k < TraySlots; ++k) {
        if (!AnyReleased(TakeKeys[k], 2)) continue;
        used = true;
        if (Play.KeyCarried && Play.KeySlot == k) {
            PutKeyPieceBack();
        } else {
            TakeWithKeys(k);
        }
    }
    for (int step : {-1, +1}) {
        if (!KeyReleased(step < 0 ? KEY_GAMEPAD_LEFT_SHOULDER : KEY_GAMEPAD_RIGHT_SHOULDER)) continue;
        used = true;
        // With nothing carried, left starts from past the last slot and right before the first.
        const int from = Play.KeyCarried ? Play.KeySlot : (step < 0 ? TraySlots : -1);
        const int k = FilledSlotFrom(from, step);
        if (k >= 0 && !(Play.KeyCarried && k == Play.KeySlot)) TakeWithKeys(k);
    }
    const int dx = int(Typed(KEY_RIGHT, KEY_GAMEPAD_RIGHT)) - int(Typed(KEY_LEFT, KEY_GAMEPAD_LEFT));
    const int dy = int(Typed(KEY_DOWN, KEY_GAMEPAD_DOWN)) - int(Typed(KEY_UP, KEY_GAMEPAD_UP));
    if (dx != 0 || dy != 0) {
        used = true;
        if (Play.KeyCarried) MoveWithKeys(dx, dy);
    }
    if (AnyReleased(PlaceKeys, 4)) {
        used = true;
        if (Play.KeyCarried) PlaceWithKeys();
    }
    if (AnyReleased(BackKeys, 2)) {
        used = true;
        PutKeyPieceBack();
    }
    if (used) Pointer.Hidden = 1;
}
