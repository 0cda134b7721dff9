// flagwrite: turns a text listing into a game-state file of the save folder, or dumps such a file
// as a listing (see FlagFileWriter.h and SaveDataWriter.h for the listings).
#include <cstdio>
#include <exception>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

#include "flagwrite/SaveDataWriter.h"

namespace {

bool KindOf(const std::string& option, tools::GameFileKind& kind)
{
    if (option == "--flag" || option == "flag")
        kind = tools::GameFileKind::Flag;
    else if (option == "--savedata" || option == "savedata")
        kind = tools::GameFileKind::SaveData;
    else if (option == "--onemes" || option == "onemes")
        kind = tools::GameFileKind::ReadBuffer;
    else
        return false;
    return true;
}

int Usage()
{
    std::fprintf(stderr, "usage: flagwrite [--flag|--savedata|--onemes] <listing.txt> <file>\n"
                         "       flagwrite --dump flag|savedata|onemes <file>\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return Usage();
    tools::GameFileKind kind = tools::GameFileKind::Flag;
    const std::string first = argv[1];
    if (first == "--dump") {
        if (argc != 4 || !KindOf(argv[2], kind))
            return Usage();
        std::ifstream input(argv[3], std::ios::binary);
        if (!input) {
            std::fprintf(stderr, "flagwrite: cannot read %s\n", argv[3]);
            return 1;
        }
        const std::vector<uint8_t> file((std::istreambuf_iterator<char>(input)),
                                        std::istreambuf_iterator<char>());
        std::cout << tools::DumpGameFile(kind, file);
        return 0;
    }
    int arg = 1;
    if (first.starts_with("--")) {
        if (!KindOf(first, kind))
            return Usage();
        ++arg;
    }
    if (argc - arg != 2)
        return Usage();
    const char* listing_path = argv[arg];
    const char* output_path = argv[arg + 1];
    try {
        std::ifstream input(listing_path, std::ios::binary);
        if (!input) {
            std::fprintf(stderr, "flagwrite: cannot read %s\n", listing_path);
            return 1;
        }
        std::ostringstream listing;
        listing << input.rdbuf();
        const std::vector<uint8_t> file = tools::WriteGameFile(kind, listing.str());
        std::ofstream output(output_path, std::ios::binary | std::ios::trunc);
        output.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
        output.close();
        if (!output) {
            std::fprintf(stderr, "flagwrite: cannot write %s\n", output_path);
            return 1;
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "flagwrite: %s: %s\n", listing_path, error.what());
        return 1;
    }
    return 0;
}
