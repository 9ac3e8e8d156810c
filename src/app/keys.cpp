// keys.cpp: the keys read every frame (screenshot, music and sound toggles, volume, Escape) and the screenshot.
#include <string>

#include "app/app.h"
#include "app/log.h"
#include "app/spine.h"
#include "audio/audio.h"
#include "platform.h"

std::string ScreenshotFileName(int64_t time) {
    return "Prismoria " + FormatDate("%dd-%mm-%yyyy %hh-%ii-%ss", time) + ".bmp";
}

std::string TakeScreenshot() {
    const std::string path = App.SaveTo + ScreenshotFileName(CurrentTime());
    const int image = GrabScreenImage(PF_ANY, 0, 0, ScreenWidth(), ScreenHeight());
    const bool saved = image != 0 && SaveImageBmp(image, path) != 0;
    if (image != 0) {
        FreeImage(image);
    }
    LogValue("Saving screenshot:", saved ? "OK" : "FAILED");
    return path;
}

void HandleKeys() {
    if (KeyReleased(KEY_F2)) {
        TakeScreenshot();
    }
    // The settings screen edits these itself; the keys leave it alone.
    if (App.ScreenState != StateSettings) {
        if (KeyReleased(KEY_M)) {
            ToggleMusicKey();
        }
        if (KeyReleased(KEY_N)) {
            ToggleSoundsKey();
        }
    }
    if (KeyReleased(KEY_ESCAPE)) {
        HandleEscape();
    }
    if (KeyPushed(KEY_PAD_PLUS) && App.Settings.MusicVolume < 100) {
        ChangeVolumeKey(+1);
    }
    if (KeyPushed(KEY_PAD_MINUS) && App.Settings.MusicVolume > 0) {
        ChangeVolumeKey(-1);
    }
}
