// assetgen.h: the asset generator's parts, shared by its main program and its tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct GeneratedFile {
    std::string name;  // the pack entry name, e.g. "s07.png"
    std::vector<uint8_t> bytes;
};

// Every image of the catalogue, PNG-encoded, under its entry name.
std::vector<GeneratedFile> GenerateArtwork();
// Contact sheet and full-screen mock-ups, as PNG files in a folder, for review.
void WriteArtReview(const std::vector<GeneratedFile>& art, const std::string& folder);
// The two music tracks and the six effects, OGG Vorbis, under their entry names.
std::vector<GeneratedFile> GenerateAudio();
// The game's typeface: the source TrueType file with its family renamed
// "Time and Space"; empty when the source cannot be read or parsed.
std::vector<uint8_t> PrepareFont(const std::string& sourcePath);
// The window cursor as a Windows .cur file.
std::vector<uint8_t> GenerateCursor();

// Every artwork entry name, in the order GenerateArtwork returns them.
std::vector<std::string> ArtworkEntryNames();
// The size of the buffer the game extracts an entry into, by the entry's kind: no
// entry may be larger.
size_t EntryBufferLimit(const std::string& name);
// Every entry the data pack must hold: the typeface, the eight sounds, the artwork.
std::vector<std::string> CatalogueEntryNames();
// What is wrong with a set of pack entries, one message per problem naming the entry:
// a catalogue entry missing, a name used twice, an empty entry, an entry larger
// than its buffer.
std::vector<std::string> EntryProblems(const std::vector<GeneratedFile>& entries);
// The application icon, `size` pixels square (16 to 1024), PNG-encoded; empty for
// any other size.
std::vector<uint8_t> GenerateIconPng(int size);
