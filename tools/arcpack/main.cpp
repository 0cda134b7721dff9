// arcpack: packs every file of a folder into one ".arc" archive, plain or LZSS-compressed.
// Names are stored upper-cased (the reader upper-cases what it is asked for) unless --keep-case.
// With --groups it packs, plain, the folders a build draws side by side, each packed file moved
// into the archive (GroupPacker).
#include <cstdio>
#include <cstring>
#include <exception>
#include <fstream>

#include "arcpack/ArchiveWriter.h"
#include "arcpack/GroupPacker.h"

int main(int argc, char** argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "--groups") == 0) {
        try {
            tools::GroupPacker::Pack(argv[2], std::vector<std::filesystem::path>(argv + 3, argv + argc));
        } catch (const std::exception& error) {
            std::fprintf(stderr, "arcpack: %s\n", error.what());
            return 1;
        }
        return 0;
    }
    bool compress = false;
    bool keep_case = false;
    int arg = 1;
    for (; arg < argc && argv[arg][0] == '-'; ++arg) {
        if (std::strcmp(argv[arg], "--lzss") == 0)
            compress = true;
        else if (std::strcmp(argv[arg], "--keep-case") == 0)
            keep_case = true;
        else
            break;
    }
    if (argc - arg != 2) {
        std::fprintf(stderr, "usage: arcpack [--lzss] [--keep-case] <folder> <archive.arc>\n"
                             "       arcpack --groups <archive.arc> <folder>...\n");
        return 2;
    }
    try {
        std::vector<tools::ArchiveEntry> entries = tools::ReadFolderEntries(argv[arg]);
        if (!keep_case) {
            for (tools::ArchiveEntry& entry : entries)
                entry.name = tools::UpperCaseName(entry.name);
        }
        const std::vector<uint8_t> archive = tools::BuildArchive(
            entries, compress ? tools::ArchiveEncoding::Lzss : tools::ArchiveEncoding::Plain);
        std::ofstream output(argv[arg + 1], std::ios::binary | std::ios::trunc);
        output.write(reinterpret_cast<const char*>(archive.data()),
                     static_cast<std::streamsize>(archive.size()));
        output.close();
        if (!output) {
            std::fprintf(stderr, "arcpack: cannot write %s\n", argv[arg + 1]);
            return 1;
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "arcpack: %s\n", error.what());
        return 1;
    }
    return 0;
}
