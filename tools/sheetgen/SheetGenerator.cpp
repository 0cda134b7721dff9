#include "sheetgen/SheetGenerator.h"

#include <array>
#include <utility>

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
    static const std::array<uint8_t, 5> question{7, 1, 2, 0, 2};
    if (c == '?')
        return &question;
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

namespace {

// The blue of each state: the disabled state (3) the dimmest, as a player reads it.
constexpr uint32_t STATE_BLUE[4] = {0x70, 0xA0, 0xD0, 0x40};

} // namespace

uint32_t CellColour(uint32_t id, int32_t state)
{
    return 0xFF000000u | (((id >> 8) & 0xFF) << 16) | ((id & 0xFF) << 8) | STATE_BLUE[state & 3];
}

bool DecodeCellColour(uint32_t colour, uint32_t& id, int32_t& state)
{
    const uint32_t blue = colour & 0xFF;
    if ((colour >> 24) != 0xFF)
        return false;
    for (int32_t k = 0; k < 4; ++k) {
        if (STATE_BLUE[k] == blue) {
            id = ((colour >> 8) & 0xFFFF);
            state = k;
            return true;
        }
    }
    return false;
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
        cells.push_back({1686, 585 + 73 * state, 222, 73, 0, state, "OK" + suffix});
        cells.push_back({0, 1430 + 54 * state, 54, 54, 0x200, state, "C" + std::to_string(state)});
    }
    cells.push_back({0, 0, 880, 330, DIALOG_SHEET_NOTE_FRAME, 0, "NOTE-FRAME"});
    cells.push_back({0, 660, 880, 210, NOTICE_SHEET_PANEL_SMALL, 0, "NOTICE"});
    cells.push_back({0, 1120, 880, 310, NOTICE_SHEET_PANEL_LARGE, 0, "NOTICE-L"});
    const std::array<std::pair<int32_t, int32_t>, 4> lines{
        {{1360, 88}, {1448, 106}, {1554, 106}, {1660, 165}}};
    for (size_t kind = 0; kind < lines.size(); ++kind)
        cells.push_back({880, lines[kind].first, 805, lines[kind].second,
                         NOTICE_SHEET_LINE + static_cast<uint32_t>(kind), 0, "NOTE-" + std::to_string(kind)});
    return cells;
}

std::vector<SheetCell> NoticeSheetCells()
{
    std::vector<SheetCell> cells;
    for (int32_t line = 0; line < 16; ++line)
        cells.push_back({0, 88 * line, 805, 88, NOTICE2_SHEET_LINE + static_cast<uint32_t>(line), 0,
                         "LINE-" + std::to_string(line)});
    cells.push_back({0, 1408, 805, 40, NOTICE2_SHEET_NOTE, 0, "NOTE"});
    cells.push_back({0, 1448, 805, 88, NOTICE2_SHEET_KIND_4, 0, "KIND-4"});
    return cells;
}

std::vector<AreaRecord> NoticeAreas()
{
    return {{0, 849, 560, 849 + 222, 560 + 73}};
}

std::vector<SheetCell> NameInputSheetCells()
{
    std::vector<SheetCell> cells;
    for (int32_t state = 0; state < 4; ++state) {
        const std::string suffix = "-" + std::to_string(state);
        for (int32_t k = 0; k < 10; ++k)
            cells.push_back(
                {104 * k, 36 * state, 104, 36, static_cast<uint32_t>(k), state, "J" + std::to_string(k)});
        for (int32_t k = 0; k < 5; ++k)
            cells.push_back({188 * k, 144 + 58 * state, 188, 58, k < 3 ? 0x100u + k : 0x200u + (k - 3), state,
                             (k < 3 ? "TAB" : "CARET") + std::to_string(k) + suffix});
        cells.push_back({940, 144 + 58 * state, 238, 58, 0x202, state, "DEL" + suffix});
        for (int32_t k = 0; k < 2; ++k)
            cells.push_back({264 + 73 * (state + 4 * k), 376, 73, 349, 0x300u + k, state,
                             "S" + std::to_string(k) + suffix});
        cells.push_back({0, 376 + 86 * state, 264, 86, 0x400, state, "DEFAULT" + suffix});
        cells.push_back({1178, 152 * state, 232, 152, 0x500, state, "OK" + suffix});
        cells.push_back({846, 376 + 58 * state, 58, 58, 0x1000, state, "C" + std::to_string(state)});
    }
    cells.push_back({1040, 0, 59, 59, NAME_SHEET_CARET, 0, "CARET"});
    cells.push_back({904, 434, 120, 64, NAME_SHEET_NAME_LABEL, 0, "NAME"});
    cells.push_back({904, 376, 152, 58, NAME_SHEET_READING, 0, "READ"});
    cells.push_back({0, 805, 1157, 64, NAME_SHEET_BUTTON_BAND, 0, "BAND"});
    cells.push_back({0, 725, 878, 80, NAME_SHEET_NAME_BAND, 0, "FIELD"});
    return cells;
}

std::vector<AreaRecord> NameInputAreas()
{
    std::vector<AreaRecord> areas;
    auto add = [&](uint32_t id, int32_t x, int32_t y, int32_t width, int32_t height) {
        areas.push_back({id, x, y, x + width, y + height});
    };
    for (int32_t k = 0; k < 10; ++k)
        add(static_cast<uint32_t>(k), 368 + 120 * k, 766, 104, 36);
    for (int32_t k = 0; k < 3; ++k)
        add(0x100u + k, 316 + 210 * k, 810, 188, 58);
    for (int32_t k = 0; k < 2; ++k)
        add(0x200u + k, 946 + 210 * k, 810, 188, 58);
    add(0x202, 1366, 810, 238, 58);
    for (int32_t k = 0; k < 2; ++k)
        add(0x300u + k, 1577, 45 + 360 * k, 73, 349);
    add(0x400, 268, 940, 264, 86);
    add(0x500, 1436, 875, 232, 152);
    return areas;
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
        cells.push_back(
            {144, 632 + state * 54, 52, 54, CONFIG_SHEET_KNOB, state, "K" + std::to_string(state)});
        cells.push_back({196, 632 + state * 42, 144, 42, CONFIG_SHEET_SWITCH_ON, state, "ON" + suffix});
        cells.push_back({196, 758 + state * 42, 144, 42, CONFIG_SHEET_SWITCH_OFF, state, "OFF" + suffix});
        cells.push_back(
            {631, 768 + state * 70, 694, 70, CONFIG_SHEET_GAME_MODE_OFF, state, "MODE0" + suffix});
        cells.push_back(
            {1325, 768 + state * 70, 694, 70, CONFIG_SHEET_GAME_MODE_ON, state, "MODE1" + suffix});
        for (int32_t item = 0; item < 6; ++item)
            cells.push_back({630 + (item % 2) * 726, (state + (item / 2) * 4) * 64, 726, 64,
                             0x0C00 + static_cast<uint32_t>(item), state,
                             "SYS" + std::to_string(item) + suffix});
    }
    cells.push_back({0, 982, 790, 58, CONFIG_SHEET_SAMPLE, 0, ""});
    for (int32_t digit = 0; digit <= 10; ++digit)
        cells.push_back(
            {340 + 23 * digit, 632, 23, 30, CONFIG_SHEET_DIGIT + static_cast<uint32_t>(digit), 0, ""});
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
    const int32_t switches[][3] = {{0, 660, 133},  {1, 660, 183},  {4, 660, 294},
                                   {6, 660, 400},  {7, 1341, 96},  {5, 1341, 170},
                                   {9, 1341, 318}, {2, 1341, 244}, {3, 1341, 392}};
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

std::vector<SheetCell> GalleryListCells()
{
    std::vector<SheetCell> cells;
    for (uint32_t i = 0; i < 17; ++i)
        for (int32_t state = 0; state < 4; ++state)
            cells.push_back({static_cast<int32_t>(296 * (i % 5)),
                             static_cast<int32_t>(832 * (i / 5) + 208 * state), 296, 208, i, state,
                             "H" + std::to_string(i) + "-" + std::to_string(state)});
    return cells;
}

AkbPicture GalleryListSheet()
{
    return BuildSheet(1480, 3328, GalleryListCells());
}

std::vector<SheetCell> GalleryModeCells()
{
    std::vector<SheetCell> cells;
    for (int32_t state = 0; state < 4; ++state) {
        const std::string suffix = "-" + std::to_string(state);
        for (int32_t i = 0; i < 3; ++i)
            cells.push_back(
                {296 * i, 174 * state, 296, 174, static_cast<uint32_t>(256 + i), state, "T" + suffix});
        cells.push_back({0, 696 + 128 * state, 296, 128, 259, state, "T3" + suffix});
        cells.push_back({888, 126 * state, 218, 126, 512, state, "R" + suffix});
        cells.push_back({2087, 117 * (state + 4), 200, 117, 1024, state, "P" + suffix});
        cells.push_back({2087, 117 * state, 200, 117, 1025, state, "N" + suffix});
        cells.push_back({296, 696 + 83 * state, 296, 83, 1280, state, "U" + suffix});
        // The scene list's own columns of the arrows and the unlock button.
        cells.push_back({2287, 117 * (state + 4), 200, 117, 1024, state, "P" + suffix});
        cells.push_back({2287, 117 * state, 200, 117, 1025, state, "N" + suffix});
        cells.push_back({592, 696 + 83 * state, 296, 83, 1280, state, "U" + suffix});
    }
    cells.push_back({296, 945, 296, 83, 1280, 3, "UC"});
    cells.push_back({592, 945, 296, 83, 1280, 3, "UC"});
    cells.push_back({1107, 0, 490, GALLERY_FRAME_HEIGHT, GALLERY_FRAME, 0, ""});
    cells.push_back({1107, 275, 490, 275, GALLERY_HOVER, 0, "HOVER"});
    cells.push_back({1107, 550, 490, 275, GALLERY_PRESSED, 0, "PRESSED"});
    cells.push_back({1107, 825, 490, 275, GALLERY_LOCKED, 0, "LOCKED"});
    // The comment mode's entry tabs (row 3 locked) and its own unlock button.
    for (int32_t state = 0; state < 4; ++state)
        for (int32_t i = 0; i < 4; ++i)
            cells.push_back({1107 + 80 * i, 1100 + 83 * state, 80, 83, static_cast<uint32_t>(i), state,
                             "E" + std::to_string(i)});
    for (int32_t state = 0; state < 3; ++state)
        cells.push_back({296, 1028 + 83 * state, 296, 83, 1280, state, "U-" + std::to_string(state)});
    cells.push_back({296, 1277, 296, 83, 1280, 3, "UC"});
    return cells;
}

AkbPicture GalleryModeSheet()
{
    return BuildSheet(2487, 1432, GalleryModeCells());
}

std::vector<SheetCell> GalleryCoverCells()
{
    std::vector<SheetCell> cells;
    for (uint32_t g = 0; g < 15; ++g)
        cells.push_back({static_cast<int32_t>(496 * (g % 5)), static_cast<int32_t>(446 * (g / 5)), 496, 446,
                         GALLERY_COVER + g, 0, "C" + std::to_string(g)});
    cells.push_back({2480, 893, 496, 446, GALLERY_COVER + 15, 0, "C15"});
    // The overlay over every cover: a strip along the top, the rest clear.
    cells.push_back({2480, 0, 496, 20, GALLERY_COVER + 17, 0, ""});
    return cells;
}

AkbPicture GalleryCoverSheet()
{
    return BuildSheet(2976, 1339, GalleryCoverCells());
}

std::vector<SheetCell> ThumbnailCells(uint32_t first_id)
{
    std::vector<SheetCell> cells;
    for (int32_t j = 0; j < 12; ++j)
        cells.push_back({490 * (j % 3), 275 * (j / 3), 490, 275, first_id + static_cast<uint32_t>(j), 0,
                         std::to_string(j)});
    return cells;
}

AkbPicture ThumbnailSheet(uint32_t first_id)
{
    return BuildSheet(1470, 1100, ThumbnailCells(first_id));
}

std::vector<std::pair<std::string, AkbPicture>> DemoCGPictures()
{
    const auto whole = [](uint32_t variant, const char* label) {
        return BuildSheet(1920, 1080, {{0, 0, 1920, 1080, DEMO_CG_BASE + variant, 0, label}});
    };
    return {{"r01_0.akb", whole(0, "R01")},
            {"r02_0.akb", whole(2, "R02")},
            {"o01_0.akb", whole(4, "O01")},
            {"x01_0.akb", whole(0x14, "X01")},
            {"r03_0.akb", BuildSheet(1920, 2160,
                                     {{0, 0, 1920, 1080, DEMO_CG_BASE + 3, 0, "R03"},
                                      {0, 1080, 1920, 1080, DEMO_CG_BASE + 0x13, 0, "R03-LOW"}})},
            {"r01_f1.akb",
             BuildSheet(1920, 1080, {{760, 340, 400, 400, DEMO_CG_OVERLAY, 0, "F1"}}, 0xFF00FF00u)}};
}

std::vector<AreaRecord> GalleryAreas(bool page_level)
{
    std::vector<AreaRecord> areas;
    if (page_level) {
        for (int32_t k = 0; k < 8; ++k) {
            const int32_t x = 388 + 498 * (k % 3);
            const int32_t y = 108 + 283 * (k / 3);
            areas.push_back({static_cast<uint32_t>(k), x, y, x + 490, y + 275});
        }
    } else {
        for (int32_t i = 0; i < 17; ++i) {
            const int32_t x = 395 + 296 * (i % 5);
            const int32_t y = 109 + 208 * (i / 5);
            areas.push_back({static_cast<uint32_t>(i), x, y, x + 296, y + 208});
        }
    }
    for (int32_t i = 0; i < 3; ++i)
        areas.push_back({static_cast<uint32_t>(256 + i), 27, 216 + 182 * i, 27 + 296, 216 + 182 * i + 174});
    areas.push_back({259, 27, 762, 27 + 296, 762 + 128});
    areas.push_back({512, 27, 928, 27 + 218, 928 + 126});
    if (page_level) {
        for (int32_t i = 0; i < 3; ++i)
            areas.push_back({static_cast<uint32_t>(768 + i), 1620 + 100 * i, 960, 1620 + 100 * i + 90, 1050});
        areas.push_back({1024, 1392, 809, 1592, 926});
        areas.push_back({1025, 1392, 684, 1592, 801});
        areas.push_back({1280, 1584, 12, 1880, 95});
    }
    return areas;
}

namespace {

struct ButtonCell
{
    int32_t x, y, width, height, cell_x, cell_y;
};

constexpr ButtonCell MESSAGE_BUTTONS[] = {
    {678, 1006, 200, 56, 200, 560},  {882, 1006, 200, 56, 0, 560},   {1086, 1006, 200, 56, 0, 784},
    {1290, 1006, 200, 56, 200, 784}, {1494, 1006, 92, 54, 400, 784}, {1590, 1006, 92, 54, 492, 784},
    {1624, 0, 58, 58, 782, 624},
};

constexpr ButtonCell MENU_BUTTONS[] = {
    {1846, 24, 66, 68, 800, 704},   {1520, 152, 400, 88, 0, 0},     {1520, 250, 400, 88, 400, 0},
    {1520, 348, 400, 88, 800, 0},   {1520, 446, 400, 88, 0, 352},   {1520, 544, 400, 88, 400, 352},
    {1520, 642, 400, 88, 400, 704}, {1520, 740, 400, 88, 800, 352}, {1520, 838, 400, 88, 0, 704},
};

} // namespace

std::vector<SheetCell> MessageSheetCells()
{
    std::vector<SheetCell> cells;
    for (uint32_t n = 0; n < 7; ++n) {
        const ButtonCell& b = MESSAGE_BUTTONS[n];
        for (int32_t state = 0; state < 4; ++state)
            cells.push_back({b.cell_x, b.cell_y + state * b.height, b.width, b.height, n, state,
                             "W" + std::to_string(n) + "-" + std::to_string(state)});
    }
    for (uint32_t row = 0; row < 3; ++row)
        for (uint32_t column = 0; column < 3; ++column)
            cells.push_back({840 + 30 * static_cast<int32_t>(column), 624 + 30 * static_cast<int32_t>(row),
                             30, 30, MESSAGE_SHEET_BALLOON + row * 3 + column, 0, ""});
    for (uint32_t pointer = 0; pointer < 3; ++pointer)
        cells.push_back(
            {840 + 30 * static_cast<int32_t>(pointer), 714, 30, 30, MESSAGE_SHEET_POINTER + pointer, 0, ""});
    for (uint32_t column = 0; column < 2; ++column)
        for (uint32_t frame = 0; frame < 3; ++frame)
            cells.push_back({665 + 58 * static_cast<int32_t>(column), 624 + 58 * static_cast<int32_t>(frame),
                             58, 58, MESSAGE_SHEET_PROMPT + column * 3 + frame, 0,
                             "P" + std::to_string(frame)});
    cells.push_back({600, 560, 1240, 64, MESSAGE_SHEET_NAME_PLATE, 0, "NAME"});
    return cells;
}

AkbPicture MessageSheet()
{
    AkbPicture sheet = BuildSheet(MESSAGE_SHEET_WIDTH, MESSAGE_SHEET_HEIGHT, MessageSheetCells());
    constexpr int32_t width = 1730;
    constexpr int32_t height = 280;
    constexpr int32_t border = 4;
    const int32_t margin = MESSAGE_SHEET_PLATE_MARGIN;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const bool inside = x >= margin && x < width - margin && y >= margin && y < height - margin;
            sheet.At(x, y) = inside ? 0xFF000000u : 0;
            const bool edge = inside && (x < margin + border || x >= width - margin - border ||
                                         y < margin + border || y >= height - margin - border);
            sheet.At(x, height + y) = edge ? MESSAGE_SHEET_FRAME_COLOUR : 0;
        }
    }
    return sheet;
}

std::vector<AreaRecord> MessageAreas()
{
    std::vector<AreaRecord> areas;
    for (uint32_t n = 0; n < 6; ++n) {
        const ButtonCell& b = MESSAGE_BUTTONS[n];
        areas.push_back({n, b.x, b.y, b.x + b.width, b.y + b.height});
    }
    areas.push_back({6, 1624, 0, 1682, 58});
    areas.push_back({0x200, 0, 0, 1920, 312});
    return areas;
}

std::vector<SheetCell> SideMenuSheetCells()
{
    std::vector<SheetCell> cells{{1520, 0, 400, 1080, SIDE_MENU_SHEET_PANEL, 0, "PANEL"}};
    for (uint32_t b = 0; b < 9; ++b) {
        const ButtonCell& button = MENU_BUTTONS[b];
        for (int32_t state = 0; state < 4; ++state)
            cells.push_back({button.cell_x, button.cell_y + state * button.height, button.width,
                             button.height, 0xF00 + b, state,
                             "M" + std::to_string(b) + "-" + std::to_string(state)});
    }
    return cells;
}

std::vector<AreaRecord> SideMenuAreas()
{
    std::vector<AreaRecord> areas{{0xF00, 1846, 24, 1912, 92}};
    for (uint32_t k = 1; k < 9; ++k)
        areas.push_back({k, 1520, 152 + 98 * (static_cast<int32_t>(k) - 1), 1920,
                         240 + 98 * (static_cast<int32_t>(k) - 1)});
    return areas;
}

namespace {

struct TitleButtonPlace
{
    int32_t page; // -1 the special title
    int32_t item;
    int32_t y;
    int32_t width;
    int32_t height;
    int32_t sheet_x;
    int32_t sheet_y;
};

constexpr int32_t TITLE_BUTTON_LEFT = 64;
constexpr int32_t TITLE_BACK_SHEET_X = 1476;
constexpr int32_t TITLE_BACK_SHEET_Y = 632;

const std::vector<TitleButtonPlace>& TitleButtonPlaces()
{
    static const std::vector<TitleButtonPlace> places{
        {0, 0, 504, 492, 79, 0, 0},       {0, 1, 591, 492, 79, 492, 0},     {0, 2, 678, 492, 79, 984, 0},
        {0, 3, 765, 492, 79, 1476, 0},    {0, 4, 852, 492, 79, 0, 316},     {0, 5, 939, 492, 79, 492, 316},
        {1, 0, 632, 492, 94, 1416, 1008}, {1, 1, 726, 492, 94, 1908, 1008}, {1, 2, 820, 492, 94, 2400, 1008},
        {1, 3, 914, 492, 94, 1476, 632},  {2, 0, 632, 492, 94, 0, 632},     {2, 1, 726, 492, 94, 492, 632},
        {2, 2, 820, 492, 94, 984, 632},   {2, 3, 914, 492, 94, 1476, 632},  {3, 0, 726, 492, 94, 1908, 1384},
        {3, 1, 820, 492, 94, 1416, 1384}, {3, 2, 914, 492, 94, 1476, 632},  {4, 0, 592, 708, 79, 0, 1008},
        {4, 1, 679, 708, 79, 708, 1008},  {4, 2, 766, 492, 94, 1476, 632},  {-1, 0, 678, 492, 79, 0, 0},
        {-1, 1, 765, 492, 79, 492, 0},    {-1, 2, 852, 492, 79, 984, 0},    {-1, 3, 939, 492, 94, 1476, 632}};
    return places;
}

} // namespace

std::vector<SheetCell> TitleSheetCells()
{
    std::vector<SheetCell> cells;
    for (const TitleButtonPlace& place : TitleButtonPlaces()) {
        if (place.page < 0)
            continue; // the special title reuses the main title's cells
        const bool back = place.sheet_x == TITLE_BACK_SHEET_X && place.sheet_y == TITLE_BACK_SHEET_Y;
        const uint32_t id = back ? TITLE_SHEET_BACK : static_cast<uint32_t>(place.page * 256 + place.item);
        for (int32_t state = 0; state < 4; ++state)
            cells.push_back({place.sheet_x, place.sheet_y + place.height * state, place.width, place.height,
                             id, state,
                             (back ? std::string("BACK")
                                   : "P" + std::to_string(place.page) + "-" + std::to_string(place.item)) +
                                 "-" + std::to_string(state)});
    }
    return cells;
}

std::vector<AreaRecord> TitleAreas(int32_t page)
{
    std::vector<AreaRecord> areas;
    for (const TitleButtonPlace& place : TitleButtonPlaces())
        if (place.page == page)
            areas.push_back({static_cast<uint32_t>(place.item), TITLE_BUTTON_LEFT, place.y,
                             TITLE_BUTTON_LEFT + place.width, place.y + place.height});
    return areas;
}

std::vector<std::pair<std::string, std::vector<AreaRecord>>> TitleAreaFiles()
{
    return {{"title.area", TitleAreas(0)},
            {"title2.area", TitleAreas(1)},
            {"title3.area", TitleAreas(3)},
            {"title4.area", TitleAreas(4)},
            {"titleSP.area", TitleAreas(-1)}};
}

} // namespace tools
