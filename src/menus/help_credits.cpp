// help_credits.cpp: the help panel with its word-wrapped, marked-up text, and the credits panel.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "core/state.h"
#include "data/text.h"
#include "display/assets.h"
#include "display/display.h"
#include "menus/menu_render.h"
#include "menus/menus.h"
#include "platform.h"

namespace {

enum TextScreenFont {
    FontCreditsLines = 2,
    FontCreditsTitle = 3,
    FontCreditsBack = 4,
    FontHelpTitle = 11,
    FontHelpBack = 12
};

// The help and credits artwork is 1272 x 1601; its BACK row starts at 1360 and
// the BACK template is 1272 x 65, its label centred on 636.
constexpr int PanelRefWidth = 1272;
constexpr int PanelRefHeight = 1601;
constexpr int BackCentre = 636;
constexpr int BackRefHeight = 65;


// The credit lines: fixed texts, or a text key when `key` is set.
struct CreditLine {
    int y;
    const char* text;
    bool key;
};
constexpr CreditLine CreditLines[] = {
    {284, "Prismoria 1.0.0.0", false},
    {394, "tCreditsCODEDESIGN", true},
    {449, "The Prismoria team", false},
    {614, "dawnwhistle game studio", false},
    {724, "dawnwhistle.example", false},
    {834, "tCreditsGFX", true},
    {889, "Drawn by the Prismoria art generator", false},
    {999, "tCreditsMUSICNSFX", true},
    {1054, "Composed by the Prismoria sound generator", false},
    {1164, "tCreditsFONT", true},
    {1219, "Comfortaa by Johan Aakerlund, SIL OFL 1.1", false},
};

std::vector<std::string> SplitAtBlanks(const std::string& text) {
    std::vector<std::string> words(1);
    for (char c : text) {
        if (c == ' ') {
            words.emplace_back();
        } else {
            words.back() += c;
        }
    }
    return words;
}

std::string WithoutMarkup(std::string word) {
    for (const char* token : {"c{", "}"}) {
        for (size_t at = word.find(token); at != std::string::npos; at = word.find(token)) {
            word.erase(at, std::string(token).size());
        }
    }
    return word;
}

// Where one text screen sits and how big it is, from the display height.
struct TextPanelPlace {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Scales the panel being drawn on and places it below the logo, keeping the
// artwork's proportions.
TextPanelPlace ScaleTextPanel(int image) {
    TextPanelPlace place;
    place.height = (Display.ScreenHeight / 100) * 75;
    const int storedW = SpriteStoredWidth(image);
    const int storedH = SpriteStoredHeight(image);
    place.width = storedH > 0 ? place.height * storedW / storedH : 0;
    ScaleSprite(image, place.width, place.height);
    place.x = Display.ScreenWidth / 2 - place.width / 2;
    place.y = Display.MenuCenterY - place.height / 2;
    return place;
}

// The BACK button of a text screen: its hit rectangle over the label (measured
// in the current font), its two images and its record.
void PlaceBackButton(MenuButton& back, const TextPanelPlace& place, const std::string& label) {
    const int tw = TextWidth(label);
    back.hitX1 = place.x + place.width * (BackCentre - tw / 2) / PanelRefWidth;
    back.hitY1 = place.y + place.height * HelpBackRow / PanelRefHeight;
    back.hitX2 = place.x + place.width * (BackCentre - tw / 2 + tw) / PanelRefWidth;
    back.drawX = place.x;
    back.drawY = back.hitY1;
}

void RenderBackButton(MenuButton& back, int normalImage, int font, const std::string& label, int width) {
    UseFont(font);
    const int x = BackCentre - TextWidth(label) / 2;
    const int height = width * BackRefHeight / PanelRefWidth;
    RenderButtonImage(normalImage, ImgCreditsButtonTemplate, font, label, x, TextColour, width, height);
    RenderButtonImage(normalImage + 1, ImgCreditsButtonTemplate, font, label, x, HoverTextColour, width, height);
    back.image = normalImage;
    back.hitY2 = back.hitY1 + SpriteHeight(normalImage);
}

}  // namespace

int DrawMarkupText(int x0, int y0, int rightLimit, int lineHeight, const std::string& text,
                   uint32_t normalColour, uint32_t highlightColour) {
    uint32_t colour = normalColour;
    int x = x0;
    int y = y0;
    // A language file may ask for any number of lines down; past this nothing
    // shows anyway, and y stays far from the int limit.
    auto moveDown = [&](int64_t lines) { y = int(std::min<int64_t>(y + lines * lineHeight, 1 << 30)); };
    // Draws a piece of a word where the line stands and moves past it.
    auto draw = [&](const std::string& piece) {
        DrawTextAt(x, y, piece, colour, PanelColour);
        x += TextWidth(piece);
    };
    for (std::string word : SplitAtBlanks(text)) {
        if (word.size() >= 3 && word.compare(0, 2, "n{") == 0 && word.back() == '}') {
            x = x0;
            moveDown(LeadingNumber(word.substr(2)));
            continue;
        }
        // A word that would cross the right edge starts the next line; the
        // blank after it does not count.
        if (x + TextWidth(WithoutMarkup(word)) > rightLimit) {
            x = x0;
            moveDown(1);
        }
        const size_t open = word.find("c{");
        if (open != std::string::npos) {
            if (open > 0) draw(word.substr(0, open));
            colour = highlightColour;
            word = word.substr(open + 2);
        }
        const size_t close = word.find('}');
        if (close == std::string::npos) {
            draw(word + " ");
        } else if (close + 1 == word.size()) {
            draw(word.substr(0, close) + " ");
            colour = normalColour;
        } else {
            draw(word.substr(0, close));
            colour = normalColour;
            draw(word.substr(close + 1) + " ");
        }
    }
    return y;
}

namespace {

// What the help and credits panels share: the panel copy with its title, the
// body drawn by the screen, the scaling and placing, and the BACK button.
struct TextScreen {
    MenuPanel& panel;
    int image;
    int titleFont;
    const char* titleKey;
    MenuButton& back;
    int backImage;
    int backFont;
    const char* backKey;
};

template <typename DrawBody>
void BuildTextScreen(const TextScreen& screen, DrawBody drawBody) {
    screen.panel.image = screen.image;
    int width = 0;
    if (StartPanel(screen.image, ImgCreditsTemplate)) {
        DrawPanelTitle(screen.titleFont, Text(screen.titleKey));
        drawBody();
        const TextPanelPlace place = ScaleTextPanel(screen.image);
        screen.panel.x = place.x;
        screen.panel.y = place.y;
        width = place.width;
        UseFont(screen.backFont);
        PlaceBackButton(screen.back, place, Text(screen.backKey));
        StopDrawing();
    }
    RenderBackButton(screen.back, screen.backImage, screen.backFont, Text(screen.backKey), width);
}

}  // namespace

void BuildHelpPanel() {
    BuildTextScreen({Menus.HelpPanel, ImgHelpPanel, FontHelpTitle, "tHelpTITLE", Menus.Help[1], 75, FontHelpBack,
                     "tHelpBACK"},
                    [] {
                        UseFont(HelpTextFont);
                        DrawingMode(DRAW_DEFAULT);
                        DrawMarkupText(HelpTextLeft, HelpTextTop, HelpTextRight, HelpLineHeight, Text("tHelpTEXT"), TextColour,
                                       HoverTextColour);
                    });
}

void BuildCreditsPanel() {
    BuildTextScreen({Menus.CreditsPanel, ImgCreditsPanel, FontCreditsTitle, "tCreditsTITLE", Menus.Credits[1], 77,
                     FontCreditsBack, "tCreditsBACK"},
                    [] {
                        for (const CreditLine& line : CreditLines) {
                            DrawCentredPanelText(FontCreditsLines, line.y, line.key ? Text(line.text) : line.text,
                                                 TextColour);
                        }
                    });
}
