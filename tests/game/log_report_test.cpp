// log_report_test.cpp: the log's exact bytes for fixed facts, its file name, and when no log is written.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "core/log.h"
#include "app/spine.h"
#include "data/text.h"
#include "harness.h"
#include "platform.h"

namespace {

std::vector<std::string> LogFiles(const std::string& folder) {
    std::vector<std::string> logs;
    for (const std::string& f : FilesIn(folder)) {
        if (f.rfind("Log ", 0) == 0) logs.push_back(f);
    }
    return logs;
}

}  // namespace

class LogReport : public testing::Test {
protected:
    void TearDown() override {
        CloseLog();
        StopHarness();
        ResetLanguages();
    }
};

TEST_F(LogReport, ExactBytesForFixedFacts) {
    setenv("TZ", "UTC", 1);
    tzset();
    PrepareFolders();
    App = AppState{};
    App.GameDir = "/opt/prismoria/";
    App.UserDir = "/home/ann/.local/share/dawnwhistle game studio/Prismoria/";
    App.SaveTo = Folders.root;
    App.Settings.Language = "en_GB";
    App.Settings.GameScreen = ScreenWindowed;
    App.Settings.Music = 0;
    App.Settings.Resolution = 3;
    ResetLanguages();
    Languages.List = {{"en_GB", "English"}, {"de_DE", "Deutsch"}};

    SystemFacts facts;
    facts.CpuName = " \t Example CPU @ 3.00GHz";
    facts.TotalCores = 8;
    facts.AvailableCores = 4;
    facts.TotalMemory = 17179869184;
    facts.FreeMemory = 8589934592;
    facts.Desktops = 2;
    facts.OsVersion = 610;
    ASSERT_TRUE(StartLogReport(facts, 1690967107));
    LogAvailableLanguages();
    LogValue("TileSize: ", "96");
    CloseLog();

    const std::string expected =
        "Prismoria\r\n"
        "2023-08-02--09-05-07\r\n"
        "\r\n"
        "[SYSTEM DETAILS]\r\n"
        "CPU Name:\t\tExample CPU @ 3.00GHz\r\n"
        "Total CPU cores:\t\t8\r\n"
        "Available CPU cores:\t\t4\r\n"
        "Total physical memory:\t\t17179869184\r\n"
        "Free physical memory:\t\t8589934592\r\n"
        "Number of desktops:\t\t2\r\n"
        "Operating system:\t\t610\r\n"
        "\r\n"
        "[GAME DETAILS]\r\n"
        "Title:\t\tPrismoria\r\n"
        "Family:\t\tKX Games\r\n"
        "Version:\t\t1.0.0.0\r\n"
        "Directory:\t\tdawnwhistle game studio\\Prismoria\r\n"
        "Bit:\t\t(x86)\r\n"
        "\r\n"
        "[CODE SUBSYSTEMS]\r\n"
        "Language:\t\t2.0\r\n"
        "Log:\t\t1.2\r\n"
        "\r\n"
        "[PATHS]\r\n"
        "GameDir:\t\t/opt/prismoria/\r\n"
        "UserDir:\t\t/home/ann/.local/share/dawnwhistle game studio/Prismoria/\r\n"
        "SaveTo:\t\t" + Folders.root + "\r\n"
        "\r\n"
        "[INITIAL SETTINGS]\r\n"
        "Language:\t\ten_GB\r\n"
        "GameScreen:\t\tWindowed\r\n"
        "Music:\t\tOff\r\n"
        "ScreenMode:\t\t3\r\n"
        "\r\n"
        "[AVAILABLE LANGUAGES]\r\n"
        "Language:\t\tEnglish\r\n"
        "Language:\t\tDeutsch\r\n"
        "\r\n"
        "[STARTING GAME]\r\n"
        "TileSize: \t\t96\r\n";
    EXPECT_EQ(ReadTextFile(Folders.root + "Log 2023-08-02--09-05-07.log"), expected);
}

TEST_F(LogReport, LogFileNameHasYearFirstAndTwoDashes) {
    setenv("TZ", "UTC", 1);
    tzset();
    EXPECT_EQ(LogFileName(1690967107), "Log 2023-08-02--09-05-07.log");
}

TEST_F(LogReport, SecondStartInTheSameSecondReplacesTheFile) {
    PrepareFolders();
    App.SaveTo = Folders.root;
    ASSERT_TRUE(StartLogReport(SystemFacts{}, 1690967107));
    for (int i = 0; i < 50; ++i) WriteLogLine("a line of the first run");
    CloseLog();
    ASSERT_TRUE(StartLogReport(SystemFacts{}, 1690967107));
    CloseLog();
    std::string text = ReadTextFile(Folders.root + LogFileName(1690967107));
    EXPECT_EQ(text.find("first run"), std::string::npos);
    EXPECT_EQ(text.rfind("Prismoria\r\n", 0), 0u);
}

TEST_F(LogReport, NothingIsWrittenWhileTheLogIsOff) {
    PrepareFolders();
    WriteLogLine("nobody reads this");
    LogValue("Label:", "value");
    EXPECT_FALSE(LogEnabled());
    EXPECT_TRUE(LogFiles(Folders.root).empty());
}

TEST_F(LogReport, LogIntoAMissingFolderStaysOff) {
    PrepareFolders();
    App.SaveTo = Folders.root + "missing/";
    EXPECT_FALSE(StartLogReport(SystemFacts{}, 1690967107));
    EXPECT_FALSE(LogEnabled());
}

using LogSwitch = HarnessTest;

TEST_F(LogSwitch, OnlyTheExactFirstParameterWritesALog) {
    HarnessOptions options;
    options.arguments = {"/log"};
    StartHarness(options);
    EXPECT_TRUE(LogFiles(Folders.userDir).empty());
    EXPECT_FALSE(LogEnabled());

    options.arguments = {"-x", "/LOG"};
    StartHarness(options);
    EXPECT_TRUE(LogFiles(Folders.userDir).empty());
    EXPECT_FALSE(LogEnabled());
}

TEST_F(LogSwitch, StartUpLogsEveryStepInOrder) {
    HarnessOptions options;
    options.arguments = {"/LOG"};
    options.desktopWidth = 1920;
    options.desktopHeight = 1080;
    StartHarness(options);
    std::vector<std::string> logs = LogFiles(Folders.userDir);
    ASSERT_EQ(logs.size(), 1u);
    CloseLog();
    const std::string text = ReadTextFile(Folders.userDir + logs[0]);
    EXPECT_EQ(text.substr(0, 3), "Pri") << "no byte-order mark";
    const char* inOrder[] = {"[AVAILABLE LANGUAGES]\r\nLanguage:\t\t",
                             "Language:\t\tEnglish (UK)\r\n",
                             "[STARTING GAME]\r\n",
                             "Load language (en_GB):\t\tOK\r\n",
                             "InitSprite:\t\tOK\r\n",
                             "InitKeyboard:\t\tOK\r\n",
                             "InitMouse:\t\tOK\r\n",
                             "InitSound:\t\tOK\r\n",
                             "ScreenWidth:\t\t1920\r\n",
                             "ScreenHeight:\t\t1080\r\n",
                             "Opening screen (Borderless):\t\tOK\r\n",
                             "TileSize: \t\t96\r\n"};
    size_t at = 0;
    for (const char* line : inOrder) {
        size_t found = text.find(line, at);
        EXPECT_NE(found, std::string::npos) << "missing or out of order: " << line;
        if (found != std::string::npos) at = found;
    }
    EXPECT_NE(text.find("GameScreen:\t\tBorderless\r\nMusic:\t\tOn\r\nScreenMode:\t\t1\r\n"), std::string::npos);
}
