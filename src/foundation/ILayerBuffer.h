#pragma once
// The whole-file byte buffer of a layer file, itself living on the private heap. The bytes
// belong to the buffer and go with it.

#include <cstdint>
#include <memory>

#include "foundation/CMemBase.h"

class ILayerBuffer : public CMemBase
{
public:
    ILayerBuffer() = default;
    ~ILayerBuffer() override;
    ILayerBuffer(const ILayerBuffer&) = delete;
    ILayerBuffer& operator=(const ILayerBuffer&) = delete;

    // Replaces the buffer by `size` new bytes; throws CString when they cannot be had, leaving
    // the buffer empty.
    void Allocate(uint32_t size);

    uint8_t* GetBuffer() const { return m_buffer.get(); }
    uint32_t GetSize() const { return m_size; }

private:
    void Free();

    std::unique_ptr<uint8_t[]> m_buffer; // null when empty
    uint32_t m_size = 0;
};
