#pragma once
// The time-of-day screen.
// FIXME: the least the exec commands need until the screen is in: the run with a mode that the
// title shares.

#include <cstdint>

#include "screens/base/ScreenResult.h"

class CTimeSelect : public ISelect
{
public:
    // Shows nothing yet: a run ends at once with -1.
    void ModalLoop() override { Result = ScriptValue::FromInteger(-1); }

    // Sets the mode word, runs the screen modally and answers its result (chosen index + 1, 0
    // back).
    virtual int32_t RunWithMode(int32_t mode)
    {
        m_mode = mode;
        return RunForResult(*this);
    }
    int32_t GetMode() const { return m_mode; }

protected:
    int32_t m_mode = 0;
};
