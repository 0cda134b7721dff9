// akbwriter: turns a PNG into an AKB picture.
//   akbwriter [options] <in.png> <out.akb>
//   --rgb ALPHA          three bytes a pixel, the content's alpha ALPHA (0..255)
//   --fill AARRGGBB      fill the border outside the content with this colour
//   --content L,T,R,B    the stored rectangle (default: the whole picture)
//   --trim AARRGGBB      the stored rectangle: every pixel that differs from this colour
//   --base NAME BASE.png a difference picture over NAME; pixels equal to BASE.png let it show
#include "akbwriter/AkbWriter.h"
#include "platform/gdi/PngCodec.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fstream>
#include <string>

namespace {

int Fail(const char* message)
{
    std::fprintf(stderr, "akbwriter: %s\n", message);
    return 1;
}

std::optional<tools::AkbPicture> Load(const char* path)
{
    std::optional<platform::PngPicture> png = platform::ReadPngFile(path);
    if (!png)
        return std::nullopt;
    tools::AkbPicture picture;
    picture.width = png->width;
    picture.height = png->height;
    picture.pixels = std::move(png->pixels);
    return picture;
}

} // namespace

int main(int argc, char** argv)
{
    tools::AkbOptions options;
    std::optional<uint32_t> trim;
    const char* base_png = nullptr;
    int arg = 1;
    for (; arg < argc && std::strncmp(argv[arg], "--", 2) == 0; ++arg) {
        const std::string option = argv[arg];
        if (arg + 1 >= argc)
            return Fail("option without a value");
        const char* value = argv[++arg];
        if (option == "--rgb") {
            options.rgb_alpha = static_cast<uint8_t>(std::strtoul(value, nullptr, 0));
        } else if (option == "--fill") {
            options.fill = static_cast<uint32_t>(std::strtoul(value, nullptr, 16));
        } else if (option == "--trim") {
            trim = static_cast<uint32_t>(std::strtoul(value, nullptr, 16));
        } else if (option == "--content") {
            tools::AkbRect rect;
            if (std::sscanf(value, "%d,%d,%d,%d", &rect.left, &rect.top, &rect.right, &rect.bottom) != 4)
                return Fail("--content takes L,T,R,B");
            options.content = rect;
        } else if (option == "--base") {
            if (arg + 1 >= argc)
                return Fail("--base takes a name and a PNG");
            options.base_name = value;
            base_png = argv[++arg];
        } else {
            return Fail("unknown option");
        }
    }
    if (argc - arg != 2) {
        std::fprintf(stderr,
                     "usage: akbwriter [--rgb A] [--fill AARRGGBB] [--content L,T,R,B | --trim AARRGGBB] "
                     "[--base NAME BASE.png] <in.png> <out.akb>\n");
        return 2;
    }
    try {
        std::optional<tools::AkbPicture> picture = Load(argv[arg]);
        if (!picture)
            return Fail("cannot read the input PNG");
        if (base_png != nullptr) {
            std::optional<tools::AkbPicture> base = Load(base_png);
            if (!base)
                return Fail("cannot read the base PNG");
            *picture = tools::MakeDifference(*base, *picture);
            trim = 0xFF00FF00;
        }
        if (trim)
            options.content = tools::FindContentRect(*picture, *trim);
        const std::vector<uint8_t> akb = tools::EncodeAkb(*picture, options);
        std::ofstream out(argv[arg + 1], std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(akb.data()), static_cast<std::streamsize>(akb.size()));
        if (!out)
            return Fail("cannot write the output");
    } catch (const std::exception& error) {
        return Fail(error.what());
    }
    return 0;
}
