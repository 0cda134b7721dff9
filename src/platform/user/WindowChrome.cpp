// What the layer draws itself: menu bars, the drop-downs of the menu loop, message boxes, and
// the composition of the window's picture under them.
#include "platform/user/WindowManager.h"

#include <algorithm>

#include "platform/kernel/ErrorApi.h"
#include "platform/user/MenuApi.h"
#include "platform/user/MenuLayout.h"
#include "platform/user/MenuStore.h"
#include "platform/user/UiFont.h"

namespace platform {

namespace {

constexpr WPARAM MSGF_DIALOGBOX = 0;
constexpr WPARAM MSGF_MENU = 2;

constexpr int BOX_TEXT_SIZE = 14;
constexpr int BOX_CAPTION_HEIGHT = 26;
constexpr int BOX_PADDING = 18;
constexpr int BOX_LINE_HEIGHT = 20;
constexpr int BOX_MAX_TEXT_WIDTH = 520;
constexpr int BOX_BUTTON_WIDTH = 88;
constexpr int BOX_BUTTON_HEIGHT = 26;
constexpr int BOX_BUTTON_GAP = 8;

constexpr uint32_t BOX_BACKGROUND = 0xFFF0F0F0;
constexpr uint32_t BOX_CAPTION = 0xFF2B579A;
constexpr uint32_t BOX_CAPTION_TEXT = 0xFFFFFFFF;
constexpr uint32_t BOX_FRAME = 0xFF6E6E6E;
constexpr uint32_t BOX_TEXT = 0xFF000000;
constexpr uint32_t BOX_BUTTON = 0xFFE1E1E1;
constexpr uint32_t BOX_BUTTON_FRAME = 0xFFADADAD;
constexpr uint32_t BOX_BUTTON_FOCUS = 0xFF0078D7;
constexpr uint32_t BOX_BUTTON_PRESSED = 0xFFCCE4F7;
constexpr uint32_t BOX_SHADE = 0x60000000;

bool Contains(const RECT& rect, POINT point)
{
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
}

bool Selectable(const MenuItem& item)
{
    return !(item.type & MFT_SEPARATOR) && !(item.state & (MF_GRAYED | MF_DISABLED)) && item.popup == nullptr;
}

std::vector<int> ButtonIdsOf(UINT type)
{
    switch (type & 0x0F) {
    case 1: // MB_OKCANCEL
        return {1, 2};
    case 2: // MB_ABORTRETRYIGNORE
        return {3, 4, 5};
    case 3: // MB_YESNOCANCEL
        return {6, 7, 2};
    case 4: // MB_YESNO
        return {6, 7};
    case 5: // MB_RETRYCANCEL
        return {4, 2};
    case 6: // MB_CANCELTRYCONTINUE
        return {2, 10, 11};
    default: // MB_OK
        return {1};
    }
}

std::u16string ButtonText(int id)
{
    switch (id) {
    case 1:
        return u"OK";
    case 2:
        return u"キャンセル";
    case 3:
        return u"中止";
    case 4:
        return u"再試行";
    case 5:
        return u"無視";
    case 6:
        return u"はい";
    case 7:
        return u"いいえ";
    case 10:
        return u"再実行";
    default:
        return u"続行";
    }
}

// Breaks the text at its line breaks and wherever a line would pass the width: at a space when
// there is one, else between any two characters (as Japanese text is broken).
std::vector<std::u16string> WrapText(std::u16string_view text, int width)
{
    UiFont& font = UiFont::GetInstance();
    std::vector<std::u16string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(u'\n', start);
        if (end == std::u16string_view::npos)
            end = text.size();
        std::u16string paragraph(text.substr(start, end - start));
        if (!paragraph.empty() && paragraph.back() == u'\r')
            paragraph.pop_back();
        while (font.MeasureText(paragraph, BOX_TEXT_SIZE) > width && paragraph.size() > 1) {
            size_t cut = paragraph.size() - 1;
            while (cut > 1 &&
                   font.MeasureText(std::u16string_view(paragraph).substr(0, cut), BOX_TEXT_SIZE) > width)
                --cut;
            const size_t space = paragraph.rfind(u' ', cut);
            if (space != std::u16string::npos && space > 0)
                cut = space;
            lines.push_back(paragraph.substr(0, cut));
            paragraph.erase(0, cut);
            while (!paragraph.empty() && paragraph.front() == u' ')
                paragraph.erase(0, 1);
        }
        lines.push_back(paragraph);
        start = end + 1;
    }
    return lines;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Composition

void WindowManager::InvalidateChrome()
{
    m_chrome_dirty = true;
    m_repaint = true;
}

void WindowManager::PublishFrame(HWND handle, std::shared_ptr<const WindowFrame> frame)
{
    {
        const bool found = m_table.WithWindow(handle, [&](WindowObject& window) {
            std::lock_guard lock(m_frame_lock);
            window.frame = std::move(frame);
        });
        if (!found)
            return;
    }
    m_repaint = true;
    if (m_idle_waiting)
        if (VideoDevice* device = m_wake_device.load())
            device->Wake();
}

void WindowManager::RenderIfNeeded()
{
    if (!m_repaint)
        return;
    if (RefreshHoldMicroseconds() != 0) {
        m_idle.held++;
        return; // the flag stays set: a later turn shows the newest picture
    }
    m_repaint = false;
    const bool chrome_changed = m_chrome_dirty.exchange(false);
    for (HWND handle : Windows()) {
        const WindowObject* window = Find(handle);
        if (window != nullptr && window->native != 0 && window->visible && !window->minimized) {
            RenderWindow(handle, chrome_changed, nullptr);
            m_idle.presents++;
        }
    }
    m_last_present_us = RealMicroseconds();
}

void WindowManager::Render(HWND handle, std::vector<uint32_t>* capture)
{
    RenderWindow(handle, true, capture);
}

void WindowManager::RenderWindow(HWND handle, bool chrome_changed, std::vector<uint32_t>* capture)
{
    WindowObject* host = Find(handle);
    VideoDevice* device = Device();
    if (host == nullptr || host->native == 0 || device == nullptr)
        return;
    const int width = host->rect.right - host->rect.left;
    const int height = host->rect.bottom - host->rect.top;
    if (chrome_changed || m_canvas_window != handle || m_canvas.Width() != width ||
        m_canvas.Height() != height) {
        m_canvas.Reset(width, height);
        PaintChrome(*host, m_canvas);
        m_canvas_window = handle;
        chrome_changed = true;
    }
    std::shared_ptr<const WindowFrame> frame;
    {
        std::lock_guard lock(m_frame_lock);
        frame = host->frame;
    }
    const POINT origin{0, MenuBarHeight(*host)};
    device->Present(host->native, frame.get(), origin, m_canvas, chrome_changed, capture);
}

void WindowManager::PaintChrome(WindowObject& host, UiCanvas& canvas)
{
    const int width = canvas.Width();
    const MenuStore& menus = MenuStore::GetInstance();
    struct Bar
    {
        const WindowObject* window;
        RECT rect;
    };
    std::vector<Bar> bars;
    if (MenuBarHeight(host) > 0)
        bars.push_back({&host, {0, 0, width, MENU_BAR_HEIGHT}});
    std::vector<const WindowObject*> drawn;
    m_table.ForEach([&](WindowObject& window) {
        if (window.native == 0 && window.visible && !(window.style & WS_CHILD) &&
            NativeHostOf(&window) == &host)
            drawn.push_back(&window);
    });
    std::sort(drawn.begin(), drawn.end(), [](const WindowObject* a, const WindowObject* b) {
        const bool a_top = (a->ex_style & WS_EX_TOPMOST) != 0;
        const bool b_top = (b->ex_style & WS_EX_TOPMOST) != 0;
        return a_top != b_top ? b_top : a->z_order < b->z_order;
    });
    if (m_window_painter != nullptr) {
        // The painter may send messages (owner-drawn controls); windows are looked up afresh.
        std::vector<std::pair<HWND, POINT>> order;
        for (const WindowObject* window : drawn)
            order.push_back(
                {window->handle, {window->rect.left - host.rect.left, window->rect.top - host.rect.top}});
        for (const auto& [handle, origin] : order) {
            if (Find(handle) != nullptr)
                m_window_painter(handle, canvas, origin);
        }
        drawn.clear();
        for (const auto& entry : order) {
            if (const WindowObject* window = Find(entry.first))
                drawn.push_back(window);
        }
    }
    for (const WindowObject* window : drawn) {
        if (MenuBarHeight(*window) > 0) {
            const int left = window->rect.left - host.rect.left;
            const int top = window->rect.top - host.rect.top;
            bars.push_back(
                {window,
                 {left, top, left + (window->rect.right - window->rect.left), top + MENU_BAR_HEIGHT}});
        }
    }
    for (const Bar& bar : bars) {
        const MenuObject* menu = const_cast<MenuStore&>(menus).Find(bar.window->menu);
        if (menu == nullptr)
            continue;
        const MenuBarLayout layout = LayoutMenuBar(*menu, bar.rect);
        const bool open = m_menu_loop.active && m_menu_loop.owner == bar.window->handle;
        PaintMenuBar(canvas, *menu, layout, open ? m_menu_loop.open_title : -1);
        if (open && m_menu_loop.open_title >= 0 &&
            static_cast<size_t>(m_menu_loop.open_title) < menu->items.size()) {
            const MenuItem& title = menu->items[static_cast<size_t>(m_menu_loop.open_title)];
            if (const MenuObject* popup = const_cast<MenuStore&>(menus).Find(title.popup)) {
                const DropDownLayout drop =
                    LayoutDropDown(*popup, layout.titles[static_cast<size_t>(m_menu_loop.open_title)],
                                   {0, 0, width, canvas.Height()});
                PaintDropDown(canvas, *popup, drop, m_menu_loop.hover);
            }
        }
    }
    if (m_box.active && m_box.owner == host.handle)
        PaintMessageBox(canvas, {0, 0});
}

// ---------------------------------------------------------------------------------------------
// The menu loop

void WindowManager::TrackMenuBar(HWND handle, POINT screen_point)
{
    WindowObject* window = Find(handle);
    if (m_menu_loop.active || window == nullptr || MenuBarHeight(*window) == 0)
        return;
    WindowObject* host = NativeHostOf(window);
    if (host == nullptr)
        return;
    const HMENU menu = window->menu;
    m_menu_loop = {true, handle, menu, -1, -1};
    Send(handle, WM_ENTERMENULOOP, FALSE, 0);
    Send(handle, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
    // The title under the click opens at once; a click beside the titles leaves the loop.
    if ((window = Find(handle)) != nullptr && (host = NativeHostOf(window)) != nullptr) {
        if (const MenuObject* object = MenuStore::GetInstance().Find(menu)) {
            const RECT bar{window->rect.left - host->rect.left, window->rect.top - host->rect.top,
                           window->rect.right - host->rect.left,
                           window->rect.top - host->rect.top + MENU_BAR_HEIGHT};
            const int title = HitTestTitles(LayoutMenuBar(*object, bar), {screen_point.x - host->rect.left,
                                                                          screen_point.y - host->rect.top});
            if (title >= 0 && object->items[static_cast<size_t>(title)].popup != nullptr) {
                m_menu_loop.open_title = title;
                Send(handle, WM_INITMENUPOPUP,
                     reinterpret_cast<WPARAM>(object->items[static_cast<size_t>(title)].popup),
                     MAKELPARAM(static_cast<WORD>(title), FALSE));
            } else {
                m_menu_loop.active = false;
            }
        }
    }
    InvalidateChrome();
    UINT picked = 0;
    bool idle_sent = false;
    while (m_menu_loop.active && Find(handle) != nullptr) {
        RenderIfNeeded();
        if (std::optional<MSG> posted = TakePosted(nullptr, 0, 0, true)) {
            Dispatch(*posted);
            continue;
        }
        std::optional<NativeEvent> event = NextNativeEvent();
        if (!event) {
            if (!idle_sent) {
                idle_sent = true;
                Send(handle, WM_ENTERIDLE, MSGF_MENU, reinterpret_cast<LPARAM>(handle));
                continue;
            }
            if (Device() == nullptr)
                break;
            Device()->WaitForEvent(10);
            continue;
        }
        idle_sent = false;
        if (!MenuLoopStep(*event, picked))
            break;
    }
    m_menu_loop = {};
    InvalidateChrome();
    if (Find(handle) != nullptr) {
        Send(handle, WM_EXITMENULOOP, FALSE, 0);
        if (picked != 0)
            Post(handle, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(picked), 0), 0);
    }
}

bool WindowManager::MenuLoopStep(const NativeEvent& event, UINT& picked)
{
    using Type = NativeEvent::Type;
    WindowObject* window = Find(m_menu_loop.owner);
    WindowObject* host = window ? NativeHostOf(window) : nullptr;
    const MenuObject* menu = MenuStore::GetInstance().Find(m_menu_loop.menu);
    if (window == nullptr || host == nullptr || menu == nullptr)
        return false;
    switch (event.type) {
    case Type::KeyDown:
    case Type::KeyUp:
        m_keys.UpdateKey(event.virtual_key, event.side_key, event.type == Type::KeyDown);
        break;
    case Type::ButtonDown:
    case Type::ButtonUp: {
        m_keys.SetButton(event.button, event.type == Type::ButtonDown);
        break;
    }
    case Type::FocusLost:
    case Type::Close:
    case Type::Quit:
        HandleWindowEvent(event, m_native.Pending());
        return false;
    case Type::MouseMove:
    case Type::Wheel:
    case Type::Text:
    case Type::Editing:
    case Type::FingerDown:
    case Type::FingerMove:
    case Type::FingerUp:
        break;
    default:
        HandleWindowEvent(event, m_native.Pending());
        return m_menu_loop.active;
    }

    const RECT bar{window->rect.left - host->rect.left, window->rect.top - host->rect.top,
                   window->rect.right - host->rect.left, window->rect.top - host->rect.top + MENU_BAR_HEIGHT};
    const MenuBarLayout layout = LayoutMenuBar(*menu, bar);
    const RECT area{0, 0, host->rect.right - host->rect.left, host->rect.bottom - host->rect.top};
    const MenuObject* popup = nullptr;
    DropDownLayout drop;
    auto refresh_drop = [&]() {
        popup = nullptr;
        if (m_menu_loop.open_title >= 0 && static_cast<size_t>(m_menu_loop.open_title) < menu->items.size()) {
            popup =
                MenuStore::GetInstance().Find(menu->items[static_cast<size_t>(m_menu_loop.open_title)].popup);
            if (popup != nullptr)
                drop =
                    LayoutDropDown(*popup, layout.titles[static_cast<size_t>(m_menu_loop.open_title)], area);
        }
    };
    auto open_title = [&](int title) {
        if (title == m_menu_loop.open_title)
            return;
        m_menu_loop.open_title = title;
        m_menu_loop.hover = -1;
        InvalidateChrome();
        const HMENU sub = menu->items[static_cast<size_t>(title)].popup;
        if (sub != nullptr)
            Send(m_menu_loop.owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(sub),
                 MAKELPARAM(static_cast<WORD>(title), FALSE));
        refresh_drop();
    };
    refresh_drop();

    const POINT point{event.x, event.y};
    switch (event.type) {
    case Type::MouseMove: {
        m_pointer.SetPosition({host->rect.left + event.x, host->rect.top + event.y});
        const int title = HitTestTitles(layout, point);
        if (title >= 0 && menu->items[static_cast<size_t>(title)].popup != nullptr) {
            open_title(title);
            return true;
        }
        const int hover =
            (popup != nullptr && Contains(drop.frame, point)) ? HitTestItems(*popup, drop, point) : -1;
        if (hover != m_menu_loop.hover) {
            m_menu_loop.hover = hover;
            InvalidateChrome();
        }
        return true;
    }
    case Type::ButtonDown: {
        const int title = HitTestTitles(layout, point);
        if (title >= 0) {
            if (title == m_menu_loop.open_title)
                return false;
            if (menu->items[static_cast<size_t>(title)].popup != nullptr)
                open_title(title);
            return true;
        }
        return popup != nullptr && Contains(drop.frame, point);
    }
    case Type::ButtonUp: {
        if (popup == nullptr || !Contains(drop.frame, point))
            return true;
        const int item = HitTestItems(*popup, drop, point);
        if (item >= 0 && Selectable(popup->items[static_cast<size_t>(item)])) {
            picked = popup->items[static_cast<size_t>(item)].id;
            return false;
        }
        return true; // a greyed item or a separator keeps the menu open
    }
    case Type::KeyDown: {
        const int count = static_cast<int>(menu->items.size());
        switch (event.virtual_key) {
        case VK_ESCAPE:
        case VK_MENU:
        case VK_F10:
            return false;
        case VK_LEFT:
        case VK_RIGHT: {
            const int step = event.virtual_key == VK_LEFT ? -1 : 1;
            int title = m_menu_loop.open_title;
            for (int tries = 0; tries < count; ++tries) {
                title = (title + step + count) % count;
                if (menu->items[static_cast<size_t>(title)].popup != nullptr)
                    break;
            }
            open_title(title);
            return true;
        }
        case VK_UP:
        case VK_DOWN: {
            if (popup == nullptr || popup->items.empty())
                return true;
            const int items = static_cast<int>(popup->items.size());
            const int step = event.virtual_key == VK_UP ? -1 : 1;
            int hover = m_menu_loop.hover < 0 ? (step > 0 ? -1 : items) : m_menu_loop.hover;
            for (int tries = 0; tries < items; ++tries) {
                hover = (hover + step + items) % items;
                if (!(popup->items[static_cast<size_t>(hover)].type & MFT_SEPARATOR))
                    break;
            }
            m_menu_loop.hover = hover;
            InvalidateChrome();
            return true;
        }
        case VK_RETURN:
            if (popup != nullptr && m_menu_loop.hover >= 0 &&
                Selectable(popup->items[static_cast<size_t>(m_menu_loop.hover)])) {
                picked = popup->items[static_cast<size_t>(m_menu_loop.hover)].id;
                return false;
            }
            return true;
        default:
            return true;
        }
    }
    default:
        return true;
    }
}

// ---------------------------------------------------------------------------------------------
// Message boxes

void WindowManager::LayoutMessageBox(WindowObject* host)
{
    UiFont& font = UiFont::GetInstance();
    int text_width = font.MeasureText(m_box.caption, BOX_TEXT_SIZE);
    for (const std::u16string& line : m_box.lines)
        text_width = std::max(text_width, font.MeasureText(line, BOX_TEXT_SIZE));
    const int buttons_width =
        static_cast<int>(m_box.buttons.size()) * (BOX_BUTTON_WIDTH + BOX_BUTTON_GAP) - BOX_BUTTON_GAP;
    const int width = std::max(text_width, buttons_width) + 2 * BOX_PADDING;
    const int height = BOX_CAPTION_HEIGHT + BOX_PADDING +
                       static_cast<int>(m_box.lines.size()) * BOX_LINE_HEIGHT + BOX_PADDING +
                       BOX_BUTTON_HEIGHT + BOX_PADDING;
    int area_width = width;
    int area_height = height;
    if (host != nullptr) {
        area_width = host->rect.right - host->rect.left;
        area_height = host->rect.bottom - host->rect.top;
    }
    const int left = std::max((area_width - width) / 2, 0);
    const int top = std::max((area_height - height) / 2, 0);
    m_box.frame = {left, top, left + width, top + height};
    int x = m_box.frame.right - BOX_PADDING - buttons_width;
    const int y = m_box.frame.bottom - BOX_PADDING - BOX_BUTTON_HEIGHT;
    for (BoxButton& button : m_box.buttons) {
        button.rect = {x, y, x + BOX_BUTTON_WIDTH, y + BOX_BUTTON_HEIGHT};
        x += BOX_BUTTON_WIDTH + BOX_BUTTON_GAP;
    }
}

void WindowManager::PaintMessageBox(UiCanvas& canvas, POINT origin)
{
    if (m_box.frame.left > 0 || m_box.frame.top > 0)
        canvas.FillRect({0, 0, canvas.Width(), canvas.Height()}, BOX_SHADE);
    RECT frame = m_box.frame;
    frame.left += origin.x;
    frame.right += origin.x;
    frame.top += origin.y;
    frame.bottom += origin.y;
    canvas.FillRect(frame, BOX_BACKGROUND);
    canvas.FillRect({frame.left, frame.top, frame.right, frame.top + BOX_CAPTION_HEIGHT}, BOX_CAPTION);
    canvas.FrameRect(frame, BOX_FRAME);
    const int caption_baseline = frame.top + (BOX_CAPTION_HEIGHT - BOX_TEXT_SIZE) / 2 + BOX_TEXT_SIZE * 7 / 8;
    canvas.DrawText(frame.left + BOX_PADDING / 2, caption_baseline, m_box.caption, BOX_TEXT_SIZE,
                    BOX_CAPTION_TEXT);
    int baseline = frame.top + BOX_CAPTION_HEIGHT + BOX_PADDING + BOX_TEXT_SIZE;
    for (const std::u16string& line : m_box.lines) {
        canvas.DrawText(frame.left + BOX_PADDING, baseline, line, BOX_TEXT_SIZE, BOX_TEXT);
        baseline += BOX_LINE_HEIGHT;
    }
    UiFont& font = UiFont::GetInstance();
    for (size_t i = 0; i < m_box.buttons.size(); ++i) {
        RECT rect = m_box.buttons[i].rect;
        rect.left += origin.x;
        rect.right += origin.x;
        rect.top += origin.y;
        rect.bottom += origin.y;
        canvas.FillRect(rect, static_cast<int>(i) == m_box.pressed ? BOX_BUTTON_PRESSED : BOX_BUTTON);
        canvas.FrameRect(rect, static_cast<int>(i) == m_box.focus ? BOX_BUTTON_FOCUS : BOX_BUTTON_FRAME);
        const std::u16string label = ButtonText(m_box.buttons[i].id);
        const int label_width = font.MeasureText(label, BOX_TEXT_SIZE);
        canvas.DrawText((rect.left + rect.right - label_width) / 2,
                        rect.top + (BOX_BUTTON_HEIGHT - BOX_TEXT_SIZE) / 2 + BOX_TEXT_SIZE * 7 / 8, label,
                        BOX_TEXT_SIZE, BOX_TEXT);
    }
}

bool WindowManager::MessageBoxStep(const NativeEvent& event, int& result)
{
    using Type = NativeEvent::Type;
    auto cancel_result = [&]() -> int {
        for (const BoxButton& button : m_box.buttons) {
            if (button.id == 2)
                return 2;
        }
        return m_box.buttons.size() == 1 && m_box.buttons[0].id == 1 ? 1 : 0;
    };
    const POINT point{event.x, event.y};
    switch (event.type) {
    case Type::KeyDown:
    case Type::KeyUp:
        m_keys.UpdateKey(event.virtual_key, event.side_key, event.type == Type::KeyDown);
        if (event.type == Type::KeyUp)
            return true;
        switch (event.virtual_key) {
        case VK_ESCAPE:
            result = cancel_result();
            return result == 0;
        case VK_RETURN:
        case VK_SPACE:
            result = m_box.buttons[static_cast<size_t>(m_box.focus)].id;
            return false;
        case VK_TAB:
        case VK_RIGHT:
        case VK_LEFT: {
            const int count = static_cast<int>(m_box.buttons.size());
            const bool back = event.virtual_key == VK_LEFT || m_keys.IsDown(VK_SHIFT);
            m_box.focus = (m_box.focus + (back ? count - 1 : 1)) % count;
            InvalidateChrome();
            return true;
        }
        default:
            return true;
        }
    case Type::ButtonDown:
    case Type::ButtonUp: {
        m_keys.SetButton(event.button, event.type == Type::ButtonDown);
        if (event.button != 1)
            return true;
        int under = -1;
        for (size_t i = 0; i < m_box.buttons.size(); ++i) {
            if (Contains(m_box.buttons[i].rect, point))
                under = static_cast<int>(i);
        }
        if (event.type == Type::ButtonDown) {
            m_box.pressed = under;
            if (under >= 0)
                m_box.focus = under;
            InvalidateChrome();
            return true;
        }
        const int pressed = m_box.pressed;
        m_box.pressed = -1;
        InvalidateChrome();
        if (under >= 0 && under == pressed) {
            result = m_box.buttons[static_cast<size_t>(under)].id;
            return false;
        }
        return true;
    }
    case Type::MouseMove:
        return true;
    case Type::Close:
    case Type::Quit:
        result = cancel_result();
        return result == 0;
    case Type::Wheel:
    case Type::Text:
    case Type::Editing:
    case Type::FingerDown:
    case Type::FingerMove:
    case Type::FingerUp:
        return true;
    default:
        HandleWindowEvent(event, m_native.Pending());
        return true;
    }
}

int WindowManager::RunMessageBox(HWND owner, const std::u16string& text, const std::u16string& caption,
                                 UINT type)
{
    if (m_box.active || Device() == nullptr)
        return 0;
    WindowObject* host = owner ? NativeHostOf(Find(owner)) : nullptr;
    if (host == nullptr || !host->visible || host->minimized)
        host = Find(MainWindow());
    if (host != nullptr && (!host->visible || host->minimized))
        host = nullptr;

    m_box = {};
    m_box.caption = caption;
    m_box.type = type;
    m_box.lines = WrapText(text, BOX_MAX_TEXT_WIDTH);
    for (int id : ButtonIdsOf(type))
        m_box.buttons.push_back({id, {}});
    m_box.focus =
        std::min<int>(static_cast<int>((type >> 8) & 0x0F), static_cast<int>(m_box.buttons.size()) - 1);

    // Without a window to show it in, the box gets a window of its own.
    HWND own_window = nullptr;
    if (host == nullptr) {
        LayoutMessageBox(nullptr);
        const RECT display = DisplayBounds(0);
        const int width = m_box.frame.right - m_box.frame.left;
        const int height = m_box.frame.bottom - m_box.frame.top;
        const int left = display.left + (display.right - display.left - width) / 2;
        const int top = display.top + (display.bottom - display.top - height) / 2;
        static const ATOM s_box_class = [this] {
            WNDCLASSW info{};
            info.lpfnWndProc = &::DefWindowProcW;
            info.lpszClassName = u"VeskMessageBox";
            return RegisterClass(info);
        }();
        (void)s_box_class;
        own_window = CreateWindow(WS_EX_TOPMOST, u"VeskMessageBox", caption.c_str(), WS_POPUP, left, top,
                                  width, height, nullptr, nullptr, nullptr, nullptr);
        if (own_window == nullptr) {
            m_box = {};
            return 0;
        }
        Show(own_window, SW_SHOW);
        host = Find(own_window);
    }
    m_box.active = true;
    m_box.owner = host->handle;
    LayoutMessageBox(own_window ? nullptr : host);
    InvalidateChrome();

    const uint32_t host_native = host->native;
    int result = 0;
    bool idle_sent = false;
    while (Find(m_box.owner) != nullptr) {
        RenderIfNeeded();
        if (std::optional<MSG> posted = TakePosted(nullptr, 0, 0, true)) {
            Dispatch(*posted);
            continue;
        }
        std::optional<NativeEvent> event = NextNativeEvent();
        if (!event) {
            if (!idle_sent) {
                idle_sent = true;
                if (owner != nullptr && Find(owner))
                    Send(owner, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(m_box.owner));
                continue;
            }
            Device()->WaitForEvent(10);
            continue;
        }
        idle_sent = false;
        // Input for other windows is not theirs while the box is up.
        NativeEvent local = *event;
        if (local.window != host_native && local.window != 0 &&
            (local.type == NativeEvent::Type::ButtonDown || local.type == NativeEvent::Type::ButtonUp))
            continue;
        if (!MessageBoxStep(local, result))
            break;
    }
    m_box = {};
    InvalidateChrome();
    if (own_window != nullptr && Find(own_window))
        DestroyWindow(own_window);
    return result;
}

} // namespace platform
