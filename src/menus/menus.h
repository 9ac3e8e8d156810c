// menus.h: the menu panels and their buttons, and the moving background behind the menus.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// One button: the image drawn now (normal or hover), where it is drawn, and its
// hit rectangle; the pointer is over the button only when strictly inside.
struct MenuButton {
    int image = 0;
    int drawX = 0;
    int drawY = 0;
    int hitX1 = 0;
    int hitY1 = 0;
    int hitX2 = 0;
    int hitY2 = 0;
};

inline bool PointInButton(const MenuButton& b, int x, int y) {
    return b.hitX1 < x && x < b.hitX2 && b.hitY1 < y && y < b.hitY2;
}

// Renders every panel and its buttons in the current language (start-up, display
// rebuild, language change) and the game-over panel with score 0.
void BuildAllPanels();
// The background of the menu screens: built for the screen size, advanced per frame.
// BuildGemWall fills the wall for a screen of width x height in tiles of `tile`
// and answers its last column index (kept as GemWallColumns); ScrollGemWall moves
// it up one pixel, recycling the top row; DrawGemWall draws it on black.
int BuildGemWall(int width, int height, int tile);
void ScrollGemWall(int columns, int tile);
void DrawGemWall();
// The same picture as DrawGemWall, every gem drawn with its transparency.
void DrawGemWallGemByGem();
// Sprite numbers kept for the gem wall's tiles: GemWallFirstTileSprite + colour (1..11).
constexpr int GemColourCount = 11;
constexpr int GemWallFirstTileSprite = 200;

// ---------------------------------------------------------------------------
// Button arrays and hovered-button numbers of every menu-like screen. Arrays are
// numbered from 1 (slot 0 is never used); a hover number of 0 means none.

struct MenuPanel {
    int image = 0;  // panel image number
    int x = 0;      // where it is drawn
    int y = 0;
};

struct GemTile {
    int image = 0;
    int x = 0;
    int y = 0;
};

struct MenuScreensState {
    MenuButton MainMenu[7];
    MenuButton BoardSize[5];
    MenuButton GameMode[5];
    MenuButton Help[2];
    MenuButton Credits[2];
    MenuButton Settings[8];
    MenuButton Quit[3];
    MenuButton InGame[4];
    MenuButton InGameQuit[3];
    MenuButton GameOver[3];
    int MainMenuHover = 0;
    int BoardSizeHover = 0;
    int GameModeHover = 0;
    int HelpHover = 0;
    int CreditsHover = 0;
    int SettingsHover = 0;
    int QuitHover = 0;
    int InGameHover = 0;
    int InGameQuitHover = 0;
    int GameOverHover = 0;
    // Panels: main menu 6, board size 17, game mode 18, help 12, credits 10,
    // settings 8, quit 13 (twice: menu and in-game place), in-game menu 15, game over 16.
    MenuPanel MainMenuPanel, BoardSizePanel, GameModePanel, HelpPanel, CreditsPanel,
        SettingsPanel, QuitPanel, InGamePanel, InGameQuitPanel, GameOverPanel;
    // The main menu panel's display width: as computed (for its own buttons) and
    // as the panel's integer display width (for every popup).
    float MainMenuWidth = 0.0f;
    int PopupSide = 0;
    // How often every panel has been rendered (start-up, rebuilds, language changes).
    int PanelRenders = 0;
    // Settings row images: per language (normal, hover) and per resolution entry
    // (normal, hover, inactive), in list order.
    std::vector<int> LanguageImages;
    std::vector<int> ResolutionImages;
    std::vector<GemTile> GemWall;
    int GemWallColumns = 0;
    // Per gem colour (1..11), the opaque tile sprite of that gem on black; 0 where
    // the gem is drawn with its own transparency.
    std::array<int, GemColourCount + 1> GemWallTileSprites = {};
    // A key moved or used the highlight: the pointer leaves it alone until it
    // moves away from where it was then (KeyPointerX, KeyPointerY).
    int KeyHoldsHighlight = 0;
    int KeyPointerX = 0;
    int KeyPointerY = 0;
};

extern MenuScreensState Menus;

// Back to the start-up values (tests); frees nothing.
void ResetMenuState();

// Hover setters: every button of the screen shows its normal image, then button
// n (1..N) its hover image.
void ResetMainMenuHover(int n);
void ResetBoardSizeHover(int n);
void ResetGameModeHover(int n);
void ResetHelpHover(int n);
void ResetCreditsHover(int n);
void ResetSettingsRows(int n);
void ResetQuitHover(int n);
void ResetInGameHover(int n);
void ResetInGameQuitHover(int n);
void ResetGameOverHover(int n);

// The buttons of the menu-like screen of a screen state (2..8, 10..12); null and
// count 0 for the other states.
struct MenuScreenRef {
    MenuButton* buttons = nullptr;  // numbered from 1
    int count = 0;
    int* hover = nullptr;
    void (*setHover)(int) = nullptr;
    const MenuPanel* panel = nullptr;
};
MenuScreenRef MenuScreenFor(int screenState);

// Enters a menu-like screen with no button hovered: its hovered-button number 0,
// every button in its normal image, then the screen state.
void EnterMenuScreen(int screenState);

// Hover from the pointer: the first button strictly containing (x, y), the setter
// called only when the number changes. While a key holds the highlight, a pointer
// still where it was leaves it alone.
void UpdateMenuHover(int screenState, int x, int y);

// ---------------------------------------------------------------------------
// Keyboard and game controller on the menu-like screens (2..8, 10..12).

// What the keys of a frame ask the app to do on a menu screen.
enum MenuKeyAction {
    MenuKeyNone = 0,
    MenuKeyClick,     // a click on the highlighted button, exactly as the pointer's
    MenuKeyStepBack   // settings: the highlighted row's value stepped the other way round
};
// Runs once every frame after the keyboard is read, whatever the screen: on the
// menu-like screen of `screenState` Down/Up, Tab/Shift+Tab and the controller's
// up/down move the highlight (wrapping; from none to the first or last button),
// Left/Right move between YES and NO, and on the settings screen change the
// highlighted row; Return, keypad Enter, Space and the controller's A ask for a
// click when a button is highlighted. For any other state it only follows the keys.
MenuKeyAction HandleMenuKeys(int screenState);
// The keys that mean Escape on a screen: Escape and the controller's Start
// everywhere, its B everywhere but the play screen (where it puts a piece back).
bool BackKeyReleased(int screenState);
// A pointer click takes the highlight back from the keys (the caller then
// updates the hover from the pointer before the click).
void ReleaseKeyHighlight();
// The panel and the buttons of a menu-like state (not the background).
void DrawMenuScreen(int screenState);
// The game-over panel with the final score and, with newBest, the new-best line
// (the board rules have already updated the table); the buttons are rendered only with withButtons.
void BuildGameOverPanel(int score, bool withButtons, bool newBest = false);

// Colours shared by every panel (packed as the platform's RGB/RGBA).
constexpr uint32_t PanelColour = uint32_t(38) | (uint32_t(35) << 8) | (uint32_t(32) << 16);
constexpr uint32_t TextColour = 0xFFFFFFFFu;
constexpr uint32_t HoverTextColour = uint32_t(49) | (uint32_t(166) << 8) | (uint32_t(222) << 16) | 0xFF000000u;
constexpr uint32_t TitleColour = uint32_t(176) | (uint32_t(203) << 8) | (uint32_t(16) << 16);
constexpr uint32_t DisabledTextColour = uint32_t(95) | (uint32_t(95) << 8) | (uint32_t(95) << 16) | (uint32_t(95) << 24);

// Settings screen: opening copies the settings in force to the pending copies;
// a row click steps its pending value; OK applies, CANCEL drops them.
void OpenSettings();
void StepSettingsRow(int row);
// The same step the other way round (previous language, previous mode, lower resolution).
void StepSettingsRowBack(int row);
// OK: applies the pending values. When they need a new screen it sets
// App.ReopenPending and leaves the rebuild to the caller; else it enters the
// main menu.
void ApplySettings();

// ---------------------------------------------------------------------------
// Panel builders. Each renders its panel and button images in the current
// language, at the artwork's own size, scales them to the display and fills its
// button records. The main menu comes first: every popup takes its width.

void BuildMainMenu();
void BuildGameModeMenu();
void BuildBoardSizeMenu();
void BuildQuitPanel();
void BuildInGameMenu();
void BuildSettingsPanel();
void BuildHelpPanel();
void BuildCreditsPanel();
// The panels after a language change alone, in the order that change needs.
void RebuildPanelsForLanguage();

// Where the help text is laid out on its panel, in pixels of the 1272 x 1601
// artwork, and the font it is drawn in; the BACK row starts below it.
constexpr int HelpTextLeft = 125;
constexpr int HelpTextTop = 284;
constexpr int HelpTextRight = 1022;
constexpr int HelpLineHeight = 50;
constexpr int HelpBackRow = 1360;
constexpr int HelpTextFont = 10;

// The help text renderer: words separated by single blanks, "n{K}" moves K lines
// down to the left margin, "c{" ... "}" draws in the highlight colour. Draws into
// the current output with the current font; returns the y of the last line.
int DrawMarkupText(int x0, int y0, int rightLimit, int lineHeight, const std::string& text,
                   uint32_t normalColour, uint32_t highlightColour);
