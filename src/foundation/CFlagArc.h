#pragma once
// Reads a FLAG image, the small archive of initial save files the executable carries as a
// resource: a count, 272-byte records of scrambled name and three sizes, then LZSS streams. Built
// over the locked resource during start-up, main thread only.

#include <cstdint>
#include <span>
#include <vector>

#include "foundation/CFile.h"

inline constexpr size_t FLAG_RECORD_BYTES = 272;
inline constexpr size_t FLAG_NAME_BYTES = 260;

class CFlagArc
{
public:
    // Reads the records that lie wholly inside the image. A name that is not a plain file name
    // (a separator, "..", no terminating zero) is made empty, so no path can be built from it.
    CFlagArc(const void* image, DWORD image_size);
    virtual ~CFlagArc();

    size_t GetCount() const { return m_entries.size(); }
    // The plain name, zero-terminated, in the ANSI code page.
    const char* GetName(size_t index) const { return m_entries[index].name; }
    // Decodes the entry and writes it to the open file: 1 when every byte was written, 0 when
    // the entry is unusable (index, name, data range, decoded length) or the write failed.
    int ReadEntry(size_t index, CFile* target);
    // Decodes the entry; its bytes stay valid until the next read. False when it is unusable.
    bool DecodeEntry(size_t index, std::span<const uint8_t>& bytes);

private:
    struct Record
    {
        char name[FLAG_NAME_BYTES];
        uint32_t stored_size;
        uint32_t decoded_size;
        uint32_t data_offset;
    };

    const uint8_t* m_image; // not owned: the resource lives as long as the program
    uint32_t m_image_size;
    std::vector<Record> m_entries;
    std::vector<uint8_t> m_output; // reused by every ReadEntry
};
