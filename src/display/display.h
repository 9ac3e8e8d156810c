// display.h: the drawing surface, its size and aspect class, and the layout derived from them.
#pragma once

#include <string>
#include <vector>

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
    int MenuCenterY = 0;   // vertical centre line of the menu panels, below the game logo
    int DesktopWidth = 0;  // desktop 0 as it was when the surface was last sized
    int DesktopHeight = 0;
    int Cursor = 0;        // window cursor from "Prismoria.pointer", 0 when none was loaded
    std::vector<std::string> Resolutions;  // "1024x576" ... "3840x2160", indexed by Resolution
};

extern DisplayState Display;

void ChooseScreenSize(bool logDesktop);
bool OpenGameSurface();
int ClassifyAspect(int width, int height);
void ComputeLayout();       // TileSize, BoardTop, TrayCell and the play-screen positions
void PlaceGameLogo();       // LogoX, LogoY, LogoSlideStep from the loaded logo image
// What lives on the surface is made after it opens and after every rebuild in
// three steps, the menu panels (not the display's) between the second and third:
// the images (LoadImages), then the logo's place and the fonts the panels are
// drawn with, then the tile size line, the frame rate and filtering.
void PrepareSurfaceContents();
void FinishSurfaceContents();
// Closes the surface and opens it again with the pending screen mode and
// resolution, then loads the images and prepares the fonts; the caller builds
// the panels on it and calls ShowReopenedDisplay.
void ReopenDisplay();
// The end of a rebuild: FinishSurfaceContents, then the pointer centred (full
// screen) or the window shown.
void ShowReopenedDisplay();
void CloseGameSurface();    // closes the surface and, in the windowed modes, window 0

// Fills Display.Resolutions from the built-in table (start-up step 3).
void BuildResolutionList();
// Windowed and Borderless: shows window 0, activates it and gives it the game's
// cursor (end of start-up and of a display rebuild). Does nothing in full screen.
void ShowGameWindow();
// The class's name as written in the aspect log line ("16:9", "custom", ...).
std::string AspectClassName(int aspectClass);
// The studio logo entry of the class, "" for none.
std::string AspectLogoEntry(int aspectClass);

// A rectangle in screen pixels; hit tests on it are strict on all four sides.
struct ScreenRect {
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
};

inline bool PointInRect(const ScreenRect& r, int x, int y) {
    return r.x1 < x && x < r.x2 && r.y1 < y && y < r.y2;
}

enum StatusCellIndex { CellMenuButton = 0, CellMode = 1, CellScore = 2, CellBest = 3 };

// One framed cell of the status bar with the draw positions of its five images.
struct StatusBarCell {
    int bx = 0;           // left border
    int bw = 0;           // width
    int contentX = 0;     // content image (menu button or text box)
    int contentY = 0;
    int topEdgeY = 0;     // top edge image at (bx, topEdgeY)
    int bottomEdgeY = 0;  // bottom edge image at (bx, bottomEdgeY)
    int leftCapX = 0;     // caps at (leftCapX, capY) and (rightCapX, capY)
    int rightCapX = 0;
    int capY = 0;
};

// The play screen's positions that depend only on the display (fixed until it is reopened).
struct PlayLayoutState {
    int CentreX = 0;              // X = W / 2
    ScreenRect TrayRect[3];       // tray slots 0 (left), 1 (middle), 2 (right)
    StatusBarCell StatusCell[4];  // indexed by StatusCellIndex
    ScreenRect MenuButtonArea;    // pointer area of the status bar's menu button
};

extern PlayLayoutState PlayLayout;
