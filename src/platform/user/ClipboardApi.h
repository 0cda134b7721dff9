#pragma once
// The clipboard's text, for reading: SDL's clipboard while SDL video runs (the dummy driver keeps
// its own in memory), otherwise one of the layer's own. GetClipboardData answers a block of
// UTF-16 text ended by a 0 unit, valid until CloseClipboard. Main thread only.

#include <string_view>

#include "platform/kernel/WinTypes.h"

inline constexpr UINT CF_TEXT = 1;
inline constexpr UINT CF_UNICODETEXT = 13;

BOOL OpenClipboard(HWND window);
BOOL CloseClipboard();
BOOL IsClipboardFormatAvailable(UINT format);
// Null unless the clipboard is open and holds text.
HANDLE GetClipboardData(UINT format);
LPVOID GlobalLock(HGLOBAL block);
BOOL GlobalUnlock(HGLOBAL block);

namespace platform {

// Puts UTF-8 text on the clipboard, as another program would.
void SetClipboardUtf8(std::string_view text);

} // namespace platform
