// draw_boxes_test.cpp: drawing boxes, gradients and images into images and sprites.
#include "video_test_support.h"

using DrawTest = HeadlessVideo;

// An image of one opaque colour under a fresh handle.
static int SolidImage(int width, int height, uint32_t colour) {
    int image = CreateImage(PF_ANY, width, height);
    if (!image || !StartDrawing(ImageOutput(image))) return 0;
    FillBox(0, 0, width, height, colour);
    StopDrawing();
    return image;
}

TEST_F(DrawTest, OutputsMustExist) {
    EXPECT_EQ(SpriteOutput(3), 0);
    EXPECT_EQ(ImageOutput(3), 0);
    EXPECT_EQ(StartDrawing(0), 0);
    EXPECT_EQ(StartDrawing(12345), 0);
    // Drawing without an output does nothing and does not crash.
    FillBox(0, 0, 10, 10, RGB(1, 2, 3));
    DrawTextAt(0, 0, "x");
    DrawImageOn(1, 0, 0);
    StopDrawing();
    // A sprite and an image under the same number are different outputs.
    ASSERT_EQ(CreateSprite(1, 2, 2, 0), 1);
    ASSERT_EQ(CreateImage(1, 2, 2), 1);
    EXPECT_NE(SpriteOutput(1), ImageOutput(1));
    ASSERT_EQ(StartDrawing(ImageOutput(1)), 1);
    FillBox(0, 0, 2, 2, RGB(9, 9, 9));
    StopDrawing();
    EXPECT_EQ(ImagePixel(1, 0, 0), RGBA(9, 9, 9, 255));
    EXPECT_EQ(SpritePixel(1, 0, 0), RGBA(0, 0, 0, 255));
}

TEST_F(DrawTest, OutputFreedWhileDrawingIsLeftAlone) {
    ASSERT_EQ(CreateImage(1, 4, 4), 1);
    ASSERT_EQ(StartDrawing(ImageOutput(1)), 1);
    FreeImage(1);
    FillBox(0, 0, 4, 4, RGB(1, 1, 1));
    StopDrawing();
    EXPECT_EQ(IsImage(1), 0);
}

TEST_F(DrawTest, OpaqueAndBlendedBoxes) {
    int image = SolidImage(10, 10, RGB(0, 0, 255));
    ASSERT_NE(image, 0);
    ASSERT_EQ(StartDrawing(ImageOutput(image)), 1);
    // Default mode replaces pixels and ignores the alpha byte.
    FillBox(0, 0, 2, 2, RGBA(255, 0, 0, 10));
    EXPECT_EQ(ImagePixel(image, 1, 1), RGBA(255, 0, 0, 255));
    DrawingMode(DRAW_ALPHABLEND);
    FillBox(4, 4, 2, 2, RGBA(255, 0, 0, 128));
    EXPECT_LE(ChannelDistance(ImagePixel(image, 4, 4), RGB(128, 0, 127)), 2);
    EXPECT_EQ(ColourAlpha(ImagePixel(image, 4, 4)), 255);
    // A colour made with RGB() is opaque even in alpha-blend mode.
    FillBox(8, 8, 2, 2, RGB(0, 255, 0));
    EXPECT_EQ(ImagePixel(image, 9, 9), RGBA(0, 255, 0, 255));
    // Without a colour the front colour fills.
    SetFrontColor(RGB(7, 8, 9));
    FillBox(0, 8, 1, 1);
    EXPECT_EQ(ImagePixel(image, 0, 8), RGBA(7, 8, 9, 255));
    StopDrawing();
}

TEST_F(DrawTest, BlendingOntoTransparentPixelsKeepsTheColour) {
    ASSERT_EQ(CreateSprite(1, 4, 4, SPRITE_ALPHA), 1);
    ASSERT_EQ(StartDrawing(SpriteOutput(1)), 1);
    DrawingMode(DRAW_ALPHABLEND);
    FillBox(0, 0, 4, 4, RGBA(255, 128, 0, 100));
    StopDrawing();
    uint32_t p = SpritePixel(1, 2, 2);
    EXPECT_EQ(ColourRed(p), 255);
    EXPECT_EQ(ColourGreen(p), 128);
    EXPECT_EQ(ColourAlpha(p), 100);
}

TEST_F(DrawTest, BoxesAreClippedToTheOutput) {
    int image = SolidImage(10, 10, RGB(0, 0, 0));
    ASSERT_EQ(StartDrawing(ImageOutput(image)), 1);
    FillBox(-5, -5, 7, 7, RGB(255, 255, 255));
    FillBox(8, 8, 100, 100, RGB(255, 255, 255));
    FillBox(2000000000, 2000000000, 2000000000, 2000000000, RGB(1, 1, 1));
    FillBox(3, 3, -4, 2, RGB(1, 1, 1));
    StopDrawing();
    EXPECT_EQ(ImagePixel(image, 1, 1), RGBA(255, 255, 255, 255));
    EXPECT_EQ(ImagePixel(image, 2, 2), RGBA(0, 0, 0, 255));
    EXPECT_EQ(ImagePixel(image, 9, 9), RGBA(255, 255, 255, 255));
    EXPECT_EQ(ImagePixel(image, 3, 3), RGBA(0, 0, 0, 255));
}

TEST_F(DrawTest, GradientStopsAppearAtTheirPositions) {
    int image = CreateImage(PF_ANY, 201, 3);
    ASSERT_EQ(StartDrawing(ImageOutput(image)), 1);
    DrawingMode(DRAW_GRADIENT);
    SetFrontColor(RGB(191, 64, 64));
    SetBackColor(RGB(64, 64, 191));
    LinearGradient(0, 3, 200, 3);
    GradientColor(0.5, RGB(191, 189, 64));
    GradientColor(0.25, RGB(64, 191, 191));  // stops may come in any order
    FillBox(0, 0, 201, 3, RGB(1, 2, 3));    // the gradient wins over the colour
    StopDrawing();
    EXPECT_EQ(ImagePixel(image, 0, 1), RGBA(191, 64, 64, 255));
    EXPECT_EQ(ImagePixel(image, 50, 1), RGBA(64, 191, 191, 255));
    EXPECT_EQ(ImagePixel(image, 100, 0), RGBA(191, 189, 64, 255));
    EXPECT_EQ(ImagePixel(image, 200, 2), RGBA(64, 64, 191, 255));
    // Half-way between two stops is the mix of both.
    EXPECT_LE(ChannelDistance(ImagePixel(image, 25, 1), RGB(128, 128, 128)), 1);
    EXPECT_LE(ChannelDistance(ImagePixel(image, 150, 1), RGB(128, 127, 128)), 1);
}

TEST_F(DrawTest, GradientBeyondItsEndsAndVertical) {
    int image = CreateImage(PF_ANY, 10, 30);
    ASSERT_EQ(StartDrawing(ImageOutput(image)), 1);
    DrawingMode(DRAW_GRADIENT);
    SetFrontColor(RGB(255, 0, 0));
    SetBackColor(RGB(0, 0, 255));
    LinearGradient(0, 10, 0, 20);
    FillBox(0, 0, 10, 30);
    StopDrawing();
    EXPECT_EQ(ImagePixel(image, 5, 0), RGBA(255, 0, 0, 255));
    EXPECT_EQ(ImagePixel(image, 5, 10), RGBA(255, 0, 0, 255));
    EXPECT_EQ(ImagePixel(image, 5, 20), RGBA(0, 0, 255, 255));
    EXPECT_EQ(ImagePixel(image, 5, 29), RGBA(0, 0, 255, 255));
    EXPECT_LE(ChannelDistance(ImagePixel(image, 5, 15), RGB(128, 0, 128)), 1);
}

TEST_F(DrawTest, StartDrawingResetsTheContext) {
    int image = SolidImage(4, 4, RGB(0, 0, 0));
    ASSERT_EQ(StartDrawing(ImageOutput(image)), 1);
    DrawingMode(DRAW_GRADIENT | DRAW_ALPHABLEND);
    SetFrontColor(RGBA(255, 0, 0, 10));
    GradientColor(0.5, RGB(0, 255, 0));
    StopDrawing();
    ASSERT_EQ(StartDrawing(ImageOutput(image)), 1);
    FillBox(0, 0, 4, 4);  // default mode, default front colour: opaque white
    StopDrawing();
    EXPECT_EQ(ImagePixel(image, 0, 0), RGBA(255, 255, 255, 255));
}

TEST_F(DrawTest, ImagesAndSpritesDrawnOnOthers) {
    int target = SolidImage(6, 6, RGB(0, 0, 255));
    std::vector<uint32_t> pixels = {RGBA(255, 0, 0, 255), RGBA(255, 0, 0, 0), RGBA(255, 0, 0, 128),
                                    RGBA(0, 255, 0, 255)};
    std::vector<uint8_t> png = MakePng(2, 2, pixels);
    int source = LoadImageBytes(PF_ANY, png.data(), png.size());
    ASSERT_EQ(LoadSpriteBytes(5, png.data(), png.size(), SPRITE_ALPHA), 1);
    ScaleSprite(5, 20, 20);  // drawn on others at its stored size all the same
    ASSERT_EQ(StartDrawing(ImageOutput(target)), 1);
    // Default mode copies the pixels as they are.
    DrawImageOn(source, 0, 0);
    EXPECT_EQ(ImagePixel(target, 1, 0), RGBA(255, 0, 0, 0));
    // Alpha-blend mode lays them over what is there.
    DrawingMode(DRAW_ALPHABLEND);
    DrawSpriteOn(5, 2, 2);
    EXPECT_EQ(ImagePixel(target, 2, 2), RGBA(255, 0, 0, 255));
    EXPECT_EQ(ImagePixel(target, 3, 2), RGBA(0, 0, 255, 255));
    EXPECT_LE(ChannelDistance(ImagePixel(target, 2, 3), RGB(128, 0, 127)), 2);
    EXPECT_EQ(ImagePixel(target, 4, 4), RGBA(0, 0, 255, 255));
    // Clipped at the edges, and drawn onto itself without harm.
    DrawImageOn(source, 5, 5);
    DrawImageOn(source, -1, -1);
    EXPECT_EQ(ImagePixel(target, 5, 5), RGBA(255, 0, 0, 255));
    EXPECT_EQ(ImagePixel(target, 0, 0), RGBA(0, 255, 0, 255));
    DrawImageOn(target, 1, 1);
    EXPECT_EQ(ImagePixel(target, 1, 1), RGBA(0, 255, 0, 255));
    DrawImageOn(999, 0, 0);
    StopDrawing();
}
