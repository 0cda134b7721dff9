// areawriter: writes a hit-area file from a text of records.
//   areawriter [--count N] [--cut BYTES] <in.txt> <out.area>
//   in.txt: one record a line, "id left top right bottom" (id decimal or 0x hex, -1 allowed)
//   --count N    write N as the count whatever the number of records (a damaged file)
//   --cut BYTES  keep only the first BYTES bytes (a truncated file)
#include "areawriter/AreaWriter.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

int main(int argc, char** argv)
{
    std::optional<uint32_t> count;
    std::optional<size_t> cut;
    int i = 1;
    for (; i + 1 < argc && std::strncmp(argv[i], "--", 2) == 0; i += 2) {
        if (std::strcmp(argv[i], "--count") == 0)
            count = static_cast<uint32_t>(std::strtoul(argv[i + 1], nullptr, 0));
        else if (std::strcmp(argv[i], "--cut") == 0)
            cut = static_cast<size_t>(std::strtoul(argv[i + 1], nullptr, 0));
        else {
            std::fprintf(stderr, "areawriter: unknown option %s\n", argv[i]);
            return 1;
        }
    }
    if (argc - i != 2) {
        std::fprintf(stderr, "usage: areawriter [--count N] [--cut BYTES] <in.txt> <out.area>\n");
        return 1;
    }
    std::ifstream in(argv[i], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "areawriter: cannot read %s\n", argv[i]);
        return 1;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<tools::AreaRecord> records;
    int line = 0;
    if (!tools::ParseAreaText(text, records, line)) {
        std::fprintf(stderr, "areawriter: %s:%d: expected \"id left top right bottom\"\n", argv[i], line);
        return 1;
    }
    std::vector<uint8_t> bytes = tools::BuildAreaFile(records, count);
    if (cut && *cut < bytes.size())
        bytes.resize(*cut);
    std::ofstream out(argv[i + 1], std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "areawriter: cannot write %s\n", argv[i + 1]);
        return 1;
    }
    return 0;
}
