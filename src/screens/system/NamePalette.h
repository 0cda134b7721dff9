#pragma once
// What the name entry's three palette pages offer: 12 rows of 18 cells each, U+3000 a blank cell
// (the ASCII space in the half-width twins of the letters page). Pure data; any thread.

#include <cstdint>
#include <vector>

#include "foundation/CStringUTF8.h"

inline constexpr int32_t PALETTE_COLUMNS = 18;
inline constexpr int32_t PALETTE_SCREEN_ROWS = 12;
// The first kanji row of each jump button's reading (あ か さ た な は ま や ら わ).
inline constexpr int32_t KANJI_JUMP_ROWS[10] = {0, 14, 58, 104, 129, 136, 160, 167, 173, 184};
// The last top row that fills all twelve rows of the kanji page.
inline constexpr int32_t KANJI_LAST_FULL_TOP = 174;

// Language index 1 (simplified Chinese) takes half-width letters and has no kana or kanji page.
inline constexpr int32_t PALETTE_HALF_WIDTH_LANGUAGE = 1;

std::vector<CStringUTF8> KanaPaletteRows();
// Rows 0 to 6 (0 to 5 in language 1) hold letters, digits and symbols; the others are empty.
std::vector<CStringUTF8> LetterPaletteRows(int32_t language);
// The half-width letters entered in language 1, cell for cell under that language's rows.
std::vector<CStringUTF8> HalfLetterPaletteRows();
// The 186 kanji rows.
std::vector<CStringUTF8> KanjiPaletteRows();
// The reading label of a kanji row that starts a group, or null.
const char* KanjiGroupReading(int32_t row);

// The characters of a UTF-8 text as code points, and back.
std::u32string ToCodePoints(const CStringUTF8& text);
CStringUTF8 FromCodePoints(const std::u32string& text);
