#pragma once
// The diary pages.
// FIXME: the least the exec commands need until the screen is in.

#include <cstdint>

#include "screens/base/ISelect.h"

class CComment : public ISelect
{
public:
    // Shows nothing yet: a run ends at once with -1.
    void ModalLoop() override { Result = ScriptValue::FromInteger(-1); }

    // Nonzero on success.
    virtual int32_t Setup(int32_t page)
    {
        m_page = page;
        return 1;
    }
    int32_t GetPage() const { return m_page; }

private:
    int32_t m_page = 0;
};
