#pragma once
// A bounds-checked little-endian reader over bytes in memory, for the readers of the save
// folder's files: every read first checks that the bytes are there, so a truncated or damaged
// file is refused before anything is allocated for it. Plain data; one user at a time.

#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "platform/kernel/WinTypes.h"

class ByteCursor
{
public:
    explicit ByteCursor(std::span<const uint8_t> bytes)
        : m_bytes(bytes)
    {}

    size_t Remaining() const { return m_bytes.size() - m_position; }
    size_t Position() const { return m_position; }
    bool AtEnd() const { return m_position == m_bytes.size(); }

    // False, moving nothing, when fewer bytes are left.
    bool ReadU32(uint32_t& value);
    bool ReadU16(uint16_t& value);
    bool ReadBytes(size_t count, std::span<const uint8_t>& bytes);
    // True when count elements of element_size bytes each can still follow, so a caller may
    // size its array for them.
    bool CanHold(uint64_t count, size_t element_size) const { return count <= Remaining() / element_size; }

private:
    std::span<const uint8_t> m_bytes;
    size_t m_position = 0;
};

// Everything from the file's position to its end; false when the size cannot be read or the
// file ends early.
bool ReadRestOfFile(HANDLE file, std::vector<uint8_t>& bytes);

// Writes every byte at the file's position; true when all were written.
bool WriteAllBytes(HANDLE file, const std::string& bytes);

// Reads the rest of the file as one T (through T::ReadFrom); the target takes what was read only
// when the layout was whole and ended with the file.
template <typename T>
bool ReadWholeLayout(HANDLE file, T& target)
{
    std::vector<uint8_t> bytes;
    if (!ReadRestOfFile(file, bytes))
        return false;
    ByteCursor cursor(bytes);
    T read;
    if (!read.ReadFrom(cursor) || !cursor.AtEnd())
        return false;
    target = std::move(read);
    return true;
}

// Little-endian words appended to a byte string, for writers.
void AppendU32(std::string& out, uint32_t value);
void AppendU16(std::string& out, uint16_t value);
