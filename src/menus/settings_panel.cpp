// settings_panel.cpp: the settings screen: rows that step pending values, OK that applies them, CANCEL.
#include <string>

#include "app/app.h"
#include "app/log.h"
#include "audio/audio.h"
#include "data/text.h"
#include "display/assets.h"
#include "display/display.h"
#include "menus/menus.h"
#include "platform.h"

namespace {

constexpr uint32_t DisabledTextColour = uint32_t(95) | (uint32_t(95) << 8) | (uint32_t(95) << 16) |
                                        (uint32_t(95) << 24);

// Fixed row images: music ON 57/58, OFF 59/60; sounds ON 61/62, OFF 63/64;
// screen mode WINDOWED 65/66, FULLSCREEN 67/68, BORDERLESS 69/70; OK 71/72; CANCEL 73/74.
int ScreenModeImage(int mode) {
    switch (mode) {
        case ScreenFullscreen: return 67;
        case ScreenWindowed: return 65;
        default: return 69;
    }
}

void FreeImages(std::vector<int>& images) {
    for (int image : images) {
        if (image != 0) FreeSprite(image);
    }
    images.clear();
}

}  // namespace

void BuildSettingsPanel() {
    const int t = MenuUnit();
    const int rowWidth = 10 * t;
    const int rowStep = t + t / 4;
    const int panelWidth = 12 * t;
    const int panelHeight = 3 * t / 2 + 5 * rowStep + t / 2 + t + t / 2;
    MenuPanel& panel = Menus.SettingsPanel;
    panel.image = ImgSettingsPanel;
    panel.x = Display.ScreenWidth / 2 - panelWidth / 2;
    panel.y = Display.MenuCenterY - panelHeight / 2;
    RenderPanelImage(ImgSettingsPanel, panelWidth, panelHeight, Text("tSettingsTITLE"), {});

    RenderButtonPair(57, rowWidth, t, Text("tSettingsMUSIC"), Text("tSettingsON"));
    RenderButtonPair(59, rowWidth, t, Text("tSettingsMUSIC"), Text("tSettingsOFF"));
    RenderButtonPair(61, rowWidth, t, Text("tSettingsSOUNDFX"), Text("tSettingsON"));
    RenderButtonPair(63, rowWidth, t, Text("tSettingsSOUNDFX"), Text("tSettingsOFF"));
    RenderButtonPair(65, rowWidth, t, Text("tSettingsSCREENMODE"), Text("tSettingsWINDOWED"));
    RenderButtonPair(67, rowWidth, t, Text("tSettingsSCREENMODE"), Text("tSettingsFULLSCREEN"));
    RenderButtonPair(69, rowWidth, t, Text("tSettingsSCREENMODE"), Text("tSettingsBORDERLESS"));

    FreeImages(Menus.ResolutionImages);
    for (const std::string& entry : Display.Resolutions) {
        const std::string& label = Text("tSettingsRESOLUTION");
        Menus.ResolutionImages.push_back(RenderButtonImage(PF_ANY, rowWidth, t, label, entry, TextColour));
        Menus.ResolutionImages.push_back(
            RenderButtonImage(PF_ANY, rowWidth, t, label, entry, HoverTextColour));
        Menus.ResolutionImages.push_back(
            RenderButtonImage(PF_ANY, rowWidth, t, label, entry, DisabledTextColour));
    }
    FreeImages(Menus.LanguageImages);
    for (const LanguageListEntry& language : Languages.List) {
        const std::string& label = Text("tSettingsLANGUAGE");
        std::string name = UpperCase(language.name);
        Menus.LanguageImages.push_back(RenderButtonImage(PF_ANY, rowWidth, t, label, name, TextColour));
        Menus.LanguageImages.push_back(RenderButtonImage(PF_ANY, rowWidth, t, label, name, HoverTextColour));
    }
    const int halfWidth = rowWidth / 2 - t / 4;
    RenderButtonPair(71, halfWidth, t, Text("tSettingsOK"), "");
    RenderButtonPair(73, halfWidth, t, Text("tSettingsCANCEL"), "");

    for (int row = 1; row <= 5; ++row) {
        SetButtonRect(Menus.Settings[row], 0, panel.x + t, panel.y + 3 * t / 2 + (row - 1) * rowStep,
                      rowWidth, t);
    }
    const int lastY = panel.y + 3 * t / 2 + 5 * rowStep + t / 2;
    SetButtonRect(Menus.Settings[6], 71, panel.x + t, lastY, halfWidth, t);
    SetButtonRect(Menus.Settings[7], 73, panel.x + t + rowWidth - halfWidth, lastY, halfWidth, t);
    ResetSettingsRows(Menus.SettingsHover);
}

void ResetSettingsRows(int n) {
    const GameSettings& p = App.Pending;
    MenuButton* rows = Menus.Settings;
    const int language = Languages.Current;
    const bool haveLanguage = language >= 0 && 2 * language + 1 < int(Menus.LanguageImages.size());
    // With no language found the row shows nothing.
    rows[1].image = haveLanguage ? Menus.LanguageImages[size_t(2 * language)] : 0;
    rows[2].image = p.Music == 1 ? 57 : 59;
    rows[3].image = p.Sounds == 1 ? 61 : 63;
    rows[4].image = ScreenModeImage(p.GameScreen);
    const int resolution = p.Resolution;
    const bool haveResolution = resolution >= 0 && 3 * resolution + 2 < int(Menus.ResolutionImages.size());
    rows[5].image = haveResolution ? Menus.ResolutionImages[size_t(3 * resolution)] : 0;
    rows[6].image = 71;
    rows[7].image = 73;
    switch (n) {
        case 1: if (haveLanguage) rows[1].image = Menus.LanguageImages[size_t(2 * language + 1)]; break;
        case 2: case 3: case 4: case 6: case 7: rows[n].image += 1; break;
        case 5: if (haveResolution) rows[5].image = Menus.ResolutionImages[size_t(3 * resolution + 1)]; break;
        default: break;
    }
    // The resolution applies only to windowed mode: greyed out otherwise, hovered or not.
    if (p.GameScreen != ScreenWindowed && haveResolution) {
        rows[5].image = Menus.ResolutionImages[size_t(3 * resolution + 2)];
    }
}

void OpenSettings() {
    FindLanguage(App.Settings.Language);
    App.Pending = App.Settings;
    Menus.SettingsHover = 0;
    ResetSettingsRows(0);
    App.ScreenState = StateSettings;
}

void StepSettingsRow(int row) {
    GameSettings& p = App.Pending;
    switch (row) {
        case 1:
            if (!Languages.List.empty()) {
                Languages.Current = (Languages.Current + 1) % int(Languages.List.size());
                p.Language = Languages.List[size_t(Languages.Current)].code;
            }
            break;
        case 2: p.Music = 1 - p.Music; break;
        case 3: p.Sounds = 1 - p.Sounds; break;
        case 4: p.GameScreen = (p.GameScreen + 1) % 3; break;
        case 5: {
            int count = Display.Resolutions.empty() ? 9 : int(Display.Resolutions.size());
            p.Resolution = (p.Resolution + 1) % count;
            break;
        }
        default: break;
    }
}

void ApplySettings() {
    GameSettings& s = App.Settings;
    const GameSettings& p = App.Pending;
    if (s.Music == 1 && p.Music == 0) {
        StopPlayingTracks();
        s.Music = 0;
        LogValue("Music:", "OFF");
    } else if (s.Music == 0 && p.Music == 1) {
        s.Music = 1;
        StartTrack(SndMenuTrack);
        LogValue("Music:", "ON");
    }
    s.Sounds = p.Sounds;
    LogValue("Sounds:", s.Sounds ? "ON" : "OFF");

    App.ReopenPending = 0;
    if (p.GameScreen != s.GameScreen ||
        (p.GameScreen == ScreenWindowed && s.GameScreen == ScreenWindowed && p.Resolution != s.Resolution)) {
        App.ReopenPending = 1;
    }
    if (p.Language != s.Language) {
        s.Language = p.Language;
        int ok = LoadLanguage(App.GameDir + LanguagePackName, s.Language);
        LogValue("Load language (" + s.Language + "):", ok ? "OK" : "FAILED");
        if (!App.ReopenPending) {
            BuildAllPanels();
        }
    }
    if (App.ReopenPending) {
        ReopenDisplay();  // rebuilds every panel and plays the title intro again
        return;
    }
    Menus.SettingsHover = 0;
    Menus.MainMenuHover = 0;
    ResetMainMenuHover(0);
    App.ScreenState = StateMainMenu;
}
