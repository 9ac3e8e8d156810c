// menu_builders.cpp: the panels of the main menu, game mode, board size, quit question, in-game menu and game over.
//
// Every text is drawn once, onto a copy of the panel artwork at its stored size,
// and the copy is then scaled to the display; frames only draw the images. Layout
// constants are pixels of the artwork, converted with integer arithmetic, each
// product formed before its division.
#include <cmath>
#include <string>

#include "core/state.h"
#include "board.h"
#include "data/text.h"
#include "display/assets.h"
#include "display/display.h"
#include "menus/menu_render.h"
#include "menus/menus.h"
#include "platform.h"

namespace {

// Fonts of the screens (numbers of the fonts created with the display).
enum MenuFont {
    FontMainLabel = 0,
    FontMainTitle = 1,
    FontQuitQuestion = 7,
    FontQuitTitle = 8,
    FontQuitLabel = 9,
    FontInGameLabel = 13,
    FontInGameTitle = 14,
    FontBoardSizeLabel = 15,
    FontBoardSizeTitle = 16,
    FontGameModeLabel = 17,
    FontGameModeTitle = 18,
    FontGameOverText = 19,
    FontGameOverTitle = 20
};

// Reference sizes of the artwork the constants below are measured in.
constexpr int MainMenuRefHeight = 1404;
constexpr int PopupRefHeight = 1118;
constexpr int MenuButtonRefWidth = 1030;
constexpr int MenuButtonRefHeight = 90;
constexpr int MenuButtonCentre = 515;

struct ButtonRow {
    const char* labelKey;
    int normalImage;
    int row;  // y of the button's top edge in the panel artwork
};

constexpr ButtonRow MainMenuRows[] = {{"tMenuSTART", 19, 300},    {"tMenuQUICKGAME", 21, 460},
                                      {"tMenuSETTINGS", 23, 620}, {"tMenuHELP", 25, 780},
                                      {"tMenuCREDITS", 27, 940},  {"tMenuQUIT", 29, 1100}};
constexpr ButtonRow GameModeRows[] = {{"tGamemodeEASY", 49, 280},
                                      {"tGamemodeNORMAL", 51, 440},
                                      {"tGamemodeUNPREDICTABLE", 53, 600},
                                      {"tGamemodeBACK", 55, 840}};
constexpr ButtonRow BoardSizeRows[] = {{"tBoardsizeSMALL", 41, 280},
                                       {"tBoardsizeMEDIUM", 43, 440},
                                       {"tBoardsizeLARGE", 45, 600},
                                       {"tBoardsizeBACK", 47, 840}};
constexpr ButtonRow InGameRows[] = {
    {"tInGameRESUME", 31, 360}, {"tInGameRESTART", 33, 520}, {"tInGameQUIT", 35, 680}};
constexpr ButtonRow GameOverRows[] = {{"tGameOverRETRY", 37, 680}, {"tGameOverMENU", 39, 840}};

// Height of a menu button image for a panel of display width `width`.
int MenuButtonHeight(double width) {
    return int(std::lround(width * double(MenuButtonRefHeight) / double(MenuButtonRefWidth)));
}

// The label-wide hit rectangles of a column of centred buttons, measured in the
// current font while the panel is being drawn on.
void PlaceCentredButtons(MenuButton* buttons, const ButtonRow* rows, int count, const MenuPanel& panel, int p,
                         int q, int refHeight) {
    for (int i = 1; i <= count; ++i) {
        const int tw = TextWidth(Text(rows[i - 1].labelKey));
        MenuButton& b = buttons[i];
        b.hitX1 = panel.x + p * (MenuButtonCentre - tw / 2) / MenuButtonRefWidth;
        b.hitX2 = panel.x + p * (MenuButtonCentre + (tw - tw / 2)) / MenuButtonRefWidth;
        b.hitY1 = panel.y + q * rows[i - 1].row / refHeight;
        b.drawX = panel.x;
        b.drawY = b.hitY1;
    }
}

// The normal and hover images of a column of centred buttons, then the records'
// images and the bottom of their hit rectangles.
void RenderCentredButtons(MenuButton* buttons, const ButtonRow* rows, int count, int font, int width,
                          int height) {
    for (int i = 1; i <= count; ++i) {
        const ButtonRow& r = rows[i - 1];
        const std::string& label = Text(r.labelKey);
        UseFont(font);
        const int x = MenuButtonCentre - TextWidth(label) / 2;
        RenderButtonImage(r.normalImage, ImgMenuButtonTemplate, font, label, x, TextColour, width, height);
        RenderButtonImage(r.normalImage + 1, ImgMenuButtonTemplate, font, label, x, HoverTextColour, width,
                          height);
        buttons[i].image = r.normalImage;
        buttons[i].hitY2 = buttons[i].hitY1 + SpriteHeight(r.normalImage);
    }
}

// A popup of the menu screens (game mode, board size): a square of the main
// menu's width centred on the menu line.
void BuildMenuPopup(MenuPanel& panel, int image, const char* titleKey, int titleFont, int labelFont,
                    MenuButton* buttons, const ButtonRow* rows, int count) {
    panel.image = image;
    const int side = Menus.PopupSide;
    bool drawn = false;
    if (StartPanel(image, ImgQuitTemplate)) {
        DrawPanelTitle(titleFont, Text(titleKey));
        UseFont(labelFont);
        ScaleSprite(image, side, side);
        panel.x = Display.ScreenWidth / 2 - side / 2;
        panel.y = Display.MenuCenterY - side / 2;
        PlaceCentredButtons(buttons, rows, count, panel, SpriteWidth(image), SpriteHeight(image), PopupRefHeight);
        StopDrawing();
        drawn = true;
    }
    // Without a drawn panel the buttons get no size: the old hit rectangles stay,
    // and no full-size image of nothing is drawn at them.
    const int width = drawn ? side : 0;
    RenderCentredButtons(buttons, rows, count, labelFont, width, MenuButtonHeight(double(width)));
}

}  // namespace

void BuildMainMenu() {
    MenuPanel& panel = Menus.MainMenuPanel;
    panel.image = ImgMainMenuPanel;
    float width = 0.0f;
    if (StartPanel(ImgMainMenuPanel, ImgMainMenuTemplate)) {
        DrawPanelTitle(FontMainTitle, Text("tMenuTITLE"));
        UseFont(FontMainLabel);
        const int h = Display.ScreenHeight;
        const int height = (h / 100) * 65;
        const double storedW = SpriteStoredWidth(ImgMainMenuTemplate);
        const double storedH = SpriteStoredHeight(ImgMainMenuTemplate);
        width = storedH > 0 ? float(h / 100.0 * 65.0 * storedW / storedH) : 0.0f;
        ScaleSprite(ImgMainMenuPanel, int(std::lround(width)), height);
        panel.x = Display.ScreenWidth / 2 - SpriteWidth(ImgMainMenuPanel) / 2;
        panel.y = Display.MenuCenterY - SpriteHeight(ImgMainMenuPanel) / 2;
        PlaceCentredButtons(Menus.MainMenu, MainMenuRows, 6, panel, SpriteWidth(ImgMainMenuPanel),
                            SpriteHeight(ImgMainMenuPanel), MainMenuRefHeight);
        StopDrawing();
    }
    // Without a drawn panel the buttons get no size (nothing to click).
    Menus.MainMenuWidth = width;
    Menus.PopupSide = width > 0.0f ? SpriteWidth(ImgMainMenuPanel) : 0;
    RenderCentredButtons(Menus.MainMenu, MainMenuRows, 6, FontMainLabel, int(std::lround(width)),
                         MenuButtonHeight(double(width)));
}

void BuildGameModeMenu() {
    BuildMenuPopup(Menus.GameModePanel, ImgGameModePanel, "tGamemodeTITLE", FontGameModeTitle, FontGameModeLabel,
                   Menus.GameMode, GameModeRows, 4);
}

void BuildBoardSizeMenu() {
    BuildMenuPopup(Menus.BoardSizePanel, ImgBoardSizePanel, "tBoardsizeTITLE", FontBoardSizeTitle,
                   FontBoardSizeLabel, Menus.BoardSize, BoardSizeRows, 4);
}

void BuildInGameMenu() {
    MenuPanel& panel = Menus.InGamePanel;
    panel.image = ImgInGameMenuPanel;
    const int side = Menus.PopupSide;
    if (StartPanel(ImgInGameMenuPanel, ImgQuitTemplate)) {
        DrawPanelTitle(FontInGameTitle, Text("tInGameTITLE"));
        UseFont(FontInGameLabel);
        ScaleSprite(ImgInGameMenuPanel, side, side);
        // Over the play screen the popups sit in the middle of the screen.
        panel.x = Display.ScreenWidth / 2 - SpriteWidth(ImgInGameMenuPanel) / 2;
        panel.y = Display.ScreenHeight / 2 - SpriteHeight(ImgInGameMenuPanel) / 2;
        PlaceCentredButtons(Menus.InGame, InGameRows, 3, panel, SpriteWidth(ImgInGameMenuPanel),
                            SpriteHeight(ImgInGameMenuPanel), PopupRefHeight);
        StopDrawing();
    }
    RenderCentredButtons(Menus.InGame, InGameRows, 3, FontInGameLabel, side, MenuButtonHeight(double(side)));
}

void BuildQuitPanel() {
    constexpr int YesLeft = 120;
    constexpr int NoRight = 910;
    constexpr int ButtonRowY = 860;
    const int side = Menus.PopupSide;
    const std::string& yes = Text("tQuitYES");
    const std::string& no = Text("tQuitNO");
    Menus.QuitPanel.image = ImgQuitPanel;
    Menus.InGameQuitPanel.image = ImgQuitPanel;
    bool placed = false;
    if (StartPanel(ImgQuitPanel, ImgQuitTemplate)) {
        DrawPanelTitle(FontQuitTitle, Text("tQuitTITLE"));
        DrawCentredPanelText(FontQuitQuestion, 276, Text("tQuitQUESTION"), TextColour);
        const int storedHeight = SpriteHeight(ImgQuitPanel);
        const int height = storedHeight > 0
                               ? int(std::lround(double(side) * storedHeight / double(storedHeight)))
                               : 0;
        ScaleSprite(ImgQuitPanel, side, height);
        const int p = SpriteWidth(ImgQuitPanel);
        const int q = SpriteHeight(ImgQuitPanel);
        UseFont(FontQuitLabel);
        const int tYes = TextWidth(yes);
        const int tNo = TextWidth(no);
        // The same question in two places: below the logo on the menus, in the
        // middle of the screen over a game.
        struct Place {
            MenuPanel& panel;
            MenuButton* buttons;
            int centreY;
        };
        Place places[] = {{Menus.QuitPanel, Menus.Quit, Display.MenuCenterY},
                          {Menus.InGameQuitPanel, Menus.InGameQuit, Display.ScreenHeight / 2}};
        for (Place& place : places) {
            place.panel.x = Display.ScreenWidth / 2 - p / 2;
            place.panel.y = place.centreY - q / 2;
            const int y = place.panel.y + q * ButtonRowY / PopupRefHeight;
            MenuButton& b1 = place.buttons[1];
            b1.hitX1 = place.panel.x + p * YesLeft / MenuButtonRefWidth;
            b1.hitX2 = place.panel.x + p * (tYes + YesLeft) / MenuButtonRefWidth;
            MenuButton& b2 = place.buttons[2];
            b2.hitX1 = place.panel.x + p * (NoRight - tNo) / MenuButtonRefWidth;
            b2.hitX2 = place.panel.x + p * NoRight / MenuButtonRefWidth;
            for (MenuButton* b : {&b1, &b2}) {
                b->hitY1 = y;
                b->drawX = place.panel.x;
                b->drawY = y;
            }
        }
        placed = true;
        StopDrawing();
    }
    const int width = placed ? side : 0;
    const int height = MenuButtonHeight(double(width));
    UseFont(FontQuitLabel);
    const int noX = NoRight - TextWidth(no);
    RenderButtonImage(79, ImgMenuButtonTemplate, FontQuitLabel, yes, YesLeft, TextColour, width, height);
    RenderButtonImage(80, ImgMenuButtonTemplate, FontQuitLabel, yes, YesLeft, HoverTextColour, width, height);
    RenderButtonImage(81, ImgMenuButtonTemplate, FontQuitLabel, no, noX, TextColour, width, height);
    RenderButtonImage(82, ImgMenuButtonTemplate, FontQuitLabel, no, noX, HoverTextColour, width, height);
    for (MenuButton* buttons : {Menus.Quit, Menus.InGameQuit}) {
        buttons[1].image = 79;
        buttons[2].image = 81;
        buttons[1].hitY2 = buttons[1].hitY1 + SpriteHeight(79);
        buttons[2].hitY2 = buttons[2].hitY1 + SpriteHeight(81);
    }
}

void BuildGameOverPanel(int score, bool withButtons, bool newBest) {
    MenuPanel& panel = Menus.GameOverPanel;
    panel.image = ImgGameOverPanel;
    const int side = Menus.PopupSide;
    if (StartPanel(ImgGameOverPanel, ImgQuitTemplate)) {
        DrawPanelTitle(FontGameOverTitle, Text("tGameOverTITLE"));
        DrawCentredPanelText(FontGameOverText, 280, Text("tGameOverSCORE"), TextColour);
        DrawCentredPanelText(FontGameOverText, 390, std::to_string(score), TextColour);
        // The board rules have already recorded the new best when the game ended;
        // the line shows exactly that.
        if (newBest) {
            DrawCentredPanelText(FontGameOverText, 500, Text("tGameOverNEWHIGH"), TextColour);
        }
        UseFont(FontGameOverText);
        ScaleSprite(ImgGameOverPanel, side, side);
        panel.x = Display.ScreenWidth / 2 - SpriteWidth(ImgGameOverPanel) / 2;
        panel.y = Display.ScreenHeight / 2 - SpriteHeight(ImgGameOverPanel) / 2;
        if (withButtons) {
            PlaceCentredButtons(Menus.GameOver, GameOverRows, 2, panel, SpriteWidth(ImgGameOverPanel),
                                SpriteHeight(ImgGameOverPanel), PopupRefHeight);
        }
        StopDrawing();
    }
    if (withButtons) {
        RenderCentredButtons(Menus.GameOver, GameOverRows, 2, FontGameOverText, side,
                             MenuButtonHeight(double(side)));
    }
}

void BuildAllPanels() {
    Menus.PanelRenders += 1;
    BuildMainMenu();
    BuildInGameMenu();
    BuildSettingsPanel();
    BuildCreditsPanel();
    BuildHelpPanel();
    BuildQuitPanel();
    BuildBoardSizeMenu();
    BuildGameModeMenu();
    BuildGameOverPanel(0, true);
}

void RebuildPanelsForLanguage() {
    Menus.PanelRenders += 1;
    BuildMainMenu();
    BuildInGameMenu();
    BuildCreditsPanel();
    BuildHelpPanel();
    BuildQuitPanel();
    BuildBoardSizeMenu();
    BuildGameModeMenu();
    BuildSettingsPanel();
    BuildGameOverPanel(0, true);
}
