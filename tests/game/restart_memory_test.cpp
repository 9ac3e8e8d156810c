// restart_memory_test.cpp: settings and best scores carried from one run of the whole game to the next.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "app/spine.h"
#include "audio/audio.h"
#include "board.h"
#include "harness.h"
#include "platform.h"

namespace {

using RestartMemory = HarnessTest;

std::string Hex(const std::string& bytes) {
    std::string out;
    char two[4];
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(two, sizeof two, "%02x", unsigned(uint8_t(bytes[i])));
        out += (i > 0 && i % 4 == 0 ? " " : "") + std::string(two);
    }
    return out;
}

std::string ScoreBytes(int mode, int size, int32_t score) {
    std::string bytes(36, '\0');
    for (int b = 0; b < 4; ++b) bytes[size_t(((mode - 1) * 3 + size - 1) * 4 + b)] = char(uint32_t(score) >> (8 * b));
    return bytes;
}

const std::string PrefsStart = "\xEF\xBB\xBF\r\n; Prismoria Preferences\r\n[Settings]\r\nLanguage = en_GB\r\n";

TEST_F(RestartMemory, KeysAndANewBestAreRememberedByTheNextRun) {
    StartAtMainMenu();  // music and sounds on, volume 100, preferences in the user folder
    PfInjectKey(KEY_PAD_MINUS, 1);
    RunFrames(30);
    PfInjectKey(KEY_PAD_MINUS, 0);
    TapKey(KEY_M);
    TapKey(KEY_N);
    StartGameThroughMenus(ModeNormal, SizeSmall);
    ASSERT_TRUE(PlayGameToTheEnd(7));
    const int32_t score = GameVars.Score;
    ASSERT_EQ(BestScoreFor(ModeNormal, SizeSmall), score) << "the first finished game is a new best";
    ClickButton(StateGameOver, 2);  // MENU
    TapKey(KEY_ESCAPE);             // quits from the main menu
    ASSERT_EQ(App.QuitRequested, 1);
    ShutDown();

    const std::string scores = ReadTextFile(Folders.userDir + "Prismoria.scores");
    const std::string prefs = ReadTextFile(Folders.userDir + "Prismoria.prefs");
    EXPECT_EQ(scores, ScoreBytes(ModeNormal, SizeSmall, score));
    EXPECT_EQ(prefs, PrefsStart + "Music = 0\r\nGameScreen = 2\r\nResolution = 1\r\nSounds = 0\r\nMusicVolume = 70\r\n");
    RecordProperty("scores_hex", Hex(scores));
    RecordProperty("prefs_text", prefs);

    LaunchGame();
    EXPECT_EQ(App.Settings.Music, 0);
    EXPECT_EQ(App.Settings.Sounds, 0);
    EXPECT_EQ(App.Settings.MusicVolume, 70);
    EXPECT_EQ(BestScoreFor(ModeNormal, SizeSmall), score);
    EXPECT_NE(TrackStatus(SndMenuTrack), SOUND_PLAYING) << "music stays off";
}

TEST_F(RestartMemory, AProgramFolderFileWinsAndEverythingIsWrittenBackThere) {
    HarnessOptions user;
    user.musicVolume = 11;
    StartHarness(user);  // a user folder file, then a program folder file beside it
    StopHarness();
    {
        std::ofstream prefs(Folders.gameDir + "Prismoria.prefs", std::ios::binary);
        prefs << "; hand-written\n[Other]\nMusicVolume = 1\n[settings]\nmusicvolume=33\nSounds=off\nExtra = 5\n";
        std::ofstream scores(Folders.gameDir + "Prismoria.scores", std::ios::binary);
        scores << ScoreBytes(ModeEasy, SizeLarge, 4321);
    }
    const std::string userPrefs = ReadTextFile(Folders.userDir + "Prismoria.prefs");
    LaunchGame();
    EXPECT_EQ(App.SaveTo, Folders.gameDir);
    EXPECT_EQ(App.Settings.MusicVolume, 33);
    EXPECT_EQ(App.Settings.Sounds, 0);
    EXPECT_EQ(BestScoreFor(ModeEasy, SizeLarge), 4321);
    App.QuitRequested = 1;
    ShutDown();
    EXPECT_EQ(ReadTextFile(Folders.gameDir + "Prismoria.prefs"),
              PrefsStart + "Music = 1\r\nGameScreen = 2\r\nResolution = 1\r\nSounds = 0\r\nMusicVolume = 33\r\n");
    EXPECT_EQ(ReadTextFile(Folders.gameDir + "Prismoria.scores"), ScoreBytes(ModeEasy, SizeLarge, 4321));
    EXPECT_EQ(ReadTextFile(Folders.userDir + "Prismoria.prefs"), userPrefs);
    EXPECT_FALSE(FileExists(Folders.userDir + "Prismoria.scores"));
}

TEST_F(RestartMemory, AProcessKilledRightAfterANewBestKeepsIt) {
    StartHarness();  // the folders and preferences; the game itself runs in the child
    StopHarness();
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const pid_t child = fork();
    if (child == 0) {
        LaunchGame();
        int32_t score = -1;
        if (RunUntilState(StateMainMenu)) {
            StartGameThroughMenus(ModeUnpredictable, SizeMedium);
            if (PlayGameToTheEnd(3)) score = GameVars.Score;
        }
        (void)!write(pipeEnds[1], &score, sizeof score);
        for (;;) pause();  // the game over panel stays up until the process is killed
    }
    close(pipeEnds[1]);
    int32_t score = -1;
    ASSERT_EQ(read(pipeEnds[0], &score, sizeof score), ssize_t(sizeof score));
    close(pipeEnds[0]);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_GT(score, 0) << "the child did not finish its game";

    LaunchGame();
    EXPECT_EQ(BestScoreFor(ModeUnpredictable, SizeMedium), score);
    EXPECT_EQ(ReadTextFile(Folders.userDir + "Prismoria.scores"), ScoreBytes(ModeUnpredictable, SizeMedium, score));
}

}  // namespace
