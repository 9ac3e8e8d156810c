// keyfile_write.cpp: the exact bytes of a written key file, reading it back, and damaged input.
#include <gtest/gtest.h>

#include "pf_internal.h"
#include "platform.h"

#include <random>
#include <string>

namespace {

std::string TestFolder() {
    std::string folder = std::string(PRISMORIA_TEST_TMP) + "/keyfile/";
    CreateFolderPath(folder);
    return folder;
}

class KeyFileWrite : public ::testing::Test {
protected:
    void TearDown() override {
        PfKeyFilesShutdown();
        PfFilesShutdown();
    }
};

TEST_F(KeyFileWrite, PreferencesFileHasExactlyTheNineLines) {
    std::string path = TestFolder() + "Prismoria.prefs";
    // Whatever the file held before is replaced.
    std::string old = "[Settings]\nExtra = 1\n; old comment\n";
    ASSERT_EQ(WriteWholeFile(path, old.data(), old.size()), 1);

    ASSERT_NE(CreateKeyFile(0, path), 0);
    WriteComment(0, "Prismoria Preferences");
    WriteKeyGroup(0, "Settings");
    WriteKeyText(0, "Language", "en_GB");
    WriteKeyNumber(0, "Music", 1);
    WriteKeyNumber(0, "GameScreen", 2);
    WriteKeyNumber(0, "Resolution", -3);
    WriteKeyNumber(0, "Sounds", 0);
    WriteKeyNumber(0, "MusicVolume", 100);
    ASSERT_EQ(CloseKeyFile(0), 1);

    std::string bytes;
    ASSERT_EQ(ReadWholeFile(path, bytes), 1);
    EXPECT_EQ(bytes,
              "\xEF\xBB\xBF\r\n"
              "; Prismoria Preferences\r\n"
              "[Settings]\r\n"
              "Language = en_GB\r\n"
              "Music = 1\r\n"
              "GameScreen = 2\r\n"
              "Resolution = -3\r\n"
              "Sounds = 0\r\n"
              "MusicVolume = 100\r\n");
}

TEST_F(KeyFileWrite, WrittenFileReadsBack) {
    std::string path = TestFolder() + "roundtrip.language";
    int out = CreateKeyFile(PF_ANY, path);
    ASSERT_NE(out, 0);
    WriteComment(out, "not = an entry");
    WriteKeyGroup(out, "LANGUAGE FILE");
    WriteKeyText(out, "tLangFileNAME", "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC");
    WriteKeyGroup(out, "Texts");
    WriteKeyText(out, "tMenuSTART", "Start  ");  // trailing blanks survive
    WriteKeyNumber(out, "Big", INT64_MIN);
    WriteKeyText(out, "Broken", "line one\r\n[Injected]\nX = 1");
    ASSERT_EQ(CloseKeyFile(out), 1);

    ASSERT_NE(OpenKeyFile(3, path), 0);
    EXPECT_EQ(ListGroups(3), (std::vector<std::string>{"LANGUAGE FILE", "Texts"}));
    EXPECT_EQ(ListKeys(3, ""), std::vector<std::string>{});
    SelectGroup(3, "LANGUAGE FILE");
    EXPECT_EQ(ReadKeyText(3, "tLangFileNAME", ""),
              "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC");
    SelectGroup(3, "Texts");
    EXPECT_EQ(ReadKeyText(3, "tMenuSTART", ""), "Start  ");
    EXPECT_EQ(ReadKeyNumber(3, "Big", 0), INT64_MIN);
    // A line break inside a value cannot open a group of its own.
    EXPECT_EQ(ReadKeyText(3, "Broken", ""), "line one  [Injected] X = 1");
}

TEST_F(KeyFileWrite, FailuresAreReported) {
    EXPECT_EQ(CreateKeyFile(0, "/nonexistent/folder/Prismoria.prefs"), 0);
    EXPECT_EQ(CloseKeyFile(0), 0);
    // Writing into a file opened for reading changes nothing.
    std::string text = "[G]\nK = v\n";
    ASSERT_NE(OpenKeyBytes(1, text.data(), text.size()), 0);
    WriteKeyText(1, "K", "changed");
    SelectGroup(1, "G");
    EXPECT_EQ(ReadKeyText(1, "K", ""), "v");
    // A folder in the way cannot be replaced: the close reports it and leaves no
    // temporary file behind.
    std::string folder = TestFolder() + "in_the_way";
    ASSERT_EQ(CreateFolderPath(folder + "/"), 1);
    ASSERT_NE(CreateKeyFile(2, folder), 0);
    WriteKeyText(2, "K", "v");
    EXPECT_EQ(CloseKeyFile(2), 0);
    EXPECT_TRUE(ListFolder(TestFolder(), "in_the_way.*").empty()) << "a temporary file was left";
}

// The previous file survives until the new one is completely written.
TEST_F(KeyFileWrite, PreviousFileKeptUntilTheNewOneIsComplete) {
    std::string path = TestFolder() + "kept.prefs";
    std::string old = "[Settings]\r\nMusic = 0\r\n";
    ASSERT_EQ(WriteWholeFile(path, old.data(), old.size()), 1);
    ASSERT_NE(CreateKeyFile(3, path), 0);
    WriteKeyGroup(3, "Settings");
    WriteKeyNumber(3, "Music", 1);
    std::string bytes;
    ASSERT_EQ(ReadWholeFile(path, bytes), 1);
    EXPECT_EQ(bytes, old);
    ASSERT_EQ(CloseKeyFile(3), 1);
    ASSERT_EQ(ReadWholeFile(path, bytes), 1);
    EXPECT_EQ(bytes, "\xEF\xBB\xBF\r\n[Settings]\r\nMusic = 1\r\n");
    EXPECT_TRUE(ListFolder(TestFolder(), "kept.prefs.*").empty()) << "a temporary file was left";
}

TEST_F(KeyFileWrite, ShutdownWritesAFileStillBeingCreated) {
    std::string path = TestFolder() + "unclosed.prefs";
    ASSERT_NE(CreateKeyFile(4, path), 0);
    WriteKeyNumber(4, "K", 5);
    PfKeyFilesShutdown();
    std::string bytes;
    ASSERT_EQ(ReadWholeFile(path, bytes), 1);
    EXPECT_EQ(bytes, "\xEF\xBB\xBF\r\nK = 5\r\n");
}

// Random and cut-short text must never crash the reader (ASan checks the reads).
TEST(KeyFileRobustness, RandomAndTruncatedBytes) {
    std::mt19937 rng(1234);
    const std::string sample =
        "\xEF\xBB\xBF\r\n; c\r\n[Settings]\r\nLanguage = en_GB\r\nMusic = 1\r\n[x\r\n=\r\n;\r\n[]\r\n";
    const char alphabet[] = "[]=;\r\n \t-+09aZ\xEF\xBB\xBF\xC3\xA7\x80\xFF";
    for (int round = 0; round < 3000; round++) {
        std::string bytes;
        if (round % 3 == 0) {
            bytes = sample.substr(0, rng() % (sample.size() + 1));
        } else {
            size_t length = rng() % 200;
            for (size_t i = 0; i < length; i++) {
                bytes += round % 3 == 1 ? char(rng() & 255) : alphabet[rng() % (sizeof alphabet - 1)];
            }
        }
        ASSERT_NE(OpenKeyBytes(0, bytes.data(), bytes.size()), 0);
        for (const std::string& group : ListGroups(0)) {
            SelectGroup(0, group);
            for (const std::string& key : ListKeys(0, group)) {
                ReadKeyText(0, key, "");
                ReadKeyNumber(0, key, 0);
            }
        }
        ReadKeyNumber(0, "Music", 0);
    }
    PfKeyFilesShutdown();
}

}  // namespace
