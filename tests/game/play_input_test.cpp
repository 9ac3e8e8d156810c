// play_input_test.cpp: the pointer and keys during a game, through the real press, carry and release path:
// pick-up, drop with its snap zones, cancel, the menu button, Escape with a carried piece, whole games.
#include <gtest/gtest.h>

#include <string>

#include "audio/audio.h"
#include "menus/menus.h"
#include "play_test_util.h"

using namespace playtest;

using PlayInput = HarnessTest;

namespace {

const char* ModeName(int gameScreen) {
    return gameScreen == ScreenFullscreen ? "full screen" : gameScreen == ScreenWindowed ? "windowed" : "borderless";
}

void StartPlaying(int gameScreen, int mode, int size) {
    StartAtMainMenu(ScreenOptions(gameScreen, 1024, 576));
    StartGameThroughMenus(mode, size);
    RunOneFrame();
}

bool RefusedSoundPlaying() { return SoundStatus(SndRefused, -1) == SOUND_PLAYING; }

}  // namespace

// Strict tests: a press exactly on the border of a tray slot or of the menu button does nothing.
TEST_F(PlayInput, PressesOnBordersDoNothing) {
    StartPlaying(ScreenFullscreen, ModeEasy, SizeSmall);
    const ScreenRect& slot = PlayLayout.TrayRect[1];
    const ScreenRect& menu = PlayLayout.MenuButtonArea;
    const int slotX = SlotCentreX(1), slotY = SlotCentreY(1);
    const int menuX = (menu.x1 + menu.x2) / 2, menuY = (menu.y1 + menu.y2) / 2;
    const int points[][2] = {{slot.x1, slotY}, {slot.x2, slotY}, {slotX, slot.y1},  {menu.x1, menuY},
                             {menu.x2, menuY}, {menuX, menu.y1}, {menuX, menu.y2}};
    const TraySlot before = Tray.Slots[1];
    for (const auto& p : points) {
        SCOPED_TRACE(std::to_string(p[0]) + ", " + std::to_string(p[1]));
        PressAt(p[0], p[1]);
        EXPECT_EQ(Play.Dragging, 0);
        ReleaseAt(p[0], p[1]);
        EXPECT_EQ(App.ScreenState, StatePlaying);
        EXPECT_EQ(Tray.Slots[1], before);
    }
    // One pixel inside picks up.
    PressAt(slot.x1 + 1, slotY);
    EXPECT_EQ(Play.Dragging, 1);
    EXPECT_EQ(Play.DragSlot, 1);
}

// While the clearing fades a press is lost, not kept for later.
TEST_F(PlayInput, PressDuringTheFadeIsIgnored) {
    for (int screen : {ScreenBorderless, ScreenFullscreen}) {
        SCOPED_TRACE(ModeName(screen));
        StartPlaying(screen, ModeEasy, SizeSmall);
        ClearTheLastRowByHand();
        RunOneFrame();
        ASSERT_EQ(Effects.EffectActive, 1);
        PressAt(SlotCentreX(1), SlotCentreY(1));
        EXPECT_EQ(Play.Dragging, 0);
        ReleaseAt(SlotCentreX(1), SlotCentreY(1));
        RunUntilEffectEnds();
        RunFrames(2);
        EXPECT_EQ(Play.Dragging, 0);
        EXPECT_EQ(Tray.Slots[1].image, BoardImages.Tray[Tray.Slots[1].piece]);
        PressAt(SlotCentreX(1), SlotCentreY(1));
        EXPECT_EQ(Play.Dragging, 1) << "a new press after the fade picks up";
        StopHarness();
    }
}

// NORMAL deals three pieces at a time: a placed piece leaves its slot empty until the batch is used up.
TEST_F(PlayInput, EmptySlotIsNotPickedUp) {
    StartPlaying(ScreenBorderless, ModeNormal, SizeSmall);
    GiveSlot(0, 1);
    DragToCell(0, 0, 0);
    ASSERT_EQ(GameVars.Moves, 1);
    ASSERT_EQ(Tray.Slots[0].piece, 0);
    PressAt(SlotCentreX(0), SlotCentreY(0));
    EXPECT_EQ(Play.Dragging, 0);
    EXPECT_EQ(Tray.Slots[0].image, ImgEmptyTraySlot);
    ReleaseAt(SlotCentreX(0), SlotCentreY(0));
    EXPECT_FALSE(RefusedSoundPlaying()) << "nothing was carried, nothing is cancelled";
}

// A release that finds no cell, or a cell where the piece does not fit, puts the
// piece back into its slot with the failure sound; so does a release outside the
// window, where the pointer reads (-1, -1).
TEST_F(PlayInput, CancelledDropRestoresTheSlot) {
    StartPlaying(ScreenWindowed, ModeEasy, SizeSmall);
    FillCell(4, 4, 3);
    GiveSlot(2, 7);  // 2 x 2
    struct Case {
        const char* what;
        int x, y;
    };
    const Case cases[] = {
        {"beyond the board", 5, 5},
        {"onto a filled cell", PointerXFor(7, 3), PointerYFor(7, 3)},
        {"hanging over the last column", PointerXFor(7, Board.LastColumn), PointerYFor(7, 0)},
        {"outside the window", -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PressAt(SlotCentreX(2), SlotCentreY(2));
        ASSERT_EQ(Play.Dragging, 1);
        EXPECT_EQ(Tray.Slots[2].image, ImgEmptyTraySlot) << "the slot is empty while its piece is carried";
        ASSERT_FALSE(RefusedSoundPlaying());
        if (c.x < 0) {
            PfInjectMouseLeave();
            ASSERT_EQ(PointerX(), -1);
            ASSERT_EQ(PointerY(), -1);
        }
        ReleaseAt(c.x, c.y);
        EXPECT_EQ(Play.Dragging, 0);
        EXPECT_TRUE(RefusedSoundPlaying());
        EXPECT_EQ(Tray.Slots[2].piece, 7);
        EXPECT_EQ(Tray.Slots[2].image, BoardImages.Tray[7]);
        EXPECT_EQ(GameVars.Moves, 0);
        StopSoundClip(SndRefused, -1);  // silent again for the next case
    }
}

// Escape takes the game to its menu with the piece still on the pointer; releases
// in the menu and the quit question are ignored; the first release back in the game drops it.
TEST_F(PlayInput, EscapeKeepsTheCarriedPiece) {
    for (int screen : {ScreenWindowed, ScreenFullscreen}) {
        SCOPED_TRACE(ModeName(screen));
        StartPlaying(screen, ModeEasy, SizeSmall);
        GiveSlot(0, 1);
        const int x = PointerXFor(1, 2), y = PointerYFor(1, 5);
        PressAt(SlotCentreX(0), SlotCentreY(0));
        MoveTo(x, y);
        TapKey(KEY_ESCAPE);
        ASSERT_EQ(App.ScreenState, StateInGameMenu);
        EXPECT_EQ(Play.Dragging, 1);
        ReleaseAt(x, y);
        EXPECT_EQ(Play.Dragging, 1) << "released in the in-game menu";
        ClickButton(StateInGameMenu, 3);
        ASSERT_EQ(App.ScreenState, StateInGameQuit);
        EXPECT_EQ(Play.Dragging, 1) << "released in the quit question";
        TapKey(KEY_ESCAPE);
        TapKey(KEY_ESCAPE);
        ASSERT_EQ(App.ScreenState, StatePlaying);
        EXPECT_EQ(Play.Dragging, 1);
        // Full screen drops on the first frame without the button; a window on its next release.
        PressAt(x, y);
        ReleaseAt(x, y);
        EXPECT_EQ(Play.Dragging, 0);
        EXPECT_EQ(GameVars.Moves, 1);
        EXPECT_EQ(CellAt(2, 5).colour, 1);
        StopHarness();
    }
}

// In full screen one press both tests the tray and clicks: on the menu button it
// opens the in-game menu, on a slot it picks the piece up and opens nothing.
// Holding the button while sweeping over the other slots takes no second piece.
TEST_F(PlayInput, FullScreenPressOnMenuButtonOrSlot) {
    StartPlaying(ScreenFullscreen, ModeEasy, SizeSmall);
    const ScreenRect& menu = PlayLayout.MenuButtonArea;
    PressAt(SlotCentreX(2), SlotCentreY(2));
    EXPECT_EQ(Play.Dragging, 1);
    EXPECT_EQ(App.ScreenState, StatePlaying);
    for (int slot : {1, 0}) {
        MoveTo(SlotCentreX(slot), SlotCentreY(slot));
        EXPECT_EQ(Play.DragSlot, 2);
        EXPECT_EQ(Tray.Slots[slot].image, BoardImages.Tray[Tray.Slots[slot].piece]) << "slot " << slot;
    }
    ReleaseAt(5, 5);
    ASSERT_EQ(Play.Dragging, 0);
    PressAt((menu.x1 + menu.x2) / 2, (menu.y1 + menu.y2) / 2);
    EXPECT_EQ(App.ScreenState, StateInGameMenu) << "opened on the press";
    EXPECT_EQ(Play.Dragging, 0);
}

// The button shows its hover image under the pointer, and keeps its look while a piece is carried.
TEST_F(PlayInput, MenuButtonHover) {
    StartPlaying(ScreenBorderless, ModeEasy, SizeSmall);
    const ScreenRect& menu = PlayLayout.MenuButtonArea;
    MoveTo(menu.x1 + 1, menu.y1 + 1);
    EXPECT_EQ(Play.MenuButtonImage, ImgMenuButtonHover);
    MoveTo(menu.x1, menu.y1 + 1);
    EXPECT_EQ(Play.MenuButtonImage, ImgMenuButton);
    PressAt(SlotCentreX(0), SlotCentreY(0));
    MoveTo(menu.x1 + 1, menu.y1 + 1);
    EXPECT_EQ(Play.MenuButtonImage, ImgMenuButton) << "a piece is carried";
}

// The image's top-left corner picks the cell whose zone holds it, rows scanned
// first: off the diagonal and past column 7, on every board size; the gems then
// show at exactly the shape's cells.
TEST_F(PlayInput, DropLandsOnTheSnappedCell) {
    struct Case {
        int size, shape, column, row;
    };
    const Case cases[] = {{SizeSmall, 5, 5, 2}, {SizeMedium, 2, 9, 6}, {SizeLarge, 3, 13, 1}, {SizeLarge, 1, 15, 7}};
    StartPlaying(ScreenBorderless, ModeEasy, SizeSmall);
    for (const Case& c : cases) {
        SCOPED_TRACE("size " + std::to_string(c.size) + ", cell " + std::to_string(c.column) + ", " +
                     std::to_string(c.row));
        GameVars.BoardSize = c.size;
        ASSERT_TRUE(StartGame(false));
        GiveSlot(1, c.shape);
        DragToCell(1, c.column, c.row);
        ASSERT_EQ(GameVars.Moves, 1);
        RunOneFrame();
        int filled = 0;
        for (int i = 0; i <= Board.LastColumn; ++i) {
            for (int j = 0; j < BoardRows; ++j) filled += IsEmpty(i, j) ? 0 : 1;
        }
        EXPECT_EQ(filled, ShapeCellCount(c.shape));
        const int t = Display.TileSize;
        const uint32_t gem = ShownPixel(Assets.Gem[c.shape], t / 2, t / 2);
        ASSERT_EQ(ColourAlpha(gem), 255);
        for (const ShapeCell& s : ShapeCells(c.shape)) {
            const BoardCell& cell = CellAt(c.column + s.dx, c.row + s.dy);
            EXPECT_EQ(cell.colour, c.shape);
            EXPECT_EQ(ScreenPixel(cell.x + t / 2, cell.y + t / 2) & 0xFFFFFFu, gem & 0xFFFFFFu);
        }
    }
}

// A slow frame reads a whole click or drag, and the pointer's move after it, at
// once: in a window each press and release still acts where it happened.
TEST_F(PlayInput, ASlowFrameActsWhereEachPressAndReleaseHappened) {
    for (int screen : {ScreenWindowed, ScreenBorderless}) {
        SCOPED_TRACE(ModeName(screen));
        StartAtMainMenu(ScreenOptions(screen, 1024, 576));
        // START clicked, the pointer already over QUIT when the frame comes.
        const MenuButton& start = MenuScreenFor(StateMainMenu).buttons[1];
        const MenuButton& quit = MenuScreenFor(StateMainMenu).buttons[6];
        PfInjectMouseMove((start.hitX1 + start.hitX2) / 2, (start.hitY1 + start.hitY2) / 2);
        PfInjectMouseButton(MOUSE_LEFT, 1);
        PfInjectMouseButton(MOUSE_LEFT, 0);
        PfInjectMouseMove((quit.hitX1 + quit.hitX2) / 2, (quit.hitY1 + quit.hitY2) / 2);
        RunOneFrame();
        EXPECT_EQ(App.ScreenState, StateGameMode);
        // Three across with one under the left end, taken from slot 0, released
        // with its origin on cell (5, 2), the pointer over slot 2 before the frame.
        StartGameThroughMenus(ModeEasy, SizeSmall);
        RunOneFrame();
        GiveSlot(0, 3);
        PfInjectMouseMove(SlotCentreX(0), SlotCentreY(0));
        PfInjectMouseButton(MOUSE_LEFT, 1);
        PfInjectMouseMove(PointerXFor(3, 5), PointerYFor(3, 2));
        PfInjectMouseButton(MOUSE_LEFT, 0);
        PfInjectMouseMove(SlotCentreX(2), SlotCentreY(2));
        RunOneFrame();
        EXPECT_EQ(GameVars.Moves, 1);
        const int cells[][2] = {{5, 2}, {6, 2}, {7, 2}, {5, 3}};
        for (const auto& c : cells) EXPECT_EQ(CellAt(c[0], c[1]).colour, 3) << c[0] << ", " << c[1];
        StopHarness();
    }
}

// The zone runs from a quarter tile before a cell's corner to half a tile past it,
// both ends open; between two zones lies a strip that cancels.
TEST_F(PlayInput, SnapZoneEdges) {
    StartPlaying(ScreenBorderless, ModeEasy, SizeSmall);
    const int t = Display.TileSize, quarter = t / 4, half = t / 2;
    struct Case {
        int dx, dy, column, row;  // column -1: cancelled
    };
    const Case cases[] = {
        {-quarter + 1, -quarter + 1, 5, 2}, {half - 1, half - 1, 5, 2}, {-quarter, 0, -1, 0},
        {0, -quarter, -1, 0},               {half, 0, -1, 0},           {0, half, -1, 0},
        {t - quarter + 1, 0, 6, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.dx) + ", " + std::to_string(c.dy));
        ASSERT_TRUE(StartGame(false));
        GiveSlot(0, 1);
        PressAt(SlotCentreX(0), SlotCentreY(0));
        ReleaseAt(PointerXFor(1, 5, c.dx), PointerYFor(1, 2, c.dy));
        EXPECT_EQ(Play.Dragging, 0);
        if (c.column < 0) {
            EXPECT_EQ(GameVars.Moves, 0);
        } else {
            EXPECT_EQ(CellAt(c.column, c.row).colour, 1);
        }
    }
    // A quarter tile left of the first column cancels even with the pointer over the board.
    ASSERT_TRUE(StartGame(false));
    GiveSlot(0, 4);
    PressAt(SlotCentreX(0), SlotCentreY(0));
    ReleaseAt(PointerXFor(4, 0, -quarter), PointerYFor(4, 0));
    EXPECT_EQ(GameVars.Moves, 0);
}

// Whole games to the game-over panel, every move carried by the pointer from its slot:
// one per screen mode, each on another board size (the rules' own games cover the rest).
TEST_F(PlayInput, WholeGamesToGameOver) {
    for (int screen : {ScreenFullscreen, ScreenWindowed, ScreenBorderless}) {
        const int size = SizeSmall + screen;
        SCOPED_TRACE(std::string(ModeName(screen)) + ", size " + std::to_string(size));
        StartPlaying(screen, 1 + (size + screen) % 3, size);
        uint64_t bot = uint64_t(17 + 3 * screen + size);
        int moves = 0;
        BoardMove move;
        while (App.ScreenState == StatePlaying && moves < 600) {
            ASSERT_EQ(ChooseBotMove(BotRandom, &bot, &move), 1) << "a piece fits while the game runs";
            DragToCell(move.slot, move.column, move.row);
            ++moves;
            ASSERT_EQ(GameVars.Moves, moves) << "every move lands where it was carried";
            RunUntilEffectEnds();
        }
        EXPECT_EQ(App.ScreenState, StateGameOver);
        EXPECT_EQ(GameVars.GameRunning, 0);
        EXPECT_GE(GameVars.Score, 10 * moves);
        StopHarness();
    }
}
