// platform_keyfile.cpp: time to parse a 1 MB key/value file and to look keys up in it.
#include <benchmark/benchmark.h>

#include "pf_internal.h"
#include "platform.h"

#include <string>

namespace {

constexpr int GroupCount = 200;
constexpr int KeysPerGroup = 150;

// About 1 MB: a language-file-like text with a byte-order mark, comments and CR LF.
const std::string& SampleText() {
    static std::string text;
    if (text.empty()) {
        text = "\xEF\xBB\xBF\r\n; generated for the benchmark\r\n";
        for (int g = 0; g < GroupCount; g++) {
            text += "[Group" + std::to_string(g) + "]\r\n";
            for (int k = 0; k < KeysPerGroup; k++) {
                text += "tKey" + std::to_string(k) + " = Text number " + std::to_string(g * KeysPerGroup + k) +
                        " for the menus\r\n";
            }
        }
    }
    return text;
}

void ParseOneMegabyte(benchmark::State& state) {
    const std::string& text = SampleText();
    for (auto _ : state) {
        int ok = OpenKeyBytes(1, text.data(), text.size());
        benchmark::DoNotOptimize(ok);
        CloseKeyFile(1);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
    state.counters["bytes"] = double(text.size());
    PfKeyFilesShutdown();
}
BENCHMARK(ParseOneMegabyte)->Unit(benchmark::kMillisecond);

void LookUpKeys(benchmark::State& state) {
    const std::string& text = SampleText();
    OpenKeyBytes(1, text.data(), text.size());
    int g = 0;
    for (auto _ : state) {
        SelectGroup(1, "GROUP" + std::to_string(g));
        for (int k = 0; k < KeysPerGroup; k += 7) {
            benchmark::DoNotOptimize(ReadKeyText(1, "tkey" + std::to_string(k), ""));
        }
        g = (g + 1) % GroupCount;
    }
    PfKeyFilesShutdown();
}
BENCHMARK(LookUpKeys);

}  // namespace

BENCHMARK_MAIN();
