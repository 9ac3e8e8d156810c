// input.cpp: the pointer and the window's events: hover, presses, releases and clicks in every screen mode.
#include "app/app.h"
#include "app/screens.h"
#include "app/spine.h"
#include "audio/audio.h"
#include "menus/menus.h"
#include "platform.h"

int PointerX() {
    return App.Settings.GameScreen == ScreenFullscreen ? MouseX() : WindowMouseX(0);
}

int PointerY() {
    return App.Settings.GameScreen == ScreenFullscreen ? MouseY() : WindowMouseY(0);
}

namespace {

void UpdateHover() {
    if (App.ScreenState == StatePlaying) {
        UpdateMenuButtonHover();
    } else {
        UpdateMenuHover(App.ScreenState, PointerX(), PointerY());
    }
}

}  // namespace

void HandlePointer() {
    UpdateHover();
    if (App.Settings.GameScreen != ScreenFullscreen) {
        return;  // the windowed modes take presses and clicks from window events
    }
    const bool down = MouseButton(MOUSE_LEFT) != 0;
    if (down) {
        // Picking up runs on every held frame and before the click.
        if (App.ScreenState == StatePlaying) {
            PickUpPiece();
        }
        // One click per press: the latch re-arms only on a frame with the button up.
        if (App.ClickArmed) {
            App.ClickArmed = 0;
            HandleClick();
        }
    } else {
        App.ClickArmed = 1;
        if (App.ScreenState == StatePlaying) {
            DropPiece();
        }
    }
}

void DrainWindowEvents() {
    for (int event = PollWindowEvent(); event != WEV_NONE; event = PollWindowEvent()) {
        switch (event) {
            case WEV_REPAINT:
                FlipFrame();
                break;
            case WEV_LEFT_DOWN:
                if (App.ScreenState == StatePlaying) PickUpPiece();
                break;
            case WEV_LEFT_UP:
                if (App.ScreenState == StatePlaying) DropPiece();
                break;
            case WEV_LEFT_CLICK:
                HandleClick();
                // Settings OK may have reopened the display as a full screen, which has no window events.
                if (App.Settings.GameScreen == ScreenFullscreen) return;
                break;
            case WEV_MINIMISED:
                if (App.Settings.GameScreen == ScreenWindowed) PausePlayingTracks();
                break;
            case WEV_RESTORED:
            case WEV_ACTIVATED:
                ResumePausedMusic();
                break;
            case WEV_DEACTIVATED:
                if (App.Settings.GameScreen == ScreenBorderless) {
                    PausePlayingTracks();
                    // The one deactivation a display rebuild causes must not minimise the new window.
                    if (App.ReopenPending == 0) {
                        MinimiseWindow(0);
                    } else {
                        App.ReopenPending = 0;
                    }
                }
                break;
            case WEV_CLOSE:
                App.QuitRequested = 1;
                break;
            default:
                break;
        }
    }
}
