#include "movie/CMediaFile.h"

#include <cstring>

#include "foundation/ScopedLock.h"
#include "platform/kernel/ErrorApi.h"
#include "platform/kernel/FileApi.h"

namespace {

constexpr HRESULT READ_FAILED = static_cast<HRESULT>(0x80070000u | ERROR_HANDLE_EOF);

// Reads at an offset of the archive file. The handles of both streams are duplicates of the
// archive's own and share its file pointer, so a read never relies on where that pointer is.
BOOL ReadAt(HANDLE handle, uint64_t offset, void* buffer, DWORD count, DWORD* got)
{
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return ReadFile(handle, buffer, count, got, &at);
}

bool ReadExactly(HANDLE handle, uint64_t offset, void* buffer, DWORD count)
{
    DWORD got = 0;
    return ReadAt(handle, offset, buffer, count, &got) && got == count;
}

bool MoveTo(HANDLE handle, uint64_t offset)
{
    SetLastError(0);
    LONG high = static_cast<LONG>(offset >> 32);
    const DWORD low = SetFilePointer(handle, static_cast<LONG>(offset & 0xFFFFFFFFu), &high, FILE_BEGIN);
    return low != 0xFFFFFFFFu || GetLastError() == 0;
}

} // namespace

CMediaFile::~CMediaFile()
{
    CloseHandle();
}

void CMediaFile::CloseHandle()
{
    if (m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE)
        ::CloseHandle(m_handle);
    m_handle = nullptr;
}

HRESULT CMediaFile::Attach(HANDLE handle, uint32_t entry_size, uint32_t entry_offset)
{
    ScopedLock lock(m_lock);
    CloseHandle();
    m_handle = handle;
    m_length = entry_size;
    m_position = 0;
    m_base = entry_offset;
    bool whole = false;
    char mark[4];
    if (!ReadExactly(m_handle, entry_offset, mark, sizeof(mark))) {
        // Cut short: the handle stays where the read left it.
    } else if (std::memcmp(mark, "VSD1", 4) == 0) {
        uint8_t size[4];
        if (ReadExactly(m_handle, uint64_t{entry_offset} + 4, size, sizeof(size))) {
            const uint64_t skip = 8 + (uint32_t{size[0]} | uint32_t{size[1]} << 8 | uint32_t{size[2]} << 16 |
                                       uint32_t{size[3]} << 24);
            if (skip > entry_size)
                return E_FAIL;
            m_length -= static_cast<LONGLONG>(skip);
            m_base = static_cast<uint32_t>(entry_offset + skip);
            whole = true;
        }
    } else {
        whole = true;
    }
    if (whole)
        MoveTo(m_handle, m_base);
    return S_OK;
}

HRESULT CMediaFile::SetPointer(LONGLONG position)
{
    ScopedLock lock(m_lock);
    if (position < 0 || position > m_length)
        return S_FALSE;
    m_position = position;
    MoveTo(m_handle, uint64_t{m_base} + static_cast<uint64_t>(position));
    return S_OK;
}

HRESULT CMediaFile::Read(BYTE* buffer, DWORD count, BOOL, LPDWORD bytes_read)
{
    ScopedLock lock(m_lock);
    *bytes_read = 0;
    DWORD wanted = count;
    if (m_position + count > m_length)
        wanted = static_cast<DWORD>(m_length - m_position);
    if (wanted == 0)
        return S_OK;
    DWORD got = 0;
    const BOOL read = m_handle != nullptr &&
                      ReadAt(m_handle, uint64_t{m_base} + static_cast<uint64_t>(m_position), buffer, wanted, &got);
    m_position += got;
    *bytes_read = got;
    if (!read)
        return E_FAIL;
    return got == wanted ? S_OK : READ_FAILED;
}

LONGLONG CMediaFile::Size(LONGLONG* available)
{
    if (available != nullptr)
        *available = m_length;
    return m_length;
}

CMediaFileReader::CMediaFileReader(CMediaFile* file, HRESULT* result)
    : CAsyncReader(u"Reader", nullptr, file, result, CLSID_MediaFileReader)
{
    m_mt.SetType(&MEDIATYPE_Stream);
    m_mt.SetSubtype(&MEDIASUBTYPE_MPEG1System);
}
