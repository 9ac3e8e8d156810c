// main.cpp: the program's entry: start up, run the main loop, save and end.
#include "app/spine.h"
#include "platform.h"

int main(int argc, char** argv) {
    // First of all, so that a session ending during start-up still saves.
    PfInstallQuitSignals();
    SetCommandLine(argc, argv);
    StartUp();
    RunMainLoop();
    ShutDown();
    return 0;
}
