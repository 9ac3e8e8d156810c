// keyboard_play_test.cpp: playing with keys and gamepad codes through the real main loop: taking a
// tray piece onto the board, moving, placing, refusals, putting back, the mouse taking over, whole games.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "audio/audio.h"
#include "play_test_util.h"

using namespace playtest;

using KeyboardPlay = HarnessTest;

namespace {

void StartPlaying(int gameScreen, int mode, int size) {
    StartAtMainMenu(ScreenOptions(gameScreen, 1024, 576));
    StartGameThroughMenus(mode, size);
    RunOneFrame();
}

void TapTimes(int key, int times) {
    for (int i = 0; i < times; ++i) TapKey(key);
}

// A move made by keys alone: take the slot's piece, push it into the top-left
// corner (the cursor stops at the board's edges), step to the cell, place.
void KeyMove(const BoardMove& move) {
    TapKey(KEY_1 + move.slot);
    TapTimes(KEY_LEFT, MaxColumns);
    TapTimes(KEY_UP, BoardRows);
    TapTimes(KEY_RIGHT, move.column);
    TapTimes(KEY_DOWN, move.row);
    TapKey(KEY_RETURN);
}

bool EffectAt(int column, int row) {
    for (int e = 0; e < Effects.Count; ++e) {
        if (Effects.Items[e].x == CellAt(column, row).x && Effects.Items[e].y == CellAt(column, row).y) return true;
    }
    return false;
}

// Slots showing the empty square while they still hold a piece: exactly the carried ones.
int SlotsShownEmpty() {
    int count = 0;
    for (const TraySlot& slot : Tray.Slots) count += slot.piece > 0 && slot.image == BoardImages.EmptySlot;
    return count;
}

bool RefusedSoundPlaying() { return SoundStatus(SndRefused, -1) == SOUND_PLAYING; }

}  // namespace

// From the main menu to game over and back by keys alone on every board size
// (the menus by pointer clicks): every move lands on the cell it was steered to.
TEST_F(KeyboardPlay, WholeGameByKeysOnEachBoardSize) {
    struct Case {
        int mode, size;
    };
    for (const Case c : {Case{ModeEasy, SizeSmall}, Case{ModeNormal, SizeMedium}, Case{ModeUnpredictable, SizeLarge}}) {
        SCOPED_TRACE("size " + std::to_string(c.size));
        StartPlaying(ScreenBorderless, c.mode, c.size);
        uint64_t botSeed = 7 + c.size;
        int misplaced = 0;
        BoardMove move;
        for (int tries = 0; tries < 500 && App.ScreenState == StatePlaying && ChooseBotMove(BotRandom, &botSeed, &move);
             ++tries) {
            const int shape = Tray.Slots[move.slot].piece;
            const int movesBefore = GameVars.Moves;
            KeyMove(move);
            bool landed = GameVars.Moves == movesBefore + 1;
            for (const ShapeCell& cell : ShapeCells(shape)) {
                const int i = move.column + cell.dx, j = move.row + cell.dy;
                landed = landed && (CellAt(i, j).colour == shape || EffectAt(i, j));
            }
            misplaced += !landed;
            RunUntilEffectEnds();
            EXPECT_EQ(Play.Dragging, 0) << "the mouse never carried anything";
        }
        EXPECT_EQ(misplaced, 0);
        ASSERT_EQ(App.ScreenState, StateGameOver);
        EXPECT_GE(GameVars.Moves, 5);
        EXPECT_EQ(BestScoreFor(c.mode, c.size), GameVars.Score) << "the first finished game is the best";
        TapKey(KEY_ESCAPE);
        EXPECT_EQ(App.ScreenState, StateMainMenu);
        StopHarness();
    }
}

// A taken piece starts with its origin at column (N - w) / 2, row (8 - h) / 2 and
// is drawn there; its slot shows the empty square.
TEST_F(KeyboardPlay, StartCellOfATakenPiece) {
    struct Case {
        int size, shape, column, row;
    };
    const Case cases[] = {
        {SizeSmall, 3, 2, 3},  {SizeMedium, 3, 4, 3}, {SizeLarge, 3, 6, 3},  // 3 x 2
        {SizeSmall, 5, 3, 2},  {SizeMedium, 5, 5, 2}, {SizeLarge, 5, 7, 2},  // 1 x 4
    };
    StartPlaying(ScreenBorderless, ModeEasy, SizeSmall);
    const int t = Display.TileSize;
    for (const Case& c : cases) {
        SCOPED_TRACE("size " + std::to_string(c.size) + ", shape " + std::to_string(c.shape));
        GameVars.BoardSize = c.size;
        ASSERT_TRUE(StartGame(false));
        GiveSlot(1, c.shape);
        TapKey(KEY_2);
        RunFrames(1);  // drawn
        ASSERT_EQ(Play.KeyCarried, 1);
        EXPECT_EQ(Play.KeyColumn, c.column);
        EXPECT_EQ(Play.KeyRow, c.row);
        EXPECT_EQ(Tray.Slots[1].image, BoardImages.EmptySlot);
        // Both shapes fill their origin cell: its middle shows the piece image's middle.
        const uint32_t piece = ShownPixel(Assets.Shape[c.shape], t / 2, t / 2);
        ASSERT_EQ(ColourAlpha(piece), 255);
        const uint32_t shown = ScreenPixel(CellAt(c.column, c.row).x + t / 2, CellAt(c.column, c.row).y + t / 2);
        EXPECT_EQ(shown & 0xFFFFFF, piece & 0xFFFFFF);
    }
}

// The arrows move one cell a tap and stop at the piece's last valid origin; a
// held arrow steps on the press, then after 15 frames and every 5 after.
TEST_F(KeyboardPlay, ArrowsStayInsideTheBoardAndRepeat) {
    StartPlaying(ScreenBorderless, ModeEasy, SizeLarge);
    GiveSlot(0, 11);  // 3 x 3 from (6, 2); origins 0..13 x 0..5
    TapKey(KEY_1);
    struct Step {
        int key, taps, column, row;
    };
    const Step steps[] = {{KEY_RIGHT, 10, 13, 2}, {KEY_DOWN, 10, 13, 5}, {KEY_LEFT, 20, 0, 5}, {KEY_UP, 1, 0, 4},
                          {KEY_UP, 10, 0, 0}};
    for (const Step& s : steps) {
        TapTimes(s.key, s.taps);
        EXPECT_EQ(Play.KeyColumn, s.column);
        EXPECT_EQ(Play.KeyRow, s.row);
    }
    PfInjectKey(KEY_RIGHT, 1);
    RunFrames(21);  // the press and 20 held frames: steps at 0, 15 and 20
    PfInjectKey(KEY_RIGHT, 0);
    RunFrames(1);
    EXPECT_EQ(Play.KeyColumn, 3);
    EXPECT_EQ(GameVars.Moves, 0);
}

// A refused placement plays the failure sound and keeps the piece on its cell,
// also under the in-game menu and back; moved on, it is placed and completes a
// row (10 + 20 points); while that row fades no piece can be taken.
TEST_F(KeyboardPlay, RefusedPlacementKeepsThePieceCarried) {
    StartPlaying(ScreenBorderless, ModeEasy, SizeSmall);
    GiveSlot(0, 9);  // 2 x 2 from (3, 3)
    FillCell(4, 4, 1);
    for (int i : {0, 1, 4, 5, 6, 7}) FillCell(i, 3, 1);
    TapKey(KEY_1);
    ASSERT_FALSE(RefusedSoundPlaying());
    TapKey(KEY_RETURN);
    EXPECT_TRUE(RefusedSoundPlaying());
    EXPECT_EQ(Play.KeyCarried, 1);
    EXPECT_EQ(Play.KeyColumn, 3);
    EXPECT_EQ(Play.KeyRow, 3);
    EXPECT_EQ(Tray.Slots[0].image, BoardImages.EmptySlot);
    EXPECT_EQ(GameVars.Score, 0);
    TapKey(KEY_ESCAPE);
    ASSERT_EQ(App.ScreenState, StateInGameMenu);
    TapKey(KEY_LEFT);  // the play keys rest under the menu
    TapKey(KEY_ESCAPE);
    ASSERT_EQ(App.ScreenState, StatePlaying);
    EXPECT_EQ(Play.KeyCarried, 1);
    TapKey(KEY_LEFT);
    TapKey(KEY_PAD_ENTER);
    EXPECT_EQ(Play.KeyCarried, 0);
    EXPECT_EQ(GameVars.Score, 30);
    EXPECT_EQ(CellAt(2, 3).colour, 0) << "cleared with its row";
    EXPECT_EQ(CellAt(2, 4).colour, 9);
    EXPECT_EQ(CellAt(3, 4).colour, 9);
    EXPECT_EQ(Tray.Slots[0].image, BoardImages.Tray[Tray.Slots[0].piece]) << "refilled";
    ASSERT_EQ(Effects.EffectActive, 1);
    TapKey(KEY_2);
    EXPECT_EQ(Play.KeyCarried, 0) << "taken while the row fades";
    RunUntilEffectEnds();
    TapKey(KEY_2);
    EXPECT_EQ(Play.KeyCarried, 1);
}

// Gamepad codes: shoulders cycle through the slots that hold a piece, the
// D-pad moves, B puts back, A places; keys the game does not use change nothing.
TEST_F(KeyboardPlay, GamepadMovesAPiece) {
    StartPlaying(ScreenBorderless, ModeNormal, SizeSmall);
    GiveSlot(0, 9);  // 2 x 2 from (3, 3)
    GiveSlot(1, 0);
    Tray.Slots[1].image = BoardImages.EmptySlot;
    GiveSlot(2, 5);  // 1 x 4 from (3, 2)
    struct Step {
        const char* what;
        int key, slot, column, row;  // slot -1: nothing carried
    };
    const Step steps[] = {
        {"right shoulder, none carried: first", KEY_GAMEPAD_RIGHT_SHOULDER, 0, 3, 3},
        {"right shoulder skips the empty slot", KEY_GAMEPAD_RIGHT_SHOULDER, 2, 3, 2},
        {"right shoulder wraps", KEY_GAMEPAD_RIGHT_SHOULDER, 0, 3, 3},
        {"left shoulder wraps back", KEY_GAMEPAD_LEFT_SHOULDER, 2, 3, 2},
        {"D-pad right", KEY_GAMEPAD_RIGHT, 2, 4, 2},
        {"D-pad up", KEY_GAMEPAD_UP, 2, 4, 1},
        {"B puts back", KEY_GAMEPAD_B, -1, 0, 0},
        {"left shoulder, none carried: last", KEY_GAMEPAD_LEFT_SHOULDER, 2, 3, 2},
        {"an unused letter", KEY_A, 2, 3, 2},
        {"an unused digit", KEY_4, 2, 3, 2},
        {"the taken slot's own number puts back", KEY_PAD_3, -1, 0, 0},
        {"a number takes", KEY_3, 2, 3, 2},
        {"another slot's number swaps", KEY_1, 0, 3, 3},
        {"the empty slot's number changes nothing", KEY_2, 0, 3, 3},
        {"and back", KEY_PAD_3, 2, 3, 2},
        {"D-pad down", KEY_GAMEPAD_DOWN, 2, 3, 3},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        TapKey(s.key);
        ASSERT_EQ(Play.KeyCarried, s.slot >= 0);
        EXPECT_EQ(SlotsShownEmpty(), s.slot >= 0);
        if (s.slot < 0) continue;
        EXPECT_EQ(Play.KeySlot, s.slot);
        EXPECT_EQ(Play.KeyColumn, s.column);
        EXPECT_EQ(Play.KeyRow, s.row);
    }
    TapKey(KEY_GAMEPAD_A);
    EXPECT_EQ(Play.KeyCarried, 0);
    EXPECT_EQ(GameVars.Score, 10);
    for (int row = 3; row < 7; ++row) EXPECT_EQ(CellAt(3, row).colour, 5);
    EXPECT_EQ(Tray.Slots[2].piece, 0) << "NORMAL leaves the slot empty";
}

// Keys and the mouse in one frame: the mouse acts first and wins; never two
// pieces carried, never a slot showing empty with its piece gone.
TEST_F(KeyboardPlay, MouseAndKeysInOneFrame) {
    constexpr int Rests = -2;
    struct Case {
        const char* what;
        int keySlotBefore;  // -1: nothing carried by keys
        int pressSlot;      // -1: the pointer only moves onto the board; Rests: a press where it is
        int key;
        int dragSlot;  // the mouse's piece afterwards, -1 none
        int button = MOUSE_LEFT;
    };
    const Case cases[] = {
        {"press on the key piece's slot and another number", 0, 0, KEY_2, 0},
        {"press on a slot and a number", -1, 1, KEY_1, 1},
        {"a movement and Return", 0, -1, KEY_RETURN, -1},
        {"press on another slot and Backspace", 0, 2, KEY_BACKSPACE, 2},
        {"a right press where the pointer rests", 0, Rests, KEY_NONE, -1, MOUSE_RIGHT},
        {"a middle press where the pointer rests", 1, Rests, KEY_NONE, -1, MOUSE_MIDDLE},
    };
    for (int screen : {ScreenBorderless, ScreenFullscreen}) {
        StartPlaying(screen, ModeEasy, SizeSmall);
        for (int k = 0; k < TraySlots; ++k) GiveSlot(k, 1 + k);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (screen == ScreenFullscreen ? ", full screen" : ", borderless"));
            if (c.keySlotBefore >= 0) TapKey(KEY_1 + c.keySlotBefore);
            ASSERT_EQ(Play.KeyCarried, c.keySlotBefore >= 0);
            const bool rests = c.pressSlot == Rests;
            const int x = rests ? PointerX() : c.pressSlot >= 0 ? SlotCentreX(c.pressSlot) : CellAt(1, 1).x;
            const int y = rests ? PointerY() : c.pressSlot >= 0 ? SlotCentreY(c.pressSlot) : CellAt(1, 1).y;
            PfInjectMouseMove(x, y);
            if (c.pressSlot >= 0 || rests) PfInjectMouseButton(c.button, 1);
            PfInjectKey(c.key, 1);
            PfInjectKey(c.key, 0);
            RunFrames(1);
            EXPECT_EQ(Play.KeyCarried, 0);
            EXPECT_EQ(Play.Dragging, c.dragSlot >= 0);
            if (c.dragSlot >= 0) {
                EXPECT_EQ(Play.DragSlot, c.dragSlot);
            }
            EXPECT_EQ(SlotsShownEmpty(), c.dragSlot >= 0);
            EXPECT_EQ(GameVars.Moves, 0);
            PfInjectMouseButton(c.button, 0);
            ReleaseAt(x, y);  // over a slot: no cell, the piece goes back
            EXPECT_EQ(SlotsShownEmpty(), 0);
        }
        StopHarness();
    }
}

// The keys hide the pointer (the window's cursor, or the image a full screen
// draws) until the mouse moves; the movement also puts the piece back.
TEST_F(KeyboardPlay, KeysHideThePointerUntilTheMouseMoves) {
    for (int screen : {ScreenWindowed, ScreenFullscreen}) {
        SCOPED_TRACE(screen == ScreenFullscreen ? "full screen" : "windowed");
        StartPlaying(screen, ModeEasy, SizeSmall);
        // An opaque pixel of the pointer image, looked for over the plain background at the top left.
        int px = -1, py = -1;
        for (int i = 0; i < SpriteWidth(ImgPointer) * SpriteHeight(ImgPointer) && px < 0; ++i) {
            const int x = i % SpriteWidth(ImgPointer), y = i / SpriteWidth(ImgPointer);
            if (ColourAlpha(SpritePixel(ImgPointer, x, y)) == 255) px = x, py = y;
        }
        ASSERT_GE(px, 0);
        const uint32_t ink = SpritePixel(ImgPointer, px, py) & 0xFFFFFF;
        auto pointerShown = [&] {
            if (screen != ScreenFullscreen) return WindowCursorShown(0) != 0;
            return (ScreenPixel(8 + px, 8 + py) & 0xFFFFFF) == ink;
        };
        MoveTo(8, 8);
        RunFrames(1);
        EXPECT_TRUE(pointerShown());
        TapKey(KEY_1);
        RunFrames(1);
        EXPECT_FALSE(pointerShown());
        EXPECT_EQ(Play.KeyCarried, 1);
        MoveTo(9, 8);
        MoveTo(8, 8);
        EXPECT_TRUE(pointerShown());
        EXPECT_EQ(Play.KeyCarried, 0);
        // Hidden, the pointer resting over the in-game menu's RESTART takes no
        // highlight there: the first Down goes to RESUME. A movement takes it.
        const MenuButton& restart = MenuScreenFor(StateInGameMenu).buttons[2];
        MoveTo((restart.hitX1 + restart.hitX2) / 2, (restart.hitY1 + restart.hitY2) / 2);
        TapKey(KEY_1);
        TapKey(KEY_ESCAPE);
        RunFrames(1);
        ASSERT_EQ(App.ScreenState, StateInGameMenu);
        EXPECT_EQ(Menus.InGameHover, 0);
        TapKey(KEY_DOWN);
        EXPECT_EQ(Menus.InGameHover, 1);
        MoveTo((restart.hitX1 + restart.hitX2) / 2 + 1, (restart.hitY1 + restart.hitY2) / 2);
        EXPECT_EQ(Menus.InGameHover, 2);
        StopHarness();
    }
}

// A key's release belongs to the screen where the key went down: Return, or
// the controller's A, pressed on the in-game menu's RESUME and let go back in
// the game, neither places the carried piece nor tries to.
TEST_F(KeyboardPlay, AKeyLetGoOnTheNextScreenDoesNotActThere) {
    StartPlaying(ScreenBorderless, ModeEasy, SizeSmall);
    const int pad = PfAttachVirtualPad();
    ASSERT_NE(pad, 0);
    const auto returnKey = [](int down) { PfInjectKey(KEY_RETURN, down); };
    const auto buttonA = [pad](int down) { PfSetVirtualPadButton(pad, PF_PAD_A, down); };
    for (const auto& hold : {std::function<void(int)>(returnKey), std::function<void(int)>(buttonA)}) {
        GiveSlot(0, 9);
        TapKey(KEY_1);
        TapKey(KEY_ESCAPE);
        TapKey(KEY_DOWN);
        ASSERT_EQ(Menus.InGameHover, 1);
        hold(1);
        RunFrames(1);
        ASSERT_EQ(App.ScreenState, StatePlaying) << "RESUME acts on the press";
        hold(0);
        RunFrames(2);
        EXPECT_EQ(Play.KeyCarried, 1);
        EXPECT_EQ(GameVars.Moves, 0);
        EXPECT_FALSE(RefusedSoundPlaying());
        PutKeyPieceBack();
    }
    PfDetachVirtualPad(pad);
}

// A virtual controller through the system's controller path: right shoulder
// takes, the D-pad and the left stick move, A places.
TEST_F(KeyboardPlay, VirtualControllerPlaysAMove) {
    StartPlaying(ScreenBorderless, ModeEasy, SizeSmall);
    GiveSlot(0, 9);  // 2 x 2 from (3, 3)
    const int pad = PfAttachVirtualPad();
    ASSERT_NE(pad, 0);
    RunFrames(1);
    auto push = [&](int button) {
        PfSetVirtualPadButton(pad, button, 1);
        RunFrames(1);
        PfSetVirtualPadButton(pad, button, 0);
        RunFrames(1);
    };
    push(PF_PAD_RIGHT_SHOULDER);
    ASSERT_EQ(Play.KeyCarried, 1);
    EXPECT_EQ(Play.KeySlot, 0);
    push(PF_PAD_LEFT);
    PfSetVirtualPadAxis(pad, PF_PAD_LEFT_Y, 32767);
    RunFrames(1);
    PfSetVirtualPadAxis(pad, PF_PAD_LEFT_Y, 0);
    RunFrames(1);
    EXPECT_EQ(Play.KeyColumn, 2);
    EXPECT_EQ(Play.KeyRow, 4);
    push(PF_PAD_A);
    EXPECT_EQ(Play.KeyCarried, 0);
    EXPECT_EQ(GameVars.Score, 10);
    EXPECT_EQ(CellAt(2, 4).colour, 9);
    EXPECT_EQ(CellAt(3, 5).colour, 9);
    PfDetachVirtualPad(pad);
}
