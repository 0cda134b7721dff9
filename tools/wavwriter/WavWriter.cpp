#include "wavwriter/WavWriter.h"

#include <fstream>

namespace tools {

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

void PutId(std::vector<uint8_t>& out, const std::string& id)
{
    for (size_t i = 0; i < 4; ++i)
        out.push_back(i < id.size() ? static_cast<uint8_t>(id[i]) : ' ');
}

void PutChunk(std::vector<uint8_t>& out, const std::string& id, const std::vector<uint8_t>& bytes)
{
    PutId(out, id);
    Put32(out, static_cast<uint32_t>(bytes.size()));
    out.insert(out.end(), bytes.begin(), bytes.end());
    if (bytes.size() % 2 != 0)
        out.push_back(0); // pad byte, not counted in the chunk size
}

} // namespace

std::vector<uint8_t> WriteWav(const WavContents& wav)
{
    std::vector<uint8_t> fmt;
    const uint16_t block = static_cast<uint16_t>(wav.channels * wav.bits / 8);
    Put16(fmt, wav.extensible ? 0xFFFE : wav.format_tag);
    Put16(fmt, wav.channels);
    Put32(fmt, wav.rate);
    Put32(fmt, wav.rate * block);
    Put16(fmt, block);
    Put16(fmt, wav.bits);
    if (wav.extensible) {
        Put16(fmt, 22);                                 // bytes that follow
        Put16(fmt, wav.bits);                           // valid bits per sample
        Put32(fmt, wav.channels == 1 ? 0x4 : 0x3);      // speaker mask: centre, or left and right
        Put32(fmt, wav.format_tag);                     // sub-format: the tag in the base GUID
        for (uint8_t b : {0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71})
            fmt.push_back(b);
    }

    std::vector<uint8_t> body;
    PutId(body, "WAVE");
    PutChunk(body, "fmt ", fmt);
    for (const WavChunk& chunk : wav.before_data)
        PutChunk(body, chunk.id, chunk.bytes);
    if (!wav.omit_data)
        PutChunk(body, "data", wav.samples);
    if (wav.loop || wav.sampler_without_loops) {
        std::vector<uint8_t> smpl;
        Put32(smpl, 0);                                    // manufacturer
        Put32(smpl, 0);                                    // product
        Put32(smpl, wav.rate ? 1000000000 / wav.rate : 0); // sample period in nanoseconds
        Put32(smpl, 60);                                   // MIDI unity note
        Put32(smpl, 0);                                    // MIDI pitch fraction
        Put32(smpl, 0);                                    // SMPTE format
        Put32(smpl, 0);                                    // SMPTE offset
        Put32(smpl, wav.loop ? 1 : 0);                     // sample-loop count
        Put32(smpl, 0);                                    // sampler data bytes
        if (wav.loop) {
            Put32(smpl, wav.loop->identifier);
            Put32(smpl, wav.loop->type);
            Put32(smpl, wav.loop->start);
            Put32(smpl, wav.loop->end);
            Put32(smpl, wav.loop->fraction);
            Put32(smpl, wav.loop->play_count);
        }
        PutChunk(body, "smpl", smpl);
    }
    for (const WavChunk& chunk : wav.after_data)
        PutChunk(body, chunk.id, chunk.bytes);

    std::vector<uint8_t> out;
    PutId(out, "RIFF");
    Put32(out, static_cast<uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

bool WriteWavFile(const std::string& path, const WavContents& wav)
{
    const std::vector<uint8_t> bytes = WriteWav(wav);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

std::vector<uint8_t> Pcm16Bytes(const std::vector<int16_t>& samples)
{
    std::vector<uint8_t> out;
    out.reserve(samples.size() * 2);
    for (int16_t s : samples)
        Put16(out, static_cast<uint16_t>(s));
    return out;
}

} // namespace tools
