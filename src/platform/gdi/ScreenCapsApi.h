#pragma once
// The screen's device capabilities and the stock brushes, answered by the window layer.

#include "platform/kernel/WinTypes.h"

inline constexpr int HORZRES = 8;
inline constexpr int VERTRES = 10;
inline constexpr int BITSPIXEL = 12;
inline constexpr int PLANES = 14;
inline constexpr int LOGPIXELSX = 88;
inline constexpr int LOGPIXELSY = 90;
inline constexpr int VREFRESH = 116;

inline constexpr int WHITE_BRUSH = 0;
inline constexpr int BLACK_BRUSH = 4;
inline constexpr int NULL_BRUSH = 5;

// Any device context reports the primary display: HORZRES and VERTRES are its size, BITSPIXEL
// is 32.
int GetDeviceCaps(HDC dc, int index);
HGDIOBJ GetStockObject(int object);
