// paths.cpp: where the game reads its data from and where it saves preferences, scores, log and screenshots.
#include "app/app.h"
#include "app/spine.h"
#include "data/preferences.h"
#include "platform.h"

StartOptions Start;

namespace {

std::string WithSeparator(const std::string& folder) {
    if (folder.empty() || folder.back() == '/') {
        return folder;
    }
    return folder + "/";
}

}  // namespace

std::string UserFolderBelow(const std::string& dataFolder) {
    return WithSeparator(dataFolder) + "dawnwhistle game studio/Prismoria/";
}

void FindFolders() {
    App.GameDir = WithSeparator(Start.GameDir.empty() ? ProgramFolder() : Start.GameDir);
    std::string dataFolder = UserDataFolder();
    if (dataFolder.empty()) {
        dataFolder = HomeFolder();  // the home folder stands in for an unnamed data folder
    }
    // With neither, UserDir stays empty and its files land in the current folder.
    App.UserDir = dataFolder.empty() ? std::string() : UserFolderBelow(dataFolder);
    App.SaveTo = App.GameDir;
}

void ReadStartupPreferences() {
    App.SaveTo = App.GameDir;
    if (ReadPreferences(App.GameDir)) {
        return;  // portable use: everything stays beside the program
    }
    if (!App.UserDir.empty() && FileSize(App.UserDir) != -2) {
        CreateFolderPath(App.UserDir);
    }
    ReadPreferences(App.UserDir);
    App.SaveTo = App.UserDir;
}
