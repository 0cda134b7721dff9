// The message queue: posted messages, input translated from native events, paint, timers, quit.
#include "platform/user/WindowManager.h"

#include <algorithm>
#include <cmath>

#include "platform/TerminationSignals.h"
#include "platform/kernel/ErrorApi.h"
#include "platform/kernel/TimeApi.h"
#include "platform/kernel/VirtualClock.h"

namespace platform {

namespace {

constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;

bool InRange(UINT message, UINT filter_min, UINT filter_max)
{
    return (filter_min == 0 && filter_max == 0) || (message >= filter_min && message <= filter_max);
}

LPARAM PackPoint(int x, int y)
{
    return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(x)), static_cast<WORD>(static_cast<SHORT>(y)));
}

bool IsMouseEvent(NativeEvent::Type type)
{
    using Type = NativeEvent::Type;
    return type == Type::MouseMove || type == Type::ButtonDown || type == Type::ButtonUp ||
           type == Type::Wheel;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Posting and reading

bool WindowManager::Post(HWND window, UINT message, WPARAM w_param, LPARAM l_param)
{
    if (window != nullptr && !IsWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    m_posted.Post(MSG{window, message, w_param, l_param, timeGetTime(), {}});
    if (m_idle_waiting)
        if (VideoDevice* device = m_wake_device.load())
            device->Wake();
    return true;
}

void WindowManager::PostQuit(int exit_code)
{
    m_posted.PostQuit(exit_code);
}

bool WindowManager::Matches(const MSG& message, const Filter& filter) const
{
    const auto [window, filter_min, filter_max] = filter;
    if (window != nullptr && message.hwnd != window) {
        const WindowObject* target = Find(message.hwnd);
        bool inside = false;
        while (target != nullptr && (target->style & WS_CHILD) && !inside) {
            inside = target->parent == window;
            target = Find(target->parent);
        }
        if (!inside)
            return false;
    }
    return InRange(message.message, filter_min, filter_max);
}

std::optional<MSG> WindowManager::TakePosted(HWND window, UINT filter_min, UINT filter_max, bool remove)
{
    // Two pointers of capture: the function object stays out of the heap on every peek.
    const Filter filter{window, filter_min, filter_max};
    return m_posted.Take([this, &filter](const MSG& message) { return Matches(message, filter); }, remove);
}

void WindowManager::PumpNative()
{
    if (VideoDevice* device = Device())
        m_native.Fill(*device);
}

std::optional<NativeEvent> WindowManager::NextNativeEvent()
{
    return m_native.Next(m_native.IsEmpty() ? Device() : nullptr);
}

bool WindowManager::Peek(MSG& message, HWND window, UINT filter_min, UINT filter_max, bool remove)
{
    RenderIfNeeded();
    while (true) {
        if (auto posted = TakePosted(window, filter_min, filter_max, remove)) {
            message = *posted;
            message.pt = m_pointer.Position();
            return true;
        }
        const Filter filter{window, filter_min, filter_max};
        if (auto input = m_input.Take([this, &filter](const MSG& queued) { return Matches(queued, filter); },
                                      remove)) {
            message = *input;
            if (remove)
                CountInputWait(m_input.TakenArrival());
            return true;
        }
        std::optional<NativeEvent> event = NextNativeEvent();
        if (!event)
            break;
        ProcessNativeEvent(*event, m_native.Pending());
    }
    if (InRange(WM_PAINT, filter_min, filter_max)) {
        const HWND invalid = m_table.FindOldest([window](const WindowObject& candidate) {
            return candidate.invalid && candidate.visible &&
                   (window == nullptr || window == candidate.handle);
        });
        if (invalid != nullptr) {
            message = {invalid, WM_PAINT, 0, 0, timeGetTime(), m_pointer.Position()};
            return true;
        }
    }
    if (InRange(WM_TIMER, filter_min, filter_max)) {
        const DWORD now = timeGetTime();
        if (std::optional<TimerTable::Timer> timer = m_timers.TakeDue(now, window, remove)) {
            message = {timer->window, WM_TIMER,
                       timer->id,     reinterpret_cast<LPARAM>(timer->procedure),
                       now,           m_pointer.Position()};
            return true;
        }
    }
    if (std::optional<int> exit_code = m_posted.TakeQuit(remove)) {
        message = {nullptr, WM_QUIT, static_cast<WPARAM>(*exit_code), 0, timeGetTime(), m_pointer.Position()};
        return true;
    }
    return false;
}

void WindowManager::Wait()
{
    while (true) {
        // A signal ending the game ends the wait, so the modal loop that waits can see it.
        if (m_posted.HasAny() || IsTerminationRequested())
            return;
        if (!m_input.IsEmpty() || !m_native.IsEmpty())
            return;
        PumpNative();
        if (!m_native.IsEmpty())
            return;
        if (m_table.FindOldest(
                [](const WindowObject& candidate) { return candidate.invalid && candidate.visible; }))
            return;
        if (m_timers.AnyDue(timeGetTime()))
            return;
        RenderIfNeeded();
        if (Device() == nullptr)
            return;
        // The virtual clock's timers fall due as real time passes only if the wait looks again.
        const uint32_t limit = VirtualClock::IsEnabled() ? 10 : uint32_t{QUIET_WAIT_MS};
        RestUntilWork(static_cast<int>(m_timers.TimeToNextDue(timeGetTime(), limit)));
    }
}

void WindowManager::RestUntilWork(int timeout_ms)
{
    VideoDevice* device = Device();
    if (device == nullptr)
        return;
    // Announced before the last look at the queues: a poster that misses the look sees the flag
    // and wakes the device.
    m_wake_device = device;
    m_idle_waiting = true;
    const uint64_t hold = m_repaint ? RefreshHoldMicroseconds() : 0;
    if (m_posted.HasAny() || !m_native.IsEmpty() || (m_repaint && hold == 0)) {
        m_idle_waiting = false;
        return;
    }
    if (m_repaint)
        timeout_ms = std::min<int>(timeout_ms, static_cast<int>((hold + 999) / 1000));
    device->WaitForEvent(std::max(timeout_ms, 0));
    m_idle_waiting = false;
}

LRESULT WindowManager::Dispatch(const MSG& message)
{
    if (message.hwnd == nullptr)
        return 0;
    if (message.message == WM_TIMER && message.lParam != 0) {
        reinterpret_cast<TIMERPROC>(message.lParam)(message.hwnd, WM_TIMER, message.wParam, message.time);
        return 0;
    }
    if (!Find(message.hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return Send(message.hwnd, message.message, message.wParam, message.lParam);
}

bool WindowManager::Translate(const MSG& message)
{
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN)
        return false;
    // With text input on, characters come from the input method as committed text instead.
    if (m_text_input)
        return false;
    const int key = static_cast<int>(message.wParam);
    const bool shift = m_keys.IsDown(VK_SHIFT);
    const bool control = m_keys.IsDown(VK_CONTROL);
    const bool caps = m_keys.IsToggled(VK_CAPITAL);
    char16_t character = 0;
    if (key >= 'A' && key <= 'Z') {
        if (control && !m_keys.IsDown(VK_MENU))
            character = static_cast<char16_t>(key - 'A' + 1);
        else
            character = static_cast<char16_t>((shift != caps) ? key : key - 'A' + 'a');
    } else if (control) {
        character = 0;
    } else if (key >= '0' && key <= '9') {
        static constexpr char16_t SHIFTED_DIGITS[] = u")!@#$%^&*(";
        character = shift ? SHIFTED_DIGITS[key - '0'] : static_cast<char16_t>(key);
    } else if (key >= VK_NUMPAD0 && key <= VK_NUMPAD0 + 9) {
        character = static_cast<char16_t>(u'0' + (key - VK_NUMPAD0));
    } else {
        struct Symbol
        {
            int key;
            char16_t plain;
            char16_t shifted;
        };
        static constexpr Symbol SYMBOLS[] = {
            {VK_SPACE, u' ', u' '},      {VK_RETURN, u'\r', u'\r'},  {VK_BACK, 8, 8},
            {VK_TAB, u'\t', u'\t'},      {VK_ESCAPE, 27, 27},        {VK_OEM_1, u';', u':'},
            {VK_OEM_PLUS, u'=', u'+'},   {VK_OEM_COMMA, u',', u'<'}, {VK_OEM_MINUS, u'-', u'_'},
            {VK_OEM_PERIOD, u'.', u'>'}, {VK_OEM_2, u'/', u'?'},     {VK_OEM_3, u'`', u'~'},
            {VK_OEM_4, u'[', u'{'},      {VK_OEM_5, u'\\', u'|'},    {VK_OEM_6, u']', u'}'},
            {VK_OEM_7, u'\'', u'"'},     {VK_OEM_102, u'\\', u'|'},  {VK_MULTIPLY, u'*', u'*'},
            {VK_ADD, u'+', u'+'},        {VK_SUBTRACT, u'-', u'-'},  {VK_DECIMAL, u'.', u'.'},
            {VK_DIVIDE, u'/', u'/'},
        };
        for (const Symbol& symbol : SYMBOLS) {
            if (symbol.key == key)
                character = shift ? symbol.shifted : symbol.plain;
        }
    }
    if (character == 0)
        return false;
    const UINT char_message = message.message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
    // Windows puts the character straight after its key in the queue.
    m_input.QueueFront({message.hwnd, char_message, character, message.lParam, message.time, message.pt},
                       m_input.TakenArrival());
    return true;
}

UINT_PTR WindowManager::SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC procedure)
{
    if (window != nullptr && !Find(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return m_timers.Set(window, id, elapse, procedure, timeGetTime());
}

bool WindowManager::KillTimer(HWND window, UINT_PTR id)
{
    return m_timers.Kill(window, id);
}

// ---------------------------------------------------------------------------------------------
// Native events

void WindowManager::QueueInput(const MSG& message)
{
    m_input.Queue(message, m_event_arrival_us != 0 ? m_event_arrival_us : RealMicroseconds());
}

bool WindowManager::ProcessNativeEvent(const NativeEvent& event, const std::deque<NativeEvent>& following)
{
    using Type = NativeEvent::Type;
    m_event_arrival_us = event.arrived_us;
    switch (event.type) {
    case Type::KeyDown:
    case Type::KeyUp:
        HandleKey(event);
        return true;
    case Type::Text:
    case Type::Editing:
        if (m_text_sink != nullptr && m_text_sink(event, InputTarget()))
            return true;
        if (event.type == Type::Text && m_text_input) {
            const HWND target = m_focus_state.InputTarget();
            for (char16_t unit : event.text)
                QueueInput({target, WM_CHAR, unit, 1, event.time, m_pointer.Position()});
        }
        return true;
    case Type::MouseMove:
    case Type::ButtonDown:
    case Type::ButtonUp:
    case Type::Wheel:
        HandleMouse(event);
        return true;
    case Type::FingerDown:
    case Type::FingerMove:
    case Type::FingerUp:
        HandleFinger(event);
        return true;
    default:
        HandleWindowEvent(event, following);
        return true;
    }
}

void WindowManager::HandleKey(const NativeEvent& event)
{
    if (event.virtual_key == 0)
        return;
    const bool down = event.type == NativeEvent::Type::KeyDown;
    const bool was_down = m_keys.IsDown(event.virtual_key);
    const bool alt_before = m_keys.IsDown(VK_MENU);
    m_keys.UpdateKey(event.virtual_key, event.side_key, down);
    const bool alt = m_keys.IsDown(VK_MENU);
    const bool control = m_keys.IsDown(VK_CONTROL);
    bool system;
    if (event.virtual_key == VK_MENU)
        system = !control;
    else if (down)
        system = (alt && !control) || event.virtual_key == VK_F10;
    else
        system = (alt_before && !control) || event.virtual_key == VK_F10;
    const UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    uintptr_t flags = 1 | (static_cast<uintptr_t>(event.scan_code) << 16);
    if (event.extended)
        flags |= 1u << 24;
    if ((down && alt) || (!down && alt_before && event.virtual_key != VK_MENU))
        flags |= 1u << 29;
    if (!down || was_down)
        flags |= 1u << 30;
    if (!down)
        flags |= 1u << 31;
    const HWND target = m_focus_state.InputTarget();
    QueueInput(
        {target, message, event.virtual_key, static_cast<LPARAM>(flags), event.time, m_pointer.Position()});
}

WPARAM WindowManager::MouseKeyFlags() const
{
    WPARAM flags = 0;
    if (m_keys.IsDown(VK_LBUTTON))
        flags |= MK_LBUTTON;
    if (m_keys.IsDown(VK_RBUTTON))
        flags |= MK_RBUTTON;
    if (m_keys.IsDown(VK_MBUTTON))
        flags |= MK_MBUTTON;
    if (m_keys.IsDown(VK_SHIFT))
        flags |= MK_SHIFT;
    if (m_keys.IsDown(VK_CONTROL))
        flags |= MK_CONTROL;
    return flags;
}

HWND WindowManager::HitTest(POINT screen, int& hit_code) const
{
    auto inside = [](const RECT& rect, POINT point) {
        return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
    };
    // Drawn windows first, topmost ones above the others, the most recently raised on top.
    std::vector<const WindowObject*> drawn;
    m_table.ForEach([&](const WindowObject& window) {
        if (window.native == 0 && window.visible && !(window.style & WS_CHILD))
            drawn.push_back(&window);
    });
    std::sort(drawn.begin(), drawn.end(), [](const WindowObject* a, const WindowObject* b) {
        const bool a_top = (a->ex_style & WS_EX_TOPMOST) != 0;
        const bool b_top = (b->ex_style & WS_EX_TOPMOST) != 0;
        return a_top != b_top ? a_top : a->z_order > b->z_order;
    });
    for (const WindowObject* window : drawn) {
        if (inside(window->rect, screen)) {
            const int bar = MenuBarHeight(*window);
            hit_code = (bar > 0 && screen.y < window->rect.top + bar) ? HTMENU : HTCLIENT;
            return window->handle;
        }
    }
    const WindowObject* native_hit = nullptr;
    m_table.ForEach([&](const WindowObject& window) {
        if (native_hit == nullptr && window.native != 0 && window.visible && !window.minimized &&
            inside(window.rect, screen))
            native_hit = &window;
    });
    if (native_hit != nullptr) {
        const int bar = MenuBarHeight(*native_hit);
        hit_code = (bar > 0 && screen.y < native_hit->rect.top + bar) ? HTMENU : HTCLIENT;
        return native_hit->handle;
    }
    hit_code = HTNOWHERE;
    return nullptr;
}

void WindowManager::HandleMouse(const NativeEvent& event)
{
    using Type = NativeEvent::Type;
    WindowObject* host = FindNative(event.window);
    if (host == nullptr)
        host = Find(MainWindow());
    if (host == nullptr || host->minimized)
        return;
    const POINT screen{host->rect.left + event.x, host->rect.top + event.y};
    if (event.type != Type::Wheel)
        m_pointer.SetPosition(screen);
    UINT client_message = WM_MOUSEMOVE;
    UINT frame_message = WM_NCMOUSEMOVE;
    if (event.type == Type::ButtonDown || event.type == Type::ButtonUp) {
        const bool down = event.type == Type::ButtonDown;
        m_keys.SetButton(event.button, down);
        switch (event.button) {
        case 1:
            client_message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
            frame_message = down ? WM_NCLBUTTONDOWN : WM_NCLBUTTONUP;
            break;
        case 3:
            client_message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
            frame_message = down ? WM_NCRBUTTONDOWN : WM_NCRBUTTONUP;
            break;
        default:
            client_message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
            frame_message = 0;
            break;
        }
    }
    if (event.type == Type::Wheel) {
        if (event.wheel == 0)
            return;
        const HWND target = m_focus_state.InputTarget() ? m_focus_state.InputTarget() : host->handle;
        const int delta = std::clamp(event.wheel * WHEEL_DELTA, -32768, 32767);
        QueueInput(
            {target, WM_MOUSEWHEEL, MAKEWPARAM(static_cast<WORD>(MouseKeyFlags()), static_cast<WORD>(delta)),
             PackPoint(m_pointer.Position().x, m_pointer.Position().y), event.time, m_pointer.Position()});
        return;
    }
    int hit = HTCLIENT;
    HWND target = m_pointer.Capture();
    if (target == nullptr)
        target = HitTest(screen, hit);
    WindowObject* window = Find(target);
    if (window == nullptr)
        return;
    if (m_pointer.Capture() == nullptr) {
        // A disabled window (the owner of a modal dialog) takes no mouse input, as on Windows.
        const WindowObject* top = TopLevelOf(window);
        if (!window->enabled || (top != nullptr && !top->enabled))
            return;
    }
    if (event.type == Type::ButtonDown && m_pointer.Capture() == nullptr) {
        WindowObject* top = TopLevelOf(window);
        if (top != nullptr && m_focus_state.Active() != top->handle)
            Activate(top->handle, WA_CLICKACTIVE);
        if ((window = Find(target)) == nullptr)
            return;
    }
    if (m_pointer.Capture() == nullptr)
        Send(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target),
             MAKELPARAM(static_cast<WORD>(hit), client_message));
    if ((window = Find(target)) == nullptr)
        return;
    if (hit == HTCLIENT) {
        const POINT origin = ClientOrigin(*window);
        QueueInput({target, client_message, MouseKeyFlags(),
                    PackPoint(screen.x - origin.x, screen.y - origin.y), event.time, screen});
    } else if (frame_message != 0) {
        QueueInput({target, frame_message, static_cast<WPARAM>(hit), PackPoint(screen.x, screen.y),
                    event.time, screen});
    }
}

void WindowManager::HandleFinger(const NativeEvent& event)
{
    using Type = NativeEvent::Type;
    WindowObject* host = FindNative(event.window);
    if (host == nullptr)
        host = Find(MainWindow());
    if (host == nullptr || !host->touch || host->minimized)
        return;
    const double x =
        host->rect.left + static_cast<double>(event.finger_x) * (host->rect.right - host->rect.left);
    const double y =
        host->rect.top + static_cast<double>(event.finger_y) * (host->rect.bottom - host->rect.top);
    TOUCHINPUT input{};
    input.x = static_cast<LONG>(std::lround(x * 100));
    input.y = static_cast<LONG>(std::lround(y * 100));
    input.hSource = nullptr;
    input.dwID = static_cast<DWORD>(event.finger);
    input.dwFlags =
        TOUCHEVENTF_PRIMARY | (event.type == Type::FingerDown   ? TOUCHEVENTF_DOWN | TOUCHEVENTF_INRANGE
                               : event.type == Type::FingerMove ? TOUCHEVENTF_MOVE | TOUCHEVENTF_INRANGE
                                                                : TOUCHEVENTF_UP);
    input.dwTime = event.time;
    const HTOUCHINPUT handle = m_touch_inputs.Add(host->handle, {input});
    QueueInput({host->handle, WM_TOUCH, MAKEWPARAM(1, 0), reinterpret_cast<LPARAM>(handle), event.time,
                m_pointer.Position()});
}

void WindowManager::HandleWindowEvent(const NativeEvent& event, const std::deque<NativeEvent>& following)
{
    using Type = NativeEvent::Type;
    if (event.type == Type::Quit) {
        WindowObject* main = Find(MainWindow());
        if (main != nullptr && !IsCloseGreyed(*main))
            Post(main->handle, WM_SYSCOMMAND, SC_CLOSE, 0);
        return;
    }
    WindowObject* host = FindNative(event.window);
    if (host == nullptr)
        return;
    const HWND handle = host->handle;
    switch (event.type) {
    case Type::Shown:
        if (host->visible)
            return;
        host->visible = true;
        host->style |= WS_VISIBLE;
        Send(handle, WM_SHOWWINDOW, TRUE, 0);
        return;
    case Type::Hidden:
        if (!host->visible)
            return;
        host->visible = false;
        host->style &= ~WS_VISIBLE;
        Send(handle, WM_SHOWWINDOW, FALSE, 0);
        return;
    case Type::Exposed:
        host->invalid = true;
        InvalidateChrome();
        return;
    case Type::Moved:
        if (host->minimized || host->fullscreen || (host->rect.left == event.x && host->rect.top == event.y))
            return;
        host->rect = {event.x, event.y, event.x + host->rect.right - host->rect.left,
                      event.y + host->rect.bottom - host->rect.top};
        if (!host->maximized)
            host->normal_rect = host->rect;
        {
            const POINT origin = ClientOrigin(*host);
            Send(handle, WM_MOVE, 0, PackPoint(origin.x, origin.y));
        }
        return;
    case Type::Resized:
        if (host->minimized || host->fullscreen ||
            (host->rect.right - host->rect.left == event.x && host->rect.bottom - host->rect.top == event.y))
            return;
        host->rect.right = host->rect.left + event.x;
        host->rect.bottom = host->rect.top + event.y;
        SendSize(*host);
        return;
    // A state the window manager changed on its own reaches the program as the system command
    // that would have caused it on Windows.
    case Type::Minimized:
        if (host->minimized)
            return;
        Send(handle, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        return;
    case Type::Maximized:
        if (host->maximized)
            return;
        Send(handle, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        return;
    case Type::Restored:
        if ((!host->minimized && !host->maximized))
            return;
        Send(handle, WM_SYSCOMMAND, SC_RESTORE, 0);
        return;
    case Type::FocusGained: {
        const WindowObject* active = Find(m_focus_state.Active());
        if (active != nullptr &&
            (m_focus_state.Active() == handle || NativeHostOf(const_cast<WindowObject*>(active)) == host))
            return;
        // A click that brings the window to the front arrives with its focus event.
        bool by_click = false;
        for (const NativeEvent& next : following) {
            if (next.window != event.window)
                continue;
            if (next.type == Type::ButtonDown)
                by_click = true;
            if (!IsMouseEvent(next.type))
                break;
        }
        Activate(handle, by_click ? WA_CLICKACTIVE : WA_ACTIVE);
        return;
    }
    case Type::FocusLost: {
        WindowObject* active = Find(m_focus_state.Active());
        if (active != nullptr && NativeHostOf(active) == host)
            Activate(nullptr, WA_INACTIVE);
        return;
    }
    case Type::Close:
        if (!IsCloseGreyed(*host))
            Post(handle, WM_SYSCOMMAND, SC_CLOSE, 0);
        return;
    default:
        return;
    }
}

// ---------------------------------------------------------------------------------------------
// Touch

bool WindowManager::RegisterTouch(HWND handle, bool registered)
{
    WindowObject* window = Find(handle);
    if (window == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    window->touch = registered;
    return true;
}

bool WindowManager::GetTouchInputs(HTOUCHINPUT input, UINT count, TOUCHINPUT* inputs, int size)
{
    const std::vector<TOUCHINPUT>* found = m_touch_inputs.Find(input);
    if (found == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    if (inputs == nullptr || size != static_cast<int>(sizeof(TOUCHINPUT)) || count == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    const size_t copied = std::min<size_t>(count, found->size());
    std::copy_n(found->begin(), copied, inputs);
    return true;
}

bool WindowManager::CloseTouchInput(HTOUCHINPUT input)
{
    if (!m_touch_inputs.Close(input)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    return true;
}

} // namespace platform
