#include "foundation/ByteCursor.h"

#include "platform/kernel/ErrorApi.h"
#include "platform/kernel/FileApi.h"

bool ByteCursor::ReadU32(uint32_t& value)
{
    if (Remaining() < 4)
        return false;
    const uint8_t* in = m_bytes.data() + m_position;
    value = static_cast<uint32_t>(in[0]) | (static_cast<uint32_t>(in[1]) << 8) |
            (static_cast<uint32_t>(in[2]) << 16) | (static_cast<uint32_t>(in[3]) << 24);
    m_position += 4;
    return true;
}

bool ByteCursor::ReadU16(uint16_t& value)
{
    if (Remaining() < 2)
        return false;
    const uint8_t* in = m_bytes.data() + m_position;
    value = static_cast<uint16_t>(in[0] | (in[1] << 8));
    m_position += 2;
    return true;
}

bool ByteCursor::ReadBytes(size_t count, std::span<const uint8_t>& bytes)
{
    if (Remaining() < count)
        return false;
    bytes = m_bytes.subspan(m_position, count);
    m_position += count;
    return true;
}

bool ReadRestOfFile(HANDLE file, std::vector<uint8_t>& bytes)
{
    DWORD size_high = 0;
    const DWORD size = GetFileSize(file, &size_high);
    LONG position_high = 0;
    const DWORD position = SetFilePointer(file, 0, &position_high, FILE_CURRENT);
    if ((size == INVALID_FILE_SIZE && GetLastError() != 0) || size_high != 0 || position_high != 0 ||
        position > size)
        return false;
    bytes.resize(size - position);
    DWORD read = 0;
    if (!bytes.empty() && (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
                           read != bytes.size()))
        return false;
    return true;
}

bool WriteAllBytes(HANDLE file, const std::string& bytes)
{
    DWORD written = 0;
    return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

void AppendU32(std::string& out, uint32_t value)
{
    const char bytes[4] = {static_cast<char>(value), static_cast<char>(value >> 8),
                           static_cast<char>(value >> 16), static_cast<char>(value >> 24)};
    out.append(bytes, 4);
}

void AppendU16(std::string& out, uint16_t value)
{
    const char bytes[2] = {static_cast<char>(value), static_cast<char>(value >> 8)};
    out.append(bytes, 2);
}
