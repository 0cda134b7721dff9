#pragma once
// The message-window family's common operations.
// FIXME: the least the game work needs until the message window is in.

#include <cstdint>

#include "screens/base/ISelect.h"

class IMesWnd : public ISelect
{
public:
    // Nonzero on success.
    virtual int32_t CreateParts() { return 1; }
    // Refills the window plate from the colour settings.
    virtual void ApplyWindowColor() {}
    int32_t IsShown() override { return m_shown; }
    void Show() override { m_shown = 1; }
    void Hide() override { m_shown = 0; }

protected:
    int32_t m_shown = 0;
};
