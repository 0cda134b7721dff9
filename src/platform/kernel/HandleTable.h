#pragma once
// The process's table of kernel objects (files, events, mutexes, threads, find and heap
// handles). A HANDLE is a key into it; objects are shared so that a call in progress on one
// thread keeps its object alive while another thread closes the handle. The table is immortal
// and its lock is a leaf: objects are destroyed outside it.

#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "platform/kernel/WinTypes.h"

namespace platform {

enum class KernelObjectKind
{
    File,
    Event,
    Mutex,
    Thread,
    Find,
    Heap
};

class KernelObject
{
public:
    virtual ~KernelObject() = default;
    virtual KernelObjectKind GetKind() const = 0;
};

class HandleTable final
{
public:
    static HandleTable& GetInstance();

    HANDLE Add(std::shared_ptr<KernelObject> object);
    std::shared_ptr<KernelObject> Get(HANDLE handle) const;
    // The object behind the handle when it is a T, else null.
    template <class T>
    std::shared_ptr<T> GetAs(HANDLE handle) const
    {
        return std::dynamic_pointer_cast<T>(Get(handle));
    }
    // Takes the handle out of the table and hands its object back, so the caller destroys it
    // after the table lock is gone. Null when the handle is unknown.
    std::shared_ptr<KernelObject> Remove(HANDLE handle);

private:
    HandleTable() = default;

    mutable std::mutex m_lock; // guards m_objects and m_next
    std::unordered_map<uintptr_t, std::shared_ptr<KernelObject>> m_objects;
    // Values are never reused, so a stale handle fails instead of reaching a newer object.
    uintptr_t m_next = 0x100;
};

} // namespace platform
