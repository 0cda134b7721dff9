#include "platform/user/MenuStore.h"

#include "platform/user/MenuApi.h"
#include "platform/user/MessageApi.h"

namespace platform {

MenuStore& MenuStore::GetInstance()
{
    static auto* s_store = new MenuStore; // never destroyed: windows may outlive static destruction
    return *s_store;
}

HMENU MenuStore::Create(bool is_popup)
{
    const uintptr_t handle = m_next_handle++;
    auto menu = std::make_unique<MenuObject>();
    menu->is_popup = is_popup;
    m_menus.emplace(handle, std::move(menu));
    return reinterpret_cast<HMENU>(handle);
}

HMENU MenuStore::Build(std::span<const MenuTemplateItem> items, bool is_popup)
{
    HMENU handle = Create(is_popup);
    for (const MenuTemplateItem& source : items) {
        MenuItem item;
        item.text = std::u16string(source.text);
        item.type = source.flags & (MF_SEPARATOR | MF_RIGHTJUSTIFY);
        item.state = source.flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED);
        if (source.flags & MF_POPUP)
            item.popup = Build(source.children, true);
        else
            item.id = source.id;
        // Find after Build: building pop-ups inserts into the map.
        Find(handle)->items.push_back(std::move(item));
    }
    return handle;
}

HMENU MenuStore::LoadResource(uint16_t id)
{
    const auto items = FindMenuResource(id);
    if (!items)
        return nullptr;
    return Build(*items, false);
}

HMENU MenuStore::CreateSystemMenu()
{
    static constexpr MenuTemplateItem SYSTEM_MENU[] = {
        {SC_RESTORE, MF_GRAYED, u"元のサイズに戻す(&R)", {}},
        {SC_MOVE, 0, u"移動(&M)", {}},
        {SC_SIZE, MF_GRAYED, u"サイズ変更(&S)", {}},
        {SC_MINIMIZE, 0, u"最小化(&N)", {}},
        {SC_MAXIMIZE, 0, u"最大化(&X)", {}},
        {0, MF_SEPARATOR, u"", {}},
        {SC_CLOSE, 0, u"閉じる(&C)", {}},
    };
    return Build(SYSTEM_MENU, true);
}

void MenuStore::Destroy(HMENU menu)
{
    auto found = m_menus.find(reinterpret_cast<uintptr_t>(menu));
    if (found == m_menus.end())
        return;
    std::unique_ptr<MenuObject> object = std::move(found->second);
    m_menus.erase(found);
    for (const MenuItem& item : object->items) {
        if (item.popup)
            Destroy(item.popup);
    }
}

MenuObject* MenuStore::Find(HMENU menu)
{
    auto found = m_menus.find(reinterpret_cast<uintptr_t>(menu));
    return found == m_menus.end() ? nullptr : found->second.get();
}

std::optional<MenuStore::Location> MenuStore::Locate(HMENU menu, UINT item, bool by_position)
{
    MenuObject* object = Find(menu);
    if (!object)
        return std::nullopt;
    if (by_position) {
        if (item >= object->items.size())
            return std::nullopt;
        return Location{object, &object->items[item]};
    }
    for (MenuItem& entry : object->items) {
        if (!entry.popup && !(entry.type & MFT_SEPARATOR) && entry.id == item)
            return Location{object, &entry};
        if (entry.popup) {
            if (auto inner = Locate(entry.popup, item, false))
                return inner;
        }
    }
    return std::nullopt;
}

UINT MenuStore::ClassicFlags(const MenuObject& owner, const MenuItem& item)
{
    (void)owner;
    UINT flags = (item.state & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE)) | item.type;
    if (item.popup) {
        // For a pop-up only the low byte holds flags; the next byte is its item count.
        flags = (flags | MF_POPUP) & 0xFF;
        if (const MenuObject* popup = GetInstance().Find(item.popup))
            flags |= static_cast<UINT>(popup->items.size() & 0xFF) << 8;
    }
    return flags;
}

void MenuStore::Reset()
{
    m_menus.clear();
}

} // namespace platform
