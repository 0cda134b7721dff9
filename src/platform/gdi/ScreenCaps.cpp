#include "platform/gdi/ScreenCapsApi.h"

#include "platform/user/WindowManager.h"

int GetDeviceCaps(HDC, int index)
{
    const RECT display = platform::WindowManager::GetInstance().DisplayBounds(0);
    switch (index) {
    case HORZRES:
        return display.right - display.left;
    case VERTRES:
        return display.bottom - display.top;
    case BITSPIXEL:
        return 32;
    case PLANES:
        return 1;
    case LOGPIXELSX:
    case LOGPIXELSY:
        return 96;
    case VREFRESH:
        return 60;
    default:
        return 0;
    }
}

HGDIOBJ GetStockObject(int object)
{
    // Stock objects are tokens: nothing draws with a brush, the class background is always black.
    static int s_stock[6];
    if (object < 0 || object >= 6)
        return nullptr;
    return &s_stock[object];
}
