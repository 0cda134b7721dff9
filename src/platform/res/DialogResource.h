#pragma once
// The compiled-in dialog templates, looked up by id: the dialog's style, caption and size and its
// controls, positions and sizes in dialog units as a resource script gives them. The ids and
// texts are the program's; the layouts are our own.

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/kernel/WinTypes.h"

namespace platform {

// One control. WS_CHILD and WS_VISIBLE are implied; `id` is -1 for a text nobody addresses.
// A static with SS_ICON shows the icon resource named by its text ("#109").
struct DialogTemplateItem
{
    std::u16string_view class_name;
    int id;
    std::u16string_view text;
    int x;
    int y;
    int cx;
    int cy;
    DWORD style;
};

struct DialogTemplate
{
    uint16_t id;
    DWORD style;
    std::u16string_view caption;
    int x;
    int y;
    int cx;
    int cy;
    std::span<const DialogTemplateItem> items;
};

// The template of that id, or null.
const DialogTemplate* FindDialogResource(uint16_t id);

} // namespace platform
