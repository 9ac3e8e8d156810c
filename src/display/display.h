// display.h: the drawing surface, its size and aspect class, and the layout derived from them.
#pragma once

struct DisplayState {
    int ScreenWidth = 0;
    int ScreenHeight = 0;
    int AspectClass = 0;   // 0..7
    int TileSize = 0;      // T, always even
    int TrayCell = 0;      // 1.5 T
    int BoardTop = 0;
    int LogoX = 0;
    int LogoY = 0;
    int LogoSlideStep = 0;
};

extern DisplayState Display;

void ChooseScreenSize(bool logDesktop);
bool OpenGameSurface();
int ClassifyAspect(int width, int height);
void ComputeLayout();       // TileSize, BoardTop, TrayCell and the play-screen positions
void PlaceGameLogo();       // LogoX, LogoY, LogoSlideStep from the loaded logo image
void ReopenDisplay();
void CloseGameSurface();    // closes the surface and, in the windowed modes, window 0
