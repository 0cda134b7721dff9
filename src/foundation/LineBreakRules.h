#pragma once
// The one line-start table of every text layout, and the rule that places a character after the
// pen has advanced: wrapping at the edge of the text rectangle, closing marks that hang past the
// line end instead of starting a line, and opening marks that hang one character before the
// margin. Text is laid out character by character: a Latin word reaching the edge is cut there as
// any other text. Story text (UTF-8) and language-table texts (UTF-16) meet the same table, each
// with its own list of closing marks: a UTF-8 character is turned into its UTF-16 unit at the call.
// The hang flag belongs to the text-drawing object that calls the rule (0 at the start of a
// text); the rule reads and writes it. Any thread, no state of its own.

#include <cstddef>
#include <cstdint>

#include "foundation/CStringUTF8.h"

// a + b in 32 bits, wrapping as the script values do, never overflowing.
constexpr int32_t AddWrapped(int32_t a, int64_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(a + b)));
}

struct LineBreakBox
{
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
};

// The closing marks that must not start a line: story text knows sixteen, the language tables'
// texts the full-width comma too.
enum class ClosingMarks
{
    Story,
    TableText
};
bool IsLineStartForbidden(char16_t unit, ClosingMarks marks);
// The opening marks that may hang before the margin when they begin a line.
bool IsLineStartHanging(char16_t unit);
// The UTF-16 unit of a one-character UTF-8 text; 0 for anything else (no mark is 0).
char16_t LineBreakUnitOf(const CStringUTF8& character);

// Horizontal text: w is the character width, h the line height. start 1 lets opening marks hang
// before the margin.
void ApplyLineBreakRules(char16_t unit, int32_t& x, int32_t& y, int32_t w, int32_t h, const LineBreakBox& box,
                         int32_t start, int32_t& hang_flag, ClosingMarks marks);
// Story text.
void ApplyLineBreakRules(const CStringUTF8& character, int32_t& x, int32_t& y, int32_t w, int32_t h,
                         const LineBreakBox& box, int32_t start, int32_t& hang_flag);
// Vertical text, columns from right to left: w is the column width, h the character height.
void ApplyLineBreakRulesVertical(const CStringUTF8& character, int32_t& x, int32_t& y, int32_t w, int32_t h,
                                 const LineBreakBox& box, int32_t start, int32_t& hang_flag);
