#pragma once
// Where the settings page's controls lie and which cells of the parts sheet show them. Page
// controls are in the page image's own space; fixed controls in screen space. Shared by the
// page and the writers of its test sheet and area file.

#include <cstdint>

#include "platform/kernel/WinTypes.h"

namespace config_layout {

// The window of the view through which the page is seen.
inline constexpr int32_t WINDOW_LEFT = 24;
inline constexpr int32_t WINDOW_TOP = 184;
inline constexpr int32_t WINDOW_VIEW_WIDTH = 1580;
inline constexpr int32_t WINDOW_HEIGHT = 728;

inline constexpr int32_t SWITCH_WIDTH = 144;
inline constexpr int32_t SWITCH_HEIGHT = 42;
inline constexpr int32_t SWITCH_SOURCE_X = 196;
inline constexpr int32_t SWITCH_ON_SOURCE_Y = 632;
inline constexpr int32_t SWITCH_OFF_SOURCE_Y = 758;

inline constexpr int32_t KNOB_WIDTH = 52;
inline constexpr int32_t KNOB_HEIGHT = 54;
inline constexpr int32_t KNOB_SOURCE_X = 144;
inline constexpr int32_t KNOB_SOURCE_Y = 632;
inline constexpr int32_t RADIO_SELECTED_SOURCE_Y = 740;

inline constexpr int32_t SPEED_TRACK_LEFT = 87;
inline constexpr int32_t SPEED_TRACK_WIDTH = 573;
inline constexpr int32_t SPEED_RANGE = 521;
// The pointer x of a speed value 0 on the screen.
inline constexpr int32_t SPEED_POINTER_LEFT = 135;

inline constexpr int32_t COLOUR_TRACK_WIDTH = 481;
inline constexpr int32_t COLOUR_RANGE = 429;

inline constexpr int32_t RADIO_Y = 23;
inline constexpr int32_t EFFECT_RADIO_X[3] = {377, 531, 683};
inline constexpr int32_t MAP_RADIO_X[3] = {1233, 1387, 1539};

inline constexpr int32_t SYSTEM_CELL_X = 7;
inline constexpr int32_t SYSTEM_CELL_Y = 1218;
inline constexpr int32_t SYSTEM_CELL_STEP_X = 841;
inline constexpr int32_t SYSTEM_CELL_STEP_Y = 70;
inline constexpr int32_t SYSTEM_CELL_WIDTH = 726;
inline constexpr int32_t SYSTEM_CELL_HEIGHT = 64;
inline constexpr int32_t SYSTEM_SOURCE_X = 630;

// The sample box on the page, its label in the sheet, and where typing starts.
inline constexpr int32_t SAMPLE_BOX_X = 501;
inline constexpr int32_t SAMPLE_BOX_Y = 489;
inline constexpr int32_t SAMPLE_BOX_WIDTH = 790;
inline constexpr int32_t SAMPLE_BOX_HEIGHT = 58;
inline constexpr int32_t SAMPLE_LABEL_SOURCE_Y = 982;
inline constexpr int32_t SAMPLE_TYPE_X = 736;
inline constexpr int32_t SAMPLE_TYPE_Y = 498;
inline constexpr int32_t SAMPLE_CELL = 20;
inline constexpr int32_t SAMPLE_CELL_HEIGHT = 40;
inline constexpr uint32_t SAMPLE_HOLD_MS = 500;
inline constexpr int32_t SAMPLE_SCREEN_LEFT = 525;
inline constexpr int32_t SAMPLE_SCREEN_TOP = 673;
inline constexpr int32_t SAMPLE_SCREEN_RIGHT = 1315;
inline constexpr int32_t SAMPLE_SCREEN_BOTTOM = 731;

// Fixed controls.
inline constexpr int32_t TAB_X = 1720;
inline constexpr int32_t TAB_SIZE = 158;
inline constexpr int32_t TAB0_Y = 320;
inline constexpr int32_t TAB1_Y = 502;
inline constexpr int32_t DEFAULTS_Y = 684;
inline constexpr int32_t LEAVE_Y = 904;
inline constexpr int32_t DEFAULTS_SOURCE_X = 314;
inline constexpr int32_t LEAVE_SOURCE_X = 472;
inline constexpr int32_t GAME_MODE_X = 936;
inline constexpr int32_t GAME_MODE_Y = 44;
inline constexpr int32_t GAME_MODE_WIDTH = 694;
inline constexpr int32_t GAME_MODE_HEIGHT = 70;
inline constexpr int32_t GAME_MODE_OFF_SOURCE_X = 631;
inline constexpr int32_t GAME_MODE_ON_SOURCE_X = 1325;
inline constexpr int32_t GAME_MODE_SOURCE_Y = 768;
inline constexpr int32_t ARROW_WIDTH = 48;
inline constexpr int32_t ARROW_HEIGHT = 43;
inline constexpr int32_t ARROW_SOURCE_X = 96;
inline constexpr int32_t UP_ARROW_X = 1643;
inline constexpr int32_t UP_ARROW_Y = 138;
inline constexpr int32_t DOWN_ARROW_X = 1643;
inline constexpr int32_t DOWN_ARROW_Y = 947;
inline constexpr int32_t UP_SOURCE_Y = 632;
inline constexpr int32_t DOWN_SOURCE_Y = 804;
inline constexpr int32_t TRACK_X = 1651;
inline constexpr int32_t TRACK_Y = 181;
inline constexpr int32_t TRACK_WIDTH = 32;
inline constexpr int32_t TRACK_HEIGHT = 766;
inline constexpr int32_t THUMB_HEIGHT = 250;
inline constexpr int32_t THUMB_RANGE = 516;
inline constexpr int32_t THUMB_SOURCE_Y = 632;
// The pointer y of thumb position 0.
inline constexpr int32_t THUMB_POINTER_TOP = 306;
inline constexpr int32_t HELP_X = 109;
inline constexpr int32_t HELP_Y = 1004;
inline constexpr int32_t HELP_WIDTH = 1000;
inline constexpr int32_t HELP_HEIGHT = 40;
inline constexpr int32_t HELP_TEXT_SIZE = 26;

// The size the parts sheet must have to hold every cell.
inline constexpr int32_t PARTS_SHEET_WIDTH = 2082;
inline constexpr int32_t PARTS_SHEET_HEIGHT = 1040;

// The system text id of a control's help line, or 0 for none (the map speed has a fixed text).
inline int32_t HelpTextId(int32_t group, int32_t item)
{
    switch (group) {
    case 0:
        return item == 0 ? 57 : 58;
    case 1:
        return 59;
    case 2:
        return 66;
    case 3:
        return 67;
    case 4:
        return item == 0 ? 60 : 61;
    case 5:
        return 65;
    case 6:
        return item == 0 ? 62 : 63;
    case 7:
        return 64;
    case 8:
        return 69;
    case 9:
        return 68;
    case 10:
        return 71;
    case 11:
        return 76;
    case 12:
        return 77;
    case 13:
        return item == 0 ? 169 : item == 1 ? 170 : 307;
    case 14:
        return item == 0 ? 79 : 80;
    case 15:
        return 78;
    case 16:
        return 86;
    case 17:
        return 70;
    default:
        return 0;
    }
}

inline int32_t ThumbTop(float position)
{
    return static_cast<int32_t>(position * THUMB_RANGE + TRACK_Y);
}

// The page position of a switch of groups 0 to 9; false for groups without one.
inline bool SwitchAt(int32_t group, POINT& at)
{
    switch (group) {
    case 0: at = {660, 133}; return true;
    case 1: at = {660, 183}; return true;
    case 4: at = {660, 294}; return true;
    case 6: at = {660, 400}; return true;
    case 7: at = {1341, 96}; return true;
    case 5: at = {1341, 170}; return true;
    case 9: at = {1341, 318}; return true;
    case 2: at = {1341, 244}; return true;
    case 3: at = {1341, 392}; return true;
    default: return false;
    }
}

inline POINT DialogSwitchAt(int32_t item)
{
    return POINT{(item / 5) * 840 + 576, (item % 5) * 72 + 781};
}

// The top of a speed slider's track, or -1 for groups without one.
inline int32_t SpeedSliderTop(int32_t group)
{
    return group == 0 ? 130 : group == 4 ? 291 : group == 6 ? 396 : -1;
}

inline POINT ColourTrackAt(int32_t item)
{
    return POINT{item % 2 == 0 ? 200 : 990, item < 2 ? 576 : 636};
}

} // namespace config_layout
