#pragma once
// The Ogg decoder's reader: a file handle (a duplicate of the archive file's) bounded to one
// entry's bytes, so no read crosses into the next entry. Every read seeks to its own position
// first, so the reader does not depend on where another user of the file left the shared
// position. One decoder owns one reader; the decoder's owner serialises the calls.

#include "platform/kernel/WinTypes.h"

#include <cstdint>

class COggFileBase
{
public:
    static constexpr uint32_t READ_CHUNK = 2048;

    COggFileBase() = default;
    virtual ~COggFileBase() = default;
    COggFileBase(const COggFileBase&) = delete;
    COggFileBase& operator=(const COggFileBase&) = delete;

    // The handle is not owned; seeks are relative to base_offset.
    virtual bool Open(HANDLE handle, uint32_t size, uint32_t base_offset);
    // Forgets the handle without closing it.
    virtual void Close();
    // Reads up to count bytes, clipped to the entry, in requests of at most READ_CHUNK bytes.
    // False when a read fails; GetReadSize tells what arrived.
    virtual bool Read(void* buffer, uint32_t count);
    virtual bool Rewind();
    // SetFilePointer's result for base offset + pos from the file start.
    virtual uint32_t Seek(uint32_t pos);
    // The handle's absolute position.
    virtual uint32_t GetPosition();
    virtual uint32_t GetReadSize();
    virtual bool IsOpen();

private:
    HANDLE m_handle = nullptr;
    uint32_t m_base_offset = 0;
    uint32_t m_size = 0;
    uint32_t m_read_chunk = READ_CHUNK;
    uint32_t m_last_read = 0;
    uint32_t m_position = 0;
};

// The reader the decoder uses; no changes of its own.
class COggFileUser final : public COggFileBase
{};
