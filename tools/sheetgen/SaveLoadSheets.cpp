#include "sheetgen/SaveLoadSheets.h"

#include "screens/system/SaveLoadLayout.h"

using namespace saveload_layout;

namespace tools {

std::vector<SheetCell> SaveLoadSheetCells()
{
    std::vector<SheetCell> cells;
    for (int32_t k = 0; k < ROW_PICTURES; ++k)
        cells.push_back({0, ROW_HEIGHT * k, ROW_WIDTH, ROW_HEIGHT,
                         SAVELOAD_CELL_ROW + static_cast<uint32_t>(k), 0, "ROW" + std::to_string(k)});
    for (int32_t state = 0; state < 4; ++state) {
        const std::string s = std::to_string(state);
        cells.push_back({SHEET_DELETE_X, DELETE_HEIGHT * state, DELETE_WIDTH, DELETE_HEIGHT,
                         static_cast<uint32_t>(ID_DELETE), state, "DEL" + s});
        cells.push_back({SHEET_DELETE_ALL_X, DELETE_HEIGHT * state, DELETE_WIDTH, DELETE_HEIGHT,
                         static_cast<uint32_t>(ID_DELETE_ALL), state, "ALL" + s});
        cells.push_back({SHEET_SAVE_TAB_X, TAB_SIZE * state, TAB_SIZE, TAB_SIZE,
                         static_cast<uint32_t>(ID_SAVE_TAB), state, "SAVE" + s});
        cells.push_back({SHEET_LOAD_TAB_X, TAB_SIZE * state, TAB_SIZE, TAB_SIZE,
                         static_cast<uint32_t>(ID_LOAD_TAB), state, "LOAD" + s});
        cells.push_back({SHEET_CLOSE_X, TAB_SIZE * state, TAB_SIZE, TAB_SIZE, static_cast<uint32_t>(ID_CLOSE),
                         state, "CLOSE" + s});
        cells.push_back({SHEET_ARROW_UP_X, SHEET_ARROW_Y + ARROW_HEIGHT * state, ARROW_WIDTH, ARROW_HEIGHT,
                         static_cast<uint32_t>(ID_SCROLL_UP), state, "U" + s});
        cells.push_back({SHEET_ARROW_DOWN_X, SHEET_ARROW_Y + ARROW_HEIGHT * state, ARROW_WIDTH, ARROW_HEIGHT,
                         static_cast<uint32_t>(ID_SCROLL_DOWN), state, "D" + s});
        for (int32_t group = 0; group < 3; ++group)
            cells.push_back({SHEET_GROUP_TAB_X + GROUP_TAB_WIDTH * group,
                             SHEET_GROUP_TAB_Y + GROUP_TAB_HEIGHT * state, GROUP_TAB_WIDTH, GROUP_TAB_HEIGHT,
                             static_cast<uint32_t>(ID_GROUP_TAB + group), state,
                             "G" + std::to_string(group) + "-" + s});
        if (state < 3)
            cells.push_back({SHEET_KNOB_X + TRACK_WIDTH * state, 0, TRACK_WIDTH, TRACK_LENGTH,
                             static_cast<uint32_t>(ID_KNOB), state, "K" + s});
    }
    for (int32_t i = 0; i < 12; ++i) {
        if (i < 10) {
            cells.push_back({SLOT_DIGIT_WIDTH * i, SHEET_SLOT_DIGIT_Y, SLOT_DIGIT_WIDTH, SLOT_DIGIT_HEIGHT,
                             SAVELOAD_CELL_SLOT_DIGIT + static_cast<uint32_t>(i), 0, ""});
        }
        cells.push_back({LARGE_WIDTH * i, SHEET_LARGE_Y, LARGE_WIDTH, LARGE_HEIGHT,
                         SAVELOAD_CELL_LARGE + static_cast<uint32_t>(i), 0, ""});
        cells.push_back({SMALL_WIDTH * i, SHEET_SMALL_Y, SMALL_WIDTH, SMALL_HEIGHT,
                         SAVELOAD_CELL_SMALL + static_cast<uint32_t>(i), 0, ""});
    }
    cells.push_back({SHEET_COMMA_X, SHEET_COMMA_Y, COMMA_WIDTH, COMMA_HEIGHT, SAVELOAD_CELL_COMMA, 0, ""});
    for (int32_t day = 0; day < WEEKDAY_COUNT; ++day)
        cells.push_back({WEEKDAY_WIDTH * day, SHEET_WEEKDAY_Y, WEEKDAY_WIDTH, LARGE_HEIGHT,
                         SAVELOAD_CELL_WEEKDAY + static_cast<uint32_t>(day), 0, "W" + std::to_string(day)});
    for (int32_t mark = 0; mark < 2; ++mark)
        cells.push_back({SHEET_MARK_X + MARK_WIDTH * mark, SHEET_WEEKDAY_Y, MARK_WIDTH, LARGE_HEIGHT,
                         SAVELOAD_CELL_MARK + static_cast<uint32_t>(mark), 0, mark == 0 ? "AM" : "PM"});
    cells.push_back(
        {SHEET_CURRENCY_X, SHEET_WEEKDAY_Y, CURRENCY_WIDTH, LARGE_HEIGHT, SAVELOAD_CELL_CURRENCY, 0, ""});
    return cells;
}

AkbPicture BuildSaveLoadSheet()
{
    return BuildSheet(SHEET_WIDTH, SHEET_HEIGHT, SaveLoadSheetCells());
}

AkbPicture BuildSaveLoadBackground(int32_t language)
{
    return BuildSheet(1920, 1080, {{0, 0, 1920, 1080, SAVELOAD_CELL_BACKGROUND, language, "BACKGROUND"}});
}

std::vector<AreaRecord> SaveLoadAreas()
{
    std::vector<AreaRecord> areas;
    const auto add = [&](int32_t id, int32_t x, int32_t y, int32_t w, int32_t h) {
        areas.push_back({static_cast<uint32_t>(id), x, y, x + w, y + h});
    };
    for (int32_t row = 0; row < ROWS; ++row)
        add(ID_DELETE + row, DELETE_X, DELETE_Y + ROW_HEIGHT * row, DELETE_WIDTH, DELETE_HEIGHT);
    add(ID_SAVE_TAB, TAB_X, SAVE_TAB_Y, TAB_SIZE, TAB_SIZE);
    add(ID_LOAD_TAB, TAB_X, LOAD_TAB_Y, TAB_SIZE, TAB_SIZE);
    add(ID_DELETE_ALL, DELETE_ALL_X, DELETE_ALL_Y, DELETE_WIDTH, DELETE_HEIGHT);
    add(ID_CLOSE, CLOSE_X, CLOSE_Y, TAB_SIZE, TAB_SIZE);
    add(ID_SCROLL_UP, ARROW_X, ARROW_UP_Y, ARROW_WIDTH, ARROW_HEIGHT);
    add(ID_SCROLL_DOWN, ARROW_X, ARROW_DOWN_Y, ARROW_WIDTH, ARROW_HEIGHT);
    add(ID_KNOB, TRACK_X, TRACK_TOP, TRACK_WIDTH, TRACK_LENGTH);
    for (int32_t group = 0; group < 3; ++group)
        add(ID_GROUP_TAB + group, GROUP_TAB_X + GROUP_TAB_STEP * group, GROUP_TAB_Y, GROUP_TAB_WIDTH,
            GROUP_TAB_HEIGHT);
    for (int32_t row = 0; row < ROWS; ++row)
        add(ID_ROW + row, LIST_X, LIST_Y + ROW_HEIGHT * row, ROW_WIDTH, ROW_HEIGHT);
    return areas;
}

std::vector<AreaRecord> SaveNoteAreas()
{
    // Inside the note's window at (520, 375).
    return {{0x000, 520 + 198, 375 + 170, 520 + 198 + 222, 375 + 170 + 73},
            {0x001, 520 + 459, 375 + 170, 520 + 459 + 222, 375 + 170 + 73},
            {0x100, 520 + 507, 375 + 249, 520 + 507 + 44, 375 + 249 + 44},
            {0x200, 520 + 636, 375 + 105, 520 + 636 + 54, 375 + 105 + 54}};
}

std::vector<std::string> SaveLoadSheetNames()
{
    return {"saveload_p_en.akb", "saveload_p_ch.akb", "saveload_p_tw.akb", "saveload_p.akb"};
}

std::vector<std::string> SaveLoadBackgroundNames()
{
    return {"saveload_bg_en.akb", "saveload_bg_ch.akb", "saveload_bg_tw.akb", "saveload_bg.akb"};
}

} // namespace tools
