#include "app/CApiMouse.h"

#include <cstdlib>
#include <vector>

#include "app/CWinApp.h"
#include "foundation/CStringBase.h"
#include "platform/kernel/LibraryApi.h"
#include "platform/kernel/TimeApi.h"
#include "platform/user/TouchApi.h"
#include "platform/user/WindowApi.h"

namespace {

bool Within(uint32_t now, uint32_t then, uint32_t span)
{
    // Unsigned difference: still right when the millisecond clock wraps between the two readings.
    return static_cast<uint32_t>(now - then) < span;
}

bool RotateOption()
{
    CWinApp* app = GetApp();
    return app != nullptr && app->GetRotateFlag() != 0;
}

} // namespace

int32_t CApiMouse::HookProc(HWND window, UINT message, WPARAM w_param, LPARAM l_param)
{
    if (message == WM_MOUSEMOVE) {
        POINT position;
        GetPosition(&position); // keeps the position the app-task thread reads
    }
    switch (message) {
    case WM_SETCURSOR: {
        HCURSOR cursor;
        switch (static_cast<SHORT>(LOWORD(static_cast<uintptr_t>(l_param)))) {
        case HTCLIENT:
            cursor = CursorOfShape(m_cursor_shape);
            break;
        case HTTOP:
        case HTBOTTOM:
            cursor = LoadCursorW(nullptr, IDC_SIZENS);
            break;
        case HTLEFT:
        case HTRIGHT:
            cursor = LoadCursorW(nullptr, IDC_SIZEWE);
            break;
        case HTTOPLEFT:
        case HTBOTTOMRIGHT:
            cursor = LoadCursorW(nullptr, IDC_SIZENWSE);
            break;
        case HTTOPRIGHT:
        case HTBOTTOMLEFT:
            cursor = LoadCursorW(nullptr, IDC_SIZENESW);
            break;
        default:
            cursor = LoadCursorW(nullptr, IDC_ARROW);
            break;
        }
        SetCursor(cursor);
        return 1;
    }
    case WM_LBUTTONDOWN:
        OnButton(window, LEFT, true);
        return 0;
    case WM_LBUTTONUP:
        OnButton(window, LEFT, false);
        return 0;
    case WM_RBUTTONDOWN:
        OnButton(window, RIGHT, true);
        return 0;
    case WM_RBUTTONUP:
        OnButton(window, RIGHT, false);
        return 0;
    case WM_MBUTTONDOWN:
        OnButton(window, MIDDLE, true);
        return 0;
    case WM_MBUTTONUP:
        OnButton(window, MIDDLE, false);
        return 0;
    case WM_MOUSEWHEEL: {
        // One step per message, whatever the size of the turn.
        const SHORT delta = static_cast<SHORT>(HIWORD(w_param));
        if (delta < 0)
            --m_wheel;
        else if (delta > 0)
            ++m_wheel;
        else
            m_wheel = 0;
        return 0;
    }
    case WM_TOUCH:
        OnTouch(window, w_param, l_param);
        return 0;
    default:
        return 0;
    }
}

void CApiMouse::OnButton(HWND window, Button button, bool down)
{
    for (int other = LEFT; other <= MIDDLE; ++other) {
        if (other != button && m_buttons[other].held)
            return;
    }
    if (m_touch_active == 1)
        return;
    ButtonState& state = m_buttons[button];
    if (down) {
        if (GetCapture() != nullptr)
            return;
        ::SetCapture(window);
        state.held = 1;
        state.seen = 0;
        state.unseen = 1;
    } else {
        ReleaseCapture();
        state.clicked = state.held.load();
        state.release_time = timeGetTime();
        state.held = 0;
    }
}

void CApiMouse::OnTouch(HWND, WPARAM w_param, LPARAM l_param)
{
    for (const ButtonState& state : m_buttons) {
        if (state.held)
            return;
    }
    // Looked up for every message, as on systems without touch the functions do not exist.
    HMODULE user32 = LoadLibraryW(u"User32.dll");
    auto get_info = reinterpret_cast<GetTouchInputInfoProc>(GetProcAddress(user32, "GetTouchInputInfo"));
    auto close_handle =
        reinterpret_cast<CloseTouchInputHandleProc>(GetProcAddress(user32, "CloseTouchInputHandle"));
    if (get_info == nullptr || close_handle == nullptr)
        return;
    const UINT count = LOWORD(w_param);
    if (count == 0)
        return;
    std::vector<TOUCHINPUT> inputs(count);
    auto handle = reinterpret_cast<HTOUCHINPUT>(l_param);
    const BOOL read = get_info(handle, count, inputs.data(), static_cast<int>(sizeof(TOUCHINPUT)));
    const BOOL closed = close_handle(handle);
    if (!read || !closed)
        return;
    const TOUCHINPUT& input = inputs.front();
    // Hundredths of a screen pixel, cut toward zero.
    POINT point{input.x / 100, input.y / 100};
    ::ScreenToClient(m_window, &point);
    const uint32_t now = timeGetTime();
    if (input.dwFlags & TOUCHEVENTF_DOWN) {
        m_touch_start_x = point.x;
        m_touch_start_y = point.y;
        SetPosition(point.x, point.y);
        ::SetCapture(m_window);
        m_touch_start_time = now;
    } else if (input.dwFlags & TOUCHEVENTF_UP) {
        ReleaseCapture();
        if (!m_drag) {
            if (Within(now, m_touch_start_time, TOUCH_LONG_PRESS_MS))
                m_touch_tap = 1;
            else
                m_touch_long_press = 1;
            m_touch_event_time = now;
            m_touch_active = 0;
        } else {
            m_touch_tap = 0;
        }
        m_drag = 0;
    } else if (input.dwFlags & TOUCHEVENTF_MOVE) {
        SetPosition(point.x, point.y);
        if (!m_drag && (std::abs(point.x - m_touch_start_x) >= TOUCH_DRAG_DISTANCE ||
                        std::abs(point.y - m_touch_start_y) >= TOUCH_DRAG_DISTANCE)) {
            m_drag = 1;
            m_touch_start_time = 0;
            m_touch_tap = 0;
        }
    }
}

int32_t CApiMouse::Down(Button button)
{
    ButtonState& state = m_buttons[button];
    const bool unseen = state.unseen != 0;
    if (unseen)
        state.seen = 1;
    return state.held != 0 || unseen ? 1 : 0;
}

void CApiMouse::BeginPump()
{
    for (ButtonState& state : m_buttons)
        if (state.seen.exchange(0) != 0)
            state.unseen = 0;
}

int32_t CApiMouse::Clicked(Button button)
{
    const ButtonState& state = m_buttons[button];
    return Within(timeGetTime(), state.release_time, CLICK_LIFETIME_MS) ? state.clicked.load() : 0;
}

int32_t CApiMouse::GetTouchTap()
{
    return Within(timeGetTime(), m_touch_event_time, CLICK_LIFETIME_MS) ? m_touch_tap.load() : 0;
}

int32_t CApiMouse::GetTouchState()
{
    return Within(timeGetTime(), m_touch_event_time, CLICK_LIFETIME_MS) ? m_touch_long_press.load() : 0;
}

void CApiMouse::ClearClicks()
{
    for (ButtonState& state : m_buttons) {
        state.clicked = 0;
        state.unseen = 0;
        state.seen = 0;
    }
    m_touch_tap = 0;
}

void CApiMouse::ResetTouch(int32_t which)
{
    if (which == 0)
        m_touch_tap = 0;
    else if (which == 1)
        m_touch_long_press = 0;
}

int32_t CApiMouse::OutputHeight()
{
    RECT client{};
    ::GetClientRect(m_window, &client);
    return client.bottom - client.top;
}

void CApiMouse::StorePosition(POINT point)
{
    m_position = static_cast<uint64_t>(static_cast<uint32_t>(point.x)) |
                 static_cast<uint64_t>(static_cast<uint32_t>(point.y)) << 32;
}

void CApiMouse::GetPosition(POINT* point)
{
    // The window layer belongs to the main thread; the game cursor's task on the app-task thread
    // gets the position the main thread read last.
    if (!platform::IsUserInterfaceThread()) {
        const uint64_t packed = m_position.load();
        *point = POINT{static_cast<int32_t>(static_cast<uint32_t>(packed)),
                       static_cast<int32_t>(static_cast<uint32_t>(packed >> 32))};
        return;
    }
    POINT position{};
    GetCursorPos(&position);
    ::ScreenToClient(m_window, &position);
    if (RotateOption()) {
        // The picture is turned a quarter: x' = height - y, y' = x.
        position = {OutputHeight() - position.y, position.x};
    }
    StorePosition(position);
    *point = position;
}

void CApiMouse::SetPosition(int32_t x, int32_t y)
{
    POINT position{x, y};
    if (RotateOption()) {
        // The inverse of GetPosition's turn, so a position read and written back stays put.
        position = {y, OutputHeight() - x};
    }
    ::ClientToScreen(m_window, &position);
    SetCursorPos(position.x, position.y);
    StorePosition(POINT{x, y});
}

void CApiMouse::ShowCursor(BOOL show)
{
    if ((m_cursor_shown != FALSE) == (show != FALSE))
        return;
    // The system keeps a display count; walk it to just shown (0) or just hidden (-1).
    if (show) {
        while (::ShowCursor(TRUE) < 0) {
        }
    } else {
        while (::ShowCursor(FALSE) >= 0) {
        }
    }
    m_cursor_shown = show != FALSE ? TRUE : FALSE;
}

HCURSOR CApiMouse::CursorOfShape(int32_t id)
{
    if (id == -1)
        return LoadCursorW(nullptr, IDC_ARROW);
    return LoadCursorW(m_instance, MAKEINTRESOURCEW(static_cast<uintptr_t>(id)));
}

int32_t CApiMouse::SetCursorShape(int32_t id)
{
    if (id == m_cursor_shape)
        return 1;
    SetCursor(CursorOfShape(id));
    // Moving the pointer to where it is makes the new shape show at once.
    POINT position{};
    GetCursorPos(&position);
    SetCursorPos(position.x, position.y);
    m_cursor_shape = id;
    return 1;
}

int32_t CApiMouse::Attach(HINSTANCE instance, HWND window)
{
    m_instance = instance;
    m_window = window;
    if (IsWindowsVersionOrGreater(6, 1)) {
        HMODULE user32 = LoadLibraryW(u"User32.dll");
        auto register_touch =
            reinterpret_cast<RegisterTouchWindowProc>(GetProcAddress(user32, "RegisterTouchWindow"));
        if (register_touch != nullptr)
            register_touch(window, 0);
    }
    return 1;
}
