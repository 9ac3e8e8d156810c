// generated_images.cpp: the play-screen images the game draws itself instead of reading them from the pack.
#include <cstdint>

#include "display/assets.h"
#include "display/display.h"
#include "platform/platform.h"

namespace {

// The fill of boxes behind every text (the panels' own colour).
constexpr uint32_t BoxFillColour = RGB(38, 35, 32);

// The play background: a left-to-right rainbow mirrored about the middle. The
// first stop is the front colour and the last the back colour; the last is one
// step redder than the first, as the artwork has always had it.
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

// A sprite of the given size filled with the box colour; the status boxes get
// their text later, the empty tray slot stays as it is.
void CreateFilledBox(int number, int width, int height) {
    if (!CreateSprite(number, width, height, 0)) return;
    if (!StartDrawing(SpriteOutput(number))) return;
    DrawingMode(DRAW_DEFAULT);
    FillBox(0, 0, width, height, BoxFillColour);
    StopDrawing();
}

}  // namespace

void CreateGeneratedImages() {
    const int t = Display.TileSize;
    const int boxHeight = t / 2 - 2;
    CreatePlayBackground(Display.ScreenWidth, Display.ScreenHeight);
    CreateFilledBox(ImgEmptyTraySlot, Display.TrayCell, Display.TrayCell);
    CreateFilledBox(ImgModeBox, 2 * t + t / 2 - 2, boxHeight);
    CreateFilledBox(ImgScoreBox, t + t / 2 - 2, boxHeight);
    CreateFilledBox(ImgBestBox, t + t / 2 - 2, boxHeight);
}
