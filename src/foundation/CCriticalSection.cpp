#include "foundation/CCriticalSection.h"

#include "foundation/LockOrderCheck.h"

CCriticalSection::CCriticalSection(LockLevel level)
    : m_level(level)
{
    InitializeCriticalSection(&m_section);
}

CCriticalSection::~CCriticalSection()
{
    DeleteCriticalSection(&m_section);
}

void CCriticalSection::Lock()
{
    if (!IsLockOrderCheckOn()) {
        EnterCriticalSection(&m_section);
        return;
    }
    CheckLockOrder(this, m_level);
    EnterCriticalSection(&m_section);
    NoteLockTaken(this, m_level);
}

void CCriticalSection::Unlock()
{
    NoteLockReleased(this);
    LeaveCriticalSection(&m_section);
}
