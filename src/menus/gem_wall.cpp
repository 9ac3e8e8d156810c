// gem_wall.cpp: the wall of random gems that scrolls up behind the menu screens, one pixel per frame.
#include "display/assets.h"
#include "display/display.h"
#include "menus/menus.h"
#include "platform.h"

namespace {

int RandomGemImage() {
    return Assets.Gem[RandomInt(11, 1)];
}

}  // namespace

void BuildGemWall() {
    const int tile = Display.TileSize;
    Menus.GemWall.clear();
    Menus.GemWallColumns = 0;
    if (tile <= 0) {
        return;  // no layout yet: nothing to tile with
    }
    const int columns = Display.ScreenWidth / tile + 1;
    const int rows = Display.ScreenHeight / tile + 1;
    // Both bounds inclusive: one spare column and row beyond the screen edges.
    for (int j = 0; j <= rows; ++j) {
        for (int i = 0; i <= columns; ++i) {
            Menus.GemWall.push_back({RandomGemImage(), i * tile, j * tile});
        }
    }
    Menus.GemWallColumns = columns;
}

void StepGemWall() {
    const int tile = Display.TileSize;
    const int columns = Menus.GemWallColumns;
    std::vector<GemTile>& wall = Menus.GemWall;
    if (wall.empty() || tile <= 0) {
        return;
    }
    if (wall.front().y < -tile && int(wall.size()) > columns + 1) {
        // The top row has left the screen: recycle it as a new row at the bottom.
        int newY = wall.back().y + tile;
        wall.erase(wall.begin(), wall.begin() + (columns + 1));
        for (int i = 0; i <= columns; ++i) {
            wall.push_back({RandomGemImage(), i * tile, newY});
        }
    }
    for (GemTile& tileEntry : wall) {
        tileEntry.y -= 1;
    }
}

void DrawMenuBackground() {
    ClearFrame(RGB(0, 0, 0));
    for (const GemTile& t : Menus.GemWall) {
        DrawSprite(t.image, t.x, t.y);
    }
}
