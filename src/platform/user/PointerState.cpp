#include "platform/user/PointerState.h"

#include <utility>

namespace platform {

HWND PointerState::SetCapture(HWND window)
{
    return std::exchange(m_capture, window);
}

int PointerState::StepShowCount(bool show)
{
    m_show_count += show ? 1 : -1;
    return m_show_count;
}

HCURSOR PointerState::SetCursor(HCURSOR cursor)
{
    return std::exchange(m_cursor, cursor);
}

void PointerState::Reset()
{
    *this = PointerState();
}

} // namespace platform
