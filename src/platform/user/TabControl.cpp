// The tab control: a strip of labelled items over a display area that holds the pages.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/gdi/GdiApi.h"
#include "platform/user/ControlsApi.h"
#include "platform/user/DialogApi.h"
#include "platform/user/DialogControls.h"

namespace platform::dialog {

namespace {

struct TabItem
{
    std::u16string text;
    LPARAM param = 0;
};

struct TabState
{
    std::vector<TabItem> items;
    int selected = -1;
};

constexpr int STRIP_HEIGHT = 22;
constexpr int ITEM_PADDING = 12;
constexpr int ITEM_MIN_WIDTH = 48;
constexpr uint32_t ITEM_FACE = 0xFFE6E6E6;
constexpr uint32_t PANEL_FRAME = 0xFFD9D9D9;

// Item rectangles in client pixels: the selected item stands 2 pixels taller.
RECT ItemRect(const TabState& state, int index)
{
    int left = 2;
    for (int i = 0; i < index; ++i)
        left += std::max(MeasureLabel(state.items[static_cast<size_t>(i)].text) + 2 * ITEM_PADDING,
                         ITEM_MIN_WIDTH);
    const int width = std::max(MeasureLabel(state.items[static_cast<size_t>(index)].text) + 2 * ITEM_PADDING,
                               ITEM_MIN_WIDTH);
    const int top = index == state.selected ? 0 : 2;
    return {left, top, left + width, STRIP_HEIGHT};
}

int HitItem(const TabState& state, LPARAM point)
{
    const int x = static_cast<SHORT>(LOWORD(static_cast<uintptr_t>(point)));
    const int y = static_cast<SHORT>(HIWORD(static_cast<uintptr_t>(point)));
    for (int i = 0; i < static_cast<int>(state.items.size()); ++i) {
        const RECT rect = ItemRect(state, i);
        if (x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom)
            return i;
    }
    return -1;
}

void CopyItemText(const TabItem& item, TCITEMW& target)
{
    if (!(target.mask & TCIF_TEXT) || target.pszText == nullptr || target.cchTextMax <= 0)
        return;
    const size_t count = std::min(item.text.size(), static_cast<size_t>(target.cchTextMax) - 1);
    std::copy_n(item.text.data(), count, target.pszText);
    target.pszText[count] = 0;
}

void StoreItem(TabItem& item, const TCITEMW& source)
{
    if ((source.mask & TCIF_TEXT) && source.pszText != nullptr)
        item.text = source.pszText;
    if (source.mask & TCIF_PARAM)
        item.param = source.lParam;
}

LRESULT Notify(HWND tab, UINT code)
{
    NMHDR header{tab, static_cast<UINT_PTR>(GetDlgCtrlID(tab)), code};
    const HWND parent = GetParent(tab);
    return parent ? SendMessageW(parent, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header)) : 0;
}

} // namespace

bool SelectTabAsUser(HWND tab, int index)
{
    TabState* state = KindOf(tab) == ControlKind::Tab ? StateOf<TabState>(tab) : nullptr;
    if (state == nullptr || !IsWindowVisible(tab) || !IsWindowEnabled(tab) || index < 0 ||
        index >= static_cast<int>(state->items.size()))
        return false;
    if (index == state->selected)
        return true;
    // The parent may refuse the change while the old page is still shown.
    if (Notify(tab, TCN_SELCHANGING) != 0)
        return true;
    if ((state = StateOf<TabState>(tab)) == nullptr)
        return true;
    state->selected = index;
    Redraw(tab);
    Notify(tab, TCN_SELCHANGE);
    return true;
}

LRESULT TabProcedure(HWND window, UINT message, WPARAM w_param, LPARAM l_param)
{
    KeepState<TabState>(window, message);
    TabState* state = StateOf<TabState>(window);
    if (state == nullptr)
        return DefWindowProcW(window, message, w_param, l_param);
    const int count = static_cast<int>(state->items.size());
    const int index = static_cast<int>(w_param);
    switch (message) {
    case TCM_GETITEMCOUNT:
        return count;
    case TCM_INSERTITEMW: {
        const auto* source = reinterpret_cast<const TCITEMW*>(l_param);
        if (source == nullptr || index < 0)
            return -1;
        const int at = std::min(index, count);
        TabItem item;
        StoreItem(item, *source);
        state->items.insert(state->items.begin() + at, std::move(item));
        if (state->selected < 0)
            state->selected = 0;
        else if (at <= state->selected && count > 0)
            ++state->selected;
        Redraw(window);
        return at;
    }
    case TCM_SETITEMW:
        if (index < 0 || index >= count || l_param == 0)
            return FALSE;
        StoreItem(state->items[static_cast<size_t>(index)], *reinterpret_cast<const TCITEMW*>(l_param));
        Redraw(window);
        return TRUE;
    case TCM_GETITEMW: {
        auto* target = reinterpret_cast<TCITEMW*>(l_param);
        if (index < 0 || index >= count || target == nullptr)
            return FALSE;
        CopyItemText(state->items[static_cast<size_t>(index)], *target);
        if (target->mask & TCIF_PARAM)
            target->lParam = state->items[static_cast<size_t>(index)].param;
        return TRUE;
    }
    case TCM_DELETEITEM:
        if (index < 0 || index >= count)
            return FALSE;
        state->items.erase(state->items.begin() + index);
        if (state->selected == index)
            state->selected = state->items.empty() ? -1 : 0;
        else if (state->selected > index)
            --state->selected;
        Redraw(window);
        return TRUE;
    case TCM_DELETEALLITEMS:
        state->items.clear();
        state->selected = -1;
        Redraw(window);
        return TRUE;
    case TCM_GETCURSEL:
    case TCM_GETCURFOCUS:
        return state->selected;
    case TCM_SETCURSEL: {
        // Unlike a click, this sends no notification.
        if (index < 0 || index >= count)
            return -1;
        const int previous = state->selected;
        state->selected = index;
        Redraw(window);
        return previous;
    }
    case TCM_SETCURFOCUS:
        SelectTabAsUser(window, index);
        return 0;
    case TCM_GETITEMRECT: {
        auto* rect = reinterpret_cast<RECT*>(l_param);
        if (index < 0 || index >= count || rect == nullptr)
            return FALSE;
        *rect = ItemRect(*state, index);
        return TRUE;
    }
    case TCM_ADJUSTRECT: {
        // Between a window rectangle and the display area inside it.
        auto* rect = reinterpret_cast<RECT*>(l_param);
        if (rect == nullptr)
            return 0;
        const int sign = w_param ? -1 : 1;
        rect->left += sign * 4;
        rect->top += sign * (STRIP_HEIGHT + 4);
        rect->right -= sign * 4;
        rect->bottom -= sign * 4;
        return 0;
    }
    case WM_LBUTTONDOWN: {
        const int hit = HitItem(*state, l_param);
        if (GetWindowLongW(window, GWL_STYLE) & WS_TABSTOP)
            SetFocus(window);
        if (hit >= 0)
            SelectTabAsUser(window, hit);
        return 0;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
        Redraw(window);
        return 0;
    default:
        return DefWindowProcW(window, message, w_param, l_param);
    }
}

void PaintTab(HWND window, UiCanvas& canvas, const RECT& area)
{
    const TabState* state = StateOf<TabState>(window);
    if (state == nullptr)
        return;
    const RECT panel{area.left, area.top + STRIP_HEIGHT, area.right, area.bottom};
    canvas.FillRect(panel, FACE);
    canvas.FrameRect(panel, PANEL_FRAME);
    const int count = static_cast<int>(state->items.size());
    const bool owner_drawn = (GetWindowLongW(window, GWL_STYLE) & TCS_OWNERDRAWFIXED) != 0;
    for (int i = 0; i < count; ++i) {
        const RECT item = ItemRect(*state, i);
        const RECT on_canvas{area.left + item.left, area.top + item.top, area.left + item.right,
                             area.top + item.bottom + (i == state->selected ? 1 : 0)};
        canvas.FillRect(on_canvas, i == state->selected ? FACE : ITEM_FACE);
        canvas.FrameRect({on_canvas.left, on_canvas.top, on_canvas.right, on_canvas.bottom + 1}, PANEL_FRAME);
        if (i == state->selected)
            canvas.FillRect(
                {on_canvas.left + 1, on_canvas.bottom - 1, on_canvas.right - 1, on_canvas.bottom + 1}, FACE);
        if (!owner_drawn) {
            DrawLabel(canvas, {on_canvas.left, on_canvas.top + 3, on_canvas.right, on_canvas.bottom},
                      state->items[static_cast<size_t>(i)].text, IsWindowEnabled(window) ? TEXT : GREY_TEXT,
                      SS_CENTER, false);
        }
    }
    if (!owner_drawn || count == 0)
        return;

    // Owner-drawn labels: the parent draws each item into a picture of the strip, which is then
    // laid over the items.
    const int width = area.right - area.left;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -STRIP_HEIGHT; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const HDC dc = CreateCompatibleDC(nullptr);
    const HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dc == nullptr || bitmap == nullptr || bits == nullptr) {
        if (bitmap)
            DeleteObject(bitmap);
        if (dc)
            DeleteDC(dc);
        return;
    }
    const HGDIOBJ previous = SelectObject(dc, bitmap);
    auto* pixels = static_cast<uint32_t*>(bits);
    for (int y = 0; y < STRIP_HEIGHT; ++y) {
        for (int x = 0; x < width; ++x)
            pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] =
                canvas.PixelAt(area.left + x, area.top + y) | 0xFF000000u;
    }
    const HWND parent = GetParent(window);
    std::vector<RECT> items;
    for (int i = 0; i < count; ++i) {
        const RECT item = ItemRect(*state, i);
        items.push_back(item);
        DRAWITEMSTRUCT draw{};
        draw.CtlType = ODT_TAB;
        draw.CtlID = static_cast<UINT>(GetDlgCtrlID(window));
        draw.itemID = static_cast<UINT>(i);
        draw.itemAction = ODA_DRAWENTIRE;
        draw.itemState = i == state->selected ? ODS_SELECTED : 0;
        draw.hwndItem = window;
        draw.hDC = dc;
        draw.rcItem = item;
        draw.itemData = static_cast<ULONG_PTR>(state->items[static_cast<size_t>(i)].param);
        if (parent != nullptr)
            SendMessageW(parent, WM_DRAWITEM, static_cast<WPARAM>(draw.CtlID),
                         reinterpret_cast<LPARAM>(&draw));
        if ((state = StateOf<TabState>(window)) == nullptr || static_cast<int>(state->items.size()) != count)
            break;
    }
    for (const RECT& item : items) {
        for (int y = std::max<int>(item.top + 1, 0); y < std::min<int>(item.bottom, STRIP_HEIGHT); ++y) {
            for (int x = std::max<int>(item.left + 1, 0); x < std::min<int>(item.right - 1, width); ++x)
                canvas.BlendPixel(
                    area.left + x, area.top + y,
                    pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] |
                        0xFF000000u,
                    255);
        }
    }
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

} // namespace platform::dialog
