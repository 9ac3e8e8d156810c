// gem_wall.cpp: the wall of random gems that scrolls up behind the menu screens, one pixel per frame.

#include "display/assets.h"
#include "menus/menus.h"
#include "platform.h"

namespace {

int RandomGemImage() {
    return Assets.Gem[RandomInt(11, 1)];
}

// The opaque tile sprite showing a gem image on black, 0 when that gem is drawn
// with its own transparency instead.
int WallTileSprite(int image) {
    for (int colour = 1; colour <= GemColourCount; ++colour) {
        if (Assets.Gem[colour] == image) {
            return Menus.GemWallTileSprites[size_t(colour)];
        }
    }
    return 0;
}

// Composes each gem colour on black into an opaque sprite of one tile: drawing it
// gives the very pixels of the gem laid on the black screen, as a straight copy of
// a few kilobytes that stay in the processor's cache for the whole wall. A gem
// shown at another size than a tile would spill over its neighbours, so it keeps
// no tile sprite and is drawn with its transparency.
void ComposeTileSprites(int tile) {
    Menus.GemWallTileSprites.fill(0);
    for (int colour = 1; colour <= GemColourCount; ++colour) {
        const int number = GemWallFirstTileSprite + colour;
        const int gem = Assets.Gem[colour];
        const bool fits = IsSprite(gem) && SpriteWidth(gem) == tile && SpriteHeight(gem) == tile;
        if (tile <= 0 || !fits || !CreateSprite(number, tile, tile, 0)) {
            FreeSprite(number);
            continue;
        }
        if (!StartDrawing(SpriteOutput(number))) {
            FreeSprite(number);
            continue;
        }
        DrawingMode(DRAW_ALPHABLEND);
        DrawShownSpriteOn(gem, 0, 0);
        StopDrawing();
        Menus.GemWallTileSprites[size_t(colour)] = number;
    }
}

}  // namespace

int BuildGemWall(int width, int height, int tile) {
    Menus.GemWall.clear();
    ComposeTileSprites(tile);
    if (tile <= 0) {
        return 0;  // no layout yet: nothing to tile with
    }
    const int columns = width / tile + 1;
    const int rows = height / tile + 1;
    // Both bounds inclusive: one spare column and row beyond the screen edges.
    for (int j = 0; j <= rows; ++j) {
        for (int i = 0; i <= columns; ++i) {
            Menus.GemWall.push_back({RandomGemImage(), i * tile, j * tile});
        }
    }
    return columns;
}

void ScrollGemWall(int columns, int tile) {
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

// Black, then every tile: the opaque tile sprites where there are, the gem itself
// otherwise. The screen skips the clear wherever the tiles cover it.
void DrawGemWall() {
    ClearFrame(RGB(0, 0, 0));
    for (const GemTile& t : Menus.GemWall) {
        const int sprite = WallTileSprite(t.image);
        if (sprite != 0) {
            DrawSpriteOpaque(sprite, t.x, t.y);
        } else {
            DrawSprite(t.image, t.x, t.y);
        }
    }
}

void DrawGemWallGemByGem() {
    ClearFrame(RGB(0, 0, 0));
    for (const GemTile& t : Menus.GemWall) {
        DrawSprite(t.image, t.x, t.y);
    }
}
