#pragma once
// The game's main window: the picture is presented into it, and its hook list carries the menu
// handler, the display control and the input devices.
// FIXME: the least the game cursor needs until the main view is in: the hook list and the popup.

#include "app/CPopUpMenu.h"
#include "app/CWinHookList.h"

class CVeskView
{
public:
    CWinHookList& GetHookList() { return m_hooks; }
    // Null until the popup window is made.
    CPopUpMenu* GetPopupMenu() { return m_popup; }
    void SetPopupMenu(CPopUpMenu* popup) { m_popup = popup; }

private:
    CWinHookList m_hooks;
    CPopUpMenu* m_popup = nullptr; // not owned in this stand-in
};

CVeskView* GetView();
