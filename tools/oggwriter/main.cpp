// oggwriter OUT SECONDS [--channels C] [--tone HZ] [--amplitude A] [--loop START END]
//           [--comment TEXT] [--cut-after-identification] [--garbage N]
// Writes a sine tone as Ogg Vorbis, with loop comments (frames) and damaged variants on request.
#include "oggwriter/OggWriter.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: %s OUT SECONDS [--channels C] [--tone HZ] [--amplitude A] [--loop START END] "
                     "[--comment TEXT] [--cut-after-identification] [--garbage N]\n",
                     argv[0]);
        return 2;
    }
    tools::OggContents ogg;
    const double seconds = std::atof(argv[2]);
    double tone = 440.0;
    double amplitude = 8000.0;
    bool cut = false;
    size_t garbage = 0;
    for (int i = 3; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--channels" && i + 1 < argc) {
            ogg.channels = static_cast<uint16_t>(std::atoi(argv[++i]));
        } else if (arg == "--tone" && i + 1 < argc) {
            tone = std::atof(argv[++i]);
        } else if (arg == "--amplitude" && i + 1 < argc) {
            amplitude = std::atof(argv[++i]);
        } else if (arg == "--loop" && i + 2 < argc) {
            const auto start = static_cast<uint32_t>(std::atol(argv[i + 1]));
            const auto end = static_cast<uint32_t>(std::atol(argv[i + 2]));
            i += 2;
            for (const std::string& comment : tools::OggLoopComments(start, end))
                ogg.comments.push_back(comment);
        } else if (arg == "--comment" && i + 1 < argc) {
            ogg.comments.push_back(argv[++i]);
        } else if (arg == "--cut-after-identification") {
            cut = true;
        } else if (arg == "--garbage" && i + 1 < argc) {
            garbage = static_cast<size_t>(std::atol(argv[++i]));
        } else {
            std::fprintf(stderr, "unknown argument %s\n", arg.c_str());
            return 2;
        }
    }
    ogg.samples = tools::SineSamples(static_cast<size_t>(seconds * ogg.rate), ogg.channels, tone, amplitude);
    std::vector<uint8_t> bytes = tools::WriteOgg(ogg);
    if (bytes.empty()) {
        std::fprintf(stderr, "the encoder refused the format\n");
        return 1;
    }
    if (cut)
        bytes = tools::CutAfterIdentification(bytes);
    if (garbage > 0)
        bytes = tools::WithGarbagePrefix(bytes, garbage);
    std::ofstream file(argv[1], std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
