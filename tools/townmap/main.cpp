// townmap: writes a town map's data files.
//   townmap walk <grid.txt> <out>   a walk map from a text grid (see TownMapWriter.h)
//   townmap areas <out> <id> <left> <top> <right> <bottom> <directions> ...
//                                   an event-area file with its end record
//   townmap demo <data folder> <picture folder>
//                                   the demo's town: its three data files and its pictures
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "townmap/DemoTown.h"
#include "townmap/TownMapWriter.h"

namespace {

bool Write(const char* path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        std::fprintf(stderr, "townmap: cannot write %s\n", path);
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "walk") == 0) {
        std::ifstream in(argv[2]);
        std::vector<std::string> rows;
        for (std::string line; std::getline(in, line);)
            if (!line.empty())
                rows.push_back(line);
        return Write(argv[3], tools::BuildWalkMap(rows)) ? 0 : 1;
    }
    if (argc == 4 && std::strcmp(argv[1], "demo") == 0) {
        for (const tools::DemoTownFile& file : tools::DemoTownData())
            if (!Write((std::string(argv[2]) + "/" + file.name).c_str(), file.bytes))
                return 1;
        for (const tools::DemoTownFile& file : tools::DemoTownPictures())
            if (!Write((std::string(argv[3]) + "/" + file.name).c_str(), file.bytes))
                return 1;
        return 0;
    }
    if (argc >= 3 && std::strcmp(argv[1], "areas") == 0 && (argc - 3) % 6 == 0) {
        std::vector<tools::EventAreaRecord> areas;
        for (int i = 3; i + 5 < argc; i += 6) {
            const auto n = [&](int k) {
                return static_cast<uint16_t>(std::strtoul(argv[i + k], nullptr, 0));
            };
            areas.push_back({n(0), n(1), n(2), n(3), n(4), static_cast<uint8_t>(n(5))});
        }
        return Write(argv[2], tools::BuildEventAreaFile(areas)) ? 0 : 1;
    }
    std::fprintf(stderr, "usage: townmap walk <grid.txt> <out> | areas <out> (<id> <left> <top> <right> "
                         "<bottom> <directions>)... | demo <data folder> <picture folder>\n");
    return 1;
}
