// sheetgen: writes screens' picture sheets and area files, and reads cells back from frames.
//   sheetgen dialog-sheet <folder>         "dialog_p.akb" into the folder
//   sheetgen dialog-areas <folder>         "dialog.area" and "dialog2.area" into the folder
//   sheetgen slot-sheet <folder>           "slot_p.akb", the four "slot_bg" forms and the
//                                          1920 x 2160 "slot_tall.akb" into the folder
//   sheetgen slot-areas <folder>           "slot.area" into the folder
//   sheetgen find-cell <frame.png> <x> <y> <id>
//                                          exit 0 when the pixel shows a cell of the control id
#include "platform/gdi/PngCodec.h"
#include "sheetgen/SheetGenerator.h"
#include "sheetgen/SlotSheet.h"

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
    if (argc == 3 && std::strcmp(argv[1], "slot-sheet") == 0) {
        const std::string folder = std::string(argv[2]) + "/";
        bool written = Write(folder + "slot_p.akb", tools::EncodeAkb(tools::BuildSlotSheet(), {})) &&
                       Write(folder + "slot_tall.akb", tools::EncodeAkb(tools::BuildTallPicture(2160), {}));
        const std::vector<std::string> names = tools::SlotBackgroundNames();
        for (int32_t language = 0; language < 4; ++language)
            written = written && Write(folder + names[language], tools::EncodeAkb(tools::BuildSlotBackground(language), {}));
        return written ? 0 : 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "slot-areas") == 0)
        return Write(std::string(argv[2]) + "/slot.area", tools::BuildAreaFile(tools::SlotAreas())) ? 0 : 1;
    if (argc == 6 && std::strcmp(argv[1], "find-cell") == 0)
        return FindCell(argv[2], std::atoi(argv[3]), std::atoi(argv[4]),
                        static_cast<uint32_t>(std::strtoul(argv[5], nullptr, 0)));
    std::fprintf(stderr, "usage: sheetgen dialog-sheet <folder> | dialog-areas <folder> | slot-sheet <folder> | "
                         "slot-areas <folder> | "
                         "find-cell <frame.png> <x> <y> <id>\n");
    return 1;
}
