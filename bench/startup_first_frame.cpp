// startup_first_frame.cpp: time from the start of StartUp (headless) to the first presented frame, with the real pack.
#include <benchmark/benchmark.h>

#include <string>

#include "bench_game_folder.h"
#include "core/state.h"
#include "app/spine.h"
#include "display/assets.h"
#include "display/display.h"
#include "platform/platform.h"

namespace {

void BM_StartUpToFirstFrame(benchmark::State& state) {
    if (FileSize(std::string(PRISMORIA_BIN_DIR) + "/Prismoria.data") <= 0) {
        state.SkipWithError("the game's data pack has not been built");
        return;
    }
    const std::string folder = PrepareBenchGameFolder("startup_first_frame", 2, 1);
    if (folder.empty()) {
        state.SkipWithError("could not prepare the game folder");
        return;
    }
    PfSelectBackend(PF_BACKEND_HEADLESS);
    PfSetHeadlessDesktopSize(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    Start.GameDir = folder;
    for (auto _ : state) {
        Assets = AssetImages();
        StartUp();
        RunOneFrame();  // draws the studio logo
        FlipFrame();    // and presents it
        state.PauseTiming();
        PfShutdown();
        state.ResumeTiming();
    }
    state.counters["TileSize"] = Display.TileSize;
}

BENCHMARK(BM_StartUpToFirstFrame)->Args({1920, 1080})->Args({1280, 720})->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
