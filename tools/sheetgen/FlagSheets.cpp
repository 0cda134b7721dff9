#include "sheetgen/FlagSheets.h"

#include <string>

#include "sheetgen/SheetGenerator.h"

namespace tools {

namespace {

const char* const LANGUAGE_SUFFIXES[4] = {"_en", "_ch", "_tw", ""};

} // namespace

std::vector<SheetCell> FlagListCells()
{
    std::vector<SheetCell> cells;
    for (int32_t n = 0; n < 15; ++n)
        for (int32_t s = 0; s < 3; ++s)
            cells.push_back({320 * (n % 5), 224 * (3 * (n / 5) + s), 320, 224, static_cast<uint32_t>(n), s,
                             "H" + std::to_string(n) + "-" + std::to_string(s)});
    for (int32_t s = 0; s < 3; ++s)
        cells.push_back({1600, 158 * s, 158, 158, 256, s, "B-" + std::to_string(s)});
    return cells;
}

AkbPicture FlagListSheet()
{
    return BuildSheet(1758, 2016, FlagListCells());
}

AkbPicture FlagListBackground(int32_t language)
{
    return BuildSheet(1920, 1080,
                      {{0, 0, 1920, 1080, FLAG_LIST_BACKGROUND + static_cast<uint32_t>(language), 0,
                        "LIST" + std::to_string(language)}});
}

std::vector<SheetCell> FlagScheduleCells()
{
    std::vector<SheetCell> cells;
    for (int32_t n = 0; n < 10; ++n)
        cells.push_back(
            {35 * n, 0, 35, 48, FLAG_SHEET_DIGIT + static_cast<uint32_t>(n), 0, std::to_string(n)});
    cells.push_back({350, 0, 20, 52, FLAG_SHEET_COLON, 0, ""});
    cells.push_back({370, 0, 32, 52, FLAG_SHEET_AM, 0, "A"});
    cells.push_back({402, 0, 32, 52, FLAG_SHEET_PM, 0, "P"});
    for (int32_t s = 0; s < 4; ++s) {
        const std::string state = "-" + std::to_string(s);
        if (s < 3) {
            cells.push_back({960 + 32 * s, 0, 32, 250, 2, s, "T"});
            cells.push_back({1104, 59 * s, 86, 59, FLAG_SHEET_SEEN, s, "S" + state});
            cells.push_back({1190, 84 * s, 86, 84, FLAG_SHEET_MISSED, s, "M" + state});
            cells.push_back({1276, 84 * s, 86, 84, FLAG_SHEET_POSSIBLE, s, "P" + state});
            cells.push_back({1464, 158 * s, 158, 158, 256, s, "B" + state});
        }
        cells.push_back({1056, 43 * s, 48, 43, 0, s, "U"});
        cells.push_back({1056, 43 * (s + 4), 48, 43, 1, s, "D"});
    }
    // Today's column: a band over the dates, clear below so the day's cells show through.
    cells.push_back({1362, 0, 102, 30, FLAG_SHEET_TODAY, 0, "TODAY"});
    cells.push_back({0, 888, 1480, 147, FLAG_SHEET_ROW_PLATE, 0, "ROW"});
    // The panel's pieces, each its own id: rows at 609 (58 high), 667 (55) and 722 (63).
    const int32_t first[] = {0, 105, 188, 271, 376};
    const int32_t widths[] = {22, 83, 83, 83, 22};
    uint32_t piece = 0;
    for (int32_t i = 0; i < 5; ++i)
        cells.push_back({first[i], 609, widths[i], 58, FLAG_SHEET_PANEL + piece++, 0, ""});
    for (int32_t x : {0, 271, 376})
        cells.push_back({x, 667, x == 271 ? 83 : 22, 55, FLAG_SHEET_PANEL + piece++, 0, ""});
    const int32_t last[] = {0, 22, 188, 271, 376};
    for (int32_t i = 0; i < 5; ++i)
        cells.push_back({last[i], 722, widths[i], 63, FLAG_SHEET_PANEL + piece++, 0, ""});
    return cells;
}

AkbPicture FlagScheduleSheet()
{
    return BuildSheet(1622, 1035, FlagScheduleCells());
}

AkbPicture FlagScheduleBackground()
{
    return BuildSheet(1920, 1080, {{0, 0, 1920, 1080, FLAG_SCHEDULE_BACKGROUND, 0, "SCHEDULE"}});
}

std::vector<AreaRecord> FlagManagerAreas()
{
    std::vector<AreaRecord> areas;
    for (int32_t n = 0; n < 15; ++n) {
        const int32_t x = 168 + 320 * (n % 5);
        const int32_t y = 224 * (n / 5 + 1);
        areas.push_back({static_cast<uint32_t>(n), x, y, x + 320, y + 224});
    }
    areas.push_back({256, 1712, 913, 1870, 1071});
    return areas;
}

std::vector<AreaRecord> FlagDetailsAreas()
{
    return {{0, 1709, 102, 1757, 145},
            {1, 1709, 929, 1757, 972},
            {2, 1717, 145, 1749, 929},
            {256, 1760, 913, 1918, 1071}};
}

std::vector<uint8_t> SystemMenuMap()
{
    std::vector<uint8_t> map(static_cast<size_t>(1920) * 1080, 255);
    const int32_t* b = FLAG_MENU_MAP_BLOCK;
    for (int32_t y = b[1]; y < b[3]; ++y)
        for (int32_t x = b[0]; x < b[2]; ++x)
            map[static_cast<size_t>(y) * 1920 + static_cast<size_t>(x)] = FLAG_MENU_MAP_TAB;
    return map;
}

std::vector<NamedFile> FlagPictureFiles()
{
    std::vector<NamedFile> files;
    const std::vector<uint8_t> list = EncodeAkb(FlagListSheet(), {});
    const std::vector<uint8_t> schedule = EncodeAkb(FlagScheduleSheet(), {});
    for (int32_t language = 0; language < 4; ++language) {
        const std::string suffix = LANGUAGE_SUFFIXES[language];
        files.push_back({"flaglist_p" + suffix + ".akb", list});
        files.push_back({"flaglist_bg" + suffix + ".akb", EncodeAkb(FlagListBackground(language), {})});
        files.push_back({"flagschedule_p" + suffix + ".akb", schedule});
    }
    files.push_back({"flagschedule_bg.akb", EncodeAkb(FlagScheduleBackground(), {})});
    files.push_back(
        {"flagschedule_plate.akb",
         EncodeAkb(BuildSheet(1702, 2400, {{0, 0, 1702, 2400, FLAG_SCHEDULE_PLATE, 0, "PLATE"}}), {})});
    return files;
}

std::vector<NamedFile> FlagDataFiles()
{
    return {{"FlagMng.area", BuildAreaFile(FlagManagerAreas())},
            {"FlagDetails.area", BuildAreaFile(FlagDetailsAreas())},
            {"sysmenu.carea", SystemMenuMap()}};
}

} // namespace tools
