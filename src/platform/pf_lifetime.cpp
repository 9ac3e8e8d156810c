// pf_lifetime.cpp: backend choice, start-up and shutdown of the layer, desktop facts and the message box.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "pf_internal.h"
#include "pf_video_internal.h"

PfVideoState PfVideo;
PfInputState PfInput;
PfDrawState PfDraw;

uint64_t PfNowNs() {
    using namespace std::chrono;
    return uint64_t(duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count());
}

void PfSelectBackend(int backend) {
    PfVideo.backend = backend == PF_BACKEND_HEADLESS ? PF_BACKEND_HEADLESS : PF_BACKEND_SYSTEM;
}

int PfIsHeadless() { return PfVideo.backend == PF_BACKEND_HEADLESS; }

void PfSetHeadlessDesktopSize(int width, int height) {
    PfVideo.headlessDesktopWidth = width;
    PfVideo.headlessDesktopHeight = height;
}

// Starts SDL's video. The real backend must reach a real display: when SDL falls
// back to its offscreen or dummy driver there is none, and that is a failure.
// Opening the X display right after an earlier shutdown in the same process
// fails now and then, so a failed start is tried twice more.
static bool StartVideoDriver() {
    for (int attempt = 0; attempt < 3; attempt++) {
        if (attempt > 0) SDL_Delay(20);
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) continue;
        if (PfIsHeadless()) return true;
        const char* driver = SDL_GetCurrentVideoDriver();
        if (driver && std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0) return true;
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        SDL_SetError("no display available");
    }
    return false;
}

bool PfPreferWayland(const char* userDriver, const char* waylandDisplay) {
    const bool userChose = userDriver != nullptr && userDriver[0] != '\0';
    return !userChose && waylandDisplay != nullptr && waylandDisplay[0] != '\0';
}

bool PfEnsureVideo() {
    if (PfVideo.videoUp) return true;
    // The headless backend needs no display at all: SDL's offscreen driver keeps
    // windows in memory and the software renderer draws into them.
    if (PfIsHeadless()) {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
        SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
        // Present the window's pixels as they are, without loading OpenGL to do it.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    } else {
        SDL_ResetHint(SDL_HINT_VIDEODRIVER);
        SDL_ResetHint(SDL_HINT_RENDER_DRIVER);
        SDL_ResetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION);
        // On a Wayland session the game talks to the compositor itself: left to
        // itself SDL 2 prefers X11, which needs XWayland and is blurred by
        // fractional scaling. X11 stays the second choice, taken without a word
        // when Wayland cannot start. A driver the user named always wins; SDL
        // takes a variable set but empty as a choice (and then tries X11 first),
        // here it names nothing.
        const char* named = std::getenv("SDL_VIDEODRIVER");
        if (named && named[0] == '\0') unsetenv("SDL_VIDEODRIVER");
        if (PfPreferWayland(std::getenv("SDL_VIDEODRIVER"), std::getenv("WAYLAND_DISPLAY"))) {
            SDL_SetHint(SDL_HINT_VIDEODRIVER, "wayland,x11");
        }
    }
    // Ctrl+C should end the process, not become a quit event the game might not read.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // The window's class (X11) and app id (Wayland) name the installed desktop entry,
    // so the desktop shows the game's icon and name for its window. SDL reads them
    // from the environment when its video starts; a value the user set is kept.
    setenv("SDL_VIDEO_X11_WMCLASS", PRISMORIA_APP_ID, 0);
    setenv("SDL_VIDEO_WAYLAND_WMCLASS", PRISMORIA_APP_ID, 0);
    SDL_SetHint(SDL_HINT_APP_NAME, "Prismoria");
    if (!StartVideoDriver()) {
        std::fprintf(stderr, "Video start-up failed: %s\n", SDL_GetError());
        return false;
    }
    PfVideo.videoUp = true;
    return true;
}

// Before anything asks SDL for memory, in every program that links the platform.
static const bool MemoryFunctionsInstalled = (PfInstallMemoryFunctions(), true);

// Pictures come and go in buffers of a screenful (a texture, a backdrop being
// composed). The C library would otherwise raise its threshold for giving large
// blocks straight back to the system after the first one is freed, and keep
// later ones in its heap, where freed space stays counted against the process.
// Smaller blocks (a button's pixels, a sound's bytes) are made and freed dozens
// of times while the panels are built: the heap keeps up to 32 MB of freed space
// for them instead of giving it back each time, because every page given back
// and asked for again costs a page fault, and on a virtual machine those faults
// were most of the time spent building the panels.
static void TuneTheHeapForPictures() {
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 32 * 1024 * 1024);
#endif
}

int InitSprite() {
    TuneTheHeapForPictures();
    if (!PfEnsureVideo()) return 0;
    if (!PfVideo.ttfUp) {
        if (TTF_Init() != 0) return 0;
        PfVideo.ttfUp = true;
    }
    return 1;
}

int InitKeyboard() {
    if (SDL_InitSubSystem(SDL_INIT_EVENTS) != 0) return 0;
    PfInput.keyboardUp = true;
    PfStartGamepads();  // optional: without controllers the keyboard still works
    return 1;
}

int InitMouse() {
    if (SDL_InitSubSystem(SDL_INIT_EVENTS) != 0) return 0;
    PfInput.mouseUp = true;
    return 1;
}

void PfVideoShutdown() {
    PfResetDrawing();
    PfCloseRenderer();
    PfFreeAllSprites();
    PfForgetRememberedPng();
    PfFreeAllImages();
    PfFreeAllFonts();
    PfFreeAllCursors();
    PfCloseAllWindows();
    PfVideo.installedFonts.clear();
    if (PfVideo.ttfUp) {
        TTF_Quit();
        PfVideo.ttfUp = false;
    }
    if (PfVideo.videoUp) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        PfVideo.videoUp = false;
    }
    PfGamepadsShutdown();
    if (PfInput.keyboardUp || PfInput.mouseUp) SDL_QuitSubSystem(SDL_INIT_EVENTS);
    PfResetInput();
    // The backend and the chosen headless desktop stay: a test that shuts the layer
    // down between cases must not find itself on the real display afterwards.
    int backend = PfVideo.backend;
    int desktopW = PfVideo.headlessDesktopWidth, desktopH = PfVideo.headlessDesktopHeight;
    PfVideo = PfVideoState();
    PfVideo.backend = backend;
    PfVideo.headlessDesktopWidth = desktopW;
    PfVideo.headlessDesktopHeight = desktopH;
}

void PfShutdown() {
    PfVideoShutdown();
    PfAudioShutdown();
    PfArchivesShutdown();
    PfKeyFilesShutdown();
    PfFilesShutdown();
    SDL_Quit();
}

// ---------------------------------------------------------------------------
// Desktop facts

int MonitorCount() {
    if (!PfEnsureVideo()) return 0;
    int count = SDL_GetNumVideoDisplays();
    return count > 0 ? count : 0;
}

static bool DesktopMode(int monitor, SDL_DisplayMode& mode) {
    if (!PfEnsureVideo()) return false;
    if (monitor < 0 || monitor >= SDL_GetNumVideoDisplays()) return false;
    return SDL_GetDesktopDisplayMode(monitor, &mode) == 0;
}

int DesktopWidth(int monitor) {
    if (PfIsHeadless() && monitor == 0 && PfVideo.headlessDesktopWidth != 0) return std::max(PfVideo.headlessDesktopWidth, 0);
    SDL_DisplayMode mode;
    return DesktopMode(monitor, mode) ? mode.w : 0;
}

int DesktopHeight(int monitor) {
    if (PfIsHeadless() && monitor == 0 && PfVideo.headlessDesktopHeight != 0) return std::max(PfVideo.headlessDesktopHeight, 0);
    SDL_DisplayMode mode;
    return DesktopMode(monitor, mode) ? mode.h : 0;
}

// ---------------------------------------------------------------------------
// Message box: always on stderr as well, so a fatal error is visible without a desktop.

void MessageBox(const std::string& title, const std::string& text) {
    std::fprintf(stderr, "%s\n%s\n", title.c_str(), text.c_str());
    std::fflush(stderr);
    if (PfIsHeadless()) return;
    // Only try a real box when a display can be reached; without one SDL would fail anyway.
    if (!PfVideo.videoUp && !PfEnsureVideo()) return;
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), text.c_str(), PfVideo.screenWindow);
}
