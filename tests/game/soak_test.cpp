// soak_test.cpp: a thousand games and a hundred display rebuilds leave the resident memory where it was.
#include <gtest/gtest.h>

#include <malloc.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "play/play.h"
#include "app/spine.h"
#include "board.h"
#include "display/display.h"
#include "harness.h"
#include "platform.h"

#if defined(__SANITIZE_ADDRESS__)
#define PRISMORIA_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PRISMORIA_ASAN 1
#endif
#endif

namespace {

long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return -1;
}

// Bytes the program holds from the allocator now: what a leak makes grow,
// without the allocator's own slack that the resident size also counts.
long HeapInUseKb() {
    const struct mallinfo2 info = mallinfo2();
    return long((info.uordblks + info.hblkhd) / 1024);
}

using Soak = HarnessTest;

// Plays the game on screen to its end, one bot move a frame, then leaves the
// game-over panel by RETRY or MENU and QUICKGAME, so modes and sizes vary.
void PlayOneGame(uint64_t* bot, int game) {
    for (int move = 0; move < 1000 && App.ScreenState == StatePlaying; ++move) {
        BoardMove choice;
        if (!ChooseBotMove(BotRandom, bot, &choice)) break;
        PlayMove(choice);
        HandleBoardEvents();
        RunOneFrame();
    }
    ASSERT_EQ(App.ScreenState, StateGameOver) << "game " << game;
    if (game % 2 == 0) {
        ClickButton(StateGameOver, 1);  // RETRY
    } else {
        ClickButton(StateGameOver, 2);  // MENU
        ClickButton(StateMainMenu, 2);  // QUICKGAME
    }
    ASSERT_EQ(App.ScreenState, StatePlaying) << "game " << game;
}

TEST_F(Soak, ThousandGamesAndHundredRebuildsKeepTheResidentMemoryFlat) {
#ifdef PRISMORIA_ASAN
    GTEST_SKIP() << "the address sanitizer holds freed memory back, so resident size says nothing here";
#endif
    HarnessOptions options;
    options.sounds = 0;
    options.music = 0;
    StartAtMainMenu(options);
    ClickButton(StateMainMenu, 2);
    ASSERT_EQ(App.ScreenState, StatePlaying);
    uint64_t bot = 2026;
    // The first games settle every cache and pool; growth is counted after them.
    for (int game = 0; game < 50; ++game) PlayOneGame(&bot, game);
    const long gamesStart = ResidentKb();
    const long gamesHeapStart = HeapInUseKb();
    for (int game = 50; game < 1000; ++game) PlayOneGame(&bot, game);
    const long gamesEnd = ResidentKb();
    const long gamesHeapEnd = HeapInUseKb();

    TapKey(KEY_ESCAPE);
    ClickButton(StateInGameMenu, 3);
    ClickButton(StateInGameQuit, 1);
    ASSERT_EQ(App.ScreenState, StateMainMenu);
    // Growth is counted after the first rebuilds, once every pool has settled.
    for (int rebuild = 0; rebuild < 30; ++rebuild) RebuildDisplay();
    const long rebuildsStart = ResidentKb();
    const long rebuildsHeapStart = HeapInUseKb();
    for (int rebuild = 30; rebuild < 100; ++rebuild) RebuildDisplay();
    const long rebuildsEnd = ResidentKb();
    const long rebuildsHeapEnd = HeapInUseKb();
    ASSERT_TRUE(RunUntilState(StateMainMenu));

    std::printf("resident memory: games %ld -> %ld kB, display rebuilds %ld -> %ld kB\n", gamesStart, gamesEnd,
                rebuildsStart, rebuildsEnd);
    std::printf("heap in use: games %ld -> %ld kB, display rebuilds %ld -> %ld kB\n", gamesHeapStart, gamesHeapEnd,
                rebuildsHeapStart, rebuildsHeapEnd);
    RecordProperty("GamesResidentKb", std::to_string(gamesStart) + " -> " + std::to_string(gamesEnd));
    RecordProperty("RebuildsResidentKb", std::to_string(rebuildsStart) + " -> " + std::to_string(rebuildsEnd));
    // A leak of a kilobyte per game or per rebuild would already show: 950
    // games and 70 rebuilds against a margin of 512 kB each. The resident size
    // swings by megabytes with the allocator's slack and is only reported.
    EXPECT_LT(gamesHeapEnd - gamesHeapStart, 512);
    EXPECT_LT(rebuildsHeapEnd - rebuildsHeapStart, 512);
}

}  // namespace
