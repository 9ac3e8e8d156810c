// menu_keys.cpp: the keyboard and game controller on the menu screens: moving the highlight, activating, Escape's twins.
//
// The highlight is the hovered button the pointer also sets, shown through the
// same hover setters, so a highlighted button looks exactly like a hovered one.
// A key that moves or uses it takes it from the pointer until the pointer moves.

#include "core/state.h"
#include "menus/menus.h"
#include "platform.h"

namespace {

// Keys that activate the highlighted button.
constexpr int ActivateKeys[4] = {KEY_RETURN, KEY_PAD_ENTER, KEY_SPACE, KEY_GAMEPAD_A};

bool ShiftHeld() { return KeyPushed(KEY_LEFT_SHIFT) || KeyPushed(KEY_RIGHT_SHIFT); }

// True on the frame a key went down, never on its repeats: a press begun on
// another screen (a piece placed with Return that ended the game, say) does
// not act on this one when it repeats.
bool FreshActivatePress() {
    bool fresh = false;
    for (int key : ActivateKeys) fresh = KeyPressed(key) || fresh;
    return fresh;
}

void TakeHighlight() {
    Menus.KeyHoldsHighlight = 1;
    Menus.KeyPointerX = PointerX();
    Menus.KeyPointerY = PointerY();
}

void Highlight(const MenuScreenRef& screen, int button) {
    TakeHighlight();
    if (*screen.hover != button) {
        *screen.hover = button;
        screen.setHover(button);
    }
}

// One step through the buttons in their order, wrapping; from none to the
// first (forward) or the last (back).
void MoveHighlight(const MenuScreenRef& screen, int step) {
    const int current = *screen.hover;
    int next;
    if (current < 1 || current > screen.count) {
        next = step > 0 ? 1 : screen.count;
    } else {
        next = (current - 1 + step + screen.count) % screen.count + 1;
    }
    Highlight(screen, next);
}

bool Typed(int key, int gamepadKey) { return KeyTyped(key) || KeyTyped(gamepadKey); }

// Left (-1) or Right (+1) where the screen gives them a meaning.
MenuKeyAction Sideways(int screenState, const MenuScreenRef& screen, int side) {
    const int current = *screen.hover;
    if (screenState == StateQuitConfirm || screenState == StateInGameQuit) {
        Highlight(screen, side < 0 ? 1 : 2);  // YES stands left, NO right
        return MenuKeyNone;
    }
    if (screenState != StateSettings || current == 0) {
        return MenuKeyNone;
    }
    if (current >= 6) {
        Highlight(screen, side < 0 ? 6 : 7);  // OK left, CANCEL right
        return MenuKeyNone;
    }
    TakeHighlight();
    // A row's value: Right steps it as a click does, Left the other way round.
    return side > 0 ? MenuKeyClick : MenuKeyStepBack;
}

}  // namespace

MenuKeyAction HandleMenuKeys(int screenState) {
    const bool activate = FreshActivatePress();
    MenuScreenRef screen = MenuScreenFor(screenState);
    if (screen.count == 0) {
        return MenuKeyNone;
    }
    if (Typed(KEY_DOWN, KEY_GAMEPAD_DOWN)) MoveHighlight(screen, +1);
    if (Typed(KEY_UP, KEY_GAMEPAD_UP)) MoveHighlight(screen, -1);
    if (KeyTyped(KEY_TAB)) MoveHighlight(screen, ShiftHeld() ? -1 : +1);
    if (Typed(KEY_LEFT, KEY_GAMEPAD_LEFT)) {
        const MenuKeyAction action = Sideways(screenState, screen, -1);
        if (action != MenuKeyNone) return action;
    }
    if (Typed(KEY_RIGHT, KEY_GAMEPAD_RIGHT)) {
        const MenuKeyAction action = Sideways(screenState, screen, +1);
        if (action != MenuKeyNone) return action;
    }
    if (activate && *screen.hover > 0) {
        TakeHighlight();  // the next screen starts with nothing highlighted, wherever the pointer rests
        return MenuKeyClick;
    }
    return MenuKeyNone;
}

bool BackKeyReleased(int screenState) {
    if (KeyReleased(KEY_ESCAPE) || KeyReleased(KEY_GAMEPAD_START)) return true;
    return screenState != StatePlaying && KeyReleased(KEY_GAMEPAD_B);
}

void ReleaseKeyHighlight() { Menus.KeyHoldsHighlight = 0; }
