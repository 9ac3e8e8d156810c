// pack_format.h: the game's own packed-file format ("2zlp"): writing and reading whole packs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PackFileEntry {
    std::string name;
    std::vector<uint8_t> bytes;
};

// Writes a pack holding the entries in the given order; false when the file could
// not be written completely.
bool WritePackFile(const std::string& path, const std::vector<PackFileEntry>& entries);
// Reads and verifies every entry of a pack; false on any damage (nothing is trusted).
bool ReadPackFile(const std::string& path, std::vector<PackFileEntry>& entries);
