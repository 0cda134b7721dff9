#include "sheetgen/ChoiceSheet.h"

namespace tools {

std::vector<SheetCell> ChoiceSheetCells()
{
    std::vector<SheetCell> cells;
    for (int32_t state = 0; state < 3; ++state) {
        const int32_t y = 108 * state;
        const std::string s = std::to_string(state);
        cells.push_back({0, y, 70, 108, CHOICE_CELL_LEFT, state, "L" + s});
        cells.push_back({70, y, 109, 108, CHOICE_CELL_MIDDLE, state, "M" + s});
        cells.push_back({719, y, 70, 108, CHOICE_CELL_RIGHT, state, "R" + s});
        cells.push_back({0, 324 + 52 * state, 406, 52, CHOICE_CELL_PREV, state, "PREV" + s});
        cells.push_back({0, 480 + 52 * state, 406, 52, CHOICE_CELL_NEXT, state, "NEXT" + s});
    }
    cells.push_back({406, 504, 109, 90, CHOICE_CELL_ICON + 2, 0, "I2"});
    cells.push_back({406, 414, 109, 90, CHOICE_CELL_ICON + 3, 0, "I3"});
    return cells;
}

AkbPicture BuildChoiceSheet()
{
    return BuildSheet(CHOICE_SHEET_WIDTH, CHOICE_SHEET_HEIGHT, ChoiceSheetCells());
}

} // namespace tools
