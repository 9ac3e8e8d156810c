// play_draw.cpp: the play screen's frame, composed back to front from images, and the board frame's layout.
//
// Nothing is measured, rendered or created here per frame: every image already
// holds its content and display size, so a frame is only a list of blits. The
// background, the tray slots and the status-bar contents are drawn opaque; the
// screen drawing then skips whatever they cover underneath.
#include "app/app.h"
#include "app/screens.h"
#include "app/spine.h"
#include "board.h"
#include "display/assets.h"
#include "display/display.h"
#include "menus/menus.h"
#include "platform.h"

void LayoutBoardFrame(int columns) {
    const int t = Display.TileSize;
    const int left = Board.BoardLeft;
    const int top = Board.BoardTop;
    const int width = columns * t;
    // The top and bottom rails run the board's width, the side rails its eight rows.
    ScaleSprite(ImgFrameTop, width, t);
    ScaleSprite(ImgFrameBottom, width, t);
    ScaleSprite(ImgFrameRight, t, 8 * t);
    ScaleSprite(ImgFrameLeft, t, 8 * t);
    BoardFramePlaces& f = Play.Frame;
    f.TopEdge = {left, top - t};
    f.BottomEdge = {left, top + 8 * t};
    f.LeftEdge = {left - t, top};
    f.RightEdge = {left + width, top};
    // Each 2T ornament overlaps one tile of the rails and one of the outer cells.
    f.TopLeft = {left - t, top - t};
    f.TopRight = {left + (columns - 1) * t, top - t};
    f.BottomLeft = {left - t, top + 7 * t};
    f.BottomRight = {left + (columns - 1) * t, top + 7 * t};
}

namespace {

void DrawAt(int image, const ScreenPoint& at) { DrawSprite(image, at.x, at.y); }

void DrawBoard() {
    const BoardFramePlaces& f = Play.Frame;
    DrawAt(ImgFrameTop, f.TopEdge);
    DrawAt(ImgFrameBottom, f.BottomEdge);
    DrawAt(ImgFrameRight, f.LeftEdge);
    DrawAt(ImgFrameLeft, f.RightEdge);
    for (int i = 0; i < Board.Columns; ++i) {
        for (int j = 0; j < BoardRows; ++j) {
            const BoardCell& cell = CellAt(i, j);
            DrawSprite(cell.image, cell.x, cell.y);
        }
    }
    DrawAt(ImgDecorTopLeft, f.TopLeft);
    DrawAt(ImgDecorTopRight, f.TopRight);
    DrawAt(ImgDecorBottomLeft, f.BottomLeft);
    DrawAt(ImgDecorBottomRight, f.BottomRight);
}

void DrawTray() {
    for (int k = 0; k < TraySlots; ++k) {
        DrawSpriteOpaque(Tray.Slots[k].image, PlayLayout.TrayRect[k].x1, PlayLayout.TrayRect[k].y1);
    }
    const ScreenRect& first = PlayLayout.TrayRect[0];
    const ScreenRect& last = PlayLayout.TrayRect[TraySlots - 1];
    const int t = Display.TileSize;
    DrawSprite(ImgTrayTop, first.x1, first.y1 - t);
    DrawSprite(ImgTrayLeft, first.x1 - t, first.y1);
    DrawSprite(ImgTrayRight, last.x2, first.y1);
    // The board's two top ornaments crown the tray's corners as well.
    DrawSprite(ImgDecorTopLeft, first.x1 - t, first.y1 - t);
    DrawSprite(ImgDecorTopRight, last.x2 - t, first.y1 - t);
}

// Per status-bar cell: its content and the top and bottom edge images of its width.
struct StatusCellImages {
    int content;
    int topEdge;
    int bottomEdge;
};

void DrawStatusBar() {
    const StatusCellImages images[4] = {
        {Play.MenuButtonImage, ImgMenuButtonTop, ImgMenuButtonBottom},
        {ImgModeBox, ImgModeBoxTop, ImgModeBoxBottom},
        {ImgScoreBox, ImgScoreBoxTop, ImgScoreBoxBottom},
        {ImgBestBox, ImgScoreBoxTop, ImgScoreBoxBottom},
    };
    for (int i = CellMenuButton; i <= CellBest; ++i) {
        const StatusBarCell& cell = PlayLayout.StatusCell[i];
        DrawSpriteOpaque(images[i].content, cell.contentX, cell.contentY);
        DrawSprite(images[i].topEdge, cell.bx, cell.topEdgeY);
        DrawSprite(images[i].bottomEdge, cell.bx, cell.bottomEdgeY);
        DrawSprite(ImgStatusLeftCap, cell.leftCapX, cell.capY);
        DrawSprite(ImgStatusRightCap, cell.rightCapX, cell.capY);
    }
}

// Centred on the pointer with the halves taken at pick-up; partly off-screen is clipped.
void DrawCarriedPiece() {
    if (!Play.Dragging) return;
    DrawSprite(Assets.Shape[Play.DragShape], PointerX() - Play.DragHalfWidth, PointerY() - Play.DragHalfHeight);
}

void DrawClearEffect() {
    if (!Effects.EffectActive) return;
    for (int e = 0; e < Effects.Count; ++e) {
        const ClearEffect& item = Effects.Items[e];
        DrawSprite(item.image, item.x, item.y, item.alpha);  // nothing is drawn at 0 or less
    }
}

}  // namespace

void DrawPlayScreen(int screenState) {
    DrawSpriteOpaque(ImgPlayBackground, 0, 0);
    DrawBoard();
    DrawTray();
    DrawStatusBar();
    DrawCarriedPiece();
    DrawClearEffect();
    if (screenState >= StateInGameMenu && screenState <= StateGameOver) {
        DrawSprite(ImgShadow, 0, 0);
        DrawMenuScreen(screenState);
    }
}
