#pragma once
// The input method: its open status and modes, and the composition it shows. The program has one
// input context; SDL's text editing and text input events drive it, and it reaches the program as
// WM_IME_* messages in the order the input arrived. Main thread only.

#include "platform/kernel/WinTypes.h"

// ImmGetCompositionStringW indexes (also the lParam bits of WM_IME_COMPOSITION).
inline constexpr DWORD GCS_COMPREADSTR = 0x0001;
inline constexpr DWORD GCS_COMPREADATTR = 0x0002;
inline constexpr DWORD GCS_COMPREADCLAUSE = 0x0004;
inline constexpr DWORD GCS_COMPSTR = 0x0008;
inline constexpr DWORD GCS_COMPATTR = 0x0010;
inline constexpr DWORD GCS_COMPCLAUSE = 0x0020;
inline constexpr DWORD GCS_CURSORPOS = 0x0080;
inline constexpr DWORD GCS_DELTASTART = 0x0100;
inline constexpr DWORD GCS_RESULTREADSTR = 0x0200;
inline constexpr DWORD GCS_RESULTREADCLAUSE = 0x0400;
inline constexpr DWORD GCS_RESULTSTR = 0x0800;
inline constexpr DWORD GCS_RESULTCLAUSE = 0x1000;

// Attributes of composition characters (GCS_COMPATTR).
inline constexpr BYTE ATTR_INPUT = 0x00;
inline constexpr BYTE ATTR_TARGET_CONVERTED = 0x01;
inline constexpr BYTE ATTR_CONVERTED = 0x02;
inline constexpr BYTE ATTR_TARGET_NOTCONVERTED = 0x03;
inline constexpr BYTE ATTR_INPUT_ERROR = 0x04;

// Conversion modes.
inline constexpr DWORD IME_CMODE_ALPHANUMERIC = 0x0000;
inline constexpr DWORD IME_CMODE_NATIVE = 0x0001;
inline constexpr DWORD IME_CMODE_KATAKANA = 0x0002;
inline constexpr DWORD IME_CMODE_FULLSHAPE = 0x0008;
inline constexpr DWORD IME_CMODE_ROMAN = 0x0010;
inline constexpr DWORD IME_CMODE_CHARCODE = 0x0020;
inline constexpr DWORD IME_CMODE_HANJACONVERT = 0x0040;
inline constexpr DWORD IME_CMODE_SOFTKBD = 0x0080;
inline constexpr DWORD IME_CMODE_NOCONVERSION = 0x0100;

// Sentence modes.
inline constexpr DWORD IME_SMODE_NONE = 0x0000;
inline constexpr DWORD IME_SMODE_PLAURALCLAUSE = 0x0001;
inline constexpr DWORD IME_SMODE_SINGLECONVERT = 0x0002;
inline constexpr DWORD IME_SMODE_AUTOMATIC = 0x0004;
inline constexpr DWORD IME_SMODE_PHRASEPREDICT = 0x0008;
inline constexpr DWORD IME_SMODE_CONVERSATION = 0x0010;

// ImmNotifyIME actions and values.
inline constexpr DWORD NI_COMPOSITIONSTR = 0x0015;
inline constexpr DWORD CPS_COMPLETE = 0x0001;
inline constexpr DWORD CPS_CONVERT = 0x0002;
inline constexpr DWORD CPS_REVERT = 0x0003;
inline constexpr DWORD CPS_CANCEL = 0x0004;

// WM_IME_NOTIFY commands.
inline constexpr WPARAM IMN_CLOSESTATUSWINDOW = 0x0001;
inline constexpr WPARAM IMN_OPENSTATUSWINDOW = 0x0002;
inline constexpr WPARAM IMN_SETCONVERSIONMODE = 0x0006;
inline constexpr WPARAM IMN_SETSENTENCEMODE = 0x0007;
inline constexpr WPARAM IMN_SETOPENSTATUS = 0x0008;

// Composition and candidate window styles.
inline constexpr DWORD CFS_DEFAULT = 0x0000;
inline constexpr DWORD CFS_RECT = 0x0001;
inline constexpr DWORD CFS_POINT = 0x0002;
inline constexpr DWORD CFS_FORCE_POSITION = 0x0020;
inline constexpr DWORD CFS_CANDIDATEPOS = 0x0040;
inline constexpr DWORD CFS_EXCLUDE = 0x0080;

inline constexpr LONG IMM_ERROR_NODATA = -1;
inline constexpr LONG IMM_ERROR_GENERAL = -2;

struct COMPOSITIONFORM
{
    DWORD dwStyle;
    POINT ptCurrentPos;
    RECT rcArea;
};
using LPCOMPOSITIONFORM = COMPOSITIONFORM*;

struct CANDIDATEFORM
{
    DWORD dwIndex; // 0 to 3
    DWORD dwStyle;
    POINT ptCurrentPos;
    RECT rcArea;
};
using LPCANDIDATEFORM = CANDIDATEFORM*;

// The context of a window; null for a window that does not exist.
HIMC ImmGetContext(HWND window);
BOOL ImmReleaseContext(HWND window, HIMC context);

BOOL ImmGetOpenStatus(HIMC context);
// Sends WM_IME_NOTIFY (IMN_SETOPENSTATUS) to the context's window when the status changes.
BOOL ImmSetOpenStatus(HIMC context, BOOL open);
BOOL ImmGetConversionStatus(HIMC context, LPDWORD conversion, LPDWORD sentence);
// The modes are kept and reported; the input methods of this platform take no orders from them.
BOOL ImmSetConversionStatus(HIMC context, DWORD conversion, DWORD sentence);

// Strings and attributes are measured in bytes, clause lists in bytes of their 32-bit offsets;
// GCS_CURSORPOS and GCS_DELTASTART return their value and ignore the buffer. A size of 0 asks for
// the size needed. A smaller buffer gets what fits, in whole elements, and the byte count copied.
// Strings are not terminated.
LONG ImmGetCompositionStringW(HIMC context, DWORD index, LPVOID buffer, DWORD buffer_size);

BOOL ImmSetCompositionWindow(HIMC context, LPCOMPOSITIONFORM form);
BOOL ImmGetCompositionWindow(HIMC context, LPCOMPOSITIONFORM form);
// The position of candidate list 0 becomes the rectangle the system input method places its
// candidate window beside.
BOOL ImmSetCandidateWindow(HIMC context, LPCANDIDATEFORM form);

// NI_COMPOSITIONSTR with CPS_CANCEL drops the composition and queues the cancel messages at once,
// so a loop that waits for the end of the composition always sees it; CPS_COMPLETE commits it.
BOOL ImmNotifyIME(HIMC context, DWORD action, DWORD index, DWORD value);

// Switches the input method for the whole program; returns the previous state.
BOOL WINNLSEnableIME(HWND window, BOOL enable);
