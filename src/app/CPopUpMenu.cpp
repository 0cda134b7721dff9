#include "app/CPopUpMenu.h"

#include <algorithm>

#include "graphics/CDirect3D.h"
#include "platform/user/MenuApi.h"

namespace {

constexpr UINT ID_MAIN_MENU = 105;

} // namespace

CPopUpMenu::CPopUpMenu()
{
    m_hook_list.Add(this);
}

CPopUpMenu::~CPopUpMenu()
{
    m_hook_list.Remove(this);
}

void CPopUpMenu::CreatePopupWindow(HINSTANCE instance, CWindow& view)
{
    RECT client{};
    view.GetClientRect(&client);
    POINT origin{0, 0};
    view.ClientToScreen(&origin);
    CREATESTRUCTW record{};
    record.lpCreateParams = nullptr;
    record.hInstance = instance;
    record.hMenu = LoadMenuW(instance, MAKEINTRESOURCEW(ID_MAIN_MENU));
    record.hwndParent = view.GetHandle();
    record.cy = GetSystemMetrics(SM_CYMENU);
    record.cx = client.right - client.left;
    record.y = origin.y;
    record.x = origin.x;
    record.style = static_cast<LONG>(WS_POPUP);
    record.lpszName = u"";
    record.lpszClass = u"PopUpMenuWindow_CLASS";
    record.dwExStyle = 0;
    Create(record);
}

void CPopUpMenu::Open()
{
    if (IsVisible())
        return;
    const HWND view = GetParent();
    POINT origin{0, 0};
    ::ClientToScreen(view, &origin);
    RECT client{};
    ::GetClientRect(view, &client);
    CDirect3D* display = CDirect3D::GetInstance();
    const POINT offset = display->GetOutputOffset();
    // As wide as the picture, and never wider than the view's client area the picture is shown in.
    const RECT viewport = display->GetViewportRect();
    int width = client.right - client.left;
    if (viewport.right > viewport.left)
        width = std::min<int>(width, viewport.right - viewport.left);
    SetWindowPos(HWND_TOPMOST, origin.x + std::max<int>(offset.x, 0), origin.y + std::max<int>(offset.y, 0),
                 width, GetSystemMetrics(SM_CYMENU), SWP_SHOWWINDOW);
    SetForeground();
}

void CPopUpMenu::Hide()
{
    Show(SW_HIDE);
}

int32_t CPopUpMenu::HookProc(HWND, UINT message, WPARAM w_param, LPARAM l_param)
{
    switch (message) {
    case WM_DESTROY:
        return 0;
    case WM_COMMAND:
        PostMessageW(GetParent(), WM_COMMAND, w_param, l_param);
        return 1;
    case WM_SYSCOMMAND:
        if ((w_param & 0xFFF0) == SC_CLOSE) {
            PostMessageW(GetParent(), WM_SYSCOMMAND, SC_CLOSE, l_param);
            return 1;
        }
        return 0;
    default:
        return 0;
    }
}
