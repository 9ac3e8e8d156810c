// language_files_test.cpp: every shipped language file is complete, and its texts fit where the game draws them.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/state.h"
#include "data/text.h"
#include "display/assets.h"
#include "display/display.h"
#include "menus/menus.h"
#include "platform.h"

namespace {

const std::string ShippedFolder = std::string(PRISMORIA_SOURCE_DIR) + "/assets/languages";

const char* const RequiredCodes[] = {"en_GB", "en_US", "de_DE", "fr_FR", "es_ES", "it_IT", "pt_BR",
                                     "nl_NL", "pl_PL", "sv_SE", "ru_RU", "uk_UA", "el_GR"};

const char* const TextKeys[] = {
    "tMenuTITLE", "tMenuSTART", "tMenuQUICKGAME", "tMenuSETTINGS", "tMenuHELP", "tMenuCREDITS", "tMenuQUIT",
    "tGamemodeTITLE", "tGamemodeEASY", "tGamemodeNORMAL", "tGamemodeUNPREDICTABLE", "tGamemodeBACK",
    "tBoardsizeTITLE", "tBoardsizeSMALL", "tBoardsizeMEDIUM", "tBoardsizeLARGE", "tBoardsizeBACK",
    "tSettingsTITLE", "tSettingsLANGUAGE", "tSettingsMUSIC", "tSettingsSOUNDFX", "tSettingsSCREENMODE",
    "tSettingsRESOLUTION", "tSettingsON", "tSettingsOFF", "tSettingsWINDOWED", "tSettingsFULLSCREEN",
    "tSettingsBORDERLESS", "tSettingsOK", "tSettingsCANCEL", "tHelpTITLE", "tHelpTEXT", "tHelpBACK",
    "tCreditsTITLE", "tCreditsCODEDESIGN", "tCreditsGFX", "tCreditsMUSICNSFX", "tCreditsFONT", "tCreditsBACK",
    "tQuitTITLE", "tQuitQUESTION", "tQuitYES", "tQuitNO", "tInGameTITLE", "tInGameRESUME", "tInGameRESTART",
    "tInGameQUIT", "tGameOverTITLE", "tGameOverSCORE", "tGameOverNEWHIGH", "tGameOverRETRY", "tGameOverMENU",
    "tGuiEASY", "tGuiNORMAL", "tGuiUNPREDICTABLE", "tErrorERROR", "tErrorSUBSYSTEM", "tErrorASSET",
    "tErrorSCREEN", "tLangFileNAME", "tLangFileVERSION", "tLangFileDATE", "tLangFileAUTHOR", "tLangFileLANGID",
    "tLangFileSOFTWARE"};

// Room inside the panel artwork, in its own pixels: the gold frame with its shadow
// takes 90 pixels on every side.
constexpr int Frame = 90;
constexpr int PopupInside = 1030 - 2 * Frame;     // main menu, popups and their 1030-wide buttons
constexpr int SettingsInside = 1262 - 2 * Frame;
constexpr int CreditsInside = 1272 - 2 * Frame;   // credits and help
// Two texts on one line must keep this much apart to read as two.
constexpr int MinGap = 40;

struct SingleText {
    const char* key;
    int points;
    bool bold;
    int limit;
};
const SingleText SingleTexts[] = {
    {"tMenuTITLE", 60, true, PopupInside},      {"tGamemodeTITLE", 60, true, PopupInside},
    {"tBoardsizeTITLE", 60, true, PopupInside}, {"tQuitTITLE", 60, true, PopupInside},
    {"tInGameTITLE", 60, true, PopupInside},    {"tGameOverTITLE", 60, true, PopupInside},
    {"tSettingsTITLE", 60, true, SettingsInside}, {"tHelpTITLE", 60, true, CreditsInside},
    {"tCreditsTITLE", 60, true, CreditsInside},
    {"tMenuSTART", 60, false, PopupInside},     {"tMenuQUICKGAME", 60, false, PopupInside},
    {"tMenuSETTINGS", 60, false, PopupInside},  {"tMenuHELP", 60, false, PopupInside},
    {"tMenuCREDITS", 60, false, PopupInside},   {"tMenuQUIT", 60, false, PopupInside},
    {"tGamemodeEASY", 60, false, PopupInside},  {"tGamemodeNORMAL", 60, false, PopupInside},
    {"tGamemodeUNPREDICTABLE", 60, false, PopupInside}, {"tGamemodeBACK", 60, false, PopupInside},
    {"tBoardsizeSMALL", 60, false, PopupInside}, {"tBoardsizeMEDIUM", 60, false, PopupInside},
    {"tBoardsizeLARGE", 60, false, PopupInside}, {"tBoardsizeBACK", 60, false, PopupInside},
    {"tInGameRESUME", 60, false, PopupInside},  {"tInGameRESTART", 60, false, PopupInside},
    {"tInGameQUIT", 60, false, PopupInside},    {"tGameOverSCORE", 60, false, PopupInside},
    {"tGameOverNEWHIGH", 60, false, PopupInside}, {"tGameOverRETRY", 60, false, PopupInside},
    {"tGameOverMENU", 60, false, PopupInside},  {"tQuitQUESTION", 46, false, PopupInside},
    {"tHelpBACK", 46, false, CreditsInside},    {"tCreditsBACK", 46, false, CreditsInside},
    {"tCreditsCODEDESIGN", 35, false, CreditsInside}, {"tCreditsGFX", 35, false, CreditsInside},
    {"tCreditsMUSICNSFX", 35, false, CreditsInside},  {"tCreditsFONT", 35, false, CreditsInside},
};

// A left-aligned text and, on the same line, a right-aligned one (the widest of
// its candidates): settings rows from x 120 to 1142, YES at 120 and NO ending at 910.
struct SharedLine {
    const char* left;
    std::vector<std::string> rightKeys;  // or "names" / "resolutions": every language name, every resolution
    int points;
    int room;
};

using Table = std::unordered_map<std::string, std::string>;

class ShippedLanguages : public testing::Test {
protected:
    std::map<std::string, Table> Files;  // by language code
    std::map<std::pair<int, bool>, int> Faces;

    void SetUp() override {
        const std::string pack = std::string(PRISMORIA_BIN_DIR) + "/Prismoria.data";
        if (FileSize(pack) <= 0) GTEST_SKIP() << "the data pack with the typeface has not been built";
        PfSelectBackend(PF_BACKEND_HEADLESS);
        App = AppState();
        Display = DisplayState();
        App.GameDir = std::string(PRISMORIA_BIN_DIR) + "/";
        InstallTypeface();
        for (const auto& entry : std::filesystem::directory_iterator(ShippedFolder)) {
            if (entry.path().extension() != ".language") continue;
            const std::string code = entry.path().stem().string();
            ResetTextTable();
            ASSERT_EQ(LoadLanguage(ShippedFolder, code), 1) << code;
            Files[code] = TextTable.Entries;
        }
        ResetTextTable();
    }

    void TearDown() override {
        ResetTextTable();
        ResetLanguages();
        PfShutdown();
    }

    // Width in pixels of the text in the game's typeface at the given size.
    int Width(const std::string& text, int points, bool bold) {
        auto [it, added] = Faces.try_emplace({points, bold}, 0);
        if (added) {
            it->second = LoadFontFace(PF_ANY, "Time and Space", points, FONT_HIGHQUALITY | (bold ? FONT_BOLD : 0));
        }
        EXPECT_NE(it->second, 0) << points << " points";
        UseFont(it->second);
        return TextWidth(text);
    }
};

std::vector<std::string> SplitOnBlanks(const std::string& text) {
    std::vector<std::string> words(1);
    for (char c : text) {
        if (c == ' ') words.emplace_back();
        else words.back() += c;
    }
    return words;
}

std::string WithoutMarkup(std::string word) {
    for (const char* mark : {"c{", "}"}) {
        for (size_t at = word.find(mark); at != std::string::npos; at = word.find(mark)) word.erase(at, strlen(mark));
    }
    return word;
}

}  // namespace

TEST_F(ShippedLanguages, EveryFileHasEveryKeyUnderItsOwnName) {
    ASSERT_EQ(std::size(TextKeys), 65u);
    for (const char* code : RequiredCodes) EXPECT_TRUE(Files.count(code)) << code;
    // The pack lists languages by display name: a shared name would hide a file.
    ResetLanguages();
    ASSERT_EQ(ScanLanguages(ShippedFolder), 1);
    EXPECT_EQ(Languages.List.size(), Files.size());

    std::set<std::string> names;
    for (auto& [code, table] : Files) {
        std::string bytes;
        ASSERT_TRUE(ReadWholeFile(ShippedFolder + "/" + code + ".language", bytes));
        EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF") << code << " is read as UTF-8 only with its mark";
        for (const char* key : TextKeys) EXPECT_FALSE(table[key].empty()) << code << " " << key;
        EXPECT_EQ(table["tLangFileLANGID"], code);
        EXPECT_TRUE(names.insert(table["tLangFileNAME"]).second) << code << " repeats a display name";
    }
}

TEST_F(ShippedLanguages, EveryLabelFitsItsPanelOrButton) {
    BuildResolutionList();
    const std::vector<SharedLine> sharedLines = {
        {"tSettingsLANGUAGE", {"names"}, 46, 1142 - 120},
        {"tSettingsMUSIC", {"tSettingsON", "tSettingsOFF"}, 46, 1142 - 120},
        {"tSettingsSOUNDFX", {"tSettingsON", "tSettingsOFF"}, 46, 1142 - 120},
        {"tSettingsSCREENMODE", {"tSettingsWINDOWED", "tSettingsFULLSCREEN", "tSettingsBORDERLESS"}, 46, 1142 - 120},
        {"tSettingsRESOLUTION", {"resolutions"}, 46, 1142 - 120},
        {"tSettingsOK", {"tSettingsCANCEL"}, 46, 1142 - 120},
        {"tQuitYES", {"tQuitNO"}, 60, 910 - 120},
    };
    // The language row shows every display name in capitals; the resolution row every list entry.
    int widestName = 0, widestResolution = 0;
    for (auto& [code, table] : Files) {
        widestName = std::max(widestName, Width(UpperCase(table["tLangFileNAME"]), 46, false));
    }
    for (const std::string& entry : Display.Resolutions) {
        widestResolution = std::max(widestResolution, Width(entry, 46, false));
    }

    // The widest text per font size and limit, printed below: how much room is left.
    struct Widest {
        int width = 0;
        std::string what;
    };
    std::map<std::string, Widest> widest;
    auto note = [&](int points, bool bold, int limit, int width, const std::string& what) {
        char group[64];
        std::snprintf(group, sizeof group, "%d pt%s within %d", points, bold ? " bold" : "", limit);
        if (width > widest[group].width) widest[group] = {width, what};
    };
    for (auto& [code, table] : Files) {
        for (const SingleText& text : SingleTexts) {
            int width = Width(table[text.key], text.points, text.bold);
            EXPECT_LE(width, text.limit) << code << " " << text.key << " \"" << table[text.key] << "\"";
            note(text.points, text.bold, text.limit, width, code + " " + text.key);
        }
        for (const SharedLine& line : sharedLines) {
            int right = 0;
            for (const std::string& key : line.rightKeys) {
                right = std::max(right, key == "names"         ? widestName
                                        : key == "resolutions" ? widestResolution
                                                               : Width(table[key], line.points, false));
            }
            int used = Width(table[line.left], line.points, false) + MinGap + right;
            EXPECT_LE(used, line.room) << code << " " << line.left << " runs into its value or partner";
            note(line.points, false, line.room, used, code + " " + line.left + " + gap + its value");
        }
    }
    for (auto& [group, w] : widest) std::printf("  %-22s %4d  %s\n", group.c_str(), w.width, w.what.c_str());
}

TEST_F(ShippedLanguages, StatusBarModeNamesFitTheirBoxAtEveryResolution) {
    BuildResolutionList();
    for (const std::string& entry : Display.Resolutions) {
        int screenWidth = 0, screenHeight = 0;
        ASSERT_EQ(std::sscanf(entry.c_str(), "%dx%d", &screenWidth, &screenHeight), 2);
        Display.ScreenWidth = screenWidth;
        Display.ScreenHeight = screenHeight;
        ClassifyAspect(screenWidth, screenHeight);
        ComputeLayout();
        const int t = Display.TileSize;
        const int box = 2 * t + t / 2 - 2;  // the mode box inside its frame
        int widest = 0;
        std::string what;
        for (auto& [code, table] : Files) {
            for (const char* key : {"tGuiEASY", "tGuiNORMAL", "tGuiUNPREDICTABLE"}) {
                const int width = Width(table[key], t / 4, false);
                EXPECT_LE(width, box) << entry << " " << code << " " << key;
                if (width > widest) {
                    widest = width;
                    what = code + " " + key;
                }
            }
        }
        std::printf("  %-9s mode box %3d, widest %3d  %s\n", entry.c_str(), box, widest, what.c_str());
    }
}

// Lays the help text out as the help panel does (x from 125, wrapping at 1022,
// lines 50 apart from y 284, words drawn piecewise around their markup) and checks
// that its last line ends above the BACK button at 1360, with well-formed markup.
TEST_F(ShippedLanguages, HelpTextEndsAboveTheBackButton) {
    const int x0 = HelpTextLeft, y0 = HelpTextTop, rightLimit = HelpTextRight, lineHeight = HelpLineHeight,
              backTop = HelpBackRow;
    for (auto& [code, table] : Files) {
        int x = x0, y = y0;
        bool highlighted = false;
        for (std::string word : SplitOnBlanks(table["tHelpTEXT"])) {
            EXPECT_FALSE(word.empty()) << code << ": two blanks in a row";
            if (word.size() > 3 && word.rfind("n{", 0) == 0 && word.back() == '}') {
                int lines = -1;
                auto [end, error] = std::from_chars(word.data() + 2, word.data() + word.size() - 1, lines);
                EXPECT_TRUE(error == std::errc() && end == word.data() + word.size() - 1 && lines >= 1)
                    << code << ": bad line break " << word;
                x = x0;
                y += lines * lineHeight;
                continue;
            }
            if (x + Width(WithoutMarkup(word), 32, false) > rightLimit) {
                x = x0;
                y += lineHeight;
            }
            if (size_t open = word.find("c{"); open != std::string::npos) {
                EXPECT_FALSE(highlighted) << code << ": highlight opened twice before \"" << word << "\"";
                x += Width(word.substr(0, open), 32, false);
                word.erase(0, open + 2);
                highlighted = true;
            }
            if (size_t close = word.find('}'); close != std::string::npos) {
                EXPECT_TRUE(highlighted) << code << ": \"}\" closes no highlight in \"" << word << "\"";
                highlighted = false;
                if (close + 1 == word.size()) {
                    x += Width(word.substr(0, close) + " ", 32, false);
                } else {
                    x += Width(word.substr(0, close), 32, false) + Width(word.substr(close + 1) + " ", 32, false);
                }
            } else {
                x += Width(word + " ", 32, false);
            }
        }
        EXPECT_FALSE(highlighted) << code << ": the help text ends inside a highlight";
        EXPECT_LE(y + lineHeight, backTop) << code << ": the help text runs into the BACK button";
        std::printf("  %s help text: %d lines\n", code.c_str(), (y - y0) / lineHeight + 1);
    }
}
