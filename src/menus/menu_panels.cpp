// menu_panels.cpp: plain panels for the menu-like screens: a box with its title and labelled button boxes.
//
// Every panel and button image is rendered once here (start-up, display rebuild,
// language change); frames only draw them. Sizes follow TileSize so the panels
// scale with the screen.
#include <string>

#include "app/app.h"
#include "data/text.h"
#include "display/assets.h"
#include "display/display.h"
#include "menus/menus.h"
#include "platform.h"

namespace {

constexpr uint32_t ButtonColour = RGB(62, 57, 52);

struct ButtonLabel {
    const char* labelKey;
    int normalImage;
};

constexpr ButtonLabel MainMenuLabels[] = {{"tMenuSTART", 19},    {"tMenuQUICKGAME", 21},
                                       {"tMenuSETTINGS", 23}, {"tMenuHELP", 25},
                                       {"tMenuCREDITS", 27},  {"tMenuQUIT", 29}};
constexpr ButtonLabel BoardSizeLabels[] = {{"tBoardsizeSMALL", 41}, {"tBoardsizeMEDIUM", 43},
                                        {"tBoardsizeLARGE", 45}, {"tBoardsizeBACK", 47}};
constexpr ButtonLabel GameModeLabels[] = {{"tGamemodeEASY", 49}, {"tGamemodeNORMAL", 51},
                                       {"tGamemodeUNPREDICTABLE", 53}, {"tGamemodeBACK", 55}};
constexpr ButtonLabel InGameLabels[] = {{"tInGameRESUME", 31}, {"tInGameRESTART", 33}, {"tInGameQUIT", 35}};
constexpr ButtonLabel GameOverLabels[] = {{"tGameOverRETRY", 37}, {"tGameOverMENU", 39}};

// A column of full-width buttons under the title.
void BuildColumnScreen(MenuPanel& panel, int panelImage, const char* titleKey, MenuButton* buttons,
                       const ButtonLabel* labels, int count, int centreY) {
    const int t = MenuUnit();
    const int buttonWidth = 8 * t;
    const int buttonHeight = t;
    const int gap = t / 4;
    const int panelWidth = 10 * t;
    const int panelHeight = 3 * t / 2 + count * (buttonHeight + gap) + t / 2;
    panel.image = panelImage;
    panel.x = Display.ScreenWidth / 2 - panelWidth / 2;
    panel.y = centreY - panelHeight / 2;
    RenderPanelImage(panelImage, panelWidth, panelHeight, Text(titleKey), {});
    for (int i = 1; i <= count; ++i) {
        const ButtonLabel& s = labels[i - 1];
        RenderButtonPair(s.normalImage, buttonWidth, buttonHeight, Text(s.labelKey), "");
        int x = panel.x + t;
        int y = panel.y + 3 * t / 2 + (i - 1) * (buttonHeight + gap);
        SetButtonRect(buttons[i], s.normalImage, x, y, buttonWidth, buttonHeight);
    }
}

// The quit question: the question under the title, YES on the left and NO on the right.
void BuildQuitScreens() {
    const int t = MenuUnit();
    const int panelWidth = 10 * t;
    const int panelHeight = 5 * t;
    const int buttonWidth = 4 * t - t / 4;
    RenderPanelImage(13, panelWidth, panelHeight, Text("tQuitTITLE"), {Text("tQuitQUESTION")});
    RenderButtonPair(79, buttonWidth, t, Text("tQuitYES"), "");
    RenderButtonPair(81, buttonWidth, t, Text("tQuitNO"), "");
    struct Place {
        MenuPanel& panel;
        MenuButton* buttons;
        int centreY;
    };
    Place places[] = {{Menus.QuitPanel, Menus.Quit, Display.MenuCenterY},
                      {Menus.InGameQuitPanel, Menus.InGameQuit, Display.ScreenHeight / 2}};
    for (Place& p : places) {
        p.panel.image = 13;
        p.panel.x = Display.ScreenWidth / 2 - panelWidth / 2;
        p.panel.y = p.centreY - panelHeight / 2;
        int y = p.panel.y + 3 * t;
        SetButtonRect(p.buttons[1], 79, p.panel.x + t, y, buttonWidth, t);
        SetButtonRect(p.buttons[2], 81, p.panel.x + panelWidth - t - buttonWidth, y, buttonWidth, t);
    }
}

// Help and credits: title, a few lines of text and one BACK button.
void BuildTextScreen(MenuPanel& panel, int panelImage, const char* titleKey,
                     const std::vector<std::string>& lines, MenuButton* buttons, int backImage,
                     const char* backKey) {
    const int t = MenuUnit();
    const int panelWidth = 12 * t;
    const int textHeight = int(lines.size()) * t / 2;
    const int panelHeight = 3 * t / 2 + textHeight + t / 2 + t + t / 2;
    panel.image = panelImage;
    panel.x = Display.ScreenWidth / 2 - panelWidth / 2;
    panel.y = Display.MenuCenterY - panelHeight / 2;
    RenderPanelImage(panelImage, panelWidth, panelHeight, Text(titleKey), lines);
    RenderButtonPair(backImage, 8 * t, t, Text(backKey), "");
    SetButtonRect(buttons[1], backImage, panel.x + 2 * t, panel.y + 3 * t / 2 + textHeight + t / 2,
                  8 * t, t);
}

}  // namespace

int MenuUnit() {
    return Display.TileSize > 0 ? Display.TileSize : 32;
}

void SetButtonRect(MenuButton& b, int image, int x, int y, int width, int height) {
    b.image = image;
    b.drawX = x;
    b.drawY = y;
    b.hitX1 = x;
    b.hitY1 = y;
    b.hitX2 = x + width;
    b.hitY2 = y + height;
}

int RenderPanelImage(int number, int width, int height, const std::string& title,
                     const std::vector<std::string>& lines) {
    int image = CreateSprite(number, width, height, SPRITE_ALPHA);
    int handle = number == PF_ANY ? image : number;
    if (image == 0 || !StartDrawing(SpriteOutput(handle))) {
        return image;
    }
    const int t = MenuUnit();
    DrawingMode(DRAW_DEFAULT);
    FillBox(0, 0, width, height, PanelColour);
    UseFont(HudFont);
    DrawTextAt(width / 2 - TextWidth(title) / 2, t / 2, title, TitleColour, PanelColour);
    int y = 3 * t / 2;
    for (const std::string& line : lines) {
        DrawTextAt(width / 2 - TextWidth(line) / 2, y, line, TextColour, PanelColour);
        y += t / 2;
    }
    StopDrawing();
    return image;
}

int RenderButtonImage(int number, int width, int height, const std::string& label,
                      const std::string& value, uint32_t colour) {
    int image = CreateSprite(number, width, height, SPRITE_ALPHA);
    int handle = number == PF_ANY ? image : number;
    if (image == 0 || !StartDrawing(SpriteOutput(handle))) {
        return image;
    }
    DrawingMode(DRAW_DEFAULT);
    FillBox(0, 0, width, height, ButtonColour);
    UseFont(HudFont);
    int y = height / 2 - TextHeight(label + value) / 2;
    if (value.empty()) {
        DrawTextAt(width / 2 - TextWidth(label) / 2, y, label, colour, ButtonColour);
    } else {
        int margin = height / 4;
        DrawTextAt(margin, y, label, colour, ButtonColour);
        DrawTextAt(width - margin - TextWidth(value), y, value, colour, ButtonColour);
    }
    StopDrawing();
    return handle;
}

void RenderButtonPair(int normalImage, int width, int height, const std::string& label,
                      const std::string& value) {
    RenderButtonImage(normalImage, width, height, label, value, TextColour);
    RenderButtonImage(normalImage + 1, width, height, label, value, HoverTextColour);
}

void BuildGameOverPanel(int score, bool withButtons, bool newBest) {
    const int t = MenuUnit();
    const int panelWidth = 10 * t;
    const int panelHeight = 3 * t / 2 + 3 * t / 2 + 2 * (t + t / 4) + t / 2;
    std::vector<std::string> lines = {Text("tGameOverSCORE"), std::to_string(score)};
    if (newBest) {
        lines.push_back(Text("tGameOverNEWHIGH"));
    }
    MenuPanel& panel = Menus.GameOverPanel;
    panel.image = ImgGameOverPanel;
    panel.x = Display.ScreenWidth / 2 - panelWidth / 2;
    panel.y = Display.ScreenHeight / 2 - panelHeight / 2;
    RenderPanelImage(ImgGameOverPanel, panelWidth, panelHeight, Text("tGameOverTITLE"), lines);
    if (!withButtons) {
        return;
    }
    for (int i = 1; i <= 2; ++i) {
        const ButtonLabel& s = GameOverLabels[i - 1];
        RenderButtonPair(s.normalImage, 8 * t, t, Text(s.labelKey), "");
        SetButtonRect(Menus.GameOver[i], s.normalImage, panel.x + t,
                      panel.y + 3 * t + (i - 1) * (t + t / 4), 8 * t, t);
    }
}

void BuildAllPanels() {
    const int menuCentre = Display.MenuCenterY;
    const int screenCentre = Display.ScreenHeight / 2;
    BuildColumnScreen(Menus.MainMenuPanel, ImgMainMenuPanel, "tMenuTITLE", Menus.MainMenu, MainMenuLabels,
                      6, menuCentre);
    BuildColumnScreen(Menus.InGamePanel, ImgInGameMenuPanel, "tInGameTITLE", Menus.InGame, InGameLabels, 3,
                      screenCentre);
    BuildSettingsPanel();
    BuildTextScreen(Menus.CreditsPanel, ImgCreditsPanel, "tCreditsTITLE",
                    {"Prismoria 1.0.0.0", Text("tCreditsCODEDESIGN"), "dawnwhistle game studio"},
                    Menus.Credits, 77, "tCreditsBACK");
    BuildTextScreen(Menus.HelpPanel, ImgHelpPanel, "tHelpTITLE", {}, Menus.Help, 75, "tHelpBACK");
    BuildQuitScreens();
    BuildColumnScreen(Menus.BoardSizePanel, ImgBoardSizePanel, "tBoardsizeTITLE", Menus.BoardSize,
                      BoardSizeLabels, 4, menuCentre);
    BuildColumnScreen(Menus.GameModePanel, ImgGameModePanel, "tGamemodeTITLE", Menus.GameMode,
                      GameModeLabels, 4, menuCentre);
    BuildGameOverPanel(0, true);
}
