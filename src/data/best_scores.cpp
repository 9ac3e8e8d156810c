// best_scores.cpp: reading and writing the nine best scores in "Prismoria.scores".
#include "data/best_scores.h"

#include <cstdint>

#include "board.h"
#include "platform.h"

namespace {

const char* const ScoresFile = "Prismoria.scores";
constexpr int Modes = 3;
constexpr int Sizes = 3;
constexpr size_t EntryBytes = 4;
constexpr size_t FileBytes = Modes * Sizes * EntryBytes;

// Set when the file is there but could not be read (its permissions, a failing
// disk): this run never saw those scores, so it must not write over them.
bool FileKeptUnread = false;

size_t EntryOffset(int mode, int size) {
    return size_t((mode - 1) * Sizes + (size - 1)) * EntryBytes;
}

}  // namespace

int LoadBestScores(const std::string& folder) {
    std::string bytes;
    FileKeptUnread = false;
    if (!ReadWholeFile(folder + ScoresFile, bytes)) {
        FileKeptUnread = FileSize(folder + ScoresFile) >= 0;
        return 0;
    }
    for (int mode = 1; mode <= Modes; ++mode) {
        for (int size = 1; size <= Sizes; ++size) {
            const size_t offset = EntryOffset(mode, size);
            uint32_t value = 0;
            for (size_t b = 0; b < EntryBytes && offset + b < bytes.size(); ++b) {
                value |= uint32_t(uint8_t(bytes[offset + b])) << (8 * b);
            }
            SetBestScore(mode, size, int32_t(value));
        }
    }
    return 1;
}

int SaveBestScores(const std::string& folder) {
    if (FileKeptUnread) {
        return 0;
    }
    uint8_t bytes[FileBytes];
    for (int mode = 1; mode <= Modes; ++mode) {
        for (int size = 1; size <= Sizes; ++size) {
            const size_t offset = EntryOffset(mode, size);
            const uint32_t value = uint32_t(BestScoreFor(mode, size));
            for (size_t b = 0; b < EntryBytes; ++b) {
                bytes[offset + b] = uint8_t(value >> (8 * b));
            }
        }
    }
    // Written whole through a temporary file: a failed or interrupted save never
    // leaves a shortened or mixed file behind.
    return ReplaceWholeFile(folder + ScoresFile, bytes, FileBytes);
}

void RemoveUnfinishedScores(const std::string& folder) { RemoveUnfinishedReplacements(folder + ScoresFile); }
