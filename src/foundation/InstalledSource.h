#pragma once
// Where an object that a higher area makes is found by the areas below it: the higher area
// installs a function that answers it (before main), and any thread may ask.

#include <atomic>

template <class T>
class InstalledSource
{
public:
    // Null while no source is installed or when the source answers none.
    T* Get() const
    {
        T* (*source)() = m_source.load();
        return source != nullptr ? source() : nullptr;
    }
    void Set(T* (*source)()) { m_source.store(source); }

private:
    std::atomic<T* (*)()> m_source{nullptr};
};
