// play.h: the play screen: game start, drawing, pointer, keys and game end, as the main loop asks for them.
#pragma once

#include <optional>
#include <string>

// A draw position in screen pixels.
struct ScreenPoint {
    int x = 0;
    int y = 0;
};

// The edges of the board (4), the tray (3) and the status-bar cells (2 each), in frame order.
constexpr int EdgeCount = 4 + 3 + 2 * 4;

// Where the board's frame is drawn; fixed at every game start by LayoutBoardFrame.
struct BoardFramePlaces {
    ScreenPoint TopEdge;
    ScreenPoint BottomEdge;
    ScreenPoint LeftEdge;   // the image made from "frame_right.png"
    ScreenPoint RightEdge;  // the image made from "frame_left.png"
    ScreenPoint TopLeft;    // the four corner ornaments, 2T square each
    ScreenPoint TopRight;
    ScreenPoint BottomLeft;
    ScreenPoint BottomRight;
    // The background, with every edge that lies over nothing else drawn before it,
    // composed into one image for this game; the other edges are drawn in the frame.
    bool BackdropComposed = false;
    bool EdgeInBackdrop[EdgeCount] = {};
};

// The carried piece and the status bar's menu button (the play screen's own state).
struct PlayState {
    int Dragging = 0;
    int DragShape = 0;
    int DragSlot = 0;
    int DragHalfWidth = 0;   // half the carried image's display size, taken at pick-up
    int DragHalfHeight = 0;
    int MenuButtonImage = 0;  // normal or hover image of the status bar's menu button
    // A piece carried by the keys sits on the board with its origin on a cell
    // (the keyboard cursor); the mouse's Dragging stays 0 meanwhile.
    int KeyCarried = 0;
    int KeyShape = 0;
    int KeySlot = 0;
    int KeyColumn = 0;
    int KeyRow = 0;
    BoardFramePlaces Frame;
};
extern PlayState Play;

// What the mouse did last, so that any movement or press hands play back to it;
// kept across games, since the pointer stays hidden until the mouse moves.
struct PointerWatch {
    int LastX = 0;
    int LastY = 0;
    int LastButtons = 0;  // one bit per button, 1 << MOUSE_LEFT and so on
    int Hidden = 0;  // the keys are in use: no pointer image, no window cursor
};
extern PointerWatch Pointer;

// What the three status-bar boxes show now (nothing yet when empty), so that a
// box is only rendered again when its text changes. Emptied whenever the box
// images are made anew.
struct StatusBoxTexts {
    std::optional<std::string> Mode;
    std::optional<std::string> Score;
    std::optional<std::string> Best;
};
extern StatusBoxTexts StatusBoxes;

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
// Sizes the board's edge images for a board of `columns` columns and places the
// edges and corner ornaments around the current board.
void LayoutBoardFrame(int columns);
// Render one status-bar box (mode 1..3, a score, a best score) when its text changed.
void DrawModeBox(int mode);
void DrawScoreBox(int score);
void DrawBestBox(int best);

// Left button down / up in state 9: pick a tray piece up, drop the carried one.
void PickUpPiece();
void DropPiece();
// Hover image of the status bar's menu button (state 9, no piece carried).
void UpdateMenuButtonHover();
// A click in state 9: the status bar's menu button opens the in-game menu.
// Returns true when the click was taken.
bool ClickMenuButton();
// play_keys.cpp: once a frame before the pointer handling: a mouse movement or
// a new press puts a key-carried piece back, and a movement shows the pointer again.
void NoticeMouse();
// State 9: the keys and gamepad codes that take, move, place and put back a piece.
void HandleCarryKeys();
// A key-carried piece back into its slot, silently; nothing when none is carried.
void PutKeyPieceBack();
// Escape in states 9 to 12, acted on once per frame (the main loop handles F2, M, N and the volume keys first).
void HandlePlayKeys();
// State 9: one frame of the clear effect, then whatever the rules asked for.
void StepPlayFrame();
// Hands the queued requests of the board rules to sound, status bar and screens.
void HandleBoardEvents();
