#pragma once
// One picture handed to a renderer: a buffer the render thread owns and reuses, with the times
// of the picture. Lives on the render thread's stack; references are not counted.

#include "platform/dshow/DShowApi.h"

#include <vector>

namespace platform {

class MediaSample final : public IMediaSample
{
public:
    explicit MediaSample(size_t bytes)
        : m_bytes(bytes)
    {}

    HRESULT QueryInterface(REFIID riid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = riid == IID_IUnknown || riid == IID_IMediaSample ? static_cast<IMediaSample*>(this) : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT GetPointer(BYTE** buffer) override
    {
        if (!buffer)
            return E_POINTER;
        *buffer = m_bytes.data();
        return S_OK;
    }
    LONG GetSize() override { return static_cast<LONG>(m_bytes.size()); }
    LONG GetActualDataLength() override { return static_cast<LONG>(m_bytes.size()); }
    HRESULT GetTime(REFERENCE_TIME* start, REFERENCE_TIME* end) override
    {
        if (start)
            *start = m_start;
        if (end)
            *end = m_end;
        return S_OK;
    }

    BYTE* Bytes() { return m_bytes.data(); }
    void SetTime(REFERENCE_TIME start, REFERENCE_TIME end)
    {
        m_start = start;
        m_end = end;
    }

private:
    std::vector<BYTE> m_bytes;
    REFERENCE_TIME m_start = 0;
    REFERENCE_TIME m_end = 0;
};

} // namespace platform
