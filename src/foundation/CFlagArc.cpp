#include "foundation/CFlagArc.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "foundation/CStringBase.h"
#include "foundation/FileNameCheck.h"
#include "foundation/Lzss.h"
#include "foundation/NameScramble.h"

namespace {

uint32_t BigEndian32(const uint8_t* bytes)
{
    return (uint32_t{bytes[0]} << 24) | (bytes[1] << 16) | (bytes[2] << 8) | bytes[3];
}

// An LZSS stream yields at most eight matches of 18 bytes for every 17 bytes.
constexpr uint64_t LZSS_MAX_EXPANSION = 9;

} // namespace

CFlagArc::CFlagArc(const void* image, DWORD image_size)
    : m_image(static_cast<const uint8_t*>(image))
    , m_image_size(image_size)
{
    if (!m_image || m_image_size < 4)
        return;
    const uint32_t count = m_image[0] | (m_image[1] << 8) | (m_image[2] << 16) | (uint32_t{m_image[3]} << 24);
    const size_t fitting = std::min<size_t>(count, (m_image_size - 4) / FLAG_RECORD_BYTES);
    m_entries.resize(fitting);
    for (size_t k = 0; k < fitting; ++k) {
        const uint8_t* bytes = m_image + 4 + FLAG_RECORD_BYTES * k;
        Record& record = m_entries[k];
        std::memcpy(record.name, bytes, FLAG_NAME_BYTES);
        const auto* end = static_cast<const char*>(std::memchr(record.name, 0, FLAG_NAME_BYTES));
        const size_t length = end ? static_cast<size_t>(end - record.name) : 0;
        UnscrambleName(std::span(reinterpret_cast<uint8_t*>(record.name), length));
        if (!end || !IsPlainFileName(AnsiToWide(std::string(record.name, length))))
            record.name[0] = '\0';
        record.stored_size = BigEndian32(bytes + 260);
        record.decoded_size = BigEndian32(bytes + 264);
        record.data_offset = BigEndian32(bytes + 268);
    }
}

CFlagArc::~CFlagArc() = default;

bool CFlagArc::DecodeEntry(size_t index, std::span<const uint8_t>& bytes)
{
    if (index >= m_entries.size())
        return false;
    const Record& record = m_entries[index];
    if (record.name[0] == '\0' || uint64_t{record.data_offset} + record.stored_size > m_image_size ||
        record.decoded_size > LZSS_MAX_EXPANSION * record.stored_size)
        return false;
    m_output.resize(record.decoded_size);
    const LzssDecodeResult result =
        LzssDecode(std::span(m_image + record.data_offset, record.stored_size), m_output);
    if (!result.Complete(record.decoded_size))
        return false;
    bytes = std::span<const uint8_t>(m_output.data(), record.decoded_size);
    return true;
}

int CFlagArc::ReadEntry(size_t index, CFile* target)
{
    std::span<const uint8_t> bytes;
    if (!target || !DecodeEntry(index, bytes))
        return 0;
    // A write that fails or stops short would leave a broken save file behind a success.
    const DWORD size = static_cast<DWORD>(bytes.size());
    if (!target->Write(bytes.data(), size) || target->GetBytesMoved() != size)
        return 0;
    return 1;
}
