#include "foundation/CFile.h"

#include "platform/kernel/ErrorApi.h"
#include "platform/kernel/SyncApi.h"

namespace {

constexpr int OPEN_WRITE_ATTEMPTS = 10;
constexpr DWORD OPEN_WRITE_RETRY_MS = 10;

} // namespace

CFile::~CFile()
{
    CloseHandle(&m_handle);
}

void CFile::Attach(HANDLE handle)
{
    m_handle = handle;
}

bool CFile::OpenRead(CStringUTF8 path)
{
    HANDLE handle =
        CreateFileW(path.GetWideText(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        m_handle = nullptr;
        return false;
    }
    m_handle = handle;
    m_bytes_moved = 0;
    m_size_high = 0;
    return true;
}

int CFile::OpenWrite(CStringUTF8 path, DWORD creation_disposition)
{
    for (int attempt = 1; attempt <= OPEN_WRITE_ATTEMPTS; ++attempt) {
        HANDLE handle = CreateFileW(path.GetWideText(), GENERIC_WRITE, 0, nullptr, creation_disposition,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            m_handle = handle;
            m_bytes_moved = 0;
            m_size_high = 0;
            return 1;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_USER_MAPPED_FILE)
            break; // a missing folder or a denied access will not go away by waiting
        if (attempt < OPEN_WRITE_ATTEMPTS)
            Sleep(OPEN_WRITE_RETRY_MS);
    }
    m_handle = nullptr;
    return 0;
}

bool CFile::CloseHandle(HANDLE* handle)
{
    if (*handle == nullptr)
        return true;
    if (!::CloseHandle(*handle))
        return false;
    *handle = nullptr;
    m_bytes_moved = 0;
    m_size_high = 0;
    return true;
}

bool CFile::Close()
{
    return CloseHandle(&m_handle);
}

BOOL CFile::Read(void* buffer, DWORD byte_count)
{
    return ReadFile(m_handle, buffer, byte_count, &m_bytes_moved, nullptr);
}

BOOL CFile::Write(const void* buffer, DWORD byte_count)
{
    return WriteFile(m_handle, buffer, byte_count, &m_bytes_moved, nullptr);
}

bool CFile::Seek(DWORD distance, DWORD move_method)
{
    LONG high = 0;
    return SetFilePointer(m_handle, static_cast<LONG>(distance), &high, move_method) !=
           INVALID_SET_FILE_POINTER;
}

DWORD CFile::GetSize()
{
    return GetFileSize(m_handle, &m_size_high);
}

HANDLE CFile::DuplicateHandle()
{
    HANDLE copy = nullptr;
    if (!::DuplicateHandle(GetCurrentProcess(), m_handle, GetCurrentProcess(), &copy, GENERIC_READ, TRUE, 0))
        return nullptr;
    return copy;
}

DWORD CFile::GetPosition()
{
    LONG high = 0;
    return SetFilePointer(m_handle, 0, &high, FILE_CURRENT);
}
