// mesasm: assembles a script source into a compiled script file, or lists one.
//   mesasm SOURCE OUTPUT     assemble
//   mesasm -d FILE           disassemble to standard output
//   mesasm -a ARCHIVE SOURCE...   assemble each source into an LZSS script archive, each entry
//                                 named after its source with the extension ".mes"
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "mesasm/MesAssembler.h"
#include "mesasm/MesDisassembler.h"

namespace {

bool ReadText(const char* path, std::string& text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "mesasm: cannot open %s\n", path);
        return false;
    }
    std::stringstream source;
    source << in.rdbuf();
    text = source.str();
    return true;
}

bool WriteBytes(const char* path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && std::string(argv[1]) == "-a") {
        std::vector<tools::ScriptSource> sources;
        for (int k = 3; k < argc; ++k) {
            tools::ScriptSource source;
            source.name = std::filesystem::path(argv[k]).stem().string() + ".mes";
            if (!ReadText(argv[k], source.text))
                return 1;
            sources.push_back(std::move(source));
        }
        const tools::AssembledArchive archive =
            tools::BuildScriptArchive(sources, tools::ArchiveEncoding::Lzss);
        if (!archive.Ok) {
            std::fprintf(stderr, "mesasm: %s\n", archive.Error.c_str());
            return 1;
        }
        return WriteBytes(argv[2], archive.File) ? 0 : 1;
    }
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
        std::fprintf(stderr, "usage: mesasm SOURCE OUTPUT | mesasm -d FILE | mesasm -a ARCHIVE SOURCE...\n");
        return 2;
    }
    std::string source;
    if (!ReadText(argv[1], source))
        return 1;
    const tools::AssembledScript script = tools::AssembleScript(source);
    if (!script.Ok) {
        std::fprintf(stderr, "%s: %s\n", argv[1], script.Error.c_str());
        return 1;
    }
    std::ofstream out(argv[2], std::ios::binary);
    out.write(reinterpret_cast<const char*>(script.File.data()),
              static_cast<std::streamsize>(script.File.size()));
    return out ? 0 : 1;
}
