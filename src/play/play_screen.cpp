// play_screen.cpp: starting and leaving a game, a plain play screen (board, tray, menu button, carried
// piece, clear effect), picking up and dropping, and the board rules' requests passed on.
#include "app/app.h"
#include "app/screens.h"
#include "app/spine.h"
#include "audio/audio.h"
#include "board.h"
#include "data/best_scores.h"
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
                if (e.newBest) SaveBestScores(App.SaveTo);  // kept even if the process never ends normally
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

// the carried piece and the fading clear effect, with picking up, dropping and the menu button.

void DrawPlayScreen(int screenState) {
    DrawSpriteOpaque(ImgPlayBackground, 0, 0);
    for (int i = 0; i < Board.Columns; ++i) {
        for (int j = 0; j < BoardRows; ++j) {
            const BoardCell& cell = CellAt(i, j);
            DrawSprite(cell.image, cell.x, cell.y);
        }
    }
    for (int k = 0; k < TraySlots; ++k) {
        DrawSpriteOpaque(Tray.Slots[k].image, PlayLayout.TrayRect[k].x1, PlayLayout.TrayRect[k].y1);
    }
    const StatusBarCell& menuCell = PlayLayout.StatusCell[CellMenuButton];
    DrawSpriteOpaque(Play.MenuButtonImage, menuCell.contentX, menuCell.contentY);
    if (Play.Dragging) {
        DrawSprite(Assets.Shape[Play.DragShape], PointerX() - Play.DragHalfWidth,
                   PointerY() - Play.DragHalfHeight);
    }
    if (Effects.EffectActive) {
        for (int e = 0; e < Effects.Count; ++e) {
            const ClearEffect& item = Effects.Items[e];
            DrawSprite(item.image, item.x, item.y, item.alpha < 0 ? 0 : item.alpha);
        }
    }
    if (screenState >= StateInGameMenu) {
        DrawSprite(ImgShadow, 0, 0);
        DrawMenuScreen(screenState);
    }
}

void PickUpPiece() {
    if (App.ScreenState != StatePlaying || !GameVars.GameRunning || Effects.EffectActive || Play.Dragging) {
        return;
    }
    const int x = PointerX();
    const int y = PointerY();
    for (int k = 0; k < TraySlots; ++k) {
        if (!PointInRect(PlayLayout.TrayRect[k], x, y) || Tray.Slots[k].piece <= 0) {
            continue;
        }
        int shape = TakeFromTray(k);
        if (shape == 0) {
            continue;
        }
        Play.Dragging = 1;
        Play.DragShape = shape;
        Play.DragSlot = k;
        Play.DragHalfWidth = SpriteWidth(Assets.Shape[shape]) / 2;
        Play.DragHalfHeight = SpriteHeight(Assets.Shape[shape]) / 2;
        return;
    }
}

void DropPiece() {
    if (App.ScreenState != StatePlaying || !GameVars.GameRunning || !Play.Dragging) {
        return;
    }
    // The top-left corner of the carried image picks the target cell.
    int column = 0;
    int row = 0;
    if (FindSnapCell(PointerX() - Play.DragHalfWidth, PointerY() - Play.DragHalfHeight, &column, &row)) {
        PlacePiece(column, row, Play.DragShape, Play.DragSlot);
        HandleBoardEvents();
    } else {
        PlayEffect(SndRefused);
        Tray.Slots[Play.DragSlot].image = BoardImages.Tray[Play.DragShape];
    }
    Play.Dragging = 0;
}

void UpdateMenuButtonHover() {
    if (App.ScreenState != StatePlaying || !GameVars.GameRunning || Play.Dragging) {
        return;
    }
    bool over = PointInRect(PlayLayout.MenuButtonArea, PointerX(), PointerY());
    Play.MenuButtonImage = over ? ImgMenuButtonHover : ImgMenuButton;
}

bool ClickMenuButton() {
    if (App.ScreenState != StatePlaying || !GameVars.GameRunning) {
        return false;
    }
    if (!PointInRect(PlayLayout.MenuButtonArea, PointerX(), PointerY())) {
        return false;
    }
    PlayEffect(SndClick);
    Menus.InGameHover = 0;
    ResetInGameHover(0);
    App.ScreenState = StateInGameMenu;
    return true;
}
