// image_files.h: picture file formats: PNG encoding and decoding, and the Windows cursor file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image_core.h"

// Encodes as 8-bit RGBA, or RGB when `opaque` (every alpha must then be 255 anyway).
// No time or text chunks are written, so equal pictures give equal bytes.
std::vector<uint8_t> EncodePng(const Image& img, bool opaque = false, int level = 9);

struct DecodedPng {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;  // straight RGBA, 4 bytes per pixel
};

// false when the bytes are not a complete, valid PNG file.
bool DecodePng(const std::vector<uint8_t>& bytes, DecodedPng& out);
bool WriteBytesToFile(const std::string& path, const std::vector<uint8_t>& bytes);
// A Windows .cur file holding one 32-bit image of `image` (at most 256 square) with
// its AND mask, hot spot at (hotX, hotY).
std::vector<uint8_t> BuildCursorFile(const Image& image, int hotX, int hotY);
