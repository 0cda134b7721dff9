#include "app/CPopUpMenu.h"

#include <algorithm>

#include "app/ScreenSettings.h"
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
    POINT origin{0, 0};
    if (const HWND parent = GetParent(); parent != nullptr)
        ::ClientToScreen(parent, &origin);
    CDirect3D* display = CDirect3D::GetInstance();
    const POINT offset = display->GetOutputOffset();
    // The picture's width in window pixels: the logical width over the display's scale, and never
    // wider than the view's client area.
    RECT client{};
    if (const HWND parent = GetParent(); parent != nullptr)
        ::GetClientRect(parent, &client);
    const float scale = display->GetScaleX() > 0.0f ? display->GetScaleX() : 1.0f;
    const int picture_width =
        static_cast<int>(static_cast<float>(GetScreenOriginalSize(1).cx) / scale + 0.5f);
    const int width = std::min<int>(picture_width, client.right - client.left);
    SetWindowPos(HWND_TOPMOST, origin.x + std::max<int>(offset.x, 0), origin.y + std::max<int>(offset.y, 0),
                 width, GetSystemMetrics(SM_CYMENU), SWP_SHOWWINDOW);
    SetForeground();
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
