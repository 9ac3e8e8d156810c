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

// ---------------------------------------------------------------------------
// Reading one entry at a time (the platform layer's data packs, packtool).
//
// A reader keeps the file open and holds the verified index. Nothing in the file
// is trusted: PackOpen refuses a pack whose header or index is damaged or points
// outside the file, and every extraction checks the entry's size and CRC-32.

struct PackIndexEntry {
    std::string name;
    uint64_t offset = 0;      // where the compressed bytes start
    uint64_t storedSize = 0;  // compressed size
    uint64_t size = 0;        // size after decompression
    uint32_t crc = 0;         // CRC-32 of the decompressed bytes
};

struct PackReader {
    void* file = nullptr;  // the open FILE*
    uint64_t fileSize = 0;
    std::vector<PackIndexEntry> entries;  // in the order they were written
};

// false when the file cannot be read or is not an intact "2zlp" pack.
bool PackOpen(PackReader& reader, const std::string& path);
void PackClose(PackReader& reader);
// Position in reader.entries of the entry with exactly this name, or -1.
int PackFind(const PackReader& reader, const std::string& name);
// Decompresses entry `index` into buffer. Returns its size (0 for an empty entry),
// or -1 when the index is out of range, the entry is larger than bufferSize, or its
// data is damaged (wrong size, bad compressed stream, CRC mismatch).
int64_t PackExtract(PackReader& reader, int index, void* buffer, int64_t bufferSize);
// Decompresses entry `index` into a new file at path (replacing it). On any failure
// the partly written file is removed and false is returned.
bool PackExtractToFile(PackReader& reader, int index, const std::string& path);
