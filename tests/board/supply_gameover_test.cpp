// supply_gameover_test.cpp: tray refill per game mode, the end-of-move test, the game end and the best-score table.
#include "board_test_util.h"

using Trace = std::vector<std::string>;

static void FillCheckerboard()
{
    for (int i = 0; i <= Board.LastColumn; i++)
        for (int j = 0; j < BoardRows; j++)
            if ((i + j) % 2 == 0) FillCell(i, j, 1 + (i + j) % 11);
}

static int PiecesInTray()
{
    int count = 0;
    for (const TraySlot& slot : Tray.Slots) count += slot.piece != 0;
    return count;
}

// ---------------------------------------------------------------- supply

TEST(Supply, EasyRefillsOnlyTheUsedSlot)
{
    StartTestGame(ModeEasy, SizeLarge, 11);
    for (int move = 0; move < 12; move++) {
        SetTray(1, 1, 1);
        const int k = move % 3;
        const TrayState before = Tray;
        const int expected = PeekRandomPiece();
        ASSERT_EQ(DropFromSlot(k, move, move % 8), 0);
        for (int other = 0; other < TraySlots; other++) {
            if (other == k) continue;
            EXPECT_TRUE(Tray.Slots[other] == before.Slots[other]);
        }
        EXPECT_EQ(Tray.Slots[k].piece, expected);
        EXPECT_EQ(Tray.Slots[k].image, BoardImages.Tray[expected]);
    }
}

TEST(Supply, NormalDealsBatchesOfThree)
{
    StartTestGame(ModeNormal, SizeLarge, 3);
    std::vector<int> trayCounts;
    for (int move = 0; move < 6; move++) {
        if (PiecesInTray() == 3) SetTray(1, 1, 1);
        int k = 0;
        while (Tray.Slots[k].piece == 0) k++;
        const TrayState before = Tray;
        int expected[3];
        for (int n = 0; n < 3; n++) expected[n] = PeekRandomPiece(n);
        ASSERT_EQ(DropFromSlot(k, 2 * move, 3), 0);
        trayCounts.push_back(PiecesInTray());
        if (Tray.PiecesLeftInBatch == 3) {
            for (int n = 0; n < 3; n++) {
                EXPECT_EQ(Tray.Slots[n].piece, expected[n]);
                EXPECT_EQ(Tray.Slots[n].image, BoardImages.Tray[expected[n]]);
            }
        } else {
            EXPECT_EQ(Tray.Slots[k].piece, 0);
            EXPECT_EQ(Tray.Slots[k].image, BoardImages.EmptySlot);
            for (int other = 0; other < TraySlots; other++)
                if (other != k) {
                    EXPECT_TRUE(Tray.Slots[other] == before.Slots[other]);
                }
        }
    }
    EXPECT_EQ(trayCounts, (std::vector<int>{2, 1, 3, 2, 1, 3}));
    // An emptied slot cannot be picked up.
    SetTray(1, 1, 1);
    ASSERT_EQ(DropFromSlot(0, 15, 7), 0);
    EXPECT_EQ(Tray.Slots[0].piece, 0);
    EXPECT_EQ(TakeFromTray(0), 0);
    EXPECT_EQ(Tray.Slots[0].image, BoardImages.EmptySlot);
}

TEST(Supply, NormalEndsOnALonePieceThatFitsNowhere)
{
    StartTestGame(ModeNormal, SizeSmall);
    FillCheckerboard();
    SetTray(1, 1, 11);
    ASSERT_EQ(DropFromSlot(0, 1, 0), 0);
    EXPECT_EQ(GameVars.GameRunning, 1);
    ClearBoardEvents();
    ASSERT_EQ(DropFromSlot(1, 3, 0), 0);
    EXPECT_EQ(PiecesInTray(), 1);
    EXPECT_EQ(EventTrace(), (Trace{"S3", "D", "C20", "S7", "G20*"}));
    EXPECT_EQ(GameVars.GameRunning, 0);
}

TEST(Supply, UnpredictableReplacesAllThree)
{
    StartTestGame(ModeUnpredictable, SizeMedium, 9);
    for (int move = 0; move < 5; move++) {
        SetTray(1, 1, 1);
        int expected[3];
        for (int n = 0; n < 3; n++) expected[n] = PeekRandomPiece(n);
        ASSERT_EQ(DropFromSlot(move % 3, move, 0), 0);
        for (int n = 0; n < 3; n++) {
            EXPECT_EQ(Tray.Slots[n].piece, expected[n]);
            EXPECT_EQ(Tray.Slots[n].image, BoardImages.Tray[expected[n]]);
        }
    }
}

// ---------------------------------------------------------------- end-of-move test

TEST(EndOfMove, OneFittingPieceIsEnough)
{
    StartTestGame(ModeEasy, SizeSmall);
    FillCheckerboard();
    SetTray(11, 9, 1);
    EXPECT_EQ(EndOfMoveTest(), 0);
    SetTray(1, 11, 11);
    EXPECT_EQ(EndOfMoveTest(), 0);
    EXPECT_EQ(BoardEvents.Count, 0);
    EXPECT_EQ(GameVars.GameRunning, 1);
    SetTray(11, 9, 2);
    EXPECT_EQ(EndOfMoveTest(), 1);
    EXPECT_EQ(GameVars.GameRunning, 0);
}

TEST(EndOfMove, EmptySlotsFitNowhere)
{
    StartTestGame(ModeNormal, SizeSmall);
    EXPECT_EQ(PieceFitsAnywhere(0), 0);
    EXPECT_EQ(PieceFitsAnywhere(12), 0);
    EXPECT_EQ(PieceFitsAnywhere(-3), 0);
    for (int s = 1; s <= ShapeCount; s++) EXPECT_EQ(PieceFitsAnywhere(s), 1) << "empty board, shape " << s;
    SetTray(0, 0, 0);
    EXPECT_EQ(EndOfMoveTest(), 1);
}

TEST(EndOfMove, FitsOnlyAtTheLastOrigin)
{
    StartTestGame(ModeEasy, SizeLarge);
    for (int i = 0; i < 16; i++)
        for (int j = 0; j < 8; j++)
            if (!(i >= 13 && j >= 5)) FillCell(i, j, 4);
    EXPECT_EQ(PieceFitsAnywhere(11), 1);
    FillCell(15, 7, 4);
    EXPECT_EQ(PieceFitsAnywhere(11), 0);
    EXPECT_EQ(PieceFitsAnywhere(7), 1);  // the corner of three skips its top-left cell
    EXPECT_EQ(PieceFitsAnywhere(9), 1);
}

// ---------------------------------------------------------------- best scores

static void FillTableWithMarkers()
{
    for (int mode = 1; mode <= 3; mode++)
        for (int size = 1; size <= 3; size++) SetBestScore(mode, size, 100 * mode + size);
}

static void ExpectOtherEntriesUntouched(int mode, int size)
{
    for (int m = 1; m <= 3; m++)
        for (int s = 1; s <= 3; s++)
            if (m != mode || s != size) {
                EXPECT_EQ(BestScoreFor(m, s), 100 * m + s) << m << "," << s;
            }
}

TEST(BestScores, StrictlyGreaterReplacesTheEntry)
{
    StartTestGame(ModeNormal, SizeLarge);
    FillTableWithMarkers();
    GameVars.Score = 524;
    EndGame();
    EXPECT_EQ(EventTrace(), (Trace{"S7", "G524*"}));
    EXPECT_EQ(BestScoreFor(ModeNormal, SizeLarge), 524);
    EXPECT_EQ(GameVars.GameRunning, 0);
    ExpectOtherEntriesUntouched(ModeNormal, SizeLarge);
}

TEST(BestScores, EqualOrLowerChangesNothing)
{
    for (int score : {202, 150}) {
        StartTestGame(ModeNormal, SizeMedium);
        FillTableWithMarkers();
        GameVars.Score = score;
        EndGame();
        EXPECT_EQ(EventTrace(), (Trace{"S5", "G" + std::to_string(score)}));
        EXPECT_EQ(BestScoreFor(ModeNormal, SizeMedium), 202);
        ExpectOtherEntriesUntouched(ModeNormal, SizeMedium);
    }
}

TEST(BestScores, FirstFinishedGameIsAlwaysANewBest)
{
    for (int mode = 1; mode <= 3; mode++) {
        for (int size = 1; size <= 3; size++) {
            StartTestGame(mode, size);
            FillCheckerboard();
            SetTray(11, 11, 1);
            Tray.PiecesLeftInBatch = 2;  // NORMAL: the single cell is the batch's last piece
            ASSERT_EQ(DropFromSlot(2, 1, 0), 0);
            // EASY and UNPREDICTABLE may deal a fitting piece; end it by hand then.
            if (GameVars.GameRunning) {
                SetTray(11, 11, 11);
                EndOfMoveTest();
            }
            EXPECT_EQ(BestScoreFor(mode, size), 10);
            EXPECT_EQ(SoundTrace().back(), BoardSoundNewBest);
        }
    }
}

TEST(BestScores, AGameEndsOnce)
{
    StartTestGame(ModeEasy, SizeSmall);
    GameVars.Score = 40;
    EndGame();
    GameVars.Score = 80;
    EndGame();
    SetTray(0, 0, 0);
    EXPECT_EQ(EndOfMoveTest(), 0);  // nothing fits is not news once the game is over
    EXPECT_EQ(EventTrace(), (Trace{"S7", "G40*"}));
    EXPECT_EQ(BestScoreFor(ModeEasy, SizeSmall), 40);
}

TEST(BestScores, ModeOrSizeOutsideTheTable)
{
    BoardResetAll();
    SetBestScore(0, 1, 77);
    SetBestScore(1, 4, 77);
    SetBestScore(-1, -1, 77);
    for (int mode = 0; mode <= 4; mode++)
        for (int size = 0; size <= 4; size++) EXPECT_EQ(BestScoreFor(mode, size), 0);
    SetBestScore(3, 3, -5);  // the file may hold negative numbers; they are kept
    EXPECT_EQ(BestScoreFor(3, 3), -5);
}
