// pf_video_internal.h: state and helpers shared by the screen, sprite, drawing, font and input files.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "pf_cursor_file.h"
#include "pf_internal.h"
#include "platform.h"

// ---------------------------------------------------------------------------
// Object tables. Small numbers chosen by the game index `numbered`; PF_ANY
// creations take a slot in `handled` and answer PF_HANDLE_BASE + slot, far above
// any number the game uses, so a handle never collides with a small number.

constexpr int PF_HANDLE_BASE = 0x10000000;
constexpr int PF_MAX_NUMBER = 1 << 16;  // numbers the game may choose: 0 .. PF_MAX_NUMBER-1

template <typename T>
struct PfTable {
    std::vector<std::unique_ptr<T>> numbered;
    std::vector<std::unique_ptr<T>> handled;
};

// The object under a number or handle, nullptr when there is none.
template <typename T>
T* PfTableGet(PfTable<T>& table, int number) {
    if (number >= 0 && number < PF_MAX_NUMBER) {
        return size_t(number) < table.numbered.size() ? table.numbered[size_t(number)].get() : nullptr;
    }
    if (number >= PF_HANDLE_BASE) {
        size_t slot = size_t(number - PF_HANDLE_BASE);
        return slot < table.handled.size() ? table.handled[slot].get() : nullptr;
    }
    return nullptr;
}

// The storage slot of a number or handle (grown on demand), nullptr for numbers
// that can never be valid.
template <typename T>
std::unique_ptr<T>* PfTableSlot(PfTable<T>& table, int number) {
    if (number >= 0 && number < PF_MAX_NUMBER) {
        if (size_t(number) >= table.numbered.size()) table.numbered.resize(size_t(number) + 1);
        return &table.numbered[size_t(number)];
    }
    if (number >= PF_HANDLE_BASE) {
        size_t slot = size_t(number - PF_HANDLE_BASE);
        return slot < table.handled.size() ? &table.handled[slot] : nullptr;
    }
    return nullptr;
}

// Picks the number under which a new object is stored: the game's own number, or
// for PF_ANY a free handle slot (reserved by growing the table when all are used).
template <typename T>
int PfTableChooseNumber(PfTable<T>& table, int number) {
    if (number != PF_ANY) return number;
    for (size_t i = 0; i < table.handled.size(); i++) {
        if (!table.handled[i]) return PF_HANDLE_BASE + int(i);
    }
    table.handled.emplace_back();
    return PF_HANDLE_BASE + int(table.handled.size() - 1);
}

// What a creating call answers: the handle for PF_ANY, otherwise 1.
inline int PfCreatedResult(int requested, int stored) { return requested == PF_ANY ? stored : 1; }

// Calls fn on every live object of a table (used to release SDL resources).
template <typename T, typename Fn>
void PfTableForEach(PfTable<T>& table, Fn fn) {
    for (auto& p : table.numbered) if (p) fn(*p);
    for (auto& p : table.handled) if (p) fn(*p);
}

// ---------------------------------------------------------------------------
// Objects. Pixels are packed colours as in platform.h (RGBA in memory order).

// What a sprite's screen pixels were made from: the version of its stored pixels,
// the size they were resampled to and the filtering used.
struct PfShownKey {
    uint64_t version = 0;
    int width = 0, height = 0;
    int quality = -1;
    bool operator==(const PfShownKey&) const = default;
};

// A linear gradient as drawn by FillBox: the line and the stops along it, the
// first at 0 and the last at 1, each with the opacity it is drawn with.
struct PfGradientStop {
    double position;
    uint32_t colour;
    int opacity;
};
struct PfGradient {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    std::vector<PfGradientStop> stops;
};
// Lays the gradient over a rectangle of RGBA pixels (`stride` pixels a row), in
// a buffer whose first row and column are row `top` and column `left` of the picture.
void PfPaintGradient(const PfGradient& gradient, uint32_t* pixels, int stride, int x, int y, int width, int height,
                     int top = 0, int left = 0);

// A rectangle of a sprite's stored pixels laid over what its source makes.
struct PfSpritePatch {
    PfRect area;
    std::vector<uint32_t> pixels;  // or, where that takes under half the room,
    std::vector<uint8_t> packed;   // the same packed run by run (a text on a plain box)
};

// A sprite holds its stored pixels only while they are worked on; otherwise it
// keeps what makes them again (pf_sprite_store.cpp): its PNG, the opaque
// gradient or the one colour that filled it, with patches over that, or, where
// the pixels changed more than patches are worth (`fromSource` false), its
// texture holding them at their stored size.
struct PfSprite {
    int width = 0, height = 0;                // stored size
    int displayWidth = 0, displayHeight = 0;  // size at which it is drawn
    std::shared_ptr<const std::vector<uint8_t>> png;  // the source file, shared by the copies made of it
    std::shared_ptr<const PfGradient> gradient;       // or the gradient that filled it
    uint32_t colour = 0;                      // or else one colour
    std::vector<PfSpritePatch> patches;       // laid over the source in order
    bool fromSource = true;
    std::vector<uint32_t> pixels;             // the stored pixels, while `held`
    bool held = false;
    std::vector<uint8_t> packed;              // or those pixels packed run by run, when not from a source
    std::vector<PfRect> changed;              // drawn on since they were made from the source
    uint64_t version = 1;          // bumped whenever the stored pixels change
    std::vector<uint32_t> shown;   // the pixels resampled to the display size, until uploaded
    PfShownKey shownKey;           // what `shown` holds
    SDL_Texture* texture = nullptr;
    bool textureReadable = false;  // a render target: its pixels can be read back
    PfShownKey textureKey;         // what the texture holds; a default key means nothing yet
    PfSpriteCover cover;           // the shape of the texture's pixels, measured on upload
};

struct PfImage {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
};

struct PfInstalledFont {
    std::string family;
    std::string style;  // the face's own style name ("Regular", "Bold", ...)
    std::shared_ptr<std::vector<uint8_t>> bytes;
};

struct PfFont {
    TTF_Font* font = nullptr;
    std::shared_ptr<std::vector<uint8_t>> bytes;  // the font reads from these while open
    bool highQuality = false;
};

struct PfWindow {
    SDL_Window* window = nullptr;
    int width = 0, height = 0;
    int cursor = 0;
    bool cursorHidden = false;  // the game hid the pointer over this window
};

struct PfCursor {
    PfCursorImage image;
    SDL_Cursor* cursor = nullptr;  // nullptr where the video driver has no cursors
};

// One fill or copy onto the screen, waiting for the frame to be shown.
struct PfScreenCommand {
    enum Kind { Clear, Fill, Copy } kind = Fill;
    SDL_Rect to = {0, 0, 0, 0};       // on the screen
    SDL_Rect from = {0, 0, 0, 0};     // in the texture (copies)
    SDL_Texture* texture = nullptr;   // copies
    bool blend = false;               // copies: lay over what is there instead of replacing it
    bool smooth = false;              // copies drawn at another size: filter them
    bool pixelForPixel = false;       // set on queueing: the copy is not scaled
    Uint8 alpha = 255;
    Uint8 red = 255, green = 255, blue = 255;  // fill colour, or a copy's colour modulation
    bool Opaque() const { return kind != Copy || !blend; }
};

// ---------------------------------------------------------------------------
// Subsystem state: one instance each.

struct PfVideoState {
    int backend = PF_BACKEND_SYSTEM;
    bool videoUp = false;  // SDL video subsystem initialised
    bool ttfUp = false;
    int headlessDesktopWidth = 0, headlessDesktopHeight = 0;  // 0 = the driver's own

    // The screen: its window, the renderer on it, its size.
    SDL_Window* screenWindow = nullptr;
    bool screenOwnsWindow = false;  // full screen: the screen made its window
    bool fullscreen = false;
    int screenWindowNumber = -1;
    SDL_Renderer* renderer = nullptr;
    // The sprite texture format matching the renderer's own pixels, so drawing a
    // sprite copies or blends without converting. RGBA32 until a renderer says otherwise.
    Uint32 textureFormat = SDL_PIXELFORMAT_RGBA32;
    // For sprites without a single see-through pixel: the window's own format, so
    // an opaque draw is a straight copy of rows.
    Uint32 opaqueTextureFormat = SDL_PIXELFORMAT_RGBA32;
    int screenWidth = 0, screenHeight = 0;
    std::vector<PfScreenCommand> screenQueue;  // this frame's drawing, run when it is shown or read
    bool screenScaled = false;  // the renderer scales the game's size to the display's
    // The screen's window in window coordinates, where they differ from its real
    // pixels (a scaled Wayland output, a high-density screen); 0 where they do not.
    int pointWidth = 0, pointHeight = 0;
    int frameRate = 60;
    int spriteQuality = 0;
    uint64_t nextFrameNs = 0;  // steady-clock deadline of the next flip

    PfTable<PfSprite> sprites;
    PfTable<PfImage> images;
    PfTable<PfFont> fonts;
    PfTable<PfWindow> windows;
    PfTable<PfCursor> cursors;
    std::vector<PfInstalledFont> installedFonts;
    // Where windows are never destroyed while the game runs (Wayland): the one
    // window closed last, kept to be opened again in place.
    SDL_Window* keptWindow = nullptr;
};

struct PfInputState {
    bool keyboardUp = false, mouseUp = false;
    // Live state fed by events, and the snapshot taken by ReadKeyboard.
    bool keyDown[KEY_COUNT] = {};
    // Presses and releases not yet seen by a snapshot, counted: each snapshot
    // takes one, so keys typed faster than the frames come still act once each.
    int keyReleasedPending[KEY_COUNT] = {};
    bool keySnapshotDown[KEY_COUNT] = {};
    bool keySnapshotReleased[KEY_COUNT] = {};
    int keyPressedPending[KEY_COUNT] = {};
    bool keySnapshotTyped[KEY_COUNT] = {};
    bool keySnapshotPressed[KEY_COUNT] = {};
    int keyHeldSnapshots[KEY_COUNT] = {};    // snapshots the key has stayed down since it was typed
    bool keyReleaseForgotten[KEY_COUNT] = {};  // its next release shows in no snapshot (ForgetHeldKeys)
    int mouseX = 0, mouseY = 0;
    bool mouseInside = false;
    bool buttonDown[4] = {};
    bool buttonPressedPending[4] = {};  // went down since the last ReadMouse
    int snapshotX = 0, snapshotY = 0;
    bool snapshotButton[4] = {};
    bool mouseReleased = false;  // ReleaseMouse gave the pointer back to the desktop
    // Window state.
    bool minimised = false;
    bool focused = true;
    // A window event keeps where the pointer was when it happened: a slow frame
    // may pump the pointer's next movements in the same batch as a click.
    struct QueuedWindowEvent {
        int event;
        int x, y;
        bool inside;
    };
    std::deque<QueuedWindowEvent> windowEvents;
    // While the game handles a polled window event, the pointer it reads is the
    // event's own; the next poll that finds the queue empty goes back to live.
    bool pointerFromEvent = false;
    QueuedWindowEvent polled = {};
};

struct PfDrawState {
    int64_t output = 0;  // 0 while not drawing
    int mode = DRAW_DEFAULT;
    int font = -1;  // number or handle of the font in use, -1 none
    uint32_t front = RGB(255, 255, 255);
    uint32_t back = RGB(0, 0, 0);
    int gradX1 = 0, gradY1 = 0, gradX2 = 0, gradY2 = 0;
    std::vector<std::pair<double, uint32_t>> gradStops;  // between the front and back ends
};

extern PfVideoState PfVideo;
extern PfInputState PfInput;
extern PfDrawState PfDraw;

// ---------------------------------------------------------------------------
// Helpers shared between the files.

// Brings up SDL's video subsystem for the selected backend; false when it cannot.
bool PfEnsureVideo();
// Hands SDL's allocations to the platform's own functions, which map blocks of
// 2 MB and more in huge pages; does nothing once SDL has handed out a block.
void PfInstallMemoryFunctions();
uint64_t PfNowNs();

// PNG bytes -> RGBA pixels; false on anything malformed (never reads past size).
bool PfDecodePng(const void* data, size_t size, std::vector<uint32_t>& pixels, int& width, int& height);
// PNG bytes being read: running past their end is a damaged file, never a read beyond it.
struct PfPngSource {
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t offset = 0;
};
// The rows of an opaque PNG decoded in order, a few at a time, to the same RGBA
// pixels as PfDecodePng gives: a full-screen picture goes to its texture without
// ever being held whole. Only a file that is opaque by its header (no alpha
// channel, no transparency chunk) and not interlaced opens. After damage is met,
// every further row comes out as 0.
struct PfPngRows {
    PfPngRows() = default;
    PfPngRows(const PfPngRows&) = delete;
    PfPngRows& operator=(const PfPngRows&) = delete;
    ~PfPngRows();
    // False unless the file is such a PNG of exactly this size.
    bool Open(std::shared_ptr<const std::vector<uint8_t>> file, int width, int height);
    // The next `count` rows into `out` (count x width pixels).
    void Read(int count, uint32_t* out);
    void Close();

    std::shared_ptr<const std::vector<uint8_t>> file;  // kept alive while read
    PfPngSource source;
    struct png_struct_def* png = nullptr;
    struct png_info_def* info = nullptr;
    int width = 0;
    bool failed = false;
};
// Checks a PNG file's structure without decoding its pixels: the signature, a
// usable header, every chunk whole with its checksum right, image data and the
// end chunk. Gives the size from the header.
bool PfCheckPng(const void* data, size_t size, int& width, int& height);
// Resampling of RGBA pixels: linear where growing, area-averaged where shrinking
// (alpha-weighted, so edges do not darken).
void PfResample(const std::vector<uint32_t>& src, int srcW, int srcH, std::vector<uint32_t>& dst, int dstW,
                int dstH);
// The same resampling a band of target rows at a time, so that a large picture
// can go to its texture without ever being held whole at its new size.
class PfResampler {
public:
    PfResampler(const std::vector<uint32_t>& src, int srcW, int srcH, int dstW, int dstH);
    // The source read from an opened PNG as the target rows need it: only the
    // few source rows under the current target row are ever held. Its target
    // rows must then be asked for in order.
    PfResampler(PfPngRows& png, int srcW, int srcH, int dstW, int dstH);
    // Target rows first .. first + count - 1 into `out` (count x dstW pixels).
    void Rows(int first, int count, uint32_t* out);

    struct Tap {
        int index;
        double weight;
    };

private:
    void Prepare(int srcW, int srcH, int dstW, int dstH);
    const uint32_t* SourceRow(int index, int firstNeeded);
    const std::vector<uint32_t>* source = nullptr;
    PfPngRows* png = nullptr;
    std::deque<std::vector<uint32_t>> window;  // the last source rows read from the PNG
    int nextRow = 0;                           // the next row the PNG gives
    int sourceWidth = 0, width = 0, height = 0;
    std::vector<std::vector<Tap>> across, down;
    std::vector<double> row;
};

// The pixels a sprite shows on the screen, at its display size: the stored pixels
// themselves, or a resampled copy kept until the pixels, the size or the quality
// change. Too large a display size (over PF_MAX_SHOWN_PIXELS) answers the stored
// pixels and leaves the scaling to the renderer.
constexpr int64_t PF_MAX_SHOWN_PIXELS = int64_t(1) << 24;
bool PfSpriteResampled(const PfSprite& sprite);
const std::vector<uint32_t>& PfShownPixels(PfSprite& sprite);

// The stored pixels of a sprite, made again where it had given them up.
std::vector<uint32_t>& PfSpritePixels(PfSprite& sprite);
// The same for drawing on: the pixels are about to change. Each drawing call
// then reports the rectangle it changed, or that it filled the whole sprite with
// one opaque colour or an opaque gradient.
std::vector<uint32_t>& PfSpritePixelsToChange(PfSprite& sprite);
void PfSpriteChanged(PfSprite& sprite, const PfRect& area);
void PfSpriteFilled(PfSprite& sprite, uint32_t colour);
void PfSpriteGradientFilled(PfSprite& sprite, std::shared_ptr<const PfGradient> gradient);
// Gives the pixels up where they can be made again (a drawing finished, the
// texture made, another object done reading them).
void PfSpriteLetGo(PfSprite& sprite);
// True when the sprite, holding no pixels, is one opaque colour or an opaque
// gradient with opaque patches over it: what it shows can then be made a band
// of rows at a time, never whole.
bool PfSpriteOpaqueFromFill(const PfSprite& sprite);
// Rows first .. first + count - 1 of such a sprite's stored pixels into `out`.
void PfSpriteFillRows(const PfSprite& sprite, int first, int count, uint32_t* out);
// True when the sprite, holding no pixels, is made by a fill (one colour or a
// gradient) with patches over it.
bool PfSpriteIsFill(const PfSprite& sprite);
// True when a sprite holding no pixels, made by its source, can take one more
// patch over `area` and stay within half of its size in patches.
bool PfSpriteTakesPatch(const PfSprite& sprite, const PfRect& area);
// The stored pixels of a rectangle of such a sprite into `out`; false when the
// patches, with one more of that size, would grow past half the sprite.
bool PfSpriteFillArea(const PfSprite& sprite, const PfRect& area, uint32_t* out);
// Lays a patch over a sprite made by its source (its pixels changed there).
void PfSpriteAddPatch(PfSprite& sprite, const PfRect& area, std::vector<uint32_t> pixels);
// True when only the sprite's texture holds its pixels.
bool PfSpriteNeedsTexture(const PfSprite& sprite);
// Drops the decoded copy of the last small PNG that sprites were made from.
void PfForgetRememberedPng();
// Makes `to` hold what `from` holds (a copy), sharing the source where there is one.
void PfCopySpritePixels(PfSprite& from, PfSprite& to);

// The screen's drawing queue. Commands are clipped to the screen on queueing;
// PfFlushScreen draws what of them stays visible and empties the queue. It runs
// before the frame is shown or read and before a queued texture changes or goes.
void PfQueueScreenCommand(PfScreenCommand command);
void PfFlushScreen();
void PfDiscardScreenQueue();

// Sprite textures: released before the renderer goes (a sprite whose pixels only
// its texture held takes them back first), uploaded again on the next draw.
void PfReleaseSpriteTexture(PfSprite& sprite);
void PfReleaseAllTextures();
void PfFreeAllSprites();
void PfFreeAllImages();
void PfFreeAllFonts();
void PfFreeAllCursors();
void PfCloseAllWindows();
void PfResetInput();
void PfResetDrawing();
void PfCloseRenderer();
// Picks the sprite texture format for a new renderer on a window.
void PfChooseTextureFormats(SDL_Renderer* renderer, SDL_Window* window);

// Renders one line of text in a font as coverage values 0..255 (row-major, w x h).
// h is always the font's line height; false when there is nothing to draw.
bool PfRenderTextCoverage(int font, const std::string& text, std::vector<uint8_t>& coverage, int& width,
                          int& height);

// Event path: SDL's events and the PfInject* calls both end here.
void PfPumpEvents();
// Displays and sound devices coming and going (pf_devices.cpp).
void PfHandleDeviceEvent(const SDL_Event& e);
// A new screen: display changes are counted from here, against its display.
void PfNoteScreenOpened(SDL_Window* window);
void PfApplyKey(int key, bool down);
// A key let go without a release the game acts on (a controller unplugged).
void PfLetGoKey(int key);
void PfApplyMouseMove(int x, int y);
void PfApplyMouseButton(int button, bool down);
void PfApplyMouseLeave();
void PfApplyWindowEvent(int event);
int PfKeyFromScancode(SDL_Scancode code);
// Game controllers (pf_gamepad.cpp): started with the keyboard, fed from the pump;
// true when the event was a controller's.
void PfStartGamepads();
bool PfGamepadEvent(const SDL_Event& e);

// A position in the screen window's coordinates (as SDL reports the pointer)
// in the screen's real pixels, and back.
void PfPointerToPixels(int& x, int& y);
void PfPixelsToPointer(int& x, int& y);
// Client size of the area the pointer is tracked in (the screen, else the window).
void PfPointerArea(int& width, int& height);
SDL_Window* PfWindowHandle(int number);
// Makes a window, or on Wayland takes the kept one and gives it the title,
// size, border and full-screen state asked for.
SDL_Window* PfCreateWindow(const std::string& title, int x, int y, int width, int height, Uint32 flags);
// Closes a window: destroys it, or on Wayland keeps it for the next PfCreateWindow.
void PfReleaseWindow(SDL_Window* window);
// The kept window made over as PfCreateWindow asks, or nullptr when none is kept.
SDL_Window* PfReopenKeptWindow(const std::string& title, int x, int y, int width, int height, Uint32 flags);
// True where the video driver is Wayland. There a window is kept rather than
// destroyed, a borderless window covers its output in the compositor's
// full-screen state (a client cannot place its window over the desktop's panel),
// and the window keeps no pixels of its own for the software renderer.
bool PfOnWayland();
