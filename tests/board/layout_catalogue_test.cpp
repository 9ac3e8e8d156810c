// layout_catalogue_test.cpp: the piece catalogue, valid origins, cell layout, snap zones, game start and random source.
#include <set>

#include "board_test_util.h"

// ---------------------------------------------------------------- catalogue

TEST(Catalogue, ShapesHaveTheirCellsInListOrderAndTheirBoxes)
{
    BuildShapeCatalogue();
    const std::vector<std::vector<std::pair<int, int>>> expected = {
        {},
        {{0, 0}},
        {{0, 0}, {1, 0}},
        {{0, 0}, {1, 0}, {2, 0}, {0, 1}},
        {{1, 0}, {0, 1}, {1, 1}, {2, 1}, {1, 2}},
        {{0, 0}, {0, 1}, {0, 2}, {0, 3}},
        {{1, 0}, {2, 0}, {0, 1}, {1, 1}},
        {{1, 0}, {0, 1}, {1, 1}},
        {{0, 0}, {0, 1}, {0, 2}},
        {{0, 0}, {1, 0}, {0, 1}, {1, 1}},
        {{1, 0}, {0, 1}, {1, 1}, {2, 1}},
        {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}, {0, 2}, {1, 2}, {2, 2}},
    };
    const int width[12] = {0, 1, 2, 3, 3, 1, 3, 2, 1, 2, 3, 3};
    const int height[12] = {0, 1, 1, 2, 3, 4, 2, 2, 3, 2, 2, 3};
    int total = 0;
    for (int s = 1; s <= ShapeCount; s++) {
        std::vector<std::pair<int, int>> cells;
        for (const ShapeCell& c : ShapeCells(s)) cells.emplace_back(c.dx, c.dy);
        EXPECT_EQ(cells, expected[s]) << "shape " << s;
        EXPECT_EQ(ShapeCellCount(s), static_cast<int>(expected[s].size()));
        EXPECT_EQ(ShapeWidth(s), width[s]) << "shape " << s;
        EXPECT_EQ(ShapeHeight(s), height[s]) << "shape " << s;
        total += ShapeCellCount(s);
    }
    EXPECT_EQ(total, 43);
}

TEST(Catalogue, NumbersOutsideTheCatalogueAreEmpty)
{
    for (int s : {0, -1, 12, 1000}) {
        EXPECT_TRUE(ShapeCells(s).empty());
        EXPECT_EQ(ShapeCellCount(s), 0);
        EXPECT_EQ(ShapeWidth(s), 0);
        EXPECT_EQ(ShapeHeight(s), 0);
    }
}

// The drops PlacePiece accepts on an empty board are exactly the valid origins.
TEST(Catalogue, AcceptedOriginsOnAnEmptyBoard)
{
    const int originColumnsShort[12] = {0, 0, 1, 2, 2, 0, 2, 1, 0, 1, 2, 2};  // N - count
    const int originRows[12] = {0, 8, 8, 7, 6, 5, 7, 7, 6, 7, 7, 6};
    int acceptedBySize[4][12] = {};
    for (int size = SizeSmall; size <= SizeLarge; size++) {
        StartTestGame(ModeEasy, size);
        const int n = Board.Columns;
        const SavedGame empty = SaveGame();
        for (int s = 1; s <= ShapeCount; s++) {
            int accepted = 0;
            for (int i = 0; i < n; i++) {
                for (int j = 0; j < BoardRows; j++) {
                    Tray.Slots[0].piece = s;
                    if (PlacePiece(i, j, s, 0) >= 0) {
                        accepted++;
                        EXPECT_LE(i, n - ShapeWidth(s));
                        EXPECT_LE(j, BoardRows - ShapeHeight(s));
                    }
                    RestoreGame(empty);
                }
            }
            EXPECT_EQ(accepted, (n - originColumnsShort[s]) * originRows[s]) << "shape " << s << " size " << size;
            acceptedBySize[size][s] = accepted;
        }
    }
    EXPECT_EQ(acceptedBySize[SizeSmall][11], 36);
    EXPECT_EQ(acceptedBySize[SizeLarge][5], 80);
}

// ---------------------------------------------------------------- layout

TEST(Layout, WorkedExampleAt1920x1080)
{
    StartTestGame(ModeEasy, SizeSmall);
    EXPECT_EQ(Board.BoardLeft, 576);
    EXPECT_EQ(Board.LastColumn, 7);
    const BoardCell& first = CellAt(0, 0);
    EXPECT_EQ(first.x, 576);
    EXPECT_EQ(first.y, 96);
    EXPECT_EQ(first.snapLeft, 552);
    EXPECT_EQ(first.snapTop, 72);
    EXPECT_EQ(first.snapRight, 624);
    EXPECT_EQ(first.snapBottom, 144);
    EXPECT_EQ(CellAt(7, 7).x, 1248);
    EXPECT_EQ(CellAt(7, 7).y, 768);
    // Column after column: cell (i, j) is element 8i + j.
    EXPECT_EQ(&CellAt(3, 5), &Board.Cells[8 * 3 + 5]);

    StartTestGame(ModeEasy, SizeMedium);
    EXPECT_EQ(Board.BoardLeft, 384);
    EXPECT_EQ(Board.LastColumn, 11);
    StartTestGame(ModeEasy, SizeLarge);
    EXPECT_EQ(Board.BoardLeft, 192);
    EXPECT_EQ(Board.LastColumn, 15);
    EXPECT_EQ(CellAt(15, 7).x, 192 + 15 * 96);
}

TEST(Layout, SnapZoneWithAQuarterTileRoundedDown)
{
    BoardResetAll();
    GameVars.GameMode = ModeNormal;
    GameVars.BoardSize = SizeSmall;
    ASSERT_EQ(BoardStartGame(1024, 50, 50), 1);
    EXPECT_EQ(Board.BoardLeft, 512 - 200);
    const BoardCell& cell = CellAt(2, 3);
    EXPECT_EQ(cell.x, 312 + 100);
    EXPECT_EQ(cell.y, 50 + 150);
    EXPECT_EQ(cell.snapLeft, cell.x - 12);
    EXPECT_EQ(cell.snapRight, cell.x + 25);
    EXPECT_EQ(cell.snapTop, cell.y - 12);
    EXPECT_EQ(cell.snapBottom, cell.y + 25);
}

// On a 1920-wide screen (T = 96, top 96) the small board starts at x = 576 and the
// large one at 192; a cell's zone runs from 24 before its corner to 48 past it,
// both ends open. Off the diagonal of the wide board row and column must not be
// interchanged.
TEST(Layout, FindSnapCellIsStrictAndSkipsTheStrips)
{
    struct Case {
        int size, px, py;
        int column, row;  // -1: no cell
    };
    const Case cases[] = {
        {SizeSmall, 553, 73, 0, 0},         {SizeSmall, 623, 143, 0, 0},
        {SizeSmall, 552, 100, -1, -1},      {SizeSmall, 624, 100, -1, -1},  // the zone's own edges
        {SizeSmall, 600, 72, -1, -1},       {SizeSmall, 600, 144, -1, -1},
        {SizeSmall, 636, 96, -1, -1},       // the strip between two zones
        {SizeSmall, 1295, 745, 7, 7},       {SizeSmall, 1344, 768, -1, -1},  // nothing past the board
        {SizeSmall, -1, -1, -1, -1},        {SizeLarge, 1450, 268, 13, 2},  // cell (13, 2) at (1440, 288)
        {SizeLarge, 424, 712, 2, 6},        // cell (2, 6) at (384, 672)
        {SizeLarge, 1679, 815, 15, 7},      {SizeLarge, 1680, 768, -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("size " + std::to_string(c.size) + " at " + std::to_string(c.px) + ", " + std::to_string(c.py));
        StartTestGame(ModeEasy, c.size);
        int column = -1;
        int row = -1;
        EXPECT_EQ(FindSnapCell(c.px, c.py, &column, &row), c.column >= 0 ? 1 : 0);
        if (c.column >= 0) {
            EXPECT_EQ(column, c.column);
            EXPECT_EQ(row, c.row);
        }
    }
}

// ---------------------------------------------------------------- game start

TEST(GameStart, ANewGameIsEmptyWithAFullTray)
{
    StartTestGame(ModeNormal, SizeMedium, 7);
    // Leave a finished game behind, then start again over it.
    FillCell(0, 0, 3);
    GameVars.Score = 990;
    GameVars.GameRunning = 0;
    Tray.PiecesLeftInBatch = 1;
    Effects.EffectActive = 1;
    Effects.Count = 4;
    GameVars.BoardSize = SizeSmall;
    ASSERT_EQ(BoardStartGame(1920, 96, 96), 1);

    EXPECT_EQ(Board.Columns, 8);
    for (int i = 0; i <= Board.LastColumn; i++) {
        for (int j = 0; j < BoardRows; j++) {
            EXPECT_TRUE(IsEmpty(i, j));
            EXPECT_EQ(CellAt(i, j).colour, 0);
            EXPECT_EQ(CellAt(i, j).marked, 0);
        }
    }
    for (const TraySlot& slot : Tray.Slots) {
        EXPECT_GE(slot.piece, 1);
        EXPECT_LE(slot.piece, ShapeCount);
        EXPECT_EQ(slot.image, BoardImages.Tray[slot.piece]);
    }
    EXPECT_EQ(GameVars.Score, 0);
    EXPECT_EQ(GameVars.GameRunning, 1);
    EXPECT_EQ(Tray.PiecesLeftInBatch, 3);
    EXPECT_EQ(Effects.EffectActive, 0);
    EXPECT_EQ(Effects.Count, 4);  // the list waits for the next clearing
    EXPECT_EQ(BoardEvents.Count, 0);
}

TEST(GameStart, TrayIsDealtInSlotOrder)
{
    BoardResetAll();
    BoardSeedRandom(42);
    const int first = PeekRandomPiece(0);
    const int second = PeekRandomPiece(1);
    const int third = PeekRandomPiece(2);
    GameVars.GameMode = ModeEasy;
    GameVars.BoardSize = SizeLarge;
    ASSERT_EQ(BoardStartGame(1920, 96, 96), 1);
    EXPECT_EQ(Tray.Slots[0].piece, first);
    EXPECT_EQ(Tray.Slots[1].piece, second);
    EXPECT_EQ(Tray.Slots[2].piece, third);
}

TEST(GameStart, RefusedWithoutAModeOrSize)
{
    BoardResetAll();
    const BoardState before = Board;
    GameVars.GameMode = 0;
    GameVars.BoardSize = SizeSmall;
    EXPECT_EQ(BoardStartGame(1920, 96, 96), 0);
    GameVars.GameMode = ModeEasy;
    GameVars.BoardSize = 4;
    EXPECT_EQ(BoardStartGame(1920, 96, 96), 0);
    EXPECT_TRUE(Board == before);
    EXPECT_EQ(GameVars.GameRunning, 0);
}

TEST(GameStart, ImagesGivenByTheGameAreUsed)
{
    BoardResetAll();
    int gem[12], effect[12], tray[12];
    for (int c = 0; c < 12; c++) {
        gem[c] = 40 + c;
        effect[c] = 60 + c;
        tray[c] = 70 + c;
    }
    BoardSetImages(gem, effect, tray, 97);
    GameVars.GameMode = ModeEasy;
    GameVars.BoardSize = SizeSmall;
    ASSERT_EQ(BoardStartGame(1920, 96, 96), 1);
    EXPECT_EQ(CellAt(4, 4).image, 40);
    EXPECT_EQ(Tray.Slots[1].image, 70 + Tray.Slots[1].piece);
    EXPECT_EQ(TakeFromTray(1), Tray.Slots[1].piece);
    EXPECT_EQ(Tray.Slots[1].image, 97);
}

// ---------------------------------------------------------------- random source

TEST(Random, SameSeedSameDraws)
{
    BoardSeedRandom(123);
    std::vector<int> first;
    for (int n = 0; n < 100; n++) first.push_back(RandomPiece());
    BoardSeedRandom(123);
    std::vector<int> again;
    for (int n = 0; n < 100; n++) again.push_back(RandomPiece());
    EXPECT_EQ(first, again);
    BoardSeedRandom(124);
    std::vector<int> other;
    for (int n = 0; n < 100; n++) other.push_back(RandomPiece());
    EXPECT_NE(first, other);
}

TEST(Random, PiecesAreUniformOverOneToEleven)
{
    BoardSeedRandom(2024);
    const int draws = 110000;
    int counts[12] = {};
    for (int n = 0; n < draws; n++) {
        const int piece = RandomPiece();
        ASSERT_GE(piece, 1);
        ASSERT_LE(piece, 11);
        counts[piece]++;
    }
    // Expected 10000 each; a fair die stays within 5 standard deviations (~475).
    double chiSquare = 0;
    for (int s = 1; s <= 11; s++) {
        EXPECT_NEAR(counts[s], 10000, 475) << "shape " << s;
        chiSquare += (counts[s] - 10000.0) * (counts[s] - 10000.0) / 10000.0;
    }
    EXPECT_LT(chiSquare, 35.0);  // 10 degrees of freedom, far beyond the 0.1% level
}

TEST(Random, RangeEnds)
{
    BoardSeedRandom(5);
    std::set<int> seen;
    for (int n = 0; n < 1000; n++) seen.insert(BoardRandomInt(3, 1));
    EXPECT_EQ(seen, (std::set<int>{1, 2, 3}));
    EXPECT_EQ(BoardRandomInt(4, 4), 4);
    EXPECT_EQ(BoardRandomInt(1, 9), 9);
    // The widest range must not overflow (the sanitizer build checks) and
    // still reaches both halves.
    int negative = 0;
    for (int n = 0; n < 1000; n++) negative += BoardRandomInt(INT32_MAX, INT32_MIN) < 0;
    EXPECT_GT(negative, 400);
    EXPECT_LT(negative, 600);
}
