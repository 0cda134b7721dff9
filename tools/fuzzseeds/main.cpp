// fuzzseeds FOLDER: writes the fuzz targets' seed corpora into FOLDER/<target>/.
#include <cstdio>
#include <exception>

#include "fuzzseeds/FuzzSeeds.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzzseeds FOLDER\n");
        return 2;
    }
    try {
        tools::WriteFuzzSeeds(argv[1]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "fuzzseeds: %s\n", error.what());
        return 1;
    }
    return 0;
}
