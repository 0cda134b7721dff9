// mesasm: assembles a script source into a compiled script file, or lists one.
//   mesasm SOURCE OUTPUT     assemble
//   mesasm -d FILE           disassemble to standard output
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "mesasm/MesAssembler.h"
#include "mesasm/MesDisassembler.h"

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "-d") {
        std::ifstream in(argv[2], std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "mesasm: cannot open %s\n", argv[2]);
            return 1;
        }
        const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
        std::fputs(tools::DisassembleScript(file).c_str(), stdout);
        return 0;
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: mesasm SOURCE OUTPUT | mesasm -d FILE\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "mesasm: cannot open %s\n", argv[1]);
        return 1;
    }
    std::stringstream source;
    source << in.rdbuf();
    const tools::AssembledScript script = tools::AssembleScript(source.str());
    if (!script.Ok) {
        std::fprintf(stderr, "%s: %s\n", argv[1], script.Error.c_str());
        return 1;
    }
    std::ofstream out(argv[2], std::ios::binary);
    out.write(reinterpret_cast<const char*>(script.File.data()),
              static_cast<std::streamsize>(script.File.size()));
    return out ? 0 : 1;
}
