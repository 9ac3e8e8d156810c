// font_rename.h: gives a TrueType font held in memory the game's own family name.
#pragma once

#include <cstdint>
#include <vector>

// The source font with its naming rewritten to the family "Time and Space"
// (style "Regular", PostScript name "TimeandSpace-Regular"), the table directory
// rebuilt with fresh checksums; every other table is copied unchanged. Empty
// when the source is not a well-formed TrueType or OpenType font.
std::vector<uint8_t> RenameFontFamily(const std::vector<uint8_t>& source);
