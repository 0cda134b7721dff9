#pragma once
// Opening a document or an address with the desktop's handler (xdg-open). Headless runs
// (VESK_HEADLESS) only log what would be opened. Any thread.

#include "platform/kernel/WinTypes.h"

inline constexpr int SE_ERR_FNF = 2;
inline constexpr int SE_ERR_NOASSOC = 31;

// Only the "open" verb (or none). The result is above 32 when the handler was started, else an
// SE_ERR_ value, as Windows answers.
HINSTANCE ShellExecuteW(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory,
                        int show_command);
