// pf_input.cpp: keyboard and mouse state and the window event queue, fed by SDL's events and by the test injections.
#include "pf_video_internal.h"

// Events nobody reads (a full screen never drains the queue) must not pile up.
constexpr size_t kMaxQueuedWindowEvents = 256;

void PfResetInput() { PfInput = PfInputState(); }

int PfKeyFromScancode(SDL_Scancode code) {
    if (code >= SDL_SCANCODE_A && code <= SDL_SCANCODE_Z) return KEY_A + (code - SDL_SCANCODE_A);
    if (code >= SDL_SCANCODE_1 && code <= SDL_SCANCODE_9) return KEY_1 + (code - SDL_SCANCODE_1);
    if (code >= SDL_SCANCODE_F1 && code <= SDL_SCANCODE_F12) return KEY_F1 + (code - SDL_SCANCODE_F1);
    switch (code) {
        case SDL_SCANCODE_0: return KEY_0;
        case SDL_SCANCODE_ESCAPE: return KEY_ESCAPE;
        case SDL_SCANCODE_RETURN: return KEY_RETURN;
        case SDL_SCANCODE_SPACE: return KEY_SPACE;
        case SDL_SCANCODE_BACKSPACE: return KEY_BACKSPACE;
        case SDL_SCANCODE_TAB: return KEY_TAB;
        case SDL_SCANCODE_LEFT: return KEY_LEFT;
        case SDL_SCANCODE_RIGHT: return KEY_RIGHT;
        case SDL_SCANCODE_UP: return KEY_UP;
        case SDL_SCANCODE_DOWN: return KEY_DOWN;
        case SDL_SCANCODE_KP_PLUS: return KEY_PAD_PLUS;
        case SDL_SCANCODE_KP_MINUS: return KEY_PAD_MINUS;
        case SDL_SCANCODE_KP_ENTER: return KEY_PAD_ENTER;
        case SDL_SCANCODE_KP_1: return KEY_PAD_1;
        case SDL_SCANCODE_KP_2: return KEY_PAD_2;
        case SDL_SCANCODE_KP_3: return KEY_PAD_3;
        case SDL_SCANCODE_LSHIFT: return KEY_LEFT_SHIFT;
        case SDL_SCANCODE_RSHIFT: return KEY_RIGHT_SHIFT;
        case SDL_SCANCODE_LCTRL: return KEY_LEFT_CONTROL;
        case SDL_SCANCODE_RCTRL: return KEY_RIGHT_CONTROL;
        case SDL_SCANCODE_LALT: return KEY_LEFT_ALT;
        case SDL_SCANCODE_RALT: return KEY_RIGHT_ALT;
        default: return KEY_NONE;
    }
}

// ---------------------------------------------------------------------------
// The one path every input takes, from SDL or from a test.

// Auto-repeat of a held key, in snapshots (one a frame): about 250 ms, then 80 ms.
constexpr int kFirstRepeat = 15;
constexpr int kRepeatEvery = 5;

static bool ValidKey(int key) { return key > KEY_NONE && key < KEY_COUNT; }
static bool ValidButton(int button) { return button >= MOUSE_LEFT && button <= MOUSE_MIDDLE; }

static void QueueWindowEvent(int event) {
    if (PfInput.windowEvents.size() >= kMaxQueuedWindowEvents) PfInput.windowEvents.pop_front();
    PfInput.windowEvents.push_back({event, PfInput.mouseX, PfInput.mouseY, PfInput.mouseInside});
}

void PfApplyKey(int key, bool down) {
    if (!ValidKey(key)) return;
    // A handful pending is plenty; a stuck stream of events cannot pile up more.
    constexpr int kMostPending = 8;
    int& released = PfInput.keyReleasedPending[key];
    int& pressed = PfInput.keyPressedPending[key];
    if (PfInput.keyDown[key] && !down && released < kMostPending) ++released;
    if (!PfInput.keyDown[key] && down && pressed < kMostPending) ++pressed;
    PfInput.keyDown[key] = down;
}

void PfLetGoKey(int key) {
    if (!ValidKey(key) || !PfInput.keyDown[key]) return;
    PfInput.keyDown[key] = false;
    // No release is counted, so none is left for a forgetting to swallow either.
    PfInput.keyReleaseForgotten[key] = false;
}

void PfApplyMouseMove(int x, int y) {
    PfInput.mouseX = x;
    PfInput.mouseY = y;
    int width, height;
    PfPointerArea(width, height);
    PfInput.mouseInside = width <= 0 || (x >= 0 && y >= 0 && x < width && y < height);
}

void PfApplyMouseButton(int button, bool down) {
    if (!ValidButton(button)) return;
    bool was = PfInput.buttonDown[button];
    PfInput.buttonDown[button] = down;
    if (down && !was) PfInput.buttonPressedPending[button] = true;
    if (button != MOUSE_LEFT || was == down) return;
    if (down) {
        QueueWindowEvent(WEV_LEFT_DOWN);
    } else {
        QueueWindowEvent(WEV_LEFT_UP);
        // A click is a release inside the client area, announced after the release itself.
        if (PfInput.mouseInside) QueueWindowEvent(WEV_LEFT_CLICK);
    }
}

void PfApplyMouseLeave() { PfInput.mouseInside = false; }

void PfApplyWindowEvent(int event) {
    switch (event) {
        case WEV_MINIMISED: PfInput.minimised = true; break;
        case WEV_RESTORED: PfInput.minimised = false; break;
        case WEV_ACTIVATED: PfInput.focused = true; break;
        case WEV_DEACTIVATED: PfInput.focused = false; break;
        case WEV_CLOSE:
        case WEV_REPAINT: break;
        default: return;  // not a window event
    }
    QueueWindowEvent(event);
}

// ---------------------------------------------------------------------------
// SDL's events

// Focus and minimising matter only for the window the screen is drawn in (any
// window while there is no screen): a second window taking the focus means the
// game's own window lost it.
static bool AboutScreenWindow(const SDL_WindowEvent& e) {
    return !PfVideo.screenWindow || e.windowID == SDL_GetWindowID(PfVideo.screenWindow);
}

static void HandleWindowEvent(const SDL_WindowEvent& e) {
    switch (e.event) {
        case SDL_WINDOWEVENT_MINIMIZED:
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_FOCUS_GAINED:
        case SDL_WINDOWEVENT_FOCUS_LOST:
            if (!AboutScreenWindow(e)) return;
            break;
        default: break;
    }
    switch (e.event) {
        case SDL_WINDOWEVENT_MINIMIZED: PfApplyWindowEvent(WEV_MINIMISED); break;
        case SDL_WINDOWEVENT_RESTORED: PfApplyWindowEvent(WEV_RESTORED); break;
        case SDL_WINDOWEVENT_FOCUS_GAINED: PfApplyWindowEvent(WEV_ACTIVATED); break;
        case SDL_WINDOWEVENT_FOCUS_LOST: PfApplyWindowEvent(WEV_DEACTIVATED); break;
        case SDL_WINDOWEVENT_CLOSE: PfApplyWindowEvent(WEV_CLOSE); break;
        case SDL_WINDOWEVENT_EXPOSED: PfApplyWindowEvent(WEV_REPAINT); break;
        case SDL_WINDOWEVENT_LEAVE: PfApplyMouseLeave(); break;
        case SDL_WINDOWEVENT_ENTER: {
            int x = 0, y = 0;
            SDL_GetMouseState(&x, &y);
            PfPointerToPixels(x, y);
            PfApplyMouseMove(x, y);
            break;
        }
        default: break;
    }
}

static int ButtonFromSdl(Uint8 button) {
    switch (button) {
        case SDL_BUTTON_LEFT: return MOUSE_LEFT;
        case SDL_BUTTON_RIGHT: return MOUSE_RIGHT;
        case SDL_BUTTON_MIDDLE: return MOUSE_MIDDLE;
        default: return 0;
    }
}

// SDL reports the pointer in window coordinates; the game works in the screen's pixels.
static void MoveFromSdl(int x, int y) {
    PfPointerToPixels(x, y);
    PfApplyMouseMove(x, y);
}

void PfPumpEvents() {
    if (!SDL_WasInit(SDL_INIT_EVENTS)) return;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        if (PfGamepadEvent(e)) continue;
        switch (e.type) {
            case SDL_KEYDOWN:
            case SDL_KEYUP:
                if (!e.key.repeat) PfApplyKey(PfKeyFromScancode(e.key.keysym.scancode), e.type == SDL_KEYDOWN);
                break;
            case SDL_MOUSEMOTION: MoveFromSdl(e.motion.x, e.motion.y); break;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP:
                MoveFromSdl(e.button.x, e.button.y);
                PfApplyMouseButton(ButtonFromSdl(e.button.button), e.type == SDL_MOUSEBUTTONDOWN);
                break;
            case SDL_WINDOWEVENT:
                HandleWindowEvent(e.window);
                PfHandleDeviceEvent(e);
                break;
            default: PfHandleDeviceEvent(e); break;
        }
    }
}

// ---------------------------------------------------------------------------
// Keyboard

void ReadKeyboard() {
    PfPumpEvents();
    for (int k = 0; k < KEY_COUNT; k++) {
        // A key pressed twice since the last snapshot shows its second press
        // (and release) in the next one.
        int& pressed = PfInput.keyPressedPending[k];
        int& released = PfInput.keyReleasedPending[k];
        PfInput.keySnapshotDown[k] = PfInput.keyDown[k];
        PfInput.keySnapshotReleased[k] = released > 0 && !PfInput.keyReleaseForgotten[k];
        if (released > 0) {
            --released;
            PfInput.keyReleaseForgotten[k] = false;
        }
        // Typed on the press (even one shorter than a frame), then repeated while held.
        int& held = PfInput.keyHeldSnapshots[k];
        PfInput.keySnapshotPressed[k] = pressed > 0;
        if (pressed > 0) {
            held = 0;
            PfInput.keySnapshotTyped[k] = true;
        } else if (PfInput.keySnapshotDown[k]) {
            ++held;
            PfInput.keySnapshotTyped[k] = held >= kFirstRepeat && (held - kFirstRepeat) % kRepeatEvery == 0;
        } else {
            held = 0;
            PfInput.keySnapshotTyped[k] = false;
        }
        if (pressed > 0) --pressed;
    }
}

void ForgetHeldKeys() {
    for (int k = 0; k < KEY_COUNT; k++) {
        if (PfInput.keySnapshotDown[k]) PfInput.keyReleaseForgotten[k] = true;
    }
}

int KeyPushed(int key) { return ValidKey(key) && PfInput.keySnapshotDown[key]; }
int KeyReleased(int key) { return ValidKey(key) && PfInput.keySnapshotReleased[key]; }
int KeyTyped(int key) { return ValidKey(key) && PfInput.keySnapshotTyped[key]; }
int KeyPressed(int key) { return ValidKey(key) && PfInput.keySnapshotPressed[key]; }

// ---------------------------------------------------------------------------
// Mouse

// A press shorter than a frame still shows in the next snapshot, so no click is lost.
void ReadMouse() {
    PfPumpEvents();
    PfInput.snapshotX = PfInput.mouseX;
    PfInput.snapshotY = PfInput.mouseY;
    for (int b = MOUSE_LEFT; b <= MOUSE_MIDDLE; b++) {
        PfInput.snapshotButton[b] = PfInput.buttonDown[b] || PfInput.buttonPressedPending[b];
        PfInput.buttonPressedPending[b] = false;
    }
    // A full screen takes the pointer back once it is active again after ReleaseMouse.
    if (PfInput.mouseReleased && PfVideo.fullscreen && PfVideo.screenWindow && !PfIsHeadless() &&
        !PfInput.minimised && PfInput.focused) {
        SDL_ShowCursor(SDL_DISABLE);
        SDL_SetWindowGrab(PfVideo.screenWindow, SDL_TRUE);
        PfInput.mouseReleased = false;
    }
}

int MouseX() { return PfInput.snapshotX; }
int MouseY() { return PfInput.snapshotY; }
int MouseButton(int button) { return ValidButton(button) && PfInput.snapshotButton[button]; }

void ReleaseMouse() {
    PfInput.mouseReleased = true;
    if (!PfVideo.videoUp || PfIsHeadless()) return;
    if (PfVideo.screenWindow) SDL_SetWindowGrab(PfVideo.screenWindow, SDL_FALSE);
    SDL_ShowCursor(SDL_ENABLE);
}

// On a real display the pointer is moved and its position comes back as an event;
// without one the layer moves its own pointer.
void SetMousePosition(int x, int y) {
    if (!PfIsHeadless()) {
        PfPixelsToPointer(x, y);
        if (PfVideo.screenWindow) SDL_WarpMouseInWindow(PfVideo.screenWindow, x, y);
        return;
    }
    PfApplyMouseMove(x, y);
}

// ---------------------------------------------------------------------------
// Window events and pointer position in a window

int PollWindowEvent() {
    if (PfInput.windowEvents.empty()) PfPumpEvents();
    if (PfInput.windowEvents.empty()) {
        PfInput.pointerFromEvent = false;
        return WEV_NONE;
    }
    PfInput.polled = PfInput.windowEvents.front();
    PfInput.windowEvents.pop_front();
    PfInput.pointerFromEvent = true;
    return PfInput.polled.event;
}

// The pointer in a window: where the window event being handled happened (a
// click or a drop acts there, not where the pointer has gone since), else
// where it is now.
static PfInputState::QueuedWindowEvent WindowPointer() {
    if (PfInput.pointerFromEvent) return PfInput.polled;
    return {WEV_NONE, PfInput.mouseX, PfInput.mouseY, PfInput.mouseInside};
}

int WindowMouseX(int window) {
    const auto at = WindowPointer();
    return PfTableGet(PfVideo.windows, window) && at.inside ? at.x : -1;
}

int WindowMouseY(int window) {
    const auto at = WindowPointer();
    return PfTableGet(PfVideo.windows, window) && at.inside ? at.y : -1;
}

// ---------------------------------------------------------------------------
// Test input

void PfInjectMouseMove(int x, int y) { PfApplyMouseMove(x, y); }
void PfInjectMouseButton(int button, int down) { PfApplyMouseButton(button, down != 0); }
void PfInjectKey(int key, int down) { PfApplyKey(key, down != 0); }
void PfInjectWindowEvent(int event) { PfApplyWindowEvent(event); }
void PfInjectMouseLeave() { PfApplyMouseLeave(); }
