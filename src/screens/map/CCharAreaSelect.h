#pragma once
// The character-area screen.
// FIXME: the least the exec commands need until the screen is in.

#include <cstdint>

#include "screens/base/ScreenResult.h"
#include "screens/map/IAreaSelect.h"

class CCharAreaSelect : public IAreaSelect
{
public:
    // Shows nothing yet: a run ends at once with -1.
    void ModalLoop() override { Result = ScriptValue::FromInteger(-1); }

    virtual int32_t RunScreen()
    {
        return RunForResult(*this);
    }
};
