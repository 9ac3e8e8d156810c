// layout.cpp: TileSize and every display-fixed position derived from it and the screen size.
#include "display/assets.h"
#include "display/display.h"
#include "platform/platform.h"

PlayLayoutState PlayLayout;

namespace {

int MakeEven(int value) { return value % 2 != 0 ? value - 1 : value; }

// Tray slots: three TrayCell squares side by side at the bottom centre.
void PlaceTray(int centreX, int screenHeight, int trayCell) {
    ScreenRect middle;
    middle.x1 = centreX - trayCell / 2;
    middle.y1 = screenHeight - trayCell;
    middle.x2 = middle.x1 + trayCell;
    middle.y2 = screenHeight;
    for (int slot = 0; slot < 3; slot++) {
        ScreenRect r = middle;
        r.x1 += (slot - 1) * trayCell;
        r.x2 += (slot - 1) * trayCell;
        PlayLayout.TrayRect[slot] = r;
    }
}

// Status bar: four framed cells along the bottom edge, from H - 1.5T to H.
void PlaceStatusBar(int centreX, int screenHeight, int tile) {
    const int half = tile / 2;
    const int left[4] = {centreX - 8 * tile, centreX - 6 * tile, centreX + 3 * tile + half, centreX + 6 * tile + half};
    const int width[4] = {half, 2 * tile + half, tile + half, tile + half};
    for (int i = 0; i < 4; i++) {
        StatusBarCell& cell = PlayLayout.StatusCell[i];
        cell.bx = left[i];
        cell.bw = width[i];
        cell.contentX = cell.bx + 1;
        cell.contentY = screenHeight - tile + 1;
        cell.topEdgeY = screenHeight - tile - half;
        cell.bottomEdgeY = screenHeight - half;
        cell.leftCapX = cell.bx - half;
        cell.rightCapX = cell.bx + cell.bw - half;
        cell.capY = screenHeight - tile - half;
    }
    // The menu button reacts only strictly inside its image's square.
    ScreenRect& area = PlayLayout.MenuButtonArea;
    area.x1 = centreX - 8 * tile + 1;
    area.y1 = screenHeight - tile + 1;
    area.x2 = centreX - 8 * tile + half + 1;
    area.y2 = screenHeight - half + 1;
}

}  // namespace

void ComputeLayout() {
    const int w = Display.ScreenWidth;
    const int h = Display.ScreenHeight;
    int tile = MakeEven(w / 20);
    switch (Display.AspectClass) {
        case 3:  // 16:9: one tile below the top edge
            Display.BoardTop = tile;
            break;
        case 4:  // 16:10
            Display.BoardTop = h / 2 - 5 * tile;
            break;
        case 6:
            // Ultra-wide: size the tiles as on the 16:9 screen of the same height
            // (by width they would be too tall for the board to fit) and centre the board.
            tile = MakeEven(h * 16 / 9 / 20);
            Display.BoardTop = h / 2 - 4 * tile;
            break;
        default:  // 3:2, 4:3, 5:4, 17:9 and custom: the eight rows centred
            Display.BoardTop = h / 2 - 4 * tile;
            break;
    }
    Display.TileSize = tile;
    Display.TrayCell = tile + tile / 2;

    PlayLayout = PlayLayoutState();
    PlayLayout.CentreX = w / 2;
    PlaceTray(PlayLayout.CentreX, h, Display.TrayCell);
    PlaceStatusBar(PlayLayout.CentreX, h, tile);
}

void PlaceGameLogo() {
    const int logoWidth = SpriteWidth(ImgGameLogo);
    const int logoHeight = SpriteHeight(ImgGameLogo);
    Display.LogoX = Display.ScreenWidth / 2 - logoWidth / 2;
    Display.LogoY = Display.ScreenHeight / 2 - logoHeight / 2;
    // Zero or negative when the logo starts near the top or is taller than the
    // screen; the title intro then moves it by at least one pixel per frame.
    Display.LogoSlideStep = Display.LogoY / 25;
    Display.MenuCenterY = (Display.ScreenHeight - logoHeight) / 2 + logoHeight;
}
