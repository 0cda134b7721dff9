// mpegclip: writes one numbered MPEG-1 test clip.
//   mpegclip [--size WxH] [--frames N] [--fps F] [--first N] [--tint RRGGBB] [--silent]
//            [--tone HZ] [--vsd N] <output.mpg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fstream>

#include "mpegclip/MpegClipWriter.h"

int main(int argc, char** argv)
{
    tools::MpegClipOptions options;
    int arg = 1;
    for (; arg + 1 < argc && argv[arg][0] == '-'; ++arg) {
        const char* name = argv[arg];
        if (std::strcmp(name, "--silent") == 0) {
            options.audio = false;
            continue;
        }
        const char* value = argv[++arg];
        if (std::strcmp(name, "--size") == 0)
            std::sscanf(value, "%dx%d", &options.width, &options.height);
        else if (std::strcmp(name, "--frames") == 0)
            options.frames = std::atoi(value);
        else if (std::strcmp(name, "--fps") == 0)
            options.fps = std::atoi(value);
        else if (std::strcmp(name, "--first") == 0)
            options.first_number = std::atoi(value);
        else if (std::strcmp(name, "--tint") == 0)
            options.tint = static_cast<uint32_t>(std::strtoul(value, nullptr, 16));
        else if (std::strcmp(name, "--tone") == 0)
            options.tone_hz = std::atoi(value);
        else if (std::strcmp(name, "--vsd") == 0)
            options.vsd_header = std::atoi(value);
        else {
            std::fprintf(stderr, "mpegclip: unknown option %s\n", name);
            return 2;
        }
    }
    if (argc - arg != 1) {
        std::fprintf(stderr, "usage: mpegclip [--size WxH] [--frames N] [--fps F] [--first N] "
                             "[--tint RRGGBB] [--silent] [--tone HZ] [--vsd N] <output.mpg>\n");
        return 2;
    }
    try {
        const std::vector<uint8_t> clip = tools::WriteMpegClip(options);
        std::ofstream output(argv[arg], std::ios::binary | std::ios::trunc);
        output.write(reinterpret_cast<const char*>(clip.data()), static_cast<std::streamsize>(clip.size()));
        output.close();
        if (!output) {
            std::fprintf(stderr, "mpegclip: cannot write %s\n", argv[arg]);
            return 1;
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
