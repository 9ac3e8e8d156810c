// play_game.cpp: a game on the screen: its start and end, the board rules' requests, the clear effect's
// frames, and the mouse and keys during play (picking up and dropping pieces, the status-bar menu button).
//
// The windowed modes call PickUpPiece, DropPiece and ClickMenuButton from the
// window's button-down, button-up and click events; the full screen calls them
// from the mouse state polled once per frame. Every test against a rectangle is
// strict on all four sides, so a press exactly on a border does nothing.
#include "core/state.h"
#include "play/play.h"
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
    EnterMenuScreen(StateMainMenu);
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
                if (e.newBest) SaveBestScores(App.SaveTo);  // kept even if the process never ends normally
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

// ---------------------------------------------------------------- pointer and keys

namespace {

bool GameOnScreen() { return App.ScreenState == StatePlaying && GameVars.GameRunning; }

}  // namespace

void PickUpPiece() {
    // No piece can be taken while the last clearing fades; the press is simply lost.
    if (!GameOnScreen()) return;
    // A press hands the game to the mouse: a piece the keys carry goes back first.
    PutKeyPieceBack();
    if (Effects.EffectActive) return;
    const int x = PointerX();
    const int y = PointerY();
    for (int k = 0; k < TraySlots; ++k) {
        if (Play.Dragging || Tray.Slots[k].piece <= 0 || !PointInRect(PlayLayout.TrayRect[k], x, y)) continue;
        // The slot shows the empty square while its piece is carried.
        const int shape = TakeFromTray(k);
        if (shape == 0) continue;
        Play.DragShape = shape;
        Play.DragSlot = k;
        Play.DragHalfWidth = SpriteWidth(Assets.Shape[shape]) / 2;
        Play.DragHalfHeight = SpriteHeight(Assets.Shape[shape]) / 2;
        Play.Dragging = 1;
    }
}

void DropPiece() {
    if (!GameOnScreen() || !Play.Dragging) return;
    // The top-left corner of the carried image picks the target cell by its snap zone.
    int column = 0;
    int row = 0;
    // The rules end the drag in every outcome: placed, or back in its slot.
    if (FindSnapCell(PointerX() - Play.DragHalfWidth, PointerY() - Play.DragHalfHeight, &column, &row)) {
        PlacePiece(column, row, Play.DragShape, Play.DragSlot);
    } else {
        RefuseDrop(Play.DragShape, Play.DragSlot);
    }
    HandleBoardEvents();
}

void UpdateMenuButtonHover() {
    // A carried piece leaves the button as it was.
    if (!GameOnScreen() || Play.Dragging) return;
    const bool over = PointInRect(PlayLayout.MenuButtonArea, PointerX(), PointerY());
    Play.MenuButtonImage = over ? ImgMenuButtonHover : ImgMenuButton;
}

bool ClickMenuButton() {
    if (!GameOnScreen() || !PointInRect(PlayLayout.MenuButtonArea, PointerX(), PointerY())) return false;
    PlayEffect(SndClick);
    EnterMenuScreen(StateInGameMenu);
    return true;
}

void HandlePlayKeys() {
    const int state = App.ScreenState;
    if (state < StatePlaying || state > StateGameOver) return;
    if (BackKeyReleased(state)) {
        switch (state) {
            case StatePlaying:
                // A carried piece stays on the pointer under the menu; the first
                // release back in the game drops it.
                EnterMenuScreen(StateInGameMenu);
                break;
            case StateInGameMenu:
                Menus.InGameHover = 0;
                ResetInGameHover(0);
                App.ScreenState = StatePlaying;
                break;
            case StateInGameQuit:
                EnterMenuScreen(StateInGameMenu);
                break;
            default:  // the game-over panel: as its MENU button
                EndGameForMenu(false);
                break;
        }
    }
}
