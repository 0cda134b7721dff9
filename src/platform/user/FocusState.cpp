#include "platform/user/FocusState.h"

#include <utility>

namespace platform {

HWND FocusState::SetActive(HWND window)
{
    return std::exchange(m_active, window);
}

HWND FocusState::SetFocus(HWND window)
{
    return std::exchange(m_focus, window);
}

void FocusState::Forget(HWND window)
{
    if (m_active == window)
        m_active = nullptr;
    if (m_focus == window)
        m_focus = nullptr;
}

} // namespace platform
