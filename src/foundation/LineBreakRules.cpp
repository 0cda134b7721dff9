#include "foundation/LineBreakRules.h"

#include <algorithm>
#include <array>
#include <string>

namespace {

// Compared in this order. Story text lets a full-width comma start a line; the tables' texts do not.
constexpr std::array<char16_t, 16> STORY_LINE_START_FORBIDDEN = {u'）', u'〕', u'］', u'｝', u'〉', u'》',
                                                                 u'」', u'』', u'】', u'。', u'、', u'・',
                                                                 u'？', u'！', u'”',  u'’'};
constexpr std::array<char16_t, 17> TABLE_LINE_START_FORBIDDEN = {u'）', u'〕', u'］', u'｝', u'〉', u'》',
                                                                 u'」', u'』', u'，', u'】', u'。', u'、',
                                                                 u'・', u'？', u'！', u'”',  u'’'};

// The middle dot stands in both lists; the opening quotation mark stands in neither.
constexpr std::array<char16_t, 10> LINE_START_HANGING = {u'（', u'〔', u'［', u'｛', u'〈',
                                                         u'《', u'「', u'『', u'【', u'・'};

template <size_t N>
bool IsMark(char16_t unit, const std::array<char16_t, N>& marks)
{
    return unit != 0 && std::find(marks.begin(), marks.end(), unit) != marks.end();
}

bool IsContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// One rule for both directions: `along` runs with the text (x across a line, y down a column),
// `across` steps from line to line.
void ApplyRules(char16_t unit, int32_t& along, int32_t& across, int32_t advance, int64_t step,
                int32_t line_start, int32_t line_end, int32_t start, int32_t& hang_flag, ClosingMarks marks)
{
    if (line_end <= along) {
        if (hang_flag == 0 && IsLineStartForbidden(unit, marks)) {
            if (int64_t{along} == int64_t{line_end} + advance)
                hang_flag = 1;
            return;
        }
        along = line_start;
        across = AddWrapped(across, step);
        hang_flag = 0;
    }
    if (start == 1 && along == line_start) {
        if (hang_flag == 0 && IsMark(unit, LINE_START_HANGING)) {
            along = AddWrapped(line_start, -int64_t{advance});
            hang_flag = 1;
            return;
        }
        hang_flag = 0;
    }
}

} // namespace

bool IsLineStartForbidden(char16_t unit, ClosingMarks marks)
{
    return marks == ClosingMarks::Story ? IsMark(unit, STORY_LINE_START_FORBIDDEN)
                                        : IsMark(unit, TABLE_LINE_START_FORBIDDEN);
}

bool IsLineStartHanging(char16_t unit)
{
    return IsMark(unit, LINE_START_HANGING);
}

char16_t LineBreakUnitOf(const CStringUTF8& character)
{
    const std::string& bytes = character.GetStdString();
    const auto byte = [&bytes](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.size() == 1 && byte(0) < 0x80)
        return byte(0);
    if (bytes.size() == 2 && (byte(0) & 0xE0) == 0xC0 && IsContinuation(byte(1))) {
        const char16_t unit = static_cast<char16_t>((byte(0) & 0x1F) << 6 | (byte(1) & 0x3F));
        return unit >= 0x80 ? unit : 0;
    }
    if (bytes.size() == 3 && (byte(0) & 0xF0) == 0xE0 && IsContinuation(byte(1)) && IsContinuation(byte(2))) {
        const char16_t unit =
            static_cast<char16_t>((byte(0) & 0x0F) << 12 | (byte(1) & 0x3F) << 6 | (byte(2) & 0x3F));
        const bool surrogate = unit >= 0xD800 && unit <= 0xDFFF;
        return unit >= 0x800 && !surrogate ? unit : 0;
    }
    return 0;
}

void ApplyLineBreakRules(char16_t unit, int32_t& x, int32_t& y, int32_t w, int32_t h, const LineBreakBox& box,
                         int32_t start, int32_t& hang_flag, ClosingMarks marks)
{
    ApplyRules(unit, x, y, w, h, box.Left, box.Right, start, hang_flag, marks);
}

void ApplyLineBreakRules(const CStringUTF8& character, int32_t& x, int32_t& y, int32_t w, int32_t h,
                         const LineBreakBox& box, int32_t start, int32_t& hang_flag)
{
    ApplyRules(LineBreakUnitOf(character), x, y, w, h, box.Left, box.Right, start, hang_flag,
               ClosingMarks::Story);
}

void ApplyLineBreakRulesVertical(const CStringUTF8& character, int32_t& x, int32_t& y, int32_t w, int32_t h,
                                 const LineBreakBox& box, int32_t start, int32_t& hang_flag)
{
    // The next column lies to the left.
    ApplyRules(LineBreakUnitOf(character), y, x, h, -int64_t{w}, box.Top, box.Bottom, start, hang_flag,
               ClosingMarks::Story);
}
