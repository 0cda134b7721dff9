#pragma once
// The message window: story text with its typewriter, auto and skip modes.
// FIXME: the least the game work needs until the message window is in.

#include <cstdint>

#include "app/IAppTask.h"
#include "screens/base/IMesWnd.h"

class CMesWnd : public IMesWnd, public IAppTask
{
public:
    CMesWnd()
        : IAppTask(15)
    {}
    void Execute() override {}
    // Shows nothing yet: a run ends at once with -1.
    void ModalLoop() override { Result = ScriptValue::FromInteger(-1); }
    // Brings the window back after a system screen, with a fade-in; the option comes from the
    // game state.
    virtual void RestoreWindow(int32_t option)
    {
        (void)option;
        Show();
    }
};
