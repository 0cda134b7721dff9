#pragma once
// The window-size page of the window settings: a trackbar from 50 % to 200 % of the base screen
// size that resizes the main window at once, centred on its monitor. The size is stored as it
// moves; Cancel puts the size the page was made with back. Main thread only.

#include <cstdint>

#include "foundation/CApiDialog.h"

inline constexpr uint32_t IDD_WINDOW_SIZE = 114;
inline constexpr int32_t WINDOW_SCALE_MIN_PERCENT = 50;
inline constexpr int32_t WINDOW_SCALE_MAX_PERCENT = 200;

class CWindowSizeDLG : public CApiDialog
{
public:
    CWindowSizeDLG(SIZE window_size, const CLangTextTable* texts = nullptr);

    BOOL OnInitDialog() override;
    INT_PTR DialogProc(HWND window, UINT message, WPARAM w_param, LPARAM l_param) override;
    // Stores the current size.
    void OnOK(int32_t from_button) override;
    // Back to the size the page was made with, applied unless in full screen.
    void OnCancel(int32_t from_button) override;

    // Client size = base size x scale (height from the width by the base aspect); the window is
    // centred on the monitor nearest to it, the size stored and the picture rebuilt.
    void SetScale(double scale);
    // Scale 1.0 with the trackbar moved to match.
    void Defaults();

    SIZE GetCurrentSize() const { return SIZE{m_width, m_height}; }

private:
    RECT m_trackbar_rect{}; // control 1015 at creation, page client pixels
    RECT m_max_rect{};      // control 1017
    RECT m_defaults_rect{}; // control 1011
    RECT m_initial_client{};
    int32_t m_width = 0;
    int32_t m_height = 0;
    int32_t m_saved_width;
    int32_t m_saved_height;
};

// The trackbar position for a window width: truncate(width / base width x 100).
int32_t ScalePercentOf(int32_t width, int32_t base_width);
