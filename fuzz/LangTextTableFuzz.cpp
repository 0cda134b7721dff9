// A ".map" language table: its pairs taken, then every id it names looked up and its text laid out
// as the screens lay table texts out.
#include <vector>

#include "FuzzTargets.h"
#include "foundation/CLangTextTable.h"
#include "foundation/LineBreakRules.h"
#include "foundation/TextLayout.h"
#include "foundation/WrappedTextLayout.h"

namespace {

void LayOut(const CLangTextTable& table, int id)
{
    const CStringUTF8 text = table.GetText(id, 2);
    LayOutWrappedText(text, RECT{90, 20, 1102, 60}, 40, 20, nullptr);
    int32_t x = 0, y = 0, hang = 0;
    for (int32_t k = 0; k < text.GetCharCount(); ++k)
        ApplyLineBreakRules(text.CharAt(k), x, y, 20, 30, LineBreakBox{0, 0, 200, 400}, 1, hang);
    const char16_t* units = table.GetTextPtr(id);
    std::vector<char16_t> pieces;
    MeasureTextWidth(units);
    SplitTextSimplifiedChinese(units, pieces, TextArea{0, 0, 200, 400, 30, 20});
    SplitTextPlain(units, pieces);
    LONG pen_x = 0, pen_y = 0;
    bool hanging = false;
    for (char16_t unit : pieces)
        WrapTextLine(unit, pen_x, pen_y, 20, 30, RECT{0, 0, 200, 400}, hanging);
}

} // namespace

int FuzzLangTextTable(const uint8_t* data, size_t size)
{
    CLangTextTable table;
    table.AddEntries(std::span(data, size), 2);
    for (size_t pair = 0; pair < 16 && 12 + 8 * pair <= size; ++pair) {
        const size_t at = 4 + 8 * pair;
        const auto id = static_cast<int>(data[at] | (data[at + 1] << 8) | (data[at + 2] << 16) |
                                         (static_cast<uint32_t>(data[at + 3]) << 24));
        LayOut(table, id);
    }
    table.GetTextPtr(0);
    return 0;
}
