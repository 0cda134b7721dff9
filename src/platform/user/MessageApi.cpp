// The queue and accelerator calls over WindowManager.
#include "platform/user/MessageApi.h"

#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/kernel/ErrorApi.h"
#include "platform/res/MenuResource.h"
#include "platform/user/MenuApi.h"
#include "platform/user/WindowManager.h"

using platform::WindowManager;

namespace {

// Accelerator tables by handle. Main thread only.
std::unordered_map<uintptr_t, std::vector<ACCEL>>& Tables()
{
    static auto* s_tables = new std::unordered_map<uintptr_t, std::vector<ACCEL>>; // never destroyed
    return *s_tables;
}

HACCEL AddTable(std::vector<ACCEL> entries)
{
    static uintptr_t s_next = 0x6'0000;
    const uintptr_t handle = s_next++;
    Tables().emplace(handle, std::move(entries));
    return reinterpret_cast<HACCEL>(handle);
}

} // namespace

BOOL PeekMessageW(LPMSG message, HWND window, UINT filter_min, UINT filter_max, UINT remove)
{
    if (message == nullptr)
        return FALSE;
    return WindowManager::GetInstance().Peek(*message, window, filter_min, filter_max,
                                             (remove & PM_REMOVE) != 0)
               ? TRUE
               : FALSE;
}

BOOL GetMessageW(LPMSG message, HWND window, UINT filter_min, UINT filter_max)
{
    if (message == nullptr)
        return FALSE;
    WindowManager& manager = WindowManager::GetInstance();
    while (!manager.Peek(*message, window, filter_min, filter_max, true))
        manager.Wait();
    return message->message == WM_QUIT ? FALSE : TRUE;
}

BOOL WaitMessage()
{
    WindowManager::GetInstance().Wait();
    return TRUE;
}

BOOL TranslateMessage(const MSG* message)
{
    if (message == nullptr)
        return FALSE;
    return WindowManager::GetInstance().Translate(*message) ? TRUE : FALSE;
}

LRESULT DispatchMessageW(const MSG* message)
{
    if (message == nullptr)
        return 0;
    return WindowManager::GetInstance().Dispatch(*message);
}

BOOL PostMessageW(HWND window, UINT message, WPARAM w_param, LPARAM l_param)
{
    return WindowManager::GetInstance().Post(window, message, w_param, l_param) ? TRUE : FALSE;
}

LRESULT SendMessageW(HWND window, UINT message, WPARAM w_param, LPARAM l_param)
{
    return WindowManager::GetInstance().Send(window, message, w_param, l_param);
}

void PostQuitMessage(int exit_code)
{
    WindowManager::GetInstance().PostQuit(exit_code);
}

HACCEL LoadAcceleratorsW(HINSTANCE, LPCWSTR table_name)
{
    const uintptr_t id = reinterpret_cast<uintptr_t>(table_name);
    const auto entries =
        IS_INTRESOURCE(id) ? platform::FindAcceleratorResource(static_cast<uint16_t>(id)) : std::nullopt;
    if (!entries) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    std::vector<ACCEL> table;
    for (const platform::AcceleratorTemplateEntry& entry : *entries)
        table.push_back({entry.flags, entry.key, entry.command});
    return AddTable(std::move(table));
}

HACCEL CreateAcceleratorTableW(LPACCEL entries, int count)
{
    if (entries == nullptr || count <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return AddTable(std::vector<ACCEL>(entries, entries + count));
}

BOOL DestroyAcceleratorTable(HACCEL table)
{
    return Tables().erase(reinterpret_cast<uintptr_t>(table)) > 0 ? TRUE : FALSE;
}

int CopyAcceleratorTableW(HACCEL table, LPACCEL entries, int count)
{
    auto found = Tables().find(reinterpret_cast<uintptr_t>(table));
    if (found == Tables().end())
        return 0;
    if (entries == nullptr)
        return static_cast<int>(found->second.size());
    const int copied = std::min<int>(count, static_cast<int>(found->second.size()));
    std::copy_n(found->second.begin(), copied, entries);
    return copied;
}

int TranslateAcceleratorW(HWND window, HACCEL table, LPMSG message)
{
    if (window == nullptr || message == nullptr ||
        (message->message != WM_KEYDOWN && message->message != WM_SYSKEYDOWN))
        return 0;
    auto found = Tables().find(reinterpret_cast<uintptr_t>(table));
    if (found == Tables().end())
        return 0;
    WindowManager& manager = WindowManager::GetInstance();
    const bool shift = manager.KeyState(VK_SHIFT, true) < 0;
    const bool control = manager.KeyState(VK_CONTROL, true) < 0;
    const bool alt = manager.KeyState(VK_MENU, true) < 0;
    const WORD key = static_cast<WORD>(message->wParam);
    for (const ACCEL& entry : found->second) {
        if (!(entry.fVirt & FVIRTKEY) || entry.key != key)
            continue;
        if (((entry.fVirt & FSHIFT) != 0) != shift || ((entry.fVirt & FCONTROL) != 0) != control ||
            ((entry.fVirt & FALT) != 0) != alt)
            continue;
        // As on Windows, the menu may refresh its states first, and a greyed command is swallowed.
        if (HMENU menu = GetMenu(window)) {
            SendMessageW(window, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
            const UINT state = GetMenuState(menu, entry.cmd, MF_BYCOMMAND);
            if (state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED)))
                return 1;
        }
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(entry.cmd, 1), 0);
        return 1;
    }
    return 0;
}
