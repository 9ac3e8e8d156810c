// screens.h: what the main loop asks of the play screen: game start, drawing, pointer and game end.
#pragma once

// The carried piece and the status bar's menu button (the play screen's own state).
struct PlayState {
    int Dragging = 0;
    int DragShape = 0;
    int DragSlot = 0;
    int DragHalfWidth = 0;
    int DragHalfHeight = 0;
    int MenuButtonImage = 0;  // normal or hover image of the status bar's menu button
};
extern PlayState Play;

// Starts a game with the current game mode and board size: a new board and tray,
// the game variables reset and state 9; with switchMusic the menu track gives
// way to the game track. Returns false (nothing changed) without a valid mode and size.
bool StartGame(bool switchMusic);
// Leaving a finished or abandoned game for the main menu: the game stops, the
// music goes back to the menu track and the main menu is entered with no hover.
// From the in-game quit question the music is touched only when it is on.
void EndGameForMenu(bool fromQuitQuestion);

// Everything under the panels of states 9 to 12, then their shadow and panel.
void DrawPlayScreen(int screenState);
// Left button down / up in state 9: pick a tray piece up, drop the carried one.
void PickUpPiece();
void DropPiece();
// Hover image of the status bar's menu button (state 9, no piece carried).
void UpdateMenuButtonHover();
// A click in state 9: the status bar's menu button opens the in-game menu.
// Returns true when the click was taken.
bool ClickMenuButton();
// State 9: one frame of the clear effect, then whatever the rules asked for.
void StepPlayFrame();
// Hands the queued requests of the board rules to sound, status bar and screens.
void HandleBoardEvents();
