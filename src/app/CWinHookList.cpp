#include "app/CWinHookList.h"

#include "foundation/ScopedLock.h"

#include <algorithm>
#include <vector>

void CWinHookList::Add(IWinHook* hook)
{
    ScopedLock lock(m_lock);
    m_hooks.push_back(hook);
}

void CWinHookList::Remove(IWinHook* hook)
{
    ScopedLock lock(m_lock);
    m_hooks.remove(hook);
}

void CWinHookList::Clear()
{
    ScopedLock lock(m_lock);
    m_hooks.clear();
}

int32_t CWinHookList::Dispatch(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    ScopedLock lock(m_lock);
    for (IWinHook* hook : m_hooks) {
        if (const int32_t result = hook->HookProc(window, message, wparam, lparam); result != 0)
            return result;
    }
    return 0;
}

bool CWinHookList::Contains(IWinHook* hook)
{
    ScopedLock lock(m_lock);
    return std::find(m_hooks.begin(), m_hooks.end(), hook) != m_hooks.end();
}
