#pragma once
// Shell folders. The roaming application-data folder is the XDG data home: $XDG_DATA_HOME when it
// holds an absolute path, else ~/.local/share. Paths come back in POSIX form without a trailing
// separator; the program appends its own "\"-separated names, which the file layer resolves.

#include "platform/kernel/WinTypes.h"

inline constexpr int CSIDL_APPDATA = 0x001A;
inline constexpr int CSIDL_FLAG_CREATE = 0x8000;
inline constexpr DWORD SHGFP_TYPE_CURRENT = 0;
inline constexpr DWORD SHGFP_TYPE_DEFAULT = 1;

// path receives at most MAX_PATH characters including the NUL. The folder and its missing
// parents are created (mode 0700), as Windows always has this folder. E_INVALIDARG for a folder
// id other than CSIDL_APPDATA, E_FAIL when the folder cannot be made or does not fit.
HRESULT SHGetFolderPathW(HWND owner, int folder, HANDLE token, DWORD flags, LPWSTR path);
