#pragma once
// A window of the game (the main view, the menu popup, the dialogs) with its hook list. One shared
// window procedure hands each message to the hook list of the window object stored in the
// window's GWLP_USERDATA; what no hook handles goes to DefWindowProcW. The window itself is
// usually the first hook of its own list. Main thread only, apart from the hook list.

#include <cstdint>

#include "foundation/CWinHookList.h"
#include "foundation/IWinHook.h"
#include "platform/user/WindowApi.h"

class CWindow : public IWinHook
{
public:
    CWindow();
    // Wraps an existing window (a dialog's control) for moving and measuring it.
    explicit CWindow(HWND window);
    ~CWindow() override;
    CWindow(const CWindow&) = delete;
    CWindow& operator=(const CWindow&) = delete;

    // Registers the class and creates the window from the record (its create-params are
    // ignored: the window object is passed instead). Throws CExecException "Failed to create the
    // Register Window" or "Failed to create the Create Window Object".
    virtual void Create(const CREATESTRUCTW& record);
    // Destroys the window and unregisters the class this object registered.
    virtual void Destroy();
    virtual void SetHandle(HWND window);
    virtual BOOL IsVisible();
    virtual BOOL IsIconic();
    virtual BOOL IsZoomed();
    virtual BOOL HasMenu();
    // Centres the window of the record (the window's own record when null) on the desktop.
    virtual void CenterOnDesktop(const CREATESTRUCTW* record);
    virtual BOOL SetWindowPos(HWND insert_after, int x, int y, int width, int height, UINT flags);
    virtual BOOL Move(int x, int y, int width, int height, BOOL repaint);
    virtual BOOL Show(int command);
    virtual BOOL SetMenu(HMENU menu);
    virtual BOOL SetForeground();
    virtual HWND SetFocus();
    virtual LONG SetStyle(LONG style);
    virtual LONG SetExStyle(LONG style);
    virtual LONG SetWindowLong(int index, LONG value);
    virtual BOOL Update();
    virtual BOOL Invalidate(const RECT* rect, BOOL erase);
    virtual BOOL GetClientRect(RECT* rect);
    virtual BOOL GetWindowRect(RECT* rect);
    virtual BOOL ClientToScreen(POINT* point);
    virtual BOOL ScreenToClient(POINT* point);
    virtual HMENU GetMenu();
    virtual HWND GetParent();
    // The class with the shared procedure; nonzero on success.
    virtual BOOL RegisterClass(const CREATESTRUCTW& record);

    HWND GetHandle() const { return m_handle; }
    CWinHookList& GetHookList() { return m_hook_list; }
    const CREATESTRUCTW& GetCreateRecord() const { return m_create; }

    // The procedure of every CWindow class.
    static LRESULT SharedWindowProc(HWND window, UINT message, WPARAM w_param, LPARAM l_param);

protected:
    // Registers a class like the base one with the given icon.
    BOOL RegisterClassWithIcon(const CREATESTRUCTW& record, HICON icon);

    CWinHookList m_hook_list;
    HWND m_handle = nullptr;
    uint32_t m_style = 0;
    CREATESTRUCTW m_create{};
    uint32_t m_class_atom = 0;
};
