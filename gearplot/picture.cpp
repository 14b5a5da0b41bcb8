// The window's pixels written as a PNG with libpng.
#include "gearplot.h"

#include <png.h>

#include <csetjmp>

namespace {

// libpng's own handler prints "libpng error: …" on standard error; the caller reports the
// failure with its reason, once, so the handler only jumps back.
[[noreturn]] void jumpBack(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void quietWarning(png_structp, png_const_charp) {}

}  // namespace

bool writePng(std::FILE* out, int width, int height, const std::vector<unsigned char>& rgb)
{
    if (width <= 0 || height <= 0 || rgb.size() != std::size_t(width) * std::size_t(height) * 3) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, jumpBack, quietWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {  // libpng jumps back here when a write fails
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return false;
    }
    png_init_io(png, out);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int row = 0; row < height; ++row)
        png_write_row(png, rgb.data() + std::size_t(row) * std::size_t(width) * 3);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fflush(out) == 0 && !std::ferror(out);
}
