// sheetgen: writes screens' picture sheets and area files, and reads cells back from frames.
//   sheetgen dialog-sheet <folder>         "dialog_p.akb" and "dialog_p2.akb" into the folder
//   sheetgen dialog-areas <folder>         "dialog.area", "dialog2.area" and "dialog3.area"
//   sheetgen name-input-sheet <folder>     "keybord_p.akb" into the folder
//   sheetgen name-input-areas <folder>     "NameInput.area" into the folder
//   sheetgen find-cell <frame.png> <x> <y> <id>
//                                          exit 0 when the pixel shows a cell of the control id
#include "platform/gdi/PngCodec.h"
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
        const tools::AkbPicture notices = tools::BuildSheet(
            tools::NOTICE2_SHEET_WIDTH, tools::NOTICE2_SHEET_HEIGHT, tools::NoticeSheetCells());
        return Write(std::string(argv[2]) + "/dialog_p.akb", tools::EncodeAkb(sheet, {})) &&
                       Write(std::string(argv[2]) + "/dialog_p2.akb", tools::EncodeAkb(notices, {}))
                   ? 0
                   : 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "name-input-sheet") == 0) {
        const tools::AkbPicture sheet = tools::BuildSheet(tools::NAME_SHEET_WIDTH, tools::NAME_SHEET_HEIGHT,
                                                          tools::NameInputSheetCells());
        return Write(std::string(argv[2]) + "/keybord_p.akb", tools::EncodeAkb(sheet, {})) ? 0 : 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "name-input-areas") == 0)
        return Write(std::string(argv[2]) + "/NameInput.area", tools::BuildAreaFile(tools::NameInputAreas()))
                   ? 0
                   : 1;
    if (argc == 3 && std::strcmp(argv[1], "dialog-areas") == 0) {
        const std::string folder = std::string(argv[2]) + "/";
        return Write(folder + "dialog.area", tools::BuildAreaFile(tools::DialogAreas(true))) &&
                       Write(folder + "dialog2.area", tools::BuildAreaFile(tools::DialogAreas(false))) &&
                       Write(folder + "dialog3.area", tools::BuildAreaFile(tools::NoticeAreas()))
                   ? 0
                   : 1;
    }
    if (argc == 6 && std::strcmp(argv[1], "find-cell") == 0)
        return FindCell(argv[2], std::atoi(argv[3]), std::atoi(argv[4]),
                        static_cast<uint32_t>(std::strtoul(argv[5], nullptr, 0)));
    std::fprintf(
        stderr, "usage: sheetgen dialog-sheet <folder> | dialog-areas <folder> | name-input-sheet <folder> | "
                "name-input-areas <folder> | "
                "find-cell <frame.png> <x> <y> <id>\n");
    return 1;
}
