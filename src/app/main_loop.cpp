// main_loop.cpp: one frame of the main loop: present, draw, intro timers, pointer, window events and keys.
#include <algorithm>
#include <string>

#include "core/state.h"
#include "core/log.h"
#include "play/play.h"
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
        DrawGemWall();
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
    FollowDesktopChanges();
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
    // Every mode reads the buttons (a right press hands play to the mouse too);
    // a full screen also takes its pointer from here.
    ReadMouse();
    if (App.Settings.GameScreen == ScreenFullscreen) {
        if (App.ScreenState >= StateMainMenu && !Pointer.Hidden) {
            DrawSprite(ImgPointer, MouseX(), MouseY());
        }
    }
    StepIntro();
    if (App.ScreenState >= StateTitle && App.ScreenState <= StateQuitConfirm) {
        ScrollGemWall(Menus.GemWallColumns, Display.TileSize);
    }
    StepPlayFrame();
    HandlePointer();
    // A key held while the screen changed comes up unseen on the new screen:
    // its release belongs to the screen where it went down.
    if (App.ScreenState != Loop.KeysScreen) ForgetHeldKeys();
    ReadKeyboard();
    Loop.KeysScreen = App.ScreenState;
    HandleKeys();
}

namespace {

void UpdateHover() {
    if (App.ScreenState == StatePlaying) {
        UpdateMenuButtonHover();
    } else {
        UpdateMenuHover(App.ScreenState, PointerX(), PointerY());
    }
}

// A click of the pointer acts on the button under the pointer where it was
// clicked: even where a key has just highlighted another one, and even when
// the pointer reached the button after the last frame's hover (a slow frame).
void HandlePointerClick() {
    ReleaseKeyHighlight();
    UpdateHover();
    HandleClick();
}

}  // namespace

void HandlePointer() {
    NoticeMouse();
    // A pointer hidden by the keys rests where the mouse left it: only a real
    // movement (which shows it again) lets it take the highlight.
    if (!Pointer.Hidden) UpdateHover();
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
            HandlePointerClick();
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
                HandlePointerClick();
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

std::string ScreenshotFileName(int64_t time) {
    return "Prismoria " + FormatDate("%dd-%mm-%yyyy %hh-%ii-%ss", time) + ".bmp";
}

std::string TakeScreenshot() {
    const std::string path = App.SaveTo + ScreenshotFileName(CurrentTime());
    const int image = GrabScreenImage(PF_ANY, 0, 0, ScreenWidth(), ScreenHeight());
    const bool saved = image != 0 && SaveImageBmp(image, path) != 0;
    if (image != 0) {
        FreeImage(image);
    }
    LogValue("Saving screenshot:", saved ? "OK" : "FAILED");
    return path;
}

void HandleGlobalKeys() {
    if (KeyReleased(KEY_F2)) {
        TakeScreenshot();
    }
    // The settings screen edits these itself; the keys leave it alone.
    if (App.ScreenState != StateSettings) {
        if (KeyReleased(KEY_M)) {
            ToggleMusicKey();
        }
        if (KeyReleased(KEY_N)) {
            ToggleSoundsKey();
        }
    }
    if (KeyPushed(KEY_PAD_PLUS) && App.Settings.MusicVolume < 100) {
        ChangeVolumeKey(+1);
    }
    if (KeyPushed(KEY_PAD_MINUS) && App.Settings.MusicVolume > 0) {
        ChangeVolumeKey(-1);
    }
}

void HandleKeys() {
    HandleGlobalKeys();
    const int state = App.ScreenState;
    if (state >= StatePlaying) {
        HandleCarryKeys();
        HandlePlayKeys();  // the play screen's own Escape
    } else if (BackKeyReleased(state)) {
        HandleEscape();
    }
    // One screen's keys a frame: a screen just left by a key does not pass that key on.
    switch (HandleMenuKeys(App.ScreenState == state ? state : StateLogo)) {
        case MenuKeyClick: HandleClick(); break;
        case MenuKeyStepBack: StepSettingsBack(); break;
        default: break;
    }
}
