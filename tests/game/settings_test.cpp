// settings_test.cpp: the settings screen's rows, OK in its steps, and a pack without any language.
#include <gtest/gtest.h>

#include "app/spine.h"
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
