#pragma once
// The area selection screen.
// FIXME: the least the game work needs until the screen is in.

#include <cstdint>

#include "foundation/CStringUTF8.h"
#include "screens/base/ISelect.h"

class CAreaSelect : public ISelect, public ISystemParts
{
public:
    // Shows nothing yet: a run ends at once with -1.
    void ModalLoop() override { Result = ScriptValue::FromInteger(-1); }
    CStringUTF8 m_name;
};
