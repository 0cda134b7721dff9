// wavwriter OUT SECONDS [--rate R] [--channels C] [--tone HZ] [--amplitude A] [--loop START END]
// Writes a 16-bit PCM sine tone, optionally with a "smpl" loop (frames, end exclusive).
#include "wavwriter/WavWriter.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: %s OUT SECONDS [--rate R] [--channels C] [--tone HZ] [--amplitude A] "
                     "[--loop START END]\n",
                     argv[0]);
        return 2;
    }
    tools::WavContents wav;
    const double seconds = std::atof(argv[2]);
    double tone = 440.0;
    double amplitude = 8000.0;
    for (int i = 3; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--rate" && i + 1 < argc) {
            wav.rate = static_cast<uint32_t>(std::atoi(argv[++i]));
        } else if (arg == "--channels" && i + 1 < argc) {
            wav.channels = static_cast<uint16_t>(std::atoi(argv[++i]));
        } else if (arg == "--tone" && i + 1 < argc) {
            tone = std::atof(argv[++i]);
        } else if (arg == "--amplitude" && i + 1 < argc) {
            amplitude = std::atof(argv[++i]);
        } else if (arg == "--loop" && i + 2 < argc) {
            tools::WavLoop loop;
            loop.start = static_cast<uint32_t>(std::atol(argv[++i]));
            loop.end = static_cast<uint32_t>(std::atol(argv[++i]));
            wav.loop = loop;
        } else {
            std::fprintf(stderr, "unknown argument %s\n", arg.c_str());
            return 2;
        }
    }
    const auto frames = static_cast<size_t>(seconds * wav.rate);
    std::vector<int16_t> samples;
    samples.reserve(frames * wav.channels);
    for (size_t i = 0; i < frames; ++i) {
        const double value =
            amplitude * std::sin(2.0 * std::numbers::pi * tone * static_cast<double>(i) / wav.rate);
        for (uint16_t c = 0; c < wav.channels; ++c)
            samples.push_back(static_cast<int16_t>(std::lround(value)));
    }
    wav.samples = tools::Pcm16Bytes(samples);
    if (!tools::WriteWavFile(argv[1], wav)) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
