// pf_png_write.cpp: saving an image as a PNG file (screen captures for review and for the software centre).
#include <png.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform.h"

int SaveImagePng(int number, const std::string& path) {
    const int width = ImageWidth(number);
    const int height = ImageHeight(number);
    if (!IsImage(number) || width <= 0 || height <= 0) return 0;
    std::vector<uint8_t> rgb(size_t(width) * size_t(height) * 3);
    uint8_t* out = rgb.data();
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            const uint32_t pixel = ImagePixel(number, x, y);
            *out++ = uint8_t(ColourRed(pixel));
            *out++ = uint8_t(ColourGreen(pixel));
            *out++ = uint8_t(ColourBlue(pixel));
        }
    }
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = PNG_FORMAT_RGB;
    // Written beside the final name and renamed, so a failed write leaves no half file.
    const std::string temporary = path + ".part";
    if (!png_image_write_to_file(&image, temporary.c_str(), 0, rgb.data(), 0, nullptr)) {
        std::remove(temporary.c_str());
        return 0;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return 0;
    }
    return 1;
}
