// menus_test.cpp: the panels' geometry at two screen sizes, hover rules, a whole walk through the menus, game over.
#include <gtest/gtest.h>

#include <string>

#include "play/play.h"
#include "app/spine.h"
#include "audio/audio.h"
#include "board.h"
#include "data/text.h"
#include "display/assets.h"
#include "display/display.h"
#include "harness.h"
#include "platform.h"

namespace {

using MenuScreens = HarnessTest;

struct PanelFigures {
    int state;
    int x, y, width, height;  // panel on the screen
    int firstDrawY;           // draw y of button 1
    int buttonWidth, buttonHeight;
};

// Worked out by hand from the layout rules, with the logo shown 950 x 237 at
// 1920 x 1080 (menu line 658) and 500 x 126 at 1024 x 768 (menu line 447).
struct ScreenFigures {
    int width, height;
    float mainMenuWidth;
    PanelFigures panels[10];
};
const ScreenFigures Figures[] = {
    {1920, 1080, 515.0f,
     {{StateMainMenu, 703, 333, 515, 650, 471, 515, 45},
      {StateBoardSize, 703, 401, 515, 515, 529, 515, 45},
      {StateGameMode, 703, 401, 515, 515, 529, 515, 45},
      {StateHelp, 663, 283, 595, 750, 920, 595, 30},
      {StateCredits, 663, 283, 595, 750, 920, 595, 30},
      {StateSettings, 645, 378, 631, 560, 518, 631, 32},
      {StateQuitConfirm, 703, 401, 515, 515, 797, 515, 45},
      {StateInGameMenu, 703, 283, 515, 515, 448, 515, 45},
      {StateInGameQuit, 703, 283, 515, 515, 679, 515, 45},
      {StateGameOver, 703, 283, 515, 515, 596, 515, 45}}},
    {1024, 768, 366.2222f,
     {{StateMainMenu, 329, 220, 366, 455, 317, 366, 32},
      {StateBoardSize, 329, 264, 366, 366, 355, 366, 32},
      {StateGameMode, 329, 264, 366, 366, 355, 366, 32},
      {StateHelp, 304, 185, 417, 525, 630, 417, 21},
      {StateCredits, 304, 185, 417, 525, 630, 417, 21},
      {StateSettings, 292, 251, 441, 392, 349, 441, 22},
      {StateQuitConfirm, 329, 264, 366, 366, 545, 366, 32},
      {StateInGameMenu, 329, 201, 366, 366, 318, 366, 32},
      {StateInGameQuit, 329, 201, 366, 366, 482, 366, 32},
      {StateGameOver, 329, 201, 366, 366, 423, 366, 32}}},
};

// The label-wide hit rectangle of a centred menu button, from the label's width.
void ExpectCentredHit(const MenuButton& b, int panelX, int panelWidth, int font, const std::string& label) {
    UseFont(font);
    const int tw = TextWidth(label);
    EXPECT_EQ(b.hitX1, panelX + panelWidth * (515 - tw / 2) / 1030) << label;
    EXPECT_EQ(b.hitX2, panelX + panelWidth * (515 + tw - tw / 2) / 1030) << label;
}

TEST_F(MenuScreens, PanelsButtonsAndHitRectanglesFollowTheLayoutRules) {
    for (const ScreenFigures& screen : Figures) {
        HarnessOptions options;
        options.desktopWidth = screen.width;
        options.desktopHeight = screen.height;
        StartHarness(options);
        SCOPED_TRACE(std::to_string(screen.width) + "x" + std::to_string(screen.height));
        ASSERT_EQ(SpriteStoredWidth(ImgGameLogo), 1500) << "the figures assume the 1500 x 370 logo";
        ASSERT_EQ(SpriteStoredHeight(ImgGameLogo), 370);
        EXPECT_FLOAT_EQ(Menus.MainMenuWidth, screen.mainMenuWidth);
        for (const PanelFigures& f : screen.panels) {
            SCOPED_TRACE("state " + std::to_string(f.state));
            const MenuScreenRef ref = MenuScreenFor(f.state);
            EXPECT_EQ(ref.panel->x, f.x);
            EXPECT_EQ(ref.panel->y, f.y);
            EXPECT_EQ(SpriteWidth(ref.panel->image), f.width);
            EXPECT_EQ(SpriteHeight(ref.panel->image), f.height);
            EXPECT_EQ(ref.buttons[1].drawY, f.firstDrawY);
            for (int i = 1; i <= ref.count; ++i) {
                const MenuButton& b = ref.buttons[i];
                EXPECT_EQ(SpriteWidth(b.image), f.buttonWidth) << "button " << i;
                EXPECT_EQ(SpriteHeight(b.image), f.buttonHeight) << "button " << i;
                EXPECT_EQ(b.drawX, f.x);
                EXPECT_EQ(b.hitY1, b.drawY);
                EXPECT_EQ(b.hitY2, b.hitY1 + f.buttonHeight);
            }
        }
        // Rows of the main menu (1404 high) and of a popup (1118 high), and the labels' widths.
        const int mainRows[] = {300, 460, 620, 780, 940, 1100};
        const char* mainLabels[] = {"tMenuSTART", "tMenuQUICKGAME", "tMenuSETTINGS",
                                    "tMenuHELP",  "tMenuCREDITS",   "tMenuQUIT"};
        const MenuPanel& main = Menus.MainMenuPanel;
        const int mainHeight = SpriteHeight(main.image);
        const int mainWidth = SpriteWidth(main.image);
        for (int i = 1; i <= 6; ++i) {
            EXPECT_EQ(Menus.MainMenu[i].drawY, main.y + mainHeight * mainRows[i - 1] / 1404);
            ExpectCentredHit(Menus.MainMenu[i], main.x, mainWidth, 0, Text(mainLabels[i - 1]));
        }
        const int side = Menus.PopupSide;
        const int modeRows[] = {280, 440, 600, 840};
        for (int i = 1; i <= 4; ++i) {
            EXPECT_EQ(Menus.GameMode[i].drawY, Menus.GameModePanel.y + side * modeRows[i - 1] / 1118);
        }
        ExpectCentredHit(Menus.GameMode[3], Menus.GameModePanel.x, side, 17, Text("tGamemodeUNPREDICTABLE"));
        ExpectCentredHit(Menus.InGame[2], Menus.InGamePanel.x, side, 13, Text("tInGameRESTART"));
        // The quit question: YES from 120, NO ending at 910 of the artwork.
        UseFont(9);
        for (const MenuButton* quit : {Menus.Quit, Menus.InGameQuit}) {
            const int x = quit == Menus.Quit ? Menus.QuitPanel.x : Menus.InGameQuitPanel.x;
            EXPECT_EQ(quit[1].hitX1, x + side * 120 / 1030);
            EXPECT_EQ(quit[1].hitX2, x + side * (TextWidth(Text("tQuitYES")) + 120) / 1030);
            EXPECT_EQ(quit[2].hitX1, x + side * (910 - TextWidth(Text("tQuitNO"))) / 1030);
            EXPECT_EQ(quit[2].hitX2, x + side * 910 / 1030);
        }
        // Settings rows span 120..1142 of the 1262-wide artwork; OK and CANCEL only their labels.
        const MenuPanel& settings = Menus.SettingsPanel;
        const int p = SpriteWidth(settings.image);
        EXPECT_EQ(Menus.Settings[1].hitX1, settings.x + p * 120 / 1262);
        EXPECT_EQ(Menus.Settings[5].hitX2, settings.x + p * 1142 / 1262);
        EXPECT_EQ(Menus.Settings[5].drawY, settings.y + SpriteHeight(settings.image) * 680 / 1120);
        UseFont(5);
        EXPECT_EQ(Menus.Settings[6].hitX2, settings.x + p * (TextWidth(Text("tSettingsOK")) + 120) / 1262);
        EXPECT_EQ(Menus.Settings[7].hitX1, settings.x + p * (1142 - TextWidth(Text("tSettingsCANCEL"))) / 1262);
        StopHarness();
    }
}

TEST_F(MenuScreens, HoverIsStrictTakesTheLowerButtonAndChangesOnlyOnANewButton) {
    StartAtMainMenu();
    MenuButton* b = Menus.MainMenu;
    const int midY = (b[2].hitY1 + b[2].hitY2) / 2;
    // Every edge of the rectangle is outside.
    const int edges[][2] = {{b[2].hitX1, midY}, {b[2].hitX2, midY}, {(b[2].hitX1 + b[2].hitX2) / 2, b[2].hitY1},
                            {(b[2].hitX1 + b[2].hitX2) / 2, b[2].hitY2}};
    for (const auto& point : edges) {
        UpdateMenuHover(StateMainMenu, point[0], point[1]);
        EXPECT_EQ(Menus.MainMenuHover, 0) << point[0] << "," << point[1];
    }
    UpdateMenuHover(StateMainMenu, b[2].hitX1 + 1, midY);
    EXPECT_EQ(Menus.MainMenuHover, 2);
    EXPECT_EQ(b[2].image, 22);
    // Moving within the button calls no setter: a changed image stays as it is.
    b[2].image = 777;
    UpdateMenuHover(StateMainMenu, b[2].hitX2 - 1, midY);
    EXPECT_EQ(b[2].image, 777);
    ResetMainMenuHover(2);
    // Overlapping rectangles: the lower number wins.
    b[3].hitY1 = b[2].hitY1;
    b[3].hitY2 = b[2].hitY2;
    b[3].hitX1 = b[2].hitX1;
    b[3].hitX2 = b[2].hitX2;
    UpdateMenuHover(StateMainMenu, 1, 1);
    UpdateMenuHover(StateMainMenu, b[2].hitX1 + 1, midY);
    EXPECT_EQ(Menus.MainMenuHover, 2);

    // An empty label leaves a zero-width rectangle that can never be hovered.
    SetText("tMenuSTART", "");
    BuildMainMenu();
    EXPECT_EQ(b[1].hitX1, b[1].hitX2);
    for (int x = b[1].hitX1 - 1; x <= b[1].hitX2 + 1; ++x) {
        UpdateMenuHover(StateMainMenu, x, (b[1].hitY1 + b[1].hitY2) / 2);
        EXPECT_EQ(Menus.MainMenuHover, 0);
    }
}

TEST_F(MenuScreens, WholeWalkThroughTheMenusAndAGame) {
    StartAtMainMenu();
    StartGameThroughMenus(2, 3);
    EXPECT_EQ(Board.Columns, 16);
    TapKey(KEY_ESCAPE);
    ASSERT_EQ(App.ScreenState, StateInGameMenu);
    ClickButton(StateInGameMenu, 2);  // RESTART
    ASSERT_EQ(App.ScreenState, StatePlaying);
    TapKey(KEY_ESCAPE);
    const int walk[][3] = {// state, button, state after
                           {StateInGameMenu, 3, StateInGameQuit},
                           {StateInGameQuit, 2, StateInGameMenu},
                           {StateInGameMenu, 3, StateInGameQuit},
                           {StateInGameQuit, 1, StateMainMenu},
                           {StateMainMenu, 2, StatePlaying}};
    for (const auto& step : walk) {
        ASSERT_EQ(App.ScreenState, step[0]);
        ClickButton(step[0], step[1]);
        EXPECT_EQ(App.ScreenState, step[2]) << "from " << step[0] << " button " << step[1];
    }
    EXPECT_EQ(GameVars.GameRunning, 1) << "QUICKGAME started a game";

    // Game over through a real game: the bot plays until nothing fits.
    uint64_t bot = 99;
    BoardMove move;
    while (App.ScreenState == StatePlaying && ChooseBotMove(BotRandom, &bot, &move)) {
        PlayMove(move);
        HandleBoardEvents();
    }
    ASSERT_EQ(App.ScreenState, StateGameOver);
    ClickButton(StateGameOver, 1);  // RETRY
    EXPECT_EQ(App.ScreenState, StatePlaying);
    EXPECT_EQ(GameVars.Score, 0);
    App.ScreenState = StateGameOver;
    GameVars.GameRunning = 0;
    ClickButton(StateGameOver, 2);  // MENU
    EXPECT_EQ(App.ScreenState, StateMainMenu);
    ClickButton(StateMainMenu, 6);
    ClickButton(StateQuitConfirm, 1);  // YES ends the loop
    EXPECT_EQ(App.QuitRequested, 1);
}

// The band of the game-over panel where the new-best line is drawn holds text.
bool NewBestLineShown() {
    for (int y = 500; y < 560; ++y) {
        for (int x = 100; x < 930; ++x) {
            if (SpritePixel(ImgGameOverPanel, x, y) == 0xFFFFFFFFu) return true;
        }
    }
    return false;
}

TEST_F(MenuScreens, GameOverComparesOnlyWithItsOwnModeAndSize) {
    StartAtMainMenu();
    StartGameThroughMenus(2, 1);  // NORMAL on SMALL
    SetBestScore(1, 2, 900000);   // EASY on MEDIUM holds far more
    SetBestScore(2, 1, 0);
    SetBestScore(3, 3, 5);
    for (int i = 0; i <= Board.LastColumn; ++i) {
        for (int j = 0; j < BoardRows; ++j) {
            CellAt(i, j).image = BoardImages.Gem[2];
            CellAt(i, j).colour = 2;
        }
    }
    GameVars.Score = 130;
    ASSERT_EQ(EndOfMoveTest(), 1);
    int newBestSounds = 0, gameOverSounds = 0;
    for (int i = 0; i < BoardEvents.Count; ++i) {
        if (BoardEvents.Items[i].kind != EventSound) continue;
        newBestSounds += BoardEvents.Items[i].value == SndNewBest;
        gameOverSounds += BoardEvents.Items[i].value == SndGameOver;
    }
    HandleBoardEvents();
    ASSERT_EQ(App.ScreenState, StateGameOver);
    EXPECT_EQ(newBestSounds, 1);
    EXPECT_EQ(gameOverSounds, 0);
    EXPECT_TRUE(NewBestLineShown());
    for (int mode = 1; mode <= 3; ++mode) {
        for (int size = 1; size <= 3; ++size) {
            const int expected = mode == 2 && size == 1 ? 130 : mode == 1 && size == 2 ? 900000
                                                            : mode == 3 && size == 3   ? 5
                                                                                       : 0;
            EXPECT_EQ(BestScoreFor(mode, size), expected) << mode << "," << size;
        }
    }
    // The same score again is no new best: no line.
    BuildGameOverPanel(130, false, false);
    EXPECT_FALSE(NewBestLineShown());
}

TEST_F(MenuScreens, GemWallKeepsItsTilesAndCoversTheScreenForTenThousandFrames) {
    StartAtMainMenu();
    const size_t tiles = Menus.GemWall.size();
    const int t = Display.TileSize;
    for (int frame = 0; frame < 10000; ++frame) {
        ScrollGemWall(Menus.GemWallColumns, t);
        ASSERT_EQ(Menus.GemWall.size(), tiles) << "frame " << frame;
        ASSERT_LE(Menus.GemWall.front().y, 0);
        ASSERT_GE(Menus.GemWall.back().y + t, Display.ScreenHeight);
    }
}

}  // namespace
