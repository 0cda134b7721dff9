#pragma once
// The menu objects behind HMENU: items with id, text, state and pop-ups. Layer-internal; main
// thread only. The drop-downs and bars are drawn from this model (MenuLayout.h).

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/kernel/WinTypes.h"
#include "platform/res/MenuResource.h"

namespace platform {

struct MenuItem
{
    UINT id = 0;
    UINT type = 0;  // MFT_SEPARATOR, MFT_RIGHTJUSTIFY
    UINT state = 0; // MFS_GRAYED bits, MFS_CHECKED, MFS_HILITE
    std::u16string text;
    HMENU popup = nullptr; // owned by this item
    ULONG_PTR data = 0;
};

struct MenuObject
{
    bool is_popup = false;
    std::vector<MenuItem> items;
};

class MenuStore final
{
public:
    static MenuStore& GetInstance();

    HMENU Create(bool is_popup);
    // Builds a menu from resource id; null when there is no such resource.
    HMENU LoadResource(uint16_t id);
    // The standard system menu of a window: restore, move, size, minimise, maximise, close.
    HMENU CreateSystemMenu();
    void Destroy(HMENU menu);
    MenuObject* Find(HMENU menu);

    // The item by command (searched depth-first through the pop-ups) or by position, with the
    // menu that holds it.
    struct Location
    {
        MenuObject* menu;
        MenuItem* item;
    };
    std::optional<Location> Locate(HMENU menu, UINT item, bool by_position);

    // Flags in the form of the classic calls (MF_*), pop-up item count in the high byte.
    static UINT ClassicFlags(const MenuObject& owner, const MenuItem& item);

    // Drops every menu (tests only).
    void Reset();

private:
    MenuStore() = default;
    HMENU Build(std::span<const MenuTemplateItem> items, bool is_popup);

    std::unordered_map<uintptr_t, std::unique_ptr<MenuObject>> m_menus;
    uintptr_t m_next_handle = 0x1'0000;
};

} // namespace platform
