// replay.cpp: moves as values - playing one as the pointer would, an automatic player, and replaying a game.
#include "board.h"

GameSnapshot TakeGameSnapshot()
{
    GameSnapshot snapshot{};
    snapshot.Board = Board;
    snapshot.Tray = Tray;
    snapshot.Vars = GameVars;
    // Only the list of this game's last clearing belongs to the game: elements
    // past its end, or a list left over from an earlier game, are not kept.
    if (GameVars.Lines > 0) {
        snapshot.Effects.Count = Effects.Count;
        for (int e = 0; e < Effects.Count; e++) snapshot.Effects.Items[e] = Effects.Items[e];
    }
    snapshot.Effects.EffectActive = Effects.EffectActive;
    for (int w = 0; w < 4; w++) snapshot.RandomState[w] = BoardRng.State[w];
    return snapshot;
}

int PlayMove(const BoardMove& move)
{
    if (GameVars.GameRunning == 0 || Effects.EffectActive != 0) return -2;
    const int shape = TakeFromTray(move.slot);
    if (shape == 0) return -2;
    const int result = PlacePiece(move.column, move.row, shape, move.slot);
    // The pointer cannot pick the next piece up before the fade has ended;
    // the fade lasts a fixed number of frames, so a replay just runs it out.
    while (Effects.EffectActive != 0 && GameVars.GameRunning != 0) StepClearEffect();
    return result;
}

// ---------------------------------------------------------------- bot

static uint64_t BotNext(uint64_t* state)
{
    uint64_t z = (*state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// A uniform pick in 0..count-1; the slight bias of a 64-bit modulo over at
// most a few hundred candidates does not matter to a test player.
static int BotPick(uint64_t* state, int count)
{
    return static_cast<int>(BotNext(state) % static_cast<uint64_t>(count));
}


// Lines that placing the shape at (i, j) would complete, on a grid of filled flags.
static int LinesCompleted(bool filled[MaxColumns][BoardRows], std::span<const ShapeCell> cells, int i, int j,
                          int width, int height)
{
    for (const ShapeCell& c : cells) filled[i + c.dx][j + c.dy] = true;
    int lines = 0;
    for (int col = i; col < i + width; col++) {
        int count = 0;
        for (int row = 0; row < BoardRows; row++) count += filled[col][row];
        lines += count == BoardRows;
    }
    for (int row = j; row < j + height; row++) {
        int count = 0;
        for (int col = 0; col < Board.Columns; col++) count += filled[col][row];
        lines += count == Board.Columns;
    }
    for (const ShapeCell& c : cells) filled[i + c.dx][j + c.dy] = false;
    return lines;
}

int ChooseBotMove(int strategy, uint64_t* botRandom, BoardMove* move)
{
    BoardMove candidates[TraySlots * MaxCells];
    int count = 0;
    int bestValue = -1;

    bool filled[MaxColumns][BoardRows] = {};
    for (int i = 0; i <= Board.LastColumn; i++)
        for (int j = 0; j < BoardRows; j++) filled[i][j] = IsEmpty(i, j) == 0;

    for (int k = 0; k < TraySlots; k++) {
        const int shape = Tray.Slots[k].piece;
        if (shape < 1 || shape > ShapeCount) continue;
        const std::span<const ShapeCell> cells = ShapeCells(shape);
        const int width = ShapeWidth(shape);
        const int height = ShapeHeight(shape);
        for (int j = 0; j <= BoardRows - height; j++) {
            for (int i = 0; i <= Board.Columns - width; i++) {
                bool fits = true;
                for (const ShapeCell& c : cells) fits = fits && !filled[i + c.dx][j + c.dy];
                if (!fits) continue;
                const int value =
                    strategy == BotGreedy ? LinesCompleted(filled, cells, i, j, width, height) : 0;
                if (value > bestValue) {
                    bestValue = value;
                    count = 0;
                }
                if (value == bestValue) candidates[count++] = BoardMove{k, i, j};
            }
        }
    }
    if (count == 0) return 0;
    *move = candidates[BotPick(botRandom, count)];
    return 1;
}

// ---------------------------------------------------------------- replay

GameSnapshot ReplayGame(uint64_t seed, int mode, int size, std::span<const BoardMove> moves,
                        const ReplayLayout& layout)
{
    BoardSeedRandom(seed);
    GameVars.GameMode = mode;
    GameVars.BoardSize = size;
    ClearBoardEvents();
    if (BoardStartGame(layout.ScreenWidth, layout.TileSize, layout.BoardTop)) {
        for (const BoardMove& move : moves) {
            if (GameVars.GameRunning == 0) break;
            PlayMove(move);
            // Nobody listens during a replay; keep the queue from filling up.
            ClearBoardEvents();
        }
    }
    return TakeGameSnapshot();
}
