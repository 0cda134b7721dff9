#pragma once
// A thin wrapper over one Win32 file handle, under every file access of the program (settings,
// archives, save and flag files). It never throws: each operation answers through its result
// and the caller words the error. One object is used by one thread at a time.

#include "foundation/CStringUTF8.h"
#include "platform/kernel/FileApi.h"
#include "platform/kernel/WinTypes.h"

class CFile
{
public:
    CFile() = default;
    // Closes the handle.
    virtual ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    virtual void Attach(HANDLE handle);
    // Opens an existing file for reading, sharing it with other readers. Does not close a
    // handle already open: callers Close first.
    virtual bool OpenRead(CStringUTF8 path);
    // Opens for writing without sharing; a file held by someone else is tried again, up to ten
    // attempts 10 ms apart. Returns 1 or 0.
    virtual int OpenWrite(CStringUTF8 path, DWORD creation_disposition);
    // A handle of 0 is already closed. On failure the handle is left as it was.
    virtual bool CloseHandle(HANDLE* handle);
    virtual bool Close();
    virtual BOOL Read(void* buffer, DWORD byte_count);
    [[nodiscard]] virtual BOOL Write(const void* buffer, DWORD byte_count);
    // The distance is an unsigned 32-bit offset (high word 0): moves are forward only.
    virtual bool Seek(DWORD distance, DWORD move_method);
    // The low 32 bits of the size; the high ones go to GetSizeHigh.
    virtual DWORD GetSize();
    // A read handle sharing this one's file position, or 0.
    virtual HANDLE DuplicateHandle();
    virtual DWORD GetPosition();

    HANDLE GetHandle() const { return m_handle; }
    // Bytes moved by the last Read or Write.
    DWORD GetBytesMoved() const { return m_bytes_moved; }
    DWORD GetSizeHigh() const { return m_size_high; }

protected:
    HANDLE m_handle = nullptr; // 0 when no file is open
    DWORD m_bytes_moved = 0;
    DWORD m_size_high = 0;
};
