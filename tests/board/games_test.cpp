// games_test.cpp: the fit test against placement on random boards, whole bot games with invariants, and replays.
#include <algorithm>
#include <random>

#include "board_test_util.h"

// ---------------------------------------------------------------- fit test against placement

// Whether some drop of shape s would be accepted, found by trying every cell.
static bool SomeDropIsAccepted(int s)
{
    const SavedGame saved = SaveGame();
    for (int i = 0; i <= Board.LastColumn; i++) {
        for (int j = 0; j < BoardRows; j++) {
            Tray.Slots[0].piece = s;
            const int result = PlacePiece(i, j, s, 0);
            if (result >= 0) {
                RestoreGame(saved);
                return true;
            }
            // A refusal touches nothing but the slot's image and the events.
            Tray = saved.tray;
            BoardEvents = saved.events;
        }
    }
    return false;
}

TEST(FitProperty, FitsAnywhereExactlyWhenSomeDropIsAccepted)
{
    std::mt19937_64 random(20240611);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::uniform_int_distribution<int> colour(1, 11);
    int fitting = 0;
    int notFitting = 0;
    for (int size = SizeSmall; size <= SizeLarge; size++) {
        for (int trial = 0; trial < 200; trial++) {
            StartTestGame(ModeEasy, size, trial);
            // Densities over the whole range, ends included, weighted towards
            // the crowded boards where the answer is in doubt.
            double density = trial % 10 == 0 ? 1.0 : trial % 10 == 1 ? 0.0 : 0.5 + 0.5 * unit(random);
            if (trial % 3 == 0) density = unit(random);
            for (int i = 0; i <= Board.LastColumn; i++)
                for (int j = 0; j < BoardRows; j++)
                    if (unit(random) < density) FillCell(i, j, colour(random));
            for (int s = 1; s <= ShapeCount; s++) {
                const int fits = PieceFitsAnywhere(s);
                ASSERT_EQ(fits == 1, SomeDropIsAccepted(s)) << "size " << size << " trial " << trial << " shape " << s;
                (fits ? fitting : notFitting)++;
            }
        }
    }
    // Both answers must have been exercised often.
    EXPECT_GT(fitting, 500);
    EXPECT_GT(notFitting, 500);
}

// ---------------------------------------------------------------- bot games

static ::testing::AssertionResult TrayInvariantsHold()
{
    int pieces = 0;
    for (int k = 0; k < TraySlots; k++) {
        const TraySlot& slot = Tray.Slots[k];
        if (slot.piece == 0) {
            if (slot.image != BoardImages.EmptySlot)
                return ::testing::AssertionFailure() << "empty slot " << k << " shows " << slot.image;
            continue;
        }
        pieces++;
        if (slot.piece < 1 || slot.piece > ShapeCount || slot.image != BoardImages.Tray[slot.piece])
            return ::testing::AssertionFailure() << "slot " << k << " piece " << slot.piece << " image " << slot.image;
    }
    const int expected = GameVars.GameMode == ModeNormal ? Tray.PiecesLeftInBatch : 3;
    if (pieces != expected)
        return ::testing::AssertionFailure() << pieces << " pieces in the tray, expected " << expected;
    return ::testing::AssertionSuccess();
}

struct BotGame {
    std::vector<BoardMove> moves;
    GameSnapshot final;
    int lines = 0;
};

// Plays a whole game with the bot, checking the board after every move.
static void PlayBotGame(int strategy, int mode, int size, uint64_t seed, BotGame* game)
{
    StartTestGame(mode, size, seed);
    uint64_t botRandom = seed * 7919 + 1;
    BoardMove move{};
    while (GameVars.GameRunning) {
        ASSERT_EQ(ChooseBotMove(strategy, &botRandom, &move), 1) << "the game runs, so some piece fits";
        ASSERT_LT(game->moves.size(), 200000u) << "game never ends";
        ClearBoardEvents();
        const int lines = PlayMove(move);
        ASSERT_GE(lines, 0) << "the bot only makes legal moves";
        game->moves.push_back(move);
        game->lines += lines;

        const std::vector<int> sounds = SoundTrace();
        ASSERT_FALSE(sounds.empty());
        EXPECT_EQ(sounds.front(), BoardSoundPlaced);
        EXPECT_EQ(std::count(sounds.begin(), sounds.end(), BoardSoundCleared), lines > 0 ? 1 : 0);
        ASSERT_TRUE(BoardInvariantsHold()) << "after move " << game->moves.size();
        ASSERT_TRUE(TrayInvariantsHold()) << "after move " << game->moves.size();
        ASSERT_EQ(GameVars.Score, 10 * static_cast<int>(game->moves.size()) + 20 * game->lines);
        ASSERT_EQ(Effects.EffectActive, 0);
        const bool ended = BoardEvents.Count > 0 && BoardEvents.Items[BoardEvents.Count - 1].kind == EventGameOver;
        ASSERT_EQ(ended, GameVars.GameRunning == 0);
    }
    EXPECT_EQ(ChooseBotMove(strategy, &botRandom, &move), 0) << "the game ended with a piece that fits";
    EXPECT_EQ(BoardEvents.Items[BoardEvents.Count - 1].value, GameVars.Score);
    EXPECT_GE(GameVars.Score, 10);
    game->final = TakeGameSnapshot();
}

class BotGames : public ::testing::TestWithParam<int> {};

TEST_P(BotGames, EveryModeAndSizeToTheEnd)
{
    const int strategy = GetParam();
    for (int mode = ModeEasy; mode <= ModeUnpredictable; mode++) {
        for (int size = SizeSmall; size <= SizeLarge; size++) {
            for (uint64_t seed = 1; seed <= 10; seed++) {
                BotGame game;
                PlayBotGame(strategy, mode, size, seed, &game);
                if (HasFatalFailure()) return;
                // The best score of this mode and size is the one game played.
                EXPECT_EQ(BestScoreFor(mode, size), game.final.Vars.Score);

                const GameSnapshot replayed = ReplayGame(seed, mode, size, game.moves);
                EXPECT_TRUE(replayed == game.final) << "mode " << mode << " size " << size << " seed " << seed;
                EXPECT_EQ(replayed.Vars.Moves, static_cast<int>(game.moves.size()));
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Strategies, BotGames, ::testing::Values(BotRandom, BotGreedy));

// ---------------------------------------------------------------- replay

TEST(Replay, ReproducesAGameAndIgnoresMovesAfterTheEnd)
{
    BotGame game;
    PlayBotGame(BotRandom, ModeNormal, SizeMedium, 77, &game);
    ASSERT_FALSE(HasFatalFailure());

    std::vector<BoardMove> extended = game.moves;
    extended.push_back(BoardMove{0, 0, 0});
    extended.push_back(BoardMove{1, 5, 5});
    EXPECT_TRUE(ReplayGame(77, ModeNormal, SizeMedium, extended) == game.final);

    // One move fewer, another seed, or another mode give another game.
    std::vector<BoardMove> shorter(game.moves.begin(), game.moves.end() - 1);
    EXPECT_FALSE(ReplayGame(77, ModeNormal, SizeMedium, shorter) == game.final);
    EXPECT_FALSE(ReplayGame(78, ModeNormal, SizeMedium, game.moves) == game.final);
    EXPECT_FALSE(ReplayGame(77, ModeEasy, SizeMedium, game.moves) == game.final);
    // What earlier games left behind does not leak into a replay.
    BotGame other;
    PlayBotGame(BotGreedy, ModeUnpredictable, SizeLarge, 5, &other);
    ASSERT_GT(other.lines, 0);
    EXPECT_TRUE(ReplayGame(77, ModeNormal, SizeMedium, game.moves) == game.final);
}

TEST(Replay, RefusedAndEmptySlotMovesChangeNothing)
{
    const std::vector<BoardMove> none;
    const GameSnapshot start = ReplayGame(5, ModeNormal, SizeSmall, none);
    const std::vector<BoardMove> refused = {{0, 7, 7}, {1, -3, 2}, {2, 0, 40}};
    // Every shape but the single cell is refused at the bottom-right corner;
    // the other two moves are off the board.
    GameSnapshot after = ReplayGame(5, ModeNormal, SizeSmall, refused);
    if (start.Tray.Slots[0].piece == 1) after = ReplayGame(5, ModeNormal, SizeSmall, {refused.begin() + 1, refused.end()});
    EXPECT_TRUE(after == start);

    // A slot emptied in NORMAL mode cannot be played again.
    BoardResetAll();
    BoardSeedRandom(5);
    GameVars.GameMode = ModeNormal;
    GameVars.BoardSize = SizeSmall;
    ASSERT_EQ(BoardStartGame(1920, 96, 96), 1);
    SetTray(1, 1, 1);
    EXPECT_EQ(PlayMove(BoardMove{0, 0, 0}), 0);
    const GameSnapshot emptied = TakeGameSnapshot();
    EXPECT_EQ(PlayMove(BoardMove{0, 4, 4}), -2);
    EXPECT_TRUE(TakeGameSnapshot() == emptied);
}
