#include "foundation/CWindow.h"

#include <algorithm>

#include "foundation/CExecException.h"
#include "platform/gdi/ScreenCapsApi.h"
#include "platform/user/MenuApi.h"

CWindow::CWindow() = default;

CWindow::CWindow(HWND window)
    : m_handle(window)
{}

CWindow::~CWindow()
{
    // A window that outlives its object must not hand later messages to freed memory: they go to
    // DefWindowProcW from now on.
    if (m_handle != nullptr && ::IsWindow(m_handle) &&
        GetWindowLongPtrW(m_handle, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this))
        SetWindowLongPtrW(m_handle, GWLP_USERDATA, 0);
    m_hook_list.Clear();
}

LRESULT CWindow::SharedWindowProc(HWND window, UINT message, WPARAM w_param, LPARAM l_param)
{
    CWindow* object = nullptr;
    if (message == WM_CREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(l_param);
        object = create != nullptr ? static_cast<CWindow*>(create->lpCreateParams) : nullptr;
    } else {
        object = reinterpret_cast<CWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (object != nullptr) {
        if (const int32_t result = object->m_hook_list.Dispatch(window, message, w_param, l_param);
            result != 0)
            return result;
    }
    return DefWindowProcW(window, message, w_param, l_param);
}

void CWindow::Create(const CREATESTRUCTW& record)
{
    m_create = record;
    if (!RegisterClass(m_create))
        throw CExecException("Failed to create the Register Window");
    const HWND window =
        CreateWindowExW(m_create.dwExStyle, m_create.lpszClass, m_create.lpszName,
                        static_cast<DWORD>(m_create.style), m_create.x, m_create.y, m_create.cx, m_create.cy,
                        m_create.hwndParent, m_create.hMenu, m_create.hInstance, this);
    if (window == nullptr)
        throw CExecException("Failed to create the Create Window Object");
    m_handle = window;
    m_style = static_cast<uint32_t>(m_create.style);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void CWindow::Destroy()
{
    if (m_handle != nullptr)
        DestroyWindow(m_handle);
    if (m_class_atom != 0)
        UnregisterClassW(m_create.lpszClass, m_create.hInstance);
    m_class_atom = 0;
    m_handle = nullptr;
}

void CWindow::SetHandle(HWND window)
{
    m_handle = window;
}

BOOL CWindow::IsVisible()
{
    return IsWindowVisible(m_handle);
}

BOOL CWindow::IsIconic()
{
    return ::IsIconic(m_handle);
}

BOOL CWindow::IsZoomed()
{
    return ::IsZoomed(m_handle);
}

BOOL CWindow::HasMenu()
{
    return GetMenu() != nullptr ? TRUE : FALSE;
}

void CWindow::CenterOnDesktop(const CREATESTRUCTW* record)
{
    const CREATESTRUCTW& source = record != nullptr ? *record : m_create;
    RECT window{source.x, source.y, source.x + source.cx, source.y + source.cy};
    AdjustWindowRect(&window, static_cast<DWORD>(source.style), source.hMenu != nullptr ? TRUE : FALSE);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    RECT desktop{};
    ::GetClientRect(GetDesktopWindow(), &desktop);
    const int x = std::max<int>((desktop.right - desktop.left - width) / 2, 0);
    const int y = std::max<int>((desktop.bottom - desktop.top - height) / 2, 0);
    SetWindowPos(HWND_NOTOPMOST, x, y, width, height, 0);
}

BOOL CWindow::SetWindowPos(HWND insert_after, int x, int y, int width, int height, UINT flags)
{
    return ::SetWindowPos(m_handle, insert_after, x, y, width, height, flags);
}

BOOL CWindow::Move(int x, int y, int width, int height, BOOL repaint)
{
    return MoveWindow(m_handle, x, y, width, height, repaint);
}

BOOL CWindow::Show(int command)
{
    return ShowWindow(m_handle, command);
}

BOOL CWindow::SetMenu(HMENU menu)
{
    return ::SetMenu(m_handle, menu);
}

BOOL CWindow::SetForeground()
{
    return SetForegroundWindow(m_handle);
}

HWND CWindow::SetFocus()
{
    return ::SetFocus(m_handle);
}

LONG CWindow::SetStyle(LONG style)
{
    return SetWindowLong(GWL_STYLE, style);
}

LONG CWindow::SetExStyle(LONG style)
{
    return SetWindowLong(GWL_EXSTYLE, style);
}

LONG CWindow::SetWindowLong(int index, LONG value)
{
    return SetWindowLongW(m_handle, index, value);
}

BOOL CWindow::Update()
{
    return UpdateWindow(m_handle);
}

BOOL CWindow::Invalidate(const RECT* rect, BOOL erase)
{
    return InvalidateRect(m_handle, rect, erase);
}

BOOL CWindow::GetClientRect(RECT* rect)
{
    return ::GetClientRect(m_handle, rect);
}

BOOL CWindow::GetWindowRect(RECT* rect)
{
    return ::GetWindowRect(m_handle, rect);
}

BOOL CWindow::ClientToScreen(POINT* point)
{
    return ::ClientToScreen(m_handle, point);
}

BOOL CWindow::ScreenToClient(POINT* point)
{
    return ::ScreenToClient(m_handle, point);
}

HMENU CWindow::GetMenu()
{
    return ::GetMenu(m_handle);
}

HWND CWindow::GetParent()
{
    return ::GetParent(m_handle);
}

BOOL CWindow::RegisterClass(const CREATESTRUCTW& record)
{
    return RegisterClassWithIcon(record, nullptr);
}

BOOL CWindow::RegisterClassWithIcon(const CREATESTRUCTW& record, HICON icon)
{
    WNDCLASSW info{};
    info.style = CS_HREDRAW | CS_VREDRAW;
    info.lpfnWndProc = &CWindow::SharedWindowProc;
    info.cbClsExtra = 0;
    info.cbWndExtra = 4;
    info.hInstance = record.hInstance;
    info.hIcon = icon;
    info.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    info.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    info.lpszMenuName = nullptr;
    info.lpszClassName = record.lpszClass;
    m_class_atom = RegisterClassW(&info);
    return m_class_atom != 0 ? TRUE : FALSE;
}
