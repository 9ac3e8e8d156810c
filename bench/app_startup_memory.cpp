// app_startup_memory.cpp: the real game on the system backend: time to its first frames and peak memory through intro, menu and a game.
//
//   bench_app_startup_memory <game folder>
//
// Run by bench/startup_memory.sh under Xvfb, which prepares the folder (the data
// files and a preferences file) and sets PRISMORIA_BENCH_LAUNCH to the moment it
// started the program (seconds since the epoch), so the times include loading
// the program itself. Drives the game as a player would: the intro runs out, the
// main menu shows for two seconds, QUICKGAME starts a game that runs for three.
// Prints one line of name=value figures.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "core/state.h"
#include "app/spine.h"
#include "menus/menus.h"
#include "platform.h"

// Every frame the platform presents passes through here: the link step routes
// SDL_RenderPresent to this function (-Wl,--wrap), so the time of the first
// presents is taken exactly, without any help from the game.
extern "C" void __real_SDL_RenderPresent(void* renderer);

namespace {

double LaunchSeconds() {
    const char* launch = std::getenv("PRISMORIA_BENCH_LAUNCH");
    return launch ? std::atof(launch) : 0.0;
}

double NowSeconds() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

double CpuSeconds() {
    timespec used{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return double(used.tv_sec) + double(used.tv_nsec) / 1e9;
}

int Presents = 0;
// The first present (the studio logo, shown as soon as it is loaded) and the
// second (the main loop's first frame, once every panel is built).
double PresentMs[2] = {0, 0};
double LogoCpuMs = 0;  // processor time of every thread up to the first present

long StatusKb(const char* field) {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status) return 0;
    char line[256];
    long kb = 0;
    const size_t length = std::strlen(field);
    while (std::fgets(line, sizeof line, status)) {
        if (std::strncmp(line, field, length) == 0) kb = std::atol(line + length);
    }
    std::fclose(status);
    return kb;
}

void RunUntil(int state, int limit) {
    for (int i = 0; i < limit && App.ScreenState != state; i++) RunOneFrame();
}

void RunFrames(int count) {
    for (int i = 0; i < count; i++) RunOneFrame();
}

// A full-screen click in the middle of a menu button: the press is latched by the
// next frame, the release by the one after.
void ClickMenuButton(int state, int n) {
    MenuScreenRef screen = MenuScreenFor(state);
    if (n < 1 || n > screen.count) return;
    const MenuButton& b = screen.buttons[n];
    PfInjectMouseMove((b.hitX1 + b.hitX2) / 2, (b.hitY1 + b.hitY2) / 2);
    RunOneFrame();
    PfInjectMouseButton(MOUSE_LEFT, 1);
    RunOneFrame();
    PfInjectMouseButton(MOUSE_LEFT, 0);
    RunOneFrame();
}

}  // namespace

extern "C" void __wrap_SDL_RenderPresent(void* renderer) {
    __real_SDL_RenderPresent(renderer);
    if (Presents < 2) PresentMs[Presents] = (NowSeconds() - LaunchSeconds()) * 1000.0;
    if (Presents == 0) LogoCpuMs = CpuSeconds() * 1000.0;
    Presents++;
}

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <game folder>\n", argv[0]);
        return 2;
    }
    char* arguments[] = {argv[0]};
    SetCommandLine(1, arguments);
    Start.GameDir = argv[1];
    StartUp();
    RunUntil(StateMainMenu, 2000);
    const long afterIntro = StatusKb("VmHWM:");
    const bool menu = App.ScreenState == StateMainMenu;
    RunFrames(120);
    const long afterMenu = StatusKb("VmHWM:");
    ClickMenuButton(StateMainMenu, 2);  // QUICKGAME
    const bool playing = App.ScreenState == StatePlaying;
    RunFrames(180);
    const long inGame = StatusKb("VmHWM:");
    std::printf("first_present_ms=%.0f loop_frame_ms=%.0f logo_cpu_ms=%.0f hwm_intro_kb=%ld hwm_menu_kb=%ld hwm_game_kb=%ld "
                "rss_game_kb=%ld reached=%s\n",
                PresentMs[0], PresentMs[1], LogoCpuMs, afterIntro, afterMenu, inGame, StatusKb("VmRSS:"),
                menu && playing ? "menu,game" : menu ? "menu" : "none");
    std::fflush(stdout);
    ShutDown();
    return 0;
}
