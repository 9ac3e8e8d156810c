// platform_draw.cpp: cost of one headless frame of N sprite draws, and of drawing a text into an image.
#include <benchmark/benchmark.h>

#include <vector>

#include "platform.h"

namespace {

// A 1280 x 720 headless screen with a 64 x 64 sprite, scaled to a 48-pixel tile.
void OpenBenchScreen() {
    PfShutdown();
    PfSelectBackend(PF_BACKEND_HEADLESS);
    InitSprite();
    OpenGameScreen(1280, 720, 32, "bench", 0);
    SetSpriteQuality(1);
    CreateSprite(1, 64, 64, SPRITE_ALPHA);
    StartDrawing(SpriteOutput(1));
    DrawingMode(DRAW_ALPHABLEND);
    FillBox(8, 8, 48, 48, RGBA(200, 120, 40, 200));
    StopDrawing();
    ScaleSprite(1, 48, 48);
}

void BM_DrawSpritesPerFrame(benchmark::State& state) {
    OpenBenchScreen();
    int count = int(state.range(0));
    for (auto _ : state) {
        ClearFrame(RGB(0, 0, 0));
        for (int i = 0; i < count; i++) DrawSprite(1, (i * 48) % 1280, ((i * 48) / 1280) * 48 % 720);
        FlipFrame();
    }
    state.SetItemsProcessed(state.iterations() * count);
    PfShutdown();
}
BENCHMARK(BM_DrawSpritesPerFrame)->Arg(1)->Arg(100)->Arg(400)->Unit(benchmark::kMillisecond);

void BM_FillGradientFullScreenImage(benchmark::State& state) {
    OpenBenchScreen();
    int image = CreateImage(PF_ANY, 1280, 720);
    for (auto _ : state) {
        StartDrawing(ImageOutput(image));
        DrawingMode(DRAW_GRADIENT);
        SetFrontColor(RGB(191, 64, 64));
        SetBackColor(RGB(191, 64, 64));
        LinearGradient(0, 720, 1280, 720);
        for (int i = 1; i < 20; i++) GradientColor(i / 20.0, RGB(i * 12, 255 - i * 12, 128));
        FillBox(0, 0, 1280, 720);
        StopDrawing();
    }
    PfShutdown();
}
BENCHMARK(BM_FillGradientFullScreenImage)->Unit(benchmark::kMillisecond);

void BM_DrawTextIntoImage(benchmark::State& state) {
    OpenBenchScreen();
    InstallFontFile("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
    LoadFontFace(1, "DejaVu Sans", 24, FONT_HIGHQUALITY);
    int image = CreateImage(PF_ANY, 400, 60);
    for (auto _ : state) {
        StartDrawing(ImageOutput(image));
        UseFont(1);
        DrawingMode(DRAW_TRANSPARENT | DRAW_ALPHABLEND);
        DrawTextAt(4, 4, "UNPREDICTABLE 123456", RGBA(255, 255, 255, 255));
        StopDrawing();
    }
    PfShutdown();
}
BENCHMARK(BM_DrawTextIntoImage)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
