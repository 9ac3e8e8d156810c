// data_folder_test.cpp: where the data files are read from and the player's files written, built or installed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "core/state.h"
#include "app/spine.h"
#include "platform.h"

namespace {

// The layout this build installs below its prefix: the program's folder and the data folder.
constexpr const char* Bin = PRISMORIA_INSTALL_BINDIR;
constexpr const char* Data = PRISMORIA_INSTALL_DATADIR;

struct FolderCase {
    const char* name;
    bool packBesideProgram;
    bool packInstalled;  // in the data folder
    bool prefsBesideProgram;
    const char* gameDir;  // relative to the prefix
    const char* saveTo;   // relative to the prefix, "" for the per-user folder
};

}  // namespace

TEST(DataFolder, BesideTheProgramOrBelowThePrefix) {
    const FolderCase cases[] = {
        {"build folder", true, false, false, Bin, ""},
        {"portable copy", true, false, true, Bin, Bin},
        {"installed", false, true, false, Data, ""},
        {"installed, portable preferences", false, true, true, Data, Bin},
        {"pack beside the program wins", true, true, false, Bin, ""},
        {"no pack anywhere", false, false, false, Bin, ""},
    };
    const std::string root = std::string(PRISMORIA_TEST_TMP) + "/data_folder/";
    const char* oldDataHome = std::getenv("XDG_DATA_HOME");
    const std::string savedDataHome = oldDataHome ? oldDataHome : "";
    for (const FolderCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(root);
        // A blank in the prefix, as in "~/Games/My Games".
        const std::string prefix = root + "pre fix/";
        const std::string dataHome = root + "data/";
        ASSERT_EQ(CreateFolderPath(prefix + Bin), 1);
        ASSERT_EQ(CreateFolderPath(prefix + Data), 1);
        auto place = [&](bool wanted, const std::string& file, const char* text) {
            return !wanted || WriteWholeFile(prefix + file, text, std::strlen(text)) == 1;
        };
        ASSERT_TRUE(place(c.packBesideProgram, Bin + std::string("Prismoria.data"), "1zlp"));
        ASSERT_TRUE(place(c.packInstalled, Data + std::string("Prismoria.data"), "1zlp"));
        ASSERT_TRUE(place(c.prefsBesideProgram, Bin + std::string("Prismoria.prefs"), ""));  // an empty file will do
        setenv("XDG_DATA_HOME", dataHome.c_str(), 1);

        App = AppState{};
        Start.GameDir = prefix + Bin;
        Start.GameDir.pop_back();  // given without its separator
        FindFolders();
        ReadStartupPreferences();
        EXPECT_EQ(App.ProgramDir, prefix + Bin);
        EXPECT_EQ(App.GameDir, prefix + c.gameDir);
        const std::string userDir = dataHome + "dawnwhistle game studio/Prismoria/";
        EXPECT_EQ(App.SaveTo, *c.saveTo ? prefix + c.saveTo : userDir);
    }
    Start = StartOptions{};
    if (oldDataHome) setenv("XDG_DATA_HOME", savedDataHome.c_str(), 1);
    else unsetenv("XDG_DATA_HOME");
}
