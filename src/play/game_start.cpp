// game_start.cpp: starting and leaving a game, and passing the board rules' requests on to the screens.
#include "app/app.h"
#include "app/screens.h"
#include "audio/audio.h"
#include "board.h"
#include "display/assets.h"
#include "display/display.h"
#include "menus/menus.h"
#include "platform.h"

PlayState Play;

bool StartGame(bool switchMusic) {
    // Image handles change with every display rebuild, so the board gets them afresh.
    BoardSetImages(Assets.Gem, Assets.GemEffect, Assets.TrayShape, ImgEmptyTraySlot);
    ClearBoardEvents();
    if (!BoardStartGame(Display.ScreenWidth, Display.TileSize, Display.BoardTop)) {
        return false;
    }
    if (switchMusic) {
        EnterGameMusic();
    }
    Play = PlayState{};
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
            case EventGameOver:
                Menus.GameOverHover = 0;
                ResetGameOverHover(0);
                BuildGameOverPanel(e.value, false, e.newBest != 0);
                App.ScreenState = StateGameOver;
                break;
            default:
                break;  // the score box is redrawn by the play screen when it has one
        }
    }
    ClearBoardEvents();
}

void StepPlayFrame() {
    if (App.ScreenState != StatePlaying || !GameVars.GameRunning || !Effects.EffectActive) {
        return;
    }
    StepClearEffect();
    HandleBoardEvents();
}
