#include "platform/user/TouchApi.h"

#include "platform/user/WindowManager.h"

BOOL RegisterTouchWindow(HWND window, ULONG)
{
    return platform::WindowManager::GetInstance().RegisterTouch(window, true) ? TRUE : FALSE;
}

BOOL UnregisterTouchWindow(HWND window)
{
    return platform::WindowManager::GetInstance().RegisterTouch(window, false) ? TRUE : FALSE;
}

BOOL GetTouchInputInfo(HTOUCHINPUT input, UINT count, PTOUCHINPUT inputs, int size)
{
    return platform::WindowManager::GetInstance().GetTouchInputs(input, count, inputs, size) ? TRUE : FALSE;
}

BOOL CloseTouchInputHandle(HTOUCHINPUT input)
{
    return platform::WindowManager::GetInstance().CloseTouchInput(input) ? TRUE : FALSE;
}
