// keyfile_read.cpp: how grouped key/value text is read: encodings, line ends, groups, keys, numbers.
#include <gtest/gtest.h>

#include "pf_internal.h"
#include "platform.h"

#include <string>

namespace {

class KeyFileRead : public ::testing::Test {
protected:
    void TearDown() override { PfKeyFilesShutdown(); }

    // Opens the text as key file 1.
    void Open(const std::string& text) { ASSERT_NE(OpenKeyBytes(1, text.data(), text.size()), 0); }
};

TEST_F(KeyFileRead, PreferencesFileAsWrittenByTheGame) {
    Open("\xEF\xBB\xBF\r\n; Prismoria Preferences\r\n[Settings]\r\nLanguage = en_GB\r\nMusic = 0\r\n"
         "GameScreen = 1\r\nResolution = 4\r\nSounds = 1\r\nMusicVolume = 75\r\n");
    ASSERT_EQ(SelectGroup(1, "Settings"), 1);
    EXPECT_EQ(ReadKeyText(1, "Language", ""), "en_GB");
    EXPECT_EQ(ReadKeyNumber(1, "Music", 1), 0);
    EXPECT_EQ(ReadKeyNumber(1, "GameScreen", 2), 1);
    EXPECT_EQ(ReadKeyNumber(1, "Resolution", 1), 4);
    EXPECT_EQ(ReadKeyNumber(1, "Sounds", 0), 1);
    EXPECT_EQ(ReadKeyNumber(1, "MusicVolume", 100), 75);
    EXPECT_EQ(ListGroups(1), std::vector<std::string>{"Settings"});
}

TEST_F(KeyFileRead, KeysAndGroupsIgnoreAsciiCaseAndBlanks) {
    Open("[settings]\nmusic=0\nSOUNDS\t =\t\t1\n");
    ASSERT_EQ(SelectGroup(1, "SETTINGS"), 1);
    EXPECT_EQ(ReadKeyNumber(1, "Music", 1), 0);
    EXPECT_EQ(ReadKeyNumber(1, "Sounds", 0), 1);
    EXPECT_EQ(ReadKeyText(1, "sounds", "x"), "1");
}

TEST_F(KeyFileRead, NumbersAreADecimalPrefix) {
    Open("[N]\nResolution = 3abc\nSounds = letters\nA = -12x\nB = +7\nC =\nD = 1 2\nE = -\n"
         "F = 99999999999999999999\nG = -99999999999999999999\nH = 4294967296\n");
    SelectGroup(1, "N");
    EXPECT_EQ(ReadKeyNumber(1, "Resolution", 1), 3);
    EXPECT_EQ(ReadKeyNumber(1, "Sounds", 1), 0);
    EXPECT_EQ(ReadKeyNumber(1, "A", 0), -12);
    EXPECT_EQ(ReadKeyNumber(1, "B", 0), 7);
    EXPECT_EQ(ReadKeyNumber(1, "C", 5), 0);  // present but empty: no digits
    EXPECT_EQ(ReadKeyNumber(1, "D", 0), 1);
    EXPECT_EQ(ReadKeyNumber(1, "E", 5), 0);
    EXPECT_EQ(ReadKeyNumber(1, "F", 0), INT64_MAX);  // saturates instead of overflowing
    EXPECT_EQ(ReadKeyNumber(1, "G", 0), INT64_MIN);
    EXPECT_EQ(ReadKeyNumber(1, "H", 0), 4294967296);
    EXPECT_EQ(ReadKeyNumber(1, "Missing", 42), 42);
}

TEST_F(KeyFileRead, Encodings) {
    // With the byte-order mark: UTF-8, the mark itself is not part of the first key.
    Open("\xEF\xBB\xBFName = Fran\xC3\xA7" "ais\n");
    EXPECT_EQ(ReadKeyText(1, "Name", ""), "Fran\xC3\xA7" "ais");
    // Without it, well-formed UTF-8 stays as it is.
    Open("Name = \xCE\x95\xCE\xBB\n");
    EXPECT_EQ(ReadKeyText(1, "Name", ""), "\xCE\x95\xCE\xBB");
    // Without it and not UTF-8: Windows-1252, every byte kept as a character.
    Open("Name = Fran\xE7" "ais \x80 \x81 \x9F \xFF\n");
    EXPECT_EQ(ReadKeyText(1, "Name", ""),
              "Fran\xC3\xA7" "ais \xE2\x82\xAC \xC2\x81 \xC5\xB8 \xC3\xBF");
    // A lone byte-order mark, and an empty file, are empty files.
    Open("\xEF\xBB\xBF");
    EXPECT_TRUE(ListGroups(1).empty());
    EXPECT_EQ(OpenKeyBytes(1, nullptr, 0), 1);
    EXPECT_EQ(ReadKeyText(1, "a", "d"), "d");
}

TEST_F(KeyFileRead, AnyRunOfCarriageReturnsAndLineFeedsEndsALine) {
    Open("[G]\rA = 1\r\rB = 2\r\n\r\nC = 3\n\r\n\rD = 4\n\nE = 5");
    SelectGroup(1, "G");
    EXPECT_EQ(ReadKeyNumber(1, "A", 0), 1);
    EXPECT_EQ(ReadKeyNumber(1, "B", 0), 2);
    EXPECT_EQ(ReadKeyNumber(1, "C", 0), 3);
    EXPECT_EQ(ReadKeyNumber(1, "D", 0), 4);
    EXPECT_EQ(ReadKeyNumber(1, "E", 0), 5);  // last line without a line end
    EXPECT_EQ(ListKeys(1, "G"), (std::vector<std::string>{"A", "B", "C", "D", "E"}));
}

TEST_F(KeyFileRead, MissingGroupGivesEveryDefault) {
    Open("[Other]\nMusic = 0\n");
    EXPECT_EQ(SelectGroup(1, "Settings"), 0);
    EXPECT_EQ(ReadKeyNumber(1, "Music", 1), 1);
    EXPECT_EQ(ReadKeyText(1, "Music", "dflt"), "dflt");
    // Selecting an existing group afterwards works again.
    EXPECT_EQ(SelectGroup(1, "other"), 1);
    EXPECT_EQ(ReadKeyNumber(1, "Music", 1), 0);
}

TEST_F(KeyFileRead, FirstGroupAndFirstKeyWin) {
    Open("[A]\nK = first\nk = second\n[B]\nK = b\n[a]\nK = third\nNew = 1\n");
    SelectGroup(1, "a");
    EXPECT_EQ(ReadKeyText(1, "K", ""), "first");
    EXPECT_EQ(ReadKeyText(1, "New", "absent"), "absent");  // only in the second group "a"
    EXPECT_EQ(ListGroups(1), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(ListKeys(1, "A"), std::vector<std::string>{"K"});
    SelectGroup(1, "B");
    EXPECT_EQ(ReadKeyText(1, "K", ""), "b");
}

TEST_F(KeyFileRead, EntriesBeforeTheFirstGroupBelongToNoGroup) {
    Open("Loose = 1\n[G]\nInside = 2\n");
    EXPECT_EQ(ReadKeyNumber(1, "Loose", 0), 1);     // selected until SelectGroup
    EXPECT_EQ(ReadKeyNumber(1, "Inside", 0), 0);
    SelectGroup(1, "G");
    EXPECT_EQ(ReadKeyNumber(1, "Loose", 0), 0);
    EXPECT_EQ(ReadKeyNumber(1, "Inside", 0), 2);
    EXPECT_EQ(SelectGroup(1, ""), 1);
    EXPECT_EQ(ReadKeyNumber(1, "Loose", 0), 1);
    EXPECT_EQ(ListKeys(1, ""), std::vector<std::string>{"Loose"});
    EXPECT_EQ(ListGroups(1), std::vector<std::string>{"G"});
}

TEST_F(KeyFileRead, CommentsGroupLinesAndOtherLines) {
    Open("; A = 1\n  ;B=2\n\t[G] trailing text = 9\nC = 3\n[Open group\nD = 4\nno equals sign\n"
         "  E \t= \t value with trailing blanks  \nF = a = b\n = empty key\n");
    EXPECT_EQ(ListKeys(1, ""), std::vector<std::string>{});  // comments are no entries
    EXPECT_EQ(ListGroups(1), (std::vector<std::string>{"G", "Open group"}));
    SelectGroup(1, "G");
    EXPECT_EQ(ReadKeyNumber(1, "C", 0), 3);
    EXPECT_EQ(ListKeys(1, "G"), std::vector<std::string>{"C"});
    SelectGroup(1, "Open group");
    EXPECT_EQ(ReadKeyNumber(1, "D", 0), 4);
    EXPECT_EQ(ReadKeyText(1, "E", ""), "value with trailing blanks  ");
    EXPECT_EQ(ReadKeyText(1, "F", ""), "a = b");
    EXPECT_EQ(ReadKeyText(1, "", "x"), "empty key");
    EXPECT_EQ(ListKeys(1, "open GROUP"), (std::vector<std::string>{"D", "E", "F", ""}));
}

TEST_F(KeyFileRead, ObjectNumbers) {
    std::string a = "K = a\n";
    std::string b = "K = b\n";
    int any = OpenKeyBytes(PF_ANY, a.data(), a.size());
    ASSERT_NE(any, 0);
    ASSERT_NE(OpenKeyBytes(0, b.data(), b.size()), 0);
    EXPECT_EQ(ReadKeyText(any, "K", ""), "a");
    EXPECT_EQ(ReadKeyText(0, "K", ""), "b");
    // Reopening a number replaces the old file.
    ASSERT_NE(OpenKeyBytes(0, a.data(), a.size()), 0);
    EXPECT_EQ(ReadKeyText(0, "K", ""), "a");
    EXPECT_EQ(CloseKeyFile(any), 1);
    EXPECT_EQ(ReadKeyText(any, "K", "gone"), "gone");
    EXPECT_EQ(OpenKeyBytes(-5, a.data(), a.size()), 0);
    EXPECT_EQ(ReadKeyText(77, "K", "none"), "none");  // never opened
    EXPECT_EQ(SelectGroup(77, "G"), 0);
    EXPECT_EQ(OpenKeyFile(2, "/nonexistent/folder/file.prefs"), 0);
    EXPECT_EQ(OpenKeyFile(2, "/"), 0);  // a folder is not a key file
}

}  // namespace
