#pragma once
// Where the save and load screen's controls lie on the screen and where their pictures and glyph
// strips lie in the parts sheet "saveload_p.akb". Every button has a column of four state
// pictures (normal, hovered, pressed or current, disabled). Shared by the screen and the writers
// of its test sheet and area file.

#include <cstdint>

namespace saveload_layout {

inline constexpr int32_t ROWS = 7;
inline constexpr int32_t ROW_WIDTH = 1584;
inline constexpr int32_t ROW_HEIGHT = 123;
inline constexpr int32_t LIST_X = 24;
inline constexpr int32_t LIST_Y = 112;
inline constexpr int32_t LIST_HEIGHT = ROWS * ROW_HEIGHT;

// Control ids: group x 256 + item.
inline constexpr int32_t ID_DELETE = 0x000;     // + row
inline constexpr int32_t ID_SAVE_TAB = 0x100;
inline constexpr int32_t ID_LOAD_TAB = 0x101;
inline constexpr int32_t ID_DELETE_ALL = 0x200;
inline constexpr int32_t ID_CLOSE = 0x300;
inline constexpr int32_t ID_SCROLL_UP = 0x400;
inline constexpr int32_t ID_SCROLL_DOWN = 0x401;
inline constexpr int32_t ID_KNOB = 0x402;
inline constexpr int32_t ID_GROUP_TAB = 0x500; // + group
inline constexpr int32_t ID_ROW = 0x600;       // + row

// Places on the screen.
inline constexpr int32_t DELETE_X = 1482;
inline constexpr int32_t DELETE_Y = 124;
inline constexpr int32_t DELETE_WIDTH = 94;
inline constexpr int32_t DELETE_HEIGHT = 99;
inline constexpr int32_t TAB_X = 1721;
inline constexpr int32_t SAVE_TAB_Y = 400;
inline constexpr int32_t LOAD_TAB_Y = 576;
inline constexpr int32_t TAB_SIZE = 158;
inline constexpr int32_t DELETE_ALL_X = 1482;
inline constexpr int32_t DELETE_ALL_Y = 8;
inline constexpr int32_t CLOSE_X = 1720;
inline constexpr int32_t CLOSE_Y = 888;
inline constexpr int32_t ARROW_X = 1633;
inline constexpr int32_t ARROW_UP_Y = 56;
inline constexpr int32_t ARROW_DOWN_Y = 989;
inline constexpr int32_t ARROW_WIDTH = 48;
inline constexpr int32_t ARROW_HEIGHT = 43;
inline constexpr int32_t TRACK_X = 1641;
inline constexpr int32_t TRACK_TOP = 99;
inline constexpr int32_t TRACK_WIDTH = 32;
inline constexpr int32_t TRACK_LENGTH = 890;
inline constexpr int32_t KNOB_GRIP = 250; // below the knob's top, a press holds the knob
inline constexpr int32_t GROUP_TAB_X = 24;
inline constexpr int32_t GROUP_TAB_STEP = 264;
inline constexpr int32_t GROUP_TAB_Y = 8;
inline constexpr int32_t GROUP_TAB_WIDTH = 252;
inline constexpr int32_t GROUP_TAB_HEIGHT = 100;
inline constexpr int32_t HELP_X = 109;
inline constexpr int32_t HELP_Y = 1004;
inline constexpr int32_t HELP_WIDTH = 1000;
inline constexpr int32_t HELP_HEIGHT = 40;
inline constexpr int32_t HELP_TEXT_SIZE = 30;

// Inside a row (its top is y 0).
inline constexpr int32_t NUMBER_X[3] = {432, 462, 494};
inline constexpr int32_t NUMBER_Y = 17;
inline constexpr int32_t SAVED_DATE_X = 536;
inline constexpr int32_t SAVED_TIME_X = 660;
inline constexpr int32_t SAVED_Y = 33;
inline constexpr int32_t GAME_DATE_X = 851;
inline constexpr int32_t GAME_TIME_X = 1030;
inline constexpr int32_t MONEY_X = 1273;
inline constexpr int32_t AMOUNT_X = 1296;
inline constexpr int32_t GAME_Y = 21;
inline constexpr int32_t TEXT_X = 240;
inline constexpr int32_t TEXT_Y = 66;
inline constexpr int32_t TEXT_WIDTH = 1200;
inline constexpr int32_t TEXT_HEIGHT = 40;
inline constexpr int32_t THUMB_X = 27;
inline constexpr int32_t THUMB_Y = 6;

// The parts sheet.
inline constexpr int32_t SHEET_WIDTH = 2436;
inline constexpr int32_t SHEET_HEIGHT = 1232;
// Row picture k (0-2 new save, 3-5 slot, 6-8 newest slot, each in states 0 to 2) at y 123 k.
inline constexpr int32_t ROW_PICTURES = 9;
inline constexpr int32_t SHEET_DELETE_X = 1584;     // state s at y 99 s
inline constexpr int32_t SHEET_DELETE_ALL_X = 1678; // state s at y 99 s
inline constexpr int32_t SHEET_SAVE_TAB_X = 1772;   // state s at y 158 s
inline constexpr int32_t SHEET_LOAD_TAB_X = 1930;
inline constexpr int32_t SHEET_CLOSE_X = 2088;
inline constexpr int32_t SHEET_ARROW_UP_X = 1584; // state s at y 396 + 43 s
inline constexpr int32_t SHEET_ARROW_DOWN_X = 1632;
inline constexpr int32_t SHEET_ARROW_Y = 396;
inline constexpr int32_t SHEET_KNOB_X = 2340; // state s at x 2340 + 32 s, y 0, the track's length
inline constexpr int32_t SHEET_GROUP_TAB_X = 1584; // group g, state s at (1584 + 252 g, 632 + 100 s)
inline constexpr int32_t SHEET_GROUP_TAB_Y = 632;
// Glyph strips: slot digits 26 x 36; small digits 15 x 20 and large digits 17 x 24, each strip
// with "/" at 10 and ":" at 11; the comma 11 x 31; weekdays 66 x 24; the two half-day marks 42 x 24; the
// currency sign 23 x 24.
inline constexpr int32_t SHEET_SLOT_DIGIT_Y = 1110;
inline constexpr int32_t SLOT_DIGIT_WIDTH = 26;
inline constexpr int32_t SLOT_DIGIT_HEIGHT = 36;
inline constexpr int32_t SHEET_SMALL_Y = 1150;
inline constexpr int32_t SMALL_WIDTH = 15;
inline constexpr int32_t SMALL_HEIGHT = 20;
inline constexpr int32_t SMALL_SLASH = 10;
inline constexpr int32_t SMALL_COLON = 11;
inline constexpr int32_t SHEET_LARGE_Y = 1172;
inline constexpr int32_t LARGE_WIDTH = 17;
inline constexpr int32_t LARGE_HEIGHT = 24;
inline constexpr int32_t SHEET_COMMA_X = 300;
inline constexpr int32_t SHEET_COMMA_Y = 1110;
inline constexpr int32_t COMMA_WIDTH = 11;
inline constexpr int32_t COMMA_HEIGHT = 31;
inline constexpr int32_t SHEET_WEEKDAY_Y = 1200;
inline constexpr int32_t WEEKDAY_WIDTH = 66;
inline constexpr int32_t WEEKDAY_COUNT = 7;
inline constexpr int32_t SHEET_MARK_X = 462;
inline constexpr int32_t MARK_WIDTH = 42;
inline constexpr int32_t SHEET_CURRENCY_X = 546;
inline constexpr int32_t CURRENCY_WIDTH = 23;

} // namespace saveload_layout
