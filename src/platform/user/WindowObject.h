#pragma once
// A window class and a window as the window layer keeps them. The table (WindowTable) owns them;
// the main thread changes them, other threads read only the atomic state flags.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/kernel/WinTypes.h"
#include "platform/user/WindowApi.h"
#include "platform/user/WindowFrame.h"

namespace platform {

struct WindowClassRecord
{
    ATOM atom = 0;
    std::u16string name;
    WNDCLASSW info{}; // lpszClassName and lpszMenuName are not kept
};

struct WindowObject
{
    HWND handle = nullptr;
    WNDPROC procedure = nullptr;
    ATOM class_atom = 0;
    UINT class_style = 0;
    HCURSOR class_cursor = nullptr;
    HICON class_icon = nullptr;
    HINSTANCE instance = nullptr;
    DWORD style = 0;
    DWORD ex_style = 0;
    HWND parent = nullptr; // the parent of a WS_CHILD window, else the owner
    HMENU menu = nullptr;  // the menu bar (the control id of a child window)
    HMENU system_menu = nullptr;
    LONG_PTR user_data = 0;
    std::vector<uint8_t> extra;
    std::u16string text;
    RECT rect{};        // screen pixels; parent client pixels for a child window
    RECT normal_rect{}; // the rectangle to restore after minimise or maximise
    std::atomic<bool> visible{false};
    std::atomic<bool> minimized{false};
    std::atomic<bool> maximized{false};
    bool restore_maximized = false;
    bool enabled = true;
    bool invalid = false;
    bool destroying = false;
    bool touch = false;
    uint32_t native = 0;  // the native window of a top-level window; 0 for drawn windows
    uint64_t z_order = 0; // drawn windows: higher is nearer the top
    bool fullscreen = false;
    std::shared_ptr<const WindowFrame> frame; // guarded by m_frame_lock of the manager
    // What differs between `frame` and the frame last shown; guarded by m_frame_lock.
    RECT frame_unshown = WHOLE_PICTURE;
};

} // namespace platform
