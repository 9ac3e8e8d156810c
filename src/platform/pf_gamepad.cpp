// pf_gamepad.cpp: game controllers, opened as they come and go, holding the gamepad key codes like keys.
//
// Every connected controller acts at once. A code is down while at least one
// controller holds it, so one controller letting go does not release a button
// another still holds. Each controller holds a direction through its D-pad or its
// left stick; both feed the same code.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "pf_video_internal.h"

namespace {

constexpr int kPadKeyCount = KEY_GAMEPAD_RIGHT_SHOULDER - KEY_GAMEPAD_UP + 1;

// The stick holds a direction once pushed half-way and lets it go only when back
// under three eighths: a worn stick resting near one threshold does not chatter.
constexpr int kStickPress = 16384;
constexpr int kStickRelease = 12288;

struct Pad {
    SDL_GameController* controller = nullptr;
    SDL_JoystickID id = -1;
    bool button[kPadKeyCount] = {};  // held through a button (the D-pad included)
    bool stick[kPadKeyCount] = {};   // held through the left stick (directions only)
    bool Holds(int slot) const { return button[slot] || stick[slot]; }
};

struct GamepadState {
    bool up = false;
    bool refuseNextStart = false;
    std::vector<Pad> pads;
    int holders[kPadKeyCount] = {};  // how many controllers hold each code
    // Virtual controllers plugged in by tests (slot + 1 is the handle), and
    // whether the joystick layer was started for them alone.
    std::vector<SDL_Joystick*> virtualPads;
    bool joystickStartedForVirtual = false;
};

GamepadState Gamepads;

int SlotOf(int key) { return key - KEY_GAMEPAD_UP; }

int KeyFromButton(int button) {
    switch (button) {
        case SDL_CONTROLLER_BUTTON_DPAD_UP: return KEY_GAMEPAD_UP;
        case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return KEY_GAMEPAD_DOWN;
        case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return KEY_GAMEPAD_LEFT;
        case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return KEY_GAMEPAD_RIGHT;
        case SDL_CONTROLLER_BUTTON_A: return KEY_GAMEPAD_A;
        case SDL_CONTROLLER_BUTTON_B: return KEY_GAMEPAD_B;
        case SDL_CONTROLLER_BUTTON_START: return KEY_GAMEPAD_START;
        case SDL_CONTROLLER_BUTTON_LEFTSHOULDER: return KEY_GAMEPAD_LEFT_SHOULDER;
        case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER: return KEY_GAMEPAD_RIGHT_SHOULDER;
        default: return KEY_NONE;  // buttons the game does not use
    }
}

Pad* FindPad(SDL_JoystickID id) {
    for (Pad& pad : Gamepads.pads) {
        if (pad.id == id) return &pad;
    }
    return nullptr;
}

// Sets one source (button or stick) of one code on one controller; the key state
// changes only when the first controller takes the code or the last lets it go.
// A code let go by a controller that is gone (`played` false) comes up without
// a release: nobody let go of it, and it must not act.
void Hold(Pad& pad, int key, bool viaStick, bool down, bool played = true) {
    int slot = SlotOf(key);
    bool before = pad.Holds(slot);
    (viaStick ? pad.stick : pad.button)[slot] = down;
    bool after = pad.Holds(slot);
    if (before == after) return;
    int& holders = Gamepads.holders[slot];
    holders += after ? 1 : -1;
    if (holders != (after ? 1 : 0)) return;
    if (after || played) {
        PfApplyKey(key, after);
    } else {
        PfLetGoKey(key);
    }
}

// One stick axis: the negative and the positive direction it can hold.
void StickAxis(Pad& pad, int value, int negativeKey, int positiveKey, bool played) {
    // A held direction keeps to the lower threshold, a free one needs the higher.
    auto past = [&](int key) { return pad.stick[SlotOf(key)] ? kStickRelease : kStickPress; };
    Hold(pad, negativeKey, true, value <= -past(negativeKey), played);
    Hold(pad, positiveKey, true, value >= past(positiveKey), played);
}

// SDL lets go of an unplugged controller's buttons and centres its sticks just
// before it reports the removal; by the time those events are read the
// controller is no longer attached.
bool StillPlugged(const Pad& pad) { return SDL_GameControllerGetAttached(pad.controller) == SDL_TRUE; }

void OpenPad(int deviceIndex) {
    SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(deviceIndex);
    // A controller already open is not opened again: each opening is matched
    // by exactly one closing when it goes.
    if (id < 0 || FindPad(id)) return;
    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    if (!controller) return;
    Pad pad;
    pad.controller = controller;
    pad.id = id;
    Gamepads.pads.push_back(pad);
}

// A controller unplugged lets go of everything it held, silently: nothing stays
// pressed after it is gone, and nothing acts as if its player had let go (a
// carried piece placed, a menu opened). SDL normally reports its buttons let go
// just before the removal; whatever it left out is let go here.
void ClosePad(SDL_JoystickID id) {
    Pad* pad = FindPad(id);
    if (!pad) return;
    for (int slot = 0; slot < kPadKeyCount; slot++) {
        Hold(*pad, KEY_GAMEPAD_UP + slot, false, false, false);
        Hold(*pad, KEY_GAMEPAD_UP + slot, true, false, false);
    }
    SDL_GameControllerClose(pad->controller);
    Gamepads.pads.erase(Gamepads.pads.begin() + (pad - Gamepads.pads.data()));
}

}  // namespace

void PfStartGamepads() {
    if (Gamepads.up) return;
    bool refused = Gamepads.refuseNextStart;
    Gamepads.refuseNextStart = false;
    // SDL drops controller presses while none of the program's windows has the
    // keyboard focus (they are meant for another program then). Without a
    // desktop no window ever has it, so the headless backend takes them always.
    if (PfIsHeadless()) {
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    } else {
        SDL_ResetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS);
    }
    if (refused) SDL_SetError("refused for a test");
    if (refused || SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        // Keyboard and mouse work on without controllers.
        std::fprintf(stderr, "Game controllers unavailable: %s\n", SDL_GetError());
        return;
    }
    Gamepads.up = true;
}

bool PfGamepadEvent(const SDL_Event& e) {
    if (!Gamepads.up) return false;
    switch (e.type) {
        case SDL_CONTROLLERDEVICEADDED: OpenPad(e.cdevice.which); return true;
        case SDL_CONTROLLERDEVICEREMOVED: ClosePad(e.cdevice.which); return true;
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP: {
            Pad* pad = FindPad(e.cbutton.which);
            int key = KeyFromButton(e.cbutton.button);
            if (pad && key != KEY_NONE) Hold(*pad, key, false, e.type == SDL_CONTROLLERBUTTONDOWN, StillPlugged(*pad));
            return true;
        }
        case SDL_CONTROLLERAXISMOTION: {
            Pad* pad = FindPad(e.caxis.which);
            if (!pad) return true;
            // SDL's vertical axes grow downwards.
            if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX) {
                StickAxis(*pad, e.caxis.value, KEY_GAMEPAD_LEFT, KEY_GAMEPAD_RIGHT, StillPlugged(*pad));
            } else if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY) {
                StickAxis(*pad, e.caxis.value, KEY_GAMEPAD_UP, KEY_GAMEPAD_DOWN, StillPlugged(*pad));
            }
            return true;
        }
        default: return false;
    }
}

void PfGamepadsShutdown() {
    for (SDL_Joystick* joystick : Gamepads.virtualPads) {
        if (joystick) SDL_JoystickClose(joystick);
    }
    for (Pad& pad : Gamepads.pads) SDL_GameControllerClose(pad.controller);
    if (Gamepads.up) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    if (Gamepads.joystickStartedForVirtual) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    // The key state is reset with the rest of the input; a refusal asked for
    // the next start still holds.
    bool refuse = Gamepads.refuseNextStart;
    Gamepads = GamepadState();
    Gamepads.refuseNextStart = refuse;
}

// ---------------------------------------------------------------------------
// Test hooks: virtual controllers through SDL's own joystick layer

void PfRefuseNextGamepadStart() { Gamepads.refuseNextStart = true; }

int PfAttachVirtualPad() {
    if (!SDL_WasInit(SDL_INIT_JOYSTICK)) {
        if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) return 0;
        Gamepads.joystickStartedForVirtual = true;
    }
    SDL_VirtualJoystickDesc desc;
    SDL_zero(desc);
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    // Typed as a game controller with every standard button and axis, so SDL
    // maps it itself, button n to the standard layout's button n.
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = PF_PAD_AXES;
    desc.nbuttons = PF_PAD_BUTTONS;
    desc.axis_mask = (1u << PF_PAD_AXES) - 1;
    desc.button_mask = (1u << PF_PAD_BUTTONS) - 1;
    desc.name = "Prismoria test pad";
    int deviceIndex = SDL_JoystickAttachVirtualEx(&desc);
    if (deviceIndex < 0) return 0;
    SDL_Joystick* joystick = SDL_JoystickOpen(deviceIndex);
    if (!joystick) return 0;
    Gamepads.virtualPads.push_back(joystick);
    return int(Gamepads.virtualPads.size());
}

static SDL_Joystick* VirtualPad(int pad) {
    if (pad < 1 || pad > int(Gamepads.virtualPads.size())) return nullptr;
    return Gamepads.virtualPads[size_t(pad - 1)];
}

void PfSetVirtualPadButton(int pad, int button, int down) {
    if (SDL_Joystick* joystick = VirtualPad(pad)) {
        SDL_JoystickSetVirtualButton(joystick, button, down ? SDL_PRESSED : SDL_RELEASED);
    }
}

void PfSetVirtualPadAxis(int pad, int axis, int value) {
    if (SDL_Joystick* joystick = VirtualPad(pad)) {
        SDL_JoystickSetVirtualAxis(joystick, axis, Sint16(std::clamp(value, -32768, 32767)));
    }
}

void PfDetachVirtualPad(int pad) {
    SDL_Joystick* joystick = VirtualPad(pad);
    if (!joystick) return;
    SDL_JoystickID id = SDL_JoystickInstanceID(joystick);
    SDL_JoystickClose(joystick);
    Gamepads.virtualPads[size_t(pad - 1)] = nullptr;
    for (int i = 0; i < SDL_NumJoysticks(); i++) {
        if (SDL_JoystickGetDeviceInstanceID(i) == id) {
            SDL_JoystickDetachVirtual(i);
            return;
        }
    }
}
