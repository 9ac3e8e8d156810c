// play_capture_test.cpp: saves pictures of a game in progress for review by eye (run on request only).
//
//   build/bin/game_tests --gtest_also_run_disabled_tests --gtest_filter='PlayCapture*'
//
// The bitmaps land in $PRISMORIA_CAPTURE_DIR, else in the test's scratch folder.
#include <cstdlib>
#include <string>

#include "play_test_util.h"

using namespace playtest;

namespace {

std::string CaptureFolder() {
    const char* folder = std::getenv("PRISMORIA_CAPTURE_DIR");
    return folder && *folder ? std::string(folder) + "/" : std::string(PRISMORIA_TEST_TMP) + "/";
}

// Some moves of a game, a carried piece over the board, then a clearing caught mid-fade.
void CaptureGame(int width, int height, int size) {
    StartAtMainMenu(ScreenOptions(ScreenFullscreen, width, height));
    StartGameThroughMenus(ModeNormal, size);
    uint64_t bot = 7;
    BoardMove move;
    for (int i = 0; i < 10 && ChooseBotMove(BotGreedy, &bot, &move); ++i) {
        DragToCell(move.slot, move.column, move.row);
        RunUntilEffectEnds();
    }
    ASSERT_EQ(App.ScreenState, StatePlaying);
    const std::string name = CaptureFolder() + "play_" + std::to_string(width) + "x" + std::to_string(height);
    int slot = 0;
    while (slot < 2 && Tray.Slots[slot].piece == 0) ++slot;
    PressAt(SlotCentreX(slot), SlotCentreY(slot));
    MoveTo(CellAt(Board.LastColumn - 2, 2).x, CellAt(0, 2).y);
    MoveTo(CellAt(Board.LastColumn - 2, 2).x + 1, CellAt(0, 2).y + 1);
    EXPECT_EQ(Play.Dragging, 1);
    EXPECT_TRUE(SaveFrame(name + "_carrying.bmp"));
    ReleaseAt(0, 0);  // cancelled: back to its slot

    // The same piece carried by the keys: on the board, two cells right of and one
    // below its start, with no pointer drawn.
    TapKey(KEY_1 + slot);
    TapKey(KEY_RIGHT);
    TapKey(KEY_RIGHT);
    TapKey(KEY_DOWN);
    RunFrames(1);
    EXPECT_EQ(Play.KeyCarried, 1);
    EXPECT_TRUE(SaveFrame(name + "_keys.bmp"));
    TapKey(KEY_BACKSPACE);

    // A row one gem short, and the gem that completes it.
    for (int i = 0; i < Board.LastColumn; ++i) FillCell(i, 6, 1 + i % 11);
    for (int i = 0; i < BoardRows; ++i) {
        if (i != 6 && IsEmpty(Board.LastColumn, i) == 0) CellAt(Board.LastColumn, i) = CellAt(0, 0);
    }
    GiveSlot(0, 1);
    DragToCell(0, Board.LastColumn, 6);
    ASSERT_EQ(Effects.EffectActive, 1);
    RunFrames(5);
    EXPECT_TRUE(SaveFrame(name + "_clearing.bmp"));
}

}  // namespace

using PlayCapture = HarnessTest;

TEST_F(PlayCapture, DISABLED_GameAt1920x1080) { CaptureGame(1920, 1080, SizeMedium); }
TEST_F(PlayCapture, DISABLED_GameAt1280x720) { CaptureGame(1280, 720, SizeLarge); }
TEST_F(PlayCapture, DISABLED_GameAt1024x576) { CaptureGame(1024, 576, SizeSmall); }
