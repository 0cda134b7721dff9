#pragma once
// The compiled-in menu and accelerator resources, looked up by id. LoadMenuW and
// LoadAcceleratorsW build their objects from these records.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace platform {

// One entry of a menu template. Flags use the Windows values (MF_POPUP, MF_SEPARATOR,
// MF_RIGHTJUSTIFY, MF_GRAYED, MF_CHECKED); a pop-up has children and no id.
struct MenuTemplateItem
{
    uint16_t id;
    uint32_t flags;
    std::u16string_view text;
    std::span<const MenuTemplateItem> children;
};

// One accelerator: fVirt flags (FVIRTKEY, FSHIFT, FCONTROL, FALT), virtual key, command.
struct AcceleratorTemplateEntry
{
    uint8_t flags;
    uint16_t key;
    uint16_t command;
};

// The top-level items of the menu resource, or nothing when there is none of that id.
std::optional<std::span<const MenuTemplateItem>> FindMenuResource(uint16_t id);
std::optional<std::span<const AcceleratorTemplateEntry>> FindAcceleratorResource(uint16_t id);

} // namespace platform
