#include "facevoice/FaceVoiceWriter.h"

namespace tools {

namespace {

void PutU32(std::vector<uint8_t>& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

} // namespace

std::vector<uint8_t> WriteFaceVoiceTable(const std::vector<FaceVoiceRecord>& records,
                                         std::optional<uint32_t> count, std::optional<size_t> size)
{
    std::vector<uint8_t> out;
    PutU32(out, count.value_or(static_cast<uint32_t>(records.size())));
    for (const FaceVoiceRecord& record : records) {
        PutU32(out, record.Time);
        PutU32(out, static_cast<uint32_t>(record.Group));
        PutU32(out, static_cast<uint32_t>(record.Slot));
        PutU32(out, record.Unused);
    }
    if (size && *size < out.size())
        out.resize(*size);
    return out;
}

} // namespace tools
