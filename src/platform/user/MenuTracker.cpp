#include "platform/user/MenuTracker.h"

#include "platform/user/MenuApi.h"
#include "platform/user/MenuStore.h"
#include "platform/user/MessageApi.h"

namespace platform {

namespace {

bool Contains(const RECT& rect, POINT point)
{
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
}

bool Selectable(const MenuItem& item)
{
    return !(item.type & MFT_SEPARATOR) && !(item.state & (MF_GRAYED | MF_DISABLED)) && item.popup == nullptr;
}

const MenuObject* FindMenu(HMENU menu)
{
    return MenuStore::GetInstance().Find(menu);
}

bool HasPopup(const MenuObject& menu, int title)
{
    return title >= 0 && static_cast<size_t>(title) < menu.items.size() &&
           menu.items[static_cast<size_t>(title)].popup != nullptr;
}

} // namespace

struct MenuTracker::Drop
{
    const MenuObject* popup = nullptr;
    DropDownLayout layout;
};

void MenuTracker::Begin(HWND owner, HMENU menu)
{
    *this = {};
    m_active = true;
    m_owner = owner;
    m_menu = menu;
    m_changed = true;
}

MenuTracker::Drop MenuTracker::OpenDrop(const MenuBarLayout& bar, const RECT& area) const
{
    Drop drop;
    const MenuObject* menu = FindMenu(m_menu);
    if (menu == nullptr || !HasPopup(*menu, m_open_title) ||
        static_cast<size_t>(m_open_title) >= bar.titles.size())
        return drop;
    drop.popup = FindMenu(menu->items[static_cast<size_t>(m_open_title)].popup);
    if (drop.popup != nullptr)
        drop.layout = LayoutDropDown(*drop.popup, bar.titles[static_cast<size_t>(m_open_title)], area);
    return drop;
}

void MenuTracker::Open(int title, const InitPopup& init_popup)
{
    if (title == m_open_title)
        return;
    m_open_title = title;
    m_hover = -1;
    m_changed = true;
    const MenuObject* menu = FindMenu(m_menu);
    if (menu != nullptr && HasPopup(*menu, title))
        init_popup(menu->items[static_cast<size_t>(title)].popup, title);
}

bool MenuTracker::OpenAt(const MenuBarLayout& bar, POINT point, const InitPopup& init_popup)
{
    const MenuObject* menu = FindMenu(m_menu);
    const int title = HitTestTitles(bar, point);
    if (menu == nullptr || !HasPopup(*menu, title)) {
        Cancel();
        return false;
    }
    Open(title, init_popup);
    return true;
}

bool MenuTracker::OnPointerMove(const MenuBarLayout& bar, const RECT& area, POINT point,
                                const InitPopup& init_popup)
{
    const MenuObject* menu = FindMenu(m_menu);
    if (menu == nullptr)
        return false;
    const int title = HitTestTitles(bar, point);
    if (HasPopup(*menu, title)) {
        Open(title, init_popup);
        return true;
    }
    const Drop drop = OpenDrop(bar, area);
    const int hover = (drop.popup != nullptr && Contains(drop.layout.frame, point))
                          ? HitTestItems(*drop.popup, drop.layout, point)
                          : -1;
    if (hover != m_hover) {
        m_hover = hover;
        m_changed = true;
    }
    return true;
}

bool MenuTracker::OnButton(bool down, const MenuBarLayout& bar, const RECT& area, POINT point,
                           const InitPopup& init_popup, UINT& picked)
{
    const MenuObject* menu = FindMenu(m_menu);
    if (menu == nullptr)
        return false;
    if (down) {
        const int title = HitTestTitles(bar, point);
        if (title >= 0) {
            if (title == m_open_title)
                return false; // a click on the open title closes it
            if (HasPopup(*menu, title))
                Open(title, init_popup);
            return true;
        }
        const Drop drop = OpenDrop(bar, area);
        return drop.popup != nullptr && Contains(drop.layout.frame, point);
    }
    const Drop drop = OpenDrop(bar, area);
    if (drop.popup == nullptr || !Contains(drop.layout.frame, point))
        return true;
    const int item = HitTestItems(*drop.popup, drop.layout, point);
    if (item >= 0 && Selectable(drop.popup->items[static_cast<size_t>(item)])) {
        picked = drop.popup->items[static_cast<size_t>(item)].id;
        return false;
    }
    return true; // a greyed item or a separator keeps the menu open
}

bool MenuTracker::OnKey(UINT virtual_key, const MenuBarLayout& bar, const RECT& area,
                        const InitPopup& init_popup, UINT& picked)
{
    const MenuObject* menu = FindMenu(m_menu);
    if (menu == nullptr)
        return false;
    const int count = static_cast<int>(menu->items.size());
    switch (virtual_key) {
    case VK_ESCAPE:
    case VK_MENU:
    case VK_F10:
        return false;
    case VK_LEFT:
    case VK_RIGHT: {
        const int step = virtual_key == VK_LEFT ? -1 : 1;
        int title = m_open_title;
        for (int tries = 0; tries < count; ++tries) {
            title = (title + step + count) % count;
            if (HasPopup(*menu, title))
                break;
        }
        Open(title, init_popup);
        return true;
    }
    case VK_UP:
    case VK_DOWN: {
        const Drop drop = OpenDrop(bar, area);
        if (drop.popup == nullptr || drop.popup->items.empty())
            return true;
        const int items = static_cast<int>(drop.popup->items.size());
        const int step = virtual_key == VK_UP ? -1 : 1;
        int hover = m_hover < 0 ? (step > 0 ? -1 : items) : m_hover;
        for (int tries = 0; tries < items; ++tries) {
            hover = (hover + step + items) % items;
            if (!(drop.popup->items[static_cast<size_t>(hover)].type & MFT_SEPARATOR))
                break;
        }
        m_hover = hover;
        m_changed = true;
        return true;
    }
    case VK_RETURN: {
        const Drop drop = OpenDrop(bar, area);
        if (drop.popup != nullptr && m_hover >= 0 && static_cast<size_t>(m_hover) < drop.popup->items.size() &&
            Selectable(drop.popup->items[static_cast<size_t>(m_hover)])) {
            picked = drop.popup->items[static_cast<size_t>(m_hover)].id;
            return false;
        }
        return true;
    }
    default:
        return true;
    }
}

bool MenuTracker::TakeChanged()
{
    const bool changed = m_changed;
    m_changed = false;
    return changed;
}

} // namespace platform
