// sheetgen: writes screens' picture sheets and area files, and reads cells back from frames.
//   sheetgen dialog-sheet <folder>         "dialog_p.akb" into the folder
//   sheetgen dialog-areas <folder>         "dialog.area" and "dialog2.area" into the folder
//   sheetgen title-sheet <folder>          "title_p.akb" and its language variants into the folder
//   sheetgen title-areas <folder>          "title.area" to "title4.area" and "titleSP.area"
//   sheetgen find-cell <frame.png> <x> <y> <id> [state]
//                                          exit 0 when the pixel shows a cell of the control id
//                                          (in that state, when given)
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

int FindCell(const char* path, int x, int y, uint32_t wanted, int32_t wanted_state)
{
    const std::optional<platform::PngPicture> picture = platform::ReadPngFile(path);
    if (!picture || x < 0 || y < 0 || x >= picture->width || y >= picture->height)
        return 2;
    uint32_t id = 0;
    int32_t state = 0;
    const uint32_t pixel = picture->pixels[static_cast<size_t>(y) * static_cast<size_t>(picture->width) + x];
    return tools::DecodeCellColour(pixel | 0xFF000000u, id, state) && id == wanted &&
                   (wanted_state < 0 || state == wanted_state)
               ? 0
               : 1;
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
    if (argc == 3 && std::strcmp(argv[1], "title-sheet") == 0) {
        // Every cell is opaque: three bytes a pixel keep the four copies smaller.
        tools::AkbOptions opaque;
        opaque.rgb_alpha = 255;
        const std::vector<uint8_t> sheet = tools::EncodeAkb(
            tools::BuildSheet(tools::TITLE_SHEET_WIDTH, tools::TITLE_SHEET_HEIGHT, tools::TitleSheetCells()),
            opaque);
        for (const char* suffix : {"", "_en", "_ch", "_tw"})
            if (!Write(std::string(argv[2]) + "/title_p" + suffix + ".akb", sheet))
                return 1;
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "title-areas") == 0) {
        for (const auto& [name, areas] : tools::TitleAreaFiles())
            if (!Write(std::string(argv[2]) + "/" + name, tools::BuildAreaFile(areas)))
                return 1;
        return 0;
    }
    if ((argc == 6 || argc == 7) && std::strcmp(argv[1], "find-cell") == 0)
        return FindCell(argv[2], std::atoi(argv[3]), std::atoi(argv[4]),
                        static_cast<uint32_t>(std::strtoul(argv[5], nullptr, 0)),
                        argc == 7 ? std::atoi(argv[6]) : -1);
    std::fprintf(stderr,
                 "usage: sheetgen dialog-sheet <folder> | dialog-areas <folder> | title-sheet <folder> | "
                 "title-areas <folder> | "
                 "find-cell <frame.png> <x> <y> <id> [state]\n");
    return 1;
}
