#pragma once
// Who acts on a modal dialog while its loop has nothing to do. The program has no policy (the
// player does); headless runs close every dialog with Cancel and log it; tests install a
// ScriptedDialogPolicy to press, pick and drag.

#include <cstdint>

#include "platform/kernel/WinTypes.h"

namespace platform {

class DialogPolicy
{
public:
    virtual ~DialogPolicy() = default;
    // The modal dialog made from the template has no message waiting. Returns true when the
    // policy acted (the loop looks for messages again), false to let it wait for input.
    virtual bool OnIdle(HWND dialog, uint16_t template_id) = 0;
};

// Installs a policy the caller keeps alive until it installs another; null restores the default.
// Returns the one installed before (null for the default).
DialogPolicy* SetDialogPolicy(DialogPolicy* policy);

} // namespace platform
