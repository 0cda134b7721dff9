#pragma once
// What code below the shell reaches of the game's main window, the view in app/: its handle
// (null until the window is made) and its hook list, which movie slots and text-entry screens join
// while they run. The view installs its source before main; without one there is no window and
// nothing to join. The handle on the main thread; hooks join and leave from any thread.

#include "foundation/IWinHook.h"
#include "platform/kernel/WinTypes.h"

class MainView
{
public:
    virtual ~MainView() = default;

    virtual HWND GetMainWindow() const = 0;
    // Appends the hook to the window's hook list; a hook added twice is asked twice.
    virtual void AddWindowHook(IWinHook* hook) = 0;
    // Takes out every entry of the hook.
    virtual void RemoveWindowHook(IWinHook* hook) = 0;
};

// The view, made on first use by its source; while no source is installed, a stand-in with no
// window that ignores hooks.
MainView& GetMainView();
void SetMainViewSource(MainView* (*source)());
