#pragma once
// Menus: the model behind menu resources, window menu bars and the system menu. The layer draws
// a window's menu bar at the top of the window and runs the drop-downs itself; picking an item
// posts WM_COMMAND to the window that owns the bar. Main thread only.

#include "platform/kernel/WinTypes.h"

// Item flags of the classic calls (EnableMenuItem, CheckMenuItem, GetMenuState, AppendMenuW).
inline constexpr UINT MF_BYCOMMAND = 0x0000;
inline constexpr UINT MF_BYPOSITION = 0x0400;
inline constexpr UINT MF_ENABLED = 0x0000;
inline constexpr UINT MF_GRAYED = 0x0001;
inline constexpr UINT MF_DISABLED = 0x0002;
inline constexpr UINT MF_UNCHECKED = 0x0000;
inline constexpr UINT MF_CHECKED = 0x0008;
inline constexpr UINT MF_STRING = 0x0000;
inline constexpr UINT MF_POPUP = 0x0010;
inline constexpr UINT MF_MENUBARBREAK = 0x0020;
inline constexpr UINT MF_MENUBREAK = 0x0040;
inline constexpr UINT MF_HILITE = 0x0080;
inline constexpr UINT MF_SEPARATOR = 0x0800;
inline constexpr UINT MF_RIGHTJUSTIFY = 0x4000;

// MENUITEMINFOW masks, types and states.
inline constexpr UINT MIIM_STATE = 0x0001;
inline constexpr UINT MIIM_ID = 0x0002;
inline constexpr UINT MIIM_SUBMENU = 0x0004;
inline constexpr UINT MIIM_CHECKMARKS = 0x0008;
inline constexpr UINT MIIM_TYPE = 0x0010;
inline constexpr UINT MIIM_DATA = 0x0020;
inline constexpr UINT MIIM_STRING = 0x0040;
inline constexpr UINT MIIM_BITMAP = 0x0080;
inline constexpr UINT MIIM_FTYPE = 0x0100;
inline constexpr UINT MFT_STRING = 0x0000;
inline constexpr UINT MFT_SEPARATOR = 0x0800;
inline constexpr UINT MFT_RIGHTJUSTIFY = 0x4000;
inline constexpr UINT MFS_ENABLED = 0x0000;
inline constexpr UINT MFS_GRAYED = 0x0003;
inline constexpr UINT MFS_DISABLED = 0x0003;
inline constexpr UINT MFS_CHECKED = 0x0008;
inline constexpr UINT MFS_UNCHECKED = 0x0000;
inline constexpr UINT MFS_HILITE = 0x0080;

struct MENUITEMINFOW
{
    UINT cbSize;
    UINT fMask;
    UINT fType;
    UINT fState;
    UINT wID;
    HMENU hSubMenu;
    HBITMAP hbmpChecked;
    HBITMAP hbmpUnchecked;
    ULONG_PTR dwItemData;
    LPWSTR dwTypeData;
    UINT cch;
    HBITMAP hbmpItem;
};
using LPMENUITEMINFOW = MENUITEMINFOW*;
using LPCMENUITEMINFOW = const MENUITEMINFOW*;

// A fresh copy of the menu resource on every call; the caller (or the window it is given to)
// owns it.
HMENU LoadMenuW(HINSTANCE instance, LPCWSTR menu_name);
HMENU CreateMenu();
HMENU CreatePopupMenu();
// Destroys the menu and its pop-ups.
BOOL DestroyMenu(HMENU menu);
BOOL IsMenu(HMENU menu);
BOOL AppendMenuW(HMENU menu, UINT flags, UINT_PTR id_or_popup, LPCWSTR text);

HMENU GetMenu(HWND window);
// Gives the window a menu bar (or removes it with null): the client area changes by the bar's
// height and WM_SIZE is sent. The previous menu is not destroyed.
BOOL SetMenu(HWND window, HMENU menu);
// The window's system menu (restore, move, size, minimise, maximise, close). With revert TRUE the
// menu goes back to its initial state and null is returned.
HMENU GetSystemMenu(HWND window, BOOL revert);
BOOL DrawMenuBar(HWND window);

HMENU GetSubMenu(HMENU menu, int position);
int GetMenuItemCount(HMENU menu);
UINT GetMenuItemID(HMENU menu, int position);
// By command (searched through the pop-ups) or by position. Returns the previous state
// (MF_ENABLED, MF_GRAYED, MF_DISABLED or MF_CHECKED / MF_UNCHECKED), or -1 when there is no such
// item.
BOOL EnableMenuItem(HMENU menu, UINT item, UINT flags);
DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags);
// The item's flags; for a pop-up the item count is in the high byte. -1 when there is no item.
UINT GetMenuState(HMENU menu, UINT item, UINT flags);
int GetMenuStringW(HMENU menu, UINT item, LPWSTR text, int max_count, UINT flags);
BOOL SetMenuItemInfoW(HMENU menu, UINT item, BOOL by_position, LPCMENUITEMINFOW info);
BOOL GetMenuItemInfoW(HMENU menu, UINT item, BOOL by_position, LPMENUITEMINFOW info);
