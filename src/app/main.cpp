// main.cpp: the program's entry: start up, run the main loop, save and end.
#include "app/spine.h"
#include "platform.h"

int main(int argc, char** argv) {
    SetCommandLine(argc, argv);
    StartUp();
    RunMainLoop();
    ShutDown();
    return 0;
}
