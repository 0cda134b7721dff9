#include "platform/user/MenuLayout.h"

#include <algorithm>

#include "platform/user/MenuApi.h"
#include "platform/user/MenuStore.h"
#include "platform/user/UiCanvas.h"
#include "platform/user/UiFont.h"

namespace platform {

namespace {

constexpr int TITLE_PADDING = 7;
constexpr int ITEM_HEIGHT = 22;
constexpr int SEPARATOR_HEIGHT = 7;
constexpr int CHECK_GUTTER = 28;
constexpr int RIGHT_PADDING = 28;
constexpr int MINIMUM_DROP_DOWN_WIDTH = 120;

constexpr uint32_t BAR_BACKGROUND = 0xFFF0F0F0;
constexpr uint32_t TEXT = 0xFF000000;
constexpr uint32_t GREYED_TEXT = 0xFF6D6D6D;
constexpr uint32_t OPEN_TITLE_FILL = 0xFFCCE8FF;
constexpr uint32_t OPEN_TITLE_FRAME = 0xFF99D1FF;
constexpr uint32_t DROP_DOWN_BACKGROUND = 0xFFF2F2F2;
constexpr uint32_t DROP_DOWN_FRAME = 0xFFCCCCCC;
constexpr uint32_t HOVER_FILL = 0xFF91C9F7;
constexpr uint32_t SEPARATOR_LINE = 0xFFD7D7D7;

bool Contains(const RECT& rect, POINT point)
{
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
}

int Baseline(int top, int height)
{
    return top + (height - MENU_TEXT_SIZE) / 2 + MENU_TEXT_SIZE * 7 / 8;
}

bool IsGreyed(const MenuItem& item)
{
    return (item.state & (MF_GRAYED | MF_DISABLED)) != 0;
}

void DrawCheckMark(UiCanvas& canvas, int x, int y, uint32_t color)
{
    // A tick in a 9 x 7 box with its corner at (x, y).
    for (int thickness = 0; thickness < 2; ++thickness) {
        canvas.DrawLine(x, y + 3 + thickness, x + 2, y + 5 + thickness, color);
        canvas.DrawLine(x + 2, y + 5 + thickness, x + 8, y - 1 + thickness, color);
    }
}

} // namespace

MenuBarLayout LayoutMenuBar(const MenuObject& menu, const RECT& bar)
{
    MenuBarLayout layout;
    layout.bar = bar;
    UiFont& font = UiFont::GetInstance();
    std::vector<int> widths;
    size_t right_from = menu.items.size();
    for (size_t i = 0; i < menu.items.size(); ++i) {
        const MenuItem& item = menu.items[i];
        widths.push_back((item.type & MFT_SEPARATOR)
                             ? 0
                             : font.MeasureText(item.text, MENU_TEXT_SIZE) + 2 * TITLE_PADDING);
        if ((item.type & MFT_RIGHTJUSTIFY) && right_from == menu.items.size())
            right_from = i;
    }
    int x = bar.left;
    for (size_t i = 0; i < right_from; ++i) {
        layout.titles.push_back({x, bar.top, x + widths[i], bar.bottom});
        x += widths[i];
    }
    int right_width = 0;
    for (size_t i = right_from; i < menu.items.size(); ++i)
        right_width += widths[i];
    x = std::max<int>(x, bar.right - right_width);
    for (size_t i = right_from; i < menu.items.size(); ++i) {
        layout.titles.push_back({x, bar.top, x + widths[i], bar.bottom});
        x += widths[i];
    }
    return layout;
}

DropDownLayout LayoutDropDown(const MenuObject& popup, const RECT& title, const RECT& area)
{
    UiFont& font = UiFont::GetInstance();
    int width = MINIMUM_DROP_DOWN_WIDTH;
    int height = 2;
    for (const MenuItem& item : popup.items) {
        if (item.type & MFT_SEPARATOR) {
            height += SEPARATOR_HEIGHT;
        } else {
            width =
                std::max(width, CHECK_GUTTER + font.MeasureText(item.text, MENU_TEXT_SIZE) + RIGHT_PADDING);
            height += ITEM_HEIGHT;
        }
    }
    int left = title.left;
    int top = title.bottom;
    if (left + width > area.right)
        left = std::max<int>(area.left, area.right - width);
    if (top + height > area.bottom)
        top = std::max<int>(area.top, area.bottom - height);
    DropDownLayout layout;
    layout.frame = {left, top, left + width, top + height};
    int y = top + 1;
    for (const MenuItem& item : popup.items) {
        const int item_height = (item.type & MFT_SEPARATOR) ? SEPARATOR_HEIGHT : ITEM_HEIGHT;
        layout.items.push_back({left + 1, y, left + width - 1, y + item_height});
        y += item_height;
    }
    return layout;
}

void PaintMenuBar(UiCanvas& canvas, const MenuObject& menu, const MenuBarLayout& layout, int open_title)
{
    canvas.FillRect(layout.bar, BAR_BACKGROUND);
    for (size_t i = 0; i < menu.items.size() && i < layout.titles.size(); ++i) {
        const MenuItem& item = menu.items[i];
        if (item.type & MFT_SEPARATOR)
            continue;
        const RECT& title = layout.titles[i];
        if (static_cast<int>(i) == open_title) {
            canvas.FillRect(title, OPEN_TITLE_FILL);
            canvas.FrameRect(title, OPEN_TITLE_FRAME);
        }
        canvas.DrawText(title.left + TITLE_PADDING, Baseline(title.top, title.bottom - title.top), item.text,
                        MENU_TEXT_SIZE, IsGreyed(item) ? GREYED_TEXT : TEXT);
    }
}

void PaintDropDown(UiCanvas& canvas, const MenuObject& popup, const DropDownLayout& layout, int hover)
{
    canvas.FillRect(layout.frame, DROP_DOWN_BACKGROUND);
    canvas.FrameRect(layout.frame, DROP_DOWN_FRAME);
    for (size_t i = 0; i < popup.items.size() && i < layout.items.size(); ++i) {
        const MenuItem& item = popup.items[i];
        const RECT& rect = layout.items[i];
        if (item.type & MFT_SEPARATOR) {
            const int middle = (rect.top + rect.bottom) / 2;
            canvas.FillRect({rect.left + CHECK_GUTTER - 2, middle, rect.right - 1, middle + 1},
                            SEPARATOR_LINE);
            continue;
        }
        if (static_cast<int>(i) == hover)
            canvas.FillRect({rect.left + 1, rect.top, rect.right - 1, rect.bottom}, HOVER_FILL);
        const uint32_t color = IsGreyed(item) ? GREYED_TEXT : TEXT;
        if (item.state & MF_CHECKED)
            DrawCheckMark(canvas, rect.left + 9, rect.top + (ITEM_HEIGHT - 7) / 2 + 1, color);
        canvas.DrawText(rect.left + CHECK_GUTTER, Baseline(rect.top, ITEM_HEIGHT), item.text, MENU_TEXT_SIZE,
                        color);
    }
}

int HitTestTitles(const MenuBarLayout& layout, POINT point)
{
    for (size_t i = 0; i < layout.titles.size(); ++i) {
        if (Contains(layout.titles[i], point))
            return static_cast<int>(i);
    }
    return -1;
}

int HitTestItems(const MenuObject& popup, const DropDownLayout& layout, POINT point)
{
    for (size_t i = 0; i < layout.items.size() && i < popup.items.size(); ++i) {
        if (Contains(layout.items[i], point))
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace platform
