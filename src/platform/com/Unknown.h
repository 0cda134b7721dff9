#pragma once
// The COM object model the DirectX-shaped facades share: GUIDs, IUnknown and the reference
// counting helper every facade object uses. Objects are free-threaded: the count is atomic.

#include "platform/kernel/WinTypes.h"

#include <atomic>

struct GUID
{
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};
using IID = GUID;
using CLSID = GUID;
using REFGUID = const GUID&;
using REFIID = const IID&;
using REFCLSID = const CLSID&;
using LPGUID = GUID*;

constexpr bool IsEqualGUID(REFGUID a, REFGUID b)
{
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3)
        return false;
    for (int i = 0; i < 8; ++i) {
        if (a.Data4[i] != b.Data4[i])
            return false;
    }
    return true;
}
constexpr bool operator==(REFGUID a, REFGUID b)
{
    return IsEqualGUID(a, b);
}

inline constexpr GUID GUID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
inline constexpr IID IID_IUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

struct IUnknown
{
    virtual HRESULT QueryInterface(REFIID riid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default; // only Release destroys
};
using LPUNKNOWN = IUnknown*;

namespace platform {

// The reference count of one facade object; the object deletes itself when it drops to zero.
class RefCount
{
public:
    ULONG Increment() { return m_count.fetch_add(1) + 1; }
    ULONG Decrement() { return m_count.fetch_sub(1) - 1; }
    // Takes a reference unless the count has already dropped to zero (the object is going).
    bool TryIncrement()
    {
        ULONG count = m_count.load();
        while (count != 0) {
            if (m_count.compare_exchange_weak(count, count + 1))
                return true;
        }
        return false;
    }

private:
    std::atomic<ULONG> m_count{1};
};

} // namespace platform
