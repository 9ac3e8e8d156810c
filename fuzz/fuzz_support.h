// fuzz_support.h: what the fuzz targets share: a scratch file of the process's own and loud failures.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

// A broken promise of the code under test is a finding: abort, so libFuzzer
// saves the input.
#define FUZZ_CHECK(condition)                                                        \
    do {                                                                             \
        if (!(condition)) {                                                          \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                            \
        }                                                                            \
    } while (0)

// A private folder made once per process (parallel runs never share a file) and
// removed with everything in it when the process ends normally.
inline const std::string& FuzzScratchFolder() {
    static const std::string folder = [] {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/prismoria-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        static std::string removeAtExit;
        removeAtExit = pattern;
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(removeAtExit, ignored);
        });
        return pattern + "/";
    }();
    return folder;
}

// Replaces the scratch file `name` with the bytes; its full path. The old file is
// removed rather than truncated: ext4 flushes a file truncated and rewritten at
// every close, which would make disk writes most of each run.
inline std::string FuzzWriteScratch(const std::string& name, const uint8_t* data, size_t size) {
    std::string path = FuzzScratchFolder() + name;
    unlink(path.c_str());
    std::FILE* file = std::fopen(path.c_str(), "wb");
    FUZZ_CHECK(file != nullptr);
    FUZZ_CHECK(size == 0 || std::fwrite(data, 1, size, file) == size);
    FUZZ_CHECK(std::fclose(file) == 0);
    return path;
}

// Little- and big-endian fields of the formats whose checksums the targets mend.
inline uint64_t FuzzLe(const uint8_t* p, int bytes) {
    uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; i--) v = (v << 8) | p[i];
    return v;
}
inline void FuzzPutLe(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; i++) p[i] = uint8_t(v >> (8 * i));
}
inline uint32_t FuzzBe32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}
inline void FuzzPutBe(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; i++) p[i] = uint8_t(v >> (24 - 8 * i));
}
