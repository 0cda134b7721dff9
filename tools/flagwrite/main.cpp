// flagwrite: turns a text listing into a flag file (see FlagFileWriter.h for the listing).
#include <cstdio>
#include <exception>
#include <fstream>
#include <sstream>

#include "flagwrite/FlagFileWriter.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: flagwrite <listing.txt> <flag file>\n");
        return 2;
    }
    try {
        std::ifstream input(argv[1], std::ios::binary);
        if (!input) {
            std::fprintf(stderr, "flagwrite: cannot read %s\n", argv[1]);
            return 1;
        }
        std::ostringstream listing;
        listing << input.rdbuf();
        const std::vector<uint8_t> file = tools::WriteFlagFile(tools::ParseFlagListing(listing.str()));
        std::ofstream output(argv[2], std::ios::binary | std::ios::trunc);
        output.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
        output.close();
        if (!output) {
            std::fprintf(stderr, "flagwrite: cannot write %s\n", argv[2]);
            return 1;
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "flagwrite: %s: %s\n", argv[1], error.what());
        return 1;
    }
    return 0;
}
