// app_menu_frame.cpp: the cost of one main-menu frame (gem wall, logo, panel, buttons), headless, real pack.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "app/app.h"
#include "app/spine.h"
#include "platform.h"

namespace {

// The real data beside a preferences file in a folder of its own: nothing reaches the user's folders.
std::string PrepareGameFolder() {
    const std::string bin = std::string(PRISMORIA_BIN_DIR) + "/";
    const std::string folder = bin + "../bench-tmp/app_menu_frame/";
    CreateFolderPath(folder);
    for (const char* name : {"Prismoria.data", "Prismoria.pointer", "Prismoria.languages"}) {
        std::error_code error;
        std::filesystem::remove(folder + name, error);
        std::filesystem::create_symlink(bin + name, folder + name, error);
    }
    const std::string prefs =
        "\xEF\xBB\xBF\r\n[Settings]\r\nLanguage = en_GB\r\nMusic = 0\r\nGameScreen = 0\r\n"
        "Resolution = 1\r\nSounds = 0\r\nMusicVolume = 100\r\n";
    WriteWholeFile(folder + "Prismoria.prefs", prefs.data(), prefs.size());
    return folder;
}

void BM_MainMenuFrame(benchmark::State& state) {
    if (FileSize(std::string(PRISMORIA_BIN_DIR) + "/Prismoria.data") <= 0) {
        state.SkipWithError("the game's data pack has not been built");
        return;
    }
    PfSelectBackend(PF_BACKEND_HEADLESS);
    PfSetHeadlessDesktopSize(int(state.range(0)), int(state.range(1)));
    Start.GameDir = PrepareGameFolder();
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
