// board.cpp: the board's cells and their screen layout, the game start, best scores and the event queue.
#include "board.h"

BoardState Board;
BoardImageSet BoardImages;
GameVariables GameVars;
ClearEffectState Effects;
BestScoreTable BestScores;
BoardEventQueue BoardEvents;

// ---------------------------------------------------------------- images

// Distinct placeholder handles so the rules work before the game has loaded
// its images (tests, tools). Emptiness is decided by comparing handles, so the
// twelve gem handles must differ from each other.
static void SetPlaceholderImages()
{
    for (int c = 0; c <= ShapeCount; c++) {
        BoardImages.Gem[c] = 1000 + c;
        BoardImages.GemEffect[c] = 2000 + c;
        BoardImages.Tray[c] = 3000 + c;
    }
    BoardImages.EmptySlot = 3000;
    BoardImages.Tray[0] = BoardImages.EmptySlot;
}

void BoardSetImages(const int gem[ShapeCount + 1], const int gemEffect[ShapeCount + 1],
                    const int tray[ShapeCount + 1], int emptySlot)
{
    for (int c = 0; c <= ShapeCount; c++) {
        BoardImages.Gem[c] = gem[c];
        BoardImages.GemEffect[c] = gemEffect[c];
        BoardImages.Tray[c] = tray[c];
    }
    // A slot holding no piece shows the empty square, wherever it is looked up.
    BoardImages.Tray[0] = emptySlot;
    BoardImages.EmptySlot = emptySlot;
}

// ---------------------------------------------------------------- reset and start

void ClearBoardEvents()
{
    BoardEvents.Count = 0;
    BoardEvents.Dropped = 0;
}

void BoardResetAll()
{
    BuildShapeCatalogue();
    Board = BoardState{};
    GameVars = GameVariables{};
    Tray = TrayState{};
    Effects = ClearEffectState{};
    BestScores = BestScoreTable{};
    BoardEvents = BoardEventQueue{};
    SetPlaceholderImages();
    BoardSeedRandom(0);
}

int ColumnsForBoardSize(int boardSize)
{
    switch (boardSize) {
    case SizeSmall: return 8;
    case SizeMedium: return 12;
    case SizeLarge: return 16;
    default: return 0;
    }
}

int BoardStartGame(int screenWidth, int tileSize, int boardTop)
{
    const int columns = ColumnsForBoardSize(GameVars.BoardSize);
    if (columns == 0 || GameVars.GameMode < ModeEasy || GameVars.GameMode > ModeUnpredictable)
        return 0;
    if (!Shapes.Built) BuildShapeCatalogue();

    // A fresh board of zeroed records, centred horizontally.
    Board = BoardState{};
    Board.Columns = columns;
    Board.TileSize = tileSize;
    Board.BoardTop = boardTop;
    Board.BoardLeft = screenWidth / 2 - (columns * tileSize) / 2;
    Board.LastColumn = columns - 1;

    for (int i = 0; i <= Board.LastColumn; i++) {
        for (int j = 0; j < BoardRows; j++) {
            BoardCell& cell = Board.Cells[8 * i + j];
            cell.image = BoardImages.Gem[0];
            cell.x = Board.BoardLeft + i * tileSize;
            cell.y = boardTop + j * tileSize;
            cell.snapLeft = cell.x - tileSize / 4;
            cell.snapTop = cell.y - tileSize / 4;
            cell.snapRight = cell.x + tileSize / 2;
            cell.snapBottom = cell.y + tileSize / 2;
            cell.marked = 0;
            cell.colour = 0;
        }
    }

    FillTray();

    // The clear-effect list itself is left alone: it is hidden while
    // EffectActive is 0 and emptied by the next clearing.
    GameVars.GameRunning = 1;
    GameVars.Score = 0;
    GameVars.Moves = 0;
    GameVars.Lines = 0;
    Tray.PiecesLeftInBatch = 3;
    Effects.EffectActive = 0;
    return 1;
}

// ---------------------------------------------------------------- cells

BoardCell& CellAt(int i, int j)
{
    return Board.Cells[8 * i + j];
}

int IsEmpty(int i, int j)
{
    return Board.Cells[8 * i + j].image == BoardImages.Gem[0] ? 1 : 0;
}

int FindSnapCell(int px, int py, int* column, int* row)
{
    for (int j = 0; j < BoardRows; j++) {
        for (int i = 0; i <= Board.LastColumn; i++) {
            const BoardCell& cell = Board.Cells[8 * i + j];
            if (cell.snapLeft < px && px < cell.snapRight && cell.snapTop < py && py < cell.snapBottom) {
                *column = i;
                *row = j;
                return 1;
            }
        }
    }
    return 0;
}

// ---------------------------------------------------------------- best scores

static bool ValidModeAndSize(int mode, int size)
{
    return mode >= 1 && mode <= 3 && size >= 1 && size <= 3;
}

int BestScoreFor(int mode, int size)
{
    if (!ValidModeAndSize(mode, size)) return 0;
    return BestScores.Entry[mode - 1][size - 1];
}

void SetBestScore(int mode, int size, int score)
{
    if (!ValidModeAndSize(mode, size)) return;
    BestScores.Entry[mode - 1][size - 1] = score;
}
