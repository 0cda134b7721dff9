// flagpack: packs every file of a folder into a FLAG image, written as the image itself or, with
// --cpp <id>, as C++ source that compiles it into the executable as resource "FLAG" <id>.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fstream>

#include "flagpack/FlagImageWriter.h"
#include "foundation/CStringBase.h"

int main(int argc, char** argv)
{
    int arg = 1;
    long cpp_id = -1;
    if (argc > 2 && std::strcmp(argv[1], "--cpp") == 0) {
        cpp_id = std::strtol(argv[2], nullptr, 10);
        arg = 3;
    }
    if (argc - arg != 2 || cpp_id == 0 || cpp_id > 0xFFFF) {
        std::fprintf(stderr, "usage: flagpack [--cpp <id>] <folder> <output>\n");
        return 2;
    }
    try {
        // File names here are UTF-8; the game reads entry names in the ANSI code page.
        std::vector<tools::ArchiveEntry> entries = tools::ReadFolderEntries(argv[arg]);
        for (tools::ArchiveEntry& entry : entries)
            entry.name = WideToAnsi(Utf8ToWide(entry.name));
        const std::vector<uint8_t> image = tools::BuildFlagImage(entries);
        std::ofstream output(argv[arg + 1], std::ios::binary | std::ios::trunc);
        if (cpp_id > 0) {
            const std::string source = tools::FlagImageToCpp(image, static_cast<unsigned>(cpp_id));
            output.write(source.data(), static_cast<std::streamsize>(source.size()));
        } else {
            output.write(reinterpret_cast<const char*>(image.data()),
                         static_cast<std::streamsize>(image.size()));
        }
        output.close();
        if (!output) {
            std::fprintf(stderr, "flagpack: cannot write %s\n", argv[arg + 1]);
            return 1;
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "flagpack: %s\n", error.what());
        return 1;
    }
    return 0;
}
