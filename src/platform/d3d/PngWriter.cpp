#include "platform/d3d/PngWriter.h"

#include <cstdio>
#include <memory>

#include <png.h>

namespace platform {

namespace {

struct FileCloser
{
    void operator()(FILE* file) const { std::fclose(file); }
};

} // namespace

bool WritePngRgba(const std::string& path, int width, int height, const uint8_t* pixels, size_t pitch, bool opaque)
{
    if (width <= 0 || height <= 0 || !pixels)
        return false;
    std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    // libpng reports errors by longjmp; nothing with a destructor lives between here and the end.
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 opaque ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    // Frame dumps are written on the presenting thread, a movie's among them: speed over size.
    png_set_compression_level(png, 1);
    png_set_filter(png, 0, PNG_FILTER_NONE);
    png_write_info(png, info);
    if (opaque)
        png_set_filler(png, 0, PNG_FILLER_AFTER); // the rows keep their fourth byte; it is skipped
    for (int y = 0; y < height; ++y)
        png_write_row(png, const_cast<png_bytep>(pixels + static_cast<size_t>(y) * pitch));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fflush(file.get()) == 0;
}

} // namespace platform
