#pragma once
// The display control: keeps the main window windowed, full screen or minimised and moves it
// between them. As a hook of the main view it takes the window's own minimise, maximise and
// restore requests too, so every way of switching runs the same code. The mode is kept in
// "/Screen/Status" so that the next start opens in full screen again. Main thread only.

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

    // Takes the window's size limits from the base screen size and, when the last run ended in
    // full screen, posts the full-screen command. Throws CExecException on a display of fewer
    // than 24 bits per pixel.
    void Init(HWND window);

    // Each does nothing while a switch runs.
    void Minimize();
    // force 0 from full screen comes back to full screen (a refresh of the mode).
    void SetWindowed(int32_t force);
    // The full-screen command: skipped while busy, busy for its duration.
    void RequestFullScreen();
    // Callers hold the busy flag.
    void ApplyFullScreen();
    void ApplyWindowed();

    int32_t HookProc(HWND window, UINT message, WPARAM w_param, LPARAM l_param) override;

    int32_t GetMode() const { return m_mode; }
    void SetMode(int32_t mode) { m_mode = mode; }
    int32_t GetBusy() const { return m_busy; }
    int32_t GetFullScreenBeforeMinimise() const { return m_full_before_minimise; }
    const RECT& GetLargestWindow() const { return m_largest; }
    const RECT& GetSmallestWindow() const { return m_smallest; }

private:
    void Restore();
    void ShowWindowMode(int command);

    RECT m_largest{};  // window rectangle for twice the base screen size
    RECT m_smallest{}; // window rectangle for half the base screen size
    HWND m_window = nullptr;
    int32_t m_mode;
    int32_t m_busy = 0;
    int32_t m_full_before_minimise = 0;
};
