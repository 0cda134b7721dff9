#include "foundation/CWinHookList.h"

#include <algorithm>
#include <iterator>

#include "foundation/ScopedLock.h"

void CWinHookList::Add(IWinHook* hook)
{
    ScopedLock lock(m_lock);
    m_hooks.push_back(hook);
}

void CWinHookList::Remove(IWinHook* hook)
{
    ScopedLock lock(m_lock);
    if (m_dispatch_depth > 0)
        std::replace(m_hooks.begin(), m_hooks.end(), hook, static_cast<IWinHook*>(nullptr));
    else
        m_hooks.remove(hook);
}

void CWinHookList::Clear()
{
    ScopedLock lock(m_lock);
    if (m_dispatch_depth > 0)
        std::fill(m_hooks.begin(), m_hooks.end(), nullptr);
    else
        m_hooks.clear();
}

int32_t CWinHookList::Dispatch(HWND window, UINT message, WPARAM w_param, LPARAM l_param)
{
    ScopedLock lock(m_lock);
    if (m_hooks.empty())
        return 0;
    // A hook may take itself or another hook out while it runs (a device detaching on a message,
    // a screen ending): such entries are only blanked until the walk is over, so the walk never
    // steps on a freed node. Hooks added meanwhile wait for the next message.
    struct DepthGuard
    {
        CWinHookList& list;
        explicit DepthGuard(CWinHookList& owner)
            : list(owner)
        {
            ++list.m_dispatch_depth;
        }
        ~DepthGuard()
        {
            if (--list.m_dispatch_depth == 0)
                list.Compact();
        }
    } guard(*this);
    const auto last = std::prev(m_hooks.end());
    for (auto it = m_hooks.begin();; ++it) {
        if (IWinHook* hook = *it) {
            if (const int32_t result = hook->HookProc(window, message, w_param, l_param); result != 0)
                return result;
        }
        if (it == last)
            break;
    }
    return 0;
}

void CWinHookList::Compact()
{
    m_hooks.remove(nullptr);
}

bool CWinHookList::Contains(IWinHook* hook)
{
    ScopedLock lock(m_lock);
    return hook != nullptr && std::find(m_hooks.begin(), m_hooks.end(), hook) != m_hooks.end();
}

size_t CWinHookList::GetCount()
{
    ScopedLock lock(m_lock);
    return static_cast<size_t>(
        std::count_if(m_hooks.begin(), m_hooks.end(), [](IWinHook* hook) { return hook; }));
}
