#pragma once
// The character-area screen.
// FIXME: the least the exec commands need until the screen is in.

#include <cstdint>

#include "screens/base/ISelect.h"

class CCharAreaSelect : public ISelect, public ISystemParts
{
public:
    virtual int32_t RunScreen()
    {
        ScriptValue result;
        Run(&result);
        return result.Integer;
    }
};
