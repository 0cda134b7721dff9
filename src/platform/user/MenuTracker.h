#pragma once
// The menu loop's state: the menu bar being tracked, its open title and the item of the open
// drop-down under the pointer or the keys. The manager runs the modal loop and hands it the
// input in the host's client pixels; main thread only.

#include <functional>

#include "platform/kernel/WinTypes.h"
#include "platform/user/MenuLayout.h"
#include "platform/user/WindowApi.h"

namespace platform {

class MenuTracker final
{
public:
    // Tells the owner a drop-down is about to open (WM_INITMENUPOPUP); it may change the menu.
    using InitPopup = std::function<void(HMENU popup, int title)>;

    void Begin(HWND owner, HMENU menu);
    void End() { *this = {}; }
    // The loop ends after the current step.
    void Cancel() { m_active = false; }

    bool IsActive() const { return m_active; }
    HWND Owner() const { return m_owner; }
    HMENU Menu() const { return m_menu; }
    int OpenTitle() const { return m_open_title; }
    int Hover() const { return m_hover; }

    // Opens the title under a click on the bar; false (and the loop cancelled) when the click
    // is beside every title with a drop-down.
    bool OpenAt(const MenuBarLayout& bar, POINT point, const InitPopup& init_popup);

    // Each returns false when the loop ends; `picked` is then the command chosen, or stays 0.
    bool OnPointerMove(const MenuBarLayout& bar, const RECT& area, POINT point, const InitPopup& init_popup);
    bool OnButton(bool down, const MenuBarLayout& bar, const RECT& area, POINT point,
                  const InitPopup& init_popup, UINT& picked);
    bool OnKey(UINT virtual_key, const MenuBarLayout& bar, const RECT& area, const InitPopup& init_popup,
               UINT& picked);

    // Whether what is drawn changed since the last call.
    bool TakeChanged();

private:
    struct Drop;
    // The open title's drop-down as the menu stands now; its popup null when none is open.
    Drop OpenDrop(const MenuBarLayout& bar, const RECT& area) const;
    void Open(int title, const InitPopup& init_popup);

    bool m_active = false;
    HWND m_owner = nullptr;
    HMENU m_menu = nullptr;
    int m_open_title = -1;
    int m_hover = -1;
    bool m_changed = false;
};

} // namespace platform
