#pragma once
// The full-screen page of the window settings: how full screen is reached (change mode) and how
// the picture fills the display (draw mode). Its values are kept from the settings when the page
// is made, tried with the "テスト" button and stored only by the dialog's OK. Main thread only.

#include <cstdint>

#include "foundation/CApiDialog.h"
#include "foundation/CStringUTF8.h"

inline constexpr uint32_t IDD_FULL_SCREEN = 113;

class CFullScreenDLG : public CApiDialog
{
public:
    // owner: the window settings dialog, hidden while a setting is tried.
    CFullScreenDLG(CApiDialog* owner, int32_t change_mode, int32_t draw_mode, SIZE full_size,
                   const CLangTextTable* texts = nullptr);

    BOOL OnInitDialog() override;
    INT_PTR DialogProc(HWND window, UINT message, WPARAM w_param, LPARAM l_param) override;
    // Writes back the values the page was made with.
    void OnCancel(int32_t from_button) override;

    // Stores the chosen modes; unless nothing changed in virtual full screen, applies them (a full
    // screen is left and entered again) and reports them in a message box. Always 1.
    int32_t Apply();
    // Change mode 0, draw mode 1, the base screen size as full-screen size (written at once).
    void Defaults();
    // Tries the chosen modes in full screen behind the countdown, then puts everything back.
    void Test();

    int32_t GetChangeMode() const { return m_change_mode; }
    int32_t GetDrawMode() const { return m_draw_mode; }

private:
    void CheckButtons(bool checked);

    int32_t m_saved_change_mode;
    int32_t m_saved_draw_mode;
    int32_t m_saved_width;
    int32_t m_saved_height;
    int32_t m_change_mode = 0;
    int32_t m_draw_mode = 0;
    int32_t m_width = 0;
    int32_t m_height = 0;
    CApiDialog* m_owner; // not owned: the dialog this page belongs to
};

// The report Apply shows for the modes and the full-screen size.
CStringUTF8 FormatFullScreenReport(int32_t change_mode, int32_t draw_mode, int32_t width, int32_t height);
