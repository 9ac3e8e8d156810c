// files_folders.cpp: folders of the program and user, folder creation and listing, file I/O.
#include <gtest/gtest.h>

#include "pf_internal.h"
#include "platform.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>

namespace {

std::string TestFolder() {
    std::string folder = std::string(PRISMORIA_TEST_TMP) + "/files/";
    CreateFolderPath(folder);
    return folder;
}

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        const char* old = std::getenv(name);
        had_ = old != nullptr;
        if (had_) old_ = old;
        if (value) setenv(name, value, 1);
        else unsetenv(name);
    }
    ~ScopedEnv() {
        if (had_) setenv(name_, old_.c_str(), 1);
        else unsetenv(name_);
    }

private:
    const char* name_;
    bool had_ = false;
    std::string old_;
};

TEST(Folders, ProgramFolderHoldsThisExecutable) {
    std::string folder = ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_EQ(FileSize(folder), -2);
    EXPECT_EQ(folder, std::string(PRISMORIA_BIN_DIR) + "/");
}

TEST(Folders, UserDataFolderFollowsXdgThenHome) {
    {
        ScopedEnv xdg("XDG_DATA_HOME", "/data/xdg");
        ScopedEnv home("HOME", "/home/player");
        EXPECT_EQ(UserDataFolder(), "/data/xdg/");
        EXPECT_EQ(HomeFolder(), "/home/player/");
    }
    {
        ScopedEnv xdg("XDG_DATA_HOME", "relative/path");  // not absolute: ignored
        ScopedEnv home("HOME", "/home/player/");
        EXPECT_EQ(UserDataFolder(), "/home/player/.local/share/");
    }
    {
        ScopedEnv xdg("XDG_DATA_HOME", nullptr);
        ScopedEnv home("HOME", nullptr);
        EXPECT_EQ(UserDataFolder(), "");
    }
    {
        ScopedEnv tmp("TMPDIR", "/var/tmp");
        EXPECT_EQ(TempFolder(), "/var/tmp/");
    }
    {
        ScopedEnv tmp("TMPDIR", nullptr);
        EXPECT_EQ(TempFolder(), "/tmp/");
    }
}

TEST(Folders, CreateSizeListAndDelete) {
    std::string root = TestFolder() + "tree/";
    std::filesystem::remove_all(root);  // left over from an earlier run
    std::string deep = root + "a/b/c/";
    ASSERT_EQ(CreateFolderPath(deep), 1);
    EXPECT_EQ(FileSize(deep), -2);
    EXPECT_EQ(CreateFolderPath(deep), 1);        // already there
    EXPECT_EQ(CreateFolder(root + "a"), 0);      // exists already
    EXPECT_EQ(CreateFolder(root + "x/y"), 0);    // one level only
    EXPECT_EQ(CreateFolder(root + "x"), 1);
    EXPECT_EQ(FileSize(root + "x/"), -2);

    ASSERT_EQ(WriteWholeFile(root + "en_GB.language", "abc", 3), 1);
    ASSERT_EQ(WriteWholeFile(root + "de_DE.language", "", 0), 1);
    ASSERT_EQ(WriteWholeFile(root + "en_GB.flag", "f", 1), 1);
    EXPECT_EQ(FileSize(root + "en_GB.language"), 3);
    EXPECT_EQ(FileSize(root + "de_DE.language"), 0);
    EXPECT_EQ(FileSize(root + "nothing"), -1);
    EXPECT_EQ(FileSize(""), -1);

    EXPECT_EQ(ListFolder(root, "*.language"), (std::vector<std::string>{"de_DE.language", "en_GB.language"}));
    EXPECT_EQ(ListFolder(root, "*"),
              (std::vector<std::string>{"a", "de_DE.language", "en_GB.flag", "en_GB.language", "x"}));
    EXPECT_TRUE(ListFolder(root + "missing/", "*").empty());

    // A file in the way makes the path impossible.
    EXPECT_EQ(CreateFolderPath(root + "en_GB.flag/sub/"), 0);

    EXPECT_EQ(DeleteFile(root + "en_GB.flag"), 1);
    EXPECT_EQ(DeleteFile(root + "en_GB.flag"), 0);
    EXPECT_EQ(DeleteFile(root + "a"), 0);  // folders are not deleted as files
    EXPECT_EQ(FileSize(root + "en_GB.flag"), -1);
}

TEST(Files, WholeFiles) {
    std::string path = TestFolder() + "whole.bin";
    std::string data("bin\0ary\r\n", 9);
    ASSERT_EQ(WriteWholeFile(path, data.data(), data.size()), 1);
    std::string back = "old";
    ASSERT_EQ(ReadWholeFile(path, back), 1);
    EXPECT_EQ(back, data);
    back = "kept";
    EXPECT_EQ(ReadWholeFile(TestFolder() + "missing.bin", back), 0);
    EXPECT_EQ(ReadWholeFile(TestFolder(), back), 0);  // a folder
    EXPECT_EQ(back, "kept");
    EXPECT_EQ(WriteWholeFile("/nonexistent/dir/file", "x", 1), 0);
    if (FileSize("/dev/full") != -1) {
        EXPECT_EQ(WriteWholeFile("/dev/full", "x", 1), 0);
    }
}

TEST(Files, SequentialWriting) {
    std::string path = TestFolder() + "log.txt";
    int handle = CreateFileForWriting(path);
    ASSERT_NE(handle, 0);
    EXPECT_EQ(WriteToFile(handle, "Prismoria\r\n", 11), 1);
    EXPECT_EQ(WriteToFile(handle, "", 0), 1);
    EXPECT_EQ(WriteToFile(handle, "line\r\n", 6), 1);
    std::string back;
    ASSERT_EQ(ReadWholeFile(path, back), 1);  // written at once, not held in a buffer
    EXPECT_EQ(back, "Prismoria\r\nline\r\n");
    CloseFile(handle);
    EXPECT_EQ(WriteToFile(handle, "late", 4), 0);  // closed
    EXPECT_EQ(WriteToFile(12345, "x", 1), 0);     // never opened
    EXPECT_EQ(CreateFileForWriting("/nonexistent/dir/file"), 0);

    // Reopening replaces the old content.
    handle = CreateFileForWriting(path);
    ASSERT_NE(handle, 0);
    EXPECT_EQ(FileSize(path), 0);
    if (FileSize("/dev/full") != -1) {
        int full = CreateFileForWriting("/dev/full");
        ASSERT_NE(full, 0);
        EXPECT_EQ(WriteToFile(full, "x", 1), 0);  // the disk is full
    }
    PfFilesShutdown();
    EXPECT_EQ(WriteToFile(handle, "x", 1), 0);
}

}  // namespace
