#pragma once
// Touch input. A window registered with RegisterTouchWindow receives WM_TOUCH (low word of wParam
// = number of contacts, lParam = the input handle) for finger events; the inputs are read with
// GetTouchInputInfo and the handle freed with CloseTouchInputHandle. Coordinates are hundredths
// of a screen pixel. The program looks the three functions up in "User32.dll" at run time.

#include "platform/kernel/WinTypes.h"

inline constexpr DWORD TOUCHEVENTF_MOVE = 0x0001;
inline constexpr DWORD TOUCHEVENTF_DOWN = 0x0002;
inline constexpr DWORD TOUCHEVENTF_UP = 0x0004;
inline constexpr DWORD TOUCHEVENTF_INRANGE = 0x0008;
inline constexpr DWORD TOUCHEVENTF_PRIMARY = 0x0010;
inline constexpr DWORD TOUCHINPUTMASKF_CONTACTAREA = 0x0004;

struct TOUCHINPUT
{
    LONG x;
    LONG y;
    HANDLE hSource;
    DWORD dwID;
    DWORD dwFlags;
    DWORD dwMask;
    DWORD dwTime;
    ULONG_PTR dwExtraInfo;
    DWORD cxContact;
    DWORD cyContact;
};
using PTOUCHINPUT = TOUCHINPUT*;

BOOL RegisterTouchWindow(HWND window, ULONG flags);
BOOL UnregisterTouchWindow(HWND window);
// size is sizeof(TOUCHINPUT); count is at most the handle's input count.
BOOL GetTouchInputInfo(HTOUCHINPUT input, UINT count, PTOUCHINPUT inputs, int size);
BOOL CloseTouchInputHandle(HTOUCHINPUT input);

// The function types the program casts GetProcAddress results to.
using RegisterTouchWindowProc = BOOL (*)(HWND, ULONG);
using GetTouchInputInfoProc = BOOL (*)(HTOUCHINPUT, UINT, PTOUCHINPUT, int);
using CloseTouchInputHandleProc = BOOL (*)(HTOUCHINPUT);
