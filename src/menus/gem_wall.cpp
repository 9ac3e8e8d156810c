// gem_wall.cpp: the wall of random gems that scrolls up behind the menu screens, one pixel per frame.
#include <algorithm>

#include "display/assets.h"
#include "display/display.h"
#include "menus/menus.h"
#include "platform.h"

namespace {

int RandomGemImage() {
    return Assets.Gem[RandomInt(11, 1)];
}

// Composes the row of tiles starting at GemWall[first] into one opaque sprite:
// black, then each gem at its x, just as the tiles land on the black screen. A
// gem shown at another size than a tile would spill over its row, so such a row
// is left to be drawn tile by tile (the sprite is freed).
void ComposeRow(int number, size_t first) {
    const int tile = Display.TileSize;
    const int perRow = Menus.GemWallColumns + 1;
    if (number == 0) {
        return;
    }
    if (!CreateSprite(number, perRow * tile, tile, 0)) {
        FreeSprite(number);
        return;
    }
    const int rowY = Menus.GemWall[first].y;
    bool faithful = true;
    for (size_t i = first; i < first + size_t(perRow); ++i) {
        const GemTile& t = Menus.GemWall[i];
        if (t.y != rowY || (IsSprite(t.image) && (SpriteWidth(t.image) != tile || SpriteHeight(t.image) != tile))) {
            faithful = false;
        }
    }
    if (!faithful || !StartDrawing(SpriteOutput(number))) {
        FreeSprite(number);
        return;
    }
    DrawingMode(DRAW_ALPHABLEND);
    for (size_t i = first; i < first + size_t(perRow); ++i) {
        const GemTile& t = Menus.GemWall[i];
        DrawShownSpriteOn(t.image, t.x - Menus.GemWall[first].x, 0);
    }
    StopDrawing();
}

void FreeRowSprites(size_t keep) {
    for (int k = int(keep); k < GemWallRowSpriteCount; ++k) {
        if (IsSprite(GemWallFirstRowSprite + k)) {
            FreeSprite(GemWallFirstRowSprite + k);
        }
    }
}

void DrawTiles(size_t first, size_t last) {
    for (size_t i = first; i < last; ++i) {
        const GemTile& t = Menus.GemWall[i];
        DrawSprite(t.image, t.x, t.y);
    }
}

}  // namespace

void BuildGemWall() {
    const int tile = Display.TileSize;
    Menus.GemWall.clear();
    Menus.GemWallRowSprites.clear();
    Menus.GemWallColumns = 0;
    if (tile <= 0) {
        FreeRowSprites(0);
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
    // One sprite per row from the kept numbers; rows beyond them (a very tall
    // screen) get 0 and are drawn tile by tile.
    for (int j = 0; j <= rows; ++j) {
        const int number = j < GemWallRowSpriteCount ? GemWallFirstRowSprite + j : 0;
        Menus.GemWallRowSprites.push_back(number);
        ComposeRow(number, size_t(j) * size_t(columns + 1));
    }
    FreeRowSprites(std::min<size_t>(Menus.GemWallRowSprites.size(), GemWallRowSpriteCount));
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
        // Its sprite goes with it and takes the new row's gems.
        std::vector<int>& rowSprites = Menus.GemWallRowSprites;
        if (!rowSprites.empty()) {
            std::rotate(rowSprites.begin(), rowSprites.begin() + 1, rowSprites.end());
            ComposeRow(rowSprites.back(), wall.size() - size_t(columns + 1));
        }
    }
    for (GemTile& tileEntry : wall) {
        tileEntry.y -= 1;
    }
}

namespace {

// Clears to black what the opaque row sprites leave uncovered: above, between and
// below them, beside them, and under rows drawn tile by tile. The rows cover nearly
// the whole screen, so this is a few thin strips instead of a full-screen clear.
void ClearAroundRowSprites() {
    const int width = ScreenWidth();
    const size_t perRow = size_t(Menus.GemWallColumns) + 1;
    const std::vector<int>& rowSprites = Menus.GemWallRowSprites;
    int covered = 0;  // everything above this line is cleared or under a sprite
    for (size_t r = 0; r < rowSprites.size(); ++r) {
        const int number = rowSprites[r];
        if (number == 0 || !IsSprite(number)) {
            continue;
        }
        const GemTile& first = Menus.GemWall[r * perRow];
        const int top = first.y;
        const int bottom = first.y + SpriteHeight(number);
        const int left = first.x;
        const int right = first.x + SpriteWidth(number);
        if (top > covered) {
            ClearFrameArea(0, covered, width, top - covered, RGB(0, 0, 0));
        }
        const int from = std::max(top, covered);
        if (bottom > from) {
            ClearFrameArea(0, from, left, bottom - from, RGB(0, 0, 0));
            ClearFrameArea(right, from, width - right, bottom - from, RGB(0, 0, 0));
        }
        covered = std::max(covered, bottom);
    }
    const int height = ScreenHeight();
    if (covered < height) {
        ClearFrameArea(0, covered, width, height - covered, RGB(0, 0, 0));
    }
}

}  // namespace

void DrawMenuBackground() {
    const size_t perRow = size_t(Menus.GemWallColumns) + 1;
    const std::vector<int>& rowSprites = Menus.GemWallRowSprites;
    if (rowSprites.size() * perRow != Menus.GemWall.size()) {
        DrawMenuBackgroundTiles();  // no row sprites for this wall
        return;
    }
    ClearAroundRowSprites();
    for (size_t r = 0; r < rowSprites.size(); ++r) {
        const size_t first = r * perRow;
        if (rowSprites[r] != 0 && IsSprite(rowSprites[r])) {
            DrawSpriteOpaque(rowSprites[r], Menus.GemWall[first].x, Menus.GemWall[first].y);
        } else {
            DrawTiles(first, first + perRow);
        }
    }
}

void DrawMenuBackgroundTiles() {
    ClearFrame(RGB(0, 0, 0));
    DrawTiles(0, Menus.GemWall.size());
}
