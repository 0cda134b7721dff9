#pragma once
// Dialog boxes from the compiled-in templates (platform/res/DialogResource.h), drawn by the layer
// as windows inside their owner's native window. One dialog procedure per dialog, called before
// the layer's own default handling, as DefDlgProcW does. Modal boxes run a nested message loop
// that keeps pumping (and presenting) until EndDialog. A DialogPolicy (DialogPolicy.h) can drive
// them in tests. Main thread only.

#include <cstdint>

#include "platform/kernel/WinTypes.h"
#include "platform/user/MessageApi.h"

using INT_PTR = intptr_t;
using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

// Dialog styles.
inline constexpr DWORD DS_SETFONT = 0x0040;
inline constexpr DWORD DS_MODALFRAME = 0x0080;
inline constexpr DWORD DS_CONTROL = 0x0400;
inline constexpr DWORD DS_CENTER = 0x0800;

// Control styles shared by every control.
inline constexpr DWORD WS_GROUP = 0x00020000;
inline constexpr DWORD WS_TABSTOP = 0x00010000;

// The dialog procedure's message result (SetWindowLongPtrW index).
inline constexpr int DWLP_MSGRESULT = 0;

// Creates the dialog, sends WM_INITDIALOG with the parameter, shows it and runs until EndDialog.
// The owner (made its top-level window) is disabled meanwhile. -1 when the template is missing or
// the dialog cannot be made.
INT_PTR DialogBoxParamW(HINSTANCE instance, LPCWSTR template_name, HWND owner, DLGPROC procedure,
                        LPARAM param);
// A modeless dialog (a page when the template has WS_CHILD), shown at once when the template says
// WS_VISIBLE. Null on failure.
HWND CreateDialogParamW(HINSTANCE instance, LPCWSTR template_name, HWND parent, DLGPROC procedure,
                        LPARAM param);
// Ends a modal dialog with the result once its procedure returns; a modeless one is only hidden.
BOOL EndDialog(HWND dialog, INT_PTR result);
// Runs the layer's keyboard handling of a dialog: Enter presses the default button (IDOK),
// Escape IDCANCEL, Space the focused button. True when the message was the dialog's.
BOOL IsDialogMessageW(HWND dialog, LPMSG message);
LRESULT DefDlgProcW(HWND dialog, UINT message, WPARAM w_param, LPARAM l_param);

HWND GetDlgItem(HWND dialog, int id);
int GetDlgCtrlID(HWND control);
BOOL SetDlgItemTextW(HWND dialog, int id, LPCWSTR text);
UINT GetDlgItemTextW(HWND dialog, int id, LPWSTR text, int max_count);
BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL is_signed);
LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM w_param, LPARAM l_param);
// Checks `check` and clears the other radio buttons first..last.
BOOL CheckRadioButton(HWND dialog, int first, int last, int check);
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);
// Dialog units of the template to pixels.
BOOL MapDialogRect(HWND dialog, LPRECT rect);
