#pragma once
// The one way the program shows a message: through the application object's MessageBox, so the
// box is captioned with the game title. Callers pass 0 or MB_ICONERROR; the result is the
// pressed button. May be called from any thread.

#include <functional>

#include "foundation/CStringUTF8.h"
#include "platform/kernel/WinTypes.h"

int AppMessageBox(UINT flags, CStringUTF8 text);

// The flags with the exclamation icon added when they hold no icon and their buttons are OK,
// OK/Cancel, Yes/No/Cancel or Yes/No.
UINT WithDefaultMessageIcon(UINT flags);

// While a hook is set, AppMessageBox hands it the message and returns its answer; an empty hook
// restores the normal path. For tests that only want the texts; tests of the box itself install
// a platform::ScriptedMessageBoxPolicy instead.
using AppMessageBoxHook = std::function<int(UINT flags, const CStringUTF8& text)>;
void SetAppMessageBoxHook(AppMessageBoxHook hook);
