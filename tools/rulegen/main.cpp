// rulegen: writes a rule image for sprite-layer transitions.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>

#include "rulegen/RuleImageWriter.h"

int main(int argc, char** argv)
{
    if (argc != 5 && argc != 6) {
        std::fprintf(stderr, "usage: rulegen <wipe-right|wipe-down|radial|blinds|constant> <width> <height> "
                             "<out.bin> [value]\n");
        return 2;
    }
    tools::RulePattern pattern;
    if (!tools::ParseRulePattern(argv[1], pattern)) {
        std::fprintf(stderr, "rulegen: unknown pattern %s\n", argv[1]);
        return 2;
    }
    try {
        const int value = argc == 6 ? std::atoi(argv[5]) : 0;
        const auto image = tools::MakeRuleImage(pattern, std::atoi(argv[2]), std::atoi(argv[3]),
                                                static_cast<uint8_t>(value));
        std::ofstream output(argv[4], std::ios::binary | std::ios::trunc);
        output.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
        output.close();
        if (!output) {
            std::fprintf(stderr, "rulegen: cannot write %s\n", argv[4]);
            return 1;
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "rulegen: %s\n", error.what());
        return 1;
    }
    return 0;
}
