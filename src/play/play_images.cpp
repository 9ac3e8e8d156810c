// play_images.cpp: the images the play screen draws itself: its background, the empty tray slot and the status-bar boxes.
#include <string>

#include "play/play.h"
#include "data/text.h"
#include "display/assets.h"
#include "display/display.h"
#include "menus/menus.h"
#include "platform.h"

StatusBoxTexts StatusBoxes;

namespace {

// The play background: a left-to-right rainbow mirrored about the middle. The
// first stop is the front colour and the last the back colour; the last is kept
// one step redder than the first, so the right edge matches the shipped look.
constexpr uint32_t BackgroundFirst = RGB(191, 64, 64);
constexpr uint32_t BackgroundLast = RGB(192, 64, 64);
struct GradientStop {
    double position;
    uint32_t colour;
};
const GradientStop BackgroundStops[] = {
    {0.05, RGB(191, 64, 115)}, {0.10, RGB(182, 64, 191)}, {0.15, RGB(131, 64, 191)},
    {0.20, RGB(68, 64, 191)},  {0.25, RGB(64, 115, 191)}, {0.30, RGB(64, 191, 191)},
    {0.35, RGB(64, 191, 127)}, {0.40, RGB(137, 205, 106)}, {0.45, RGB(115, 191, 64)},
    {0.50, RGB(191, 189, 64)}, {0.55, RGB(115, 191, 64)}, {0.60, RGB(137, 205, 106)},
    {0.65, RGB(64, 191, 127)}, {0.70, RGB(64, 191, 191)}, {0.75, RGB(64, 115, 191)},
    {0.80, RGB(68, 64, 191)},  {0.85, RGB(131, 64, 191)}, {0.90, RGB(182, 64, 191)},
    {0.95, RGB(191, 64, 115)},
};

void CreatePlayBackground(int width, int height) {
    if (!CreateSprite(ImgPlayBackground, width, height, 0)) return;
    if (!StartDrawing(SpriteOutput(ImgPlayBackground))) return;
    DrawingMode(DRAW_GRADIENT);
    SetFrontColor(BackgroundFirst);
    SetBackColor(BackgroundLast);
    LinearGradient(0, height, width, height);
    for (const GradientStop& stop : BackgroundStops) GradientColor(stop.position, stop.colour);
    FillBox(0, 0, width, height);
    StopDrawing();
}

// A sprite of the given size filled with the panel colour; the status boxes get
// their text later, the empty tray slot stays as it is.
void CreateFilledBox(int number, int width, int height) {
    if (!CreateSprite(number, width, height, 0)) return;
    if (!StartDrawing(SpriteOutput(number))) return;
    DrawingMode(DRAW_DEFAULT);
    FillBox(0, 0, width, height, PanelColour);
    StopDrawing();
}

// Renders `text` centred in box image `number` with the status-bar font, unless
// the box already shows it. A text wider than the box is cut at its edges.
void RenderStatusBox(int number, const std::string& text, std::optional<std::string>& shown) {
    if (shown == text) return;
    if (!StartDrawing(SpriteOutput(number))) return;  // the box keeps what it showed
    const int width = SpriteStoredWidth(number);
    const int height = SpriteStoredHeight(number);
    DrawingMode(DRAW_DEFAULT);
    UseFont(HudFont);
    FillBox(0, 0, width, height, PanelColour);
    const int x = width / 2 - TextWidth(text) / 2;
    const int y = height / 2 - TextHeight(text) / 2;
    DrawTextAt(x, y, text, TextColour, PanelColour);
    StopDrawing();
    shown = text;
}

const char* const ModeTextKeys[4] = {"", "tGuiEASY", "tGuiNORMAL", "tGuiUNPREDICTABLE"};

}  // namespace

void CreateGeneratedImages() {
    const int t = Display.TileSize;
    const int boxHeight = t / 2 - 2;
    CreatePlayBackground(Display.ScreenWidth, Display.ScreenHeight);
    CreateFilledBox(ImgEmptyTraySlot, Display.TrayCell, Display.TrayCell);
    CreateFilledBox(ImgModeBox, 2 * t + t / 2 - 2, boxHeight);
    CreateFilledBox(ImgScoreBox, t + t / 2 - 2, boxHeight);
    CreateFilledBox(ImgBestBox, t + t / 2 - 2, boxHeight);
    // The boxes are blank again: whatever they showed must be rendered anew.
    StatusBoxes = StatusBoxTexts{};
}

void DrawModeBox(int mode) {
    const std::string text = mode >= 1 && mode <= 3 ? Text(ModeTextKeys[mode]) : std::string();
    RenderStatusBox(ImgModeBox, text, StatusBoxes.Mode);
}

void DrawScoreBox(int score) {
    RenderStatusBox(ImgScoreBox, std::to_string(score), StatusBoxes.Score);
}

void DrawBestBox(int best) {
    RenderStatusBox(ImgBestBox, std::to_string(best), StatusBoxes.Best);
}
