// moviecheck: what the demo's headless movie run left behind.
//   moviecheck frame <frame.png>   prints "<number> <RRGGBB>" (number -1 when unreadable)
//   moviecheck peak <sound.wav>    prints the loudest sample
//   moviecheck tone <sound.wav> <hz>  prints the milliseconds in which the tone is heard
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "moviecheck/MovieCheck.h"

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "frame") == 0) {
        const tools::FrameReading reading = tools::ReadFrameFile(argv[2]);
        if (!reading.ok)
            return 1;
        std::printf("%d %06X\n", reading.number, reading.tint);
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "peak") == 0) {
        const int peak = tools::WavPeak(argv[2]);
        if (peak < 0)
            return 1;
        std::printf("%d\n", peak);
        return 0;
    }
    if (argc == 4 && std::strcmp(argv[1], "tone") == 0) {
        const int heard = tools::WavToneMilliseconds(argv[2], std::atoi(argv[3]));
        if (heard < 0)
            return 1;
        std::printf("%d\n", heard);
        return 0;
    }
    std::fprintf(stderr, "usage: moviecheck frame <frame.png> | peak <sound.wav> | tone <sound.wav> <hz>\n");
    return 2;
}
