// The menu calls over MenuStore. Window-related menu calls (GetMenu, SetMenu, GetSystemMenu,
// DrawMenuBar) are in WindowApi.cpp.
#include "platform/user/MenuApi.h"

#include <algorithm>

#include "platform/kernel/ErrorApi.h"
#include "platform/kernel/Unicode.h"
#include "platform/user/MenuStore.h"
#include "platform/user/WindowManager.h"

using platform::MenuItem;
using platform::MenuObject;
using platform::MenuStore;

namespace {

constexpr DWORD ERROR_INVALID_MENU_HANDLE = 1401;
constexpr DWORD ERROR_MENU_ITEM_NOT_FOUND = 1456;

MenuObject* FindMenu(HMENU menu)
{
    MenuObject* object = MenuStore::GetInstance().Find(menu);
    if (!object)
        SetLastError(ERROR_INVALID_MENU_HANDLE);
    return object;
}

std::optional<MenuStore::Location> LocateItem(HMENU menu, UINT item, UINT flags)
{
    if (!FindMenu(menu))
        return std::nullopt;
    auto location = MenuStore::GetInstance().Locate(menu, item, (flags & MF_BYPOSITION) != 0);
    if (!location)
        SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
    return location;
}

void MenuChanged()
{
    platform::WindowManager::GetInstance().InvalidateChrome();
}

std::u16string TextOf(LPCWSTR text)
{
    return text ? std::u16string(text) : std::u16string();
}

} // namespace

HMENU LoadMenuW(HINSTANCE, LPCWSTR menu_name)
{
    const uintptr_t value = reinterpret_cast<uintptr_t>(menu_name);
    HMENU menu =
        IS_INTRESOURCE(value) ? MenuStore::GetInstance().LoadResource(static_cast<uint16_t>(value)) : nullptr;
    if (!menu)
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return menu;
}

HMENU CreateMenu()
{
    return MenuStore::GetInstance().Create(false);
}

HMENU CreatePopupMenu()
{
    return MenuStore::GetInstance().Create(true);
}

BOOL DestroyMenu(HMENU menu)
{
    if (!FindMenu(menu))
        return FALSE;
    platform::WindowManager::GetInstance().ForgetMenu(menu);
    MenuStore::GetInstance().Destroy(menu);
    MenuChanged();
    return TRUE;
}

BOOL IsMenu(HMENU menu)
{
    return MenuStore::GetInstance().Find(menu) != nullptr ? TRUE : FALSE;
}

BOOL AppendMenuW(HMENU menu, UINT flags, UINT_PTR id_or_popup, LPCWSTR text)
{
    MenuObject* object = FindMenu(menu);
    if (!object)
        return FALSE;
    MenuItem item;
    item.type = flags & (MF_SEPARATOR | MF_RIGHTJUSTIFY);
    item.state = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED);
    if (flags & MF_POPUP)
        item.popup = reinterpret_cast<HMENU>(id_or_popup);
    else
        item.id = static_cast<UINT>(id_or_popup);
    if (!(flags & MF_SEPARATOR))
        item.text = TextOf(text);
    object->items.push_back(std::move(item));
    MenuChanged();
    return TRUE;
}

HMENU GetSubMenu(HMENU menu, int position)
{
    MenuObject* object = MenuStore::GetInstance().Find(menu);
    if (!object || position < 0 || static_cast<size_t>(position) >= object->items.size())
        return nullptr;
    return object->items[static_cast<size_t>(position)].popup;
}

int GetMenuItemCount(HMENU menu)
{
    MenuObject* object = FindMenu(menu);
    return object ? static_cast<int>(object->items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int position)
{
    MenuObject* object = MenuStore::GetInstance().Find(menu);
    if (!object || position < 0 || static_cast<size_t>(position) >= object->items.size())
        return static_cast<UINT>(-1);
    const MenuItem& item = object->items[static_cast<size_t>(position)];
    return item.popup ? static_cast<UINT>(-1) : item.id;
}

BOOL EnableMenuItem(HMENU menu, UINT item, UINT flags)
{
    auto location = LocateItem(menu, item, flags);
    if (!location)
        return -1;
    const UINT previous = location->item->state & (MF_GRAYED | MF_DISABLED);
    location->item->state =
        (location->item->state & ~(MF_GRAYED | MF_DISABLED)) | (flags & (MF_GRAYED | MF_DISABLED));
    if (previous != (location->item->state & (MF_GRAYED | MF_DISABLED)))
        MenuChanged();
    return static_cast<BOOL>(previous);
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags)
{
    auto location = LocateItem(menu, item, flags);
    if (!location)
        return static_cast<DWORD>(-1);
    const UINT previous = location->item->state & MF_CHECKED;
    location->item->state = (location->item->state & ~MF_CHECKED) | (flags & MF_CHECKED);
    if (previous != (location->item->state & MF_CHECKED))
        MenuChanged();
    return previous;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags)
{
    auto location = LocateItem(menu, item, flags);
    if (!location)
        return static_cast<UINT>(-1);
    return MenuStore::ClassicFlags(*location->menu, *location->item);
}

int GetMenuStringW(HMENU menu, UINT item, LPWSTR text, int max_count, UINT flags)
{
    auto location = LocateItem(menu, item, flags);
    if (!location)
        return 0;
    const std::u16string& source = location->item->text;
    if (text == nullptr || max_count <= 0)
        return static_cast<int>(source.size());
    const size_t count = std::min(source.size(), static_cast<size_t>(max_count) - 1);
    std::copy_n(source.data(), count, text);
    text[count] = 0;
    return static_cast<int>(count);
}

BOOL SetMenuItemInfoW(HMENU menu, UINT item, BOOL by_position, LPCMENUITEMINFOW info)
{
    if (info == nullptr || info->cbSize < sizeof(MENUITEMINFOW)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto location = LocateItem(menu, item, by_position ? MF_BYPOSITION : MF_BYCOMMAND);
    if (!location)
        return FALSE;
    MenuItem& target = *location->item;
    if (info->fMask & (MIIM_STRING | MIIM_TYPE)) {
        if (!(info->fMask & MIIM_TYPE) || !(info->fType & MFT_SEPARATOR))
            target.text = TextOf(info->dwTypeData);
    }
    if (info->fMask & (MIIM_FTYPE | MIIM_TYPE))
        target.type = info->fType & (MFT_SEPARATOR | MFT_RIGHTJUSTIFY);
    if (info->fMask & MIIM_STATE)
        target.state = info->fState & (MFS_GRAYED | MFS_CHECKED | MFS_HILITE);
    if (info->fMask & MIIM_ID)
        target.id = info->wID;
    if (info->fMask & MIIM_SUBMENU)
        target.popup = info->hSubMenu;
    if (info->fMask & MIIM_DATA)
        target.data = info->dwItemData;
    MenuChanged();
    return TRUE;
}

BOOL GetMenuItemInfoW(HMENU menu, UINT item, BOOL by_position, LPMENUITEMINFOW info)
{
    if (info == nullptr || info->cbSize < sizeof(MENUITEMINFOW)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto location = LocateItem(menu, item, by_position ? MF_BYPOSITION : MF_BYCOMMAND);
    if (!location)
        return FALSE;
    const MenuItem& source = *location->item;
    if (info->fMask & (MIIM_FTYPE | MIIM_TYPE))
        info->fType = source.type;
    if (info->fMask & MIIM_STATE)
        info->fState = source.state;
    if (info->fMask & MIIM_ID)
        info->wID = source.id;
    if (info->fMask & MIIM_SUBMENU)
        info->hSubMenu = source.popup;
    if (info->fMask & MIIM_DATA)
        info->dwItemData = source.data;
    if (info->fMask & (MIIM_STRING | MIIM_TYPE)) {
        if (info->dwTypeData != nullptr && info->cch > 0) {
            const size_t count = std::min(source.text.size(), static_cast<size_t>(info->cch) - 1);
            std::copy_n(source.text.data(), count, info->dwTypeData);
            info->dwTypeData[count] = 0;
            info->cch = static_cast<UINT>(count);
        } else {
            info->cch = static_cast<UINT>(source.text.size());
        }
    }
    return TRUE;
}
