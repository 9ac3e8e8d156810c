// pf_devices.cpp: devices that come and go while the game runs: displays and the desktop's size, sound output devices.
#include "pf_internal.h"
#include "pf_video_internal.h"

namespace {

int DisplayChange = PF_DISPLAY_UNCHANGED;
int ScreenDisplay = 0;  // index of the display the screen was opened on

void NoteDisplayChange(int change) {
    if (change > DisplayChange) DisplayChange = change;
}

bool AboutScreen(const SDL_WindowEvent& e) {
    return PfVideo.screenWindow && e.windowID == SDL_GetWindowID(PfVideo.screenWindow);
}

}  // namespace

void PfNoteScreenOpened(SDL_Window* window) {
    const int index = window ? SDL_GetWindowDisplayIndex(window) : -1;
    ScreenDisplay = index >= 0 ? index : 0;
    DisplayChange = PF_DISPLAY_UNCHANGED;  // what the opening itself stirred up is no change
}

void PfHandleDeviceEvent(const SDL_Event& e) {
    switch (e.type) {
        case SDL_DISPLAYEVENT:
            if (e.display.event == SDL_DISPLAYEVENT_DISCONNECTED && int(e.display.display) == ScreenDisplay) {
                NoteDisplayChange(PF_DISPLAY_SCREEN_GONE);
            } else {
                NoteDisplayChange(PF_DISPLAY_DESKTOP_CHANGED);
            }
            break;
        case SDL_WINDOWEVENT:
            // A full-screen window follows the desktop's new size; a window moved
            // to another display sits on a desktop of another size.
            if (AboutScreen(e.window) && (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED ||
                                          e.window.event == SDL_WINDOWEVENT_DISPLAY_CHANGED)) {
                NoteDisplayChange(PF_DISPLAY_DESKTOP_CHANGED);
            }
            break;
        case SDL_AUDIODEVICEREMOVED:
            if (!e.adevice.iscapture) PfAudioDeviceRemoved(e.adevice.which);
            break;
        case SDL_AUDIODEVICEADDED:
            if (!e.adevice.iscapture) PfAudioDeviceAdded();
            break;
        default:
            break;
    }
}

int PfDisplayChanged() {
    PfPumpEvents();
    const int change = DisplayChange;
    DisplayChange = PF_DISPLAY_UNCHANGED;
    return change;
}

void PfInjectDisplayChange(int change) {
    if (change == PF_DISPLAY_DESKTOP_CHANGED || change == PF_DISPLAY_SCREEN_GONE) NoteDisplayChange(change);
}

