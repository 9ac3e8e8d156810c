// text_table.h: the text table every visible text comes from.
#pragma once

#include <string>
#include <unordered_map>

// Key ("tMenuSTART") to the text of the loaded language. Loading a language only
// adds and overwrites entries; the table is emptied only by ResetTextTable.
struct TextTableState {
    std::unordered_map<std::string, std::string> Entries;
};
extern TextTableState TextTable;

// The text of a key; a key that is not present yields (and is stored as) the empty text.
const std::string& Text(const std::string& key);
void SetText(const std::string& key, const std::string& value);
void ResetTextTable();
// The number a text's leading decimal digits spell ("1920x1080" gives 1920, the
// "2" of a line break); 0 without a leading digit. Saturates at the int limit.
int LeadingNumber(const std::string& text);
// English texts for the error messages, used when the loaded language has none,
// so that a fatal message box is never blank.
std::string BuiltInErrorText(const std::string& key);
