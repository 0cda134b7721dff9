#pragma once
// The borderless window, one menu bar high, that carries the main menu across the top of the
// picture while the main view is in full screen (where the view has no menu bar). Its commands go
// to the view. Owned by the view; main thread only.

#include "foundation/CWindow.h"

class CPopUpMenu : public CWindow
{
public:
    CPopUpMenu();
    ~CPopUpMenu() override;

    // Creates the hidden window with its own copy of menu 105 over the view's client area.
    // Throws CExecException as CWindow::Create does.
    void CreatePopupWindow(HINSTANCE instance, CWindow& view);
    // Shows it across the top of the picture, topmost and in front, unless it is already shown.
    virtual void Open();
    virtual void Hide();

    // Hands menu commands and the close command to the view.
    int32_t HookProc(HWND window, UINT message, WPARAM w_param, LPARAM l_param) override;
};
