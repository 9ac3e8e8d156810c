// sdl_sound_open.cpp: what one try of the sound device costs, as the game makes it while its device is lost.
//
//   SDL_AUDIODRIVER=pulseaudio sdl_sound_open
//   SDL_AUDIODRIVER=pulseaudio PRISMORIA_BENCH_THEN="pulseaudio --kill" sdl_sound_open
//
// The game tries a lost device again every few seconds in the spare time of a
// frame; these figures say how much of that spare time one try takes: with the
// sound server up (the try opens the device), and with the server gone after
// SDL's audio started on it (the try fails), the command in
// PRISMORIA_BENCH_THEN being run once SDL's audio is up.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {

SDL_AudioDeviceID OpenAsTheGameDoes() {
    SDL_AudioSpec wanted{};
    wanted.freq = 44100;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = 1024;
    wanted.callback = [](void*, Uint8* stream, int length) { SDL_memset(stream, 0, size_t(length)); };
    SDL_AudioSpec obtained{};
    return SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
}

void BM_SoundDeviceTry(benchmark::State& state) {
    int opened = 0;
    for (auto _ : state) {
        SDL_AudioDeviceID device = OpenAsTheGameDoes();
        if (device != 0) {
            ++opened;
            state.PauseTiming();
            SDL_CloseAudioDevice(device);
            state.ResumeTiming();
        }
    }
    state.counters["opened"] = benchmark::Counter(double(opened), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_SoundDeviceTry)->Unit(benchmark::kMicrosecond)->Iterations(50)->Repetitions(3);

}  // namespace

int main(int argc, char** argv) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::fprintf(stderr, "no audio: %s\n", SDL_GetError());
        return 1;
    }
    std::printf("driver=%s\n", SDL_GetCurrentAudioDriver());
    if (const char* then = std::getenv("PRISMORIA_BENCH_THEN")) {
        if (std::system(then) != 0) std::fprintf(stderr, "'%s' failed\n", then);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    SDL_Quit();
    return 0;
}
