#include "foundation/CMemBase.h"

#include "foundation/CCriticalSection.h"
#include "foundation/ScopedLock.h"
#include "platform/kernel/HeapApi.h"

namespace {

struct PrivateHeap
{
    CCriticalSection lock{LOCK_LEVEL_PRIVATE_HEAP}; // guards heap and live_count
    HANDLE heap = nullptr;
    uint32_t live_count = 0;
};

PrivateHeap& GetPrivateHeapState()
{
    static auto* s_state = new PrivateHeap; // never destroyed: objects may be freed during static destruction
    return *s_state;
}

} // namespace

// Creation and allocation happen under one hold of the lock: with two separate holds, a release
// on another thread could destroy a heap just created here before the block is taken from it.
void* CMemBase::operator new(std::size_t size) noexcept
{
    PrivateHeap& state = GetPrivateHeapState();
    ScopedLock lock(state.lock);
    if (!state.heap) {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        state.heap = HeapCreate(0, info.dwPageSize, 0);
        if (!state.heap)
            return nullptr;
    }
    void* block = HeapAlloc(state.heap, 0, size);
    if (block)
        ++state.live_count;
    return block;
}

void CMemBase::operator delete(void* block) noexcept
{
    if (!block)
        return;
    PrivateHeap& state = GetPrivateHeapState();
    ScopedLock lock(state.lock);
    HeapFree(state.heap, 0, block);
    if (--state.live_count == 0) {
        HeapDestroy(state.heap);
        state.heap = nullptr;
    }
}

uint32_t GetPrivateHeapLiveCount()
{
    PrivateHeap& state = GetPrivateHeapState();
    ScopedLock lock(state.lock);
    return state.live_count;
}

HANDLE GetPrivateHeap()
{
    PrivateHeap& state = GetPrivateHeapState();
    ScopedLock lock(state.lock);
    return state.heap;
}
