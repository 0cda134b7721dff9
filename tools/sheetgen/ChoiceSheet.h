#pragma once
// The choice window's sheet "sel_p.akb" for tests and the demo: the plate's left cap, middle and
// right cap in three state rows, the two page arrows in three states and the two game-mode icons,
// at the places the window copies them from, each cell coloured by SheetGenerator's code.

#include <cstdint>
#include <vector>

#include "akbwriter/AkbWriter.h"
#include "sheetgen/SheetGenerator.h"

namespace tools {

inline constexpr int32_t CHOICE_SHEET_WIDTH = 789;
inline constexpr int32_t CHOICE_SHEET_HEIGHT = 636;
// Cell ids; the arrows carry the window's own ids 8 and 9. The plate's code colours are a dark
// slate, as the side menu's panel, so the white words of the choices read on it.
inline constexpr uint32_t CHOICE_CELL_LEFT = 0x1C38;
inline constexpr uint32_t CHOICE_CELL_MIDDLE = 0x1C39;
inline constexpr uint32_t CHOICE_CELL_RIGHT = 0x1C3A;
inline constexpr uint32_t CHOICE_CELL_PREV = 8;
inline constexpr uint32_t CHOICE_CELL_NEXT = 9;
inline constexpr uint32_t CHOICE_CELL_ICON = 0x1C3C; // + the choice's flag byte (2 or 3)

std::vector<SheetCell> ChoiceSheetCells();
AkbPicture BuildChoiceSheet();

} // namespace tools
