// sheetgen: writes a screen's picture sheet and area files.
//   sheetgen dialog <folder>   "dialog_p.akb", "dialog.area" and "dialog2.area" into the folder
#include "sheetgen/SheetGenerator.h"

#include <cstdio>
#include <cstring>
#include <fstream>
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

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3 || std::strcmp(argv[1], "dialog") != 0) {
        std::fprintf(stderr, "usage: sheetgen dialog <folder>\n");
        return 1;
    }
    const std::string folder = std::string(argv[2]) + "/";
    const tools::AkbPicture sheet =
        tools::BuildSheet(tools::DIALOG_SHEET_WIDTH, tools::DIALOG_SHEET_HEIGHT, tools::DialogSheetCells());
    const bool ok = Write(folder + "dialog_p.akb", tools::EncodeAkb(sheet, {})) &&
                    Write(folder + "dialog.area", tools::BuildAreaFile(tools::DialogAreas(true))) &&
                    Write(folder + "dialog2.area", tools::BuildAreaFile(tools::DialogAreas(false)));
    return ok ? 0 : 1;
}
