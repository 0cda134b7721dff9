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
