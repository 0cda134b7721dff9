#pragma once
// The place screen.
// FIXME: the least the game work needs until the screen is in.

#include <cstdint>

#include "screens/base/ScreenResult.h"
#include "screens/map/IAreaSelect.h"

class CAreaBase : public IAreaSelect
{
public:
    // Shows nothing yet: a run ends at once with -1.
    void ModalLoop() override { Result = ScriptValue::FromInteger(-1); }

    using IAreaSelect::RunWithMode;
    // Runs the screen with the mode and answers its result.
    int32_t RunWithMode(int32_t mode)
    {
        ScriptValue result;
        return RunWithMode(&result, mode)->Integer;
    }
};
