#include "platform/gdi/PngCodec.h"

#include <fstream>
#include <iterator>

#include <png.h>

namespace platform {

std::vector<uint8_t> EncodePng(int32_t width, int32_t height, std::span<const uint32_t> pixels)
{
    if (width <= 0 || height <= 0 ||
        pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height))
        return {};
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_BGRA;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr))
        return {};
    std::vector<uint8_t> file(size);
    if (!png_image_write_to_memory(&image, file.data(), &size, 0, pixels.data(), 0, nullptr))
        return {};
    file.resize(size);
    return file;
}

bool DecodePngInto(std::span<const uint8_t> file, int32_t width, int32_t height, std::span<uint32_t> pixels)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size()))
        return false;
    if (image.width != static_cast<png_uint_32>(width) || image.height != static_cast<png_uint_32>(height) ||
        pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height)) {
        png_image_free(&image);
        return false;
    }
    image.format = PNG_FORMAT_BGRA;
    const bool done = png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) != 0;
    png_image_free(&image);
    return done;
}

std::optional<PngPicture> DecodePng(std::span<const uint8_t> file)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size()))
        return std::nullopt;
    PngPicture picture;
    picture.width = static_cast<int32_t>(image.width);
    picture.height = static_cast<int32_t>(image.height);
    png_image_free(&image);
    picture.pixels.resize(static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height));
    if (!DecodePngInto(file, picture.width, picture.height, picture.pixels))
        return std::nullopt;
    return picture;
}

bool WritePngFile(const std::filesystem::path& path, const PngPicture& picture)
{
    const std::vector<uint8_t> file = EncodePng(picture.width, picture.height, picture.pixels);
    if (file.empty())
        return false;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    return static_cast<bool>(out);
}

std::optional<PngPicture> ReadPngFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return DecodePng(file);
}

} // namespace platform
