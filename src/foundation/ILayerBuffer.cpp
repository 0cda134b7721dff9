#include "foundation/ILayerBuffer.h"

#include <new>

#include "foundation/CString.h"

ILayerBuffer::~ILayerBuffer()
{
    Free();
}

void ILayerBuffer::Allocate(uint32_t size)
{
    Free();
    m_buffer.reset(new (std::nothrow) uint8_t[size]);
    if (!m_buffer)
        throw CString("ファイルバッファの作成に失敗しました");
    m_size = size;
}

void ILayerBuffer::Free()
{
    m_buffer.reset();
    m_size = 0;
}
