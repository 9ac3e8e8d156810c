// help_markup_test.cpp: the help text renderer's line breaks, wrapping and highlights, drawn with the real font.
#include <gtest/gtest.h>

#include <string>

#include "harness.h"
#include "menus/menus.h"
#include "platform.h"

namespace {

constexpr int Width = 900;
constexpr int Height = 400;
constexpr int Left = 20;
constexpr int Top = 10;
constexpr int Line = 50;
constexpr int HelpFont = 10;

class HelpMarkup : public HarnessTest {
protected:
    int canvas = 0;
    void Start() {
        StartHarness();
        canvas = CreateSprite(PF_ANY, Width, Height, SPRITE_ALPHA);
        ASSERT_NE(canvas, 0);
    }
    // Draws the text on a clean canvas and returns DrawMarkupText's answer.
    int Draw(const std::string& text, int rightLimit = Width - 20) {
        EXPECT_EQ(StartDrawing(SpriteOutput(canvas)), 1);
        DrawingMode(DRAW_DEFAULT);
        FillBox(0, 0, Width, Height, PanelColour);
        UseFont(HelpFont);
        const int y = DrawMarkupText(Left, Top, rightLimit, Line, text, TextColour, HoverTextColour);
        StopDrawing();
        return y;
    }
    // Counts the pixels of one line band that are mostly the given ink.
    int Ink(int line, bool highlight, int fromX = 0, int toX = Width) {
        int count = 0;
        for (int y = Top + line * Line; y < Top + line * Line + Line && y < Height; ++y) {
            for (int x = fromX; x < toX; ++x) {
                const uint32_t c = SpritePixel(canvas, x, y);
                const bool white = ColourRed(c) > 200 && ColourGreen(c) > 200 && ColourBlue(c) > 200;
                const bool blue = ColourBlue(c) > 180 && ColourRed(c) < 110;
                count += highlight ? blue : white;
            }
        }
        return count;
    }
    // The leftmost column holding ink on a line, or -1.
    int FirstInkX(int line) {
        for (int x = 0; x < Width; ++x) {
            for (int y = Top + line * Line; y < Top + line * Line + Line; ++y) {
                if (SpritePixel(canvas, x, y) != SpritePixel(canvas, 0, 0)) return x;
            }
        }
        return -1;
    }
};

TEST_F(HelpMarkup, LineBreaksAndWrapping) {
    Start();
    struct Case {
        const char* text;
        int rightLimit;
        int lines;  // the answer's y, in lines below the first
    } cases[] = {
        {"one two three", Width - 20, 0},
        {"one n{1} two", Width - 20, 1},
        {"one n{2} two", Width - 20, 2},
        {"one n{0} two", Width - 20, 0},                  // back to the margin, same line
        {"Wonderfully", 60, 1},                           // wider than the line: down even at the margin
        {"one two three four five six", 200, 3},          // ordinary wrapping
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Draw(c.text, c.rightLimit), Top + c.lines * Line) << c.text << " width " << [&] {
            UseFont(HelpFont);
            return TextWidth(c.text);
        }();
    }
    // Markup does not count for the wrap: what fits plain fits highlighted.
    UseFont(HelpFont);
    const int fits = Left + TextWidth("one two three") + 1;
    EXPECT_EQ(Draw("one two three", fits), Top);
    EXPECT_EQ(Draw("c{one} c{two} c{three}", fits), Top);
    // n{0} draws the next word from the left margin, over the first (its
    // opaque background box covers the start of the first word).
    Draw("WWW n{0} i");
    const int overlapping = FirstInkX(0);
    Draw("i");
    EXPECT_EQ(overlapping, FirstInkX(0));
    // The over-long word leaves its first line empty and runs past the limit.
    Draw("Wonderfully", 60);
    EXPECT_EQ(FirstInkX(0), -1);
    EXPECT_GT(Ink(1, false, 60), 0);
}

TEST_F(HelpMarkup, ThousandsOfLinesDownStayBelowThePanel) {
    Start();
    // Each n{10009} moves half a million pixels down: enough of them once
    // wrapped round past the int limit to a line above the panel.
    std::string deep;
    for (int i = 0; i < 4400; ++i) deep += "n{10009} ";
    EXPECT_GT(Draw(deep + "end"), Height);
    EXPECT_EQ(Ink(0, false), 0);
}

TEST_F(HelpMarkup, HighlightsOpenCloseAndSpanWords) {
    Start();
    // Highlight inside a word: the part before stays white, the rest is blue.
    Draw("plain c{lit} plain");
    EXPECT_GT(Ink(0, true), 0);
    EXPECT_GT(Ink(0, false), 0);
    // A passage across words, opened and closed inside words.
    Draw("ab c{cd ef} gh");
    const int litAcross = Ink(0, true);
    Draw("ab c{cd} c{ef} gh");
    EXPECT_NEAR(litAcross, Ink(0, true), litAcross / 10);
    // Unclosed: everything after stays highlighted, and the next drawing starts plain.
    Draw("x c{open and never closed");
    EXPECT_GT(Ink(0, true), 0);
    Draw("plain again");
    EXPECT_EQ(Ink(0, true), 0);
    // Words made only of markup draw a blank and switch the colour.
    Draw("a c{ b } c");
    const int markupOnly = Ink(0, true);
    EXPECT_GT(markupOnly, 0);
    Draw("a b c");
    EXPECT_EQ(Ink(0, true), 0);
}

TEST_F(HelpMarkup, TwoBlanksDrawAnEmptyWordAsABlank) {
    Start();
    // The second word sits one blank further right.
    auto lastInk = [&]() {
        for (int x = Width - 1; x >= 0; --x) {
            for (int y = Top; y < Top + Line; ++y) {
                if (SpritePixel(canvas, x, y) != SpritePixel(canvas, 0, 0)) return x;
            }
        }
        return -1;
    };
    Draw("i  x");
    const int withTwo = lastInk();
    Draw("i x");
    const int withOne = lastInk();
    UseFont(HelpFont);
    EXPECT_EQ(withTwo - withOne, TextWidth(" "));
}

}  // namespace
