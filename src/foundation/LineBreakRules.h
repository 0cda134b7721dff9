#pragma once
// The one line-start table of every text layout, and the rule that places a character after the
// pen has advanced: wrapping at the edge of the text rectangle, closing marks that hang past the
// line end instead of starting a line, opening marks that hang one character before the margin,
// and Latin words that move to the next line whole. Story text (UTF-8) and language-table texts
// (UTF-16) meet the same table: a UTF-8 character is turned into its UTF-16 unit at the call.
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

// The closing punctuation that must not start a line.
bool IsLineStartForbidden(char16_t unit);
// The opening marks that may hang before the margin when they begin a line.
bool IsLineStartHanging(char16_t unit);
// The UTF-16 unit of a one-character UTF-8 text; 0 for anything else (no mark is 0).
char16_t LineBreakUnitOf(const CStringUTF8& character);

// Horizontal text: w is the character width, h the line height. start 1 lets opening marks hang
// before the margin.
void ApplyLineBreakRules(char16_t unit, int32_t& x, int32_t& y, int32_t w, int32_t h, const LineBreakBox& box,
                         int32_t start, int32_t& hang_flag);
void ApplyLineBreakRules(const CStringUTF8& character, int32_t& x, int32_t& y, int32_t w, int32_t h,
                         const LineBreakBox& box, int32_t start, int32_t& hang_flag);
// Vertical text, columns from right to left: w is the column width, h the character height.
void ApplyLineBreakRulesVertical(const CStringUTF8& character, int32_t& x, int32_t& y, int32_t w, int32_t h,
                                 const LineBreakBox& box, int32_t start, int32_t& hang_flag);

// How half-width characters meet the right edge: wrapped like any other, or never (they run on
// past it, and only a Latin word that would cross the edge moves down).
enum class HalfWidthWrap
{
    AtEdge,
    Never
};

// The grid of a horizontal text: its rectangle, the advances of a half-width and a full-width
// character, and the line height.
struct TextGrid
{
    LineBreakBox Box;
    int32_t HalfAdvance = 0;
    int32_t FullAdvance = 0;
    int32_t LineHeight = 0;
    HalfWidthWrap HalfWidth = HalfWidthWrap::AtEdge;
};

// The one placement of a horizontal text, shared by the page's typesetter and the message window
// that reveals the page cell by cell: moves the pen (x, y), standing after the previous character,
// to where the character at byte offset of the text is drawn. A Latin word that would cross the
// right edge starts the next line, a space at the line end stays there, and the line-break rules
// place the rest with opening marks allowed to hang. The caller draws, then advances the pen.
void PlaceTextCharacter(const CStringUTF8& text, size_t offset, bool full_width, int32_t& x, int32_t& y,
                        int32_t& hang_flag, const TextGrid& grid);

// Latin text breaks between words. The half-width letters of the word that begins at byte offset
// of the text (after a space), up to the next space, line feed, backslash (the tables write a line
// break as a backslash and an n) or full-width character; 0 when no word begins there.
int32_t WordLettersAt(const CStringUTF8& text, size_t offset);
// The same on display units of a language-table text ("\" starts a markup pair).
int32_t WordLettersAt(const char16_t* units, size_t count, size_t index);
// True when a word of that many letters, each advancing letter_width, begun at x would cross the
// right edge but fits a line of its own: it then starts the next line. A longer word is cut at the
// edge as any other text.
bool BreaksBeforeWord(int32_t x, int32_t letters, int32_t letter_width, const LineBreakBox& box);
