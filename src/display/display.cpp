// display.cpp: the display state and the full rebuild of the display after new screen settings.
#include <string>

#include "app/app.h"
#include "app/log.h"
#include "display/assets.h"
#include "display/display.h"
#include "menus/menus.h"
#include "platform/platform.h"

DisplayState Display;

void ReopenDisplay() {
    CloseGameSurface();
    App.Settings.GameScreen = App.Pending.GameScreen;
    App.Settings.Resolution = App.Pending.Resolution;

    ChooseScreenSize(false);
    if (!OpenGameSurface()) FatalError("tErrorSCREEN");
    ClassifyAspect(Display.ScreenWidth, Display.ScreenHeight);
    ComputeLayout();

    // Images and fonts belong to the surface; the typeface, the sounds, the
    // best scores and the language outlive it and are not read again.
    LoadImages();
    PlaceGameLogo();
    CreateFonts();
    BuildAllPanels();
    BuildGemWall();
    LogValue("TileSize: ", std::to_string(Display.TileSize));

    SetFrameRate(60);
    SetSpriteQuality(1);
    if (App.Settings.GameScreen == ScreenFullscreen) {
        SetMousePosition(Display.ScreenWidth / 2, Display.ScreenHeight / 2);
    } else {
        ShowGameWindow();
    }
    // The title intro plays again and leads to the main menu.
    App.SplashCounter = 0;
    App.ScreenState = StateTitle;
}
