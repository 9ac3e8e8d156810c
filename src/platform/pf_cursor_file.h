// pf_cursor_file.h: reading a Windows .cur file into pixels, kept free of SDL so tests can check it directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct PfCursorImage {
    int width = 0, height = 0;
    int hotX = 0, hotY = 0;
    std::vector<uint32_t> pixels;  // packed RGBA as in platform.h, top row first
};

// The first image of a .cur file; false on anything malformed (nothing is read
// outside the size bytes at data).
bool PfParseCursor(const uint8_t* data, size_t size, PfCursorImage& out);
