#pragma once
// IUnknown for a small facade object with one interface: QueryInterface answers IUnknown and
// that interface, the count is atomic and the object deletes itself at zero.

#include "platform/com/Unknown.h"

namespace platform {

template <typename Interface, const IID& Iid>
class ComObject : public Interface
{
public:
    HRESULT QueryInterface(REFIID riid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == Iid) {
            AddRef();
            *object = static_cast<Interface*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return m_references.Increment(); }
    ULONG Release() override
    {
        const ULONG left = m_references.Decrement();
        if (left == 0)
            delete this;
        return left;
    }

protected:
    virtual ~ComObject() = default;

private:
    RefCount m_references;
};

} // namespace platform
