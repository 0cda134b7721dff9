#pragma once
// Words in all four languages at once, for the questions and notices of a picture the game reads
// by its plain name in every language: each player finds their own language's words there, none
// depends on a mark's meaning to answer.

#include <string>
#include <vector>

#include "akbwriter/AkbWriter.h"
#include "textpaint/LanguageWords.h"
#include "textpaint/TextPainter.h"

namespace tools {

struct EveryLanguageLine
{
    std::string text;
    TextBox box; // the line's band: its ink stays inside
};

struct EveryLanguageLayout
{
    int32_t em = 0;
    std::vector<EveryLanguageLine> lines;
};

// The smallest em the layout uses; below it a line is hard to read.
inline constexpr int32_t EVERY_LANGUAGE_SMALLEST_EM = 14;

// The four languages' words as lines: Japanese and English each on its own and the two Chinese
// forms together (once when alike) while that keeps the em readable, else on fewer lines. The em is
// the largest up to the given one at which every line fits the box whole; the lines are centred in
// it. Throws std::logic_error when the words do not fit at the smallest em, or lack a language.
EveryLanguageLayout LayOutEveryLanguage(const CellWords& words, const TextBox& box, int32_t largest_em);

// Draws the laid-out words in the style given, whose pixel height is the largest em.
void DrawEveryLanguage(AkbPicture& picture, const CellWords& words, const TextBox& box, TextStyle style);

// The words on one line, for a small button: the mark, when there is one, then each language's
// words once.
std::string EveryLanguageOneLine(const CellWords& words);

} // namespace tools
