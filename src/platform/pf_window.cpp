// pf_window.cpp: the game's windows — framed or borderless, shown, activated, minimised, closed.
#include "pf_video_internal.h"

SDL_Window* PfWindowHandle(int number) {
    PfWindow* window = PfTableGet(PfVideo.windows, number);
    return window ? window->window : nullptr;
}

bool PfOnWayland() {
    const char* driver = PfVideo.videoUp ? SDL_GetCurrentVideoDriver() : nullptr;
    return driver && SDL_strcasecmp(driver, "wayland") == 0;
}

// SDL 2.26 on Wayland leaves a destroyed window's decoration frame (libdecor)
// behind with the freed window as its owner, and the frame's next event crashes
// the program. So a window there is kept while the game runs and a new one is the
// old one changed in place, which also spares the player a window that vanishes
// and comes back.
void PfReleaseWindow(SDL_Window* window) {
    if (!window) return;
    if (PfOnWayland() && !PfVideo.keptWindow) {
        PfVideo.keptWindow = window;
        return;
    }
    SDL_DestroyWindow(window);
}

SDL_Window* PfReopenKeptWindow(const std::string& title, int x, int y, int width, int height, Uint32 flags) {
    SDL_Window* window = PfVideo.keptWindow;
    if (!window) return nullptr;
    PfVideo.keptWindow = nullptr;
    SDL_SetWindowTitle(window, title.c_str());
    SDL_SetWindowBordered(window, (flags & SDL_WINDOW_BORDERLESS) ? SDL_FALSE : SDL_TRUE);
    if ((flags & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP) {
        SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    } else {
        // Out of the full-screen state first: a size asked for during it would
        // only be remembered for later.
        SDL_SetWindowFullscreen(window, 0);
        SDL_SetWindowSize(window, width, height);
        SDL_SetWindowPosition(window, x, y);
    }
    if (!(flags & SDL_WINDOW_HIDDEN)) SDL_ShowWindow(window);
    return window;
}

static void DestroyWindow(PfWindow& window) {
    if (!window.window) return;
    // The screen drawn in this window goes with it.
    if (PfVideo.screenWindow == window.window) PfCloseRenderer();
    PfReleaseWindow(window.window);
    window.window = nullptr;
}

void PfCloseAllWindows() {
    PfTableForEach(PfVideo.windows, [](PfWindow& w) { DestroyWindow(w); });
    PfVideo.windows = PfTable<PfWindow>();
    // The layer is going down: nothing is kept any longer.
    if (PfVideo.keptWindow) SDL_DestroyWindow(PfVideo.keptWindow);
    PfVideo.keptWindow = nullptr;
}

int OpenGameWindow(int number, int x, int y, int width, int height, const std::string& title, int flags) {
    if (width <= 0 || height <= 0 || !PfEnsureVideo()) return 0;
    // A framed window has a title bar but keeps its size; a borderless one is a bare pop-up.
    Uint32 sdlFlags = (flags & WINDOW_HIDDEN) ? SDL_WINDOW_HIDDEN : SDL_WINDOW_SHOWN;
    if (flags & WINDOW_BORDERLESS) sdlFlags |= SDL_WINDOW_BORDERLESS;
    // A Wayland client cannot place its window over the desktop's panel; the
    // compositor's full-screen state covers the whole output.
    if ((flags & WINDOW_BORDERLESS) && PfOnWayland()) sdlFlags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    if (flags & WINDOW_CENTRED) {
        x = SDL_WINDOWPOS_CENTERED_DISPLAY(0);
        y = SDL_WINDOWPOS_CENTERED_DISPLAY(0);
    }
    int stored = PfTableChooseNumber(PfVideo.windows, number);
    std::unique_ptr<PfWindow>* slot = PfTableSlot(PfVideo.windows, stored);
    if (!slot) return 0;
    if (*slot) {
        DestroyWindow(**slot);
        slot->reset();
    }
    SDL_Window* handle = PfCreateWindow(title, x, y, width, height, sdlFlags);
    if (!handle) return 0;
    auto window = std::make_unique<PfWindow>();
    window->window = handle;
    window->width = width;
    window->height = height;
    *slot = std::move(window);
    return PfCreatedResult(number, stored);
}

void CloseGameWindow(int number) {
    PfWindow* window = PfTableGet(PfVideo.windows, number);
    if (!window) return;
    DestroyWindow(*window);
    PfTableSlot(PfVideo.windows, number)->reset();
}

int IsGameWindow(int number) { return PfWindowHandle(number) != nullptr; }

// Shows the window and asks for the keyboard focus; the focus itself arrives as an
// event (WEV_ACTIVATED) when the desktop grants it.
void ActivateWindow(int number) {
    SDL_Window* handle = PfWindowHandle(number);
    if (!handle) return;
    SDL_ShowWindow(handle);
    if (SDL_GetWindowFlags(handle) & SDL_WINDOW_MINIMIZED) SDL_RestoreWindow(handle);
    SDL_RaiseWindow(handle);
    if (!PfIsHeadless()) {
        SDL_SetWindowInputFocus(handle);
        return;
    }
    // Without a desktop the layer answers as one would.
    if (PfInput.minimised) PfApplyWindowEvent(WEV_RESTORED);
    if (!PfInput.focused) PfApplyWindowEvent(WEV_ACTIVATED);
}

void MinimiseWindow(int number) {
    SDL_Window* handle = PfWindowHandle(number);
    if (!handle) return;
    if (!PfIsHeadless()) {
        SDL_MinimizeWindow(handle);
    } else if (!PfInput.minimised) {
        PfApplyWindowEvent(WEV_MINIMISED);  // the offscreen driver cannot minimise
    }
}

void SetWindowCursor(int window, int cursor) {
    PfWindow* target = PfTableGet(PfVideo.windows, window);
    if (!target) return;
    PfCursor* c = PfTableGet(PfVideo.cursors, cursor);
    target->cursor = c ? cursor : 0;
    if (PfIsHeadless() || !PfVideo.videoUp) return;
    if (c && c->cursor) {
        SDL_SetCursor(c->cursor);
    } else {
        SDL_SetCursor(SDL_GetDefaultCursor());
    }
}

void ShowWindowCursor(int window, int show) {
    PfWindow* target = PfTableGet(PfVideo.windows, window);
    if (!target) return;
    target->cursorHidden = show == 0;
    if (PfIsHeadless() || !PfVideo.videoUp) return;
    // Giving the pointer back to the desktop (an inactive screen) shows it again, so
    // the system's own state is asked rather than remembered.
    const int wanted = show ? SDL_ENABLE : SDL_DISABLE;
    if (SDL_ShowCursor(SDL_QUERY) != wanted) SDL_ShowCursor(wanted);
}

int WindowCursorShown(int window) {
    const PfWindow* target = PfTableGet(PfVideo.windows, window);
    return target && !target->cursorHidden;
}
