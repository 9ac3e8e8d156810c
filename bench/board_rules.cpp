// board_rules.cpp: cost of the end-of-move test on a crowded LARGE board and of whole bot games per mode and size.
#include <benchmark/benchmark.h>

#include <vector>

#include "board.h"

static void StartLargeGame()
{
    BoardResetAll();
    BoardSeedRandom(1);
    GameVars.GameMode = ModeEasy;
    GameVars.BoardSize = SizeLarge;
    BoardStartGame(1920, 96, 96);
}

static void FillCell(int i, int j, int colour)
{
    CellAt(i, j).image = BoardImages.Gem[colour];
    CellAt(i, j).colour = colour;
}

// Two cells in three filled, no two empty cells side by side or one above the
// other, and the only room for bigger pieces in the bottom-right corner: every
// scan runs through almost all origins before it finds a fit.
static void BuildCrowdedLargeBoard(bool leaveCorner)
{
    StartLargeGame();
    for (int i = 0; i < 16; i++)
        for (int j = 0; j < 8; j++)
            if ((i + 2 * j) % 3 != 0) FillCell(i, j, 1 + (i + j) % 11);
    if (leaveCorner) {
        for (int i = 13; i < 16; i++)
            for (int j = 5; j < 8; j++) {
                CellAt(i, j).image = BoardImages.Gem[0];
                CellAt(i, j).colour = 0;
            }
    }
    Tray.Slots[0].piece = 11;
    Tray.Slots[1].piece = 9;
    Tray.Slots[2].piece = 2;
}

static void BM_EndOfMoveTest_LargeFitsLate(benchmark::State& state)
{
    BuildCrowdedLargeBoard(true);
    for (auto _ : state) benchmark::DoNotOptimize(EndOfMoveTest());
    if (GameVars.GameRunning != 1) state.SkipWithError("the game should go on");
}
BENCHMARK(BM_EndOfMoveTest_LargeFitsLate);

// Nothing fits: all three shapes scan every origin and the game ends; the game
// is set running again each time so every call does the whole test.
static void BM_EndOfMoveTest_LargeNothingFits(benchmark::State& state)
{
    BuildCrowdedLargeBoard(false);
    for (auto _ : state) {
        GameVars.GameRunning = 1;
        BoardEvents.Count = 0;
        benchmark::DoNotOptimize(EndOfMoveTest());
    }
    if (GameVars.GameRunning != 0) state.SkipWithError("the game should end");
}
BENCHMARK(BM_EndOfMoveTest_LargeNothingFits);

static void BM_PieceFitsAnywhere_LargeEmpty(benchmark::State& state)
{
    StartLargeGame();
    int shape = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(PieceFitsAnywhere(shape));
        shape = shape % ShapeCount + 1;
    }
}
BENCHMARK(BM_PieceFitsAnywhere_LargeEmpty);

// One whole game per iteration, from its start to the end-of-move test that
// ends it, a fresh seed each time. Arguments: mode, size, bot strategy.
static void BM_BotGame(benchmark::State& state)
{
    const int mode = static_cast<int>(state.range(0));
    const int size = static_cast<int>(state.range(1));
    const int strategy = static_cast<int>(state.range(2));
    BoardResetAll();
    uint64_t seed = 1;
    int64_t moves = 0;
    for (auto _ : state) {
        BoardSeedRandom(seed);
        uint64_t botRandom = seed;
        seed++;
        GameVars.GameMode = mode;
        GameVars.BoardSize = size;
        BoardStartGame(1920, 96, 96);
        BoardMove move{};
        while (GameVars.GameRunning && ChooseBotMove(strategy, &botRandom, &move)) {
            PlayMove(move);
            BoardEvents.Count = 0;
            moves++;
        }
    }
    state.counters["moves_per_game"] = benchmark::Counter(static_cast<double>(moves), benchmark::Counter::kAvgIterations);
    state.counters["time_per_move"] = benchmark::Counter(static_cast<double>(moves),
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_BotGame)
    ->ArgNames({"mode", "size", "bot"})
    ->ArgsProduct({{ModeEasy, ModeNormal, ModeUnpredictable}, {SizeSmall, SizeMedium, SizeLarge}, {BotGreedy}})
    ->Args({ModeEasy, SizeLarge, BotRandom})
    ->Unit(benchmark::kMicrosecond);

// The rules alone, without the bot's choosing: one recorded greedy game per
// mode and size, replayed from its seed. Arguments: mode, size.
static void BM_ReplayGame(benchmark::State& state)
{
    const int mode = static_cast<int>(state.range(0));
    const int size = static_cast<int>(state.range(1));
    const uint64_t seed = 99;
    BoardResetAll();
    BoardSeedRandom(seed);
    GameVars.GameMode = mode;
    GameVars.BoardSize = size;
    BoardStartGame(1920, 96, 96);
    std::vector<BoardMove> moves;
    uint64_t botRandom = seed;
    BoardMove move{};
    while (GameVars.GameRunning && ChooseBotMove(BotGreedy, &botRandom, &move)) {
        PlayMove(move);
        BoardEvents.Count = 0;
        moves.push_back(move);
    }
    for (auto _ : state) benchmark::DoNotOptimize(ReplayGame(seed, mode, size, moves).Vars.Score);
    state.counters["moves_per_game"] = static_cast<double>(moves.size());
    state.counters["time_per_move"] =
        benchmark::Counter(static_cast<double>(moves.size()),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ReplayGame)
    ->ArgNames({"mode", "size"})
    ->ArgsProduct({{ModeEasy, ModeNormal, ModeUnpredictable}, {SizeSmall, SizeMedium, SizeLarge}})
    ->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
