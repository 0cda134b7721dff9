// What the layer draws itself: menu bars, the drop-downs of the menu loop, message boxes, and
// the composition of the window's picture under them.
#include "platform/user/WindowManager.h"

#include <algorithm>

#include "platform/TerminationSignals.h"
#include "platform/TestInput.h"
#include "platform/user/MenuLayout.h"
#include "platform/user/MenuStore.h"
#include "platform/user/RectApi.h"

namespace platform {

namespace {

constexpr WPARAM MSGF_DIALOGBOX = 0;
constexpr WPARAM MSGF_MENU = 2;

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
            // Frames the pump has not shown are passed over: the next shows their changes too.
            RECT unshown{};
            UnionRect(&unshown, &window.frame_unshown, &frame->changed);
            window.frame_unshown = unshown;
            window.frame = std::move(frame);
        });
        if (!found)
            return;
    }
    // No wake here: the present that published the frame notes it just after (NoteFramePresented),
    // and wakes the rest then. A second wake would end the rest the loop takes after the first.
    m_repaint = true;
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
    RECT unshown{};
    {
        std::lock_guard lock(m_frame_lock);
        frame = host->frame;
        unshown = host->frame_unshown;
        host->frame_unshown = RECT{};
    }
    const POINT origin{0, MenuBarHeight(*host)};
    device->Present(host->native, frame.get(), unshown, origin, m_canvas, chrome_changed, capture);
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
        const bool open = m_menu_loop.IsActive() && m_menu_loop.Owner() == bar.window->handle;
        const int open_title = open ? m_menu_loop.OpenTitle() : -1;
        PaintMenuBar(canvas, *menu, layout, open_title);
        if (open_title >= 0 && static_cast<size_t>(open_title) < menu->items.size()) {
            const MenuItem& title = menu->items[static_cast<size_t>(open_title)];
            if (const MenuObject* popup = const_cast<MenuStore&>(menus).Find(title.popup)) {
                const DropDownLayout drop = LayoutDropDown(
                    *popup, layout.titles[static_cast<size_t>(open_title)], {0, 0, width, canvas.Height()});
                PaintDropDown(canvas, *popup, drop, m_menu_loop.Hover());
            }
        }
    }
    if (m_box.IsActive() && m_box.Owner() == host.handle)
        m_box.Paint(canvas, {0, 0});
}

// ---------------------------------------------------------------------------------------------
// The menu loop

namespace {

// The window's menu bar in its host's client pixels.
RECT MenuBarRect(const WindowObject& window, const WindowObject& host)
{
    return {window.rect.left - host.rect.left, window.rect.top - host.rect.top,
            window.rect.right - host.rect.left, window.rect.top - host.rect.top + MENU_BAR_HEIGHT};
}

} // namespace

void WindowManager::TrackMenuBar(HWND handle, POINT screen_point)
{
    WindowObject* window = Find(handle);
    if (m_menu_loop.IsActive() || window == nullptr || MenuBarHeight(*window) == 0)
        return;
    WindowObject* host = NativeHostOf(window);
    if (host == nullptr)
        return;
    const HMENU menu = window->menu;
    m_menu_loop.Begin(handle, menu);
    Send(handle, WM_ENTERMENULOOP, FALSE, 0);
    Send(handle, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
    const MenuTracker::InitPopup init_popup = [this, handle](HMENU popup, int title) {
        Send(handle, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup),
             MAKELPARAM(static_cast<WORD>(title), FALSE));
    };
    // The title under the click opens at once; a click beside the titles leaves the loop.
    if ((window = Find(handle)) != nullptr && (host = NativeHostOf(window)) != nullptr) {
        if (const MenuObject* object = MenuStore::GetInstance().Find(menu))
            m_menu_loop.OpenAt(LayoutMenuBar(*object, MenuBarRect(*window, *host)),
                               {screen_point.x - host->rect.left, screen_point.y - host->rect.top},
                               init_popup);
    }
    InvalidateChrome();
    UINT picked = 0;
    bool idle_sent = false;
    while (m_menu_loop.IsActive() && Find(handle) != nullptr) {
        // The game is ending on a signal: the menu closes with nothing picked, so the game's own
        // loop sees the end instead of waiting for a player who asked for it already.
        if (IsTerminationRequested())
            break;
        if (m_menu_loop.TakeChanged())
            InvalidateChrome();
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
            // Scripted test input goes on arriving while the menu holds the game's pump; its
            // steps fall due by turns, so the loop turns on rather than rests.
            const bool scripted = PushDueTestInputInModalLoop(handle);
            RestUntilWork(scripted ? 10 : QUIET_WAIT_MS);
            continue;
        }
        idle_sent = false;
        if (!MenuLoopStep(*event, picked))
            break;
    }
    m_menu_loop.End();
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
    const HWND owner = m_menu_loop.Owner();
    WindowObject* window = Find(owner);
    WindowObject* host = window ? NativeHostOf(window) : nullptr;
    const MenuObject* menu = MenuStore::GetInstance().Find(m_menu_loop.Menu());
    if (window == nullptr || host == nullptr || menu == nullptr)
        return false;
    switch (event.type) {
    case Type::KeyDown:
    case Type::KeyUp:
        m_keys.UpdateKey(event.virtual_key, event.side_key, event.type == Type::KeyDown);
        break;
    case Type::ButtonDown:
    case Type::ButtonUp:
        m_keys.SetButton(event.button, event.type == Type::ButtonDown);
        break;
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
        return m_menu_loop.IsActive();
    }

    const MenuBarLayout bar = LayoutMenuBar(*menu, MenuBarRect(*window, *host));
    const RECT area{0, 0, host->rect.right - host->rect.left, host->rect.bottom - host->rect.top};
    const MenuTracker::InitPopup init_popup = [this, owner](HMENU popup, int title) {
        InvalidateChrome();
        Send(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup),
             MAKELPARAM(static_cast<WORD>(title), FALSE));
    };
    const POINT point{event.x, event.y};
    switch (event.type) {
    case Type::MouseMove:
        m_pointer.SetPosition({host->rect.left + event.x, host->rect.top + event.y});
        return m_menu_loop.OnPointerMove(bar, area, point, init_popup);
    case Type::ButtonDown:
    case Type::ButtonUp:
        return m_menu_loop.OnButton(event.type == Type::ButtonDown, bar, area, point, init_popup, picked);
    case Type::KeyDown:
        return m_menu_loop.OnKey(event.virtual_key, bar, area, init_popup, picked);
    default:
        return true;
    }
}

// ---------------------------------------------------------------------------------------------
// Message boxes

bool WindowManager::MessageBoxStep(const NativeEvent& event, int& result, bool& closed)
{
    using Type = NativeEvent::Type;
    switch (event.type) {
    case Type::KeyDown:
    case Type::KeyUp:
        m_keys.UpdateKey(event.virtual_key, event.side_key, event.type == Type::KeyDown);
        if (event.type == Type::KeyUp)
            return true;
        if (event.virtual_key == VK_F4 && m_keys.IsDown(VK_MENU)) {
            closed = !m_box.OnClose(result);
            return !closed;
        }
        return m_box.OnKey(event.virtual_key, m_keys.IsDown(VK_SHIFT), result);
    case Type::ButtonDown:
    case Type::ButtonUp:
        m_keys.SetButton(event.button, event.type == Type::ButtonDown);
        if (event.button != 1)
            return true;
        return m_box.OnLeftButton(event.type == Type::ButtonDown, {event.x, event.y}, result);
    case Type::Close:
    case Type::Quit:
        closed = !m_box.OnClose(result);
        return !closed;
    case Type::MouseMove:
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
    if (m_box.IsActive() || Device() == nullptr)
        return 0;
    WindowObject* host = owner ? NativeHostOf(Find(owner)) : nullptr;
    if (host == nullptr || !host->visible || host->minimized)
        host = Find(MainWindow());
    if (host != nullptr && (!host->visible || host->minimized))
        host = nullptr;

    m_box.Begin(text, caption, type);

    // Without a window to show it in, the box gets a window of its own.
    HWND own_window = nullptr;
    if (host == nullptr) {
        m_box.LayoutAlone();
        const RECT display = DisplayBounds(0);
        const SIZE size = m_box.FrameSize();
        const int left = display.left + (display.right - display.left - size.cx) / 2;
        const int top = display.top + (display.bottom - display.top - size.cy) / 2;
        static const ATOM s_box_class = [this] {
            WNDCLASSW info{};
            info.lpfnWndProc = &::DefWindowProcW;
            info.lpszClassName = u"VeskMessageBox";
            return RegisterClass(info);
        }();
        (void)s_box_class;
        own_window = CreateWindow(WS_EX_TOPMOST, u"VeskMessageBox", caption.c_str(), WS_POPUP, left, top,
                                  size.cx, size.cy, nullptr, nullptr, nullptr, nullptr);
        if (own_window == nullptr) {
            m_box.End();
            return 0;
        }
        Show(own_window, SW_SHOW);
        host = Find(own_window);
    }
    m_box.Show(host->handle);
    if (own_window != nullptr)
        m_box.LayoutAlone();
    else
        m_box.Layout(host->rect.right - host->rect.left, host->rect.bottom - host->rect.top);

    const uint32_t host_native = host->native;
    int result = 0;
    bool closed = false;
    bool idle_sent = false;
    while (Find(m_box.Owner()) != nullptr) {
        // The game is ending on a signal: the box answers as its close would (else with its
        // default button) instead of waiting for a player who asked for the end already.
        if (IsTerminationRequested()) {
            if (m_box.OnClose(result))
                m_box.OnKey(VK_RETURN, false, result);
            break;
        }
        if (m_box.TakeChanged())
            InvalidateChrome();
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
                    Send(owner, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(m_box.Owner()));
                continue;
            }
            RestUntilWork(QUIET_WAIT_MS);
            continue;
        }
        idle_sent = false;
        // Input for other windows is not theirs while the box is up.
        NativeEvent local = *event;
        if (local.window != host_native && local.window != 0 &&
            (local.type == NativeEvent::Type::ButtonDown || local.type == NativeEvent::Type::ButtonUp))
            continue;
        if (!MessageBoxStep(local, result, closed))
            break;
    }
    m_box.End();
    InvalidateChrome();
    if (own_window != nullptr && Find(own_window))
        DestroyWindow(own_window);
    // The player closed the window, not just the box: once the box is answered the game hears
    // the close as it would without the box.
    if (closed) {
        WindowObject* main = Find(MainWindow());
        if (main != nullptr && !IsCloseGreyed(*main))
            Post(main->handle, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    return result;
}

} // namespace platform
