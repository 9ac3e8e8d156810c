// pf_video.cpp: the game screen (full screen or inside a window), clearing, presenting and frame pacing.
#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

#include "pf_internal.h"
#include "pf_video_internal.h"

bool PfIsSoftwareOpenGl(const char* rendererName) {
    if (!rendererName) return false;
    const std::string name = rendererName;
    for (const char* rasteriser : {"llvmpipe", "softpipe", "Software Rasterizer"}) {
        if (name.find(rasteriser) != std::string::npos) return true;
    }
    return false;
}

// True when an OpenGL renderer draws on the CPU (its context is current right after
// it was made). SDL's own software renderer costs a fraction of that CPU time.
static bool DrawsOnTheCpu(SDL_Renderer* renderer) {
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) != 0 || !info.name || std::string(info.name) != "opengl") return false;
    using GetString = const unsigned char* (*)(unsigned int);
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    if (!getString) return false;
    constexpr unsigned int GL_RENDERER_NAME = 0x1F01;  // GL_RENDERER
    return PfIsSoftwareOpenGl(reinterpret_cast<const char*>(getString(GL_RENDERER_NAME)));
}

// True when the screen is going to be drawn by SDL's software renderer whatever
// OpenGL could offer: the headless backend, and an environment that names the
// software renderer (SDL_RENDER_DRIVER=software). OpenGL is then never loaded:
// loading a driver only to leave it unused costs a large part of the start-up.
static bool SoftwareRendererChosen() {
    if (PfIsHeadless()) return true;
    const char* driver = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
    return driver && SDL_strcasecmp(driver, "software") == 0;
}

// True where the video driver keeps a window's pixels itself (X11's shared
// memory, the headless backend), for the software renderer to draw into.
// Wayland keeps none: there SDL presents the software renderer's pixels through
// a texture of an accelerated renderer, which it decides once, on the first
// software renderer made, so the choice is made before that.
static bool DriverHasWindowPixels() { return !PfOnWayland(); }

// True when a renderer draws more pixels than its window's coordinates (a scaled
// Wayland output): the software renderer would draw at the coordinates and the
// compositor would scale its frame up, blurred, so the OpenGL one is kept even
// where it draws on the CPU.
// A window's size in window coordinates beside its renderer's real pixels.
struct WindowPixels {
    int windowW = 0, windowH = 0, outW = 0, outH = 0;
};

static bool MeasureWindowPixels(SDL_Window* window, SDL_Renderer* renderer, WindowPixels& m) {
    SDL_GetWindowSize(window, &m.windowW, &m.windowH);
    return SDL_GetRendererOutputSize(renderer, &m.outW, &m.outH) == 0;
}

static bool DenserThanItsWindow(SDL_Window* window, SDL_Renderer* renderer) {
    WindowPixels m;
    return MeasureWindowPixels(window, renderer, m) && (m.outW > m.windowW || m.outH > m.windowH);
}

// Makes the renderer on a window: the software renderer where it is chosen anyway
// and where the only OpenGL is a CPU rasteriser, otherwise an accelerated one,
// with the software renderer as the fall-back.
static SDL_Renderer* CreateScreenRenderer(SDL_Window* window, bool vsync) {
    // A software renderer presents its frame straight to the window (shared memory
    // on X11); left to itself SDL would push it through an OpenGL texture, which on
    // a software OpenGL costs several times the drawing, and would load OpenGL to
    // decide. Accelerated renderers never use the window surface, so this changes
    // nothing for them.
    if (DriverHasWindowPixels()) {
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    } else {
        SDL_ResetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION);
    }
    if (SoftwareRendererChosen()) return SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    Uint32 flags = SDL_RENDERER_ACCELERATED | (vsync ? SDL_RENDERER_PRESENTVSYNC : 0);
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, flags);
    if (renderer && DrawsOnTheCpu(renderer) && !DenserThanItsWindow(window, renderer)) {
        SDL_DestroyRenderer(renderer);
        renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
        // No software renderer on this window: the OpenGL one on the CPU still draws.
        if (!renderer) renderer = SDL_CreateRenderer(window, -1, flags);
        return renderer;
    }
    if (!renderer) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    return renderer;
}

SDL_Window* PfCreateWindow(const std::string& title, int x, int y, int width, int height, Uint32 flags) {
    // Made ready for OpenGL up front where an OpenGL renderer may be used: it would
    // otherwise rebuild the window behind the desktop's back and lose the focus
    // it was given.
    // Drawn at the display's real pixels where they are finer than its coordinates.
    if (!PfIsHeadless()) flags |= SDL_WINDOW_ALLOW_HIGHDPI;
    if (SDL_Window* kept = PfReopenKeptWindow(title, x, y, width, height, flags)) return kept;
    if (!SoftwareRendererChosen()) {
        SDL_Window* window = SDL_CreateWindow(title.c_str(), x, y, width, height, flags | SDL_WINDOW_OPENGL);
        if (window) return window;
    }
    return SDL_CreateWindow(title.c_str(), x, y, width, height, flags);
}

// The window's focus and minimised state as SDL knows it when the screen opens;
// events keep it current from then on. The headless screen starts active.
static void TakeWindowState(SDL_Window* window) {
    if (PfIsHeadless()) {
        PfInput.focused = true;
        PfInput.minimised = false;
        return;
    }
    Uint32 flags = SDL_GetWindowFlags(window);
    PfInput.focused = (flags & SDL_WINDOW_INPUT_FOCUS) != 0;
    PfInput.minimised = (flags & SDL_WINDOW_MINIMIZED) != 0;
}

// True when the renderer takes textures in this format without converting them.
static bool RendererTakes(const SDL_RendererInfo& info, Uint32 format) {
    for (Uint32 i = 0; i < info.num_texture_formats; i++) {
        if (info.texture_formats[i] == format) return true;
    }
    return false;
}

void PfChooseTextureFormats(SDL_Renderer* renderer, SDL_Window* window) {
    PfVideo.textureFormat = PfVideo.opaqueTextureFormat = SDL_PIXELFORMAT_RGBA32;
    SDL_RendererInfo info;
    if (!renderer || !window || SDL_GetRendererInfo(renderer, &info) != 0) return;
    Uint32 native = SDL_GetWindowPixelFormat(window);
    int bits = 0;
    Uint32 r = 0, g = 0, b = 0, a = 0;
    if (native == SDL_PIXELFORMAT_UNKNOWN || SDL_ISPIXELFORMAT_FOURCC(native) ||
        !SDL_PixelFormatEnumToMasks(native, &bits, &r, &g, &b, &a) || bits != 32) {
        return;
    }
    // Sprites with see-through pixels take the window's layout with its spare byte
    // as alpha. Sprites without any take the window's own format, which the
    // software renderer copies as whole rows (they are drawn with alpha only when
    // faded, which it handles through the texture's alpha modulation).
    Uint32 withAlpha = a != 0 ? native : SDL_MasksToPixelFormatEnum(32, r, g, b, ~(r | g | b));
    if (withAlpha != SDL_PIXELFORMAT_UNKNOWN && RendererTakes(info, withAlpha)) PfVideo.textureFormat = withAlpha;
    PfVideo.opaqueTextureFormat = PfVideo.textureFormat;
    if (a == 0 && RendererTakes(info, native)) PfVideo.opaqueTextureFormat = native;
}

void PfCloseRenderer() {
    PfDiscardScreenQueue();
    PfReleaseAllTextures();
    if (PfVideo.renderer) SDL_DestroyRenderer(PfVideo.renderer);
    PfVideo.renderer = nullptr;
    PfVideo.textureFormat = PfVideo.opaqueTextureFormat = SDL_PIXELFORMAT_RGBA32;
    if (PfVideo.screenOwnsWindow && PfVideo.screenWindow) {
        SDL_SetWindowGrab(PfVideo.screenWindow, SDL_FALSE);
        PfReleaseWindow(PfVideo.screenWindow);
    }
    if (PfVideo.videoUp && !PfIsHeadless()) SDL_ShowCursor(SDL_ENABLE);
    PfVideo.screenWindow = nullptr;
    PfVideo.screenOwnsWindow = false;
    PfVideo.fullscreen = false;
    PfVideo.screenScaled = false;
    PfVideo.screenWindowNumber = -1;
    PfVideo.screenWidth = PfVideo.screenHeight = 0;
    PfVideo.pointWidth = PfVideo.pointHeight = 0;
    PfVideo.nextFrameNs = 0;
}

// A window whose drawable holds more pixels than its size in window coordinates
// (Wayland's output scale, a high-density screen): the screen is its real pixels,
// and `width` x `height` become them. The coordinates are kept for the pointer.
static void TakeRealPixels(SDL_Window* window, SDL_Renderer* renderer, int& width, int& height) {
    WindowPixels m;
    if (!MeasureWindowPixels(window, renderer, m)) return;
    if (m.windowW != width || m.windowH != height || m.outW <= 0 || m.outH <= 0) return;
    if (m.outW == m.windowW && m.outH == m.windowH) return;
    PfVideo.pointWidth = m.windowW;
    PfVideo.pointHeight = m.windowH;
    width = m.outW;
    height = m.outH;
}

int PfWindowToPixels(int coordinate, int windowSize, int pixelSize) {
    if (windowSize <= 0 || pixelSize <= 0) return coordinate;
    return int(int64_t(coordinate) * pixelSize / windowSize);
}

void PfPointerToPixels(int& x, int& y) {
    if (PfVideo.pointWidth <= 0 || PfVideo.pointHeight <= 0) return;
    x = PfWindowToPixels(x, PfVideo.pointWidth, PfVideo.screenWidth);
    y = PfWindowToPixels(y, PfVideo.pointHeight, PfVideo.screenHeight);
}

void PfPixelsToPointer(int& x, int& y) {
    if (PfVideo.pointWidth <= 0 || PfVideo.pointHeight <= 0) return;
    x = PfWindowToPixels(x, PfVideo.screenWidth, PfVideo.pointWidth);
    y = PfWindowToPixels(y, PfVideo.screenHeight, PfVideo.pointHeight);
}

// Makes a new renderer on a window the screen. The screen was closed just before,
// so everything not set here is at its closed value (a windowed, unscaled screen).
static void TakeScreen(SDL_Window* window, SDL_Renderer* renderer, int width, int height) {
    PfChooseTextureFormats(renderer, window);
    PfVideo.screenWindow = window;
    PfVideo.renderer = renderer;
    PfVideo.screenWidth = width;
    PfVideo.screenHeight = height;
    PfVideo.nextFrameNs = 0;
    PfNoteScreenOpened(window);
}

int OpenGameScreen(int width, int height, int depth, const std::string& title, int flipMode) {
    (void)depth;  // the renderer always works in 32-bit colour
    if (width <= 0 || height <= 0 || !PfEnsureVideo()) return 0;
    CloseGameScreen();
    SDL_Window* window;
    if (PfIsHeadless()) {
        window = SDL_CreateWindow(title.c_str(), 0, 0, width, height, SDL_WINDOW_SHOWN);
    } else {
        // The desktop's own mode is kept; the window simply covers the display.
        window = PfCreateWindow(title, SDL_WINDOWPOS_CENTERED_DISPLAY(0), SDL_WINDOWPOS_CENTERED_DISPLAY(0), width,
                                height, SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_SHOWN);
    }
    if (!window) return 0;
    SDL_Renderer* renderer = CreateScreenRenderer(window, flipMode != 0);
    if (!renderer) {
        SDL_DestroyWindow(window);
        return 0;
    }
    TakeRealPixels(window, renderer, width, height);
    int outW = 0, outH = 0;
    SDL_GetRendererOutputSize(renderer, &outW, &outH);
    // A requested size other than the desktop's is scaled to fit, never a mode change.
    const bool scaled = outW != width || outH != height;
    if (scaled) SDL_RenderSetLogicalSize(renderer, width, height);
    TakeScreen(window, renderer, width, height);
    PfVideo.screenOwnsWindow = true;
    PfVideo.fullscreen = true;
    PfVideo.screenScaled = scaled;
    if (!PfIsHeadless()) {
        SDL_RaiseWindow(window);
        SDL_SetWindowInputFocus(window);
        // The game draws its own pointer on a full screen and keeps it there.
        SDL_ShowCursor(SDL_DISABLE);
        SDL_SetWindowGrab(window, SDL_TRUE);
    }
    PfInput.mouseReleased = false;
    TakeWindowState(window);
    return 1;
}

int OpenWindowedScreen(int window, int x, int y, int width, int height) {
    SDL_Window* handle = PfWindowHandle(window);
    if (!handle || width <= 0 || height <= 0) return 0;
    CloseGameScreen();
    SDL_Renderer* renderer = CreateScreenRenderer(handle, true);
    if (!renderer) return 0;
    if (x != 0 || y != 0) {
        SDL_Rect area = {x, y, width, height};
        SDL_RenderSetViewport(renderer, &area);
    } else {
        TakeRealPixels(handle, renderer, width, height);
    }
    TakeScreen(handle, renderer, width, height);
    PfVideo.screenWindowNumber = window;
    if (!PfIsHeadless()) SDL_ShowCursor(SDL_ENABLE);
    TakeWindowState(handle);
    return 1;
}

void CloseGameScreen() { PfCloseRenderer(); }

int IsGameScreenOpen() { return PfVideo.renderer != nullptr; }

void SetFrameRate(int framesPerSecond) {
    PfVideo.frameRate = std::clamp(framesPerSecond, 1, 1000);
    PfVideo.nextFrameNs = 0;
}

void SetSpriteQuality(int quality) { PfVideo.spriteQuality = quality; }

static void QueueFill(PfScreenCommand::Kind kind, int x, int y, int width, int height, uint32_t colour) {
    PfScreenCommand fill;
    fill.kind = kind;
    fill.to = {x, y, width, height};
    fill.red = Uint8(ColourRed(colour));
    fill.green = Uint8(ColourGreen(colour));
    fill.blue = Uint8(ColourBlue(colour));
    PfQueueScreenCommand(fill);
}

void ClearFrame(uint32_t colour) {
    QueueFill(PfScreenCommand::Clear, 0, 0, PfVideo.screenWidth, PfVideo.screenHeight, colour);
}

void ClearFrameArea(int x, int y, int width, int height, uint32_t colour) {
    QueueFill(PfScreenCommand::Fill, x, y, width, height, colour);
}

constexpr uint64_t kSoundRetryMarginNs = 8000000;  // 8 ms

// Holds the loop to the frame rate by sleeping until the next frame's deadline.
// A loop that has fallen more than a frame behind starts afresh instead of racing
// to catch up.
static void PaceFrame() {
    if (PfIsHeadless()) return;
    uint64_t period = 1000000000ull / uint64_t(PfVideo.frameRate);
    uint64_t now = PfNowNs();
    if (PfVideo.nextFrameNs == 0) PfVideo.nextFrameNs = now;
    PfVideo.nextFrameNs += period;
    if (now < PfVideo.nextFrameNs) {
        // Time to spare before the frame is due: a lost sound device is tried
        // here, where an attempt (well under this margin) delays no frame.
        if (PfVideo.nextFrameNs - now > kSoundRetryMarginNs) {
            PfRetryLostSoundDevice();
            now = PfNowNs();
        }
        if (now < PfVideo.nextFrameNs) std::this_thread::sleep_for(std::chrono::nanoseconds(PfVideo.nextFrameNs - now));
    } else if (now - PfVideo.nextFrameNs > period) {
        PfVideo.nextFrameNs = now;
    }
}

void FlipFrame() {
    PfPumpEvents();
    if (PfVideo.renderer) {
        PfFlushScreen();
        SDL_RenderPresent(PfVideo.renderer);
    }
    PaceFrame();
}

int IsScreenActive() {
    PfPumpEvents();
    return !PfInput.minimised && PfInput.focused;
}

int ScreenWidth() { return PfVideo.screenWidth; }
int ScreenHeight() { return PfVideo.screenHeight; }

uint32_t ScreenPixel(int x, int y) {
    if (!PfVideo.renderer || x < 0 || y < 0 || x >= PfVideo.screenWidth || y >= PfVideo.screenHeight) return 0;
    PfFlushScreen();
    SDL_Rect rect = {x, y, 1, 1};
    uint32_t pixel = 0;
    if (SDL_RenderReadPixels(PfVideo.renderer, &rect, SDL_PIXELFORMAT_RGBA32, &pixel, 4) != 0) return 0;
    return pixel | 0xFF000000u;
}

void PfPointerArea(int& width, int& height) {
    width = height = 0;
    if (PfVideo.renderer) {
        width = PfVideo.screenWidth;
        height = PfVideo.screenHeight;
        return;
    }
    // Without a screen, the most recently opened window.
    PfWindow* last = nullptr;
    PfTableForEach(PfVideo.windows, [&](PfWindow& w) { last = &w; });
    if (last) {
        width = last->width;
        height = last->height;
    }
}
