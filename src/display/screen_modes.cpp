// screen_modes.cpp: choosing the screen size, opening and closing the surface, and the aspect classes.
#include <cstdio>
#include <string>

#include "app/app.h"
#include "app/log.h"
#include "display/display.h"
#include "platform/platform.h"

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

// The numeric value of a text's leading digits, as a width or height field reads.
int LeadingNumber(const std::string& text) {
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9' || value > 100000) break;
        value = value * 10 + (c - '0');
    }
    return value;
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
