// saved_files_test.cpp: the scores file's bytes, and both saved files surviving a save that cannot be made.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "core/state.h"
#include "board.h"
#include "data/best_scores.h"
#include "data/preferences.h"
#include "platform.h"

namespace {

namespace fs = std::filesystem;

std::string LittleEndian(std::initializer_list<int32_t> values) {
    std::string bytes;
    for (int32_t v : values) {
        for (int b = 0; b < 4; ++b) bytes += char(uint32_t(v) >> (8 * b));
    }
    return bytes;
}

class SavedFiles : public ::testing::Test {
protected:
    std::string folder;

    void SetUp() override {
        App = AppState{};
        BestScores = BestScoreTable{};
        folder = std::string(PRISMORIA_TEST_TMP) + "/saved_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name() + "/";
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override {
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(folder);
    }
    void Write(const std::string& name, const std::string& bytes) {
        std::ofstream(folder + name, std::ios::binary) << bytes;
    }
    std::string Read(const std::string& name) {
        std::ifstream in(folder + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    static void FillTable(int32_t value) {
        for (int m = 1; m <= 3; ++m)
            for (int s = 1; s <= 3; ++s) SetBestScore(m, s, value);
    }
    static std::vector<int32_t> Table() {
        std::vector<int32_t> v;
        for (int m = 1; m <= 3; ++m)
            for (int s = 1; s <= 3; ++s) v.push_back(BestScoreFor(m, s));
        return v;
    }
};

TEST_F(SavedFiles, ScoresFileOfAnyLengthReads) {
    const std::string full = LittleEndian({10, 20, 30, -40, 50, 60, INT32_MIN, INT32_MAX, -1});
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<int32_t> expected;
    } cases[] = {
        {"empty", "", {0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"12 bytes: the EASY row", full.substr(0, 12), {10, 20, 30, 0, 0, 0, 0, 0, 0}},
        // A partial entry: its bytes are the low-order ones.
        {"14 bytes", full.substr(0, 12) + "\x34\x12", {10, 20, 30, 0x1234, 0, 0, 0, 0, 0}},
        {"35 bytes", full.substr(0, 35), {10, 20, 30, -40, 50, 60, INT32_MIN, INT32_MAX, 0xFFFFFF}},
        {"36 bytes, negatives kept", full, {10, 20, 30, -40, 50, 60, INT32_MIN, INT32_MAX, -1}},
        {"100 bytes", full + std::string(64, '\x7F'), {10, 20, 30, -40, 50, 60, INT32_MIN, INT32_MAX, -1}},
    };
    for (const Case& c : cases) {
        Write("Prismoria.scores", c.bytes);
        FillTable(77);  // every entry is set, also those the file does not cover
        EXPECT_EQ(LoadBestScores(folder), 1) << c.name;
        EXPECT_EQ(Table(), c.expected) << c.name;
    }
    // Without a readable file the table stays as it was.
    fs::remove(folder + "Prismoria.scores");
    FillTable(77);
    EXPECT_EQ(LoadBestScores(folder), 0);
    fs::create_directory(folder + "Prismoria.scores");
    EXPECT_EQ(LoadBestScores(folder), 0);
    EXPECT_EQ(Table(), std::vector<int32_t>(9, 77));
}

TEST_F(SavedFiles, ScoresAreSavedAsExactlyNineLittleEndianNumbers) {
    // A long file is cut back to 36 bytes by the next save.
    const std::string before = LittleEndian({1, 2, 3, 4, 5, 6, 7, 8, -9}) + "trailing bytes";
    Write("Prismoria.scores", before);
    ASSERT_EQ(LoadBestScores(folder), 1);
    ASSERT_EQ(SaveBestScores(folder), 1);
    EXPECT_EQ(Read("Prismoria.scores"), before.substr(0, 36));

    // A new NORMAL / LARGE best touches the bytes at offset 20 and nothing else.
    SetBestScore(ModeNormal, SizeLarge, 0x01020304);
    ASSERT_EQ(SaveBestScores(folder), 1);
    std::string expected = before.substr(0, 36);
    expected.replace(20, 4, "\x04\x03\x02\x01");
    EXPECT_EQ(Read("Prismoria.scores"), expected);
    EXPECT_EQ(fs::directory_iterator(folder)->path().filename(), "Prismoria.scores") << "no temporary file left";
}

// Runs the save in a child process that has been set up to fail it; returns what the
// save returned (or -1 when the child could not be set up).
int SaveInChild(const std::function<bool()>& setUp, const std::function<int()>& save) {
    pid_t child = fork();
    if (child == 0) {
        _exit(setUp() ? save() : 100);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) == 100) return -1;
    return WEXITSTATUS(status);
}

TEST_F(SavedFiles, ASaveThatCannotBeMadeLeavesTheOldFilesAsTheyWere) {
    const std::string oldScores = LittleEndian({5, 4, 3, 2, 1, 0, -1, -2, -3});
    const std::string oldPrefs = "[Settings]\r\nMusic = 0\r\nMusicVolume = 12\r\n";
    App.Settings.Language = "en_GB";
    App.Settings.MusicVolume = 99;
    FillTable(1000);
    const std::string missing = folder + "gone/";
    struct Case {
        const char* name;
        std::string saveTo;
        std::function<bool()> setUp;  // in the child, before the save
    } cases[] = {
        {"missing folder", missing, [] { return true; }},
        {"disk full part-way",
         folder,
         [] {
             signal(SIGXFSZ, SIG_IGN);
             rlimit limit{8, 8};  // files may grow to 8 bytes only
             return setrlimit(RLIMIT_FSIZE, &limit) == 0;
         }},
        {"read-only folder",
         folder,
         [this] {
             fs::permissions(folder, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                             fs::perm_options::remove);
             // The superuser writes anywhere: drop to an ordinary user first.
             return geteuid() != 0 || setuid(65534) == 0;
         }},
    };
    for (const Case& c : cases) {
        Write("Prismoria.scores", oldScores);
        Write("Prismoria.prefs", oldPrefs);
        EXPECT_EQ(SaveInChild(c.setUp, [&] { return SaveBestScores(c.saveTo); }), 0) << c.name;
        EXPECT_EQ(SaveInChild(c.setUp, [&] { return WritePreferences(c.saveTo); }), 0) << c.name;
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add);
        EXPECT_EQ(Read("Prismoria.scores"), oldScores) << c.name;
        EXPECT_EQ(Read("Prismoria.prefs"), oldPrefs) << c.name;
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2)
            << c.name << ": no temporary file left";
        EXPECT_FALSE(fs::exists(missing)) << c.name;
    }
}

TEST_F(SavedFiles, AScoresFileThatCannotBeReadIsNeverWrittenOver) {
    const std::string oldScores = LittleEndian({7, 7, 7, 7, 7, 7, 7, 7, 7});
    Write("Prismoria.scores", oldScores);
    FillTable(1000);
    const std::string scores = folder + "Prismoria.scores";
    const int saved = SaveInChild(
        [&] {
            fs::permissions(scores, fs::perms::none);
            fs::permissions(folder, fs::perms::all);
            return geteuid() != 0 || setuid(65534) == 0;
        },
        [&] { return LoadBestScores(folder) == 0 ? SaveBestScores(folder) : 100; });
    fs::permissions(scores, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(saved, 0);
    EXPECT_EQ(Read("Prismoria.scores"), oldScores);
}

}  // namespace
