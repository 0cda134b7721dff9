#include "platform/user/RecordingWindow.h"

#include "platform/user/WindowLayerTesting.h"

namespace test {

RecordingWindow* RecordingWindow::s_current = nullptr;

RecordingWindow::RecordingWindow()
{
    ResetLayer();
    s_current = this;
    WNDCLASSW info{};
    info.lpfnWndProc = &RecordingWindow::Procedure;
    info.lpszClassName = u"TestWindow";
    info.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    RegisterClassW(&info);
}

RecordingWindow::~RecordingWindow()
{
    ResetLayer();
    s_current = nullptr;
}

void RecordingWindow::ResetLayer()
{
    platform::ResetWindowLayer();
}

HWND RecordingWindow::Create(DWORD style, int x, int y, int width, int height, HMENU menu, HWND parent,
                             DWORD ex_style)
{
    return CreateWindowExW(ex_style, u"TestWindow", u"Test", style, x, y, width, height, parent, menu,
                           nullptr, nullptr);
}

std::vector<Received> RecordingWindow::Of(UINT message) const
{
    std::vector<Received> result;
    for (const Received& entry : m_received) {
        if (entry.message == message)
            result.push_back(entry);
    }
    return result;
}

std::vector<UINT> RecordingWindow::Sequence() const
{
    std::vector<UINT> result;
    for (const Received& entry : m_received) {
        if (entry.message != WM_SETCURSOR && entry.message != WM_PAINT && entry.message != WM_GETTEXT)
            result.push_back(entry.message);
    }
    return result;
}

int RecordingWindow::PumpAll(bool translate)
{
    int count = 0;
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_PAINT) {
            // Validate so the paint does not come back forever.
            DispatchMessageW(&message);
            ValidateRect(message.hwnd, nullptr);
            continue;
        }
        if (translate)
            TranslateMessage(&message);
        DispatchMessageW(&message);
        ++count;
    }
    return count;
}

LRESULT RecordingWindow::Procedure(HWND window, UINT message, WPARAM w_param, LPARAM l_param)
{
    if (s_current != nullptr) {
        s_current->m_received.push_back({window, message, w_param, l_param});
        if (s_current->handler) {
            if (auto result = s_current->handler(window, message, w_param, l_param))
                return *result;
        }
    }
    return DefWindowProcW(window, message, w_param, l_param);
}

} // namespace test
