// play_game.cpp: starting and leaving a game, the per-frame step of the clear effect, and the board rules' requests.
#include "app/app.h"
#include "app/screens.h"
#include "audio/audio.h"
#include "board.h"
#include "display/assets.h"
#include "display/display.h"
#include "menus/menus.h"

PlayState Play;

bool StartGame(bool switchMusic) {
    // Image handles change with every display rebuild, so the board gets them afresh.
    BoardSetImages(Assets.Gem, Assets.GemEffect, Assets.TrayShape, ImgEmptyTraySlot);
    ClearBoardEvents();
    // A new empty board placed on the screen, a full tray, score and effect reset.
    if (!BoardStartGame(Display.ScreenWidth, Display.TileSize, Display.BoardTop)) {
        return false;
    }
    LayoutBoardFrame(Board.Columns);
    DrawModeBox(GameVars.GameMode);
    DrawBestBox(BestScoreFor(GameVars.GameMode, GameVars.BoardSize));
    DrawScoreBox(0);
    if (switchMusic) {
        EnterGameMusic();
    }
    // No piece carried, the menu button in its normal look; the frame stays as laid out.
    const BoardFramePlaces frame = Play.Frame;
    Play = PlayState{};
    Play.Frame = frame;
    Play.MenuButtonImage = ImgMenuButton;
    Menus.GameOverHover = 0;
    App.ScreenState = StatePlaying;
    return true;
}

void EndGameForMenu(bool fromQuitQuestion) {
    GameVars.GameRunning = 0;
    if (fromQuitQuestion) {
        LeaveGameMusicAfterQuitQuestion();
    } else {
        LeaveGameMusic();
    }
    Menus.MainMenuHover = 0;
    ResetMainMenuHover(0);
    App.ScreenState = StateMainMenu;
}

void HandleBoardEvents() {
    for (int i = 0; i < BoardEvents.Count; ++i) {
        const BoardEvent& e = BoardEvents.Items[i];
        switch (e.kind) {
            case EventSound:
                PlayEffect(e.value);
                break;
            case EventDragEnded:
                Play.Dragging = 0;
                break;
            case EventScoreChanged:
                DrawScoreBox(e.value);
                break;
            case EventGameOver:
                Menus.GameOverHover = 0;
                ResetGameOverHover(0);
                BuildGameOverPanel(e.value, false, e.newBest != 0);
                App.ScreenState = StateGameOver;
                break;
            default:
                break;
        }
    }
    ClearBoardEvents();
}

void StepPlayFrame() {
    // The fade only runs in a game on screen: the in-game menu holds it where it is.
    if (App.ScreenState != StatePlaying || !GameVars.GameRunning || !Effects.EffectActive) {
        return;
    }
    // The frame that ends the fade also runs the end-of-move test, which may end the game.
    StepClearEffect();
    HandleBoardEvents();
}
