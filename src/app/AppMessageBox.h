#pragma once
// The one way engine code shows a message to the player: flags 0 or MB_ICONERROR, the text, and
// the pressed button's code back. The application object will show it as its message box; for
// now the text goes to standard error. A test can catch every text with a hook instead.

#include <functional>

#include "foundation/CStringUTF8.h"
#include "platform/kernel/WinTypes.h"

int AppMessageBox(UINT flags, CStringUTF8 text);

// While a hook is set, AppMessageBox hands it the message and returns its answer; an empty hook
// restores the normal path. Main thread only, like the message box itself.
using AppMessageBoxHook = std::function<int(UINT flags, const CStringUTF8& text)>;
void SetAppMessageBoxHook(AppMessageBoxHook hook);
