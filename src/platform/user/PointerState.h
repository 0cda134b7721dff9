#pragma once
// The pointer as the window layer keeps it: where it is (screen pixels), which window has
// captured it, the ShowCursor count and the cursor set. It shows while the count is not
// negative and a cursor is set. Main thread only; the manager tells the video device.

#include "platform/kernel/WinTypes.h"
#include "platform/user/WindowApi.h"

namespace platform {

class PointerState final
{
public:
    POINT Position() const { return m_position; }
    void SetPosition(POINT position) { m_position = position; }

    HWND Capture() const { return m_capture; }
    // Returns the window that had the capture.
    HWND SetCapture(HWND window);

    // ShowCursor: the count after the step.
    int StepShowCount(bool show);
    HCURSOR Cursor() const { return m_cursor; }
    // Returns the cursor set before.
    HCURSOR SetCursor(HCURSOR cursor);
    bool IsShown() const { return m_show_count >= 0 && m_cursor != nullptr; }

    void Reset();

private:
    POINT m_position{};
    HWND m_capture = nullptr;
    int m_show_count = 0;
    HCURSOR m_cursor = nullptr;
};

} // namespace platform
