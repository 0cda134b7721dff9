#include "platform/user/RectApi.h"

#include <algorithm>

BOOL SetRect(LPRECT rect, int left, int top, int right, int bottom)
{
    if (rect == nullptr)
        return FALSE;
    *rect = RECT{left, top, right, bottom};
    return TRUE;
}

BOOL SetRectEmpty(LPRECT rect)
{
    return SetRect(rect, 0, 0, 0, 0);
}

BOOL CopyRect(LPRECT dest, const RECT* source)
{
    if (dest == nullptr || source == nullptr)
        return FALSE;
    *dest = *source;
    return TRUE;
}

BOOL IsRectEmpty(const RECT* rect)
{
    return rect == nullptr || rect->right <= rect->left || rect->bottom <= rect->top ? TRUE : FALSE;
}

BOOL EqualRect(const RECT* a, const RECT* b)
{
    if (a == nullptr || b == nullptr)
        return FALSE;
    return a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom ? TRUE
                                                                                                    : FALSE;
}

BOOL UnionRect(LPRECT dest, const RECT* a, const RECT* b)
{
    if (dest == nullptr || a == nullptr || b == nullptr)
        return FALSE;
    const bool a_empty = IsRectEmpty(a);
    const bool b_empty = IsRectEmpty(b);
    if (a_empty && b_empty) {
        SetRectEmpty(dest);
        return FALSE;
    }
    if (a_empty) {
        *dest = *b;
        return TRUE;
    }
    if (b_empty) {
        *dest = *a;
        return TRUE;
    }
    *dest = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                 std::max(a->bottom, b->bottom)};
    return TRUE;
}

BOOL IntersectRect(LPRECT dest, const RECT* a, const RECT* b)
{
    if (dest == nullptr || a == nullptr || b == nullptr)
        return FALSE;
    const RECT overlap{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
                       std::min(a->bottom, b->bottom)};
    if (IsRectEmpty(&overlap)) {
        SetRectEmpty(dest);
        return FALSE;
    }
    *dest = overlap;
    return TRUE;
}

BOOL OffsetRect(LPRECT rect, int dx, int dy)
{
    if (rect == nullptr)
        return FALSE;
    rect->left += dx;
    rect->right += dx;
    rect->top += dy;
    rect->bottom += dy;
    return TRUE;
}

BOOL InflateRect(LPRECT rect, int dx, int dy)
{
    if (rect == nullptr)
        return FALSE;
    rect->left -= dx;
    rect->right += dx;
    rect->top -= dy;
    rect->bottom += dy;
    return TRUE;
}

BOOL PtInRect(const RECT* rect, POINT point)
{
    if (rect == nullptr)
        return FALSE;
    return point.x >= rect->left && point.x < rect->right && point.y >= rect->top && point.y < rect->bottom
               ? TRUE
               : FALSE;
}
