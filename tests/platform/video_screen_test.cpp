// video_screen_test.cpp: the headless screen — opening, clearing, reading back, activity, capture to BMP, desktop facts.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "pf_internal.h"
#include "video_test_support.h"

using ScreenTest = HeadlessVideo;

TEST_F(ScreenTest, OpensAtTheRequestedSizeAndReadsBackTheClearColour) {
    EXPECT_EQ(IsGameScreenOpen(), 0);
    EXPECT_EQ(ScreenPixel(0, 0), 0u);  // nothing to read without a screen
    OpenScreen();
    EXPECT_EQ(IsGameScreenOpen(), 1);
    EXPECT_EQ(ScreenWidth(), 640);
    EXPECT_EQ(ScreenHeight(), 480);
    ClearFrame(RGB(10, 20, 30));
    EXPECT_EQ(ScreenPixel(0, 0), RGBA(10, 20, 30, 255));
    EXPECT_EQ(ScreenPixel(639, 479), RGBA(10, 20, 30, 255));
    EXPECT_EQ(ScreenPixel(640, 0), 0u);
    EXPECT_EQ(ScreenPixel(-1, 0), 0u);
    FlipFrame();
    CloseGameScreen();
    EXPECT_EQ(IsGameScreenOpen(), 0);
    EXPECT_EQ(ScreenWidth(), 0);
    CloseGameScreen();  // twice is harmless
}

TEST_F(ScreenTest, ClearsOneAreaOfTheFrame) {
    OpenScreen();
    ClearFrame(RGB(10, 20, 30));
    ClearFrameArea(100, 50, 20, 10, RGB(200, 100, 0));
    EXPECT_EQ(ScreenPixel(100, 50), RGBA(200, 100, 0, 255));
    EXPECT_EQ(ScreenPixel(119, 59), RGBA(200, 100, 0, 255));
    EXPECT_EQ(ScreenPixel(99, 50), RGBA(10, 20, 30, 255));
    EXPECT_EQ(ScreenPixel(120, 50), RGBA(10, 20, 30, 255));
    EXPECT_EQ(ScreenPixel(100, 60), RGBA(10, 20, 30, 255));
    EXPECT_EQ(ScreenPixel(100, 49), RGBA(10, 20, 30, 255));
    // Partly off the screen: the part on it is cleared, nothing else.
    ClearFrameArea(630, 470, 50, 50, RGB(0, 0, 255));
    EXPECT_EQ(ScreenPixel(639, 479), RGBA(0, 0, 255, 255));
    EXPECT_EQ(ScreenPixel(629, 479), RGBA(10, 20, 30, 255));
    ClearFrameArea(0, 0, 0, 5, RGB(255, 255, 255));  // empty: nothing
    EXPECT_EQ(ScreenPixel(0, 0), RGBA(10, 20, 30, 255));
}

// The headless screen draws with the software renderer and never loads OpenGL.
TEST_F(ScreenTest, HeadlessScreenLoadsNoOpenGl) {
    OpenScreen();
    ASSERT_EQ(SolidSprite(1, 8, 8, RGBA(9, 8, 7, 255)), 1);
    DrawSprite(1, 0, 0);
    FlipFrame();
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        for (const char* name : {"libGL", "libEGL", "_dri.so"}) EXPECT_EQ(line.find(name), std::string::npos) << line;
    }
}

TEST(SoftwareOpenGl, TellsCpuRasterisersFromGraphicsCards) {
    EXPECT_TRUE(PfIsSoftwareOpenGl("llvmpipe (LLVM 15.0.6, 256 bits)"));
    EXPECT_TRUE(PfIsSoftwareOpenGl("softpipe"));
    EXPECT_TRUE(PfIsSoftwareOpenGl("Mesa DRI Software Rasterizer"));
    EXPECT_FALSE(PfIsSoftwareOpenGl("AMD Radeon RX 6600 (radeonsi, navi23, LLVM 15.0.6, DRM 3.49)"));
    EXPECT_FALSE(PfIsSoftwareOpenGl("NVIDIA GeForce GTX 1060 6GB/PCIe/SSE2"));
    EXPECT_FALSE(PfIsSoftwareOpenGl("Mesa Intel(R) UHD Graphics 620 (KBL GT2)"));
    EXPECT_FALSE(PfIsSoftwareOpenGl(""));
    EXPECT_FALSE(PfIsSoftwareOpenGl(nullptr));
}

// Wayland before X11 only where a Wayland display is named and the user chose no driver.
TEST(VideoDriverChoice, WaylandFirstOnlyOnAWaylandSessionWithoutTheUsersOwnChoice) {
    struct Case {
        const char* userDriver;
        const char* waylandDisplay;
        bool wayland;
    };
    for (const Case c : {Case{nullptr, "wayland-0", true}, Case{"", "wayland-1", true}, Case{"x11", "wayland-0", false},
                         Case{"wayland", "wayland-0", false}, Case{nullptr, nullptr, false}, Case{nullptr, "", false}}) {
        EXPECT_EQ(PfPreferWayland(c.userDriver, c.waylandDisplay), c.wayland)
            << (c.userDriver ? c.userDriver : "(unset)") << " / " << (c.waylandDisplay ? c.waylandDisplay : "(unset)");
    }
}

// Pointer coordinates of a window on a scaled output become the screen's real pixels.
TEST(RealPixels, WindowCoordinatesScaleToTheDrawablesPixels) {
    struct Case {
        int coordinate, windowSize, pixelSize, pixel;
    };
    for (const Case c : {Case{640, 1280, 2560, 1280}, Case{1279, 1280, 2560, 2558}, Case{641, 1280, 1920, 961},
                         Case{359, 720, 1080, 538}, Case{500, 1280, 1280, 500}, Case{-1, 1280, 2560, -2},
                         Case{300, 0, 2560, 300}}) {
        EXPECT_EQ(PfWindowToPixels(c.coordinate, c.windowSize, c.pixelSize), c.pixel)
            << c.coordinate << " of " << c.windowSize << " in " << c.pixelSize;
    }
}

TEST_F(ScreenTest, RejectsEmptySizes) {
    EXPECT_EQ(OpenGameScreen(0, 480, 32, "t", 1), 0);
    EXPECT_EQ(OpenGameScreen(640, -1, 32, "t", 1), 0);
    EXPECT_EQ(OpenWindowedScreen(3, 0, 0, 640, 480), 0);  // no such window
}

TEST_F(ScreenTest, WindowedScreenFillsTheWindow) {
    ASSERT_EQ(OpenGameWindow(0, 0, 0, 320, 200, "w", WINDOW_CENTRED | WINDOW_TITLEBAR), 1);
    ASSERT_EQ(OpenWindowedScreen(0, 0, 0, 320, 200), 1);
    EXPECT_EQ(ScreenWidth(), 320);
    ClearFrame(RGB(1, 2, 3));
    EXPECT_EQ(ScreenPixel(319, 199), RGBA(1, 2, 3, 255));
    // Closing the window takes its screen with it.
    CloseGameWindow(0);
    EXPECT_EQ(IsGameWindow(0), 0);
    EXPECT_EQ(IsGameScreenOpen(), 0);
}

TEST_F(ScreenTest, HeadlessScreenIsActiveUntilToldOtherwise) {
    OpenScreen();
    EXPECT_EQ(IsScreenActive(), 1);
    PfInjectWindowEvent(WEV_MINIMISED);
    EXPECT_EQ(IsScreenActive(), 0);
    PfInjectWindowEvent(WEV_RESTORED);
    EXPECT_EQ(IsScreenActive(), 1);
    PfInjectWindowEvent(WEV_DEACTIVATED);
    EXPECT_EQ(IsScreenActive(), 0);
    PfInjectWindowEvent(WEV_MINIMISED);
    PfInjectWindowEvent(WEV_ACTIVATED);
    EXPECT_EQ(IsScreenActive(), 0) << "still minimised";
    PfInjectWindowEvent(WEV_RESTORED);
    EXPECT_EQ(IsScreenActive(), 1);
}

TEST_F(ScreenTest, GrabbedScreenIsSavedAsABitmap) {
    OpenScreen();
    ClearFrame(RGB(200, 100, 50));
    int image = GrabScreenImage(PF_ANY, 0, 0, 3, 2);
    ASSERT_NE(image, 0);
    EXPECT_EQ(ImageWidth(image), 3);
    EXPECT_EQ(ImageHeight(image), 2);
    EXPECT_EQ(ImagePixel(image, 2, 1), RGBA(200, 100, 50, 255));
    EXPECT_EQ(GrabScreenImage(PF_ANY, 600, 0, 50, 10), 0) << "beyond the right edge";

    std::string path = TestTmpPath("video_grab.bmp");
    ASSERT_EQ(SaveImageBmp(image, path), 1);
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // 54-byte header, then two rows of 3 pixels padded from 9 to 12 bytes.
    ASSERT_EQ(bytes.size(), 54u + 24u);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(uint8_t(bytes[18]), 3);   // width
    EXPECT_EQ(uint8_t(bytes[22]), 2);   // height
    EXPECT_EQ(uint8_t(bytes[28]), 24);  // bits per pixel
    EXPECT_EQ(uint8_t(bytes[54]), 50);  // blue first
    EXPECT_EQ(uint8_t(bytes[55]), 100);
    EXPECT_EQ(uint8_t(bytes[56]), 200);
    std::remove(path.c_str());

    EXPECT_EQ(SaveImageBmp(image, "/nonexistent-folder/x.bmp"), 0);
    EXPECT_EQ(SaveImageBmp(12345, path), 0);
}

TEST_F(ScreenTest, DesktopFactsFollowTheHeadlessHook) {
    EXPECT_GE(MonitorCount(), 1);
    EXPECT_EQ(DesktopWidth(0), 640);
    EXPECT_EQ(DesktopHeight(0), 480);
    PfSetHeadlessDesktopSize(1920, 1080);
    EXPECT_EQ(DesktopWidth(0), 1920);
    EXPECT_EQ(DesktopHeight(0), 1080);
    PfSetHeadlessDesktopSize(0, 0);
    EXPECT_GT(DesktopWidth(0), 0) << "the driver's own size";
    EXPECT_EQ(DesktopWidth(7), 0);
    PfSetHeadlessDesktopSize(640, 480);
}

TEST_F(ScreenTest, MessageBoxAlwaysReachesStderr) {
    ::testing::internal::CaptureStderr();
    MessageBox("Prismoria:: Error", "The screen could not be opened");
    std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Prismoria:: Error"), std::string::npos);
    EXPECT_NE(err.find("The screen could not be opened"), std::string::npos);
}

TEST_F(ScreenTest, ShutdownTwiceAndStartAgain) {
    OpenScreen();
    ASSERT_NE(SolidSprite(1, 4, 4, RGBA(1, 2, 3, 255)), 0);
    PfShutdown();
    PfShutdown();
    EXPECT_EQ(IsSprite(1), 0);
    EXPECT_EQ(PfIsHeadless(), 1) << "the backend survives a shutdown";
    ASSERT_EQ(InitSprite(), 1);
    OpenScreen();
}

// The real backend on a machine without any display must fail cleanly, not crash.
TEST(ScreenWithoutDisplay, SystemBackendFailsCleanly) {
    if (std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY")) GTEST_SKIP() << "a display is available";
    PfShutdown();
    PfSelectBackend(PF_BACKEND_SYSTEM);
    if (InitSprite()) {
        // Some driver came up after all (a console framebuffer): opening may still fail, but must not crash.
        int opened = OpenGameScreen(640, 480, 32, "t", 1);
        if (opened) ClearFrame(RGB(0, 0, 0));
    } else {
        EXPECT_EQ(OpenGameScreen(640, 480, 32, "t", 1), 0);
        EXPECT_EQ(OpenGameWindow(0, 0, 0, 64, 64, "t", WINDOW_CENTRED), 0);
        EXPECT_EQ(MonitorCount(), 0);
        EXPECT_EQ(DesktopWidth(0), 0);
    }
    ::testing::internal::CaptureStderr();
    MessageBox("title", "text");
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("text"), std::string::npos);
    PfShutdown();
    PfSelectBackend(PF_BACKEND_HEADLESS);
}
