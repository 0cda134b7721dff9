#pragma once
// The area base screen.
// FIXME: the least the game work needs until the screen is in.

#include <cstdint>

#include "screens/base/ScreenResult.h"

class CAreaBase : public ISelect
{
public:
    // Shows nothing yet: a run ends at once with -1.
    void ModalLoop() override { Result = ScriptValue::FromInteger(-1); }
    // Nonzero on success.
    virtual int32_t CreateParts() { return 1; }

    // Runs the screen with the mode and answers its result.
    virtual int32_t RunWithMode(int32_t mode)
    {
        m_mode = mode;
        return RunForResult(*this);
    }

protected:
    int32_t m_mode = 0;
};
