#pragma once
// A message box the layer draws itself: its text broken into lines, its buttons laid out, the
// button with the focus and the one held down. The manager runs the modal loop and hands it
// the box's input; main thread only.

#include <string>
#include <string_view>
#include <vector>

#include "platform/kernel/WinTypes.h"
#include "platform/user/WindowApi.h"

namespace platform {

class UiCanvas;

class MessageBoxModel final
{
public:
    struct Button
    {
        int id;
        RECT rect;
    };

    // A box of the MB_ type, not yet shown.
    void Begin(std::u16string_view text, std::u16string caption, UINT type);
    void End() { *this = {}; }

    bool IsActive() const { return m_active; }
    HWND Owner() const { return m_owner; }
    void Show(HWND owner);

    // Centres the box in an area of that size; a box in its own window is laid out at 0,0.
    void Layout(int area_width, int area_height);
    void LayoutAlone() { Layout(0, 0); }
    SIZE FrameSize() const;
    void Paint(UiCanvas& canvas, POINT origin) const;

    // Input, in the host's client pixels. Each returns false when the box closes, with its
    // result (0 when closing was refused: the box stays).
    bool OnKey(UINT virtual_key, bool shift, int& result);
    bool OnLeftButton(bool down, POINT point, int& result);
    bool OnClose(int& result);

    // Whether the box changed since the last call: the chrome is painted again.
    bool TakeChanged();

    const std::vector<std::u16string>& Lines() const { return m_lines; }
    const std::vector<Button>& Buttons() const { return m_buttons; }
    int FocusIndex() const { return m_focus; }

private:
    int CancelResult() const;
    void Change() { m_changed = true; }

    bool m_active = false;
    HWND m_owner = nullptr;
    std::u16string m_caption;
    std::vector<std::u16string> m_lines;
    std::vector<Button> m_buttons;
    RECT m_frame{};
    int m_pressed = -1;
    int m_focus = 0;
    bool m_changed = false;
};

} // namespace platform
