#pragma once
// The save and load screen's pictures and areas for tests and the demo: the parts sheet
// "saveload_p.akb" (every button's state column with its control id, the row pictures and the
// glyph strips, coloured by SheetGenerator's code), a background of one colour per language,
// "saveload.area", and the save note's "savenote.area".

#include <cstdint>
#include <string>
#include <vector>

#include "akbwriter/AkbWriter.h"
#include "areawriter/AreaWriter.h"
#include "sheetgen/SheetGenerator.h"

namespace tools {

// Cell ids of the pieces that are not controls.
// The rows stand apart from the background in colour as well as in place.
inline constexpr uint32_t SAVELOAD_CELL_ROW = 0x3050;        // + row picture (0-8)
inline constexpr uint32_t SAVELOAD_CELL_SLOT_DIGIT = 0x2D30; // + digit
inline constexpr uint32_t SAVELOAD_CELL_SMALL = 0x2D40;      // + digit, 10 "/", 11 ":"
inline constexpr uint32_t SAVELOAD_CELL_LARGE = 0x2E30;      // + digit, 10 "/", 11 ":"
inline constexpr uint32_t SAVELOAD_CELL_COMMA = 0x2E40;
inline constexpr uint32_t SAVELOAD_CELL_WEEKDAY = 0x2E48; // + weekday
inline constexpr uint32_t SAVELOAD_CELL_MARK = 0x2E50;    // + 0 first half of the day, 1 second
inline constexpr uint32_t SAVELOAD_CELL_CURRENCY = 0x2E52;
inline constexpr uint32_t SAVELOAD_CELL_BACKGROUND = 0x2F30; // state = language index

std::vector<SheetCell> SaveLoadSheetCells();
AkbPicture BuildSaveLoadSheet();
// The background of a language (0 English, 1 and 2 Chinese, 3 Japanese).
AkbPicture BuildSaveLoadBackground(int32_t language);
std::vector<AreaRecord> SaveLoadAreas();
std::vector<AreaRecord> SaveNoteAreas();
// The picture names of the language variants in language order, the unsuffixed last.
std::vector<std::string> SaveLoadSheetNames();
std::vector<std::string> SaveLoadBackgroundNames();

} // namespace tools
