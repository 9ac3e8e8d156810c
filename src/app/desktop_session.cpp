// desktop_session.cpp: what the desktop session does to a running game: asking it to end, and changing its displays.
#include "core/state.h"
#include "play/play.h"
#include "app/spine.h"
#include "display/display.h"
#include "platform.h"

namespace {

// The screen is rebuilt for the desktop as it is now, as the settings' OK
// would rebuild it, in the screen mode and resolution in force: what the
// settings screen holds pending stays pending.
void RebuildForDesktop() {
    if (App.ScreenState >= StatePlaying) {
        // The board was laid out for the old screen: the game ends as when
        // it is left for the menu, and the menu track takes over.
        EndGameForMenu(false);
    }
    const GameSettings pending = App.Pending;
    App.Pending.GameScreen = App.Settings.GameScreen;
    App.Pending.Resolution = App.Settings.Resolution;
    // The new window takes the focus from the old one; that must not minimise it.
    App.ReopenPending = 1;
    RebuildDisplay();
    App.Pending = pending;
}

}  // namespace

bool FollowDesktopChanges() {
    const int change = PfDisplayChanged();
    if (change == PF_DISPLAY_UNCHANGED || App.Settings.GameScreen == ScreenWindowed) {
        return false;  // a window keeps the size the player chose
    }
    const int width = DesktopWidth(0);
    const int height = DesktopHeight(0);
    if (width <= 0 || height <= 0) {
        return false;  // no usable desktop to size for: the screen stays as it is
    }
    if (change == PF_DISPLAY_DESKTOP_CHANGED && width == Display.DesktopWidth && height == Display.DesktopHeight) {
        return false;
    }
    RebuildForDesktop();
    return true;
}

void TakeQuitSignal() {
    if (PfQuitSignalled() != 0) {
        App.QuitRequested = 1;
    }
}
