// main_loop.cpp: one frame of the main loop: present, draw the screen state, intro timers, input and keys.
#include <algorithm>

#include "app/app.h"
#include "app/screens.h"
#include "app/spine.h"
#include "audio/audio.h"
#include "display/assets.h"
#include "display/display.h"
#include "menus/menus.h"
#include "platform.h"

namespace {

bool WindowedMode() {
    return App.Settings.GameScreen == ScreenWindowed || App.Settings.GameScreen == ScreenBorderless;
}

// The screen is not shown: no drawing, no input; the music of the state pauses and
// the loop idles at ten passes a second.
void InactiveScreenStep() {
    if (PauseMusicForInactive() && !WindowedMode()) {
        Loop.TrackPausedByInactive = 1;
    }
    ReleaseMouse();
    SleepMs(100);
    FlipFrame();
}

}  // namespace

void DrawScreenState() {
    const int state = App.ScreenState;
    if (state == StateLogo) {
        DrawSpriteOpaque(ImgStudioLogo, 0, 0);
        return;
    }
    if (state <= StateQuitConfirm) {
        DrawMenuBackground();
        DrawSprite(ImgGameLogo, Display.LogoX, Display.LogoY);
        if (state >= StateMainMenu) {
            DrawMenuScreen(state);
        }
        return;
    }
    DrawPlayScreen(state);
}

void StepIntro() {
    if (App.ScreenState == StateLogo) {
        App.SplashCounter += 1;
        if (App.SplashCounter > 100) {
            App.ScreenState = StateTitle;
            FreeSprite(ImgStudioLogo);
            App.SplashCounter = 0;
        }
    } else if (App.ScreenState == StateTitle) {
        App.SplashCounter += 1;
        if (App.SplashCounter > 100) {
            // At least one pixel a frame, so the intro ends whatever the logo's start.
            Display.LogoY -= std::max(1, Display.LogoSlideStep);
            if (Display.LogoY < 0) {
                Display.LogoY = 0;
                App.SplashCounter = 0;
                App.ScreenState = StateMainMenu;
            }
        }
    }
}

void RunOneFrame() {
    Loop.Frames += 1;
    if (WindowedMode()) {
        DrainWindowEvents();
    }
    FlipFrame();
    if (!IsScreenActive()) {
        InactiveScreenStep();
        return;
    }
    if (Loop.TrackPausedByInactive) {
        // Full screen gives no restore event: resume once the screen is back.
        Loop.TrackPausedByInactive = 0;
        ResumePausedMusic();
    }
    DrawScreenState();
    if (App.Settings.GameScreen == ScreenFullscreen) {
        ReadMouse();
        if (App.ScreenState >= StateMainMenu) {
            DrawSprite(ImgPointer, MouseX(), MouseY());
        }
    }
    StepIntro();
    if (App.ScreenState >= StateTitle && App.ScreenState <= StateQuitConfirm) {
        StepGemWall();
    }
    StepPlayFrame();
    HandlePointer();
    ReadKeyboard();
    HandleKeys();
}
