#pragma once
// The character selection screen.
// FIXME: the least the exec commands need until the screen is in.

#include <cstdint>

#include "screens/map/CTimeSelect.h"

class CCharSelect : public CTimeSelect
{
public:
    // Nonzero on success.
    virtual int32_t Setup() { return 1; }
    // Shows nothing yet: a run ends at once with -1.
    void ModalLoop() override { Result = ScriptValue::FromInteger(-1); }
};
