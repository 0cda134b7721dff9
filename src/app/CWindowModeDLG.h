#pragma once
// The window settings dialog: a tab control with the full-screen page and the window-size page,
// a defaults button, OK and Cancel. OK keeps what the pages show, Cancel puts back what they were
// made with. Opened modally over the main view by the game work. Main thread only.

#include <cstdint>
#include <memory>

#include "app/CTabCtrl.h"
#include "foundation/CApiDialog.h"
#include "platform/user/ControlsApi.h"

class CFullScreenDLG;
class CWindowSizeDLG;

inline constexpr uint32_t IDD_WINDOW_MODE = 111;

class CWindowModeDLG : public CApiDialog
{
public:
    explicit CWindowModeDLG(const CLangTextTable* texts = nullptr);
    ~CWindowModeDLG() override;

    BOOL OnInitDialog() override;
    INT_PTR DialogProc(HWND window, UINT message, WPARAM w_param, LPARAM l_param) override;
    void OnOK(int32_t from_button) override;
    void OnCancel(int32_t from_button) override;

    CTabCtrl& GetTab() { return m_tab; }
    CFullScreenDLG* GetFullScreenPage() const { return m_full_screen.get(); }
    CWindowSizeDLG* GetWindowSizePage() const { return m_window_size.get(); }

private:
    void OnDefaults();
    void OnSize(int32_t width, int32_t height);
    void DrawTabLabel(const DRAWITEMSTRUCT& item);
    void OnTabChange();

    RECT m_client{}; // the client rectangle the layout was last made for
    CTabCtrl m_tab;
    std::unique_ptr<CFullScreenDLG> m_full_screen;
    std::unique_ptr<CWindowSizeDLG> m_window_size;
};
