#pragma once
// The one lock type of the program: a Win32 critical section, recursive for its owner, usable
// from any thread and before main or during static destruction.

#include "foundation/ICriticalSection.h"
#include "platform/kernel/SyncApi.h"

class CCriticalSection : public ICriticalSection
{
public:
    CCriticalSection();
    ~CCriticalSection() override;
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    void Lock() override;
    void Unlock() override;

private:
    CRITICAL_SECTION m_section;
};
