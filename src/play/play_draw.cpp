// play_draw.cpp: the play screen's frame, composed back to front from images, and the board frame's layout.
//
// Nothing is measured or rendered here per frame: every image already holds its
// content and display size, so a frame is only a list of blits. The background,
// the tray slots and the status-bar contents are drawn opaque; the screen drawing
// then skips whatever they cover underneath.
//
// Most edges of the board, the tray and the status-bar cells lie over nothing but
// the background, and what overlaps them (corner ornaments, caps) is drawn after
// them anyway. At each game start those edges are composed once, in frame order,
// onto a copy of the background, and the frame draws that one opaque image in
// their place: the same picture, without blending their see-through borders again
// every frame. An edge that reaches over something drawn before it stays in its
// place in the frame.
#include <vector>

#include "core/state.h"
#include "play/play.h"
#include "board.h"
#include "display/assets.h"
#include "display/display.h"
#include "menus/menus.h"
#include "platform.h"

namespace {

struct EdgeBlit {
    int image;
    int x;
    int y;
};

// The edges of the board, of the tray and of the four status-bar cells, in frame order.
void ListEdges(EdgeBlit edges[EdgeCount]) {
    const BoardFramePlaces& f = Play.Frame;
    const ScreenRect& first = PlayLayout.TrayRect[0];
    const ScreenRect& last = PlayLayout.TrayRect[TraySlots - 1];
    const int t = Display.TileSize;
    int n = 0;
    edges[n++] = {ImgFrameTop, f.TopEdge.x, f.TopEdge.y};
    edges[n++] = {ImgFrameBottom, f.BottomEdge.x, f.BottomEdge.y};
    edges[n++] = {ImgFrameRight, f.LeftEdge.x, f.LeftEdge.y};
    edges[n++] = {ImgFrameLeft, f.RightEdge.x, f.RightEdge.y};
    edges[n++] = {ImgTrayTop, first.x1, first.y1 - t};
    edges[n++] = {ImgTrayLeft, first.x1 - t, first.y1};
    edges[n++] = {ImgTrayRight, last.x2, first.y1};
    const int top[4] = {ImgMenuButtonTop, ImgModeBoxTop, ImgScoreBoxTop, ImgScoreBoxTop};
    const int bottom[4] = {ImgMenuButtonBottom, ImgModeBoxBottom, ImgScoreBoxBottom, ImgScoreBoxBottom};
    for (int i = CellMenuButton; i <= CellBest; ++i) {
        const StatusBarCell& cell = PlayLayout.StatusCell[i];
        edges[n++] = {top[i], cell.bx, cell.topEdgeY};
        edges[n++] = {bottom[i], cell.bx, cell.bottomEdgeY};
    }
}

// Where one drawing lands, and which edge it is (-1 for anything else).
struct Layer {
    ScreenRect area;
    int edge;
};

Layer SpriteLayer(int image, int x, int y, int edge = -1) {
    return {{x, y, x + SpriteWidth(image), y + SpriteHeight(image)}, edge};
}

bool Overlap(const ScreenRect& a, const ScreenRect& b) {
    return a.x1 < b.x2 && b.x1 < a.x2 && a.y1 < b.y2 && b.y1 < a.y2;
}

// Marks the edges that can go into the backdrop: those that overlap nothing drawn
// between the background and themselves that stays out of it. On most screens
// that is all of them, but the tray's top edge, for one, reaches over the last
// row of cells on 16:9 screens and must stay in its place in the frame.
void ChooseBackdropEdges(const EdgeBlit edges[EdgeCount], bool baked[EdgeCount]) {
    const BoardFramePlaces& f = Play.Frame;
    const int t = Display.TileSize;
    std::vector<Layer> layers;  // in frame order, the background left out
    for (int e = 0; e < 4; ++e) layers.push_back(SpriteLayer(edges[e].image, edges[e].x, edges[e].y, e));
    layers.push_back({{Board.BoardLeft, Board.BoardTop, Board.BoardLeft + Board.Columns * t, Board.BoardTop + 8 * t}, -1});
    for (const ScreenPoint& at : {f.TopLeft, f.TopRight, f.BottomLeft, f.BottomRight}) {
        layers.push_back(SpriteLayer(ImgDecorTopLeft, at.x, at.y));
    }
    for (const ScreenRect& slot : PlayLayout.TrayRect) layers.push_back({slot, -1});
    for (int e = 4; e < 7; ++e) layers.push_back(SpriteLayer(edges[e].image, edges[e].x, edges[e].y, e));
    const ScreenRect& first = PlayLayout.TrayRect[0];
    layers.push_back(SpriteLayer(ImgDecorTopLeft, first.x1 - t, first.y1 - t));
    layers.push_back(SpriteLayer(ImgDecorTopRight, PlayLayout.TrayRect[TraySlots - 1].x2 - t, first.y1 - t));
    const int contents[4] = {ImgMenuButton, ImgModeBox, ImgScoreBox, ImgBestBox};
    for (int i = CellMenuButton; i <= CellBest; ++i) {
        const StatusBarCell& cell = PlayLayout.StatusCell[i];
        layers.push_back(SpriteLayer(contents[i], cell.contentX, cell.contentY));
        layers.push_back(SpriteLayer(edges[7 + 2 * i].image, edges[7 + 2 * i].x, edges[7 + 2 * i].y, 7 + 2 * i));
        layers.push_back(SpriteLayer(edges[8 + 2 * i].image, edges[8 + 2 * i].x, edges[8 + 2 * i].y, 8 + 2 * i));
        layers.push_back(SpriteLayer(ImgStatusLeftCap, cell.leftCapX, cell.capY));
        layers.push_back(SpriteLayer(ImgStatusRightCap, cell.rightCapX, cell.capY));
    }
    std::vector<ScreenRect> drawnInFrame;
    for (const Layer& layer : layers) {
        bool clear = layer.edge >= 0;
        for (const ScreenRect& below : drawnInFrame) clear = clear && !Overlap(layer.area, below);
        if (clear) {
            baked[layer.edge] = true;
        } else {
            drawnInFrame.push_back(layer.area);
        }
    }
}

// The background with the chosen edges laid over it, as the frame would blend them.
bool ComposeBackdrop() {
    BoardFramePlaces& f = Play.Frame;
    for (bool& baked : f.EdgeInBackdrop) baked = false;
    // A copy of the background keeps what makes it (its gradient) instead of a
    // screenful of pixels; the edges laid over it are kept as small patches.
    if (SpriteStoredWidth(ImgPlayBackground) <= 0 || !CopySprite(ImgPlayBackground, ImgPlayBackdrop, 0)) {
        return false;
    }
    if (!StartDrawing(SpriteOutput(ImgPlayBackdrop))) return false;
    DrawingMode(DRAW_ALPHABLEND);
    EdgeBlit edges[EdgeCount];
    ListEdges(edges);
    ChooseBackdropEdges(edges, f.EdgeInBackdrop);
    for (int e = 0; e < EdgeCount; ++e) {
        if (f.EdgeInBackdrop[e]) DrawShownSpriteOn(edges[e].image, edges[e].x, edges[e].y);
    }
    StopDrawing();
    return true;
}

}  // namespace

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
    f.BackdropComposed = ComposeBackdrop();
}

namespace {

void DrawAt(int image, const ScreenPoint& at) { DrawSprite(image, at.x, at.y); }

// Edge e at its place in the frame, unless it is part of the backdrop.
void DrawEdge(const EdgeBlit edges[EdgeCount], int e) {
    if (!Play.Frame.EdgeInBackdrop[e]) DrawSprite(edges[e].image, edges[e].x, edges[e].y);
}

// The background with the edges composed into it, or (when it could not be made) the plain background.
void DrawBackdrop(const EdgeBlit edges[EdgeCount]) {
    if (Play.Frame.BackdropComposed) {
        DrawSpriteOpaque(ImgPlayBackdrop, 0, 0);
    } else {
        DrawSpriteOpaque(ImgPlayBackground, 0, 0);
    }
    for (int e = 0; e < 4; ++e) DrawEdge(edges, e);
}

void DrawBoard() {
    const BoardFramePlaces& f = Play.Frame;
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

void DrawTray(const EdgeBlit edges[EdgeCount]) {
    for (int k = 0; k < TraySlots; ++k) {
        DrawSpriteOpaque(Tray.Slots[k].image, PlayLayout.TrayRect[k].x1, PlayLayout.TrayRect[k].y1);
    }
    for (int e = 4; e < 7; ++e) DrawEdge(edges, e);
    const ScreenRect& first = PlayLayout.TrayRect[0];
    const ScreenRect& last = PlayLayout.TrayRect[TraySlots - 1];
    const int t = Display.TileSize;
    // The board's two top ornaments crown the tray's corners as well.
    DrawSprite(ImgDecorTopLeft, first.x1 - t, first.y1 - t);
    DrawSprite(ImgDecorTopRight, last.x2 - t, first.y1 - t);
}

// Cell by cell: the content opaque, its top and bottom edges, then the caps on its two borders.
void DrawStatusBar(const EdgeBlit edges[EdgeCount]) {
    const int contents[4] = {Play.MenuButtonImage, ImgModeBox, ImgScoreBox, ImgBestBox};
    for (int i = CellMenuButton; i <= CellBest; ++i) {
        const StatusBarCell& cell = PlayLayout.StatusCell[i];
        DrawSpriteOpaque(contents[i], cell.contentX, cell.contentY);
        DrawEdge(edges, 7 + 2 * i);
        DrawEdge(edges, 8 + 2 * i);
        DrawSprite(ImgStatusLeftCap, cell.leftCapX, cell.capY);
        DrawSprite(ImgStatusRightCap, cell.rightCapX, cell.capY);
    }
}

// Centred on the pointer with the halves taken at pick-up; partly off-screen is
// clipped. A piece the keys carry stands with its origin on the cursor's cell.
void DrawCarriedPiece() {
    if (Play.KeyCarried) {
        const BoardCell& cell = CellAt(Play.KeyColumn, Play.KeyRow);
        DrawSprite(Assets.Shape[Play.KeyShape], cell.x, cell.y);
    }
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
    EdgeBlit edges[EdgeCount];
    ListEdges(edges);
    DrawBackdrop(edges);
    DrawBoard();
    DrawTray(edges);
    DrawStatusBar(edges);
    DrawCarriedPiece();
    DrawClearEffect();
    if (screenState >= StateInGameMenu && screenState <= StateGameOver) {
        DrawSprite(ImgShadow, 0, 0);
        DrawMenuScreen(screenState);
    }
}
