#pragma once
// The message-window family's common operations.
// FIXME: the least the game work needs until the message window is in.

#include <cstdint>

#include "screens/base/ISelect.h"
#include "script/ScriptValue.h"

class IMesWnd : public ISelect
{
public:
    // Nonzero on success.
    virtual int32_t CreateParts() { return 1; }
    // Refills the window plate from the colour settings.
    virtual void ApplyWindowColor() {}
    // Empties the text area for the next message.
    virtual void ResetTextArea() {}
    // The window's modal loop for one message; result is what the script gets back.
    virtual void RunMessage(ScriptValue& result, int32_t mode, int32_t number)
    {
        (void)mode;
        (void)number;
        result = ScriptValue::FromInteger(0);
    }
    int32_t IsShown() override { return m_shown; }
    void Show() override { m_shown = 1; }
    void Hide() override { m_shown = 0; }

protected:
    int32_t m_shown = 0;
};
