// app_play_frame.cpp: the cost of one play-screen frame of a game in progress, headless with the software
// renderer, side by side with a bare loop that makes the same blits, and with a main-menu frame.
//
// Each iteration runs one game frame and one bare frame, timed separately, so that
// the load of the machine falls on both columns alike. Counters: game_ms and
// bare_ms per frame and their ratio, and edges_each_frame_ms, the bare blits with
// the edges blended every frame instead of composed into the backdrop.
#include <benchmark/benchmark.h>

#include <ctime>
#include <string>

#include "bench_game_folder.h"
#include "core/state.h"
#include "play/play.h"
#include "app/spine.h"
#include "board.h"
#include "display/assets.h"
#include "display/display.h"
#include "platform.h"

namespace {

// Processor time of this thread: what the frames cost, whatever else the machine runs.
double ThreadMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Drawing is queued until the frame is shown or read; reading one pixel carries it
// out, so that each frame's drawing is counted in its own column.
void FinishDrawing() { (void)ScreenPixel(0, 0); }

// The real data in a folder of its own (full screen, music and sounds off), up to the main menu.
bool StartGameFolder(int width, int height) {
    const std::string folder = PrepareBenchGameFolder("app_play_frame", 0, 0);
    if (folder.empty()) return false;
    PfSelectBackend(PF_BACKEND_HEADLESS);
    PfSetHeadlessDesktopSize(width, height);
    Start.GameDir = folder;
    StartUp();
    while (App.ScreenState != StateMainMenu) RunOneFrame();
    return true;
}

// A LARGE board (the most cells) with a dozen pieces on it, the pointer resting.
void StartGameInProgress() {
    GameVars.GameMode = ModeEasy;
    GameVars.BoardSize = SizeLarge;
    StartGame(true);
    uint64_t bot = 5;
    BoardMove move;
    for (int i = 0; i < 12 && ChooseBotMove(BotGreedy, &bot, &move); ++i) PlayMove(move);
    HandleBoardEvents();
    SetMousePosition(Display.ScreenWidth / 3, Display.ScreenHeight / 3);
    for (int i = 0; i < 5; ++i) RunOneFrame();
}

// The blits of a still play-screen frame, in the same order, with none of the game
// around them. With `edgesEachFrame` the plain background is drawn and every edge
// blended in its place each frame: the literal list of blits, without the backdrop.
void BareFrame(bool edgesEachFrame) {
    FlipFrame();
    const int t = Display.TileSize;
    const ScreenRect* slot = PlayLayout.TrayRect;
    const BoardFramePlaces& f = Play.Frame;
    auto edge = [&](int e, int image, int x, int y) {
        if (edgesEachFrame || !f.EdgeInBackdrop[e]) DrawSprite(image, x, y);
    };
    DrawSpriteOpaque(edgesEachFrame ? ImgPlayBackground : ImgPlayBackdrop, 0, 0);
    edge(0, ImgFrameTop, f.TopEdge.x, f.TopEdge.y);
    edge(1, ImgFrameBottom, f.BottomEdge.x, f.BottomEdge.y);
    edge(2, ImgFrameRight, f.LeftEdge.x, f.LeftEdge.y);
    edge(3, ImgFrameLeft, f.RightEdge.x, f.RightEdge.y);
    for (int i = 0; i < Board.Columns; ++i) {
        for (int j = 0; j < BoardRows; ++j) DrawSprite(CellAt(i, j).image, CellAt(i, j).x, CellAt(i, j).y);
    }
    DrawSprite(ImgDecorTopLeft, f.TopLeft.x, f.TopLeft.y);
    DrawSprite(ImgDecorTopRight, f.TopRight.x, f.TopRight.y);
    DrawSprite(ImgDecorBottomLeft, f.BottomLeft.x, f.BottomLeft.y);
    DrawSprite(ImgDecorBottomRight, f.BottomRight.x, f.BottomRight.y);
    for (int k = 0; k < TraySlots; ++k) DrawSpriteOpaque(Tray.Slots[k].image, slot[k].x1, slot[k].y1);
    edge(4, ImgTrayTop, slot[0].x1, slot[0].y1 - t);
    edge(5, ImgTrayLeft, slot[0].x1 - t, slot[0].y1);
    edge(6, ImgTrayRight, slot[2].x2, slot[0].y1);
    DrawSprite(ImgDecorTopLeft, slot[0].x1 - t, slot[0].y1 - t);
    DrawSprite(ImgDecorTopRight, slot[2].x2 - t, slot[0].y1 - t);
    const int content[4] = {ImgMenuButton, ImgModeBox, ImgScoreBox, ImgBestBox};
    const int top[4] = {ImgMenuButtonTop, ImgModeBoxTop, ImgScoreBoxTop, ImgScoreBoxTop};
    const int bottom[4] = {ImgMenuButtonBottom, ImgModeBoxBottom, ImgScoreBoxBottom, ImgScoreBoxBottom};
    for (int i = 0; i < 4; ++i) {
        const StatusBarCell& c = PlayLayout.StatusCell[i];
        DrawSpriteOpaque(content[i], c.contentX, c.contentY);
        edge(7 + 2 * i, top[i], c.bx, c.topEdgeY);
        edge(8 + 2 * i, bottom[i], c.bx, c.bottomEdgeY);
        DrawSprite(ImgStatusLeftCap, c.leftCapX, c.capY);
        DrawSprite(ImgStatusRightCap, c.rightCapX, c.capY);
    }
    DrawSprite(ImgPointer, Display.ScreenWidth / 3, Display.ScreenHeight / 3);
}

void BM_PlayFrameBesideBareBlits(benchmark::State& state) {
    if (!StartGameFolder(int(state.range(0)), int(state.range(1)))) {
        state.SkipWithError("the game's data pack has not been built");
        return;
    }
    StartGameInProgress();
    if (!Play.Frame.BackdropComposed) {
        state.SkipWithError("the backdrop was not composed");
        return;
    }
    double game = 0, bare = 0, literal = 0;
    for (auto _ : state) {
        const double t0 = ThreadMilliseconds();
        RunOneFrame();
        FinishDrawing();
        const double t1 = ThreadMilliseconds();
        BareFrame(false);
        FinishDrawing();
        const double t2 = ThreadMilliseconds();
        BareFrame(true);
        FinishDrawing();
        game += t1 - t0;
        bare += t2 - t1;
        literal += ThreadMilliseconds() - t2;
    }
    const double n = double(state.iterations());
    state.counters["game_ms"] = game / n;
    state.counters["bare_ms"] = bare / n;
    state.counters["ratio"] = game / bare;
    state.counters["edges_each_frame_ms"] = literal / n;
    PfShutdown();
}

// The main menu's frame at the same size, for comparison with the play screen's.
void BM_MainMenuFrame(benchmark::State& state) {
    if (!StartGameFolder(int(state.range(0)), int(state.range(1)))) {
        state.SkipWithError("the game's data pack has not been built");
        return;
    }
    double menu = 0;
    for (auto _ : state) {
        const double t0 = ThreadMilliseconds();
        RunOneFrame();
        FinishDrawing();
        menu += ThreadMilliseconds() - t0;
    }
    state.counters["menu_ms"] = menu / double(state.iterations());
    PfShutdown();
}

}  // namespace

BENCHMARK(BM_PlayFrameBesideBareBlits)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MainMenuFrame)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
