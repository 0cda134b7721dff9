#pragma once
// Holds one reference to a COM-shaped object and releases it exactly once. Move-only; Reset
// releases early where an owner tears down in a fixed order.

#include <utility>

template <class T>
class ComPtr final
{
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Adopts a reference the caller already holds (the result of a Create or Get call).
    explicit ComPtr(T* object)
        : m_object(object)
    {}
    ComPtr(const ComPtr& other)
        : m_object(other.m_object)
    {
        if (m_object)
            m_object->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept
        : m_object(std::exchange(other.m_object, nullptr))
    {}
    ~ComPtr() { Reset(); }

    ComPtr& operator=(ComPtr other) noexcept
    {
        std::swap(m_object, other.m_object);
        return *this;
    }

    void Reset()
    {
        if (T* object = std::exchange(m_object, nullptr))
            object->Release();
    }
    T* Get() const { return m_object; }
    T* operator->() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }
    // Releases what is held and gives the slot to a Create or Get call.
    T** GetAddressOf()
    {
        Reset();
        return &m_object;
    }
    T* Detach() { return std::exchange(m_object, nullptr); }

private:
    T* m_object = nullptr;
};
