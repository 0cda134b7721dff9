#pragma once
// The display control: keeps the main window windowed, full screen or minimised and switches
// between them, as a hook of the main view. Main thread only.
// FIXME: only the mode the view and the input code read; the switching itself (the minimise,
// maximise and restore requests, the full-screen and windowed changes and "/Screen/Status")
// comes with the display modes.

#include <cstdint>

#include "app/IWinHook.h"

inline constexpr int32_t DISPLAY_MODE_WINDOWED = 1;
inline constexpr int32_t DISPLAY_MODE_FULL_SCREEN = 2;
inline constexpr int32_t DISPLAY_MODE_MINIMISED = 3;

class CDisplay : public IWinHook
{
public:
    explicit CDisplay(int32_t mode = DISPLAY_MODE_WINDOWED)
        : m_mode(mode)
    {}

    void Init(HWND window) { m_window = window; }
    int32_t GetMode() const { return m_mode; }
    void SetMode(int32_t mode) { m_mode = mode; }
    int32_t GetBusy() const { return m_busy; }

private:
    HWND m_window = nullptr;
    int32_t m_mode;
    int32_t m_busy = 0;
};
