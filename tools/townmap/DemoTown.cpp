#include "townmap/DemoTown.h"

#include "akbwriter/AkbWriter.h"
#include "townmap/TownMapWriter.h"

namespace tools {

namespace {

constexpr int32_t COLUMNS = 60;
constexpr int32_t ROWS = 35;
constexpr int32_t CELL = 40;

struct House
{
    int left, top, width, height;
    int door; // the column of its door, on its bottom row
};

// The first and the third house's doors lead into the event areas below them.
constexpr House HOUSES[] = {
    {6, 5, 6, 4, 8}, {20, 8, 8, 5, 23}, {40, 4, 7, 6, 42}, {12, 20, 9, 5, 16}, {38, 22, 10, 6, 43},
};

// Houses are blocked blocks whose corners let a figure slide past; the river is a plain block.
std::vector<std::string> TownRows()
{
    std::vector<std::string> rows(ROWS, std::string(COLUMNS, '.'));
    for (const House& house : HOUSES)
        for (int y = house.top; y < house.top + house.height; ++y)
            for (int x = house.left; x < house.left + house.width; ++x)
                rows[static_cast<size_t>(y)][static_cast<size_t>(x)] =
                    x == house.left || x == house.left + house.width - 1 ? 'C' : '#';
    for (int x = 0; x < COLUMNS; ++x)
        if (x < 28 || x > 31) // a bridge crosses the river
            rows[17][static_cast<size_t>(x)] = '#';
    return rows;
}

} // namespace

std::vector<DemoTownFile> DemoTownData()
{
    MoverBlockSpec spec;
    // The leader and one walker: a third mover's place would be kept in the camera's flag bytes,
    // and a game saved on the town would come back scrolled to where that walker stood.
    spec.movers = {{0x71, 0, 1, 2, 30, 14, 0x10, 0}, {0x11, 1, 1, 2, 4, 12, 0x30, 1}};
    spec.programs = {{{14, 0}}, {{5, 12}, {9, 8}, {3, 3}, {4, 12}, {9, 8}, {2, 3}}};
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
    const auto fill = [](AkbPicture& picture, int left, int top, int width, int height, uint32_t colour) {
        for (int y = top; y < top + height; ++y)
            for (int x = left; x < left + width; ++x)
                picture.At(x, y) = colour;
    };
    for (int y = 0; y < ROWS * CELL; ++y)
        for (int x = 0; x < COLUMNS * CELL; ++x)
            if (rows[static_cast<size_t>(y / CELL)][static_cast<size_t>(x / CELL)] != '.')
                map.At(x, y) = y / CELL == 17 ? 0xFF2850B4 : 0xFF8C6446;
    for (const House& house : HOUSES) {
        const int left = house.left * CELL;
        const int width = house.width * CELL;
        const int bottom = (house.top + house.height) * CELL;
        // Lit windows along the walls, and the door on the bottom row.
        for (int row = house.top + 1; row < house.top + house.height; ++row)
            for (int column = house.left + 1; column < house.left + house.width - 1; column += 2)
                fill(map, column * CELL + 10, row * CELL + 8, 20, 16, 0xFFF0D878);
        fill(map, house.door * CELL + 8, bottom - 34, 24, 34, 0xFF5A3C28);
        // The roof on the top row hangs over the row above: drawn over the figures that walk
        // behind the house. A darker ridge runs along its top.
        const int roof = house.top * CELL - 12;
        fill(overlay, left - 4, roof, width + 8, CELL + 12, 0xFFB43C32);
        fill(overlay, left - 4, roof, width + 8, 6, 0xFF82281E);
    }
    // Each figure's frame: a body of its colour (the checks read its middle) under a head.
    AkbPicture figures = MakePicture(1440, 240, 0);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 1440; ++x) {
            const int dx = x % 120 - 60;
            const int dy = y % 120 - 60;
            const int head_dy = y % 120 - 30;
            if (dx * dx + head_dy * head_dy < 15 * 15)
                figures.At(x, y) = 0xFFF0D0B0u;
            else if (dx * dx + dy * dy < 30 * 30)
                figures.At(x, y) = 0xFF000000u | static_cast<uint32_t>(0x40 + x / 120 * 12) << 16 | 0x2080u;
        }
    return {{"town_bg.akb", EncodeAkb(map, {})},
            {"town_ov.akb", EncodeAkb(overlay, {})},
            {"town_chara.akb", EncodeAkb(figures, {})}};
}

} // namespace tools
