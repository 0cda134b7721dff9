#pragma once
// The save screen of the system menu.
// FIXME: the screen itself (drawing, input, the note) is still to come; it has the operations.

#include <cstdint>

#include "screens/system/ISaveLoad.h"

class CSaveDialog : public ISaveLoad
{
public:
    explicit CSaveDialog(int32_t page)
        : ISaveLoad(page)
    {}
    // Shows nothing yet: a run ends at once with -1.
    void ModalLoop() override { Result = ScriptValue::FromInteger(-1); }
};
