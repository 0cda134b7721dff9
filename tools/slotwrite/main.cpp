// Writes and decodes the save slots' files.
//   slotwrite table <listing.txt> <FLAG000>   flag file 0 holding the listed slot table
//   slotwrite dump <save folder>              the table of FLAG000 and each used slot's files
//   slotwrite png <thm file> <out.png>        a thumbnail as a PNG picture
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>

#include "flagwrite/FlagFileWriter.h"
#include "platform/d3d/PngWriter.h"
#include "slotwrite/SlotTableWriter.h"

namespace {

std::vector<uint8_t> ReadAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

int Dump(const std::filesystem::path& folder)
{
    tools::FlagFileContents system;
    if (!tools::ReadFlagFile(ReadAll(folder / "FLAG000"), system)) {
        std::cerr << "FLAG000 is missing or damaged\n";
        return 1;
    }
    const std::string listing = tools::DumpSlotTable(system.bytes);
    std::cout << listing;
    for (size_t v : {53u, 56u, 57u})
        std::cout << "variable " << v << ' ' << (v < system.variables.size() ? system.variables[v].integer : 0)
                  << '\n';
    for (const tools::SlotListingHeader& header : tools::ParseSlotTableListing(listing).headers) {
        char names[3][32];
        std::snprintf(names[0], sizeof names[0], "FLAG%03u", header.slot);
        std::snprintf(names[1], sizeof names[1], "SaveData%03u.dat", header.slot);
        std::snprintf(names[2], sizeof names[2], "thm%03u", header.slot);
        std::cout << "files " << header.slot;
        for (const char* name : names) {
            const std::filesystem::path path = folder / name;
            std::cout << ' ' << name << '=' << (std::filesystem::exists(path) ? std::filesystem::file_size(path) : 0);
        }
        std::cout << '\n';
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    try {
        if (command == "table" && argc == 4) {
            std::ifstream in(argv[2]);
            const std::string listing((std::istreambuf_iterator<char>(in)), {});
            const std::vector<uint8_t> file =
                tools::WriteSystemFlagFile(tools::ParseSlotTableListing(listing), 0, 0, 0);
            std::ofstream(argv[3], std::ios::binary).write(reinterpret_cast<const char*>(file.data()),
                                                             static_cast<std::streamsize>(file.size()));
            return 0;
        }
        if (command == "dump" && argc == 3)
            return Dump(argv[2]);
        if (command == "png" && argc == 4) {
            const std::vector<uint8_t> rgba = tools::ThumbnailToRgba(ReadAll(argv[2]));
            if (rgba.empty() || !platform::WritePngRgba(argv[3], 192, 108, rgba.data(), 192 * 4)) {
                std::cerr << argv[2] << " is no thumbnail, or " << argv[3] << " cannot be written\n";
                return 1;
            }
            return 0;
        }
    } catch (const std::invalid_argument& error) {
        std::cerr << error.what() << '\n';
        return 1;
    }
    std::cerr << "usage: slotwrite table <listing> <FLAG000> | dump <save folder> | png <thm> <out.png>\n";
    return 2;
}
