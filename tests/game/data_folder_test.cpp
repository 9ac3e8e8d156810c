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

struct FolderCase {
    const char* name;
    bool packBesideProgram;
    bool packInstalled;  // in <prefix>/share/prismoria/
    bool prefsBesideProgram;
    const char* gameDir;  // relative to the prefix
    const char* saveTo;   // relative to the prefix, "" for the per-user folder
};

}  // namespace

TEST(DataFolder, BesideTheProgramOrBelowThePrefix) {
    const FolderCase cases[] = {
        {"build folder", true, false, false, "bin/", ""},
        {"portable copy", true, false, true, "bin/", "bin/"},
        {"installed", false, true, false, "share/prismoria/", ""},
        {"installed, portable preferences", false, true, true, "share/prismoria/", "bin/"},
        {"pack beside the program wins", true, true, false, "bin/", ""},
        {"no pack anywhere", false, false, false, "bin/", ""},
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
        ASSERT_EQ(CreateFolderPath(prefix + "bin/"), 1);
        ASSERT_EQ(CreateFolderPath(prefix + "share/prismoria/"), 1);
        auto place = [&](bool wanted, const std::string& file, const char* text) {
            return !wanted || WriteWholeFile(prefix + file, text, std::strlen(text)) == 1;
        };
        ASSERT_TRUE(place(c.packBesideProgram, "bin/Prismoria.data", "1zlp"));
        ASSERT_TRUE(place(c.packInstalled, "share/prismoria/Prismoria.data", "1zlp"));
        ASSERT_TRUE(place(c.prefsBesideProgram, "bin/Prismoria.prefs", ""));  // an empty file will do
        setenv("XDG_DATA_HOME", dataHome.c_str(), 1);

        App = AppState{};
        Start.GameDir = prefix + "bin";
        FindFolders();
        ReadStartupPreferences();
        EXPECT_EQ(App.ProgramDir, prefix + "bin/");
        EXPECT_EQ(App.GameDir, prefix + c.gameDir);
        const std::string userDir = dataHome + "dawnwhistle game studio/Prismoria/";
        EXPECT_EQ(App.SaveTo, *c.saveTo ? prefix + c.saveTo : userDir);
    }
    Start = StartOptions{};
    if (oldDataHome) setenv("XDG_DATA_HOME", savedDataHome.c_str(), 1);
    else unsetenv("XDG_DATA_HOME");
}
