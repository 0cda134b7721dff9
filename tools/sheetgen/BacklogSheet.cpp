#include "sheetgen/BacklogSheet.h"

#include <string>

namespace tools {

std::vector<SheetCell> BacklogSheetCells()
{
    std::vector<SheetCell> cells;
    auto column = [&](int32_t x, int32_t y, int32_t w, int32_t h, uint32_t id, int32_t states,
                      const std::string& label) {
        for (int32_t s = 0; s < states; ++s)
            cells.push_back({x, y + h * s, w, h, id, s, label + "-" + std::to_string(s)});
    };
    column(0, 0, 1642, 284, BACKLOG_FRAME, 3, "FRAME");
    column(0, 853, 200, 56, 0x300, 4, "JUMP");
    column(200, 852, 52, 52, 0x200, 3, "C");
    cells.push_back({200, 1008, 52, 52, BACKLOG_MARKED, 0, "M"});
    column(1789, 652, 87, 87, BACKLOG_VOICE, 4, "V");
    column(1738, 592, 48, 43, 0x400, 4, "U");
    column(1738, 764, 48, 43, 0x401, 4, "D");
    column(1642, 0, 156, 74, 0x500, 4, "PGUP");
    for (int32_t s = 0; s < 4; ++s)
        cells.push_back({1642, 74 * (s + 4), 156, 74, 0x501, s, "PGDN-" + std::to_string(s)});
    column(1798, 0, 156, 163, 0x600, 4, "PLAY");
    column(1955, 0, 158, 158, 0xF00, 4, "CLOSE");
    // The thumb: a top, a middle and a bottom piece, the states 32 pixels apart.
    for (int32_t s = 0; s < 3; ++s) {
        const int32_t x = 1642 + 32 * s;
        cells.push_back({x, 592, 32, 20, 0x402, s, "T"});
        cells.push_back({x, 612, 32, 210, 0x402, s, "M"});
        cells.push_back({x, 822, 32, 20, 0x402, s, "B"});
    }
    return cells;
}

AkbPicture BacklogSheet()
{
    return BuildSheet(BACKLOG_SHEET_WIDTH, BACKLOG_SHEET_HEIGHT, BacklogSheetCells());
}

AkbPicture BacklogCover()
{
    return BuildSheet(1920, 1080, {{0, 0, 1600, 60, BACKLOG_COVER_BAND, 0, "BACKLOG"}});
}

std::vector<AreaRecord> BacklogAreas()
{
    std::vector<AreaRecord> areas;
    auto add = [&](uint32_t id, int32_t x, int32_t y, int32_t w, int32_t h) {
        areas.push_back({id, x, y, x + w, y + h});
    };
    for (int32_t r = 0; r < 3; ++r) {
        add(0x6400u + r, 1541, 300 * r + 182, 87, 87);
        add(0x200u + r, 1589, 300 * r + 310, 52, 52);
        add(0x300u + r, 1364, 300 * r + 302, 200, 56);
    }
    add(0x400, 1659, 39, 48, 43);
    add(0x401, 1659, 972, 48, 43);
    add(0x402, 1667, 82, 32, 888);
    add(0x500, 1740, 314, 156, 74);
    add(0x501, 1740, 657, 156, 74);
    add(0x600, 1739, 440, 156, 163);
    add(0xF00, 1735, 838, 158, 158);
    add(0xF07, 1735, 838, 158, 158);
    return areas;
}

} // namespace tools
