// The window, geometry, cursor and key-state calls over WindowManager.
#include "platform/user/WindowApi.h"

#include <thread>

#include "platform/kernel/ErrorApi.h"
#include "platform/res/CursorResource.h"
#include "platform/user/MenuApi.h"
#include "platform/user/MenuLayout.h"
#include "platform/user/WindowManager.h"

using platform::WindowManager;
using platform::WindowObject;

namespace platform {
HCURSOR SystemCursorHandle(uintptr_t id);
HCURSOR ResourceCursorHandle(uint16_t id);
} // namespace platform

namespace {

constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;

WindowManager& Manager()
{
    return WindowManager::GetInstance();
}

WindowObject* FindWindow(HWND window)
{
    WindowObject* object = Manager().Find(window);
    if (object == nullptr)
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return object;
}

} // namespace

ATOM RegisterClassW(const WNDCLASSW* window_class)
{
    if (window_class == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return Manager().RegisterClass(*window_class);
}

BOOL UnregisterClassW(LPCWSTR class_name, HINSTANCE instance)
{
    return Manager().UnregisterClass(class_name, instance) ? TRUE : FALSE;
}

BOOL GetClassInfoW(HINSTANCE, LPCWSTR class_name, WNDCLASSW* window_class)
{
    const platform::WindowClassRecord* record = Manager().FindClass(class_name);
    if (record == nullptr || window_class == nullptr)
        return FALSE;
    *window_class = record->info;
    window_class->lpszClassName = class_name;
    return TRUE;
}

HWND CreateWindowExW(DWORD ex_style, LPCWSTR class_name, LPCWSTR window_name, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
    return Manager().CreateWindow(ex_style, class_name, window_name, style, x, y, width, height, parent, menu,
                                  instance, param);
}

BOOL DestroyWindow(HWND window)
{
    return Manager().DestroyWindow(window) ? TRUE : FALSE;
}

LRESULT DefWindowProcW(HWND window, UINT message, WPARAM w_param, LPARAM l_param)
{
    return Manager().DefaultProcedure(window, message, w_param, l_param);
}

LRESULT CallWindowProcW(WNDPROC procedure, HWND window, UINT message, WPARAM w_param, LPARAM l_param)
{
    return procedure != nullptr ? procedure(window, message, w_param, l_param) : 0;
}

BOOL IsWindow(HWND window)
{
    return Manager().IsWindow(window) ? TRUE : FALSE;
}

LONG GetWindowLongW(HWND window, int index)
{
    return static_cast<LONG>(Manager().GetLong(window, index, sizeof(LONG)));
}

LONG SetWindowLongW(HWND window, int index, LONG value)
{
    return static_cast<LONG>(Manager().SetLong(window, index, value, sizeof(LONG)));
}

LONG_PTR GetWindowLongPtrW(HWND window, int index)
{
    return Manager().GetLong(window, index, sizeof(LONG_PTR));
}

LONG_PTR SetWindowLongPtrW(HWND window, int index, LONG_PTR value)
{
    return Manager().SetLong(window, index, value, sizeof(LONG_PTR));
}

BOOL ShowWindow(HWND window, int command)
{
    return Manager().Show(window, command) ? TRUE : FALSE;
}

BOOL SetWindowPos(HWND window, HWND insert_after, int x, int y, int width, int height, UINT flags)
{
    return Manager().SetPosition(window, insert_after, x, y, width, height, flags) ? TRUE : FALSE;
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint)
{
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (!repaint)
        flags |= SWP_NOREDRAW;
    return SetWindowPos(window, nullptr, x, y, width, height, flags);
}

BOOL UpdateWindow(HWND window)
{
    WindowObject* object = FindWindow(window);
    if (object == nullptr)
        return FALSE;
    if (object->invalid && object->visible)
        SendMessageW(window, 0x000F /* WM_PAINT */, 0, 0);
    return TRUE;
}

BOOL InvalidateRect(HWND window, const RECT*, BOOL)
{
    if (window == nullptr) {
        for (HWND handle : Manager().Windows())
            Manager().Invalidate(handle);
        return TRUE;
    }
    if (FindWindow(window) == nullptr)
        return FALSE;
    Manager().Invalidate(window);
    return TRUE;
}

BOOL ValidateRect(HWND window, const RECT*)
{
    if (FindWindow(window) == nullptr)
        return FALSE;
    Manager().Validate(window);
    return TRUE;
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint)
{
    WindowObject* object = FindWindow(window);
    if (object == nullptr)
        return nullptr;
    if (paint != nullptr) {
        *paint = {};
        paint->rcPaint = Manager().ClientRect(*object);
    }
    Manager().Validate(window);
    // The window has no device context of its own: its picture comes from the display.
    return nullptr;
}

BOOL EndPaint(HWND, const PAINTSTRUCT*)
{
    return TRUE;
}

BOOL GetClientRect(HWND window, LPRECT rect)
{
    if (window == GetDesktopWindow() && rect != nullptr) {
        const RECT display = Manager().DisplayBounds(0);
        *rect = {0, 0, display.right - display.left, display.bottom - display.top};
        return TRUE;
    }
    WindowObject* object = FindWindow(window);
    if (object == nullptr || rect == nullptr)
        return FALSE;
    *rect = Manager().ClientRect(*object);
    return TRUE;
}

BOOL GetWindowRect(HWND window, LPRECT rect)
{
    if (window == GetDesktopWindow() && rect != nullptr) {
        *rect = Manager().DisplayBounds(0);
        return TRUE;
    }
    WindowObject* object = FindWindow(window);
    if (object == nullptr || rect == nullptr)
        return FALSE;
    *rect = object->rect;
    if ((object->style & WS_CHILD) && object->parent != nullptr) {
        if (WindowObject* parent = Manager().Find(object->parent)) {
            const POINT origin = Manager().ClientOrigin(*parent);
            rect->left += origin.x;
            rect->right += origin.x;
            rect->top += origin.y;
            rect->bottom += origin.y;
        }
    }
    return TRUE;
}

BOOL ClientToScreen(HWND window, LPPOINT point)
{
    WindowObject* object = FindWindow(window);
    if (object == nullptr || point == nullptr)
        return FALSE;
    const POINT origin = Manager().ClientOrigin(*object);
    point->x += origin.x;
    point->y += origin.y;
    return TRUE;
}

BOOL ScreenToClient(HWND window, LPPOINT point)
{
    WindowObject* object = FindWindow(window);
    if (object == nullptr || point == nullptr)
        return FALSE;
    const POINT origin = Manager().ClientOrigin(*object);
    point->x -= origin.x;
    point->y -= origin.y;
    return TRUE;
}

BOOL AdjustWindowRect(LPRECT rect, DWORD style, BOOL menu)
{
    return AdjustWindowRectEx(rect, style, menu, 0);
}

BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD)
{
    if (rect == nullptr)
        return FALSE;
    if (menu && !(style & WS_CHILD))
        rect->top -= platform::MENU_BAR_HEIGHT;
    return TRUE;
}

BOOL IsWindowVisible(HWND window)
{
    return Manager().QueryFlag(window, &WindowObject::visible) ? TRUE : FALSE;
}

BOOL IsIconic(HWND window)
{
    return Manager().QueryFlag(window, &WindowObject::minimized) ? TRUE : FALSE;
}

BOOL IsZoomed(HWND window)
{
    return Manager().QueryFlag(window, &WindowObject::maximized) ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND window)
{
    WindowObject* object = FindWindow(window);
    return object != nullptr && object->enabled ? TRUE : FALSE;
}

BOOL EnableWindow(HWND window, BOOL enable)
{
    WindowObject* object = FindWindow(window);
    if (object == nullptr)
        return FALSE;
    const bool was_disabled = !object->enabled;
    if (object->enabled != (enable != FALSE)) {
        object->enabled = enable != FALSE;
        SendMessageW(window, 0x000A /* WM_ENABLE */, enable ? TRUE : FALSE, 0);
    }
    return was_disabled ? TRUE : FALSE;
}

HWND GetParent(HWND window)
{
    WindowObject* object = FindWindow(window);
    return object != nullptr ? object->parent : nullptr;
}

HWND GetDesktopWindow()
{
    static HWND__ s_desktop{}; // stands for the desktop: its client area is display 0
    return &s_desktop;
}

HWND GetForegroundWindow()
{
    return Manager().Active();
}

BOOL SetForegroundWindow(HWND window)
{
    if (window == nullptr)
        return FALSE;
    return Manager().SetForeground(window) ? TRUE : FALSE;
}

HWND GetActiveWindow()
{
    return Manager().Active();
}

HWND SetActiveWindow(HWND window)
{
    const HWND previous = Manager().Active();
    Manager().SetForeground(window);
    return previous;
}

HWND GetFocus()
{
    return Manager().Focus();
}

HWND SetFocus(HWND window)
{
    return Manager().SetFocus(window);
}

BOOL SetWindowTextW(HWND window, LPCWSTR text)
{
    if (FindWindow(window) == nullptr)
        return FALSE;
    return SendMessageW(window, 0x000C /* WM_SETTEXT */, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

int GetWindowTextW(HWND window, LPWSTR text, int max_count)
{
    if (FindWindow(window) == nullptr || text == nullptr || max_count <= 0)
        return 0;
    return static_cast<int>(SendMessageW(window, 0x000D /* WM_GETTEXT */, static_cast<WPARAM>(max_count),
                                         reinterpret_cast<LPARAM>(text)));
}

int GetSystemMetrics(int index)
{
    switch (index) {
    case SM_CXSCREEN: {
        const RECT display = Manager().DisplayBounds(0);
        return display.right - display.left;
    }
    case SM_CYSCREEN: {
        const RECT display = Manager().DisplayBounds(0);
        return display.bottom - display.top;
    }
    case SM_CYMENU:
        return platform::MENU_BAR_HEIGHT;
    case SM_CYCAPTION:
        return 23;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR:
        return 32;
    case SM_CMONITORS: {
        platform::VideoDevice* device = Manager().Device();
        return device ? device->GetDisplayCount() : 1;
    }
    default:
        return 0;
    }
}

HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name)
{
    const uintptr_t id = reinterpret_cast<uintptr_t>(name);
    if (instance == nullptr && IS_INTRESOURCE(id) && id >= 32512 && id <= 32649)
        return platform::SystemCursorHandle(id);
    if (IS_INTRESOURCE(id) && platform::FindCursorResource(static_cast<uint16_t>(id)))
        return platform::ResourceCursorHandle(static_cast<uint16_t>(id));
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
}

HICON LoadIconW(HINSTANCE instance, LPCWSTR name)
{
    const uintptr_t id = reinterpret_cast<uintptr_t>(name);
    if (!IS_INTRESOURCE(id)) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    // Icons are not drawn anywhere: the window manager shows its own. The handle stands for the id.
    (void)instance;
    return reinterpret_cast<HICON>(0x5000'0000 | id);
}

HCURSOR SetCursor(HCURSOR cursor)
{
    return Manager().SetCursor(cursor);
}

HCURSOR GetCursor()
{
    return Manager().Cursor();
}

int ShowCursor(BOOL show)
{
    return Manager().ShowPointer(show != FALSE);
}

BOOL GetCursorPos(LPPOINT point)
{
    if (point == nullptr)
        return FALSE;
    *point = Manager().PointerPosition();
    return TRUE;
}

BOOL SetCursorPos(int x, int y)
{
    return Manager().SetPointerPosition(x, y) ? TRUE : FALSE;
}

HWND SetCapture(HWND window)
{
    return Manager().SetCapture(window);
}

BOOL ReleaseCapture()
{
    return Manager().ReleaseCapture() ? TRUE : FALSE;
}

HWND GetCapture()
{
    return Manager().Capture();
}

SHORT GetAsyncKeyState(int virtual_key)
{
    return Manager().KeyState(virtual_key, true);
}

SHORT GetKeyState(int virtual_key)
{
    return Manager().KeyState(virtual_key, false);
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC procedure)
{
    return Manager().SetTimer(window, id, elapse, procedure);
}

BOOL KillTimer(HWND window, UINT_PTR id)
{
    return Manager().KillTimer(window, id) ? TRUE : FALSE;
}

// Menus of windows.

HMENU GetMenu(HWND window)
{
    WindowObject* object = FindWindow(window);
    if (object == nullptr || (object->style & WS_CHILD))
        return nullptr;
    return object->menu;
}

BOOL SetMenu(HWND window, HMENU menu)
{
    return Manager().SetMenu(window, menu) ? TRUE : FALSE;
}

HMENU GetSystemMenu(HWND window, BOOL revert)
{
    return Manager().GetSystemMenu(window, revert != FALSE);
}

BOOL DrawMenuBar(HWND window)
{
    if (FindWindow(window) == nullptr)
        return FALSE;
    Manager().InvalidateChrome();
    return TRUE;
}

namespace platform {

namespace {

// Static initialisation runs on the thread that goes on to run main.
const std::thread::id g_user_interface_thread = std::this_thread::get_id();

} // namespace

bool IsUserInterfaceThread()
{
    return std::this_thread::get_id() == g_user_interface_thread;
}

void PublishWindowFrame(HWND window, std::shared_ptr<const WindowFrame> frame)
{
    WindowManager::GetInstance().PublishFrame(window, std::move(frame));
}

} // namespace platform

#include "platform/user/WindowLayerTesting.h"

namespace platform {

void ResetWindowLayer()
{
    WindowManager::GetInstance().Reset();
}

} // namespace platform

#include "platform/user/DrawnMessageBox.h"

namespace platform {

int ShowDrawnMessageBox(HWND owner, const std::u16string& text, const std::u16string& caption, UINT type)
{
    return WindowManager::GetInstance().RunMessageBox(owner, text, caption, type);
}

} // namespace platform
