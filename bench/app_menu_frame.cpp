// app_menu_frame.cpp: the cost of one main-menu frame (gem wall, logo, panel, buttons), headless, real pack.
#include <benchmark/benchmark.h>

#include <string>

#include "bench_game_folder.h"
#include "core/state.h"
#include "app/spine.h"
#include "platform.h"

namespace {

void BM_MainMenuFrame(benchmark::State& state) {
    if (FileSize(std::string(PRISMORIA_BIN_DIR) + "/Prismoria.data") <= 0) {
        state.SkipWithError("the game's data pack has not been built");
        return;
    }
    PfSelectBackend(PF_BACKEND_HEADLESS);
    PfSetHeadlessDesktopSize(int(state.range(0)), int(state.range(1)));
    Start.GameDir = PrepareBenchGameFolder("app_menu_frame", 0, 0);
    StartUp();
    while (App.ScreenState != StateMainMenu) RunOneFrame();
    for (auto _ : state) {
        RunOneFrame();
    }
    PfShutdown();
}

}  // namespace

BENCHMARK(BM_MainMenuFrame)->Args({1920, 1080})->Args({1280, 720})->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
