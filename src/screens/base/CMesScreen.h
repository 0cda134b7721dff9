#pragma once
// The full-screen message screen that scripts build for long texts.
// FIXME: the least the exec commands need until the message-window family is in.

#include <cstdint>

#include "foundation/CStringUTF8.h"
#include "screens/base/CMesButton.h"
#include "screens/base/ScreenResult.h"

class CMesScreen : public CMesButton
{
public:
    // Shows nothing yet: a run ends at once with -1.
    void ModalLoop() override { Result = ScriptValue::FromInteger(-1); }

    int32_t CreateParts() override { return 1; }
    void ResetTextArea() override {}
    // Shows the text and waits for the player; answers the screen's result.
    virtual int32_t RunText(int32_t mode, const CStringUTF8& text)
    {
        (void)mode, (void)text;
        return RunForResult(*this);
    }
};
