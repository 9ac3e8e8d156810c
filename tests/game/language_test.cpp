// language_test.cpp: scanning the language pack, loading languages into the text table, the start-up choice.
#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/spine.h"
#include "data/text.h"
#include "harness.h"
#include "platform.h"

namespace {

void WriteLanguage(const std::string& folder, const std::string& code, const std::string& name,
                   const std::string& body) {
    std::ofstream out(folder + code + ".language", std::ios::binary);
    out << "\xEF\xBB\xBF\r\n[LANGUAGE FILE]\r\ntLangFileNAME = " << name << "\r\ntLangFileVERSION = 1.0\r\n"
        << "tLangFileAUTHOR = someone\r\n" << body;
}

// A ZIP language pack with the given entries (name, bytes).
void WriteZip(const std::string& path, const std::vector<std::pair<std::string, std::string>>& items) {
    archive* a = archive_write_new();
    archive_write_set_format_zip(a);
    ASSERT_EQ(archive_write_open_filename(a, path.c_str()), ARCHIVE_OK);
    for (const auto& [name, bytes] : items) {
        archive_entry* e = archive_entry_new();
        archive_entry_set_pathname(e, name.c_str());
        archive_entry_set_filetype(e, AE_IFREG);
        archive_entry_set_perm(e, 0644);
        archive_entry_set_size(e, la_int64_t(bytes.size()));
        archive_write_header(a, e);
        archive_write_data(a, bytes.data(), bytes.size());
        archive_entry_free(e);
    }
    archive_write_close(a);
    archive_write_free(a);
}

std::string LanguageBytes(const std::string& name, const std::string& body) {
    return "\xEF\xBB\xBF[LANGUAGE FILE]\r\ntLangFileNAME = " + name + "\r\n" + body;
}

class LanguagePack : public testing::Test {
protected:
    std::string pack;
    void SetUp() override {
        PfShutdown();
        PrepareFolders();
        ResetTextTable();
        ResetLanguages();
        pack = Folders.root + "Prismoria.languages";
        std::filesystem::create_directories(pack);
    }
    void TearDown() override {
        ResetTextTable();
        ResetLanguages();
        PfShutdown();
    }
};

}  // namespace

TEST_F(LanguagePack, ScanListsEachDisplayNameOnce) {
    WriteLanguage(pack + "/", "en_GB", "English", "");
    WriteLanguage(pack + "/", "en_US", "English", "");
    WriteLanguage(pack + "/", "de_DE", "Deutsch", "");
    std::ofstream(pack + "/notes.txt") << "not a language";
    ASSERT_EQ(ScanLanguages(pack), 1);
    ASSERT_EQ(Languages.List.size(), 2u);
    int english = 0;
    for (const LanguageListEntry& e : Languages.List) english += e.name == "English";
    EXPECT_EQ(english, 1);
    EXPECT_EQ(Languages.Info["English"].author, "someone");
    EXPECT_EQ(Languages.Info["Deutsch"].code, "de_DE");
}

TEST_F(LanguagePack, MissingPackGivesAnEmptyList) {
    EXPECT_EQ(ScanLanguages(Folders.root + "nothing here"), 0);
    EXPECT_TRUE(Languages.List.empty());
    EXPECT_EQ(LoadLanguage(Folders.root + "nothing here", "en_GB"), 0);
}

// Every key of every group goes into the table and a repeated key keeps its later
// value: in another group, in the same group, and in a second group of the same
// name (a file merged by hand).
TEST_F(LanguagePack, LoadMergesEveryGroupAndLaterKeysWin) {
    struct Case {
        const char* what;
        const char* groups;
        const char* start;  // what tMenuSTART reads afterwards
    };
    const Case cases[] = {
        {"another group", "[MENU]\r\ntMenuSTART = GO\r\ntMenuQUIT = LEAVE\r\n[OTHER]\r\ntMenuSTART = BEGIN\r\n",
         "BEGIN"},
        {"the same group", "[MENU]\r\ntMenuSTART = GO\r\ntMenuQUIT = LEAVE\r\ntMenuSTART = BEGIN\r\n", "BEGIN"},
        {"a group of the same name",
         "[MENU]\r\ntMenuSTART = GO\r\n[OTHER]\r\ntMenuQUIT = LEAVE\r\n[menu]\r\ntMenuSTART = BEGIN\r\n", "BEGIN"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ResetTextTable();
        WriteLanguage(pack + "/", "xx_XX", "Test", c.groups);
        ASSERT_EQ(LoadLanguage(pack, "xx_XX"), 1);
        EXPECT_EQ(Text("tMenuSTART"), c.start);
        EXPECT_EQ(Text("tMenuQUIT"), "LEAVE");
        EXPECT_EQ(Text("tLangFileNAME"), "Test") << "the header's keys go into the table too";
        EXPECT_EQ(Text("tNoSuchKey"), "");
    }
}

TEST_F(LanguagePack, KeysMissingFromTheNewLanguageKeepTheOldText) {
    WriteLanguage(pack + "/", "aa_AA", "A", "[HELP]\r\ntHelpTEXT = long help\r\ntHelpBACK = BACK\r\n");
    WriteLanguage(pack + "/", "bb_BB", "B", "[HELP]\r\ntHelpBACK = ZURUECK\r\n");
    ASSERT_EQ(LoadLanguage(pack, "aa_AA"), 1);
    ASSERT_EQ(LoadLanguage(pack, "bb_BB"), 1);
    EXPECT_EQ(Text("tHelpTEXT"), "long help");
    EXPECT_EQ(Text("tHelpBACK"), "ZURUECK");
    EXPECT_EQ(LoadLanguage(pack, "cc_CC"), 0);
}

TEST_F(LanguagePack, FindLanguageMovesTheCurrentPosition) {
    WriteLanguage(pack + "/", "aa_AA", "A", "");
    WriteLanguage(pack + "/", "bb_BB", "B", "");
    ASSERT_EQ(ScanLanguages(pack), 1);
    int b = FindLanguage("bb_BB");
    EXPECT_EQ(Languages.List[size_t(b)].code, "bb_BB");
    EXPECT_EQ(Languages.Current, b);
    EXPECT_EQ(FindLanguage("zz_ZZ"), 0);
    EXPECT_EQ(Languages.Current, 1) << "an absent code leaves the position on the last entry";
}

TEST_F(LanguagePack, ZipPackIsScannedAndLoaded) {
    const std::string zip = Folders.root + "Prismoria.languages.zip";
    WriteZip(zip, {{"fr_FR.language", LanguageBytes("Francais", "[MENU]\r\ntMenuSTART = JOUER\r\n")},
                   {"en_GB.language", LanguageBytes("English", "[MENU]\r\ntMenuSTART = START\r\n")},
                   {"readme.txt", "not a language"}});
    ASSERT_EQ(ScanLanguages(zip), 1);
    ASSERT_EQ(Languages.List.size(), 2u);
    EXPECT_TRUE(LanguageAvailable("fr_FR"));
    EXPECT_TRUE(LanguageAvailable("en_GB"));
    ASSERT_EQ(LoadLanguage(zip, "fr_FR"), 1);
    EXPECT_EQ(Text("tMenuSTART"), "JOUER");
    EXPECT_EQ(LoadLanguage(zip, "de_DE"), 0);
    // The extracted copies are removed again.
    EXPECT_TRUE(FilesIn(Folders.root + "tmp").empty());
}

TEST_F(LanguagePack, ZipEntriesWithPathsAndDamagedArchivesAreRefused) {
    const std::string zip = Folders.root + "Prismoria.languages.zip";
    WriteZip(zip, {{"../evil.language", LanguageBytes("Evil", "")},
                   {"sub/de_DE.language", LanguageBytes("Deutsch", "")},
                   {"..language", LanguageBytes("Dots", "")},
                   {"it_IT.language", LanguageBytes("Italiano", "[MENU]\r\ntMenuSTART = GIOCA\r\n")}});
    ASSERT_EQ(ScanLanguages(zip), 1);
    ASSERT_EQ(Languages.List.size(), 1u);
    EXPECT_EQ(Languages.List[0].code, "it_IT");
    EXPECT_EQ(LoadLanguage(zip, "../evil"), 0);
    ASSERT_EQ(LoadLanguage(zip, "it_IT"), 1);
    EXPECT_EQ(Text("tMenuSTART"), "GIOCA");
    // Read from memory: nothing is written anywhere, not even for a moment.
    EXPECT_TRUE(FilesIn(Folders.root + "tmp").empty());
    EXPECT_FALSE(FileExists(Folders.root + "evil.language"));

    // A damaged archive lists nothing and loads nothing, without a crash.
    std::string bytes = ReadTextFile(zip);
    for (size_t i = 4; i < bytes.size(); ++i) bytes[i] = char((i * 131) & 0xFF);
    ResetLanguages();
    ASSERT_EQ(WriteWholeFile(zip, bytes.data(), bytes.size()), 1);
    ScanLanguages(zip);
    EXPECT_TRUE(Languages.List.empty());
    EXPECT_EQ(LoadLanguage(zip, "it_IT"), 0);
}

TEST_F(LanguagePack, SystemLocaleMapsToTheClosestShippedLanguage) {
    WriteLanguage(pack + "/", "de_DE", "Deutsch", "");
    WriteLanguage(pack + "/", "pt_BR", "Portugues", "");
    WriteLanguage(pack + "/", "en_GB", "English", "");
    ASSERT_EQ(ScanLanguages(pack), 1);
    const std::pair<const char*, const char*> cases[] = {
        {"de_DE", "de_DE"}, {"de_AT", "de_DE"}, {"pt_PT", "pt_BR"}, {"fi_FI", ""}, {"", ""}, {"en", "en_GB"}};
    for (const auto& [code, expected] : cases) EXPECT_EQ(ClosestLanguage(code), expected) << code;
}

TEST(UserLanguage, LocaleGivesCodeLanguageAndRegion) {
    // The locale variables are put back afterwards for the other tests of this process.
    struct SavedVariable {
        const char* name;
        std::string value;
        bool present;
    };
    std::vector<SavedVariable> saved;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* v = std::getenv(name);
        saved.push_back({name, v ? v : "", v != nullptr});
    }
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");
    setenv("LANG", "de_AT.UTF-8", 1);
    EXPECT_EQ(DetectUserLanguage(0), "de_AT");
    EXPECT_EQ(DetectUserLanguage(1), "de");
    EXPECT_EQ(DetectUserLanguage(2), "AT");
    EXPECT_EQ(DetectUserLanguage(3), "");
    // No locale at all: British English.
    for (const char* lang : {"C", "POSIX", ""}) {
        if (*lang) {
            setenv("LANG", lang, 1);
        } else {
            unsetenv("LANG");
        }
        EXPECT_EQ(DetectUserLanguage(0), "en_GB") << lang;
        EXPECT_EQ(DetectUserLanguage(1), "en") << lang;
        EXPECT_EQ(DetectUserLanguage(2), "GB") << lang;
    }
    for (const SavedVariable& v : saved) {
        if (v.present) {
            setenv(v.name, v.value.c_str(), 1);
        } else {
            unsetenv(v.name);
        }
    }
}

TEST(BuiltInErrors, EveryErrorKeyHasAnEnglishFallback) {
    for (const char* key : {"tErrorERROR", "tErrorSUBSYSTEM", "tErrorASSET", "tErrorSCREEN"}) {
        EXPECT_FALSE(BuiltInErrorText(key).empty()) << key;
    }
}

using LanguageStartUp = HarnessTest;

TEST_F(LanguageStartUp, UnknownPreferredLanguageFallsBackToBritishEnglish) {
    PfShutdown();
    PrepareFolders();
    std::filesystem::create_directories(Folders.userDir);
    std::ofstream(Folders.userDir + "Prismoria.prefs", std::ios::binary)
        << "[Settings]\r\nLanguage = xx_XX\r\nGameScreen = 2\r\n";
    PfSelectBackend(PF_BACKEND_HEADLESS);
    PfSetHeadlessDesktopSize(1024, 576);
    char program[] = "prismoria";
    char* argv[] = {program};
    SetCommandLine(1, argv);
    Start.GameDir = Folders.gameDir;
    StartUp();
    EXPECT_EQ(App.Settings.Language, "en_GB");
    EXPECT_EQ(Text("tMenuSTART"), "START");
}
