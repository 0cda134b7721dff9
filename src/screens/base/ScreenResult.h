#pragma once
// The integer result of one modal run of a screen.

#include <cstdint>

#include "screens/base/ISelect.h"

inline int32_t RunForResult(ISelect& screen)
{
    ScriptValue result;
    screen.Run(&result);
    return result.Integer;
}
