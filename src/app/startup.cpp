// startup.cpp: bringing the game up in its fixed order, its folders, the fatal exit and the orderly end.
#include <climits>
#include <cstdlib>
#include <string>

#include "core/state.h"
#include "core/log.h"
#include "play/play.h"
#include "app/spine.h"
#include "audio/audio.h"
#include "board.h"
#include "data/best_scores.h"
#include "data/preferences.h"
#include "data/text.h"
#include "display/assets.h"
#include "display/display.h"
#include "menus/menus.h"
#include "platform.h"

StartOptions Start;

namespace {

std::string WithSeparator(const std::string& folder) {
    if (folder.empty() || folder.back() == '/') {
        return folder;
    }
    return folder + "/";
}

}  // namespace

std::string UserFolderBelow(const std::string& dataFolder) {
    return WithSeparator(dataFolder) + "dawnwhistle game studio/Prismoria/";
}

namespace {

// `folder` followed by `relative`, each leading "../" taking one folder off the
// end: "/usr/bin/" and "../share/prismoria/" give "/usr/share/prismoria/".
std::string JoinFolders(std::string folder, std::string relative) {
    while (relative.rfind("../", 0) == 0 && folder.size() > 1) {
        folder.pop_back();
        folder.erase(folder.find_last_of('/') + 1);
        relative.erase(0, 3);
    }
    return folder + relative;
}

// The game's files lie beside the program in a build or a portable copy, and in
// the share folder of the prefix it was installed to otherwise.
std::string DataFolderFor(const std::string& programDir) {
    if (FileSize(programDir + "Prismoria.data") >= 0) return programDir;
    const std::string installed = JoinFolders(programDir, WithSeparator(PRISMORIA_DATA_FROM_PROGRAM));
    return FileSize(installed + "Prismoria.data") >= 0 ? installed : programDir;
}

}  // namespace

void FindFolders() {
    App.ProgramDir = WithSeparator(Start.GameDir.empty() ? ProgramFolder() : Start.GameDir);
    App.GameDir = DataFolderFor(App.ProgramDir);
    std::string dataFolder = UserDataFolder();
    if (dataFolder.empty()) {
        dataFolder = HomeFolder();  // the home folder stands in for an unnamed data folder
    }
    // With neither, UserDir stays empty and its files land in the current folder.
    App.UserDir = dataFolder.empty() ? std::string() : UserFolderBelow(dataFolder);
    App.SaveTo = App.ProgramDir;
}

void ReadStartupPreferences() {
    App.SaveTo = App.ProgramDir;
    if (ReadPreferences(App.ProgramDir)) {
        return;  // portable use: everything stays beside the program
    }
    if (!App.UserDir.empty() && FileSize(App.UserDir) != -2) {
        CreateFolderPath(App.UserDir);
    }
    ReadPreferences(App.UserDir);
    App.SaveTo = App.UserDir;
}

void RemoveUnfinishedSaves() {
    // Only in the folder this run saves to: another folder's files are not ours.
    RemoveUnfinishedPreferences(App.SaveTo);
    RemoveUnfinishedScores(App.SaveTo);
}

LoopState Loop;

namespace {

bool FirstParameterIsLog() {
    // Only the exact switch as the first parameter turns the log on.
    return CountParameters() >= 1 && Parameter(0) == "/LOG";
}

void InitSubsystem(int (*init)(), const char* label, const char* suffix) {
    int ok = init();
    LogValue(label, ok ? "OK" : "FAILED");
    if (!ok) {
        FatalError("tErrorSUBSYSTEM", suffix);
    }
}

void ResetGlobals() {
    App = AppState{};
    App.Pending = App.Settings;
    Display = DisplayState{};
    Loop = LoopState{};
    Play = PlayState{};
    Pointer = PointerWatch{};
    ResetMenuState();
    BoardResetAll();  // no game running, the piece catalogue built
    ClearBoardEvents();
}

// `fromSystem`: the code came from the system's locale, not from the
// preferences; a player whose locale names a region the pack does not ship
// (de_AT, pt_PT) still gets the language itself rather than English.
void ChooseLanguage(bool fromSystem) {
    const std::string packPath = App.GameDir + LanguagePackName;
    ScanLanguages(packPath);
    LogAvailableLanguages();
    if (fromSystem && !ClosestLanguage(App.Settings.Language).empty()) {
        App.Settings.Language = ClosestLanguage(App.Settings.Language);
    }
    if (!LanguageAvailable(App.Settings.Language)) {
        App.Settings.Language = DefaultLanguage;
    }
    int ok = LoadLanguage(packPath, App.Settings.Language);
    LogValue("Load language (" + App.Settings.Language + "):", ok ? "OK" : "FAILED");
    FindLanguage(App.Settings.Language);  // the settings screen starts from here
}

}  // namespace

void StartUp() {
    // 1. The containers start empty (the platform layer itself needs no call).
    ResetTextTable();
    ResetLanguages();
    // 2. Every global to its default.
    ResetGlobals();
    // 3. The piece catalogue and the resolution list; the board's random source
    //    drawn from the platform's, so games differ from run to run.
    BuildShapeCatalogue();
    BuildResolutionList();
    BoardSeedRandom((uint64_t(uint32_t(RandomInt(INT_MAX, 0))) << 32) | uint32_t(RandomInt(INT_MAX, 0)));
    // 4, 5. Folders and preferences.
    FindFolders();
    ReadStartupPreferences();
    RemoveUnfinishedSaves();
    App.Pending = App.Settings;
    // 6. The user's language when the preferences named none.
    const bool languageFromSystem = App.Settings.Language.empty();
    if (languageFromSystem) {
        App.Settings.Language = DetectUserLanguage(0);
    }
    if (App.Settings.Language.empty()) {
        App.Settings.Language = DefaultLanguage;
    }
    // 7. The log, only with the exact switch.
    if (FirstParameterIsLog()) {
        StartLogReport(ReadSystemFacts(), CurrentTime());
    }
    // 8, 9. Languages.
    ChooseLanguage(languageFromSystem);
    App.Pending.Language = App.Settings.Language;
    // 10. Platform subsystems; the first failure ends the game.
    InitSubsystem(InitSprite, "InitSprite:", "  : Sprite");
    InitSubsystem(InitKeyboard, "InitKeyboard:", "  : Keyboard");
    InitSubsystem(InitMouse, "InitMouse:", "  : Mouse");
    InitSubsystem(InitSound, "InitSound:", "  : Sound");
    // 11-13. Screen size, typeface and sounds, then the screen itself.
    ChooseScreenSize(true);
    InstallTypeface();
    LoadSounds();
    if (!OpenGameSurface()) {
        FatalError("tErrorSCREEN");
    }
    // 14. Aspect class and layout.
    ClassifyAspect(Display.ScreenWidth, Display.ScreenHeight);
    ComputeLayout();
    // 15. Best scores from the save folder; without a readable file they stay 0.
    LoadBestScores(App.SaveTo);
    // 16-22. Images, the logo's place, fonts, panels, the gem wall, the tile size
    // line, the frame rate and smooth filtering: the same as after a display rebuild.
    LoadStudioLogoImage();
    // The studio logo is up as soon as it is loaded: the player sees the game at
    // once while the other images, the fonts and every panel are prepared. It is
    // resized smoothly on its way to the screen; the gem wall's tiles are still
    // composed from the gems scaled unfiltered, as they always were, before
    // filtering is on for good.
    SetSpriteQuality(1);
    DrawSpriteOpaque(ImgStudioLogo, 0, 0);
    FlipFrame();
    SetSpriteQuality(0);
    LoadImagesAfterLogo();
    PrepareSurfaceContents();
    BuildScreenPanels();
    FinishSurfaceContents();
    // 23. Windowed and borderless: show and activate the window with its cursor.
    ShowGameWindow();
    // The first pass of the loop presents the logo again, not an empty frame.
    DrawScreenState();
    // 24.
    StartMenuMusic();
}

void BuildScreenPanels() {
    BuildAllPanels();
    Menus.GemWallColumns = BuildGemWall(Display.ScreenWidth, Display.ScreenHeight, Display.TileSize);
}

void RebuildDisplay() {
    ReopenDisplay();
    BuildScreenPanels();
    ShowReopenedDisplay();
    // The title intro plays again and leads to the main menu.
    App.SplashCounter = 0;
    App.ScreenState = StateTitle;
}

void RunMainLoop() {
    do {
        RunOneFrame();
        TakeQuitSignal();
    } while (!App.QuitRequested);
}

void ShutDown() {
    // Preferences first, then the scores; either failing (an unwritable folder)
    // is silent and leaves the file there as it was.
    WritePreferences(App.SaveTo);
    SaveBestScores(App.SaveTo);
    PfShutdown();
}
