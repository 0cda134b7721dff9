#pragma once
// The game's main window: the picture is presented into it, and its hook list carries the menu
// handler, the display control and the input devices.
// FIXME: the least the game cursor and the document need until the main view is in: the hook
// list, the popup, the window status word and the menu operations.

#include "app/CPopUpMenu.h"
#include "app/CWinHookList.h"

#include <cstdint>

// Bits of the window status word.
inline constexpr uint32_t VIEW_STATUS_ACTIVE = 0x1;
inline constexpr uint32_t VIEW_STATUS_DESTROYED = 0x2;
inline constexpr uint32_t VIEW_STATUS_OPEN_POPUP = 0x4;
inline constexpr uint32_t VIEW_STATUS_HIDE_POPUP = 0x8;

class CVeskView
{
public:
    virtual ~CVeskView() = default;

    CWinHookList& GetHookList() { return m_hooks; }
    // Null until the popup window is made.
    CPopUpMenu* GetPopupMenu() { return m_popup; }
    void SetPopupMenu(CPopUpMenu* popup) { m_popup = popup; }

    HWND GetSafeHwnd() const { return m_window; }
    void SetWindow(HWND window) { m_window = window; }
    uint32_t GetStatus() const { return m_status; }
    void SetStatusBits(uint32_t bits) { m_status |= bits; }
    void ClearStatusBits(uint32_t bits) { m_status &= ~bits; }

    // Clears status bit 0x8 and hides the popup when it shows.
    virtual void HidePopupMenu();
    // Sets the menu texts of the language.
    virtual void RelabelMenus(int32_t language);

private:
    CWinHookList m_hooks;
    CPopUpMenu* m_popup = nullptr; // not owned in this stand-in
    HWND m_window = nullptr;
    uint32_t m_status = 0;
};

CVeskView* GetView();
