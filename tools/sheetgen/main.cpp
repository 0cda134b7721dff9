// sheetgen: writes screens' picture sheets and area files, and reads cells back from frames.
//   sheetgen dialog-sheet <folder>         "dialog_p.akb" into the folder
//   sheetgen dialog-areas <folder>         "dialog.area" and "dialog2.area" into the folder
//   sheetgen gallery-sheets <folder>       the CG gallery's three sheets, every language's name
//   sheetgen gallery-areas <folder>        "cgmode.area" and "cgview.area"
//   sheetgen thumbnails <file> <first id>  a sheet of twelve thumbnails, ids from the first on
//   sheetgen music-sheets <folder>         the music room's two sheets and "musicmode.area"
//   sheetgen music-picture <file> <slot>   a track picture of the music room
//   sheetgen map-pictures <folder>         the map screens' sheets and pictures into the folder
//   sheetgen map-data <folder>             the sub maps' area files into the folder
//   sheetgen find-cell <frame.png> <x> <y> <id>
//                                          exit 0 when the pixel shows a cell of the control id
#include "platform/gdi/PngCodec.h"
#include "sheetgen/MapSheets.h"
#include "sheetgen/MusicSheets.h"
#include "sheetgen/SheetGenerator.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {

bool Write(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        std::fprintf(stderr, "sheetgen: cannot write %s\n", path.c_str());
    return static_cast<bool>(out);
}

int FindCell(const char* path, int x, int y, uint32_t wanted)
{
    const std::optional<platform::PngPicture> picture = platform::ReadPngFile(path);
    if (!picture || x < 0 || y < 0 || x >= picture->width || y >= picture->height)
        return 2;
    uint32_t id = 0;
    int32_t state = 0;
    const uint32_t pixel = picture->pixels[static_cast<size_t>(y) * static_cast<size_t>(picture->width) + x];
    return tools::DecodeCellColour(pixel | 0xFF000000u, id, state) && id == wanted ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "dialog-sheet") == 0) {
        const tools::AkbPicture sheet = tools::BuildSheet(
            tools::DIALOG_SHEET_WIDTH, tools::DIALOG_SHEET_HEIGHT, tools::DialogSheetCells());
        return Write(std::string(argv[2]) + "/dialog_p.akb", tools::EncodeAkb(sheet, {})) ? 0 : 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "dialog-areas") == 0) {
        const std::string folder = std::string(argv[2]) + "/";
        return Write(folder + "dialog.area", tools::BuildAreaFile(tools::DialogAreas(true))) &&
                       Write(folder + "dialog2.area", tools::BuildAreaFile(tools::DialogAreas(false)))
                   ? 0
                   : 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "gallery-sheets") == 0) {
        const std::pair<const char*, tools::AkbPicture> sheets[] = {{"modelist_p", tools::GalleryListSheet()},
                                                                    {"cgscenemode_p", tools::GalleryModeSheet()},
                                                                    {"modecover_p", tools::GalleryCoverSheet()}};
        for (const auto& [name, picture] : sheets) {
            const std::vector<uint8_t> bytes = tools::EncodeAkb(picture, {});
            for (const char* suffix : {"", "_en", "_ch", "_tw"})
                if (!Write(std::string(argv[2]) + "/" + name + suffix + ".akb", bytes))
                    return 1;
        }
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "gallery-areas") == 0) {
        const std::string folder = std::string(argv[2]) + "/";
        return Write(folder + "cgmode.area", tools::BuildAreaFile(tools::GalleryAreas(false))) &&
                       Write(folder + "cgview.area", tools::BuildAreaFile(tools::GalleryAreas(true)))
                   ? 0
                   : 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "music-sheets") == 0) {
        const std::string folder = std::string(argv[2]) + "/";
        const std::pair<const char*, tools::AkbPicture> sheets[] = {{"music_p", tools::MusicRowSheet()},
                                                                    {"musicmode_p", tools::MusicControlSheet()}};
        for (const auto& [name, picture] : sheets) {
            const std::vector<uint8_t> bytes = tools::EncodeAkb(picture, {});
            for (const char* suffix : {"", "_en", "_ch", "_tw"})
                if (!Write(folder + name + suffix + ".akb", bytes))
                    return 1;
        }
        return Write(folder + "musicmode.area", tools::BuildAreaFile(tools::MusicAreas())) ? 0 : 1;
    }
    if (argc == 4 && std::strcmp(argv[1], "music-picture") == 0)
        return Write(argv[2], tools::EncodeAkb(tools::MusicTrackPicture(std::atoi(argv[3])), {})) ? 0 : 1;
    if (argc == 4 && std::strcmp(argv[1], "thumbnails") == 0)
        return Write(argv[2], tools::EncodeAkb(tools::ThumbnailSheet(static_cast<uint32_t>(
                                                   std::strtoul(argv[3], nullptr, 0))),
                                               {}))
                   ? 0
                   : 1;
    if (argc == 3 && (std::strcmp(argv[1], "map-pictures") == 0 || std::strcmp(argv[1], "map-data") == 0)) {
        const bool pictures = std::strcmp(argv[1], "map-pictures") == 0;
        for (const tools::NamedFile& file : pictures ? tools::MapPictureFiles() : tools::MapDataFiles())
            if (!Write(std::string(argv[2]) + "/" + file.name, file.bytes))
                return 1;
        return 0;
    }
    if (argc == 6 && std::strcmp(argv[1], "find-cell") == 0)
        return FindCell(argv[2], std::atoi(argv[3]), std::atoi(argv[4]),
                        static_cast<uint32_t>(std::strtoul(argv[5], nullptr, 0)));
    std::fprintf(stderr, "usage: sheetgen dialog-sheet <folder> | dialog-areas <folder> | music-sheets <folder> | "
                         "music-picture <file> <slot> | "
                         "gallery-sheets <folder> | gallery-areas <folder> | thumbnails <file> <first id> | "
                         "map-pictures <folder> | map-data <folder> | find-cell <frame.png> <x> <y> <id>\n");
    return 1;
}
