#pragma once
// Which system text each control of the sound settings page shows on its help line. Shared by the
// page and the checks of the demo's text tables.

#include <cstdint>

namespace sound_config_layout {

// The system text id of a control's help line, or 0 for none. The last character's two lines
// come after the others in the table.
inline int32_t HelpTextId(int32_t group, int32_t item)
{
    switch (group) {
    case 0:
    case 1:
    case 2:
    case 3:
        return 87 + group * 2 + item;
    case 5:
        return item == 15 ? 309 : 95 + item;
    case 6:
        return item == 15 ? 308 : 110 + item;
    case 7:
        return 125;
    case 13:
        return item == 0 ? 169 : item == 1 ? 170 : 307;
    case 14:
        return item == 0 ? 178 : 179;
    case 15:
        return 131;
    case 16:
        return 185;
    default:
        return 0;
    }
}

} // namespace sound_config_layout
