#include "app/CTabCtrl.h"

#include "foundation/CApiDialog.h"
#include "platform/user/ControlsApi.h"

int32_t CTabCtrl::InsertItem(int32_t index, const char16_t* label)
{
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<LPWSTR>(label);
    return static_cast<int32_t>(
        SendMessageW(m_handle, TCM_INSERTITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
}

std::u16string CTabCtrl::GetItemText(int32_t index)
{
    char16_t text[256]{};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 256;
    if (!SendMessageW(m_handle, TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)))
        return {};
    return text;
}

int32_t CTabCtrl::GetCurSel()
{
    return static_cast<int32_t>(SendMessageW(m_handle, TCM_GETCURSEL, 0, 0));
}

int32_t CTabCtrl::SetCurSel(int32_t index)
{
    return static_cast<int32_t>(SendMessageW(m_handle, TCM_SETCURSEL, static_cast<WPARAM>(index), 0));
}

RECT CTabCtrl::GetDisplayRect()
{
    // The pages are children of the tab control: its client area is their coordinate space.
    RECT rect{};
    CWindow::GetClientRect(&rect);
    SendMessageW(m_handle, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

void CTabCtrl::ShowPage(int32_t index)
{
    if (m_shown >= 0 && static_cast<size_t>(m_shown) < m_pages.size())
        m_pages[static_cast<size_t>(m_shown)]->Show(SW_HIDE);
    m_shown = -1;
    if (index < 0 || static_cast<size_t>(index) >= m_pages.size())
        return;
    m_pages[static_cast<size_t>(index)]->Show(SW_SHOW);
    m_shown = index;
}

void CTabCtrl::PlacePages()
{
    const RECT area = GetDisplayRect();
    for (CApiDialog* page : m_pages)
        page->SetWindowPos(nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                           SWP_NOZORDER | SWP_NOACTIVATE);
}
