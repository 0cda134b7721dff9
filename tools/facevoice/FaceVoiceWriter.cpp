#include "facevoice/FaceVoiceWriter.h"

#include "flagwrite/FlagFileWriter.h"

namespace tools {

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
