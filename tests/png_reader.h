// A PNG read back with libpng's simplified reader, for the tests that check pictures.
#pragma once

#include <png.h>

#include <string>
#include <vector>

// The picture's RGB bytes, top row first, and its size; empty if it cannot be read.
inline std::vector<unsigned char> readPngRgb(const std::string& file, int* width, int* height)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, file.c_str())) return {};
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return {};
    *width = static_cast<int>(image.width);
    *height = static_cast<int>(image.height);
    return rgb;
}
