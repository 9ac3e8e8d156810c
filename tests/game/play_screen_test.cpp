// play_screen_test.cpp: what the play screen shows: positions and sizes, the board frame, the status boxes,
// the background, the clear effect's fade and the shadow of the menu states.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <utility>
#include <vector>

#include "menus/menus.h"
#include "play_test_util.h"

using namespace playtest;

using PlayScreen = HarnessTest;

namespace {

// A game of the mode and size on a borderless screen of the given size.
void StartPlaying(int width, int height, int mode, int size) {
    StartAtMainMenu(ScreenOptions(ScreenBorderless, width, height));
    StartGameThroughMenus(mode, size);
    RunOneFrame();
}

// Text metrics of a font, measured while drawing on a scratch image.
struct TextSize {
    int width, height;
    bool operator==(const TextSize&) const = default;
};
TextSize MeasureWith(int font) {
    TextSize size{0, 0};
    const int image = CreateImage(PF_ANY, 8, 8);
    if (image != 0 && StartDrawing(ImageOutput(image))) {
        UseFont(font);
        size = {TextWidth("0123456789"), TextHeight("0123456789")};
        StopDrawing();
    }
    if (image != 0) FreeImage(image);
    return size;
}

}  // namespace

// The worked example of a 1920 x 1080 screen: the status bar's contents, their sizes
// and places on the screen, and the status-bar font.
TEST_F(PlayScreen, StatusBarContentsAtFullHd) {
    StartPlaying(1920, 1080, ModeEasy, SizeSmall);
    ASSERT_EQ(Display.TileSize, 96);
    EXPECT_EQ(Board.BoardLeft, 576);
    struct Content {
        int cell, image, width, height, x, y;
    };
    const Content contents[] = {
        {CellMenuButton, ImgMenuButton, 46, 46, 193, 985},
        {CellMode, ImgModeBox, 238, 46, 385, 985},
        {CellScore, ImgScoreBox, 142, 46, 1297, 985},
        {CellBest, ImgBestBox, 142, 46, 1585, 985},
    };
    for (const Content& c : contents) {
        SCOPED_TRACE(c.cell);
        EXPECT_EQ(SpriteWidth(c.image), c.width);
        EXPECT_EQ(SpriteHeight(c.image), c.height);
        // Drawn opaque at its place: the screen shows the image's own pixel, between the caps.
        const int px = c.width / 2, py = 2;
        EXPECT_EQ(ScreenPixel(c.x + px, c.y + py) & 0xFFFFFFu, ShownPixel(c.image, px, py) & 0xFFFFFFu);
    }
    const int atTwentyFour = LoadFontFace(PF_ANY, "Time and Space", 24, FONT_HIGHQUALITY);
    const int atTwentyTwo = LoadFontFace(PF_ANY, "Time and Space", 22, FONT_HIGHQUALITY);
    ASSERT_NE(atTwentyFour, 0);
    EXPECT_EQ(MeasureWith(HudFont), MeasureWith(atTwentyFour));
    EXPECT_NE(MeasureWith(HudFont), MeasureWith(atTwentyTwo));
}

namespace {

// The opaque pixels of a sprite as shown at its display size, row by row (0 where see-through).
std::vector<uint32_t> OpaquePixels(int sprite) {
    const int w = SpriteWidth(sprite), h = SpriteHeight(sprite);
    std::vector<uint32_t> pixels(size_t(w) * size_t(h), 0);
    const int image = CreateImage(PF_ANY, w, h);
    if (image != 0 && StartDrawing(ImageOutput(image))) {
        DrawShownSpriteOn(sprite, 0, 0);
        StopDrawing();
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const uint32_t p = ImagePixel(image, x, y);
                if (ColourAlpha(p) == 255) pixels[size_t(y) * size_t(w) + size_t(x)] = p;
            }
        }
    }
    if (image != 0) FreeImage(image);
    return pixels;
}

// How many opaque pixels of the sprite's area (x0..x1, y0..y1 of the sprite) the
// screen shows at (at.x, at.y) with another colour; `opaque` counts them all.
int PixelsNotShown(int sprite, ScreenPoint at, int x0, int y0, int x1, int y1, int* opaque) {
    const std::vector<uint32_t> pixels = OpaquePixels(sprite);
    const int w = SpriteWidth(sprite);
    int wrong = 0;
    *opaque = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const uint32_t p = pixels[size_t(y) * size_t(w) + size_t(x)];
            if (p == 0) continue;
            ++*opaque;
            if ((ScreenPixel(at.x + x, at.y + y) & 0xFFFFFFu) != (p & 0xFFFFFFu)) ++wrong;
        }
    }
    return wrong;
}

}  // namespace

// At 1920 x 1080 (T = 96, board top 96) the rails and ornaments of each board
// size lie at their worked places; the board with its side rails spans X - 5T..X + 5T,
// X - 7T..X + 7T and X - 9T..X + 9T. Each ornament shows its own image there (in
// the tile of it that nothing drawn later covers).
TEST_F(PlayScreen, BoardFrameFollowsTheBoardSize) {
    StartPlaying(1920, 1080, ModeEasy, SizeSmall);
    const int t = 96;
    struct Case {
        int size, railWidth;
        ScreenPoint top, bottom, left, right, topLeft, topRight, bottomLeft, bottomRight;
    };
    const Case cases[] = {
        {SizeLarge, 1536, {192, 0}, {192, 864}, {96, 96}, {1728, 96}, {96, 0}, {1632, 0}, {96, 768}, {1632, 768}},
        {SizeSmall, 768, {576, 0}, {576, 864}, {480, 96}, {1344, 96}, {480, 0}, {1248, 0}, {480, 768}, {1248, 768}},
        {SizeMedium, 1152, {384, 0}, {384, 864}, {288, 96}, {1536, 96}, {288, 0}, {1440, 0}, {288, 768}, {1440, 768}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        GameVars.BoardSize = c.size;
        ASSERT_TRUE(StartGame(false));
        RunOneFrame();
        for (int rail : {ImgFrameTop, ImgFrameBottom}) {
            EXPECT_EQ(SpriteWidth(rail), c.railWidth);
            EXPECT_EQ(SpriteHeight(rail), t);
        }
        for (int rail : {ImgFrameLeft, ImgFrameRight}) {
            EXPECT_EQ(SpriteWidth(rail), t);
            EXPECT_EQ(SpriteHeight(rail), 8 * t);
        }
        const BoardFramePlaces& f = Play.Frame;
        const std::pair<ScreenPoint, ScreenPoint> places[] = {
            {f.TopEdge, c.top},       {f.BottomEdge, c.bottom},     {f.LeftEdge, c.left},
            {f.RightEdge, c.right},   {f.TopLeft, c.topLeft},       {f.TopRight, c.topRight},
            {f.BottomLeft, c.bottomLeft}, {f.BottomRight, c.bottomRight},
        };
        for (size_t i = 0; i < std::size(places); ++i) {
            EXPECT_EQ(places[i].first.x, places[i].second.x) << "piece " << i;
            EXPECT_EQ(places[i].first.y, places[i].second.y) << "piece " << i;
        }
        const std::pair<int, ScreenPoint> ornaments[] = {{ImgDecorTopLeft, c.topLeft},
                                                         {ImgDecorTopRight, c.topRight},
                                                         {ImgDecorBottomLeft, c.bottomLeft},
                                                         {ImgDecorBottomRight, c.bottomRight}};
        for (const auto& [image, at] : ornaments) {
            const bool right = image == ImgDecorTopRight || image == ImgDecorBottomRight;
            int opaque = 0;
            EXPECT_EQ(PixelsNotShown(image, at, right ? t : 0, 0, right ? 2 * t : t, t, &opaque), 0) << image;
            EXPECT_GT(opaque, t) << image;
        }
    }
}

// Left to right through 21 stops, mirrored about the middle but for a redder last stop.
TEST_F(PlayScreen, BackgroundRunsThroughItsGradientStops) {
    StartAtMainMenu(ScreenOptions(ScreenBorderless, 1920, 1080));
    const Rgb stops[20] = {{191, 64, 64},   {191, 64, 115}, {182, 64, 191}, {131, 64, 191}, {68, 64, 191},
                           {64, 115, 191},  {64, 191, 191}, {64, 191, 127}, {137, 205, 106}, {115, 191, 64},
                           {191, 189, 64},  {115, 191, 64}, {137, 205, 106}, {64, 191, 127}, {64, 191, 191},
                           {64, 115, 191},  {68, 64, 191},  {131, 64, 191}, {182, 64, 191}, {191, 64, 115}};
    ASSERT_EQ(SpriteWidth(ImgPlayBackground), 1920);
    ASSERT_EQ(SpriteHeight(ImgPlayBackground), 1080);
    for (int i = 0; i < 20; ++i) {
        for (int y : {0, 1079}) {
            const uint32_t p = SpritePixel(ImgPlayBackground, i * 96, y);  // position i * 0.05
            EXPECT_EQ(ColourRed(p), stops[i].r) << "stop " << i;
            EXPECT_EQ(ColourGreen(p), stops[i].g) << "stop " << i;
            EXPECT_EQ(ColourBlue(p), stops[i].b) << "stop " << i;
            EXPECT_EQ(ColourAlpha(p), 255);
        }
    }
    // The last column lies just short of the last stop (192, 64, 64).
    const uint32_t last = SpritePixel(ImgPlayBackground, 1919, 500);
    EXPECT_EQ(ColourRed(last), 192);
    EXPECT_EQ(ColourGreen(last), 64);
    EXPECT_LE(ColourBlue(last), 66);
}

// The boxes are rendered at a game start and after a scoring placement, and only
// when their text changes; the text stands centred in the box.
TEST_F(PlayScreen, StatusBoxesRenderOnlyWhenTheirTextChanges) {
    StartPlaying(1024, 576, ModeEasy, SizeSmall);
    const uint32_t marker = RGB(255, 0, 255);
    auto mark = [&](int box) {
        ASSERT_TRUE(StartDrawing(SpriteOutput(box)));
        FillBox(0, 0, SpriteStoredWidth(box), SpriteStoredHeight(box), marker);
        StopDrawing();
    };
    auto marked = [&](int box) { return (SpritePixel(box, 0, 0) & 0xFFFFFFu) == marker; };
    for (int box : {ImgModeBox, ImgScoreBox, ImgBestBox}) mark(box);
    ASSERT_TRUE(StartGame(false));  // RESTART: same mode, best and score texts
    EXPECT_TRUE(marked(ImgModeBox));
    EXPECT_TRUE(marked(ImgScoreBox));
    EXPECT_TRUE(marked(ImgBestBox));
    GameVars.GameMode = ModeUnpredictable;
    SetBestScore(ModeUnpredictable, SizeSmall, 90);
    ASSERT_TRUE(StartGame(false));
    EXPECT_FALSE(marked(ImgModeBox));
    EXPECT_FALSE(marked(ImgBestBox));
    EXPECT_TRUE(marked(ImgScoreBox)) << "still 0";

    // A placement scores 10: the score box shows "10", centred.
    GiveSlot(1, 1);
    DragToCell(1, 3, 3);
    ASSERT_EQ(GameVars.Score, 10);
    ASSERT_FALSE(marked(ImgScoreBox));
    const int w = SpriteStoredWidth(ImgScoreBox), h = SpriteStoredHeight(ImgScoreBox);
    int left = w, right = -1, top = h, bottom = -1;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if ((SpritePixel(ImgScoreBox, x, y) & 0xFFFFFFu) == PanelColour) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    ASSERT_GE(right, left) << "the score is written";
    EXPECT_LE(std::abs((left + right + 1) - w), 4) << "centred across";
    EXPECT_LE(std::abs((top + bottom + 1) - h), 8) << "centred down";
}

// The cleared cells fade for exactly 16 frames at 255, 239, ... 15, then the
// end-of-move test runs in the frame the fade ends.
TEST_F(PlayScreen, ClearEffectFadesOverSixteenFrames) {
    StartPlaying(1024, 576, ModeEasy, SizeSmall);
    ClearTheLastRowByHand();  // the release's frame draws the first step
    ASSERT_EQ(Effects.EffectActive, 1);
    ASSERT_EQ(Effects.Count, 8);
    const BoardCell& cell = CellAt(0, BoardRows - 1);
    const int t = Display.TileSize;
    std::vector<std::vector<Rgb>> frames;
    auto grab = [&] {
        std::vector<Rgb> pixels;
        for (int y = 0; y < t; ++y) {
            for (int x = 0; x < t; ++x) pixels.push_back(PixelAt(cell.x + x, cell.y + y));
        }
        frames.push_back(pixels);
    };
    grab();
    for (int frame = 1; frame <= 16; ++frame) {
        // Frames 0 to 15 draw the effect; the step after frame 15's drawing ends it.
        EXPECT_EQ(Effects.EffectActive, frame <= 15 ? 1 : 0) << "before frame " << frame;
        RunOneFrame();
        grab();
    }
    RunOneFrame();
    grab();
    const std::vector<Rgb>& empty = frames[16];
    for (size_t i = 0; i < empty.size(); ++i) {
        ASSERT_EQ(Brightness(empty[i]), Brightness(frames[17][i])) << "frame 16 already shows the empty cell";
    }
    // The pixel where the effect stands out most from the empty cell.
    size_t at = 0;
    int most = -1;
    for (size_t i = 0; i < empty.size(); ++i) {
        const int d = std::abs(Brightness(frames[0][i]) - Brightness(empty[i]));
        if (d > most) most = d, at = i;
    }
    ASSERT_GE(most, 150);
    for (int k = 0; k < 16; ++k) {
        const int alpha = std::max(0, 255 - 16 * k);
        const Rgb& shown = frames[size_t(k)][at];
        auto expected = [&](int full, int none) { return none + (full - none) * alpha / 255; };
        EXPECT_NEAR(shown.r, expected(frames[0][at].r, empty[at].r), 4) << "frame " << k;
        EXPECT_NEAR(shown.g, expected(frames[0][at].g, empty[at].g), 4) << "frame " << k;
        EXPECT_NEAR(shown.b, expected(frames[0][at].b, empty[at].b), 4) << "frame " << k;
    }
    EXPECT_GE(std::abs(Brightness(frames[15][at]) - Brightness(empty[at])), 4) << "the last step is still seen";
}

// The carried piece is drawn centred on the pointer: shape 3's image is 3 x 2
// tiles, 288 x 192 at T = 96, so with the pointer at (250, 300) its corner lies at
// (250 - 144, 300 - 96) = (106, 204), over nothing but the background.
TEST_F(PlayScreen, CarriedPieceIsCentredOnThePointer) {
    StartPlaying(1920, 1080, ModeEasy, SizeSmall);
    GiveSlot(0, 3);
    PressAt(SlotCentreX(0), SlotCentreY(0));
    ASSERT_EQ(Play.Dragging, 1);
    MoveTo(250, 300);
    const int piece = Assets.Shape[3];
    ASSERT_EQ(SpriteWidth(piece), 288);
    ASSERT_EQ(SpriteHeight(piece), 192);
    int opaque = 0;
    EXPECT_EQ(PixelsNotShown(piece, {106, 204}, 0, 0, 288, 192, &opaque), 0);
    EXPECT_GT(opaque, 96 * 96);
}

// While the in-game menu is open the clear effect stays where it was, and the game
// does not end there even when nothing fits any more; after RESUME the fade runs
// on and its end finds the full board.
TEST_F(PlayScreen, ClearEffectHoldsUnderTheInGameMenu) {
    StartPlaying(1024, 576, ModeEasy, SizeSmall);
    ClearTheLastRowByHand();
    TapKey(KEY_ESCAPE);
    ASSERT_EQ(App.ScreenState, StateInGameMenu);
    ASSERT_EQ(Effects.EffectActive, 1);
    const int alpha = Effects.Items[Effects.Count - 1].alpha;
    for (int i = 0; i <= Board.LastColumn; ++i) {
        for (int j = 0; j < BoardRows; ++j) FillCell(i, j, 2);
    }
    RunFrames(40);
    EXPECT_EQ(App.ScreenState, StateInGameMenu);
    EXPECT_EQ(GameVars.GameRunning, 1);
    EXPECT_EQ(Effects.EffectActive, 1);
    EXPECT_EQ(Effects.Items[Effects.Count - 1].alpha, alpha);
    ClickButton(StateInGameMenu, 1);  // RESUME
    EXPECT_TRUE(RunUntilState(StateGameOver, 20));
}

// In full screen the pointer image is drawn with its corner on the pointer over
// every screen: a menu, the game, the in-game menu and the game-over panel.
TEST_F(PlayScreen, FullScreenDrawsThePointerImageOverEveryScreen) {
    StartAtMainMenu(ScreenOptions(ScreenFullscreen, 1024, 576));
    ASSERT_GT(SpriteWidth(ImgPointer), 0);
    const int w = SpriteWidth(ImgPointer), h = SpriteHeight(ImgPointer);
    for (int state : {StateMainMenu, StatePlaying, StateInGameMenu, StateGameOver}) {
        SCOPED_TRACE(state);
        if (state == StatePlaying) StartGameThroughMenus(ModeEasy, SizeSmall);
        if (state == StateInGameMenu) TapKey(KEY_ESCAPE);
        if (state == StateGameOver) {
            GameVars.GameRunning = 0;
            App.ScreenState = StateGameOver;
        }
        MoveTo(101, 77);
        ASSERT_EQ(App.ScreenState, state);
        int opaque = 0;
        EXPECT_EQ(PixelsNotShown(ImgPointer, {101, 77}, 0, 0, w, h, &opaque), 0);
        EXPECT_GT(opaque, 0);
    }
}

// States 10 to 12 draw the play screen, then the shadow over all of it.
TEST_F(PlayScreen, ShadowDarkensTheMenuStates) {
    StartPlaying(1024, 576, ModeEasy, SizeSmall);
    const int corners[3][2] = {{3, 3}, {1020, 3}, {3, 300}};
    Rgb playing[3];
    for (int i = 0; i < 3; ++i) playing[i] = PixelAt(corners[i][0], corners[i][1]);
    auto expectDarker = [&](const char* what) {
        RunOneFrame();
        for (int i = 0; i < 3; ++i) {
            const Rgb now = PixelAt(corners[i][0], corners[i][1]);
            EXPECT_LE(now.r, playing[i].r) << what;
            EXPECT_LE(now.g, playing[i].g) << what;
            EXPECT_LE(now.b, playing[i].b) << what;
            EXPECT_LT(Brightness(now) + 60, Brightness(playing[i])) << what;
        }
    };
    TapKey(KEY_ESCAPE);
    ASSERT_EQ(App.ScreenState, StateInGameMenu);
    expectDarker("in-game menu");
    ClickButton(StateInGameMenu, 3);
    ASSERT_EQ(App.ScreenState, StateInGameQuit);
    expectDarker("quit question");
    ClickButton(StateInGameQuit, 2);
    TapKey(KEY_ESCAPE);
    ASSERT_EQ(App.ScreenState, StatePlaying);
    RunOneFrame();
    EXPECT_EQ(Brightness(PixelAt(3, 3)), Brightness(playing[0])) << "no shadow while playing";
    for (int i = 0; i <= Board.LastColumn; ++i) {
        for (int j = 0; j < BoardRows; ++j) FillCell(i, j, 2);
    }
    ASSERT_EQ(EndOfMoveTest(), 1);
    HandleBoardEvents();
    ASSERT_EQ(App.ScreenState, StateGameOver);
    expectDarker("game over");
}

namespace {

// The play screen as listed image by image, each drawn every frame in its turn.
void DrawEveryImageInTurn() {
    const BoardFramePlaces& f = Play.Frame;
    const int t = Display.TileSize;
    const ScreenRect* slot = PlayLayout.TrayRect;
    DrawSpriteOpaque(ImgPlayBackground, 0, 0);
    DrawSprite(ImgFrameTop, f.TopEdge.x, f.TopEdge.y);
    DrawSprite(ImgFrameBottom, f.BottomEdge.x, f.BottomEdge.y);
    DrawSprite(ImgFrameRight, f.LeftEdge.x, f.LeftEdge.y);
    DrawSprite(ImgFrameLeft, f.RightEdge.x, f.RightEdge.y);
    for (int i = 0; i < Board.Columns; ++i) {
        for (int j = 0; j < BoardRows; ++j) DrawSprite(CellAt(i, j).image, CellAt(i, j).x, CellAt(i, j).y);
    }
    DrawSprite(ImgDecorTopLeft, f.TopLeft.x, f.TopLeft.y);
    DrawSprite(ImgDecorTopRight, f.TopRight.x, f.TopRight.y);
    DrawSprite(ImgDecorBottomLeft, f.BottomLeft.x, f.BottomLeft.y);
    DrawSprite(ImgDecorBottomRight, f.BottomRight.x, f.BottomRight.y);
    for (int k = 0; k < 3; ++k) DrawSpriteOpaque(Tray.Slots[k].image, slot[k].x1, slot[k].y1);
    DrawSprite(ImgTrayTop, slot[0].x1, slot[0].y1 - t);
    DrawSprite(ImgTrayLeft, slot[0].x1 - t, slot[0].y1);
    DrawSprite(ImgTrayRight, slot[2].x1 + Display.TrayCell, slot[0].y1);
    DrawSprite(ImgDecorTopLeft, slot[0].x1 - t, slot[0].y1 - t);
    DrawSprite(ImgDecorTopRight, slot[2].x1 + Display.TrayCell - t, slot[0].y1 - t);
    const int content[4] = {ImgMenuButton, ImgModeBox, ImgScoreBox, ImgBestBox};
    const int top[4] = {ImgMenuButtonTop, ImgModeBoxTop, ImgScoreBoxTop, ImgScoreBoxTop};
    const int bottom[4] = {ImgMenuButtonBottom, ImgModeBoxBottom, ImgScoreBoxBottom, ImgScoreBoxBottom};
    for (int i = 0; i < 4; ++i) {
        const StatusBarCell& c = PlayLayout.StatusCell[i];
        DrawSpriteOpaque(content[i], c.contentX, c.contentY);
        DrawSprite(top[i], c.bx, c.topEdgeY);
        DrawSprite(bottom[i], c.bx, c.bottomEdgeY);
        DrawSprite(ImgStatusLeftCap, c.leftCapX, c.capY);
        DrawSprite(ImgStatusRightCap, c.rightCapX, c.capY);
    }
}

std::vector<uint32_t> GrabScreen() {
    std::vector<uint32_t> pixels;
    const int image = GrabScreenImage(PF_ANY, 0, 0, ScreenWidth(), ScreenHeight());
    for (int y = 0; image != 0 && y < ScreenHeight(); ++y) {
        for (int x = 0; x < ScreenWidth(); ++x) pixels.push_back(ImagePixel(image, x, y));
    }
    if (image != 0) FreeImage(image);
    return pixels;
}

}  // namespace

// The frame draws the background with the edges composed into it once per game; the
// picture is the one drawing every image in its turn gives, also where an edge reaches
// over the cells (the tray's top edge on 16:9, the status bar's edges on 17:9).
TEST_F(PlayScreen, ComposedBackdropShowsWhatEveryImageInTurnShows) {
    struct Case {
        int width, height, size;
        bool trayTopComposed;
    };
    for (const Case& c : {Case{1920, 1080, SizeMedium, false}, Case{2040, 1080, SizeLarge, false},
                          Case{1280, 1024, SizeSmall, true}}) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        StartPlaying(c.width, c.height, ModeEasy, c.size);
        ASSERT_TRUE(Play.Frame.BackdropComposed);
        EXPECT_EQ(Play.Frame.EdgeInBackdrop[4], c.trayTopComposed);
        for (int i = 0; i <= Board.LastColumn; ++i) FillCell(i, BoardRows - 1, 1 + i % 11);
        RunOneFrame();
        const std::vector<uint32_t> frame = GrabScreen();
        ClearFrame(RGB(255, 0, 255));
        DrawEveryImageInTurn();
        const std::vector<uint32_t> inTurn = GrabScreen();
        ASSERT_EQ(frame.size(), inTurn.size());
        ASSERT_EQ(frame.size(), size_t(c.width) * size_t(c.height));
        size_t differing = 0;
        for (size_t i = 0; i < frame.size(); ++i) {
            const uint32_t a = frame[i], b = inTurn[i];
            const int d = std::max({std::abs(ColourRed(a) - ColourRed(b)), std::abs(ColourGreen(a) - ColourGreen(b)),
                                    std::abs(ColourBlue(a) - ColourBlue(b))});
            differing += d > 4;  // blending rounds a little differently on and off the screen
        }
        EXPECT_EQ(differing, 0u);
        StopHarness();
    }
}
