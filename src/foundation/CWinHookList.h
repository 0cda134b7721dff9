#pragma once
// The hooks of one window, asked in the order they were added until one handles the message. Add
// and Remove may come from any thread; Dispatch runs on the main thread under the list's lock,
// which is re-entrant, so a hook may send messages that dispatch again.

#include <cstdint>
#include <list>

#include "foundation/CCriticalSection.h"
#include "foundation/IWinHook.h"

class CWinHookList
{
public:
    CWinHookList() = default;
    virtual ~CWinHookList() = default;
    CWinHookList(const CWinHookList&) = delete;
    CWinHookList& operator=(const CWinHookList&) = delete;

    // Appends the hook; a hook added twice is asked twice.
    virtual void Add(IWinHook* hook);
    // Takes out every entry of the hook.
    virtual void Remove(IWinHook* hook);
    virtual void Clear();
    // The first nonzero result of the hooks in order, or 0 when none handled the message.
    virtual int32_t Dispatch(HWND window, UINT message, WPARAM w_param, LPARAM l_param);

    bool Contains(IWinHook* hook);
    size_t GetCount();

private:
    void Compact();

    // Not owned: every hook belongs to whoever added it and removes itself before it goes.
    // An entry removed while a dispatch walks the list is set to null and erased afterwards.
    std::list<IWinHook*> m_hooks;
    int m_dispatch_depth = 0;
    CCriticalSection m_lock{LOCK_LEVEL_HOOK_LIST}; // guards m_hooks and m_dispatch_depth
};
