// text_table.cpp: the one table of user-interface texts every screen reads, and the fatal exit that shows them.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>

#include "core/log.h"
#include "core/state.h"
#include "core/text_table.h"
#include "platform.h"

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

int LeadingNumber(const std::string& text) {
    int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        value = std::min<int64_t>(value * 10 + (c - '0'), INT_MAX);
    }
    return int(value);
}

std::string BuiltInErrorText(const std::string& key) {
    if (key == "tErrorERROR") return "Error";
    if (key == "tErrorSUBSYSTEM") return "A system component of the game could not be started.";
    if (key == "tErrorSCREEN") return "The game screen could not be opened.";
    if (key == "tErrorASSET") return "A file of the game's data pack is missing or damaged.";
    return "";
}

namespace {

// The loaded language's text, or the built-in English one when the language
// could not be loaded: a fatal message must never be an empty box.
std::string ErrorText(const std::string& key) {
    const std::string& text = Text(key);
    return text.empty() ? BuiltInErrorText(key) : text;
}

}  // namespace

[[noreturn]] void FatalError(const std::string& messageKey, const std::string& suffix) {
    MessageBox("Prismoria::" + ErrorText("tErrorERROR"), ErrorText(messageKey) + suffix);
    CloseLog();  // flush what was logged; nothing else is saved
    std::_Exit(1);
}
