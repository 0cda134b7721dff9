#pragma once
// Where the layer draws a menu bar and its drop-downs, and the drawing itself. Coordinates are
// pixels of the native window's picture. Layer-internal; main thread only.

#include <vector>

#include "platform/kernel/WinTypes.h"

namespace platform {

class UiCanvas;
struct MenuObject;

// Height of a menu bar (SM_CYMENU) and the size of its text.
inline constexpr int MENU_BAR_HEIGHT = 20;
inline constexpr int MENU_TEXT_SIZE = 12;

struct MenuBarLayout
{
    RECT bar{};
    std::vector<RECT> titles; // one per top-level item; empty for a separator
};

struct DropDownLayout
{
    RECT frame{};
    std::vector<RECT> items;
};

// Titles from the left; a right-justified title and those after it sit at the right end.
MenuBarLayout LayoutMenuBar(const MenuObject& menu, const RECT& bar);
// Below the title, moved left or up to stay inside the area.
DropDownLayout LayoutDropDown(const MenuObject& popup, const RECT& title, const RECT& area);

// The bar with the open title (or -1) drawn pressed.
void PaintMenuBar(UiCanvas& canvas, const MenuObject& menu, const MenuBarLayout& layout, int open_title);
// The drop-down with the hovered item (or -1) highlighted.
void PaintDropDown(UiCanvas& canvas, const MenuObject& popup, const DropDownLayout& layout, int hover);

// The position of the item under the point, or -1.
int HitTestTitles(const MenuBarLayout& layout, POINT point);
int HitTestItems(const MenuObject& popup, const DropDownLayout& layout, POINT point);

} // namespace platform
