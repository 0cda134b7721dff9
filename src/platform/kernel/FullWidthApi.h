#pragma once
// LCMapStringW with LCMAP_FULLWIDTH only: ASCII printables to their full-width forms, the space
// to U+3000, the half-width yen and the other half-width signs to theirs, and half-width katakana
// to full width with a following voiced or semi-voiced mark folded into the kana where one exists.
// Pure; any thread.

#include "platform/kernel/WinTypes.h"

using LCID = DWORD;

inline constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x0800;
inline constexpr DWORD LCMAP_FULLWIDTH = 0x00800000;

// Win32 conventions: a source length of -1 means up to and including the 0 unit; a destination
// size of 0 asks for the length needed. Answers the units written (or needed), 0 on failure
// (ERROR_INVALID_PARAMETER for other flags, ERROR_INSUFFICIENT_BUFFER when it does not fit).
int LCMapStringW(LCID locale, DWORD flags, LPCWSTR source, int source_length, LPWSTR destination,
                 int destination_length);
