// state.cpp: the one instance of the game's gathered state.
#include "core/state.h"
#include "platform.h"

AppState App;

int PointerX() {
    return App.Settings.GameScreen == ScreenFullscreen ? MouseX() : WindowMouseX(0);
}

int PointerY() {
    return App.Settings.GameScreen == ScreenFullscreen ? MouseY() : WindowMouseY(0);
}
