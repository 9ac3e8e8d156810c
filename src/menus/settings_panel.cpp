// settings_panel.cpp: the settings screen: rows that step pending values, OK that applies them, CANCEL.
#include <string>

#include "core/state.h"
#include "core/log.h"
#include "audio/audio.h"
#include "data/text.h"
#include "display/assets.h"
#include "display/display.h"
#include "menus/menu_render.h"
#include "menus/menus.h"
#include "platform.h"

namespace {

enum SettingsFont { FontSettingsRow = 5, FontSettingsTitle = 6 };

// The row artwork is 1262 x 65 and the panel 1262 x 1120; labels start at 120
// and values end at 1142 in those pixels.
constexpr int RowRefWidth = 1262;
constexpr int RowRefHeight = 65;
constexpr int PanelRefHeight = 1120;
constexpr int LabelLeft = 120;
constexpr int ValueRight = 1142;
constexpr int RowTops[8] = {0, 280, 380, 480, 580, 680, 900, 900};

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

// One row image: the label from the left, the value ending at the right, both in
// one colour; `number` PF_ANY makes a new image. Returns the image's handle.
int RenderRowImage(int number, const std::string& label, const std::string& value, uint32_t colour, int width,
                   int height) {
    FreeSprite(number);
    int image = CopySprite(ImgSettingsButtonTemplate, number, SPRITE_ALPHA);
    const int handle = number == PF_ANY ? image : number;
    if (image != 0 && StartDrawing(SpriteOutput(handle))) {
        DrawingMode(DRAW_TRANSPARENT | DRAW_ALPHABLEND);
        UseFont(FontSettingsRow);
        DrawTextAt(LabelLeft, 0, label, colour, PanelColour);
        DrawTextAt(ValueRight - TextWidth(value), 0, value, colour, PanelColour);
        StopDrawing();
    }
    if (image != 0) ScaleSprite(handle, width, height);
    return image != 0 ? handle : 0;
}

void RenderRowPair(int normalImage, const std::string& label, const std::string& value, int width, int height) {
    RenderRowImage(normalImage, label, value, TextColour, width, height);
    RenderRowImage(normalImage + 1, label, value, HoverTextColour, width, height);
}

}  // namespace

void BuildSettingsPanel() {
    MenuPanel& panel = Menus.SettingsPanel;
    panel.image = ImgSettingsPanel;
    MenuButton* rows = Menus.Settings;
    int p = 0;
    if (StartPanel(ImgSettingsPanel, ImgSettingsTemplate)) {
        DrawPanelTitle(FontSettingsTitle, Text("tSettingsTITLE"));
        UseFont(FontSettingsRow);
        const int storedW = SpriteStoredWidth(ImgSettingsTemplate);
        const int storedH = SpriteStoredHeight(ImgSettingsTemplate);
        const int height = (Display.ScreenHeight / 100) * 56;
        const int width = storedH > 0 ? height * storedW / storedH : 0;
        ScaleSprite(ImgSettingsPanel, width, height);
        panel.x = Display.ScreenWidth / 2 - width / 2;
        panel.y = Display.MenuCenterY - height / 2;
        p = width;
        const int q = height;
        for (int row = 1; row <= 7; ++row) {
            rows[row].hitX1 = panel.x + p * LabelLeft / RowRefWidth;
            rows[row].hitX2 = panel.x + p * ValueRight / RowRefWidth;
            rows[row].hitY1 = panel.y + q * RowTops[row] / PanelRefHeight;
            rows[row].drawX = panel.x;
            rows[row].drawY = rows[row].hitY1;
        }
        // OK and CANCEL react only over their own labels.
        rows[6].hitX2 = panel.x + p * (TextWidth(Text("tSettingsOK")) + LabelLeft) / RowRefWidth;
        rows[7].hitX1 = panel.x + p * (ValueRight - TextWidth(Text("tSettingsCANCEL"))) / RowRefWidth;
        StopDrawing();
    }
    const int width = p;
    const int height = p * RowRefHeight / RowRefWidth;

    RenderRowPair(57, Text("tSettingsMUSIC"), Text("tSettingsON"), width, height);
    RenderRowPair(59, Text("tSettingsMUSIC"), Text("tSettingsOFF"), width, height);
    RenderRowPair(61, Text("tSettingsSOUNDFX"), Text("tSettingsON"), width, height);
    RenderRowPair(63, Text("tSettingsSOUNDFX"), Text("tSettingsOFF"), width, height);
    RenderRowPair(65, Text("tSettingsSCREENMODE"), Text("tSettingsWINDOWED"), width, height);
    RenderRowPair(67, Text("tSettingsSCREENMODE"), Text("tSettingsFULLSCREEN"), width, height);
    RenderRowPair(69, Text("tSettingsSCREENMODE"), Text("tSettingsBORDERLESS"), width, height);

    FreeImages(Menus.ResolutionImages);
    const std::string& resolution = Text("tSettingsRESOLUTION");
    for (const std::string& entry : Display.Resolutions) {
        for (uint32_t colour : {TextColour, HoverTextColour, DisabledTextColour}) {
            Menus.ResolutionImages.push_back(RenderRowImage(PF_ANY, resolution, entry, colour, width, height));
        }
    }
    FreeImages(Menus.LanguageImages);
    const std::string& language = Text("tSettingsLANGUAGE");
    // With no language found at all the row still shows its label, with no value.
    std::vector<std::string> names;
    for (const LanguageListEntry& entry : Languages.List) names.push_back(UpperCase(entry.name));
    if (names.empty()) names.emplace_back();
    for (const std::string& name : names) {
        for (uint32_t colour : {TextColour, HoverTextColour}) {
            Menus.LanguageImages.push_back(RenderRowImage(PF_ANY, language, name, colour, width, height));
        }
    }
    RenderRowPair(71, Text("tSettingsOK"), "", width, height);
    RenderRowPair(73, "", Text("tSettingsCANCEL"), width, height);

    for (int row = 1; row <= 7; ++row) {
        rows[row].hitY2 = rows[row].hitY1 + height;
    }
    ResetSettingsRows(Menus.SettingsHover);
}

void ResetSettingsRows(int n) {
    const GameSettings& p = App.Pending;
    MenuButton* rows = Menus.Settings;
    const int language = Languages.Current;
    const bool haveLanguage = language >= 0 && 2 * language + 1 < int(Menus.LanguageImages.size());
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

namespace {

// One row's pending value one step on (+1, as a click does) or back (-1), wrapping.
void StepSettingsRowBy(int row, int step) {
    auto wrap = [step](int value, int count) { return (value + step + count) % count; };
    GameSettings& p = App.Pending;
    switch (row) {
        case 1:
            if (!Languages.List.empty()) {
                Languages.Current = wrap(Languages.Current, int(Languages.List.size()));
                p.Language = Languages.List[size_t(Languages.Current)].code;
            }
            break;
        case 2: p.Music = 1 - p.Music; break;  // on and off: both ways are the same
        case 3: p.Sounds = 1 - p.Sounds; break;
        case 4: p.GameScreen = wrap(p.GameScreen, 3); break;
        case 5: {
            const int count = Display.Resolutions.empty() ? 9 : int(Display.Resolutions.size());
            p.Resolution = wrap(p.Resolution, count);
            break;
        }
        default: break;
    }
}

}  // namespace

void StepSettingsRow(int row) { StepSettingsRowBy(row, +1); }

void StepSettingsRowBack(int row) { StepSettingsRowBy(row, -1); }

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
            RebuildPanelsForLanguage();
        }
    }
    if (App.ReopenPending) {
        return;  // the caller rebuilds the display and every panel
    }
    Menus.SettingsHover = 0;
    EnterMenuScreen(StateMainMenu);
}
