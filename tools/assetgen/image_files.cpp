// image_files.cpp: picture file formats: PNG (libpng, to and from memory) and the Windows cursor (.cur).
#include "image_files.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

void AppendToVector(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}

struct ReadCursor {
    const std::vector<uint8_t>* bytes;
    size_t pos;
};

void ReadFromVector(png_structp png, png_bytep data, png_size_t length) {
    auto* cur = static_cast<ReadCursor*>(png_get_io_ptr(png));
    if (cur->pos + length > cur->bytes->size()) png_error(png, "truncated PNG");
    std::memcpy(data, cur->bytes->data() + cur->pos, length);
    cur->pos += length;
}

void PutU16(std::vector<uint8_t>& out, unsigned v) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>((v >> (8 * i)) & 0xFF));
}

}  // namespace

std::vector<uint8_t> EncodePng(const Image& img, bool opaque, int level) {
    std::vector<uint8_t> out;
    std::vector<uint8_t> rgba = ToRgba8(img);
    const int channels = opaque ? 3 : 4;
    std::vector<uint8_t> rows(static_cast<size_t>(img.width) * img.height * channels);
    for (size_t p = 0, n = static_cast<size_t>(img.width) * img.height; p < n; ++p)
        for (int c = 0; c < channels; ++c) rows[p * channels + c] = rgba[p * 4 + c];

    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return {};
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, AppendToVector, NoFlush);
    png_set_compression_level(png, level);
    png_set_IHDR(png, info, img.width, img.height, 8,
                 opaque ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < img.height; ++y)
        png_write_row(png, &rows[static_cast<size_t>(y) * img.width * channels]);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

bool DecodePng(const std::vector<uint8_t>& bytes, DecodedPng& out) {
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    ReadCursor cursor{&bytes, 0};
    // Both vectors live outside the error jump so that a failed read still frees them.
    std::vector<uint8_t> pixels;
    std::vector<png_bytep> rowPointers;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &cursor, ReadFromVector);
    png_read_info(png, info);
    png_uint_32 w = png_get_image_width(png, info), h = png_get_image_height(png, info);
    if (w == 0 || h == 0 || w > 16384 || h > 16384) png_error(png, "unreasonable size");
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != w * 4) png_error(png, "unexpected layout");
    pixels.resize(static_cast<size_t>(w) * h * 4);
    rowPointers.resize(h);
    for (png_uint_32 y = 0; y < h; ++y) rowPointers[y] = &pixels[static_cast<size_t>(y) * w * 4];
    png_read_image(png, rowPointers.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    out.width = static_cast<int>(w);
    out.height = static_cast<int>(h);
    out.rgba = std::move(pixels);
    return true;
}

bool WriteBytesToFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = (std::fclose(f) == 0) && ok;
    if (!ok) std::remove(path.c_str());
    return ok;
}

std::vector<uint8_t> BuildCursorFile(const Image& image, int hotX, int hotY) {
    const int w = std::min(image.width, 256), h = std::min(image.height, 256);
    std::vector<uint8_t> rgba = ToRgba8(image);
    const uint32_t xorBytes = static_cast<uint32_t>(w) * h * 4;
    const uint32_t maskStride = static_cast<uint32_t>((w + 31) / 32) * 4;
    const uint32_t andBytes = maskStride * h;
    const uint32_t dibBytes = 40 + xorBytes + andBytes;

    std::vector<uint8_t> out;
    // ICONDIR: reserved, type 2 (cursor), one image.
    PutU16(out, 0);
    PutU16(out, 2);
    PutU16(out, 1);
    // ICONDIRENTRY: size (0 means 256), colour count, reserved, hot spot, data size, offset.
    out.push_back(static_cast<uint8_t>(w == 256 ? 0 : w));
    out.push_back(static_cast<uint8_t>(h == 256 ? 0 : h));
    out.push_back(0);
    out.push_back(0);
    PutU16(out, static_cast<unsigned>(hotX));
    PutU16(out, static_cast<unsigned>(hotY));
    PutU32(out, dibBytes);
    PutU32(out, 6 + 16);
    // BITMAPINFOHEADER: the height counts the colour image and the mask together.
    PutU32(out, 40);
    PutU32(out, static_cast<uint32_t>(w));
    PutU32(out, static_cast<uint32_t>(h * 2));
    PutU16(out, 1);
    PutU16(out, 32);
    PutU32(out, 0);
    PutU32(out, xorBytes + andBytes);
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, 0);
    PutU32(out, 0);
    // Colour rows bottom-up, BGRA with straight alpha.
    for (int y = h - 1; y >= 0; --y)
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = &rgba[(static_cast<size_t>(y) * image.width + x) * 4];
            out.push_back(p[2]);
            out.push_back(p[1]);
            out.push_back(p[0]);
            out.push_back(p[3]);
        }
    // AND mask, bottom-up, 1 = transparent, rows padded to 32 bits.
    for (int y = h - 1; y >= 0; --y) {
        std::vector<uint8_t> row(maskStride, 0);
        for (int x = 0; x < w; ++x)
            if (rgba[(static_cast<size_t>(y) * image.width + x) * 4 + 3] == 0)
                row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}
