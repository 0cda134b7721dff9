#pragma once
// The flag manager: every heroine's events with their windows.
// FIXME: the least the game work needs until the screen is in.

#include <cstdint>

#include "screens/base/ISelect.h"

class CFlagManager : public ISystemParts
{
public:
    // Shows nothing yet: a run ends at once with -1.
    void ModalLoop() override { Result = ScriptValue::FromInteger(-1); }
};
