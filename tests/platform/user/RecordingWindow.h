#pragma once
// A window class for tests that records every message its procedure receives and hands it on to
// DefWindowProcW, unless a handler answers first.

#include <functional>
#include <optional>
#include <vector>

#include "platform/user/MessageApi.h"
#include "platform/user/WindowApi.h"

namespace test {

struct Received
{
    HWND window;
    UINT message;
    WPARAM w_param;
    LPARAM l_param;
};

class RecordingWindow
{
public:
    // Resets the window layer and registers the class "TestWindow"; the destructor resets again.
    RecordingWindow();
    ~RecordingWindow();

    // Resets the window layer, so each test starts without windows, classes or queued input.
    static void ResetLayer();

    HWND Create(DWORD style, int x, int y, int width, int height, HMENU menu = nullptr, HWND parent = nullptr,
                DWORD ex_style = 0);

    // Messages of the given kind, in arrival order.
    std::vector<Received> Of(UINT message) const;
    // The message numbers received, in order, leaving out the noise of cursor and paint messages.
    std::vector<UINT> Sequence() const;
    void Clear() { m_received.clear(); }
    const std::vector<Received>& All() const { return m_received; }

    // Runs before DefWindowProcW; a result other than nullopt ends the message there.
    std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)> handler;

    // Takes and dispatches every message waiting (translating keys as the game's pump does).
    static int PumpAll(bool translate = true);

private:
    static LRESULT Procedure(HWND window, UINT message, WPARAM w_param, LPARAM l_param);

    std::vector<Received> m_received;
    static RecordingWindow* s_current;
};

} // namespace test
