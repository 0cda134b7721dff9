#pragma once
// Base of the objects that live on the program's private heap (sound objects, layer file
// buffers). The heap is created on the first allocation and destroyed when the last object on
// it is freed; allocation and release may come from any thread.

#include <cstddef>
#include <cstdint>

#include "platform/kernel/WinTypes.h"

class CMemBase
{
public:
    virtual ~CMemBase() = default;

    // Null when the heap cannot be made or the block not allocated; the constructor then never runs.
    static void* operator new(std::size_t size) noexcept;
    static void operator delete(void* block) noexcept;
};

// Blocks on the private heap not yet freed.
uint32_t GetPrivateHeapLiveCount();
// The private heap, or null while no object lives on it.
HANDLE GetPrivateHeap();
