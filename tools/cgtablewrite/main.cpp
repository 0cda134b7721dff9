// cgtablewrite: writes "cglist.txt" and "cgcompose.txt" into a folder from a description file
// (see CGTableWriter.h), refusing what the game's loader would refuse.
//   cgtablewrite <description> <folder>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "cgtablewrite/CGTableWriter.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: cgtablewrite <description> <folder>\n");
        return 1;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::fprintf(stderr, "cgtablewrite: cannot read %s\n", argv[1]);
        return 1;
    }
    std::stringstream text;
    text << in.rdbuf();
    try {
        const tools::CGTableFiles files = tools::WriteCGTablesFromDescription(text.str());
        const std::string folder = std::string(argv[2]) + "/";
        std::ofstream list(folder + "cglist.txt", std::ios::binary);
        list << files.list;
        std::ofstream compose(folder + "cgcompose.txt", std::ios::binary);
        compose << files.compose;
        if (!list || !compose) {
            std::fprintf(stderr, "cgtablewrite: cannot write into %s\n", argv[2]);
            return 1;
        }
    } catch (const std::invalid_argument& failure) {
        std::fprintf(stderr, "cgtablewrite: %s\n", failure.what());
        return 1;
    }
    return 0;
}
