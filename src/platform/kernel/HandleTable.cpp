#include "platform/kernel/HandleTable.h"

namespace platform {

HandleTable& HandleTable::GetInstance()
{
    static auto* s_table = new HandleTable; // never destroyed: files are written during static destruction
    return *s_table;
}

HANDLE HandleTable::Add(std::shared_ptr<KernelObject> object)
{
    std::lock_guard lock(m_lock);
    const uintptr_t value = m_next;
    m_next += 4; // Windows handle values are multiples of four
    m_objects.emplace(value, std::move(object));
    return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<KernelObject> HandleTable::Get(HANDLE handle) const
{
    std::lock_guard lock(m_lock);
    const auto found = m_objects.find(reinterpret_cast<uintptr_t>(handle));
    return found == m_objects.end() ? nullptr : found->second;
}

std::shared_ptr<KernelObject> HandleTable::Remove(HANDLE handle)
{
    std::shared_ptr<KernelObject> object;
    std::lock_guard lock(m_lock);
    const auto found = m_objects.find(reinterpret_cast<uintptr_t>(handle));
    if (found != m_objects.end()) {
        object = std::move(found->second);
        m_objects.erase(found);
    }
    return object;
}

} // namespace platform
