// window_events_test.cpp: a real window on an X server — activation, pointer, clicks, keys, focus and frame pacing.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;

class RealWindow : public ::testing::Test {
protected:
    std::vector<int> events;  // every window event seen so far, in order

    void SetUp() override {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X server (run under xvfb-run)";
        PfShutdown();
        PfSelectBackend(PF_BACKEND_SYSTEM);
        ASSERT_EQ(InitSprite(), 1);
        ASSERT_EQ(InitKeyboard(), 1);
        ASSERT_EQ(InitMouse(), 1);
        ASSERT_EQ(OpenGameWindow(0, 0, 0, kWidth, kHeight, "Prismoria window test", WINDOW_CENTRED | WINDOW_TITLEBAR),
                  1);
        ASSERT_EQ(OpenWindowedScreen(0, 0, 0, kWidth, kHeight), 1);
        ActivateWindow(0);
        ASSERT_TRUE(WaitFor([] { return IsScreenActive() == 1; }))
            << "the window never got the focus; events: " << ::testing::PrintToString(events);
    }
    void TearDown() override { PfShutdown(); }

    void Drain() {
        for (int e = PollWindowEvent(); e != WEV_NONE; e = PollWindowEvent()) events.push_back(e);
    }

    // Pumps events until the condition holds or three seconds have passed.
    bool WaitFor(const std::function<bool()>& condition) {
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (std::chrono::steady_clock::now() < end) {
            Drain();
            if (condition()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        Drain();
        return condition();
    }

    bool Seen(int event) const { return std::find(events.begin(), events.end(), event) != events.end(); }

    static void Xdotool(const std::string& args) {
        std::string command = "xdotool " + args + " >/dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
};

TEST_F(RealWindow, BecomesActiveAndDrawsItsScreen) {
    EXPECT_TRUE(Seen(WEV_ACTIVATED));
    EXPECT_EQ(ScreenWidth(), kWidth);
    ClearFrame(RGB(12, 34, 56));
    EXPECT_EQ(ScreenPixel(kWidth - 1, kHeight - 1), RGBA(12, 34, 56, 255));
    FlipFrame();
}

TEST_F(RealWindow, PointerPositionFollowsTheSystemPointer) {
    // The window is centred on the 1920 x 1080 screen: its middle is the screen's.
    Xdotool("mousemove 960 540");
    EXPECT_TRUE(WaitFor([] { return WindowMouseX(0) == kWidth / 2 && WindowMouseY(0) == kHeight / 2; }))
        << WindowMouseX(0) << "," << WindowMouseY(0);
    Xdotool("mousemove 5 5");
    EXPECT_TRUE(WaitFor([] { return WindowMouseX(0) == -1 && WindowMouseY(0) == -1; }))
        << WindowMouseX(0) << "," << WindowMouseY(0);
    // The layer's own warp comes back the same way.
    SetMousePosition(100, 120);
    EXPECT_TRUE(WaitFor([] { return WindowMouseX(0) == 100 && WindowMouseY(0) == 120; }))
        << WindowMouseX(0) << "," << WindowMouseY(0);
    ReadMouse();
    EXPECT_EQ(MouseX(), 100);
    EXPECT_EQ(MouseY(), 120);
}

TEST_F(RealWindow, ClickGivesDownUpThenClick) {
    Xdotool("mousemove 900 500");
    ASSERT_TRUE(WaitFor([] { return WindowMouseX(0) >= 0; }));
    events.clear();
    Xdotool("click 1");
    ASSERT_TRUE(WaitFor([&] { return Seen(WEV_LEFT_CLICK); }));
    std::vector<int> buttons;
    for (int e : events) {
        if (e == WEV_LEFT_DOWN || e == WEV_LEFT_UP || e == WEV_LEFT_CLICK) buttons.push_back(e);
    }
    EXPECT_EQ(buttons, (std::vector<int>{WEV_LEFT_DOWN, WEV_LEFT_UP, WEV_LEFT_CLICK}));
}

TEST_F(RealWindow, KeyReleaseArrivesOnce) {
    ReadKeyboard();
    Xdotool("key F2");
    EXPECT_TRUE(WaitFor([] {
        ReadKeyboard();
        return KeyReleased(KEY_F2) == 1;
    }));
    ReadKeyboard();
    EXPECT_EQ(KeyReleased(KEY_F2), 0);
    Xdotool("keydown m");
    EXPECT_TRUE(WaitFor([] {
        ReadKeyboard();
        return KeyPushed(KEY_M) == 1;
    }));
    Xdotool("keyup m");
    EXPECT_TRUE(WaitFor([] {
        ReadKeyboard();
        return KeyReleased(KEY_M) == 1 && KeyPushed(KEY_M) == 0;
    }));
}

TEST_F(RealWindow, AnotherWindowTakingTheFocusDeactivates) {
    ASSERT_EQ(OpenGameWindow(1, 0, 0, 200, 100, "other", WINDOW_TITLEBAR), 1);
    events.clear();
    ActivateWindow(1);
    EXPECT_TRUE(WaitFor([] { return IsScreenActive() == 0; }));
    EXPECT_TRUE(Seen(WEV_DEACTIVATED));
    EXPECT_FALSE(Seen(WEV_ACTIVATED)) << "the other window's focus is not the game's";
    events.clear();
    ActivateWindow(0);
    EXPECT_TRUE(WaitFor([] { return IsScreenActive() == 1; }));
    EXPECT_TRUE(Seen(WEV_ACTIVATED));
}

// Without a window manager (plain Xvfb) nobody iconifies a window, so the
// minimise may not be observable; when it is, it must read as inactive.
TEST_F(RealWindow, MinimiseWhereTheDesktopSupportsIt) {
    events.clear();
    MinimiseWindow(0);
    if (!WaitFor([&] { return Seen(WEV_MINIMISED); })) {
        GTEST_SKIP() << "no window manager iconified the window";
    }
    EXPECT_EQ(IsScreenActive(), 0);
    ActivateWindow(0);
    EXPECT_TRUE(WaitFor([&] { return Seen(WEV_RESTORED) && IsScreenActive() == 1; }));
}

TEST_F(RealWindow, FlipFrameSleepsToHoldSixtyFrames) {
    SetFrameRate(60);
    timespec cpuStart{}, cpuEnd{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpuStart);
    auto wallStart = std::chrono::steady_clock::now();
    for (int frame = 0; frame < 60; frame++) {
        ClearFrame(RGB(frame * 4, 0, 0));
        FlipFrame();
    }
    double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpuEnd);
    double cpu = double(cpuEnd.tv_sec - cpuStart.tv_sec) + double(cpuEnd.tv_nsec - cpuStart.tv_nsec) / 1e9;
    std::printf("60 frames: %.3f s wall, %.3f s processor\n", wall, cpu);
    EXPECT_GE(wall, 0.9) << "more than 60 frames per second";
    EXPECT_LT(cpu, wall * 0.5) << "the wait must sleep, not spin";
}

// True when an OpenGL library or driver is mapped into this process.
bool OpenGlLoaded() {
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        for (const char* name : {"libGL", "libEGL", "_dri.so"}) {
            if (line.find(name) != std::string::npos) return true;
        }
    }
    return false;
}

// With the software renderer named in the environment, a window and its screen
// draw without OpenGL ever being loaded. Run in a fresh process (a death-test
// child started anew), since the cases above load OpenGL into this one.
TEST(RealWindowSoftwareRenderer, NamedInTheEnvironmentLoadsNoOpenGl) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X server (run under xvfb-run)";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("SDL_RENDER_DRIVER", "software", 1);
            PfShutdown();
            PfSelectBackend(PF_BACKEND_SYSTEM);
            bool drawn = InitSprite() == 1 &&
                         OpenGameWindow(0, 0, 0, 64, 48, "software", WINDOW_CENTRED | WINDOW_TITLEBAR) == 1 &&
                         OpenWindowedScreen(0, 0, 0, 64, 48) == 1;
            ClearFrame(RGB(1, 2, 3));
            drawn = drawn && ScreenPixel(63, 47) == RGBA(1, 2, 3, 255);
            FlipFrame();
            std::exit(!drawn ? 2 : OpenGlLoaded() ? 3 : 0);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
