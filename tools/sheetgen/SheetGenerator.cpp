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

AkbPicture GalleryListSheet()
{
    std::vector<SheetCell> cells;
    for (uint32_t i = 0; i < 17; ++i)
        for (int32_t state = 0; state < 4; ++state)
            cells.push_back({static_cast<int32_t>(296 * (i % 5)), static_cast<int32_t>(832 * (i / 5) + 208 * state), 296,
                             208, i, state, "H" + std::to_string(i) + "-" + std::to_string(state)});
    return BuildSheet(1480, 3328, cells);
}

AkbPicture GalleryModeSheet()
{
    std::vector<SheetCell> cells;
    for (int32_t state = 0; state < 4; ++state) {
        const std::string suffix = "-" + std::to_string(state);
        for (int32_t i = 0; i < 3; ++i)
            cells.push_back({296 * i, 174 * state, 296, 174, static_cast<uint32_t>(256 + i), state, "T" + suffix});
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
    return BuildSheet(2487, 1208, cells);
}

AkbPicture GalleryCoverSheet()
{
    std::vector<SheetCell> cells;
    for (uint32_t g = 0; g < 15; ++g)
        cells.push_back({static_cast<int32_t>(496 * (g % 5)), static_cast<int32_t>(446 * (g / 5)), 496, 446,
                         GALLERY_COVER + g, 0, "C" + std::to_string(g)});
    cells.push_back({2480, 893, 496, 446, GALLERY_COVER + 15, 0, "C15"});
    // The overlay over every cover: a strip along the top, the rest clear.
    cells.push_back({2480, 0, 496, 20, GALLERY_COVER + 17, 0, ""});
    return BuildSheet(2976, 1339, cells);
}

AkbPicture ThumbnailSheet(uint32_t first_id)
{
    std::vector<SheetCell> cells;
    for (int32_t j = 0; j < 12; ++j)
        cells.push_back({490 * (j % 3), 275 * (j / 3), 490, 275, first_id + static_cast<uint32_t>(j), 0,
                         std::to_string(j)});
    return BuildSheet(1470, 1100, cells);
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

} // namespace tools
