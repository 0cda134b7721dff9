// animeasm: assembles the text form of a byte-code animation program into its binary file.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "animeasm/AnimeProgramWriter.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: animeasm <program.txt> <program.bin>\n");
        return 2;
    }
    std::ifstream input(argv[1], std::ios::binary);
    if (!input) {
        std::fprintf(stderr, "animeasm: cannot read %s\n", argv[1]);
        return 1;
    }
    std::stringstream text;
    text << input.rdbuf();
    std::string error;
    const auto program = tools::AssembleAnimeProgram(text.str(), error);
    if (!program) {
        std::fprintf(stderr, "animeasm: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    std::ofstream output(argv[2], std::ios::binary | std::ios::trunc);
    output.write(reinterpret_cast<const char*>(program->data()),
                 static_cast<std::streamsize>(program->size()));
    output.close();
    if (!output) {
        std::fprintf(stderr, "animeasm: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
