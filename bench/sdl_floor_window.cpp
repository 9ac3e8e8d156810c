// sdl_floor_window.cpp: the floor for start-up figures: a bare SDL program that opens the game's full-screen window and presents one frame.
//
//   sdl_floor_window
//
// Prints "first_frame_ms=<ms> cpu_ms=<ms> vmhwm_kb=<kB>". The time counts from the moment in
// PRISMORIA_BENCH_LAUNCH (seconds since the epoch, as bash's $EPOCHREALTIME
// gives it just before the program is started), so the program's own loading
// is included, as it is for the game.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

double SecondsSinceLaunch() {
    const char* launch = std::getenv("PRISMORIA_BENCH_LAUNCH");
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    double seconds = double(now.tv_sec) + double(now.tv_nsec) / 1e9;
    return launch ? seconds - std::atof(launch) : 0.0;
}

long VmHwmKb() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status) return 0;
    char line[256];
    long kb = 0;
    while (std::fgets(line, sizeof line, status)) {
        if (std::strncmp(line, "VmHWM:", 6) == 0) kb = std::atol(line + 6);
    }
    std::fclose(status);
    return kb;
}

}  // namespace

int main(int, char**) {
    // With the software renderer asked for, the frame goes to the window as it is:
    // left alone, SDL would load OpenGL only to decide how to show it (the game
    // does the same).
    const char* driver = std::getenv("SDL_RENDER_DRIVER");
    if (driver && std::strcmp(driver, "software") == 0) SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "SDL_Init: %s\n", SDL_GetError());
        return 1;
    }
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return 1;
    SDL_Window* window = SDL_CreateWindow("floor", SDL_WINDOWPOS_CENTERED_DISPLAY(0), SDL_WINDOWPOS_CENTERED_DISPLAY(0),
                                          mode.w, mode.h, SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_SHOWN);
    SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, 0) : nullptr;
    if (!renderer) {
        std::fprintf(stderr, "no window or renderer: %s\n", SDL_GetError());
        return 1;
    }
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderPresent(renderer);
    const double firstFrame = SecondsSinceLaunch();
    timespec used{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    std::printf("first_frame_ms=%.0f cpu_ms=%.0f vmhwm_kb=%ld\n", firstFrame * 1000.0,
                (double(used.tv_sec) + double(used.tv_nsec) / 1e9) * 1000.0, VmHwmKb());
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
