// mapwrite: turns a UTF-8 listing (id, a space or tab, text; one per line) into a ".map" table.
#include <cstdio>
#include <exception>
#include <fstream>
#include <iterator>
#include <string>

#include "mapwrite/MapTableWriter.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: mapwrite <listing.txt> <table.map>\n");
        return 2;
    }
    std::ifstream input(argv[1], std::ios::binary);
    if (!input) {
        std::fprintf(stderr, "mapwrite: cannot read %s\n", argv[1]);
        return 1;
    }
    const std::string listing((std::istreambuf_iterator<char>(input)), std::istreambuf_iterator<char>());
    try {
        const std::vector<uint8_t> table = tools::BuildMapTable(tools::ParseMapListing(listing));
        std::ofstream output(argv[2], std::ios::binary | std::ios::trunc);
        output.write(reinterpret_cast<const char*>(table.data()), static_cast<std::streamsize>(table.size()));
        output.close();
        if (!output) {
            std::fprintf(stderr, "mapwrite: cannot write %s\n", argv[2]);
            return 1;
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "mapwrite: %s\n", error.what());
        return 1;
    }
    return 0;
}
