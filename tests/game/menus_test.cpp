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

// Every button of every panel at 1920 x 1080: its label (with the label's width in
// its font, as the shipped font measures it), its row and its label-wide hit
// rectangle, worked out from the panel places above. A centred label of width tw
// on a panel at x of display width P (artwork 1030 wide) spans
// x + P * (515 - tw / 2) / 1030 .. x + P * (515 + tw - tw / 2) / 1030; for example
// START (251) on the main menu: 703 + 515 * 390 / 1030 = 898 .. 703 + 515 * 641 / 1030 = 1023.
struct ButtonFigures {
    int state, button;
    const char* label;
    int font, labelWidth;  // font -1: the row spans 120..1142 whatever its label
    int drawY, hitX1, hitX2;
};
const ButtonFigures FullHdButtons[] = {
    {StateMainMenu, 1, "tMenuSTART", 0, 251, 471, 898, 1023},
    {StateMainMenu, 2, "tMenuQUICKGAME", 0, 550, 545, 823, 1098},
    {StateMainMenu, 3, "tMenuSETTINGS", 0, 415, 620, 857, 1064},
    {StateMainMenu, 4, "tMenuHELP", 0, 223, 694, 905, 1016},
    {StateMainMenu, 5, "tMenuCREDITS", 0, 353, 768, 872, 1049},
    {StateMainMenu, 6, "tMenuQUIT", 0, 214, 842, 907, 1014},
    {StateBoardSize, 1, "tBoardsizeSMALL", 15, 289, 529, 888, 1033},
    {StateBoardSize, 2, "tBoardsizeMEDIUM", 15, 361, 603, 870, 1051},
    {StateBoardSize, 3, "tBoardsizeLARGE", 15, 273, 677, 892, 1029},
    {StateBoardSize, 4, "tBoardsizeBACK", 15, 222, 787, 905, 1016},
    {StateGameMode, 1, "tGamemodeEASY", 17, 214, 529, 907, 1014},
    {StateGameMode, 2, "tGamemodeNORMAL", 17, 374, 603, 867, 1054},
    {StateGameMode, 3, "tGamemodeUNPREDICTABLE", 17, 693, 677, 787, 1134},
    {StateGameMode, 4, "tGamemodeBACK", 17, 222, 787, 905, 1016},
    {StateHelp, 1, "tHelpBACK", 12, 169, 920, 921, 1000},
    {StateCredits, 1, "tCreditsBACK", 4, 169, 920, 921, 1000},
    {StateSettings, 1, "tSettingsLANGUAGE", -1, 0, 518, 705, 1216},
    {StateSettings, 2, "tSettingsMUSIC", -1, 0, 568, 705, 1216},
    {StateSettings, 3, "tSettingsSOUNDFX", -1, 0, 618, 705, 1216},
    {StateSettings, 4, "tSettingsSCREENMODE", -1, 0, 668, 705, 1216},
    {StateSettings, 5, "tSettingsRESOLUTION", -1, 0, 718, 705, 1216},
    {StateSettings, 6, "tSettingsOK", 5, 96, 828, 705, 753},
    {StateSettings, 7, "tSettingsCANCEL", 5, 268, 828, 1082, 1216},
    {StateQuitConfirm, 1, "tQuitYES", 9, 160, 797, 763, 843},
    {StateQuitConfirm, 2, "tQuitNO", 9, 140, 797, 1088, 1158},
    {StateInGameQuit, 1, "tQuitYES", 9, 160, 679, 763, 843},
    {StateInGameQuit, 2, "tQuitNO", 9, 140, 679, 1088, 1158},
    {StateInGameMenu, 1, "tInGameRESUME", 13, 356, 448, 871, 1049},
    {StateInGameMenu, 2, "tInGameRESTART", 13, 355, 522, 872, 1049},
    {StateInGameMenu, 3, "tInGameQUIT", 13, 214, 596, 907, 1014},
    {StateGameOver, 1, "tGameOverRETRY", 19, 257, 596, 896, 1025},
    {StateGameOver, 2, "tGameOverMENU", 19, 265, 669, 894, 1027},
};

void ExpectEveryButtonAtItsWorkedPlace() {
    const int scratch = CreateImage(PF_ANY, 8, 8);
    ASSERT_TRUE(StartDrawing(ImageOutput(scratch)));
    for (const ButtonFigures& f : FullHdButtons) {
        SCOPED_TRACE(std::string(f.label) + " on button " + std::to_string(f.button));
        if (f.font >= 0) {
            UseFont(f.font);
            ASSERT_EQ(TextWidth(Text(f.label)), f.labelWidth) << "the figures assume the shipped font";
        }
        const MenuButton& b = MenuScreenFor(f.state).buttons[f.button];
        EXPECT_EQ(b.drawY, f.drawY);
        EXPECT_EQ(b.hitX1, f.hitX1);
        EXPECT_EQ(b.hitX2, f.hitX2);
    }
    StopDrawing();
    FreeImage(scratch);
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
        if (screen.width == 1920) ExpectEveryButtonAtItsWorkedPlace();
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

// When drawing on a menu panel cannot start (here: its artwork is gone), the
// panel's buttons get zero size and keep their previous hit rectangles.
TEST_F(MenuScreens, FailedPanelDrawingGivesZeroSizeButtons) {
    StartAtMainMenu();
    struct Case {
        int state;
        void (*build)();
        int artwork;
    };
    const Case cases[] = {{StateGameMode, BuildGameModeMenu, ImgQuitTemplate},
                          {StateBoardSize, BuildBoardSizeMenu, ImgQuitTemplate},
                          {StateQuitConfirm, BuildQuitPanel, ImgQuitTemplate},
                          {StateMainMenu, BuildMainMenu, ImgMainMenuTemplate}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        const MenuScreenRef screen = MenuScreenFor(c.state);
        const MenuButton before = screen.buttons[1];
        ASSERT_GT(SpriteWidth(before.image), 0);
        FreeSprite(c.artwork);
        c.build();
        for (int i = 1; i <= screen.count; ++i) {
            EXPECT_EQ(SpriteWidth(screen.buttons[i].image), 0) << "button " << i;
            EXPECT_EQ(SpriteHeight(screen.buttons[i].image), 0) << "button " << i;
        }
        EXPECT_EQ(screen.buttons[1].hitX1, before.hitX1);
        EXPECT_EQ(screen.buttons[1].hitY1, before.hitY1);
        EXPECT_EQ(screen.buttons[1].hitX2, before.hitX2);
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

