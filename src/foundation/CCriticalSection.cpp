#include "foundation/CCriticalSection.h"

CCriticalSection::CCriticalSection()
{
    InitializeCriticalSection(&m_section);
}

CCriticalSection::~CCriticalSection()
{
    DeleteCriticalSection(&m_section);
}

void CCriticalSection::Lock()
{
    EnterCriticalSection(&m_section);
}

void CCriticalSection::Unlock()
{
    LeaveCriticalSection(&m_section);
}
