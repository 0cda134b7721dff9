// demosounds FOLDER: writes the demo game's "music.arc", "effect.arc" and "voice.arc" into FOLDER.
#include "demosounds/DemoSounds.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    if (!tools::WriteDemoSoundArchives(argv[1])) {
        std::fprintf(stderr, "cannot write the sound archives into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
