// board_test_util.h: shared set-up for the board tests - fresh games, hand-built boards, event and invariant checks.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "board.h"

// A fresh run with a started game on a 1920 x 1080 screen (T = 96, BoardTop = 96).
inline void StartTestGame(int mode, int size, uint64_t seed = 1)
{
    BoardResetAll();
    BoardSeedRandom(seed);
    GameVars.GameMode = mode;
    GameVars.BoardSize = size;
    ASSERT_EQ(BoardStartGame(1920, 96, 96), 1);
    ClearBoardEvents();
}

// Fills a cell the way a placement would, without scoring or clearing.
inline void FillCell(int i, int j, int colour = 5)
{
    CellAt(i, j).image = BoardImages.Gem[colour];
    CellAt(i, j).colour = colour;
}

inline void SetTray(int a, int b, int c)
{
    const int pieces[3] = {a, b, c};
    for (int k = 0; k < TraySlots; k++) {
        Tray.Slots[k].piece = pieces[k];
        Tray.Slots[k].image = BoardImages.Tray[pieces[k]];
    }
}

// Picks the piece up from slot k and drops it with its origin on (i, j).
inline int DropFromSlot(int k, int i, int j)
{
    const int shape = TakeFromTray(k);
    return PlacePiece(i, j, shape, k);
}

// The queued events flattened for comparison: "S3" sound 3, "D" drag ended,
// "C50" score changed to 50, "G10*" game over at 10 with a new best.
inline std::vector<std::string> EventTrace()
{
    std::vector<std::string> trace;
    for (int e = 0; e < BoardEvents.Count; e++) {
        const BoardEvent& ev = BoardEvents.Items[e];
        switch (ev.kind) {
        case EventSound: trace.push_back("S" + std::to_string(ev.value)); break;
        case EventDragEnded: trace.push_back("D"); break;
        case EventScoreChanged: trace.push_back("C" + std::to_string(ev.value)); break;
        case EventGameOver: trace.push_back("G" + std::to_string(ev.value) + (ev.newBest ? "*" : "")); break;
        default: trace.push_back("?"); break;
        }
    }
    return trace;
}

inline std::vector<int> SoundTrace()
{
    std::vector<int> sounds;
    for (int e = 0; e < BoardEvents.Count; e++)
        if (BoardEvents.Items[e].kind == EventSound) sounds.push_back(BoardEvents.Items[e].value);
    return sounds;
}

// The board between two moves: empty and filled cells consistent, nothing
// marked, and no full row or column left behind.
inline ::testing::AssertionResult BoardInvariantsHold()
{
    for (int i = 0; i <= Board.LastColumn; i++) {
        for (int j = 0; j < BoardRows; j++) {
            const BoardCell& cell = CellAt(i, j);
            if (cell.marked != 0)
                return ::testing::AssertionFailure() << "cell " << i << "," << j << " still marked";
            if (IsEmpty(i, j)) {
                if (cell.colour != 0)
                    return ::testing::AssertionFailure() << "empty cell " << i << "," << j << " has colour "
                                                         << cell.colour;
            } else if (cell.colour < 1 || cell.colour > ShapeCount || cell.image != BoardImages.Gem[cell.colour]) {
                return ::testing::AssertionFailure() << "filled cell " << i << "," << j << " colour " << cell.colour
                                                     << " image " << cell.image;
            }
        }
    }
    for (int i = 0; i <= Board.LastColumn; i++) {
        int filled = 0;
        for (int j = 0; j < BoardRows; j++) filled += !IsEmpty(i, j);
        if (filled == BoardRows) return ::testing::AssertionFailure() << "column " << i << " left full";
    }
    for (int j = 0; j < BoardRows; j++) {
        int filled = 0;
        for (int i = 0; i <= Board.LastColumn; i++) filled += !IsEmpty(i, j);
        if (filled == Board.Columns) return ::testing::AssertionFailure() << "row " << j << " left full";
    }
    return ::testing::AssertionSuccess();
}

// Everything PlacePiece may touch, to try a drop and take it back.
struct SavedGame {
    BoardState board;
    TrayState tray;
    GameVariables vars;
    ClearEffectState effects;
    BestScoreTable best;
    BoardRandomState rng;
    BoardEventQueue events;
};

inline SavedGame SaveGame()
{
    return SavedGame{Board, Tray, GameVars, Effects, BestScores, BoardRng, BoardEvents};
}

inline void RestoreGame(const SavedGame& saved)
{
    Board = saved.board;
    Tray = saved.tray;
    GameVars = saved.vars;
    Effects = saved.effects;
    BestScores = saved.best;
    BoardRng = saved.rng;
    BoardEvents = saved.events;
}

// The next value the board's random source will give for a draw of 1..11,
// without consuming it.
inline int PeekRandomPiece(int ahead = 0)
{
    const BoardRandomState saved = BoardRng;
    int piece = 0;
    for (int n = 0; n <= ahead; n++) piece = RandomPiece();
    BoardRng = saved;
    return piece;
}
