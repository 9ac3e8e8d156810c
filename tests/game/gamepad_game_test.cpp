// gamepad_game_test.cpp: a virtual game controller through the real main loop: a menu walked and a piece placed.
#include <gtest/gtest.h>

#include "audio/audio.h"
#include "menus/menus.h"
#include "play_test_util.h"

using namespace playtest;

using GamepadGame = HarnessTest;

namespace {

// A virtual controller plugged in while the game runs, seen by the next frame.
int PlugPadInGame() {
    const int pad = PfAttachVirtualPad();
    RunFrames(1);
    return pad;
}

// One button pressed for a frame, then let go for a frame, as a player taps it.
void TapPad(int pad, int button) {
    PfSetVirtualPadButton(pad, button, 1);
    RunFrames(1);
    PfSetVirtualPadButton(pad, button, 0);
    RunFrames(1);
}

}  // namespace

TEST_F(GamepadGame, DpadDownHighlightsStartAndAActivatesIt) {
    StartAtMainMenu();
    const int pad = PlugPadInGame();
    ASSERT_NE(pad, 0);
    EXPECT_EQ(Menus.MainMenuHover, 0);
    TapPad(pad, PF_PAD_DOWN);
    EXPECT_EQ(Menus.MainMenuHover, 1) << "START, the first button";
    EXPECT_EQ(App.ScreenState, StateMainMenu);
    EXPECT_NE(SoundStatus(SndClick, -1), SOUND_PLAYING) << "a highlight makes no sound";
    // The click lasts 0.11 s, longer than the two frames of a tap.
    TapPad(pad, PF_PAD_A);
    EXPECT_EQ(App.ScreenState, StateGameMode);
    EXPECT_EQ(SoundStatus(SndClick, -1), SOUND_PLAYING);
}

TEST_F(GamepadGame, AShoulderTakesAPieceTheDpadMovesItAndAPlacesIt) {
    StartAtMainMenu();
    StartGameThroughMenus(ModeEasy, SizeSmall);
    RunFrames(1);
    ASSERT_EQ(App.ScreenState, StatePlaying);
    // The single gem in every slot: whichever slot the shoulder takes, the piece
    // (1 x 1) starts at column (8 - 1) / 2 = 3, row (8 - 1) / 2 = 3.
    for (int slot = 0; slot < TraySlots; ++slot) GiveSlot(slot, 1);
    const int pad = PlugPadInGame();
    ASSERT_NE(pad, 0);
    const int scoreBefore = GameVars.Score;
    TapPad(pad, PF_PAD_RIGHT_SHOULDER);
    TapPad(pad, PF_PAD_RIGHT);
    TapPad(pad, PF_PAD_DOWN);
    EXPECT_EQ(IsEmpty(4, 4), 1) << "carried, not placed yet";
    TapPad(pad, PF_PAD_A);
    EXPECT_EQ(GameVars.Score, scoreBefore + 10);
    EXPECT_EQ(CellAt(4, 4).colour, 1) << "placed one cell right and one down of (3, 3)";
    EXPECT_EQ(IsEmpty(3, 3), 1);
    EXPECT_EQ(App.ScreenState, StatePlaying);
}
