// menu_render.cpp: drawing steps every panel builder shares: the panel copy, centred texts, button images.
#include "menus/menu_render.h"

#include "menus/menus.h"
#include "platform.h"

namespace {

constexpr int TitleY = 110;

// Stored width of the panel StartPanel began drawing on: texts are centred on it.
int DrawnPanelWidth = 0;

}  // namespace

bool StartPanel(int panel, int templateImage) {
    FreeSprite(panel);
    DrawnPanelWidth = 0;
    if (!CopySprite(templateImage, panel, SPRITE_ALPHA)) {
        return false;
    }
    DrawnPanelWidth = SpriteStoredWidth(panel);
    return StartDrawing(SpriteOutput(panel)) != 0;
}

void DrawCentredPanelText(int font, int y, const std::string& text, uint32_t colour) {
    UseFont(font);
    DrawingMode(DRAW_DEFAULT);
    DrawTextAt(DrawnPanelWidth / 2 - TextWidth(text) / 2, y, text, colour, PanelColour);
}

void DrawPanelTitle(int font, const std::string& text) {
    DrawCentredPanelText(font, TitleY, text, TitleColour);
}

void RenderButtonImage(int number, int templateImage, int font, const std::string& label, int x,
                       uint32_t colour, int width, int height) {
    FreeSprite(number);
    if (CopySprite(templateImage, number, SPRITE_ALPHA) && StartDrawing(SpriteOutput(number))) {
        DrawingMode(DRAW_TRANSPARENT | DRAW_ALPHABLEND);
        UseFont(font);
        DrawTextAt(x, 0, label, colour, PanelColour);
        StopDrawing();
    }
    ScaleSprite(number, width, height);
}
