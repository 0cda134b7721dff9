#pragma once
// The hooks of one window, asked in the order they were added until one handles the message.
// Add and Remove are safe while another thread dispatches.
// FIXME: the least the game cursor needs until the window framework is in.

#include "app/IWinHook.h"
#include "foundation/CCriticalSection.h"

#include <cstdint>
#include <list>

class CWinHookList
{
public:
    virtual ~CWinHookList() = default;
    virtual void Add(IWinHook* hook);
    // Unlinks every entry of the hook.
    virtual void Remove(IWinHook* hook);
    virtual void Clear();
    virtual int32_t Dispatch(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

    bool Contains(IWinHook* hook);

private:
    std::list<IWinHook*> m_hooks; // not owned
    CCriticalSection m_lock;      // guards m_hooks; re-entrant on the dispatching thread
};
