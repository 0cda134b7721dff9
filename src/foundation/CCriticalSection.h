#pragma once
// The one lock type of the program: a Win32 critical section, recursive for its owner, usable
// from any thread and before main or during static destruction. Each lock carries its level of
// foundation/LockOrder.h; the order checker sees every acquisition.

#include "foundation/ICriticalSection.h"
#include "foundation/LockOrder.h"
#include "platform/kernel/SyncApi.h"

class CCriticalSection : public ICriticalSection
{
public:
    explicit CCriticalSection(LockLevel level);
    ~CCriticalSection() override;
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    void Lock() override;
    void Unlock() override;

    LockLevel GetLevel() const { return m_level; }

private:
    CRITICAL_SECTION m_section;
    LockLevel m_level;
};
