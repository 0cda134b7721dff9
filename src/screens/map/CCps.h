#pragma once
// The town map.
// FIXME: the least the game work needs until the map is in.

#include "screens/base/IRightMenu.h"
#include "screens/base/ISelect.h"

class CCps : public ISelect, public IRightMenu
{
public:
    // Shows nothing yet: a run ends at once with -1.
    void ModalLoop() override { Result = ScriptValue::FromInteger(-1); }
};
