#pragma once
// The words a player reads on the sheets' cells: each control's name in the game's four languages,
// drawn over its cell in place of the cell's small tag, with the state shown by the words' style
// (hover underlined, pressed shifted, disabled dimmed). The cell's colour stays wherever the
// words leave it, so frame checks keep reading the cell there.

#include <functional>
#include <string>
#include <vector>

#include "sheetgen/SheetGenerator.h"
#include "textpaint/LanguageWords.h"
#include "textpaint/TextPainter.h"

namespace tools {

enum class WordsPlace
{
    Centre, // across the whole cell
    Left,   // from the cell's left edge, in its left two fifths
    Top,    // in a band along the cell's top
    Bottom, // in a band along the cell's bottom
};

struct WordsLayout
{
    WordsPlace place = WordsPlace::Centre;
    int32_t pixel_height = 26; // the em at 1920 x 1080
};

// Words for a cell, or none (both empty) to leave it as it is.
using CellWordsLookup = std::function<CellWords(const SheetCell&)>;

// The words' colour on a cell: dark on a light cell, light on a dark one; the disabled state's
// nearer the cell's own colour.
uint32_t WordsColour(uint32_t cell_colour, int32_t state);

// The box the words of a cell take; tests read the cell's colour outside it.
TextBox CellWordsBox(const SheetCell& cell, const WordsLayout& layout);

// Clears the small tags BuildSheet wrote in the cells' corners.
void EraseTags(AkbPicture& sheet, const std::vector<SheetCell>& cells);

void DrawCellWords(AkbPicture& sheet, const SheetCell& cell, const CellWords& words, WordsLanguage language,
                   const WordsLayout& layout);
void DrawCellsWords(AkbPicture& sheet, const std::vector<SheetCell>& cells, const CellWordsLookup& words,
                    WordsLanguage language, const WordsLayout& layout);

// The days of the week from Sunday, as the plate and the save slots write them.
const CellWords& WeekdayWords(int32_t day);

// A sheet of the cells without their tags, each worded cell with its words.
AkbPicture WordedSheet(int32_t width, int32_t height, const std::vector<SheetCell>& cells,
                       const CellWordsLookup& words, WordsLanguage language, const WordsLayout& layout);

} // namespace tools
