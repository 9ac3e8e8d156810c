// bench_game_folder.h: the real game's data beside a preferences file in a folder of the benchmark's own.
#pragma once

#include <filesystem>
#include <string>
#include <system_error>

#include "platform.h"

// Links the built data into build/bench-tmp/<name>/ and writes preferences there
// (the screen mode; music and sounds both on or both off), so a run saves nothing
// into the user's folders. Returns the folder, "" when the data is not built.
inline std::string PrepareBenchGameFolder(const std::string& name, int gameScreen, int sound) {
    const std::string bin = std::string(PRISMORIA_BIN_DIR) + "/";
    if (FileSize(bin + "Prismoria.data") <= 0) return "";
    const std::string folder = bin + "../bench-tmp/" + name + "/";
    CreateFolderPath(folder);
    for (const char* file : {"Prismoria.data", "Prismoria.pointer", "Prismoria.languages"}) {
        std::error_code error;
        std::filesystem::remove(folder + file, error);
        std::filesystem::create_symlink(bin + file, folder + file, error);
        if (error) return "";
    }
    const std::string on = std::to_string(sound);
    const std::string prefs = "\xEF\xBB\xBF\r\n; Prismoria Preferences\r\n[Settings]\r\nLanguage = en_GB\r\nMusic = " +
                              on + "\r\nGameScreen = " + std::to_string(gameScreen) +
                              "\r\nResolution = 1\r\nSounds = " + on + "\r\nMusicVolume = 100\r\n";
    WriteWholeFile(folder + "Prismoria.prefs", prefs.data(), prefs.size());
    return folder;
}
