#pragma once
// A sub map of spots to pick.
// FIXME: the least the game work needs until the sub maps are in.

#include <cstdint>

#include "screens/base/ISelect.h"

class CSubMap : public ISelect
{
public:
    // Shows nothing yet: a run ends at once with -1.
    void ModalLoop() override { Result = ScriptValue::FromInteger(-1); }
    // Nonzero on success.
    virtual int32_t LoadIcons() { return 1; }
};
