// preferences_file_test.cpp: the exact bytes written, and hand-edited files read back.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/state.h"
#include "data/preferences.h"
#include "platform.h"

namespace {

class PreferencesFile : public ::testing::Test {
protected:
    std::string folder;

    void SetUp() override {
        App = AppState{};
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = std::string(PRISMORIA_TEST_TMP) + "/prefs_" + info->name() + "/";
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    void TearDown() override {
        PfShutdown();
        std::filesystem::remove_all(folder);
    }

    void WriteFile(const std::string& bytes) {
        std::ofstream out(folder + "Prismoria.prefs", std::ios::binary);
        out << bytes;
    }
    std::string ReadFile() {
        std::ifstream in(folder + "Prismoria.prefs", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
};

const std::string Bom = "\xEF\xBB\xBF";

TEST_F(PreferencesFile, WritesExactlyTheNineLines) {
    // Whatever the file held before (comments, other keys) is replaced.
    WriteFile("; old\r\n[Other]\r\nKey = 1\r\n[Settings]\r\nMusic = 1\r\nExtra = 9\r\n");
    App.Settings.Language = "en_GB";
    App.Settings.Music = 0;
    App.Settings.GameScreen = 1;
    App.Settings.Resolution = 3;
    App.Settings.Sounds = 1;
    App.Settings.MusicVolume = 42;
    ASSERT_EQ(WritePreferences(folder), 1);
    EXPECT_EQ(ReadFile(), Bom +
                              "\r\n"
                              "; Prismoria Preferences\r\n"
                              "[Settings]\r\n"
                              "Language = en_GB\r\n"
                              "Music = 0\r\n"
                              "GameScreen = 1\r\n"
                              "Resolution = 3\r\n"
                              "Sounds = 1\r\n"
                              "MusicVolume = 42\r\n");
}

TEST_F(PreferencesFile, WrittenSettingsReadBackIntoBothCopies) {
    App.Settings.Language = "pt_BR";
    App.Settings.Music = 0;
    App.Settings.GameScreen = 0;
    App.Settings.Resolution = 8;
    App.Settings.Sounds = 0;
    App.Settings.MusicVolume = 0;
    ASSERT_EQ(WritePreferences(folder), 1);

    App = AppState{};
    ASSERT_EQ(ReadPreferences(folder), 1);
    for (const GameSettings* s : {&App.Settings, &App.Pending}) {
        EXPECT_EQ(s->Language, "pt_BR");
        EXPECT_EQ(s->Music, 0);
        EXPECT_EQ(s->GameScreen, 0);
        EXPECT_EQ(s->Resolution, 8);
        EXPECT_EQ(s->Sounds, 0);
        EXPECT_EQ(s->MusicVolume, 0);
    }
}

TEST_F(PreferencesFile, HandWrittenEntriesAreReadLeniently) {
    WriteFile(
        "[settings]\n"
        "  music=0\n"
        "RESOLUTION = 3abc\n"
        "Sounds = abc\n"
        "MusicVolume =   -0x\n"
        "Language\t=\tde_DE \n");
    ASSERT_EQ(ReadPreferences(folder), 1);
    EXPECT_EQ(App.Settings.Music, 0);
    EXPECT_EQ(App.Settings.Resolution, 3);
    EXPECT_EQ(App.Settings.Sounds, 0);
    EXPECT_EQ(App.Settings.MusicVolume, 0);
    EXPECT_EQ(App.Settings.Language, "de_DE ");  // trailing blanks belong to the value
    EXPECT_EQ(App.Settings.GameScreen, ScreenBorderless);
}

TEST_F(PreferencesFile, FileWithoutTheGroupGivesEveryDefault) {
    WriteFile(Bom + "\r\nMusic = 0\r\n[Setting]\r\nSounds = 0\r\nGameScreen = 0\r\n");
    App.Settings.Language = "xx";
    App.Settings.Music = 0;
    App.Settings.Sounds = 0;
    App.Settings.GameScreen = ScreenWindowed;  // absent: keeps the value it had
    App.Settings.Resolution = 5;
    App.Settings.MusicVolume = 7;
    ASSERT_EQ(ReadPreferences(folder), 1);
    EXPECT_EQ(App.Settings.Language, "");
    EXPECT_EQ(App.Settings.Music, 1);
    EXPECT_EQ(App.Settings.Sounds, 1);
    EXPECT_EQ(App.Settings.GameScreen, ScreenWindowed);
    EXPECT_EQ(App.Settings.Resolution, 1);
    EXPECT_EQ(App.Settings.MusicVolume, 100);
}

TEST_F(PreferencesFile, OutOfRangeValuesAreHeldToTheirRanges) {
    WriteFile(
        "[Settings]\r\n"
        "Music = 5\r\n"
        "GameScreen = 7\r\n"
        "Resolution = -1\r\n"
        "Sounds = -2\r\n"
        "MusicVolume = 99999999999999999999999\r\n");
    ASSERT_EQ(ReadPreferences(folder), 1);
    EXPECT_EQ(App.Settings.Music, 1);
    EXPECT_EQ(App.Settings.GameScreen, 2);
    EXPECT_EQ(App.Settings.Resolution, 0);
    EXPECT_EQ(App.Settings.Sounds, 0);
    EXPECT_EQ(App.Settings.MusicVolume, 100);

    WriteFile("[Settings]\r\nGameScreen = -4\r\nResolution = 4294967305\r\nMusicVolume = -1\r\n");
    ASSERT_EQ(ReadPreferences(folder), 1);
    EXPECT_EQ(App.Settings.GameScreen, 0);
    EXPECT_EQ(App.Settings.Resolution, 8);  // not wrapped round to 9 by a narrowing
    EXPECT_EQ(App.Settings.MusicVolume, 0);
}

TEST_F(PreferencesFile, FileWithoutByteOrderMarkIsReadInTheSystemCodePage) {
    WriteFile("[Settings]\r\nLanguage = caf\xE9\r\n");
    ASSERT_EQ(ReadPreferences(folder), 1);
    EXPECT_EQ(App.Settings.Language, "caf\xC3\xA9");
    // Written back as UTF-8.
    ASSERT_EQ(WritePreferences(folder), 1);
    EXPECT_NE(ReadFile().find("Language = caf\xC3\xA9\r\n"), std::string::npos);
}

TEST_F(PreferencesFile, MissingFileOrFolderChangesNothing) {
    App.Settings.Music = 0;
    App.Settings.MusicVolume = 33;
    EXPECT_EQ(ReadPreferences(folder), 0);
    EXPECT_EQ(App.Settings.Music, 0);
    EXPECT_EQ(App.Settings.MusicVolume, 33);
    EXPECT_EQ(App.Pending.MusicVolume, 100);

    std::string missingFolder = folder + "no/such/folder/";
    EXPECT_EQ(WritePreferences(missingFolder), 0);
    EXPECT_FALSE(std::filesystem::exists(missingFolder));
}

}  // namespace
