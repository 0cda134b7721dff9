#pragma once
// The save screen of the system menu.
// FIXME: the least the game work needs until the system screens are in.

#include <cstdint>

#include "screens/base/ISelect.h"

class CSaveDialog : public ISystemParts
{
public:
    // Shows nothing yet: a run ends at once with -1.
    void ModalLoop() override { Result = ScriptValue::FromInteger(-1); }
    explicit CSaveDialog(int32_t page)
        : m_page(page)
    {}
    int32_t GetPage() const { return m_page; }
    // Saves the game into the auto-save slot.
    virtual void AutoSave();

private:
    int32_t m_page;
};
