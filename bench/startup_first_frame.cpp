// startup_first_frame.cpp: time from the start of StartUp (headless) to the first presented frame, with the real pack.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "app/app.h"
#include "app/spine.h"
#include "display/assets.h"
#include "display/display.h"
#include "platform/platform.h"

namespace {

// A game folder of its own: the real data beside a preferences file, so the
// run saves nothing into the user's folders.
std::string PrepareGameFolder() {
    const std::string bin = std::string(PRISMORIA_BIN_DIR) + "/";
    const std::string folder = bin + "../bench-tmp/startup_first_frame/";
    CreateFolderPath(folder);
    for (const char* name : {"Prismoria.data", "Prismoria.pointer", "Prismoria.languages"}) {
        std::error_code error;
        std::filesystem::remove(folder + name, error);
        std::filesystem::create_symlink(bin + name, folder + name, error);
        if (error) return "";
    }
    const std::string prefs =
        "\xEF\xBB\xBF\r\n; Prismoria Preferences\r\n[Settings]\r\nLanguage = en_GB\r\nMusic = 1\r\n"
        "GameScreen = 2\r\nResolution = 1\r\nSounds = 1\r\nMusicVolume = 100\r\n";
    WriteWholeFile(folder + "Prismoria.prefs", prefs.data(), prefs.size());
    return folder;
}

void BM_StartUpToFirstFrame(benchmark::State& state) {
    if (FileSize(std::string(PRISMORIA_BIN_DIR) + "/Prismoria.data") <= 0) {
        state.SkipWithError("the game's data pack has not been built");
        return;
    }
    const std::string folder = PrepareGameFolder();
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
