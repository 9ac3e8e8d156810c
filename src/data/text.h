// text.h: the language pack the text table is filled from.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/text_table.h"

// One language found in the language pack, from its file's "LANGUAGE FILE" group.
struct LanguageInfo {
    std::string name;  // display name ("tLangFileNAME")
    std::string code;  // file name without ".language", e.g. "en_GB"
    std::string version;
    std::string date;
    std::string author;
    std::string langId;
    std::string software;
    int flagImage = 0;  // image made from code + ".flag", 0 when there is none
};

struct LanguageListEntry {
    std::string code;
    std::string name;
};

struct LanguageState {
    std::map<std::string, LanguageInfo> Info;  // keyed by display name
    std::vector<LanguageListEntry> List;       // in the map's order
    int Current = 0;                           // position used by the settings screen
};
extern LanguageState Languages;

constexpr const char* DefaultLanguage = "en_GB";
constexpr const char* LanguageComponentVersion = "2.0";
constexpr const char* LanguagePackName = "Prismoria.languages";

// The user's locale: part 0 the whole code ("en_GB"), 1 the language ("en"),
// 2 the region ("GB"); any other part gives "". Without a locale (unset, "C",
// "POSIX") the parts are those of British English.
std::string DetectUserLanguage(int part);
// Fills Languages from a pack folder or ZIP archive; 1 when it could be read.
int ScanLanguages(const std::string& packPath);
// Merges the language's keys into the text table; 1 on success.
int LoadLanguage(const std::string& packPath, const std::string& code);
// Position of the first list entry with the code, which becomes the current
// one; 0 (with the current position on the last entry) when it is absent.
int FindLanguage(const std::string& code);
bool LanguageAvailable(const std::string& code);
// The shipped language for a code from the system's locale: the same code, else
// the first in the list that shares its language part ("de_AT" finds "de_DE");
// "" when none does. Kept on purpose: a player whose locale names a region the
// pack does not ship still gets the language itself rather than English.
std::string ClosestLanguage(const std::string& code);
void ResetLanguages();  // frees the flag images and empties the list
