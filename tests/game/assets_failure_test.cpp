// assets_failure_test.cpp: a missing or broken pack entry ends the start-up with the right label in the log.
#include <gtest/gtest.h>

#include "assets_test_pack.h"

namespace {

using testpack::CountLine;

// What the fatal message box writes to stderr.
const char* const FatalBox = "Prismoria::";

// Each case runs the loading in a child process, which must end through the
// asset error; the child's log is then read back here.
class AssetFailureTest : public HeadlessDisplayTest {
protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        HeadlessDisplayTest::SetUp();
    }

    void WritePack(const std::set<std::string>& omit, const std::map<std::string, std::vector<uint8_t>>& replace = {}) {
        ASSERT_TRUE(testpack::WriteTestPack(Folder + "Prismoria.data", omit, replace));
    }

    // In the child process the earlier death tests of a case are skipped, so
    // the log read here may be empty there.
    std::vector<std::string> ChildLog() { return testpack::ReadLogLines(LogPath); }
    std::string LastChildLine() { return testpack::LastLine(ChildLog()); }

    // Runs one loading step with a fresh log in a child process, which must end
    // through the asset error.
    void ExpectLoadingFails(void (*load)()) {
        EXPECT_EXIT(
            {
                StartLog();
                load();
            },
            ::testing::ExitedWithCode(1), FatalBox);
    }
};

}  // namespace

TEST_F(AssetFailureTest, NoPackFailsWithFont) {
    ExpectLoadingFails(InstallTypeface);
    std::vector<std::string> lines = ChildLog();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], "Load asset (font):\t\tFAILED");
}

TEST_F(AssetFailureTest, MissingTypefaceFailsWithFont) {
    WritePack({"TimeandSpace-Regular.ttf"});
    ExpectLoadingFails(InstallTypeface);
    EXPECT_EQ(LastChildLine(), "Load asset (font):\t\tFAILED");
}

TEST_F(AssetFailureTest, TypefaceIsInstalledFromMemory) {
    WritePack({});
    StartLog();
    InstallTypeface();
    std::vector<std::string> lines = FinishLog();
    EXPECT_EQ(testpack::LastLine(lines), "Load asset (TimeandSpace-Regular.ttf):\t\tOK");
    // Nothing is written to the shared temporary folder.
    EXPECT_EQ(FileSize(TempFolder() + "TimeandSpace-Regular.ttf"), -1);
}

TEST_F(AssetFailureTest, NoPackForSoundsFailsWithMusicAndSfx) {
    ExpectLoadingFails(LoadSounds);
    EXPECT_EQ(LastChildLine(), "Load asset (music and sfx):\t\tFAILED");
}

TEST_F(AssetFailureTest, MissingSoundFailsWithItsEntryName) {
    // The test pack has no sounds at all: the first one is the one reported.
    WritePack({});
    ExpectLoadingFails(LoadSounds);
    EXPECT_EQ(LastChildLine(), "Load asset (music1.ogg):\t\tFAILED");
}

TEST_F(AssetFailureTest, NoPackForImagesFailsWithAnEmptyLabel) {
    ASSERT_TRUE(OpenSurface(1920, 1080));
    ExpectLoadingFails(LoadImages);
    EXPECT_EQ(LastChildLine(), "Load asset ():\t\tFAILED");
}

TEST_F(AssetFailureTest, MissingSettingsTemplateFailsWithItsName) {
    WritePack({"settings_template.png"});
    ASSERT_TRUE(OpenSurface(1920, 1080));
    ExpectLoadingFails(LoadImages);
    std::vector<std::string> lines = ChildLog();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "Load asset (menu_template.png):\t\tOK");
    EXPECT_EQ(testpack::LastLine(lines), "Load asset (settings_template.png):\t\tFAILED");
}

TEST_F(AssetFailureTest, MissingShapeFailsWithTheSeriesLabel) {
    WritePack({"shape07.png"});
    ASSERT_TRUE(OpenSurface(1920, 1080));
    ExpectLoadingFails(LoadImages);
    std::vector<std::string> lines = ChildLog();
    EXPECT_EQ(testpack::LastLine(lines), "Load asset (temps):\t\tFAILED");
    EXPECT_EQ(CountLine(lines, "Load asset (temps):\t\tOK"), 6);
    EXPECT_EQ(CountLine(lines, "Load asset (shape07.png):\t\tFAILED"), 0);
}

TEST_F(AssetFailureTest, MissingGemAndEffectFailWithTheirSeriesLabels) {
    WritePack({"s00.png"});
    ASSERT_TRUE(OpenSurface(1920, 1080));
    EXPECT_EXIT(LoadImages(), ::testing::ExitedWithCode(1), FatalBox);
    WritePack({"11.png"});
    ExpectLoadingFails(LoadImages);
    EXPECT_EQ(LastChildLine(), "Load asset (gems fx):\t\tFAILED");
}

TEST_F(AssetFailureTest, MissingLogoVariantFailsWithItsEntryName) {
    WritePack({"brk_4x3.png"});
    ASSERT_TRUE(OpenSurface(1600, 1200));
    ExpectLoadingFails(LoadImages);
    std::vector<std::string> lines = ChildLog();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "AspectRatio:  4:3");
    EXPECT_EQ(lines[2], "Load asset (brk_4x3.png):\t\tFAILED");
}

TEST_F(AssetFailureTest, UndecodableLogoFailsWithImageBrk) {
    WritePack({}, {{"brk_16x9.png", std::vector<uint8_t>(1000, 7)}});
    ASSERT_TRUE(OpenSurface(1920, 1080));
    ExpectLoadingFails(LoadImages);
    EXPECT_EQ(LastChildLine(), "Load asset (image - brk):\t\tFAILED");
}

TEST_F(AssetFailureTest, EntriesLargerThanTheirBufferCountAsMissing) {
    // A logo one byte over 4 MiB.
    WritePack({}, {{"brk_16x9.png", std::vector<uint8_t>(4194305, 1)}});
    ASSERT_TRUE(OpenSurface(1920, 1080));
    ExpectLoadingFails(LoadImages);
    EXPECT_EQ(LastChildLine(), "Load asset (brk_16x9.png):\t\tFAILED");

    // A valid image over 200 KiB where only 200 KiB are allowed.
    std::vector<uint8_t> big = testpack::MakePng(300, 300, RGBA(1, 2, 3, 255), 0);
    ASSERT_GT(big.size(), 204800u);
    WritePack({}, {{"pointer.png", big}});
    DeleteFile(LogPath);
    ExpectLoadingFails(LoadImages);
    EXPECT_EQ(LastChildLine(), "Load asset (pointer.png):\t\tFAILED");
}

// A damaged image is not reported as loaded: the start-up stops on it.
TEST_F(AssetFailureTest, UndecodableImageFailsInsteadOfLoggingOk) {
    WritePack({}, {{"quit.png", std::vector<uint8_t>(500, 0x42)}});
    ASSERT_TRUE(OpenSurface(1920, 1080));
    ExpectLoadingFails(LoadImages);
    std::vector<std::string> lines = ChildLog();
    EXPECT_EQ(testpack::LastLine(lines), "Load asset (quit.png):\t\tFAILED");
    EXPECT_EQ(CountLine(lines, "Load asset (quit.png):\t\tOK"), 0);

    WritePack({}, {{"gui_shape 03.png", std::vector<uint8_t>(500, 0x42)}});
    DeleteFile(LogPath);
    ExpectLoadingFails(LoadImages);
    EXPECT_EQ(LastChildLine(), "Load asset (temps):\t\tFAILED");
}
