// facevoice OUT COUNT [TIME GROUP SLOT]...: writes a face-voice table with the given count.

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "facevoice/FaceVoiceWriter.h"

int main(int argc, char** argv)
{
    if (argc < 3 || (argc - 3) % 3 != 0) {
        std::fprintf(stderr, "usage: facevoice OUT COUNT [TIME GROUP SLOT]...\n");
        return 2;
    }
    std::vector<tools::FaceVoiceRecord> records;
    for (int i = 3; i + 2 < argc; i += 3)
        records.push_back({static_cast<uint32_t>(std::strtoul(argv[i], nullptr, 10)),
                           static_cast<int32_t>(std::strtol(argv[i + 1], nullptr, 10)),
                           static_cast<int32_t>(std::strtol(argv[i + 2], nullptr, 10)), 0});
    const std::vector<uint8_t> bytes =
        tools::WriteFaceVoiceTable(records, static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10)));
    std::ofstream out(argv[1], std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return out ? 0 : 1;
}
