// castnames: writes the demo game's "castnames.txt" (placeholder names by role).
#include <cstdio>
#include <fstream>

#include "castnames/CastNamesWriter.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: castnames <castnames.txt>\n");
        return 2;
    }
    const std::string file = tools::WriteCastNames(tools::DemoCastNames());
    std::ofstream output(argv[1], std::ios::binary | std::ios::trunc);
    output.write(file.data(), static_cast<std::streamsize>(file.size()));
    output.close();
    if (!output) {
        std::fprintf(stderr, "castnames: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
