// board.h: the rules of the game - board, pieces, placement, clearing, scoring, tray supply and game over.
//
// Everything here is pure game logic: no screen, no sound, no platform. The
// game hands the board the image handles it should store (BoardSetImages), the
// layout it should place cells with (BoardStartGame) and a seed for its random
// source (BoardSeedRandom). What the rules would make other subsystems do
// (sounds, score box, end of the drag, game-over panel) is queued, in order, in
// BoardEvents; the game drains that queue after each call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// ---------------------------------------------------------------- pieces

constexpr int ShapeCount = 11;     // shapes 1..11; 0 means "no piece"
constexpr int MaxShapeCells = 9;   // the 3x3 square

struct ShapeCell {
    int8_t dx;  // columns to the right of the origin
    int8_t dy;  // rows below the origin
};

struct ShapeCatalogue {
    ShapeCell Cells[ShapeCount + 1][MaxShapeCells];
    int Count[ShapeCount + 1];
    int Width[ShapeCount + 1];
    int Height[ShapeCount + 1];
    int Built;
};
extern ShapeCatalogue Shapes;

// Fills the catalogue from the built-in byte table; safe to call again.
void BuildShapeCatalogue();
// Cell list, count and bounding box of a shape; empty / 0 for numbers outside 1..11.
std::span<const ShapeCell> ShapeCells(int shape);
int ShapeCellCount(int shape);
int ShapeWidth(int shape);
int ShapeHeight(int shape);

// ---------------------------------------------------------------- random source

// xoshiro256** seeded through splitmix64: small, fast and fully reproducible,
// so a game replays exactly from its seed.
struct BoardRandomState {
    uint64_t State[4];
    uint64_t Seed;  // the last seed given to BoardSeedRandom
};
extern BoardRandomState BoardRng;

void BoardSeedRandom(uint64_t seed);
uint64_t BoardRandomNext();
// Uniform integer in [minimum, maximum] without modulo bias (same argument
// order as the platform's RandomInt). Returns minimum when maximum < minimum.
int BoardRandomInt(int maximum, int minimum);

// ---------------------------------------------------------------- board model

constexpr int BoardRows = 8;
constexpr int MaxColumns = 16;
constexpr int MaxCells = MaxColumns * BoardRows;

enum GameModeValue { ModeEasy = 1, ModeNormal = 2, ModeUnpredictable = 3 };
enum BoardSizeValue { SizeSmall = 1, SizeMedium = 2, SizeLarge = 3 };

struct BoardCell {
    int32_t image;   // gem image handle; the colour-0 gem image when empty
    int32_t colour;  // 0 empty, 1..11 the shape that filled it
    int32_t x;       // screen position of the top-left corner
    int32_t y;
    int32_t snapLeft;  // open rectangle a dropped piece's corner must fall in
    int32_t snapTop;
    int32_t snapRight;
    int32_t snapBottom;
    uint8_t marked;  // 1 only inside one run of ClearFullLines
    bool operator==(const BoardCell&) const = default;
};

struct BoardState {
    BoardCell Cells[MaxCells];  // cell (i, j) is element 8i + j, column after column
    int32_t Columns;            // N: 8, 12 or 16
    int32_t LastColumn;         // N - 1
    int32_t BoardLeft;          // screen x of column 0
    int32_t BoardTop;           // screen y of row 0, as given at the game start
    int32_t TileSize;           // T, as given at the game start
    bool operator==(const BoardState&) const = default;
};
extern BoardState Board;

// The image handles the board stores in cells, effect elements and tray slots.
// Index 0 of GemEffect and Tray is unused.
struct BoardImageSet {
    int32_t Gem[ShapeCount + 1];        // colour 0..11, 0 is the empty cell
    int32_t GemEffect[ShapeCount + 1];  // colour 1..11, a cleared cell fading out
    int32_t Tray[ShapeCount + 1];       // shape 1..11, a piece offered in a tray slot
    int32_t EmptySlot;                  // a tray slot with nothing in it
};
extern BoardImageSet BoardImages;

void BoardSetImages(const int gem[ShapeCount + 1], const int gemEffect[ShapeCount + 1],
                    const int tray[ShapeCount + 1], int emptySlot);

// ---------------------------------------------------------------- tray

constexpr int TraySlots = 3;

struct TraySlot {
    int32_t piece;  // shape 1..11, or 0 when the slot is empty
    int32_t image;  // tray image of the piece, or the empty-slot image
    bool operator==(const TraySlot&) const = default;
};

struct TrayState {
    TraySlot Slots[TraySlots];  // 0 left, 1 middle, 2 right
    int32_t PiecesLeftInBatch;  // NORMAL mode: pieces of the batch still to place
    bool operator==(const TrayState&) const = default;
};
extern TrayState Tray;

// ---------------------------------------------------------------- game variables

struct GameVariables {
    int32_t GameMode;     // 1..3, 0 while none is chosen
    int32_t BoardSize;    // 1..3, 0 while none is chosen
    int32_t Score;
    int32_t GameRunning;  // 1 from the game start until EndGame
    int32_t Moves;        // accepted placements of this game
    int32_t Lines;        // lines cleared in this game
    bool operator==(const GameVariables&) const = default;
};
extern GameVariables GameVars;

// ---------------------------------------------------------------- clear effect

struct ClearEffect {
    int32_t image;   // gem effect image of the cleared cell's colour
    int32_t colour;  // 1..11
    int32_t x;
    int32_t y;
    int32_t alpha;   // 255 when created, lowered every frame by StepClearEffect
    bool operator==(const ClearEffect&) const = default;
};

struct ClearEffectState {
    ClearEffect Items[MaxCells];  // a cell is cleared at most once per move
    int32_t Count;
    int32_t EffectActive;         // 1 while the list is shown and fading
    bool operator==(const ClearEffectState&) const = default;
};
extern ClearEffectState Effects;

// ---------------------------------------------------------------- best scores

struct BestScoreTable {
    int32_t Entry[3][3];  // [mode - 1][size - 1]
};
extern BestScoreTable BestScores;

// 0 for a mode or size outside 1..3 (as at start-up, before any choice).
int BestScoreFor(int mode, int size);
// Ignored for a mode or size outside 1..3. Used by the high-score file.
void SetBestScore(int mode, int size, int score);

// ---------------------------------------------------------------- events for the game

// Sound numbers the rules ask for, as the audio subsystem numbers them.
constexpr int BoardSoundRefused = 2;
constexpr int BoardSoundPlaced = 3;
constexpr int BoardSoundCleared = 4;
constexpr int BoardSoundGameOver = 5;
constexpr int BoardSoundNewBest = 7;

enum BoardEventKind {
    EventSound = 1,         // value: sound number to play with PlayEffect
    EventDragEnded = 2,     // the carried piece is gone: Dragging := 0
    EventScoreChanged = 3,  // value: the new score for the score box
    EventGameOver = 4,      // value: final score; newBest: 1 when it beat the table
};

struct BoardEvent {
    int32_t kind;
    int32_t value;
    int32_t newBest;
};

constexpr int MaxBoardEvents = 32;

struct BoardEventQueue {
    BoardEvent Items[MaxBoardEvents];
    int32_t Count;
    int32_t Dropped;  // events lost because the queue was not drained
};
extern BoardEventQueue BoardEvents;

void ClearBoardEvents();

// ---------------------------------------------------------------- game start and cells

// Every board structure back to its start-up value, the catalogue built, the
// random source seeded with 0 and placeholder image handles. For start-up and tests.
void BoardResetAll();

int ColumnsForBoardSize(int boardSize);  // 8, 12, 16; 0 outside 1..3

// The board's share of a game start, for GameVars.GameMode and .BoardSize:
// a new empty board placed from the screen width, TileSize and BoardTop, a
// fresh tray, and score, batch counter, effect flag and GameRunning reset.
// Returns 0 and changes nothing when the mode or size is not 1..3.
int BoardStartGame(int screenWidth, int tileSize, int boardTop);

// Callers keep 0 <= i <= LastColumn and 0 <= j <= 7.
BoardCell& CellAt(int i, int j);
int IsEmpty(int i, int j);

// The cell whose open snap zone holds (px, py): rows 0..7 outside, columns
// inside, first match wins. Returns 1 and the cell, or 0 when none does.
int FindSnapCell(int px, int py, int* column, int* row);

// ---------------------------------------------------------------- supply

int RandomPiece();  // uniform 1..11
void FillTray();
void RefillTray(int slot);
// Picking a piece up: the slot shows the empty-slot image while the piece is
// carried. Returns the shape, or 0 (nothing changed) for an empty or bad slot.
int TakeFromTray(int slot);
// Putting a carried piece back without a move: its slot shows the piece again.
void ReturnToTray(int slot);

// ---------------------------------------------------------------- moves and game over

// Drops shape s from tray slot k with its origin on cell (i, j). Returns the
// number of lines cleared (0 or more) or -1 when the drop is refused.
int PlacePiece(int i, int j, int s, int k);
// A carried shape s that goes back to tray slot k (a drop on no cell, or one the
// rules refuse): the failure sound, the slot's image again, the drag ended.
void RefuseDrop(int s, int k);
int ClearFullLines();
int PieceFitsAnywhere(int shape);
// Returns 1 when no tray piece fits and the game has just ended.
int EndOfMoveTest();
void EndGame();
// One frame of the clear-effect fade. Returns 1 in the frame it ends (after
// which the end-of-move test has run), 0 otherwise or when nothing is fading.
int StepClearEffect();

// ---------------------------------------------------------------- moves, bot and replay

struct BoardMove {
    int32_t slot;    // tray slot the piece is taken from
    int32_t column;  // cell that receives the shape's origin
    int32_t row;
    bool operator==(const BoardMove&) const = default;
};

// Everything a game leaves behind, for comparing two runs of the same game.
struct GameSnapshot {
    BoardState Board;
    TrayState Tray;
    GameVariables Vars;
    ClearEffectState Effects;
    uint64_t RandomState[4];
    bool operator==(const GameSnapshot&) const = default;
};
GameSnapshot TakeGameSnapshot();

// Plays one move as the pointer would: pick up from the slot, drop on the cell,
// then let a clear effect fade out completely. Returns PlacePiece's result, or
// -2 when the game is not running or the slot is empty (nothing happens).
int PlayMove(const BoardMove& move);

// BotRandom: any legal move, uniformly. BotGreedy: a move that completes the
// most lines now, chosen at random among equals.
enum BotStrategy { BotRandom = 1, BotGreedy = 2 };

// A legal move for the current tray and board, chosen by the strategy; the
// bot's own random state keeps it from disturbing the game's draws.
// Returns 0 when no tray piece fits anywhere.
int ChooseBotMove(int strategy, uint64_t* botRandom, BoardMove* move);

struct ReplayLayout {
    int ScreenWidth = 1920;
    int TileSize = 96;
    int BoardTop = 96;
};

// Seeds the random source, starts a game of the mode and size and plays the
// moves in order with PlayMove, then returns the final state. Uses and
// leaves behind the global game state, exactly as playing would.
GameSnapshot ReplayGame(uint64_t seed, int mode, int size, std::span<const BoardMove> moves,
                        const ReplayLayout& layout = ReplayLayout{});
