// pf_images.cpp: in-memory images — PNG decoding, bilinear resizing, screen capture and BMP writing.
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include "pf_video_internal.h"

// ---------------------------------------------------------------------------
// PNG decoding from memory

namespace {

// Reads from the byte buffer; running past its end is an error, never a read beyond it.
void PngRead(png_structp png, png_bytep out, png_size_t length) {
    auto* source = static_cast<PfPngSource*>(png_get_io_ptr(png));
    if (length > source->size - source->offset) png_error(png, "truncated");
    std::memcpy(out, source->data + source->offset, length);
    source->offset += length;
}

// Damaged input is an ordinary failure here, not something to print.
[[noreturn]] void PngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void PngWarning(png_structp, png_const_charp) {}

constexpr png_uint_32 kMaxPngSide = 16384;
// More pixels than a picture of a 4K screen twice over is a damaged or hostile
// file, refused before a buffer of that size is asked for.
constexpr uint64_t kMaxPngPixels = 16 * 1024 * 1024;

// Every layout becomes 8-bit RGBA, the same for a whole decode and for rows.
// Called under the caller's setjmp.
void ToRgba(png_structp png, png_infop info) {
    const int depth = png_get_bit_depth(png, info);
    const int type = png_get_color_type(png, info);
    if (type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (type == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    if (depth == 16) png_set_strip_16(png);
    if (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
}

// The libpng part on its own: only plain locals live across setjmp, and the
// buffers belong to the caller so that a longjmp skips no destructor.
bool DecodePngInto(PfPngSource& source, std::vector<uint32_t>& pixels, std::vector<png_bytep>& rows, int& width,
                   int& height) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &source, PngRead);
    png_set_user_limits(png, kMaxPngSide, kMaxPngSide);
    png_read_info(png, info);
    png_uint_32 w = png_get_image_width(png, info);
    png_uint_32 h = png_get_image_height(png, info);
    if (uint64_t(w) * h > kMaxPngPixels) png_error(png, "too many pixels");
    ToRgba(png, info);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != size_t(w) * 4) png_error(png, "unexpected layout");
    pixels.assign(size_t(w) * size_t(h), 0);
    rows.resize(h);
    for (png_uint_32 y = 0; y < h; y++) rows[y] = reinterpret_cast<png_bytep>(pixels.data() + size_t(y) * w);
    png_read_image(png, rows.data());
    // A file cut short after its pixels is still a damaged file.
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    width = int(w);
    height = int(h);
    return true;
}

}  // namespace

// ---------------------------------------------------------------------------
// PNG rows in order, a band at a time

namespace {

// Every libpng call below runs under its own setjmp, with only plain locals.
bool OpenPngRows(PfPngRows& rows, int width, int height) {
    png_structp png = rows.png;
    png_infop info = rows.info;
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_read_fn(png, &rows.source, PngRead);
    png_set_user_limits(png, kMaxPngSide, kMaxPngSide);
    png_read_info(png, info);
    const int type = png_get_color_type(png, info);
    if ((type & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(png, info, PNG_INFO_tRNS) ||
        png_get_interlace_type(png, info) != PNG_INTERLACE_NONE || png_get_image_width(png, info) != png_uint_32(width) ||
        png_get_image_height(png, info) != png_uint_32(height)) {
        return false;
    }
    ToRgba(png, info);
    png_read_update_info(png, info);
    return png_get_rowbytes(png, info) == size_t(width) * 4;
}

bool ReadPngRows(png_structp png, int count, int width, uint32_t* out) {
    if (setjmp(png_jmpbuf(png))) return false;
    for (int y = 0; y < count; ++y) png_read_row(png, reinterpret_cast<png_bytep>(out + size_t(y) * size_t(width)), nullptr);
    return true;
}

}  // namespace

PfPngRows::~PfPngRows() { Close(); }

void PfPngRows::Close() {
    if (png) {
        png_structp p = png;
        png_infop i = info;
        png_destroy_read_struct(&p, i ? &i : nullptr, nullptr);
    }
    png = nullptr;
    info = nullptr;
    file.reset();
}

bool PfPngRows::Open(std::shared_ptr<const std::vector<uint8_t>> bytes, int w, int h) {
    Close();
    failed = false;
    width = w;
    if (!bytes || bytes->size() < 8 || png_sig_cmp(bytes->data(), 0, 8) != 0 || w <= 0 || h <= 0) return false;
    file = std::move(bytes);
    source = {file->data(), file->size(), 0};
    png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
    if (png) info = png_create_info_struct(png);
    if (!png || !info || !OpenPngRows(*this, w, h)) {
        Close();
        return false;
    }
    return true;
}

void PfPngRows::Read(int count, uint32_t* out) {
    if (!failed && png && !ReadPngRows(png, count, width, out)) failed = true;
    if (failed || !png) std::fill(out, out + size_t(count) * size_t(width), 0u);
}

bool PfDecodePng(const void* data, size_t size, std::vector<uint32_t>& pixels, int& width, int& height) {
    if (!data || size < 8 || png_sig_cmp(static_cast<png_const_bytep>(data), 0, 8) != 0) return false;
    PfPngSource source = {static_cast<const uint8_t*>(data), size, 0};
    std::vector<png_bytep> rows;
    // Little-endian packing: bytes R, G, B, A read as one value are the packed colour.
    static_assert(SDL_BYTEORDER == SDL_LIL_ENDIAN, "packed colours assume a little-endian machine");
    if (!DecodePngInto(source, pixels, rows, width, height)) {
        pixels.clear();
        return false;
    }
    return width > 0 && height > 0;
}

namespace {

uint32_t BigEndian32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

// The bit depths libpng accepts for each colour type.
bool HeaderUsable(const uint8_t* header) {
    const uint32_t width = BigEndian32(header), height = BigEndian32(header + 4);
    const int depth = header[8], type = header[9];
    if (width == 0 || height == 0 || width > kMaxPngSide || height > kMaxPngSide) return false;
    if (uint64_t(width) * height > kMaxPngPixels) return false;
    if (header[10] != 0 || header[11] != 0 || header[12] > 1) return false;  // compression, filter, interlace
    switch (type) {
        case PNG_COLOR_TYPE_GRAY: return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
        case PNG_COLOR_TYPE_PALETTE: return depth == 1 || depth == 2 || depth == 4 || depth == 8;
        case PNG_COLOR_TYPE_RGB:
        case PNG_COLOR_TYPE_GRAY_ALPHA:
        case PNG_COLOR_TYPE_RGB_ALPHA: return depth == 8 || depth == 16;
        default: return false;
    }
}

}  // namespace

bool PfCheckPng(const void* data, size_t size, int& width, int& height) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    if (!data || size < 8 || png_sig_cmp(bytes, 0, 8) != 0) return false;
    bool header = false, palette = false, imageData = false;
    for (size_t at = 8; size - at >= 12;) {
        const uint32_t length = BigEndian32(bytes + at);
        if (length > 0x7FFFFFFFu || length > size - at - 12) return false;  // the chunk runs past the end
        const uint8_t* type = bytes + at + 4;
        if (uint32_t(crc32(crc32(0, nullptr, 0), type, length + 4)) != BigEndian32(type + 4 + length)) return false;
        const bool isHeader = std::memcmp(type, "IHDR", 4) == 0;
        if (isHeader != !header) return false;  // the header comes first, and once
        if (isHeader) {
            if (length != 13 || !HeaderUsable(type + 4)) return false;
            width = int(BigEndian32(type + 4));
            height = int(BigEndian32(type + 8));
            palette = type[4 + 9] == PNG_COLOR_TYPE_PALETTE;
            header = true;
        } else if (std::memcmp(type, "PLTE", 4) == 0) {
            palette = false;
        } else if (std::memcmp(type, "IDAT", 4) == 0) {
            if (palette) return false;  // a palette image without its palette
            imageData = true;
        } else if (std::memcmp(type, "IEND", 4) == 0) {
            return imageData;
        }
        at += 12 + size_t(length);
    }
    return false;  // no end chunk: the file was cut short
}

// ---------------------------------------------------------------------------
// Images

static PfImage* FindImage(int number) { return PfTableGet(PfVideo.images, number); }

void PfFreeAllImages() { PfVideo.images = PfTable<PfImage>(); }

static int StoreImage(int number, std::unique_ptr<PfImage> image) {
    int stored = PfTableChooseNumber(PfVideo.images, number);
    std::unique_ptr<PfImage>* slot = PfTableSlot(PfVideo.images, stored);
    if (!slot) return 0;
    *slot = std::move(image);
    return PfCreatedResult(number, stored);
}

static bool SizeAllowed(int width, int height) {
    return width > 0 && height > 0 && int64_t(width) * height <= (int64_t(1) << 28);
}

int LoadImageBytes(int number, const void* data, size_t size) {
    auto image = std::make_unique<PfImage>();
    if (!PfDecodePng(data, size, image->pixels, image->width, image->height)) return 0;
    return StoreImage(number, std::move(image));
}

int CreateImage(int number, int width, int height) {
    if (!SizeAllowed(width, height)) return 0;
    auto image = std::make_unique<PfImage>();
    image->width = width;
    image->height = height;
    image->pixels.assign(size_t(width) * size_t(height), 0xFF000000u);
    return StoreImage(number, std::move(image));
}

int ResizeImage(int number, int width, int height) {
    PfImage* image = FindImage(number);
    if (!image || !SizeAllowed(width, height)) return 0;
    std::vector<uint32_t> resized;
    PfResample(image->pixels, image->width, image->height, resized, width, height);
    image->pixels = std::move(resized);
    image->width = width;
    image->height = height;
    return 1;
}

int ImageWidth(int number) {
    PfImage* image = FindImage(number);
    return image ? image->width : 0;
}

int ImageHeight(int number) {
    PfImage* image = FindImage(number);
    return image ? image->height : 0;
}

void FreeImage(int number) {
    if (!FindImage(number)) return;
    PfTableSlot(PfVideo.images, number)->reset();
}

int IsImage(int number) { return FindImage(number) != nullptr; }

uint32_t ImagePixel(int number, int x, int y) {
    PfImage* image = FindImage(number);
    if (!image || x < 0 || y < 0 || x >= image->width || y >= image->height) return 0;
    return image->pixels[size_t(y) * size_t(image->width) + size_t(x)];
}

int GrabScreenImage(int number, int x, int y, int width, int height) {
    if (!PfVideo.renderer || !SizeAllowed(width, height) || x < 0 || y < 0 ||
        int64_t(x) + width > PfVideo.screenWidth || int64_t(y) + height > PfVideo.screenHeight) {
        return 0;
    }
    auto image = std::make_unique<PfImage>();
    image->width = width;
    image->height = height;
    image->pixels.assign(size_t(width) * size_t(height), 0);
    PfFlushScreen();
    SDL_Rect rect = {x, y, width, height};
    if (SDL_RenderReadPixels(PfVideo.renderer, &rect, SDL_PIXELFORMAT_RGBA32, image->pixels.data(), width * 4) != 0) {
        return 0;
    }
    for (uint32_t& p : image->pixels) p |= 0xFF000000u;  // the screen has no transparency
    return StoreImage(number, std::move(image));
}

// ---------------------------------------------------------------------------
// Windows bitmap: 24 bits per pixel, rows bottom-up, each padded to 4 bytes.

static void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; i++) out.push_back(uint8_t(value >> (8 * i)));
}

int SaveImageBmp(int number, const std::string& path) {
    PfImage* image = FindImage(number);
    if (!image) return 0;
    uint32_t rowBytes = (uint32_t(image->width) * 3 + 3) & ~3u;
    uint32_t dataBytes = rowBytes * uint32_t(image->height);
    std::vector<uint8_t> out;
    out.reserve(54 + dataBytes);
    out.push_back('B');
    out.push_back('M');
    PutLe(out, 54 + dataBytes, 4);
    PutLe(out, 0, 4);
    PutLe(out, 54, 4);
    PutLe(out, 40, 4);  // BITMAPINFOHEADER
    PutLe(out, uint32_t(image->width), 4);
    PutLe(out, uint32_t(image->height), 4);
    PutLe(out, 1, 2);
    PutLe(out, 24, 2);
    PutLe(out, 0, 4);  // uncompressed
    PutLe(out, dataBytes, 4);
    PutLe(out, 2835, 4);  // 72 dpi
    PutLe(out, 2835, 4);
    PutLe(out, 0, 4);
    PutLe(out, 0, 4);
    for (int y = image->height - 1; y >= 0; y--) {
        const uint32_t* row = image->pixels.data() + size_t(y) * size_t(image->width);
        for (int x = 0; x < image->width; x++) {
            out.push_back(uint8_t(ColourBlue(row[x])));
            out.push_back(uint8_t(ColourGreen(row[x])));
            out.push_back(uint8_t(ColourRed(row[x])));
        }
        for (uint32_t pad = uint32_t(image->width) * 3; pad < rowBytes; pad++) out.push_back(0);
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 0;
    bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    // A failed close (a full disk, for instance) means the file is not whole.
    if (std::fclose(file) != 0) written = false;
    if (!written) std::remove(path.c_str());
    return written ? 1 : 0;
}
