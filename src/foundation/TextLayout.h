#pragma once
// Layout rules for language-table texts, on UTF-16 units ended by a 0 unit: the markup ("\n" new
// line, "\i" kept without width, "\r" ... "\r" left out, U+FFAF the hero's name), widths in
// half-width units, splitting into the message window's display units with word wrapping for
// simplified Chinese, and the wrap of the message window's table texts, on the line-start rule of
// LineBreakRules.h.
// Stateless functions; the caller owns every buffer and the hanging flag.

#include <vector>

#include "foundation/LineBreakRules.h"
#include "platform/kernel/WinTypes.h"

inline constexpr char16_t NAME_MARK = 0xFFAF;

// The message text area in pixels, from the game state's text layout values.
struct TextArea
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int line_height = 0;
    int font_size = 0;
};

// 1 for a unit below 0x100 and for U+2014, 2 for every other unit.
int TextUnitWidth(char16_t unit);

// Width of the whole text: "\i" and "\n" add nothing, units between "\r" marks add nothing.
int MeasureTextWidth(const char16_t* text);

// Appends units up to the next name mark, "\i", "\n" or "\r" (none of them copied) or the end; a
// space is copied and ends the word. Returns the number of units consumed.
int CopyTextWord(const char16_t* text, std::vector<char16_t>& output);

// Display units of a text for every language but simplified Chinese: "\n" and "\i" kept as their
// two units, "\r" marks and the units between them dropped. Returns the count written.
int SplitTextPlain(const char16_t* text, std::vector<char16_t>& output);

// Display units of a simplified Chinese text with "\n" pairs inserted between words so that each
// line fits the area, every unit advancing half the font size; the text ends early when the next
// line would pass the area's bottom. Returns the count written.
int SplitTextSimplifiedChinese(const char16_t* text, std::vector<char16_t>& output, const TextArea& area);

// Called before each full-width unit is drawn at the pen: past the right edge the pen moves to the
// next line, except that one closing mark, and a second right behind it, may hang past the edge.
void WrapTextLine(char16_t unit, LONG& pen_x, LONG& pen_y, LONG advance, LONG line_height, const RECT& box,
                  bool& hanging);
