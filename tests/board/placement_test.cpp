// placement_test.cpp: placing pieces, clearing lines, scoring, refusals, the events of a move and the clear-effect fade.
#include <array>

#include "board_test_util.h"

using Trace = std::vector<std::string>;

// Every cell with (i + j) even filled: no line is full, no two empty cells
// touch, so only the single cell fits anywhere.
static void FillCheckerboard()
{
    for (int i = 0; i <= Board.LastColumn; i++)
        for (int j = 0; j < BoardRows; j++)
            if ((i + j) % 2 == 0) FillCell(i, j, 1 + (i + j) % 11);
}

// ---------------------------------------------------------------- scoring

TEST(Scoring, SingleCellCompletingARowAndAColumn)
{
    StartTestGame(ModeEasy, SizeSmall);
    for (int k = 0; k < 8; k++) {
        if (k == 3) continue;
        FillCell(3, k);
        FillCell(k, 3);
    }
    SetTray(1, 9, 9);
    EXPECT_EQ(DropFromSlot(0, 3, 3), 2);
    EXPECT_EQ(GameVars.Score, 50);
    EXPECT_EQ(GameVars.Lines, 2);
    EXPECT_EQ(EventTrace(), (Trace{"S3", "D", "S4", "C50"}));

    // 15 distinct cells, the crossing cell once, in column-then-row order.
    ASSERT_EQ(Effects.Count, 15);
    EXPECT_EQ(Effects.EffectActive, 1);
    int crossing = 0;
    for (int e = 0; e < Effects.Count; e++) {
        const ClearEffect& fx = Effects.Items[e];
        EXPECT_EQ(fx.alpha, 255);
        EXPECT_EQ(fx.image, BoardImages.GemEffect[fx.colour]);
        if (fx.x == 576 + 3 * 96 && fx.y == 96 + 3 * 96) {
            crossing++;
            EXPECT_EQ(fx.colour, 1);
        } else {
            EXPECT_EQ(fx.colour, 5);
        }
    }
    EXPECT_EQ(crossing, 1);
    EXPECT_EQ(Effects.Items[0].x, 576);  // column 0, row 3 comes first
    EXPECT_EQ(Effects.Items[0].y, 96 + 3 * 96);
    EXPECT_EQ(Effects.Items[3].x, 576 + 3 * 96);  // then column 3 from row 0
    EXPECT_EQ(Effects.Items[3].y, 96);
    for (int i = 0; i < 8; i++)
        for (int j = 0; j < 8; j++) EXPECT_TRUE(IsEmpty(i, j));
    EXPECT_TRUE(BoardInvariantsHold());
}

TEST(Scoring, SquareCompletingThreeRowsAndThreeColumns)
{
    StartTestGame(ModeEasy, SizeSmall);
    for (int i = 0; i < 8; i++) {
        for (int j = 0; j < 8; j++) {
            const bool inSquare = i < 3 && j < 3;
            const bool inItsRowsOrColumns = i < 3 || j < 3;
            if (!inSquare && inItsRowsOrColumns) FillCell(i, j, 2);
        }
    }
    SetTray(11, 1, 1);
    EXPECT_EQ(DropFromSlot(0, 0, 0), 6);
    EXPECT_EQ(GameVars.Score, 130);
    EXPECT_EQ(Effects.Count, 3 * 8 + 3 * 8 - 9);
    EXPECT_EQ(SoundTrace(), (std::vector<int>{3, 4}));
    EXPECT_TRUE(BoardInvariantsHold());
}

TEST(Scoring, ColumnsAndRowsOfAWideBoardCountAlike)
{
    StartTestGame(ModeEasy, SizeLarge);
    for (int j = 0; j < 7; j++) FillCell(15, j);
    SetTray(1, 1, 1);
    EXPECT_EQ(DropFromSlot(0, 15, 7), 1);
    EXPECT_EQ(GameVars.Score, 30);
    EXPECT_EQ(Effects.Count, 8);

    StartTestGame(ModeEasy, SizeLarge);
    for (int i = 0; i < 15; i++) FillCell(i, 7);
    SetTray(1, 1, 1);
    EXPECT_EQ(DropFromSlot(0, 15, 7), 1);
    EXPECT_EQ(Effects.Count, 16);
}

TEST(Scoring, MoveWithoutClearingScoresTenAndTestsAtOnce)
{
    StartTestGame(ModeEasy, SizeMedium);
    SetTray(9, 3, 4);
    EXPECT_EQ(DropFromSlot(1, 4, 2), 0);
    EXPECT_EQ(GameVars.Score, 10);
    EXPECT_EQ(EventTrace(), (Trace{"S3", "D", "C10"}));
    EXPECT_EQ(Effects.EffectActive, 0);
    EXPECT_EQ(GameVars.GameRunning, 1);
    for (const ShapeCell& c : ShapeCells(3)) EXPECT_EQ(CellAt(4 + c.dx, 2 + c.dy).colour, 3);

    // The same kind of move ends the game at once when nothing fits after it.
    StartTestGame(ModeNormal, SizeSmall);
    FillCheckerboard();
    SetTray(11, 11, 1);
    EXPECT_EQ(DropFromSlot(2, 1, 0), 0);
    EXPECT_EQ(EventTrace(), (Trace{"S3", "D", "C10", "S7", "G10*"}));
    EXPECT_EQ(GameVars.GameRunning, 0);
}

TEST(Scoring, ShapesWithoutAnOriginCellFitOverAFilledOrigin)
{
    for (int s : {4, 6, 7, 10}) {
        StartTestGame(ModeEasy, SizeSmall);
        FillCell(2, 2, 8);
        SetTray(s, s, s);
        EXPECT_EQ(DropFromSlot(0, 2, 2), 0) << "shape " << s;
        EXPECT_EQ(CellAt(2, 2).colour, 8) << "the origin cell keeps its own gem";
        for (const ShapeCell& c : ShapeCells(s)) EXPECT_EQ(CellAt(2 + c.dx, 2 + c.dy).colour, s);
    }
}

// ---------------------------------------------------------------- refusals

// A refused drop plays the failure sound, puts the piece back and changes
// nothing else: no draw, no score, no test.
static void ExpectRefused(int slot, int i, int j)
{
    const SavedGame before = SaveGame();
    const int shape = Tray.Slots[slot].piece;
    ClearBoardEvents();
    EXPECT_EQ(DropFromSlot(slot, i, j), -1) << "shape " << shape << " at " << i << "," << j;
    EXPECT_EQ(EventTrace(), (Trace{"S2", "D"}));
    EXPECT_TRUE(Board == before.board);
    EXPECT_TRUE(GameVars == before.vars);
    EXPECT_TRUE(Tray == before.tray);  // the slot shows its piece again
    EXPECT_EQ(Tray.Slots[slot].image, BoardImages.Tray[shape]);
    EXPECT_EQ(BoardRng.State[0], before.rng.State[0]);
}

TEST(Refusal, OriginTooFarRightOrDown)
{
    StartTestGame(ModeEasy, SizeSmall);
    SetTray(2, 5, 11);
    for (int j = 0; j < 8; j++) ExpectRefused(0, 7, j);
    for (int j = 5; j < 8; j++) ExpectRefused(1, 3, j);
    ExpectRefused(2, 6, 0);
    ExpectRefused(2, 0, 6);

    StartTestGame(ModeEasy, SizeLarge);
    SetTray(2, 5, 11);
    ExpectRefused(0, 15, 4);
    ExpectRefused(1, 15, 5);
    EXPECT_EQ(DropFromSlot(1, 15, 4), 0);  // row 4 is the last one shape 5 can start on
}

TEST(Refusal, OverlappingAFilledCell)
{
    StartTestGame(ModeUnpredictable, SizeMedium);
    FillCell(5, 5);
    SetTray(9, 1, 8);
    ExpectRefused(0, 4, 4);
    ExpectRefused(1, 5, 5);
    ExpectRefused(2, 5, 3);
}

TEST(Refusal, RunsNoEndOfMoveTest)
{
    StartTestGame(ModeEasy, SizeSmall);
    SetTray(1, 1, 1);
    EXPECT_EQ(DropFromSlot(0, 0, 1), 0);
    // Now nothing in the tray fits, but only a move may find that out.
    FillCheckerboard();
    SetTray(11, 11, 11);
    ExpectRefused(0, 0, 0);
    ExpectRefused(2, 3, 3);
    EXPECT_EQ(GameVars.GameRunning, 1);
}

// Arguments the drop never hands over are refused, not read out of bounds.
TEST(Refusal, ArgumentsOutsideTheBoardTrayOrCatalogue)
{
    StartTestGame(ModeEasy, SizeSmall);
    SetTray(1, 1, 1);
    const BoardState before = Board;
    for (auto [i, j, s, k] : std::vector<std::array<int, 4>>{
             {-1, 0, 1, 0}, {0, -1, 1, 0}, {8, 0, 1, 0}, {0, 8, 1, 0}, {0, 0, 0, 0}, {0, 0, 12, 0}, {0, 0, 1, 3},
             {0, 0, 1, -1}}) {
        ClearBoardEvents();
        EXPECT_EQ(PlacePiece(i, j, s, k), -1);
        EXPECT_EQ(EventTrace(), (Trace{"S2", "D"}));
    }
    EXPECT_TRUE(Board == before);
    EXPECT_EQ(GameVars.Score, 0);
}

// ---------------------------------------------------------------- clear effect

TEST(ClearEffectFade, SixteenFramesThenTheTest)
{
    StartTestGame(ModeEasy, SizeSmall);
    for (int j = 0; j < 7; j++) FillCell(0, j);
    SetTray(1, 1, 1);
    ASSERT_EQ(DropFromSlot(0, 0, 7), 1);
    for (int frame = 1; frame <= 15; frame++) {
        EXPECT_EQ(StepClearEffect(), 0) << "frame " << frame;
        EXPECT_EQ(Effects.Items[0].alpha, 255 - 16 * frame);
    }
    EXPECT_EQ(Effects.Items[7].alpha, 15);
    EXPECT_EQ(StepClearEffect(), 1);
    EXPECT_EQ(Effects.EffectActive, 0);
    EXPECT_EQ(Effects.Items[7].alpha, -1);
    EXPECT_EQ(Effects.Count, 8);  // kept until the next clearing
    EXPECT_EQ(StepClearEffect(), 0);
    EXPECT_EQ(Effects.Items[7].alpha, -1);
    EXPECT_EQ(GameVars.GameRunning, 1);
}

TEST(ClearEffectFade, GameEndsWhenTheFadeEnds)
{
    StartTestGame(ModeNormal, SizeSmall);
    FillCheckerboard();
    // Column 3 full but for its top cell, which the single cell completes.
    for (int j = 1; j < 8; j++) FillCell(3, j, 6);
    SetTray(11, 11, 1);
    ASSERT_EQ(DropFromSlot(2, 3, 0), 1);
    EXPECT_EQ(EventTrace(), (Trace{"S3", "D", "S4", "C30"}));
    EXPECT_EQ(GameVars.GameRunning, 1) << "the test waits for the fade";
    ClearBoardEvents();
    for (int frame = 1; frame < 16; frame++) StepClearEffect();
    EXPECT_EQ(GameVars.GameRunning, 1);
    EXPECT_EQ(StepClearEffect(), 1);
    EXPECT_EQ(EventTrace(), (Trace{"S7", "G30*"}));
    EXPECT_EQ(GameVars.GameRunning, 0);
}

TEST(ClearEffectFade, FrozenWhileNoGameRuns)
{
    StartTestGame(ModeEasy, SizeSmall);
    for (int j = 0; j < 7; j++) FillCell(0, j);
    SetTray(1, 1, 1);
    ASSERT_EQ(DropFromSlot(0, 0, 7), 1);
    GameVars.GameRunning = 0;
    EXPECT_EQ(StepClearEffect(), 0);
    EXPECT_EQ(Effects.Items[0].alpha, 255);
    EXPECT_EQ(Effects.EffectActive, 1);
}

TEST(ClearEffectFade, NextClearingReplacesTheList)
{
    StartTestGame(ModeEasy, SizeSmall);
    for (int j = 0; j < 7; j++) FillCell(0, j);
    SetTray(1, 1, 1);
    ASSERT_EQ(DropFromSlot(0, 0, 7), 1);
    while (StepClearEffect() == 0) {}
    for (int i = 0; i < 7; i++) FillCell(i, 4);
    SetTray(1, 1, 1);
    ASSERT_EQ(DropFromSlot(1, 7, 4), 1);
    ASSERT_EQ(Effects.Count, 8);
    for (int e = 0; e < Effects.Count; e++) {
        EXPECT_EQ(Effects.Items[e].alpha, 255);
        EXPECT_EQ(Effects.Items[e].y, 96 + 4 * 96);
    }
}

TEST(Events, QueueCountsWhatItCannotHold)
{
    StartTestGame(ModeEasy, SizeSmall);
    SetTray(2, 2, 2);
    for (int n = 0; n < 20; n++) DropFromSlot(0, 7, 0);  // 2 events per refusal
    EXPECT_EQ(BoardEvents.Count, MaxBoardEvents);
    EXPECT_EQ(BoardEvents.Dropped, 40 - MaxBoardEvents);
    ClearBoardEvents();
    EXPECT_EQ(BoardEvents.Count, 0);
    EXPECT_EQ(BoardEvents.Dropped, 0);
}
