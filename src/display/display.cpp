// display.cpp: the drawing surface: screen modes, aspect classes, the layout derived from them, and the rebuild.
#include <cstdio>
#include <string>

#include "core/state.h"
#include "core/log.h"
#include "data/text.h"
#include "display/assets.h"
#include "display/display.h"
#include "platform/platform.h"

DisplayState Display;
PlayLayoutState PlayLayout;

namespace {

const char* const WindowTitle = "Prismoria 1.0.0.0 - Ravenquill Interactive (https://ravenquill.example)";

// The built-in resolution table: the index of the last entry, then the entries.
const int ResolutionLastIndex = 8;
const char* const ResolutionTable[] = {"1024x576",  "1280x720",  "1366x768",  "1920x1080", "2048x1152",
                                       "2560x1440", "2880x1620", "3200x1800", "3840x2160"};

// Ratio texts per class, in the order they are compared; class 7 matches the rest.
struct AspectRule {
    const char* ratios[3];
    const char* name;
    const char* logo;
};
const AspectRule AspectRules[7] = {
    {{"1.50", nullptr, nullptr}, "3:2", "brk_3x2.png"},
    {{"1.33", nullptr, nullptr}, "4:3", "brk_4x3.png"},
    {{"1.25", nullptr, nullptr}, "5:4", "brk_5x4.png"},
    {{"1.77", "1.78", nullptr}, "16:9", "brk_16x9.png"},
    {{"1.60", nullptr, nullptr}, "16:10", "brk_16x10.png"},
    {{"1.89", "1.90", nullptr}, "17:9", "brk_17x9.png"},
    // Ultra-wide has no logo of its own; it shows the 16:9 one over a 16:9 layout.
    {{"2.37", "2.38", "2.39"}, "ultra-wide", "brk_16x9.png"},
};
const int AspectCustom = 7;

const char* ModeName(int gameScreen) {
    switch (gameScreen) {
        case ScreenWindowed: return "Windowed";
        case ScreenBorderless: return "Borderless";
        default: return "Fullscreen";
    }
}

}  // namespace

void BuildResolutionList() {
    Display.Resolutions.clear();
    for (int i = 0; i <= ResolutionLastIndex; i++) Display.Resolutions.push_back(ResolutionTable[i]);
}

std::string AspectClassName(int aspectClass) {
    if (aspectClass >= 0 && aspectClass < AspectCustom) return AspectRules[aspectClass].name;
    return "custom";
}

std::string AspectLogoEntry(int aspectClass) {
    if (aspectClass >= 0 && aspectClass < AspectCustom) return AspectRules[aspectClass].logo;
    return "brk_16x9.png";
}

void ChooseScreenSize(bool logDesktop) {
    int width = DesktopWidth(0);
    int height = DesktopHeight(0);
    Display.DesktopWidth = width;
    Display.DesktopHeight = height;
    if (logDesktop) {
        LogValue("ScreenWidth:", std::to_string(width));
        LogValue("ScreenHeight:", std::to_string(height));
    }
    if (App.Settings.GameScreen == ScreenWindowed) {
        if (Display.Resolutions.empty()) BuildResolutionList();
        // A stored index outside the list falls back to the default entry.
        int index = App.Settings.Resolution;
        if (index < 0 || index >= int(Display.Resolutions.size())) index = 1;
        const std::string& entry = Display.Resolutions[size_t(index)];
        size_t split = entry.find('x');
        width = LeadingNumber(entry.substr(0, split));
        height = split == std::string::npos ? 0 : LeadingNumber(entry.substr(split + 1));
    }
    Display.ScreenWidth = width;
    Display.ScreenHeight = height;
}

bool OpenGameSurface() {
    const int mode = App.Settings.GameScreen;
    const int width = Display.ScreenWidth;
    const int height = Display.ScreenHeight;
    bool opened = false;
    if (mode == ScreenWindowed || mode == ScreenBorderless) {
        int flags = WINDOW_CENTRED | (mode == ScreenWindowed ? WINDOW_TITLEBAR : WINDOW_BORDERLESS);
        if (OpenGameWindow(0, 0, 0, width, height, WindowTitle, flags)) {
            opened = OpenWindowedScreen(0, 0, 0, width, height) != 0;
            if (!opened) CloseGameWindow(0);
        }
        // The platform offers no way to free a cursor, so it is loaded once per run.
        if (opened && Display.Cursor == 0) Display.Cursor = LoadCursorFile(App.GameDir + "Prismoria.pointer");
    } else {
        opened = OpenGameScreen(width, height, 32, WindowTitle, 1) != 0;
    }
    LogValue(std::string("Opening screen (") + ModeName(mode) + "):", opened ? "OK" : "FAILED");
    if (!opened) return false;
    // Everything is laid out on the surface actually obtained.
    if (ScreenWidth() > 0 && ScreenHeight() > 0) {
        Display.ScreenWidth = ScreenWidth();
        Display.ScreenHeight = ScreenHeight();
    }
    LogValue("Screenwidth:", std::to_string(Display.ScreenWidth));
    LogValue("Screenheight:", std::to_string(Display.ScreenHeight));
    return true;
}

void CloseGameSurface() {
    if (IsGameScreenOpen()) CloseGameScreen();
    // Only the windowed modes ever open window 0.
    if (IsGameWindow(0)) CloseGameWindow(0);
}

void ShowGameWindow() {
    if (App.Settings.GameScreen != ScreenWindowed && App.Settings.GameScreen != ScreenBorderless) return;
    if (!IsGameWindow(0)) return;
    ActivateWindow(0);
    if (Display.Cursor != 0) SetWindowCursor(0, Display.Cursor);
}

int ClassifyAspect(int width, int height) {
    int found = AspectCustom;
    if (width > 0 && height > 0) {
        char text[32];
        std::snprintf(text, sizeof text, "%.2f", double(width) / double(height));
        for (int c = 0; c < AspectCustom && found == AspectCustom; c++) {
            for (const char* ratio : AspectRules[c].ratios) {
                if (ratio != nullptr && text == std::string(ratio)) {
                    found = c;
                    break;
                }
            }
        }
    }
    Display.AspectClass = found;
    LogValue("AspectRatio:", std::to_string(found));
    return found;
}

namespace {

int MakeEven(int value) { return value % 2 != 0 ? value - 1 : value; }

// Tray slots: three TrayCell squares side by side at the bottom centre.
void PlaceTray(int centreX, int screenHeight, int trayCell) {
    ScreenRect middle;
    middle.x1 = centreX - trayCell / 2;
    middle.y1 = screenHeight - trayCell;
    middle.x2 = middle.x1 + trayCell;
    middle.y2 = screenHeight;
    for (int slot = 0; slot < 3; slot++) {
        ScreenRect r = middle;
        r.x1 += (slot - 1) * trayCell;
        r.x2 += (slot - 1) * trayCell;
        PlayLayout.TrayRect[slot] = r;
    }
}

// Status bar: four framed cells along the bottom edge, from H - 1.5T to H.
void PlaceStatusBar(int centreX, int screenHeight, int tile) {
    const int half = tile / 2;
    const int left[4] = {centreX - 8 * tile, centreX - 6 * tile, centreX + 3 * tile + half, centreX + 6 * tile + half};
    const int width[4] = {half, 2 * tile + half, tile + half, tile + half};
    for (int i = 0; i < 4; i++) {
        StatusBarCell& cell = PlayLayout.StatusCell[i];
        cell.bx = left[i];
        cell.bw = width[i];
        cell.contentX = cell.bx + 1;
        cell.contentY = screenHeight - tile + 1;
        cell.topEdgeY = screenHeight - tile - half;
        cell.bottomEdgeY = screenHeight - half;
        cell.leftCapX = cell.bx - half;
        cell.rightCapX = cell.bx + cell.bw - half;
        cell.capY = screenHeight - tile - half;
    }
    // The menu button reacts only strictly inside its image's square.
    ScreenRect& area = PlayLayout.MenuButtonArea;
    area.x1 = centreX - 8 * tile + 1;
    area.y1 = screenHeight - tile + 1;
    area.x2 = centreX - 8 * tile + half + 1;
    area.y2 = screenHeight - half + 1;
}

}  // namespace

void ComputeLayout() {
    const int w = Display.ScreenWidth;
    const int h = Display.ScreenHeight;
    int tile = MakeEven(w / 20);
    switch (Display.AspectClass) {
        case 3:  // 16:9: one tile below the top edge
            Display.BoardTop = tile;
            break;
        case 4:  // 16:10
            Display.BoardTop = h / 2 - 5 * tile;
            break;
        case 6:
            // Ultra-wide: size the tiles as on the 16:9 screen of the same height
            // (by width they would be too tall for the board to fit) and centre the board.
            tile = MakeEven(h * 16 / 9 / 20);
            Display.BoardTop = h / 2 - 4 * tile;
            break;
        default:  // 3:2, 4:3, 5:4, 17:9 and custom: the eight rows centred
            Display.BoardTop = h / 2 - 4 * tile;
            break;
    }
    Display.TileSize = tile;
    Display.TrayCell = tile + tile / 2;

    PlayLayout = PlayLayoutState();
    PlayLayout.CentreX = w / 2;
    PlaceTray(PlayLayout.CentreX, h, Display.TrayCell);
    PlaceStatusBar(PlayLayout.CentreX, h, tile);
}

void PlaceGameLogo() {
    const int logoWidth = SpriteWidth(ImgGameLogo);
    const int logoHeight = SpriteHeight(ImgGameLogo);
    Display.LogoX = Display.ScreenWidth / 2 - logoWidth / 2;
    Display.LogoY = Display.ScreenHeight / 2 - logoHeight / 2;
    // Zero or negative when the logo starts near the top or is taller than the
    // screen; the title intro then moves it by at least one pixel per frame.
    Display.LogoSlideStep = Display.LogoY / 25;
    Display.MenuCenterY = (Display.ScreenHeight - logoHeight) / 2 + logoHeight;
}

void PrepareSurfaceContents() {
    PlaceGameLogo();
    CreateFonts();
}

void FinishSurfaceContents() {
    LogValue("TileSize: ", std::to_string(Display.TileSize));
    SetFrameRate(60);
    SetSpriteQuality(1);
}

void ReopenDisplay() {
    CloseGameSurface();
    App.Settings.GameScreen = App.Pending.GameScreen;
    App.Settings.Resolution = App.Pending.Resolution;

    ChooseScreenSize(false);
    if (!OpenGameSurface()) FatalError("tErrorSCREEN");
    ClassifyAspect(Display.ScreenWidth, Display.ScreenHeight);
    ComputeLayout();

    // Images and fonts belong to the surface; the typeface, the sounds, the
    // best scores and the language outlive it and are not read again.
    LoadImages();
    PrepareSurfaceContents();
}

void ShowReopenedDisplay() {
    FinishSurfaceContents();
    if (App.Settings.GameScreen == ScreenFullscreen) {
        SetMousePosition(Display.ScreenWidth / 2, Display.ScreenHeight / 2);
    } else {
        ShowGameWindow();
    }
}
