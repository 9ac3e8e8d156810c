// input_events_test.cpp: keyboard snapshots, polled mouse, the window event queue and the pointer in a window.
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
