// preferences.cpp: reading and writing the six settings in "Prismoria.prefs".
#include "data/preferences.h"

#include <algorithm>
#include <cstdint>

#include "core/state.h"
#include "platform.h"

namespace {

const char* const PreferencesFile = "Prismoria.prefs";
const char* const SettingsGroup = "Settings";
constexpr int LastResolution = 8;  // the resolution list has nine entries

// A number from the file, held to [low, high] before it is narrowed to int, so
// that a hand-edited value can never index past a table or reach the mixer.
int ReadClamped(int file, const char* key, int fallback, int low, int high) {
    int64_t value = ReadKeyNumber(file, key, fallback);
    return int(std::clamp<int64_t>(value, low, high));
}

}  // namespace

int ReadPreferences(const std::string& folder) {
    int file = OpenKeyFile(PF_ANY, folder + PreferencesFile);
    if (file == 0) {
        return 0;
    }
    // A file without the group reads every key as its default.
    SelectGroup(file, SettingsGroup);
    GameSettings& s = App.Settings;
    s.Language = ReadKeyText(file, "Language", "");
    s.Music = ReadClamped(file, "Music", 1, 0, 1);
    // The screen mode keeps the value it had before reading when the key is absent.
    s.GameScreen = ReadClamped(file, "GameScreen", std::clamp(s.GameScreen, 0, 2), 0, 2);
    s.Resolution = ReadClamped(file, "Resolution", 1, 0, LastResolution);
    s.Sounds = ReadClamped(file, "Sounds", 1, 0, 1);
    s.MusicVolume = ReadClamped(file, "MusicVolume", 100, 0, 100);
    CloseKeyFile(file);
    App.Pending = App.Settings;
    return 1;
}

int WritePreferences(const std::string& folder) {
    int file = CreateKeyFile(PF_ANY, folder + PreferencesFile);
    if (file == 0) {
        return 0;
    }
    const GameSettings& s = App.Settings;
    WriteComment(file, "Prismoria Preferences");
    WriteKeyGroup(file, SettingsGroup);
    WriteKeyText(file, "Language", s.Language);
    WriteKeyNumber(file, "Music", s.Music);
    WriteKeyNumber(file, "GameScreen", s.GameScreen);
    WriteKeyNumber(file, "Resolution", s.Resolution);
    WriteKeyNumber(file, "Sounds", s.Sounds);
    WriteKeyNumber(file, "MusicVolume", s.MusicVolume);
    return CloseKeyFile(file);
}

void RemoveUnfinishedPreferences(const std::string& folder) { RemoveUnfinishedReplacements(folder + PreferencesFile); }
