#include "app/CMenuEvent.h"

#include "app/CDisplay.h"
#include "app/CVeskView.h"
#include "graphics/CDirect3D.h"
#include "platform/user/MessageApi.h"
#include "platform/user/WindowApi.h"

int32_t CMenuEvent::HookProc(HWND window, UINT message, WPARAM w_param, LPARAM l_param)
{
    CVeskView* view = GetView();
    const HMENU menu = view->GetMenu();
    if (menu != nullptr) {
        for (const MenuStateRecord* record = GetMenuStateTable(); record->handler != nullptr; ++record)
            (this->*record->handler)(MenuItemRef{record->command, menu});
    }

    switch (message) {
    case WM_COMMAND:
        OnCommand(window, LOWORD(w_param), l_param, HIWORD(w_param));
        return 1;
    case WM_MOUSEMOVE: {
        const CDisplay* display = view->GetDisplay();
        if (display == nullptr || display->GetMode() != DISPLAY_MODE_FULL_SCREEN || menu == nullptr)
            return 0;
        const int32_t y = static_cast<int16_t>(HIWORD(l_param));
        const int32_t picture_top = CDirect3D::GetInstance()->GetOutputOffset().y;
        CPopUpMenu* popup = view->GetPopupMenu();
        if (popup != nullptr && popup->IsVisible()) {
            if (y >= picture_top + GetSystemMetrics(SM_CYMENU))
                view->SetStatusBits(VIEW_STATUS_HIDE_POPUP);
        } else if (y <= (picture_top < 0 ? 0 : picture_top)) {
            view->SetStatusBits(VIEW_STATUS_OPEN_POPUP);
        }
        return 0;
    }
    case WM_MEASUREITEM:
        OnMeasureItem(window, l_param);
        return 0;
    case WM_DRAWITEM:
        OnDrawItem(window, l_param);
        return 0;
    default:
        return 0;
    }
}

int32_t CMenuEvent::OnMeasureItem(HWND, LPARAM)
{
    return 0;
}

int32_t CMenuEvent::OnDrawItem(HWND, LPARAM)
{
    return 0;
}
