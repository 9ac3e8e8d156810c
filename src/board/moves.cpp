// moves.cpp: placing a piece, clearing full lines, scoring, the fit test, the clear-effect fade and the game end.
#include "board.h"

// ---------------------------------------------------------------- events

static void PushEvent(int kind, int value, int newBest = 0)
{
    if (BoardEvents.Count >= MaxBoardEvents) {
        BoardEvents.Dropped++;
        return;
    }
    BoardEvents.Items[BoardEvents.Count++] = BoardEvent{kind, value, newBest};
}

static void PushSound(int number)
{
    PushEvent(EventSound, number);
}

// ---------------------------------------------------------------- fit

// Whether shape s, origin (i, j), lands on empty cells only. The origin must
// already be a valid one for the shape.
static bool ShapeFitsAt(std::span<const ShapeCell> cells, int i, int j)
{
    const int32_t emptyImage = BoardImages.Gem[0];
    for (const ShapeCell& c : cells) {
        if (Board.Cells[8 * (i + c.dx) + (j + c.dy)].image != emptyImage) return false;
    }
    return true;
}

int PieceFitsAnywhere(int shape)
{
    if (shape < 1 || shape > ShapeCount) return 0;
    const std::span<const ShapeCell> cells = ShapeCells(shape);
    const int lastOriginColumn = Board.Columns - ShapeWidth(shape);
    const int lastOriginRow = BoardRows - ShapeHeight(shape);
    for (int j = 0; j <= lastOriginRow; j++) {
        for (int i = 0; i <= lastOriginColumn; i++) {
            if (ShapeFitsAt(cells, i, j)) return 1;
        }
    }
    return 0;
}

// ---------------------------------------------------------------- placement

void RefuseDrop(int s, int k)
{
    PushSound(BoardSoundRefused);
    // The slot showed the empty square while the piece was carried.
    if (k >= 0 && k < TraySlots && s >= 1 && s <= ShapeCount) Tray.Slots[k].image = BoardImages.Tray[s];
    PushEvent(EventDragEnded, 0);
}

int PlacePiece(int i, int j, int s, int k)
{
    // The drop only ever hands over a cell of the board, a real shape and a
    // tray slot; anything else is refused rather than read out of bounds.
    if (s < 1 || s > ShapeCount || k < 0 || k >= TraySlots || i < 0 || j < 0 || i > Board.LastColumn ||
        j >= BoardRows) {
        RefuseDrop(s, k);
        return -1;
    }
    if (i > Board.Columns - ShapeWidth(s) || j > BoardRows - ShapeHeight(s)) {
        RefuseDrop(s, k);
        return -1;
    }
    const std::span<const ShapeCell> cells = ShapeCells(s);
    if (!ShapeFitsAt(cells, i, j)) {
        RefuseDrop(s, k);
        return -1;
    }

    PushSound(BoardSoundPlaced);
    for (const ShapeCell& c : cells) {
        BoardCell& cell = Board.Cells[8 * (i + c.dx) + (j + c.dy)];
        cell.image = BoardImages.Gem[s];
        cell.colour = s;
    }
    RefillTray(k);
    PushEvent(EventDragEnded, 0);
    GameVars.Score += 10;
    GameVars.Moves++;
    const int lines = ClearFullLines();
    GameVars.Score += 20 * lines;
    GameVars.Lines += lines;
    PushEvent(EventScoreChanged, GameVars.Score);
    // With lines cleared, the test waits until their fade has ended.
    if (Effects.EffectActive == 0) EndOfMoveTest();
    return lines;
}

int ClearFullLines()
{
    const int32_t emptyImage = BoardImages.Gem[0];
    int lines = 0;

    for (int i = 0; i <= Board.LastColumn; i++) {
        BoardCell* column = &Board.Cells[8 * i];
        int filled = 0;
        for (int j = 0; j < BoardRows; j++) filled += column[j].image != emptyImage;
        if (filled == BoardRows) {
            lines++;
            for (int j = 0; j < BoardRows; j++) column[j].marked = 1;
        }
    }
    // Marking empties nothing, so a row crossing a full column still counts.
    for (int j = 0; j < BoardRows; j++) {
        int filled = 0;
        for (int i = 0; i <= Board.LastColumn; i++) filled += Board.Cells[8 * i + j].image != emptyImage;
        if (filled == Board.Columns) {
            lines++;
            for (int i = 0; i <= Board.LastColumn; i++) Board.Cells[8 * i + j].marked = 1;
        }
    }
    if (lines < 1) return 0;

    PushSound(BoardSoundCleared);
    Effects.Count = 0;
    Effects.EffectActive = 1;
    for (int i = 0; i <= Board.LastColumn; i++) {
        for (int j = 0; j < BoardRows; j++) {
            BoardCell& cell = Board.Cells[8 * i + j];
            if (cell.marked != 1) continue;
            cell.image = emptyImage;
            cell.marked = 0;
            // A valid colour picks its effect image; anything else would mean a
            // corrupted cell, shown with no image rather than read out of bounds.
            const int32_t effectImage =
                cell.colour >= 1 && cell.colour <= ShapeCount ? BoardImages.GemEffect[cell.colour] : 0;
            Effects.Items[Effects.Count++] = ClearEffect{effectImage, cell.colour, cell.x, cell.y, 255};
            cell.colour = 0;
        }
    }
    return lines;
}

// ---------------------------------------------------------------- end of move and game over

int EndOfMoveTest()
{
    // All three are evaluated, even once one has been found to fit.
    const int fits = PieceFitsAnywhere(Tray.Slots[0].piece) + PieceFitsAnywhere(Tray.Slots[1].piece) +
                     PieceFitsAnywhere(Tray.Slots[2].piece);
    if (fits != 0) return 0;
    if (GameVars.GameRunning == 0) return 0;
    EndGame();
    return 1;
}

void EndGame()
{
    // A game ends once; a second call would compare and sound again.
    if (GameVars.GameRunning == 0) return;
    const int mode = GameVars.GameMode;
    const int size = GameVars.BoardSize;
    // The sound and the new-best flag both compare against the entry as it
    // was before this game's update.
    const bool newBest = GameVars.Score > BestScoreFor(mode, size);
    PushSound(newBest ? BoardSoundNewBest : BoardSoundGameOver);
    GameVars.GameRunning = 0;
    // The table is updated here rather than while the panel is drawn, so a new
    // best is kept even when the panel cannot be drawn.
    if (newBest) SetBestScore(mode, size, GameVars.Score);
    PushEvent(EventGameOver, GameVars.Score, newBest ? 1 : 0);
}

// ---------------------------------------------------------------- clear effect

int StepClearEffect()
{
    if (Effects.EffectActive == 0 || GameVars.GameRunning == 0) return 0;
    for (int e = 0; e < Effects.Count; e++) Effects.Items[e].alpha -= 16;
    // Every element starts at 255 together, so the last one speaks for all.
    if (Effects.Count > 0 && Effects.Items[Effects.Count - 1].alpha > 0) return 0;
    Effects.EffectActive = 0;
    EndOfMoveTest();
    return 1;
}
