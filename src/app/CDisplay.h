#pragma once
// The display control: keeps the main window windowed, full screen or minimised and moves it
// between them. It is a hook of the main view, so the window's own minimise, maximise and restore
// requests go through the same switching as the menu commands and the settings dialog. The mode
// is remembered in "/Screen/Status". Main thread only.

#include <cstdint>

#include "foundation/IWinHook.h"
#include "platform/kernel/WinTypes.h"

inline constexpr int32_t DISPLAY_MODE_WINDOWED = 1;
inline constexpr int32_t DISPLAY_MODE_FULL_SCREEN = 2;
inline constexpr int32_t DISPLAY_MODE_MINIMISED = 3;

// The menu command that enters full screen.
inline constexpr UINT COMMAND_FULL_SCREEN = 40004;

class CDisplay : public IWinHook
{
public:
    explicit CDisplay(int32_t mode = DISPLAY_MODE_WINDOWED)
        : m_mode(mode)
    {}

    // Takes the window (null: the desktop's) and the smallest and largest window for half and
    // twice the base screen size; posts the full-screen command when the last run ended in full
    // screen. Throws CExecException "Display Setting Full Color or True Color" below 24 bits.
    void Init(HWND window);
    void Minimize();
    // Back to a window. Without force, a full screen is left and entered again (to apply new
    // settings); with force it is left for good.
    void SetWindowed(int32_t force);
    // Callers set the busy flag around it.
    void ApplyFullScreen();
    void ApplyWindowed();
    int32_t HookProc(HWND window, UINT message, WPARAM w_param, LPARAM l_param) override;

    int32_t GetMode() const { return m_mode; }
    void SetMode(int32_t mode) { m_mode = mode; }
    // 1 while a switch runs: the switches and the menu commands do nothing then.
    int32_t GetBusy() const { return m_busy; }
    void SetBusy(int32_t busy) { m_busy = busy; }
    // ApplyFullScreen with the busy flag set around it; nothing while busy.
    void EnterFullScreen();
    const RECT& GetSmallestWindow() const { return m_smallest; }
    const RECT& GetLargestWindow() const { return m_largest; }

private:
    void Restore();

    RECT m_largest{};  // window rectangle for twice the base screen size
    RECT m_smallest{}; // window rectangle for half the base screen size
    int32_t m_mode;
    int32_t m_busy = 0;
    int32_t m_full_before_minimise = 0;
    HWND m_window = nullptr;
};
