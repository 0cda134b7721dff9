#include "sheetgen/SheetWords.h"

#include <algorithm>

namespace tools {

const CellWords& WeekdayWords(int32_t day)
{
    static const CellWords days[7] = {{"日", "SUN", "周日", "週日"}, {"月", "MON", "周一", "週一"},
                                      {"火", "TUE", "周二", "週二"}, {"水", "WED", "周三", "週三"},
                                      {"木", "THU", "周四", "週四"}, {"金", "FRI", "周五", "週五"},
                                      {"土", "SAT", "周六", "週六"}};
    return days[day];
}

namespace {

constexpr int32_t STATE_HOVER = 1;
constexpr int32_t STATE_PRESSED = 2;
constexpr int32_t STATE_DISABLED = 3;

// The tag BuildSheet writes in the corner goes: the words say more.
void EraseTag(AkbPicture& sheet, const SheetCell& cell)
{
    if (cell.label.empty())
        return;
    const uint32_t colour = CellColour(cell.id, cell.state);
    const int32_t right = std::min({cell.x + LABEL_MARGIN + 4 * static_cast<int32_t>(cell.label.size()),
                                    cell.x + cell.width, sheet.width});
    const int32_t bottom =
        std::min({cell.y + LABEL_MARGIN + LABEL_HEIGHT, cell.y + cell.height, sheet.height});
    for (int32_t y = cell.y; y < bottom; ++y)
        for (int32_t x = cell.x; x < right; ++x)
            sheet.At(x, y) = colour;
}

uint32_t Mix(uint32_t a, uint32_t b)
{
    uint32_t out = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8)
        out |= ((((a >> shift) & 0xFF) + ((b >> shift) & 0xFF)) / 2) << shift;
    return out;
}

} // namespace

uint32_t WordsColour(uint32_t cell_colour, int32_t state)
{
    const uint32_t r = (cell_colour >> 16) & 0xFF;
    const uint32_t g = (cell_colour >> 8) & 0xFF;
    const uint32_t b = cell_colour & 0xFF;
    const uint32_t light = (299 * r + 587 * g + 114 * b) / 1000;
    const uint32_t ink = light > 140 ? 0xFF141414u : 0xFFFFFFFFu;
    return state == STATE_DISABLED ? Mix(ink, cell_colour | 0xFF000000u) : ink;
}

TextBox CellWordsBox(const SheetCell& cell, const WordsLayout& layout)
{
    switch (layout.place) {
    case WordsPlace::Left: {
        const int32_t margin = std::clamp(cell.height / 4, 8, 24);
        return {cell.x + margin, cell.y, cell.width * 2 / 5 - margin, cell.height};
    }
    case WordsPlace::Top:
        return {cell.x + 6, cell.y + 4, cell.width - 12,
                std::min(cell.height - 4, layout.pixel_height * 3 / 2 + 4)};
    case WordsPlace::Bottom: {
        const int32_t band = std::min(cell.height - 4, layout.pixel_height * 3 / 2 + 4);
        return {cell.x + 6, cell.y + cell.height - 4 - band, cell.width - 12, band};
    }
    case WordsPlace::Centre:
        break;
    }
    const int32_t inset = std::min(4, cell.width / 10);
    return {cell.x + inset, cell.y, cell.width - 2 * inset, cell.height};
}

void DrawCellWords(AkbPicture& sheet, const SheetCell& cell, const CellWords& words, WordsLanguage language,
                   const WordsLayout& given)
{
    // A mark standing for words keeps to a wide cell's left part: the frame checks read the
    // cell's middle, which words never reached there but a cross through the middle would. A
    // small button keeps its mark across it, where it can be seen.
    const bool symbol = words.japanese.empty() && words.simplified.empty() && words.traditional.empty();
    WordsLayout layout = given;
    if (language == WordsLanguage::Marks && !symbol && layout.place == WordsPlace::Centre &&
        cell.width >= 120)
        layout.place = WordsPlace::Left;
    EraseTag(sheet, cell);
    TextBox box = CellWordsBox(cell, layout);
    TextStyle style;
    style.colour = WordsColour(CellColour(cell.id, cell.state), cell.state);
    style.align = layout.place == WordsPlace::Left ? TextAlign::Left : TextAlign::Centre;
    style.underline = cell.state == STATE_HOVER;
    style.bold = cell.state == STATE_PRESSED;
    if (cell.state == STATE_PRESSED) {
        // Pushed in: the words sit lower and to the right, inside their box still.
        constexpr int32_t SHIFT = 3;
        box.x += SHIFT;
        box.width -= SHIFT;
        box.y += SHIFT;
        box.height -= SHIFT;
    }
    style.pixel_height = std::min(layout.pixel_height, box.height * 4 / 5);
    const std::string line = WordsIn(words, language);
    if (!line.empty())
        DrawText(sheet, box, line, style);
}

void EraseTags(AkbPicture& sheet, const std::vector<SheetCell>& cells)
{
    for (const SheetCell& cell : cells)
        EraseTag(sheet, cell);
}

void DrawCellsWords(AkbPicture& sheet, const std::vector<SheetCell>& cells, const CellWordsLookup& words,
                    WordsLanguage language, const WordsLayout& layout)
{
    for (size_t i = 0; i < cells.size(); ++i) {
        const SheetCell& cell = cells[i];
        // A later cell over the same rectangle replaced this one on the sheet.
        const bool covered = std::any_of(cells.begin() + static_cast<std::ptrdiff_t>(i) + 1, cells.end(),
                                         [&](const SheetCell& later) {
                                             return later.x == cell.x && later.y == cell.y &&
                                                    later.width == cell.width && later.height == cell.height;
                                         });
        const CellWords found = words(cell);
        if (!covered && (!found.japanese.empty() || !found.english.empty()))
            DrawCellWords(sheet, cell, found, language, layout);
    }
}

AkbPicture WordedSheet(int32_t width, int32_t height, const std::vector<SheetCell>& cells,
                       const CellWordsLookup& words, WordsLanguage language, const WordsLayout& layout)
{
    AkbPicture sheet = BuildSheet(width, height, cells);
    EraseTags(sheet, cells);
    DrawCellsWords(sheet, cells, words, language, layout);
    return sheet;
}

} // namespace tools
