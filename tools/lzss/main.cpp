// lzss: compresses one file into the ring LZSS form that archives and FLAG images use.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "lzss/LzssEncoder.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: lzss <input> <output>\n");
        return 2;
    }
    std::ifstream input(argv[1], std::ios::binary);
    if (!input) {
        std::fprintf(stderr, "lzss: cannot read %s\n", argv[1]);
        return 1;
    }
    const std::vector<uint8_t> data((std::istreambuf_iterator<char>(input)),
                                    std::istreambuf_iterator<char>());
    const std::vector<uint8_t> packed = tools::LzssEncode(data);
    std::ofstream output(argv[2], std::ios::binary | std::ios::trunc);
    output.write(reinterpret_cast<const char*>(packed.data()), static_cast<std::streamsize>(packed.size()));
    output.close();
    if (!output) {
        std::fprintf(stderr, "lzss: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
