// png_codec.cpp: libpng to and from memory buffers.
#include "png_codec.h"

#include <png.h>

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
    std::vector<uint8_t> pixels;
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
    std::vector<png_bytep> rowPointers(h);
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
