// pf_signals.cpp: the desktop's requests to end the program (SIGTERM, SIGINT, SIGHUP), kept as a flag for the main loop.
//
// Log-out, shutdown, Ctrl+C and a closed terminal should end the game the way
// closing its window does, so that what changed in this run is saved. The
// handler only notes the signal; the main loop asks for it once a frame. The
// first signal of a kind puts that signal back to its default action, and the
// loop puts all three back once it has seen one, so a second signal while the
// game is saving ends the process at once.
#include <atomic>
#include <csignal>

#include "platform.h"

namespace {

// Read and cleared in one step: a signal landing between a read and a separate
// reset would be lost, and with its handler already spent the next one would
// end the game without saving. A lock-free atomic is safe to touch in a handler.
std::atomic<int> QuitSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);
bool Installed = false;

const int QuitSignals[] = {SIGTERM, SIGINT, SIGHUP};

extern "C" void NoteQuitSignal(int signal) { QuitSignal.store(signal); }

void SetAction(int signal, void (*handler)(int), int flags) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    // Interrupted reads and writes carry on: a signal must not fail a file being saved.
    action.sa_flags = flags | SA_RESTART;
    sigaction(signal, &action, nullptr);
}

}  // namespace

void PfInstallQuitSignals() {
    QuitSignal.store(0);
    for (int signal : QuitSignals) SetAction(signal, NoteQuitSignal, SA_RESETHAND);
    Installed = true;
}

int PfQuitSignalled() {
    const int signal = QuitSignal.exchange(0);
    if (signal != 0 && Installed) {
        // From here on any of the three ends the process at once.
        for (int s : QuitSignals) SetAction(s, SIG_DFL, 0);
        Installed = false;
    }
    return signal;
}
