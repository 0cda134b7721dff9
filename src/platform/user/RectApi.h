#pragma once
// Rectangle helpers of the window manager's API. Rectangles are right- and bottom-exclusive; one
// with no area (right <= left or bottom <= top) is empty.

#include "platform/kernel/WinTypes.h"

BOOL SetRect(LPRECT rect, int left, int top, int right, int bottom);
BOOL SetRectEmpty(LPRECT rect);
BOOL CopyRect(LPRECT dest, const RECT* source);
BOOL IsRectEmpty(const RECT* rect);
BOOL EqualRect(const RECT* a, const RECT* b);
// The smallest rectangle holding both; an empty input is ignored. FALSE when the result is empty.
BOOL UnionRect(LPRECT dest, const RECT* a, const RECT* b);
// The overlap; an empty result is set to all zeros and answers FALSE.
BOOL IntersectRect(LPRECT dest, const RECT* a, const RECT* b);
BOOL OffsetRect(LPRECT rect, int dx, int dy);
BOOL InflateRect(LPRECT rect, int dx, int dy);
BOOL PtInRect(const RECT* rect, POINT point);
