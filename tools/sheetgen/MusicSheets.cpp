#include "sheetgen/MusicSheets.h"

#include <string>

namespace tools {

std::vector<SheetCell> MusicRowCells()
{
    std::vector<SheetCell> cells;
    for (int32_t page = 0; page < 2; ++page)
        for (int32_t t = 0; t < 23; ++t)
            for (int32_t s = 0; s < 4; ++s)
                cells.push_back({400 * (t % 5), 48 * (s + 4 * (t / 5) + 16 * page), 400, 48,
                                 MUSIC_ROW_CELL + static_cast<uint32_t>(32 * page + t), s,
                                 std::to_string(page) + "-" + std::to_string(t)});
    return cells;
}

AkbPicture MusicRowSheet()
{
    return BuildSheet(2000, 48 * 36, MusicRowCells());
}

std::vector<SheetCell> MusicControlCells()
{
    std::vector<SheetCell> cells;
    for (int32_t s = 0; s < 4; ++s) {
        const std::string state = "-" + std::to_string(s);
        for (int32_t i = 0; i < 3; ++i)
            cells.push_back({296 * i, 174 * s, 296, 174, static_cast<uint32_t>(256 + i), s, "T" + state});
        cells.push_back({1295, 364 + 128 * s, 296, 128, 259, s, "T3" + state});
        cells.push_back({888, 126 * s, 218, 126, 512, s, "R" + state});
        for (int32_t i = 0; i < 4; ++i)
            cells.push_back({1295 + 88 * i, 91 * s, 88, 91, static_cast<uint32_t>(1280 + i), s, "B" + state});
    }
    for (int32_t s = 0; s < 3; ++s) {
        for (int32_t i = 0; i < 2; ++i)
            cells.push_back({1107, 91 * (3 * i + s), 188, 91, static_cast<uint32_t>(768 + i), s, "P"});
        cells.push_back({586, 696 + 54 * s, 52, 54, MUSIC_KNOB, s, "K"});
        cells.push_back({638 + 36 * s, 696, 36, 184, 1536, s, "S"});
    }
    cells.push_back({0, 696, 586, 34, MUSIC_BAR_EMPTY, 0, "EMPTY"});
    cells.push_back({0, 730, 586, 34, MUSIC_BAR_FULL, 0, "FULL"});
    return cells;
}

AkbPicture MusicControlSheet()
{
    return BuildSheet(MUSIC_CONTROL_SHEET_WIDTH, 912, MusicControlCells());
}

AkbPicture MusicTrackPicture(int32_t slot)
{
    return BuildSheet(
        1040, 644, {{0, 0, 1040, 644, MUSIC_PICTURE + static_cast<uint32_t>(slot), 0, std::to_string(slot)}});
}

std::vector<AreaRecord> MusicAreas()
{
    std::vector<AreaRecord> areas;
    for (int32_t r = 0; r < 15; ++r)
        areas.push_back({static_cast<uint32_t>(r), 1463, 118 + 48 * r, 1863, 166 + 48 * r});
    for (int32_t i = 0; i < 3; ++i)
        areas.push_back({static_cast<uint32_t>(256 + i), 27, 216 + 182 * i, 323, 390 + 182 * i});
    areas.push_back({259, 27, 777, 323, 905});
    areas.push_back({512, 27, 928, 245, 1054});
    for (int32_t i = 0; i < 2; ++i)
        areas.push_back({static_cast<uint32_t>(768 + i), 1463 + 212 * i, 862, 1651 + 212 * i, 953});
    areas.push_back({1024, 407, 804, 1004, 858});
    for (int32_t i = 0; i < 4; ++i)
        areas.push_back({static_cast<uint32_t>(1280 + i), 1036 + 97 * i, 796, 1124 + 97 * i, 887});
    areas.push_back({1536, 1869, 109, 1905, 857});
    return areas;
}

} // namespace tools
