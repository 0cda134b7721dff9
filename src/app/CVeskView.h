#pragma once
// The game's one top-level window. The picture is shown in it; its hook list carries the view
// itself, the display control, the menu handler and the input devices; it owns the menu popup used
// in full screen. Its status word tells the rest of the game whether the window is active or gone
// and whether the popup should open or hide. A singleton reached through GetView; main thread,
// except that the status word may be read from any thread.

#include <atomic>
#include <cstdint>
#include <memory>

#include "app/CPopUpMenu.h"
#include "foundation/CWindow.h"
#include "foundation/MainView.h"

class CDisplay;
class CLangTextTable;
class CVeskMenuEvent;

// Bits of the view's status word.
inline constexpr uint32_t VIEW_STATUS_ACTIVE = 0x1;
inline constexpr uint32_t VIEW_STATUS_DESTROYED = 0x2; // the application's quit signal
inline constexpr uint32_t VIEW_STATUS_OPEN_POPUP = 0x4;
inline constexpr uint32_t VIEW_STATUS_HIDE_POPUP = 0x8;

// WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX.
inline constexpr DWORD VIEW_WINDOW_STYLE = 0x80CB0000;

class CVeskView : public CWindow, public MainView
{
public:
    ~CVeskView() override;

    // Creates the window with menu 105 at the configured window size and the game title, then the
    // display control, the menu popup and the menu handler, and places the window. Throws
    // CExecException when a part cannot be made.
    void CreateMainWindow();
    // Sizes the window for the configured window size and centres it on the desktop.
    void ComputeWindowRect();
    // Clears status bit 0x8 and hides the popup when it shows.
    virtual void HidePopupMenu();
    // Puts the menu texts of the language (from the game work's system language table) into both
    // menus and sets the title "VELORAMIKA"; nothing while the configured language is Japanese,
    // whose texts the menu resource holds.
    virtual void RelabelMenus(int32_t language);
    void RelabelMenus(int32_t language, const CLangTextTable& texts);

    int32_t HookProc(HWND window, UINT message, WPARAM w_param, LPARAM l_param) override;
    // In full screen the popup's menu, else the window's own.
    HMENU GetMenu() override;
    BOOL RegisterClass(const CREATESTRUCTW& record) override;

    HWND GetSafeHwnd() const { return m_handle; }
    // MainView
    HWND GetMainWindow() const override { return m_handle; }
    void AddWindowHook(IWinHook* hook) override { GetHookList().Add(hook); }
    void RemoveWindowHook(IWinHook* hook) override { GetHookList().Remove(hook); }
    uint32_t GetStatus() const { return m_status ? m_status->load() : 0; }
    void SetStatusBits(uint32_t bits);
    void ClearStatusBits(uint32_t bits);
    HACCEL GetAccelerators() const { return m_accelerators; }
    CDisplay* GetDisplay() const { return m_display.get(); }
    CVeskMenuEvent* GetMenuEvent() const { return m_menu_event.get(); }
    CPopUpMenu* GetPopupMenu() const { return m_popup; }
    // Tests only: a popup the view does not own stands in for its own (null gives its own back).
    void SetPopupMenu(CPopUpMenu* popup);

private:
    friend CVeskView* GetView();
    CVeskView();
    void Redraw();

    std::unique_ptr<std::atomic<uint32_t>> m_status; // made afresh by CreateMainWindow
    std::unique_ptr<CDisplay> m_display;
    std::unique_ptr<CPopUpMenu> m_own_popup;
    CPopUpMenu* m_popup = nullptr; // m_own_popup, or a test's stand-in (not owned)
    std::unique_ptr<CVeskMenuEvent> m_menu_event;
    HACCEL m_accelerators = nullptr;
};

// The view, made on the first call; throws CExecException "Failed to create the View Object" when
// it cannot be made.
CVeskView* GetView();
// Deletes the view (and its window); the next GetView makes a new one.
void DeleteView();
