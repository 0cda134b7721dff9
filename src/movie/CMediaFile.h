#pragma once
// The movie source: CMediaFile serves the bytes of one movie archive entry straight from the
// archive file, after an optional "VSD1" header, and CMediaFileReader offers them to the filter
// graph as an MPEG-1 system stream. The graph's I/O thread calls Lock, SetPointer, Read and
// Unlock for each request; the main thread attaches a new entry only while no graph reads it.

#include <cstdint>

#include "foundation/CCriticalSection.h"
#include "platform/dshow/BaseClasses.h"

// {C553F2C0-1529-11D0-B4D1-00805F6CBBEA}
inline constexpr CLSID CLSID_MediaFileReader = {
    0xC553F2C0, 0x1529, 0x11D0, {0xB4, 0xD1, 0x00, 0x80, 0x5F, 0x6C, 0xBB, 0xEA}};

class CMediaFile : public CAsyncStream
{
public:
    CMediaFile() = default;
    ~CMediaFile() override;
    CMediaFile(const CMediaFile&) = delete;
    CMediaFile& operator=(const CMediaFile&) = delete;

    // Takes the handle (closing the one held before) and serves the entry of that size at that
    // offset of the archive file. An entry that begins with "VSD1" and a little-endian N is served
    // from its byte 8 + N. E_FAIL when that header claims more bytes than the entry holds: the
    // bytes after the entry belong to other entries.
    HRESULT Attach(HANDLE handle, uint32_t entry_size, uint32_t entry_offset);

    // S_FALSE, with the position kept, for a position below 0 or past the length.
    HRESULT SetPointer(LONGLONG position) override;
    // Reads up to the length. bytes_read is what the file gave; a read that gives less than was
    // asked, or fails, answers a failure so that the demuxer never takes stale bytes for data.
    HRESULT Read(BYTE* buffer, DWORD count, BOOL align, LPDWORD bytes_read) override;
    LONGLONG Size(LONGLONG* available = nullptr) override;
    DWORD Alignment() override { return 1; }
    void Lock() override { m_lock.Lock(); }
    void Unlock() override { m_lock.Unlock(); }

    LONGLONG GetPosition() const { return m_position; }
    uint32_t GetBase() const { return m_base; }

private:
    void CloseHandle();

    CCriticalSection m_lock{LOCK_LEVEL_MEDIA_FILE}; // a movie stream's file position
    HANDLE m_handle = nullptr;
    LONGLONG m_length = 0;
    LONGLONG m_position = 0;
    uint32_t m_base = 0;
};

class CMediaFileReader : public CAsyncReader
{
public:
    CMediaFileReader(CMediaFile* file, HRESULT* result);
};
