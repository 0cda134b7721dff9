#pragma once
// Which top-level window is active and which window has the keyboard focus. Input without a
// focused window goes to the active one. Main thread only; the manager sends the activation
// and focus messages.

#include "platform/kernel/WinTypes.h"
#include "platform/user/WindowApi.h"

namespace platform {

class FocusState final
{
public:
    HWND Active() const { return m_active; }
    HWND Focus() const { return m_focus; }
    HWND InputTarget() const { return m_focus ? m_focus : m_active; }

    // Each returns the window that had the state before.
    HWND SetActive(HWND window);
    HWND SetFocus(HWND window);

    // A destroyed window neither stays active nor keeps the focus.
    void Forget(HWND window);
    void Reset() { *this = FocusState(); }

private:
    HWND m_active = nullptr;
    HWND m_focus = nullptr;
};

} // namespace platform
