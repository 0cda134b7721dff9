#include "foundation/TextLayout.h"

namespace {

bool IsMarkup(const char16_t* text, char16_t letter)
{
    return text[0] == u'\\' && text[1] == letter;
}

bool IsAnyMarkup(const char16_t* text)
{
    return IsMarkup(text, u'n') || IsMarkup(text, u'i') || IsMarkup(text, u'r');
}

void AppendLineBreak(std::vector<char16_t>& output)
{
    output.push_back(u'\\');
    output.push_back(u'n');
}

} // namespace

int TextUnitWidth(char16_t unit)
{
    return unit < 0x100 || unit == 0x2014 ? 1 : 2;
}

int MeasureTextWidth(const char16_t* text)
{
    int width = 0;
    bool no_width = false;
    for (const char16_t* p = text; *p != 0;) {
        if (IsMarkup(p, u'i') || IsMarkup(p, u'n')) {
            p += 2;
        } else if (IsMarkup(p, u'r')) {
            no_width = !no_width;
            p += 2;
        } else {
            if (!no_width)
                width += TextUnitWidth(*p);
            ++p;
        }
    }
    return width;
}

int CopyTextWord(const char16_t* text, std::vector<char16_t>& output)
{
    int consumed = 0;
    while (text[consumed] != 0 && text[consumed] != NAME_MARK && !IsAnyMarkup(text + consumed)) {
        const char16_t unit = text[consumed++];
        output.push_back(unit);
        if (unit == u' ')
            break;
    }
    return consumed;
}

int SplitTextPlain(const char16_t* text, std::vector<char16_t>& output)
{
    output.clear();
    int count = 0;
    bool no_width = false;
    for (const char16_t* p = text; *p != 0;) {
        if (IsMarkup(p, u'r')) {
            no_width = !no_width;
            p += 2;
        } else if (IsMarkup(p, u'n') || IsMarkup(p, u'i')) {
            if (!no_width) {
                output.insert(output.end(), p, p + 2);
                count += 2;
            }
            p += 2;
        } else {
            if (!no_width) {
                output.push_back(*p);
                ++count;
            }
            ++p;
        }
    }
    return count;
}

int SplitTextSimplifiedChinese(const char16_t* text, std::vector<char16_t>& output, const TextArea& area)
{
    output.clear();
    const int advance = area.font_size / 2;
    int x = area.left;
    int y = area.top;
    int count = 0;
    bool no_width = false;
    std::vector<char16_t> word;
    for (const char16_t* p = text; *p != 0;) {
        if (IsMarkup(p, u'r')) {
            no_width = !no_width;
            p += 2;
            continue;
        }
        if (no_width) {
            p += IsMarkup(p, u'n') || IsMarkup(p, u'i') ? 2 : 1;
            continue;
        }
        if (IsMarkup(p, u'n')) {
            AppendLineBreak(output);
            count += 2;
            x = area.left;
            y += area.line_height;
            p += 2;
            continue;
        }
        if (IsMarkup(p, u'i')) {
            output.insert(output.end(), p, p + 2);
            count += 2;
            p += 2;
            continue;
        }
        if (*p == NAME_MARK) {
            output.push_back(NAME_MARK);
            ++count;
            ++p;
            continue;
        }
        word.clear();
        const int length = CopyTextWord(p, word);
        p += length;
        const int fitted_length = word.back() == u' ' ? length - 1 : length;
        if (area.right <= x + advance * fitted_length) {
            AppendLineBreak(output);
            count += 2;
            x = area.left;
            y += area.line_height;
        }
        output.insert(output.end(), word.begin(), word.end());
        count += length;
        x += advance * length;
        if (area.right <= x) {
            AppendLineBreak(output);
            count += 2;
            x = area.left;
            y += area.line_height;
            if (area.bottom <= y + area.line_height)
                break;
        }
    }
    return count;
}

void WrapTextLine(char16_t unit, LONG& pen_x, LONG& pen_y, LONG advance, LONG line_height, const RECT& box,
                  bool& hanging)
{
    int32_t hang_flag = hanging ? 1 : 0;
    ApplyLineBreakRules(unit, pen_x, pen_y, advance, line_height,
                        LineBreakBox{box.left, box.top, box.right, box.bottom}, 0, hang_flag,
                        ClosingMarks::TableText);
    hanging = hang_flag != 0;
}
