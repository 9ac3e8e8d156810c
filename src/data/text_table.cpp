// text_table.cpp: the one table of user-interface texts, keyed by text key.
#include "data/text.h"

TextTableState TextTable;

const std::string& Text(const std::string& key) {
    // operator[] stores the empty text for a missing key, as lookups always have.
    return TextTable.Entries[key];
}

void SetText(const std::string& key, const std::string& value) {
    TextTable.Entries[key] = value;
}

void ResetTextTable() {
    TextTable.Entries.clear();
}

std::string BuiltInErrorText(const std::string& key) {
    if (key == "tErrorERROR") return "Error";
    if (key == "tErrorSUBSYSTEM") return "A system component of the game could not be started.";
    if (key == "tErrorSCREEN") return "The game screen could not be opened.";
    if (key == "tErrorASSET") return "A file of the game's data pack is missing or damaged.";
    return "";
}
