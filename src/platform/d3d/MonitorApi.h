#pragma once
// Monitor rectangles. A monitor handle is what IDXGIOutput::GetDesc gives: the output's position
// in the display list, plus one.

#include "platform/kernel/WinTypes.h"

inline constexpr DWORD MONITORINFOF_PRIMARY = 0x1;
inline constexpr int CCHDEVICENAME = 32;

struct MONITORINFO
{
    DWORD cbSize;
    RECT rcMonitor;
    RECT rcWork;
    DWORD dwFlags;
};

struct MONITORINFOEXW : MONITORINFO
{
    WCHAR szDevice[CCHDEVICENAME];
};
using LPMONITORINFO = MONITORINFO*;

// Fills the rectangles (and the device name when cbSize is that of MONITORINFOEXW); FALSE for an
// unknown handle.
BOOL GetMonitorInfoW(HMONITOR monitor, LPMONITORINFO info);
