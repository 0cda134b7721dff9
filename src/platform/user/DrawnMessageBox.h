#pragma once
// The message box the layer draws itself with FreeType, so Japanese and Chinese texts show on any
// desktop. Over the owner's window (or the main window) when one is visible, else in a small
// window of its own. Runs a modal loop on the main thread and returns the pressed button's id;
// Enter picks the default button (MB_DEFBUTTONn), Esc the Cancel button (or OK when it is alone).
// The owner receives WM_ENTERIDLE (MSGF_DIALOGBOX) whenever the box waits for input.

#include <string>

#include "platform/kernel/WinTypes.h"

namespace platform {

int ShowDrawnMessageBox(HWND owner, const std::u16string& text, const std::u16string& caption, UINT type);

} // namespace platform
