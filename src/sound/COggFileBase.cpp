#include "sound/COggFileBase.h"

#include "platform/kernel/FileApi.h"

#include <algorithm>

bool COggFileBase::Open(HANDLE handle, uint32_t size, uint32_t base_offset)
{
    m_handle = handle;
    m_size = size;
    m_base_offset = base_offset;
    m_read_chunk = READ_CHUNK;
    m_last_read = 0;
    m_position = 0;
    return true;
}

void COggFileBase::Close()
{
    m_handle = nullptr;
    m_base_offset = 0;
    m_size = 0;
    m_last_read = 0;
    m_position = 0;
}

bool COggFileBase::Read(void* buffer, uint32_t count)
{
    count = std::min(count, m_size > m_position ? m_size - m_position : 0);
    m_last_read = 0;
    auto* out = static_cast<BYTE*>(buffer);
    if (count > 0 && Seek(m_position) == INVALID_SET_FILE_POINTER)
        return false;
    while (count > 0) {
        DWORD got = 0;
        if (!ReadFile(m_handle, out, std::min(count, m_read_chunk), &got, nullptr))
            return false;
        // A handle that reports success with nothing read has reached the end of the file:
        // waiting for more would never end.
        if (got == 0)
            break;
        m_last_read += got;
        out += got;
        count -= got;
    }
    m_position += m_last_read;
    return true;
}

bool COggFileBase::Rewind()
{
    if (Seek(0) == INVALID_SET_FILE_POINTER)
        return false;
    m_position = 0;
    return true;
}

uint32_t COggFileBase::Seek(uint32_t pos)
{
    if (!m_handle)
        return INVALID_SET_FILE_POINTER;
    return SetFilePointer(m_handle, static_cast<LONG>(m_base_offset + pos), nullptr, FILE_BEGIN);
}

uint32_t COggFileBase::GetPosition()
{
    return m_handle ? SetFilePointer(m_handle, 0, nullptr, FILE_CURRENT) : 0;
}

uint32_t COggFileBase::GetReadSize()
{
    if (m_position <= m_size)
        return m_last_read;
    const uint32_t beyond = m_position - m_size;
    return beyond < m_last_read ? m_last_read - beyond : 0;
}

bool COggFileBase::IsOpen()
{
    return m_handle != nullptr && m_size > 0;
}
