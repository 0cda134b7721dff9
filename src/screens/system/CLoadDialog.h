#pragma once
// The load screen of the system menu.
// FIXME: the least the game work needs until the system screens are in.

#include <cstdint>

#include "screens/base/ISelect.h"

class CLoadDialog : public ISelect, public ISystemParts
{
public:
    // Shows nothing yet: a run ends at once with -1.
    void ModalLoop() override { Result = ScriptValue::FromInteger(-1); }
    explicit CLoadDialog(int32_t page)
        : m_page(page)
    {}
    int32_t GetPage() const { return m_page; }
    // FIXME: loads the continue slot and unwinds to the document; until the save and load
    // operations are in, every slot is refused (answers 0).
    virtual int32_t ContinueGame() { return 0; }

private:
    int32_t m_page;
};
