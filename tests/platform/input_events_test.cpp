// input_events_test.cpp: keyboard snapshots, polled mouse, the window event queue and the pointer in a window.
#include <SDL.h>

#include <vector>

#include "video_test_support.h"

using InputTest = HeadlessVideo;

static std::vector<int> DrainWindowEvents() {
    std::vector<int> events;
    for (int e = PollWindowEvent(); e != WEV_NONE; e = PollWindowEvent()) events.push_back(e);
    return events;
}

TEST_F(InputTest, KeyReleasedIsReportedOnceAfterTheKeyWentUp) {
    PfInjectKey(KEY_F2, 1);
    ReadKeyboard();
    EXPECT_EQ(KeyPushed(KEY_F2), 1);
    EXPECT_EQ(KeyReleased(KEY_F2), 0);
    ReadKeyboard();  // still held
    EXPECT_EQ(KeyPushed(KEY_F2), 1);
    EXPECT_EQ(KeyReleased(KEY_F2), 0);
    PfInjectKey(KEY_F2, 0);
    ReadKeyboard();
    EXPECT_EQ(KeyPushed(KEY_F2), 0);
    EXPECT_EQ(KeyReleased(KEY_F2), 1);
    ReadKeyboard();
    EXPECT_EQ(KeyReleased(KEY_F2), 0) << "only once";
}

TEST_F(InputTest, AKeyTappedBetweenSnapshotsIsStillReleased) {
    ReadKeyboard();
    PfInjectKey(KEY_M, 1);
    PfInjectKey(KEY_M, 0);
    ReadKeyboard();
    EXPECT_EQ(KeyReleased(KEY_M), 1);
    EXPECT_EQ(KeyPushed(KEY_M), 0);
    ReadKeyboard();
    EXPECT_EQ(KeyReleased(KEY_M), 0);
    // Up, down and up again: one release in the snapshot.
    PfInjectKey(KEY_N, 1);
    ReadKeyboard();
    PfInjectKey(KEY_N, 0);
    PfInjectKey(KEY_N, 1);
    ReadKeyboard();
    EXPECT_EQ(KeyReleased(KEY_N), 1);
    EXPECT_EQ(KeyPushed(KEY_N), 1);
    // A key that was never down is never released, and odd keys are ignored.
    PfInjectKey(KEY_ESCAPE, 0);
    PfInjectKey(KEY_COUNT, 1);
    PfInjectKey(-3, 1);
    ReadKeyboard();
    EXPECT_EQ(KeyReleased(KEY_ESCAPE), 0);
    EXPECT_EQ(KeyPushed(KEY_COUNT), 0);
    EXPECT_EQ(KeyPushed(-3), 0);
}

// Every key the game reads, from the scancode SDL reports for it: a wrong entry
// in the key map would pass every test that injects the game's own key codes.
TEST_F(InputTest, EachKeyTheGameUsesComesFromItsScancode) {
    const struct {
        SDL_Scancode scancode;
        int key;
    } kKeys[] = {
        {SDL_SCANCODE_F2, KEY_F2}, {SDL_SCANCODE_M, KEY_M}, {SDL_SCANCODE_N, KEY_N}, {SDL_SCANCODE_ESCAPE, KEY_ESCAPE},
        {SDL_SCANCODE_RETURN, KEY_RETURN}, {SDL_SCANCODE_KP_ENTER, KEY_PAD_ENTER}, {SDL_SCANCODE_SPACE, KEY_SPACE},
        {SDL_SCANCODE_BACKSPACE, KEY_BACKSPACE}, {SDL_SCANCODE_TAB, KEY_TAB}, {SDL_SCANCODE_LSHIFT, KEY_LEFT_SHIFT},
        {SDL_SCANCODE_RSHIFT, KEY_RIGHT_SHIFT}, {SDL_SCANCODE_LEFT, KEY_LEFT}, {SDL_SCANCODE_RIGHT, KEY_RIGHT},
        {SDL_SCANCODE_UP, KEY_UP}, {SDL_SCANCODE_DOWN, KEY_DOWN}, {SDL_SCANCODE_1, KEY_1}, {SDL_SCANCODE_2, KEY_2},
        {SDL_SCANCODE_3, KEY_3}, {SDL_SCANCODE_KP_1, KEY_PAD_1}, {SDL_SCANCODE_KP_2, KEY_PAD_2},
        {SDL_SCANCODE_KP_3, KEY_PAD_3}, {SDL_SCANCODE_KP_PLUS, KEY_PAD_PLUS}, {SDL_SCANCODE_KP_MINUS, KEY_PAD_MINUS},
    };
    auto send = [](SDL_Scancode scancode, bool down) {
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.scancode = scancode;
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    };
    for (const auto& k : kKeys) {
        send(k.scancode, true);
        ReadKeyboard();
        for (int key = KEY_NONE + 1; key < KEY_COUNT; ++key) {
            EXPECT_EQ(KeyPushed(key), key == k.key) << SDL_GetScancodeName(k.scancode) << " held, key " << key;
        }
        send(k.scancode, false);
        ReadKeyboard();
        EXPECT_EQ(KeyReleased(k.key), 1) << SDL_GetScancodeName(k.scancode);
    }
}

TEST_F(InputTest, KeysAreIndependent) {
    PfInjectKey(KEY_PAD_PLUS, 1);
    PfInjectKey(KEY_PAD_MINUS, 1);
    PfInjectKey(KEY_PAD_MINUS, 0);
    ReadKeyboard();
    EXPECT_EQ(KeyPushed(KEY_PAD_PLUS), 1);
    EXPECT_EQ(KeyReleased(KEY_PAD_PLUS), 0);
    EXPECT_EQ(KeyReleased(KEY_PAD_MINUS), 1);
}

TEST_F(InputTest, KeyTypedOnThePressThenRepeatsAfterFifteenSnapshotsEveryFive) {
    // Held from snapshot 0: typed at 0, 15, 20, 25 and no other; then let go.
    PfInjectKey(KEY_DOWN, 1);
    std::vector<int> typedAt;
    for (int snapshot = 0; snapshot < 27; ++snapshot) {
        ReadKeyboard();
        if (KeyTyped(KEY_DOWN)) typedAt.push_back(snapshot);
    }
    EXPECT_EQ(typedAt, (std::vector<int>{0, 15, 20, 25}));
    PfInjectKey(KEY_DOWN, 0);
    ReadKeyboard();
    EXPECT_EQ(KeyTyped(KEY_DOWN), 0);
    // A press and release between two snapshots is typed once; a new press starts
    // the count again.
    PfInjectKey(KEY_DOWN, 1);
    PfInjectKey(KEY_DOWN, 0);
    ReadKeyboard();
    EXPECT_EQ(KeyTyped(KEY_DOWN), 1);
    ReadKeyboard();
    EXPECT_EQ(KeyTyped(KEY_DOWN), 0);
    // Three taps between two snapshots (a slow frame): typed and released in
    // three snapshots running, then no more.
    for (int tap = 0; tap < 3; ++tap) {
        PfInjectKey(KEY_LEFT, 1);
        PfInjectKey(KEY_LEFT, 0);
    }
    std::vector<int> taps;
    for (int snapshot = 0; snapshot < 5; ++snapshot) {
        ReadKeyboard();
        taps.push_back(KeyTyped(KEY_LEFT) * 10 + KeyReleased(KEY_LEFT));
    }
    EXPECT_EQ(taps, (std::vector<int>{11, 11, 11, 0, 0}));
    PfInjectKey(KEY_GAMEPAD_A, 1);
    for (int snapshot = 0; snapshot < 14; ++snapshot) ReadKeyboard();
    PfInjectKey(KEY_GAMEPAD_A, 0);
    PfInjectKey(KEY_GAMEPAD_A, 1);
    ReadKeyboard();
    EXPECT_EQ(KeyTyped(KEY_GAMEPAD_A), 1) << "released and pressed again: typed at once";
    ReadKeyboard();
    EXPECT_EQ(KeyTyped(KEY_GAMEPAD_A), 0) << "and the repeat counts from there";
}

TEST_F(InputTest, PolledMouseAndShortPresses) {
    OpenScreen();
    PfInjectMouseMove(100, 200);
    EXPECT_EQ(MouseX(), 0) << "polled: nothing changes before ReadMouse";
    ReadMouse();
    EXPECT_EQ(MouseX(), 100);
    EXPECT_EQ(MouseY(), 200);
    EXPECT_EQ(MouseButton(MOUSE_LEFT), 0);
    PfInjectMouseButton(MOUSE_LEFT, 1);
    ReadMouse();
    EXPECT_NE(MouseButton(MOUSE_LEFT), 0);
    ReadMouse();
    EXPECT_NE(MouseButton(MOUSE_LEFT), 0) << "held";
    PfInjectMouseButton(MOUSE_LEFT, 0);
    ReadMouse();
    EXPECT_EQ(MouseButton(MOUSE_LEFT), 0);
    // A press shorter than one frame is seen in the next snapshot, then gone.
    PfInjectMouseButton(MOUSE_RIGHT, 1);
    PfInjectMouseButton(MOUSE_RIGHT, 0);
    ReadMouse();
    EXPECT_NE(MouseButton(MOUSE_RIGHT), 0);
    ReadMouse();
    EXPECT_EQ(MouseButton(MOUSE_RIGHT), 0);
    EXPECT_EQ(MouseButton(0), 0);
    EXPECT_EQ(MouseButton(9), 0);
    SetMousePosition(320, 240);
    ReadMouse();
    EXPECT_EQ(MouseX(), 320);
    EXPECT_EQ(MouseY(), 240);
    ReleaseMouse();
}

TEST_F(InputTest, LeftButtonGivesDownUpThenClick) {
    ASSERT_EQ(OpenGameWindow(0, 0, 0, 320, 200, "w", WINDOW_CENTRED | WINDOW_BORDERLESS), 1);
    ASSERT_EQ(OpenWindowedScreen(0, 0, 0, 320, 200), 1);
    DrainWindowEvents();
    PfInjectMouseMove(50, 60);
    PfInjectMouseButton(MOUSE_LEFT, 1);
    PfInjectMouseButton(MOUSE_LEFT, 0);
    EXPECT_EQ(DrainWindowEvents(), (std::vector<int>{WEV_LEFT_DOWN, WEV_LEFT_UP, WEV_LEFT_CLICK}));
    // Other buttons make no window events.
    PfInjectMouseButton(MOUSE_RIGHT, 1);
    PfInjectMouseButton(MOUSE_RIGHT, 0);
    EXPECT_TRUE(DrainWindowEvents().empty());
    // Released outside the client area: no click.
    PfInjectMouseButton(MOUSE_LEFT, 1);
    PfInjectMouseMove(500, 60);
    PfInjectMouseButton(MOUSE_LEFT, 0);
    EXPECT_EQ(DrainWindowEvents(), (std::vector<int>{WEV_LEFT_DOWN, WEV_LEFT_UP}));
    // A repeated "up" is no new release.
    PfInjectMouseButton(MOUSE_LEFT, 0);
    EXPECT_TRUE(DrainWindowEvents().empty());
    // Pressed at (50, 60), released at (70, 80), then moved on before the events
    // are read (a slow frame): each event reads the pointer where it happened,
    // and the pointer is live again once the queue is empty.
    PfInjectMouseMove(50, 60);
    PfInjectMouseButton(MOUSE_LEFT, 1);
    PfInjectMouseMove(70, 80);
    PfInjectMouseButton(MOUSE_LEFT, 0);
    PfInjectMouseMove(300, 10);
    std::vector<int> seen;
    for (int e = PollWindowEvent(); e != WEV_NONE; e = PollWindowEvent()) {
        seen.insert(seen.end(), {e, WindowMouseX(0), WindowMouseY(0)});
    }
    EXPECT_EQ(seen, (std::vector<int>{WEV_LEFT_DOWN, 50, 60, WEV_LEFT_UP, 70, 80, WEV_LEFT_CLICK, 70, 80}));
    EXPECT_EQ(WindowMouseX(0), 300);
    EXPECT_EQ(WindowMouseY(0), 10);
}

TEST_F(InputTest, WindowEventsKeepTheirOrder) {
    PfInjectWindowEvent(WEV_DEACTIVATED);
    PfInjectWindowEvent(WEV_MINIMISED);
    PfInjectWindowEvent(WEV_RESTORED);
    PfInjectWindowEvent(WEV_ACTIVATED);
    PfInjectWindowEvent(WEV_REPAINT);
    PfInjectWindowEvent(WEV_CLOSE);
    PfInjectWindowEvent(WEV_LEFT_CLICK);  // not a window-state event: ignored
    PfInjectWindowEvent(99);
    EXPECT_EQ(DrainWindowEvents(), (std::vector<int>{WEV_DEACTIVATED, WEV_MINIMISED, WEV_RESTORED, WEV_ACTIVATED,
                                                     WEV_REPAINT, WEV_CLOSE}));
    EXPECT_EQ(PollWindowEvent(), WEV_NONE);
}

TEST_F(InputTest, UnreadEventsDoNotPileUp) {
    for (int i = 0; i < 1000; i++) PfInjectWindowEvent(WEV_REPAINT);
    PfInjectWindowEvent(WEV_CLOSE);
    std::vector<int> events = DrainWindowEvents();
    EXPECT_LE(events.size(), 256u);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back(), WEV_CLOSE) << "the newest events are kept";
}

TEST_F(InputTest, WindowMouseIsMinusOneOutsideTheClientArea) {
    ASSERT_EQ(OpenGameWindow(0, 0, 0, 320, 200, "w", WINDOW_CENTRED | WINDOW_TITLEBAR), 1);
    ASSERT_EQ(OpenWindowedScreen(0, 0, 0, 320, 200), 1);
    PfInjectMouseMove(10, 20);
    EXPECT_EQ(WindowMouseX(0), 10);
    EXPECT_EQ(WindowMouseY(0), 20);
    PfInjectMouseLeave();
    EXPECT_EQ(WindowMouseX(0), -1);
    EXPECT_EQ(WindowMouseY(0), -1);
    PfInjectMouseMove(319, 199);
    EXPECT_EQ(WindowMouseX(0), 319);
    PfInjectMouseMove(320, 100);
    EXPECT_EQ(WindowMouseX(0), -1);
    EXPECT_EQ(WindowMouseY(0), -1);
    EXPECT_EQ(WindowMouseX(5), -1) << "no such window";
}

TEST_F(InputTest, HeadlessWindowAnswersMinimiseAndActivate) {
    ASSERT_EQ(OpenGameWindow(0, 0, 0, 320, 200, "w", WINDOW_CENTRED | WINDOW_BORDERLESS), 1);
    ASSERT_EQ(OpenWindowedScreen(0, 0, 0, 320, 200), 1);
    DrainWindowEvents();
    EXPECT_EQ(IsScreenActive(), 1);
    MinimiseWindow(0);
    EXPECT_EQ(IsScreenActive(), 0);
    PfInjectWindowEvent(WEV_DEACTIVATED);
    ActivateWindow(0);
    EXPECT_EQ(IsScreenActive(), 1);
    EXPECT_EQ(DrainWindowEvents(),
              (std::vector<int>{WEV_MINIMISED, WEV_DEACTIVATED, WEV_RESTORED, WEV_ACTIVATED}));
    MinimiseWindow(3);
    ActivateWindow(3);
    EXPECT_TRUE(DrainWindowEvents().empty());
}

TEST_F(InputTest, WindowNumbersAndHandles) {
    int handle = OpenGameWindow(PF_ANY, 10, 10, 100, 100, "a", WINDOW_TITLEBAR | WINDOW_HIDDEN);
    EXPECT_GT(handle, 65535);
    EXPECT_EQ(IsGameWindow(handle), 1);
    ASSERT_EQ(OpenGameWindow(0, 0, 0, 100, 100, "b", WINDOW_CENTRED), 1);
    ASSERT_EQ(OpenGameWindow(0, 0, 0, 200, 100, "c", WINDOW_CENTRED), 1) << "replaces window 0";
    EXPECT_EQ(OpenGameWindow(1, 0, 0, 0, 100, "d", 0), 0);
    CloseGameWindow(handle);
    EXPECT_EQ(IsGameWindow(handle), 0);
    CloseGameWindow(handle);
    CloseGameWindow(42);
    EXPECT_EQ(IsGameWindow(0), 1);
}

// ---------------------------------------------------------------------------
// Game controllers, driven through virtual devices the system maps itself

static const int kPadCodes[] = {KEY_GAMEPAD_UP, KEY_GAMEPAD_DOWN, KEY_GAMEPAD_LEFT, KEY_GAMEPAD_RIGHT,
                                KEY_GAMEPAD_A, KEY_GAMEPAD_B, KEY_GAMEPAD_START,
                                KEY_GAMEPAD_LEFT_SHOULDER, KEY_GAMEPAD_RIGHT_SHOULDER};

// The gamepad codes down in the last snapshot, and those released in it.
static std::vector<int> PadCodesPushed() {
    std::vector<int> codes;
    for (int code : kPadCodes) {
        if (KeyPushed(code)) codes.push_back(code);
    }
    return codes;
}
static std::vector<int> PadCodesReleased() {
    std::vector<int> codes;
    for (int code : kPadCodes) {
        if (KeyReleased(code)) codes.push_back(code);
    }
    return codes;
}

// A virtual controller, picked up at the next snapshot.
static int PlugPad() {
    int pad = PfAttachVirtualPad();
    ReadKeyboard();
    return pad;
}

TEST_F(InputTest, EachControllerButtonHoldsItsCode) {
    const struct {
        int button;
        int code;  // KEY_NONE: a button the game does not use
    } kCases[] = {
        {PF_PAD_UP, KEY_GAMEPAD_UP},
        {PF_PAD_DOWN, KEY_GAMEPAD_DOWN},
        {PF_PAD_LEFT, KEY_GAMEPAD_LEFT},
        {PF_PAD_RIGHT, KEY_GAMEPAD_RIGHT},
        {PF_PAD_A, KEY_GAMEPAD_A},
        {PF_PAD_B, KEY_GAMEPAD_B},
        {PF_PAD_START, KEY_GAMEPAD_START},
        {PF_PAD_LEFT_SHOULDER, KEY_GAMEPAD_LEFT_SHOULDER},
        {PF_PAD_RIGHT_SHOULDER, KEY_GAMEPAD_RIGHT_SHOULDER},
        {PF_PAD_X, KEY_NONE},
        {PF_PAD_Y, KEY_NONE},
        {PF_PAD_BACK, KEY_NONE},
        {PF_PAD_GUIDE, KEY_NONE},
        {PF_PAD_LEFT_STICK, KEY_NONE},
        {PF_PAD_RIGHT_STICK, KEY_NONE},
    };
    OpenScreen();  // presses count with the game's window open (headless: never focused)
    int pad = PlugPad();
    ASSERT_NE(pad, 0);
    for (const auto& c : kCases) {
        std::vector<int> expected;
        if (c.code != KEY_NONE) expected.push_back(c.code);
        PfSetVirtualPadButton(pad, c.button, 1);
        ReadKeyboard();
        EXPECT_EQ(PadCodesPushed(), expected) << "button " << c.button << " held";
        if (c.code != KEY_NONE) {
            EXPECT_EQ(KeyTyped(c.code), 1) << "button " << c.button;
        }
        PfSetVirtualPadButton(pad, c.button, 0);
        ReadKeyboard();
        EXPECT_EQ(PadCodesPushed(), std::vector<int>{}) << "button " << c.button << " let go";
        EXPECT_EQ(PadCodesReleased(), expected) << "button " << c.button << " let go";
    }
}

TEST_F(InputTest, LeftStickHoldsDirectionsPastItsDeadZoneWithoutChatter) {
    // Held from 16384 on (half-way), let go under 12288 (three eighths).
    const struct {
        int axis, value;
        std::vector<int> down;
    } kSteps[] = {
        {PF_PAD_LEFT_X, 16383, {}},
        {PF_PAD_LEFT_X, 16384, {KEY_GAMEPAD_RIGHT}},
        {PF_PAD_LEFT_X, 12288, {KEY_GAMEPAD_RIGHT}},
        {PF_PAD_LEFT_X, 12287, {}},
        {PF_PAD_LEFT_X, 15000, {}},
        {PF_PAD_LEFT_X, -16384, {KEY_GAMEPAD_LEFT}},
        {PF_PAD_LEFT_Y, -32768, {KEY_GAMEPAD_UP, KEY_GAMEPAD_LEFT}},
        {PF_PAD_LEFT_Y, 32767, {KEY_GAMEPAD_DOWN, KEY_GAMEPAD_LEFT}},
        {PF_PAD_LEFT_X, -12287, {KEY_GAMEPAD_DOWN}},
        {PF_PAD_LEFT_Y, 0, {}},
        {PF_PAD_RIGHT_X, 32767, {}},
        {PF_PAD_RIGHT_Y, -32768, {}},
        {PF_PAD_LEFT_TRIGGER, 32767, {}},
    };
    int pad = PlugPad();
    ASSERT_NE(pad, 0);
    int step = 0;
    for (const auto& s : kSteps) {
        PfSetVirtualPadAxis(pad, s.axis, s.value);
        ReadKeyboard();
        EXPECT_EQ(PadCodesPushed(), s.down) << "step " << step;
        ++step;
    }
    // A stick trembling across the press threshold is one press, typed once.
    int typed = 0;
    for (int i = 0; i < 10; i++) {
        PfSetVirtualPadAxis(pad, PF_PAD_LEFT_Y, i % 2 ? 15000 : 17000);
        ReadKeyboard();
        typed += KeyTyped(KEY_GAMEPAD_DOWN);
    }
    EXPECT_EQ(typed, 1);
}

TEST_F(InputTest, ACodeStaysDownWhileAnyControllerOrSourceHoldsIt) {
    int first = PlugPad(), second = PlugPad();
    ASSERT_NE(first, 0);
    ASSERT_NE(second, 0);
    // Two controllers on A: one letting go releases nothing.
    PfSetVirtualPadButton(first, PF_PAD_A, 1);
    PfSetVirtualPadButton(second, PF_PAD_A, 1);
    ReadKeyboard();
    EXPECT_EQ(KeyPushed(KEY_GAMEPAD_A), 1);
    PfSetVirtualPadButton(first, PF_PAD_A, 0);
    ReadKeyboard();
    EXPECT_EQ(KeyPushed(KEY_GAMEPAD_A), 1);
    EXPECT_EQ(KeyReleased(KEY_GAMEPAD_A), 0);
    PfSetVirtualPadButton(second, PF_PAD_A, 0);
    ReadKeyboard();
    EXPECT_EQ(KeyReleased(KEY_GAMEPAD_A), 1);
    // One controller's D-pad and stick on the same direction, and the second's
    // D-pad: up only when all three let go.
    PfSetVirtualPadButton(first, PF_PAD_UP, 1);
    PfSetVirtualPadAxis(first, PF_PAD_LEFT_Y, -32768);
    PfSetVirtualPadButton(second, PF_PAD_UP, 1);
    ReadKeyboard();
    PfSetVirtualPadButton(first, PF_PAD_UP, 0);
    PfSetVirtualPadButton(second, PF_PAD_UP, 0);
    ReadKeyboard();
    EXPECT_EQ(PadCodesPushed(), std::vector<int>{KEY_GAMEPAD_UP}) << "the stick still holds it";
    PfSetVirtualPadAxis(first, PF_PAD_LEFT_Y, 0);
    ReadKeyboard();
    EXPECT_EQ(PadCodesPushed(), std::vector<int>{});
    EXPECT_EQ(PadCodesReleased(), std::vector<int>{KEY_GAMEPAD_UP});
}

TEST_F(InputTest, AControllerUnpluggedWhileHoldingLeavesOnlyWhatOthersHold) {
    int first = PlugPad(), second = PlugPad();
    ASSERT_NE(first, 0);
    ASSERT_NE(second, 0);
    PfSetVirtualPadButton(first, PF_PAD_A, 1);
    PfSetVirtualPadButton(first, PF_PAD_LEFT_SHOULDER, 1);
    PfSetVirtualPadAxis(first, PF_PAD_LEFT_X, 32767);
    PfSetVirtualPadButton(second, PF_PAD_A, 1);
    ReadKeyboard();
    EXPECT_EQ(PadCodesPushed(), (std::vector<int>{KEY_GAMEPAD_RIGHT, KEY_GAMEPAD_A, KEY_GAMEPAD_LEFT_SHOULDER}));
    // What an unplugged controller held comes up without a release: nobody let
    // go of it, so it must not act (a carried piece placed, a menu opened).
    PfDetachVirtualPad(first);
    ReadKeyboard();
    EXPECT_EQ(PadCodesPushed(), std::vector<int>{KEY_GAMEPAD_A}) << "the second controller still holds A";
    EXPECT_EQ(PadCodesReleased(), std::vector<int>{});
    PfDetachVirtualPad(second);
    ReadKeyboard();
    EXPECT_EQ(PadCodesPushed(), std::vector<int>{});
    EXPECT_EQ(PadCodesReleased(), std::vector<int>{});
    // Plugged in again while running: it acts at once.
    int again = PlugPad();
    PfSetVirtualPadButton(again, PF_PAD_B, 1);
    ReadKeyboard();
    EXPECT_EQ(PadCodesPushed(), std::vector<int>{KEY_GAMEPAD_B});
}

TEST_F(InputTest, AControllerPresentAtStartActsAndAMissingSubsystemIsNoFailure) {
    // Plugged in before the layer starts: picked up with the others.
    PfShutdown();
    int pad = PfAttachVirtualPad();
    ASSERT_NE(pad, 0);
    ASSERT_EQ(InitKeyboard(), 1);
    ReadKeyboard();
    PfSetVirtualPadButton(pad, PF_PAD_START, 1);
    ReadKeyboard();
    EXPECT_EQ(PadCodesPushed(), std::vector<int>{KEY_GAMEPAD_START});
    PfSetVirtualPadButton(pad, PF_PAD_START, 0);
    ReadKeyboard();
    EXPECT_EQ(PadCodesPushed(), std::vector<int>{});
    // Without the controller subsystem the keyboard starts and works; controllers do nothing.
    PfShutdown();
    PfRefuseNextGamepadStart();
    ASSERT_EQ(InitKeyboard(), 1);
    pad = PlugPad();
    ASSERT_NE(pad, 0);
    PfSetVirtualPadButton(pad, PF_PAD_A, 1);
    PfInjectKey(KEY_RETURN, 1);
    ReadKeyboard();
    EXPECT_EQ(PadCodesPushed(), std::vector<int>{});
    EXPECT_EQ(KeyPushed(KEY_RETURN), 1);
}
