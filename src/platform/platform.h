// platform.h: everything the game may ask of the operating system, and nothing more.
//
// The game addresses sprites, images, sounds, fonts, packs, key files and windows
// by small numbers it chooses itself. Passing PF_ANY (-1) as the number makes the
// layer pick a free slot and return a non-zero handle that is used in place of the
// number from then on. Creating an object under a number already in use frees the
// old object first. Every creating call returns 0 on failure; nothing throws.
//
// Colours are packed red in the low byte, then green, then blue, with an alpha byte
// above where a call says so (RGBA). A colour made with RGB() has alpha 0 and is
// drawn opaque.
//
// Strings are UTF-8. File names are full paths; folder paths end with '/'.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

constexpr int PF_ANY = -1;

constexpr uint32_t RGB(int r, int g, int b) {
    return uint32_t(r & 255) | (uint32_t(g & 255) << 8) | (uint32_t(b & 255) << 16);
}
constexpr uint32_t RGBA(int r, int g, int b, int a) {
    return RGB(r, g, b) | (uint32_t(a & 255) << 24);
}
constexpr int ColourRed(uint32_t c) { return int(c & 255); }
constexpr int ColourGreen(uint32_t c) { return int((c >> 8) & 255); }
constexpr int ColourBlue(uint32_t c) { return int((c >> 16) & 255); }
constexpr int ColourAlpha(uint32_t c) { return int((c >> 24) & 255); }

// ---------------------------------------------------------------------------
// Backend and lifetime

enum PfBackend {
    PF_BACKEND_SYSTEM = 0,   // real display and sound device
    PF_BACKEND_HEADLESS = 1  // offscreen video, no sound device, FlipFrame never sleeps
};
// Chosen before InitSprite; the default is PF_BACKEND_SYSTEM.
void PfSelectBackend(int backend);
int PfIsHeadless();
// Test hook: the size the headless backend reports for desktop 0 (0, 0 = the
// driver's own; negative = a desktop that reports a size of 0).
void PfSetHeadlessDesktopSize(int width, int height);
// Test hook: how many objects of one kind exist now, numbered and handled alike
// (leak checks across a display rebuild).
enum { PF_OBJECTS_SPRITES = 1, PF_OBJECTS_IMAGES = 2, PF_OBJECTS_FONTS = 3 };
int PfLiveObjectCount(int kind);
// Frees every object of every kind and closes the devices. Safe to call twice;
// tests call it between cases to start from a clean layer.
void PfShutdown();

// The desktop asking the program to end: SIGTERM (log-out, shutdown, kill),
// SIGINT (Ctrl+C) and SIGHUP (a closed terminal) only set a flag from then on.
void PfInstallQuitSignals();
// The signal received since the last call (0 for none). Once it has answered
// one, the three signals end the process at once again.
int PfQuitSignalled();

// Subsystem start-up; 1 on success, 0 on failure.
int InitSprite();
int InitKeyboard();
int InitMouse();
// Opens the sound device. Without a usable device it still returns 1 and the
// mixer runs silently (PfSoundDeviceOpen() tells which).
int InitSound();

// ---------------------------------------------------------------------------
// Screen and frame

// Full screen at the desktop size (the display mode is never changed).
int OpenGameScreen(int width, int height, int depth, const std::string& title, int flipMode);
// A drawing surface filling the client area of a window opened with OpenGameWindow.
int OpenWindowedScreen(int window, int x, int y, int width, int height);
void CloseGameScreen();
int IsGameScreenOpen();
void SetFrameRate(int framesPerSecond);
void SetSpriteQuality(int quality);  // 1 = bilinear filtering of scaled sprites
void ClearFrame(uint32_t colour);
// Clears one rectangle of the frame (clipped to the screen) to an opaque colour.
void ClearFrameArea(int x, int y, int width, int height, uint32_t colour);
void FlipFrame();                    // present, then sleep to hold the frame rate
int IsScreenActive();
int ScreenWidth();
int ScreenHeight();
// Reads one pixel of the frame drawn so far (RGBA packed as above, alpha 255).
uint32_t ScreenPixel(int x, int y);

// What happened to the displays since the last call: unchanged, the desktop
// may have another size now (a resolution changed, a display added or removed,
// the screen's window resized or moved to another display), or the display the
// screen was opened on went away.
enum { PF_DISPLAY_UNCHANGED = 0, PF_DISPLAY_DESKTOP_CHANGED = 1, PF_DISPLAY_SCREEN_GONE = 2 };
int PfDisplayChanged();
// Test input: a display change as SDL's events would report it.
void PfInjectDisplayChange(int change);

// ---------------------------------------------------------------------------
// Sprites: images that can be drawn on the screen

enum { SPRITE_ALPHA = 1 };
// The PNG's structure is checked here (its chunks and their checksums); its
// pixels are decoded when first needed, and data that turns out undecodable
// then gives a clear sprite.
int LoadSpriteBytes(int number, const void* data, size_t size, int flags);
int CreateSprite(int number, int width, int height, int flags);
int CopySprite(int source, int destination, int flags);
void FreeSprite(int number);
int IsSprite(int number);
void ScaleSprite(int number, int width, int height);  // -1 = natural size
int SpriteWidth(int number);                          // display size
int SpriteHeight(int number);
int SpriteStoredWidth(int number);                    // pixel size as decoded
int SpriteStoredHeight(int number);
void DrawSprite(int number, int x, int y, int intensity = 255, int64_t tint = -1);
void DrawSpriteOpaque(int number, int x, int y);
// Reads one stored pixel of a sprite (RGBA packed), 0 when out of range.
uint32_t SpritePixel(int number, int x, int y);

// ---------------------------------------------------------------------------
// Images: pixels in memory that are never drawn on the screen directly

int LoadImageBytes(int number, const void* data, size_t size);
int CreateImage(int number, int width, int height);
int ResizeImage(int number, int width, int height);  // bilinear resampling
int ImageWidth(int number);
int ImageHeight(int number);
void FreeImage(int number);
int IsImage(int number);
uint32_t ImagePixel(int number, int x, int y);
// Captures a rectangle of the frame drawn so far into an image.
int GrabScreenImage(int number, int x, int y, int width, int height);
// Writes an image as a Windows bitmap; 1 when the whole file was written.
int SaveImageBmp(int number, const std::string& path);
// The same as a PNG file (RGB, no alpha); 1 when the whole file was written.
int SaveImagePng(int number, const std::string& path);

// ---------------------------------------------------------------------------
// 2D drawing onto a sprite or an image

using PfOutput = int64_t;
PfOutput SpriteOutput(int number);
PfOutput ImageOutput(int number);
int StartDrawing(PfOutput output);
void StopDrawing();

enum {
    DRAW_DEFAULT = 0,      // opaque: texts with their back colour, boxes replace pixels
    DRAW_TRANSPARENT = 1,  // texts without their back box
    DRAW_ALPHABLEND = 2,   // colours and images are blended by their alpha
    DRAW_GRADIENT = 4      // FillBox fills with the linear gradient
};
void DrawingMode(int modeFlags);
void UseFont(int fontNumber);
void SetFrontColor(uint32_t colour);
void SetBackColor(uint32_t colour);
void DrawTextAt(int x, int y, const std::string& text);
void DrawTextAt(int x, int y, const std::string& text, uint32_t front);
void DrawTextAt(int x, int y, const std::string& text, uint32_t front, uint32_t back);
int TextWidth(const std::string& text);
int TextHeight(const std::string& text);
void FillBox(int x, int y, int width, int height);
void FillBox(int x, int y, int width, int height, uint32_t colour);
// Gradient from (x1, y1) with the front colour to (x2, y2) with the back colour;
// GradientColor adds stops between them. Reset by StartDrawing.
void LinearGradient(int x1, int y1, int x2, int y2);
void GradientColor(double position, uint32_t colour);
void ResetGradientColors();
// Draws an image (or a sprite, given as SpriteOutput-style number with
// DrawSpriteOn) into the current output at its stored size.
void DrawImageOn(int image, int x, int y);
void DrawSpriteOn(int sprite, int x, int y);
// Draws a sprite into the current output as it appears on the screen: at its
// display size (ScaleSprite), filtered as the sprite quality says.
void DrawShownSpriteOn(int sprite, int x, int y);

// ---------------------------------------------------------------------------
// Fonts

// Makes the family of a TrueType file usable by name in this process only.
int InstallFontFile(const std::string& path);
// The same from bytes held in memory (the layer keeps its own copy).
int InstallFontBytes(const void* data, size_t size);
enum {
    FONT_BOLD = 1,
    FONT_ITALIC = 2,
    FONT_UNDERLINE = 4,
    FONT_STRIKEOUT = 8,
    FONT_HIGHQUALITY = 16
};
// Family looked up without regard to letter case; pixel height = points * 96 / 72.
int LoadFontFace(int number, const std::string& family, int points, int styleFlags);
void FreeFontFace(int number);
int IsFontFace(int number);

// ---------------------------------------------------------------------------
// Sound

enum { SOUND_LOOP = 1, SOUND_MULTIPLE = 2 };
enum { SOUND_STOPPED = 0, SOUND_PLAYING = 1, SOUND_PAUSED = 2 };
int LoadSoundBytes(int number, const void* data, size_t size);  // OGG Vorbis
void FreeSound(int number);
int IsSound(int number);
// Returns the channel used (>= 1), 0 when nothing could be played.
int PlaySoundClip(int number, int flags, int volume);
void SetSoundVolume(int number, int volume, int channel);
int SoundStatus(int number, int channel);
void PauseSoundClip(int number, int channel);
void ResumeSoundClip(int number, int channel);
void StopSoundClip(int number, int channel);
// The open sound device's id as the system numbers it (the id its removal
// names), 0 while there is none.
int PfSoundDeviceOpen();
// Mixes the next frames of stereo 16-bit output at 44100 Hz into out. The device
// callback uses it; with no device, tests call it to step playback.
void PfMixSound(int16_t* out, int frames);

// The sound output device can go away (a headset unplugged) and come back, or
// another can be plugged in: playback then goes on silently, following the
// clock, and moves to the device as soon as one can be opened again: when a
// device is added, and every few seconds in the time a frame has to spare.
// Test hook: how long a lost device waits before it is tried again.
void PfSetSoundRetryInterval(int milliseconds);

// ---------------------------------------------------------------------------
// Keyboard and mouse

enum PfKey {
    KEY_NONE = 0,
    KEY_A, KEY_B, KEY_C, KEY_D, KEY_E, KEY_F, KEY_G, KEY_H, KEY_I, KEY_J, KEY_K, KEY_L, KEY_M,
    KEY_N, KEY_O, KEY_P, KEY_Q, KEY_R, KEY_S, KEY_T, KEY_U, KEY_V, KEY_W, KEY_X, KEY_Y, KEY_Z,
    KEY_0, KEY_1, KEY_2, KEY_3, KEY_4, KEY_5, KEY_6, KEY_7, KEY_8, KEY_9,
    KEY_F1, KEY_F2, KEY_F3, KEY_F4, KEY_F5, KEY_F6, KEY_F7, KEY_F8, KEY_F9, KEY_F10, KEY_F11, KEY_F12,
    KEY_ESCAPE, KEY_RETURN, KEY_SPACE, KEY_BACKSPACE, KEY_TAB,
    KEY_LEFT, KEY_RIGHT, KEY_UP, KEY_DOWN,
    KEY_PAD_PLUS, KEY_PAD_MINUS, KEY_PAD_ENTER,
    KEY_LEFT_SHIFT, KEY_RIGHT_SHIFT, KEY_LEFT_CONTROL, KEY_RIGHT_CONTROL, KEY_LEFT_ALT, KEY_RIGHT_ALT,
    KEY_PAD_1, KEY_PAD_2, KEY_PAD_3,
    // Game controllers: every connected controller feeds these, as if they were
    // keys (down while any controller holds the button). The left stick, past
    // its dead zone, holds the D-pad's directions.
    KEY_GAMEPAD_UP, KEY_GAMEPAD_DOWN, KEY_GAMEPAD_LEFT, KEY_GAMEPAD_RIGHT,
    KEY_GAMEPAD_A, KEY_GAMEPAD_B, KEY_GAMEPAD_START,
    KEY_GAMEPAD_LEFT_SHOULDER, KEY_GAMEPAD_RIGHT_SHOULDER,
    KEY_COUNT
};
void ReadKeyboard();
int KeyPushed(int key);
int KeyReleased(int key);  // 1 exactly once, in the first snapshot after the key went up
// 1 in the snapshot in which the key went down, then, while it stays down, again
// after 15 snapshots and every 5 after that (about 250 ms and 80 ms at 60 frames
// a second): the key as a typist's auto-repeat sees it.
int KeyTyped(int key);
// 1 in the snapshot in which the key went down, never on its repeats.
int KeyPressed(int key);
// The keys down in the last snapshot come up unseen: their next release shows in
// no snapshot. For a screen change, so that a key pressed on one screen does not
// act on the next one when it is let go.
void ForgetHeldKeys();

enum { MOUSE_LEFT = 1, MOUSE_RIGHT = 2, MOUSE_MIDDLE = 3 };
void ReadMouse();
int MouseX();
int MouseY();
int MouseButton(int button);
void ReleaseMouse();
void SetMousePosition(int x, int y);

// ---------------------------------------------------------------------------
// Windows

enum {
    WINDOW_CENTRED = 1,
    WINDOW_TITLEBAR = 2,   // title bar, system menu and minimise button, fixed size
    WINDOW_BORDERLESS = 4, // pop-up window without border or title bar
    WINDOW_HIDDEN = 8
};
int OpenGameWindow(int number, int x, int y, int width, int height, const std::string& title, int flags);
void CloseGameWindow(int number);
int IsGameWindow(int number);
void ActivateWindow(int number);
void MinimiseWindow(int number);
// Loads a Windows .cur file from disk; returns a cursor handle or 0.
int LoadCursorFile(const std::string& path);
void SetWindowCursor(int window, int cursor);
// Hides (0) or shows (1) the pointer while it is over the window; cheap to call
// every frame, since the system is only asked when the state differs.
void ShowWindowCursor(int window, int show);
int WindowCursorShown(int window);  // 0 while hidden or without the window

enum PfWindowEvent {
    WEV_NONE = 0,
    WEV_REPAINT,
    WEV_LEFT_DOWN,
    WEV_LEFT_UP,
    WEV_LEFT_CLICK,   // delivered after WEV_LEFT_UP
    WEV_MINIMISED,
    WEV_RESTORED,
    WEV_ACTIVATED,
    WEV_DEACTIVATED,
    WEV_CLOSE
};
int PollWindowEvent();
int WindowMouseX(int window);  // -1 while the pointer is outside the client area
int WindowMouseY(int window);

// Test input: these feed the same path as the system's own events, so the game
// cannot tell them apart. Usable with either backend.
void PfInjectMouseMove(int x, int y);
void PfInjectMouseButton(int button, int down);
void PfInjectKey(int key, int down);
void PfInjectWindowEvent(int event);   // minimised, restored, activated, deactivated, close, repaint
void PfInjectMouseLeave();

// Test controllers: a virtual device plugged in through the system's joystick
// layer, mapped by it as a standard game controller and read through the same
// controller path as a real one. Buttons and axes are numbered in the standard
// layout's order below; axes run from -32768 to 32767 (down and right positive).
enum PfPadButton {
    PF_PAD_A, PF_PAD_B, PF_PAD_X, PF_PAD_Y, PF_PAD_BACK, PF_PAD_GUIDE, PF_PAD_START,
    PF_PAD_LEFT_STICK, PF_PAD_RIGHT_STICK, PF_PAD_LEFT_SHOULDER, PF_PAD_RIGHT_SHOULDER,
    PF_PAD_UP, PF_PAD_DOWN, PF_PAD_LEFT, PF_PAD_RIGHT,
    PF_PAD_BUTTONS
};
enum PfPadAxis {
    PF_PAD_LEFT_X, PF_PAD_LEFT_Y, PF_PAD_RIGHT_X, PF_PAD_RIGHT_Y, PF_PAD_LEFT_TRIGGER, PF_PAD_RIGHT_TRIGGER,
    PF_PAD_AXES
};
int PfAttachVirtualPad();  // a handle, 0 on failure; seen at the next snapshot
void PfSetVirtualPadButton(int pad, int button, int down);
void PfSetVirtualPadAxis(int pad, int axis, int value);
void PfDetachVirtualPad(int pad);
// The next start of the controller subsystem fails, as on a system without one.
void PfRefuseNextGamepadStart();

// ---------------------------------------------------------------------------
// Archives: the game's data pack and ZIP files

enum { PACK_NATIVE = 1, PACK_ZIP = 2 };
int OpenDataPack(int number, const std::string& path, int kind);
// Bytes written, or 0 / -1 when the entry is missing, damaged or larger than the buffer.
// Exactly: every failure (unknown pack, missing entry, damaged data, entry larger than
// bufferSize) returns -1; 0 is returned only for an entry that is empty.
int64_t ExtractPackEntry(int pack, void* buffer, int64_t bufferSize, const std::string& name);
struct PackEntryInfo {
    std::string name;
    int isFolder;
    int64_t size;
};
std::vector<PackEntryInfo> ListPackEntries(int pack);
int ExtractPackEntryToFile(int pack, const std::string& name, const std::string& path);
void CloseDataPack(int pack);

// ---------------------------------------------------------------------------
// Key/value text files (grouped "key = value" lines)

int OpenKeyFile(int number, const std::string& path);
int OpenKeyBytes(int number, const void* data, size_t size);
int CreateKeyFile(int number, const std::string& path);
int CloseKeyFile(int number);  // writes a created file out; 1 when written
int SelectGroup(int file, const std::string& group);
std::string ReadKeyText(int file, const std::string& key, const std::string& fallback);
int64_t ReadKeyNumber(int file, const std::string& key, int64_t fallback);
void WriteKeyGroup(int file, const std::string& group);
void WriteKeyText(int file, const std::string& key, const std::string& value);
void WriteKeyNumber(int file, const std::string& key, int64_t value);
void WriteComment(int file, const std::string& text);
std::vector<std::string> ListGroups(int file);
std::vector<std::string> ListKeys(int file, const std::string& group);
// Every entry of every group in file order, repeated groups and keys included (the
// entries before the first group line belong to none and are left out).
std::vector<std::pair<std::string, std::string>> ListGroupEntries(int file);

// ---------------------------------------------------------------------------
// Files and folders

std::string ProgramFolder();   // folder of the executable
std::string UserDataFolder();  // $XDG_DATA_HOME or ~/.local/share; "" when unknown
std::string HomeFolder();
std::string TempFolder();
int CreateFolder(const std::string& path);      // one level
int CreateFolderPath(const std::string& path);  // every missing level, one after another
int64_t FileSize(const std::string& path);      // -1 missing, -2 a folder
int DeleteFile(const std::string& path);
std::vector<std::string> ListFolder(const std::string& folder, const std::string& pattern);
int ReadWholeFile(const std::string& path, std::string& bytes);
int WriteWholeFile(const std::string& path, const void* data, size_t size);
// The same, atomically: a temporary file beside the target, flushed to disk, renamed
// over it. On failure (0) the old file is untouched and no temporary file is left.
int ReplaceWholeFile(const std::string& path, const void* data, size_t size);
// Removes what a replacement of path cut short left beside it: the temporary
// files (path + "." + six letters or digits) that were never renamed over it.
void RemoveUnfinishedReplacements(const std::string& path);
// Sequential writing (the log): a handle, 0 on failure.
int CreateFileForWriting(const std::string& path);
int WriteToFile(int handle, const void* data, size_t size);  // 1 when everything was written
void CloseFile(int handle);

// ---------------------------------------------------------------------------
// System, time, text

std::string CpuName();
int CpuCountSystem();
int CpuCountProcess();
int64_t TotalMemory();
int64_t FreeMemory();
int MonitorCount();
int DesktopWidth(int monitor);
int DesktopHeight(int monitor);
int OsVersionCode();
// Seconds since the epoch, and a local date formatted with %yyyy %mm %dd %hh %ii %ss.
int64_t CurrentTime();
std::string FormatDate(const std::string& mask, int64_t time);
void SleepMs(int milliseconds);
void SetCommandLine(int argc, char** argv);
int CountParameters();
std::string Parameter(int index);  // 0 is the first parameter after the program
std::string UserLocale();          // "en-GB", or "" when the system offers none
std::string UpperCase(const std::string& text);  // Latin, Greek and Cyrillic
int RandomInt(int maximum, int minimum);
void PfSeedRandomForTests(uint64_t seed);  // deterministic RandomInt from here on
void MessageBox(const std::string& title, const std::string& text);  // also to stderr
