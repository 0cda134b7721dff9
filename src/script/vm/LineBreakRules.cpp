#include "script/vm/LineBreakRules.h"

#include <array>
#include <string_view>

namespace {

constexpr std::array<std::string_view, 16> LineStartForbiddenMarks = {
    "）", "〕", "］", "｝", "〉", "》", "」", "』", "】", "。", "、", "・", "？", "！", "”", "’"};

// The middle dot stands in both lists; the opening quotation mark stands in neither.
constexpr std::array<std::string_view, 10> LineStartHangingMarks = {"（", "〔", "［", "｛", "〈",
                                                                    "《", "「", "『", "【", "・"};

template <size_t N>
bool IsMark(const CStringUTF8& character, const std::array<std::string_view, N>& marks)
{
    const std::string_view text(character.GetText());
    for (std::string_view mark : marks) {
        if (text == mark)
            return true;
    }
    return false;
}

// One rule for both directions: `along` runs with the text (x across a line, y down a column),
// `across` steps from line to line.
void ApplyRules(const CStringUTF8& character, int32_t& along, int32_t& across, int32_t advance, int64_t step,
                int32_t line_start, int32_t line_end, int32_t start, int32_t& hang_flag)
{
    if (line_end <= along) {
        if (hang_flag == 0 && IsMark(character, LineStartForbiddenMarks)) {
            if (int64_t{along} == int64_t{line_end} + advance)
                hang_flag = 1;
            return;
        }
        along = line_start;
        across = AddWrapped(across, step);
        hang_flag = 0;
    }
    if (start == 1 && along == line_start) {
        if (hang_flag == 0 && IsMark(character, LineStartHangingMarks)) {
            along = AddWrapped(line_start, -int64_t{advance});
            hang_flag = 1;
            return;
        }
        hang_flag = 0;
    }
}

} // namespace

void ApplyLineBreakRules(const CStringUTF8& character, int32_t& x, int32_t& y, int32_t w, int32_t h,
                         const LineBreakBox& box, int32_t start, int32_t& hang_flag)
{
    ApplyRules(character, x, y, w, h, box.Left, box.Right, start, hang_flag);
}

void ApplyLineBreakRulesVertical(const CStringUTF8& character, int32_t& x, int32_t& y, int32_t w, int32_t h,
                                 const LineBreakBox& box, int32_t start, int32_t& hang_flag)
{
    // The next column lies to the left.
    ApplyRules(character, y, x, h, -int64_t{w}, box.Top, box.Bottom, start, hang_flag);
}
