#include "townmap/DemoTown.h"

#include "akbwriter/AkbWriter.h"
#include "townmap/TownMapWriter.h"

namespace tools {

namespace {

constexpr int32_t COLUMNS = 60;
constexpr int32_t ROWS = 35;
constexpr int32_t CELL = 40;

// Houses are blocked blocks whose corners let a figure slide past; the river is a plain block.
std::vector<std::string> TownRows()
{
    std::vector<std::string> rows(ROWS, std::string(COLUMNS, '.'));
    const auto house = [&](int left, int top, int width, int height) {
        for (int y = top; y < top + height; ++y)
            for (int x = left; x < left + width; ++x)
                rows[static_cast<size_t>(y)][static_cast<size_t>(x)] =
                    x == left || x == left + width - 1 ? 'C' : '#';
    };
    house(6, 5, 6, 4);
    house(20, 8, 8, 5);
    house(40, 4, 7, 6);
    house(12, 20, 9, 5);
    house(38, 22, 10, 6);
    for (int x = 0; x < COLUMNS; ++x)
        if (x < 28 || x > 31) // a bridge crosses the river
            rows[17][static_cast<size_t>(x)] = '#';
    return rows;
}

} // namespace

std::vector<DemoTownFile> DemoTownData()
{
    MoverBlockSpec spec;
    spec.movers = {
        {0x71, 0, 1, 2, 30, 14, 0x10, 0}, {0x11, 1, 1, 2, 4, 12, 0x30, 1}, {0x11, 1, 1, 2, 50, 30, 0x20, 2}};
    spec.programs = {{{14, 0}},
                     {{5, 12}, {9, 8}, {3, 3}, {4, 12}, {9, 8}, {2, 3}},
                     {{4, 6}, {2, 2}, {9, 15}, {5, 6}, {3, 2}}};
    spec.view_points = {0, 0, 30, 14};
    spec.patterns = std::vector<uint16_t>(2 * 16 * 4, 1);
    const std::vector<EventAreaRecord> areas{{1, 8, 9, 9, 9, 0x01}, {2, 42, 10, 43, 10, 0x01}};
    return {{"town.map", BuildWalkMap(TownRows())},
            {"town.mvr", BuildMoverBlock(spec)},
            {"town.evt", BuildEventAreaFile(areas)}};
}

std::vector<DemoTownFile> DemoTownPictures()
{
    const std::vector<std::string> rows = TownRows();
    AkbPicture map = MakePicture(COLUMNS * CELL, ROWS * CELL, 0xFF3C6E3C);
    AkbPicture overlay = MakePicture(COLUMNS * CELL, ROWS * CELL, 0xFF00FF00);
    for (int y = 0; y < ROWS * CELL; ++y)
        for (int x = 0; x < COLUMNS * CELL; ++x) {
            const char cell = rows[static_cast<size_t>(y / CELL)][static_cast<size_t>(x / CELL)];
            if (cell == '.')
                continue;
            const bool river = y / CELL == 17;
            map.At(x, y) = river ? 0xFF2850B4 : 0xFF8C6446;
            // Roofs hang over the row above each house, drawn over the figures.
            if (!river && y % CELL < 12)
                overlay.At(x, y) = 0xFFB43C32;
        }
    AkbPicture figures = MakePicture(1440, 240, 0);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 1440; ++x) {
            const int dx = x % 120 - 60;
            const int dy = y % 120 - 60;
            if (dx * dx + dy * dy < 30 * 30)
                figures.At(x, y) = 0xFF000000u | static_cast<uint32_t>(0x40 + x / 120 * 12) << 16 | 0x2080u;
        }
    return {{"town_bg.akb", EncodeAkb(map, {})},
            {"town_ov.akb", EncodeAkb(overlay, {})},
            {"town_chara.akb", EncodeAkb(figures, {})}};
}

} // namespace tools
