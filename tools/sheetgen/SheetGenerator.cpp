#include "sheetgen/SheetGenerator.h"

#include <array>

namespace tools {

namespace {

// 3 x 5 glyphs, one row a byte (bit 2 the left column).
const std::array<uint8_t, 5>* Glyph(char c)
{
    static const std::array<std::array<uint8_t, 5>, 10> digits{{{7, 5, 5, 5, 7},
                                                                {2, 6, 2, 2, 7},
                                                                {7, 1, 7, 4, 7},
                                                                {7, 1, 7, 1, 7},
                                                                {5, 5, 7, 1, 1},
                                                                {7, 4, 7, 1, 7},
                                                                {7, 4, 7, 5, 7},
                                                                {7, 1, 1, 1, 1},
                                                                {7, 5, 7, 5, 7},
                                                                {7, 5, 7, 1, 7}}};
    static const std::array<std::array<uint8_t, 5>, 26> letters{
        {{2, 5, 7, 5, 5}, {6, 5, 6, 5, 6}, {7, 4, 4, 4, 7}, {6, 5, 5, 5, 6}, {7, 4, 6, 4, 7}, {7, 4, 6, 4, 4},
         {7, 4, 5, 5, 7}, {5, 5, 7, 5, 5}, {7, 2, 2, 2, 7}, {1, 1, 1, 5, 7}, {5, 5, 6, 5, 5}, {4, 4, 4, 4, 7},
         {5, 7, 7, 5, 5}, {6, 5, 5, 5, 5}, {7, 5, 5, 5, 7}, {7, 5, 7, 4, 4}, {7, 5, 5, 7, 1}, {7, 5, 6, 5, 5},
         {7, 4, 7, 1, 7}, {7, 2, 2, 2, 2}, {5, 5, 5, 5, 7}, {5, 5, 5, 5, 2}, {5, 5, 7, 7, 5}, {5, 5, 2, 5, 5},
         {5, 5, 2, 2, 2}, {7, 1, 2, 4, 7}}};
    static const std::array<uint8_t, 5> dash{0, 0, 7, 0, 0};
    if (c >= '0' && c <= '9')
        return &digits[static_cast<size_t>(c - '0')];
    if (c >= 'A' && c <= 'Z')
        return &letters[static_cast<size_t>(c - 'A')];
    if (c == '-')
        return &dash;
    return nullptr;
}

void DrawLabel(AkbPicture& picture, const SheetCell& cell)
{
    const uint32_t colour = ((CellColour(cell.id, cell.state) >> 8) & 0xFF) > 0x80 ? 0xFF000000 : 0xFFFFFFFF;
    int32_t pen = cell.x + LABEL_MARGIN;
    for (char c : cell.label) {
        if (const auto* glyph = Glyph(c)) {
            for (int32_t row = 0; row < 5; ++row)
                for (int32_t column = 0; column < 3; ++column) {
                    const int32_t x = pen + column;
                    const int32_t y = cell.y + LABEL_MARGIN + row;
                    if (((*glyph)[static_cast<size_t>(row)] >> (2 - column)) & 1 && x < cell.x + cell.width &&
                        y < cell.y + cell.height && x < picture.width && y < picture.height)
                        picture.At(x, y) = colour;
                }
        }
        pen += 4;
    }
}

} // namespace

uint32_t CellColour(uint32_t id, int32_t state)
{
    return 0xFF000000u | (((id >> 8) & 0xFF) << 16) | ((id & 0xFF) << 8) |
           static_cast<uint32_t>(0x40 + 0x30 * state);
}

bool DecodeCellColour(uint32_t colour, uint32_t& id, int32_t& state)
{
    const uint32_t blue = colour & 0xFF;
    if ((colour >> 24) != 0xFF || blue < 0x40 || (blue - 0x40) % 0x30 != 0 || (blue - 0x40) / 0x30 > 3)
        return false;
    id = ((colour >> 8) & 0xFFFF);
    state = static_cast<int32_t>((blue - 0x40) / 0x30);
    return true;
}

AkbPicture BuildSheet(int32_t width, int32_t height, const std::vector<SheetCell>& cells, uint32_t background)
{
    AkbPicture picture = MakePicture(width, height, background);
    for (const SheetCell& cell : cells) {
        const uint32_t colour = CellColour(cell.id, cell.state);
        for (int32_t y = cell.y; y < cell.y + cell.height && y < height; ++y)
            for (int32_t x = cell.x; x < cell.x + cell.width && x < width; ++x)
                if (x >= 0 && y >= 0)
                    picture.At(x, y) = colour;
        DrawLabel(picture, cell);
    }
    return picture;
}

std::vector<SheetCell> DialogSheetCells()
{
    std::vector<SheetCell> cells{{0, 330, 880, 330, DIALOG_SHEET_PANEL_BOX, 0, "PANEL-BOX"},
                                 {0, 870, 880, 250, DIALOG_SHEET_PANEL_SIMPLE, 0, "PANEL"}};
    for (int32_t kind = 0; kind <= 12; ++kind)
        cells.push_back({880, kind == 12 ? 1825 : kind * 106, 805, 106,
                         DIALOG_SHEET_LINE + static_cast<uint32_t>(kind), 0, "KIND-" + std::to_string(kind)});
    for (int32_t state = 0; state < 4; ++state) {
        const std::string suffix = "-" + std::to_string(state);
        cells.push_back({1685, 73 * state, 222, 73, 0, state, "YES" + suffix});
        cells.push_back({1685, 73 * (state + 4), 222, 73, 1, state, "NO" + suffix});
        cells.push_back({54, 1430 + 44 * state, 44, 44, 0x100, state, "B" + std::to_string(state)});
    }
    return cells;
}

std::vector<AreaRecord> DialogAreas(bool with_box)
{
    const int32_t top = with_box ? 375 : 415;
    std::vector<AreaRecord> areas{{0, 520 + 198, top + 145, 520 + 198 + 222, top + 145 + 73},
                                  {1, 520 + 459, top + 145, 520 + 459 + 222, top + 145 + 73}};
    if (with_box)
        areas.push_back({0x100, 520 + 507, top + 249, 520 + 507 + 44, top + 249 + 44});
    return areas;
}

std::vector<SheetCell> ConfigSheetCells()
{
    std::vector<SheetCell> cells;
    for (int32_t state = 0; state < 4; ++state) {
        const std::string suffix = "-" + std::to_string(state);
        cells.push_back({0, state * 158, 158, 158, 0x0E00, state, "TAB0" + suffix});
        cells.push_back({158, state * 158, 158, 158, 0x0E01, state, "TAB1" + suffix});
        cells.push_back({96, 632 + state * 43, 48, 43, 0x0D00, state, "U" + std::to_string(state)});
        cells.push_back({96, 804 + state * 43, 48, 43, 0x0D01, state, "D" + std::to_string(state)});
    }
    for (int32_t state = 0; state < 3; ++state) {
        const std::string suffix = "-" + std::to_string(state);
        cells.push_back({314, state * 158, 158, 158, 0x0F00, state, "DEFAULT" + suffix});
        cells.push_back({472, state * 158, 158, 158, 0x1000, state, "LEAVE" + suffix});
        cells.push_back({state * 32, 632, 32, 250, 0x0D02, state, "T" + std::to_string(state)});
        cells.push_back({144, 632 + state * 54, 52, 54, CONFIG_SHEET_KNOB, state, "K" + std::to_string(state)});
        cells.push_back({196, 632 + state * 42, 144, 42, CONFIG_SHEET_SWITCH_ON, state, "ON" + suffix});
        cells.push_back({196, 758 + state * 42, 144, 42, CONFIG_SHEET_SWITCH_OFF, state, "OFF" + suffix});
        cells.push_back({631, 768 + state * 70, 694, 70, CONFIG_SHEET_GAME_MODE_OFF, state, "MODE0" + suffix});
        cells.push_back({1325, 768 + state * 70, 694, 70, CONFIG_SHEET_GAME_MODE_ON, state, "MODE1" + suffix});
        for (int32_t item = 0; item < 6; ++item)
            cells.push_back({630 + (item % 2) * 726, (state + (item / 2) * 4) * 64, 726, 64,
                             0x0C00 + static_cast<uint32_t>(item), state, "SYS" + std::to_string(item) + suffix});
    }
    cells.push_back({0, 982, 790, 58, CONFIG_SHEET_SAMPLE, 0, ""});
    for (int32_t digit = 0; digit <= 10; ++digit)
        cells.push_back({340 + 23 * digit, 632, 23, 30, CONFIG_SHEET_DIGIT + static_cast<uint32_t>(digit), 0, ""});
    return cells;
}

std::vector<AreaRecord> ConfigAreas()
{
    std::vector<AreaRecord> areas;
    // Page rectangles move by the page window's origin.
    const auto page = [&](uint32_t id, int32_t x, int32_t y, int32_t w, int32_t h) {
        areas.push_back({id, x + 24, y + 184, x + 24 + w, y + 184 + h});
    };
    const auto fixed = [&](uint32_t id, int32_t x, int32_t y, int32_t w, int32_t h) {
        areas.push_back({id, x, y, x + w, y + h});
    };
    const int32_t switches[][3] = {{0, 660, 133}, {1, 660, 183},  {4, 660, 294},  {6, 660, 400}, {7, 1341, 96},
                                   {5, 1341, 170}, {9, 1341, 318}, {2, 1341, 244}, {3, 1341, 392}};
    for (const auto& s : switches)
        page(static_cast<uint32_t>(s[0]) << 8, s[1], s[2], 144, 42);
    page(0x0001, 87, 130, 573, 54);
    page(0x0401, 87, 291, 573, 54);
    page(0x0601, 87, 396, 573, 54);
    const int32_t tracks[][2] = {{200, 576}, {990, 576}, {200, 636}, {990, 636}};
    for (uint32_t item = 0; item < 4; ++item)
        page(0x0800 + item, tracks[item][0], tracks[item][1], 481, 54);
    const int32_t effect_x[] = {377, 531, 683};
    const int32_t map_x[] = {1233, 1387, 1539};
    for (uint32_t item = 0; item < 3; ++item) {
        page(0x0A00 + item, effect_x[item], 23, 52, 54);
        page(0x1200 + item, map_x[item], 23, 52, 54);
    }
    for (int32_t item = 0; item < 10; ++item)
        page(0x0B00 + static_cast<uint32_t>(item), (item / 5) * 840 + 576, (item % 5) * 72 + 781, 144, 42);
    for (int32_t item = 0; item < 6; ++item)
        page(0x0C00 + static_cast<uint32_t>(item), 7 + (item % 2) * 841, 1218 + (item / 2) * 70, 726, 64);
    fixed(0x0D00, 1643, 138, 48, 43);
    fixed(0x0D01, 1643, 947, 48, 43);
    fixed(0x0D02, 1651, 181, 32, 766);
    fixed(0x0E00, 1720, 320, 158, 158);
    fixed(0x0E01, 1720, 502, 158, 158);
    fixed(0x0F00, 1720, 684, 158, 158);
    fixed(0x1000, 1720, 904, 158, 158);
    fixed(0x1100, 936, 44, 694, 70);
    return areas;
}

std::vector<AreaRecord> SoundConfigAreas()
{
    std::vector<AreaRecord> areas;
    const auto panel = [&](uint32_t id, int32_t x, int32_t y, int32_t w, int32_t h) {
        areas.push_back({id, x, y + 40, x + w, y + 40 + h});
    };
    const int32_t switches[][2] = {{654, 78}, {1464, 78}, {654, 210}, {1464, 210}};
    const int32_t sliders[][2] = {{118, 122}, {930, 122}, {118, 254}, {930, 254}};
    for (uint32_t group = 0; group < 4; ++group) {
        panel(group << 8, switches[group][0], switches[group][1], 144, 42);
        panel((group << 8) | 1, sliders[group][0], sliders[group][1], 612, 54);
    }
    for (int32_t k = 0; k < 16; ++k) {
        panel(0x0500 + static_cast<uint32_t>(k), 654 + 810 * (k % 2), 410 + 132 * (k / 2), 144, 42);
        panel(0x0600 + static_cast<uint32_t>(k), 190 + 812 * (k % 2), 462 + 132 * (k / 2), 612, 54);
    }
    panel(0x0700, 1464, 338, 144, 42);
    areas.push_back({0x0D00, 1640, 37, 1640 + 48, 37 + 43});
    areas.push_back({0x0D01, 1640, 956, 1640 + 48, 956 + 43});
    areas.push_back({0x0D02, 1648, 80, 1648 + 32, 80 + 876});
    areas.push_back({0x0E00, 1720, 320, 1720 + 158, 320 + 158});
    areas.push_back({0x0E01, 1720, 502, 1720 + 158, 502 + 158});
    areas.push_back({0x0F00, 1720, 684, 1720 + 158, 684 + 158});
    areas.push_back({0x1000, 1720, 904, 1720 + 158, 904 + 158});
    return areas;
}

} // namespace tools
