// demopics: writes the demo game's pictures as AKB files into a folder.
#include <cstdio>
#include <exception>
#include <fstream>

#include "demopics/DemoPictures.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: demopics <folder>\n");
        return 2;
    }
    try {
        for (const auto& [name, bytes] : tools::BuildDemoPictures()) {
            const std::string path = std::string(argv[1]) + "/" + name;
            std::ofstream output(path, std::ios::binary | std::ios::trunc);
            output.write(reinterpret_cast<const char*>(bytes.data()),
                         static_cast<std::streamsize>(bytes.size()));
            output.close();
            if (!output) {
                std::fprintf(stderr, "demopics: cannot write %s\n", path.c_str());
                return 1;
            }
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "demopics: %s\n", error.what());
        return 1;
    }
    return 0;
}
