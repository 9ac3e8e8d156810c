// settings_test.cpp: the settings screen's rows, OK in its steps, and a pack without any language.
#include <gtest/gtest.h>

#include <string>

#include "app/spine.h"
#include "audio/audio.h"
#include "data/text.h"
#include "display/display.h"
#include "harness.h"
#include "menus/menus.h"
#include "platform.h"

namespace {

using Settings = HarnessTest;

// Two languages: the shipped British English and a small test language.
HarnessOptions TwoLanguages() {
    HarnessOptions options;
    const std::string shipped = std::string(PRISMORIA_SOURCE_DIR) + "/assets/languages/en_GB.language";
    options.languages = {{"en_GB", ReadTextFile(shipped)},
                         {"xx_XX", "\xEF\xBB\xBF[LANGUAGE FILE]\r\ntLangFileNAME = Testish\r\n[MENU]\r\n"
                                   "tMenuSTART = GO\r\n"}};
    return options;
}

std::string LogText() {
    for (const std::string& name : FilesIn(Folders.userDir)) {
        if (name.rfind("Log ", 0) == 0) return ReadTextFile(Folders.userDir + name);
    }
    return "";
}

TEST_F(Settings, ScreenModeRowCyclesBackAndOkWithNothingChangedOnlyLogsSounds) {
    HarnessOptions options;
    options.arguments = {"/LOG"};
    StartAtMainMenu(options);  // borderless
    ClickButton(StateMainMenu, 3);
    const int modes[] = {ScreenFullscreen, ScreenWindowed, ScreenBorderless};
    for (int mode : modes) {
        ClickButton(StateSettings, 4);
        EXPECT_EQ(App.Pending.GameScreen, mode);
    }
    // The row shows the pending mode; the resolution greys out outside Windowed.
    EXPECT_EQ(Menus.Settings[5].image, Menus.ResolutionImages[size_t(3 * App.Pending.Resolution + 2)]);
    const size_t logBefore = LogText().size();
    ClickButton(StateSettings, 6);  // OK
    EXPECT_EQ(App.ReopenPending, 0);
    EXPECT_EQ(App.ScreenState, StateMainMenu);
    const std::string added = LogText().substr(logBefore);
    EXPECT_EQ(added, "Sounds:\t\tON\r\n");
}

// Which image pair each row shows for every pending value: music ON 57/58, OFF
// 59/60; sounds ON 61/62, OFF 63/64; Fullscreen 67/68, Windowed 65/66, Borderless
// 69/70; OK 71/72; CANCEL 73/74. The resolution row shows entry r's images 3r and
// 3r + 1 of the resolution list in Windowed, its inactive image 3r + 2 otherwise.
TEST_F(Settings, EveryRowShowsTheImagePairOfItsPendingValue) {
    StartAtMainMenu();
    OpenSettings();
    struct Row {
        int row, music, sounds, screen, resolution;
        int normal, hover;  // image numbers; for row 5, places in the resolution list
    };
    const Row rows[] = {
        {2, 1, 1, ScreenWindowed, 0, 57, 58},   {2, 0, 1, ScreenWindowed, 0, 59, 60},
        {3, 1, 1, ScreenWindowed, 0, 61, 62},   {3, 1, 0, ScreenWindowed, 0, 63, 64},
        {4, 1, 1, ScreenFullscreen, 0, 67, 68}, {4, 1, 1, ScreenWindowed, 0, 65, 66},
        {4, 1, 1, ScreenBorderless, 0, 69, 70}, {6, 0, 0, ScreenWindowed, 0, 71, 72},
        {7, 0, 0, ScreenWindowed, 0, 73, 74},   {5, 1, 1, ScreenWindowed, 0, 0, 1},
        {5, 1, 1, ScreenWindowed, 8, 24, 25},   {5, 1, 1, ScreenFullscreen, 3, 11, 11},
        {5, 1, 1, ScreenBorderless, 8, 26, 26},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE("row " + std::to_string(r.row) + " music " + std::to_string(r.music) + " sounds " +
                     std::to_string(r.sounds) + " screen " + std::to_string(r.screen));
        App.Pending.Music = r.music;
        App.Pending.Sounds = r.sounds;
        App.Pending.GameScreen = r.screen;
        App.Pending.Resolution = r.resolution;
        const bool listed = r.row == 5;
        ResetSettingsRows(0);
        EXPECT_EQ(Menus.Settings[r.row].image, listed ? Menus.ResolutionImages[size_t(r.normal)] : r.normal);
        ResetSettingsRows(r.row);
        EXPECT_EQ(Menus.Settings[r.row].image, listed ? Menus.ResolutionImages[size_t(r.hover)] : r.hover);
    }
    // The resolution steps through the nine entries and wraps from 8 to 0, in every mode.
    const int steps[][2] = {{0, 1}, {7, 8}, {8, 0}};
    for (const auto& step : steps) {
        App.Pending.Resolution = step[0];
        StepSettingsRow(5);
        EXPECT_EQ(App.Pending.Resolution, step[1]) << "from " << step[0];
    }
}

// OK with the music turned off stops the track that plays, not only the flag.
TEST_F(Settings, OkWithMusicTurnedOffStopsTheTrack) {
    StartAtMainMenu();
    ASSERT_EQ(SoundStatus(SndMenuTrack, -1), SOUND_PLAYING);
    ClickButton(StateMainMenu, 3);
    ClickButton(StateSettings, 2);
    ClickButton(StateSettings, 6);
    EXPECT_EQ(App.Settings.Music, 0);
    EXPECT_EQ(SoundStatus(SndMenuTrack, -1), SOUND_STOPPED);
    EXPECT_EQ(SoundStatus(SndGameTrack, -1), SOUND_STOPPED);
}

TEST_F(Settings, LanguageAndScreenModeTogetherRenderThePanelsOnce) {
    StartAtMainMenu(TwoLanguages());
    ASSERT_EQ(Languages.List.size(), 2u);
    ClickButton(StateMainMenu, 3);
    ClickButton(StateSettings, 1);  // the other language
    ASSERT_EQ(App.Pending.Language, "xx_XX");
    ClickButton(StateSettings, 4);  // and another screen mode
    const int renders = Menus.PanelRenders;
    ClickButton(StateSettings, 6);
    EXPECT_EQ(Menus.PanelRenders, renders + 1);
    EXPECT_EQ(App.Settings.Language, "xx_XX");
    EXPECT_EQ(Text("tMenuSTART"), "GO");
    EXPECT_EQ(App.ScreenState, StateTitle);

    // The language alone rebuilds the panels without reopening the screen.
    ASSERT_TRUE(RunUntilState(StateMainMenu));
    ClickButton(StateMainMenu, 3);
    ClickButton(StateSettings, 1);
    ASSERT_EQ(App.Pending.Language, "en_GB");
    const int before = Menus.PanelRenders;
    ClickButton(StateSettings, 6);
    EXPECT_EQ(Menus.PanelRenders, before + 1);
    EXPECT_EQ(App.ScreenState, StateMainMenu);
    EXPECT_EQ(Text("tMenuSTART"), "START");
}

TEST_F(Settings, WithoutAnyLanguageTheLanguageRowShowsNoValueAndDoesNothing) {
    HarnessOptions options;
    options.noLanguages = true;
    StartAtMainMenu(options);
    ASSERT_TRUE(Languages.List.empty());
    OpenSettings();
    ASSERT_NE(Menus.Settings[1].image, 0) << "the row keeps its label";
    ClickButton(StateSettings, 1);
    EXPECT_EQ(App.Pending.Language, App.Settings.Language);
    EXPECT_EQ(App.ScreenState, StateSettings);
}

}  // namespace
