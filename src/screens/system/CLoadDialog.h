#pragma once
// The load screen of the system menu.
// FIXME: the screen itself (drawing, input) is still to come; it has the operations.

#include <cstdint>

#include "screens/system/ISaveLoad.h"

class CLoadDialog : public ISaveLoad
{
public:
    explicit CLoadDialog(int32_t page)
        : ISaveLoad(page)
    {}
    // Shows nothing yet: a run ends at once with -1.
    void ModalLoop() override { Result = ScriptValue::FromInteger(-1); }
    // A chosen slot, after the load confirmation (a dialog that cannot be built counts as no);
    // returns only when the player declined or the slot was refused.
    void LoadChosenSlot(uint32_t slot);
};
