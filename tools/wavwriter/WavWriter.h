#pragma once
// Writes RIFF "WAVE" files for tests and the demo data: a "fmt " chunk, a "data" chunk, an
// optional "smpl" chunk with one loop record, and any extra chunks, placed before or after the
// data, each padded to an even size as RIFF requires. The format written in "fmt " may differ
// from the sample bytes on purpose, to test readers against it.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tools {

// The first sample-loop record of a "smpl" chunk; start and end count sample frames.
struct WavLoop
{
    uint32_t identifier = 0;
    uint32_t type = 0; // 0: forward
    uint32_t start = 0;
    uint32_t end = 0;
    uint32_t fraction = 0;
    uint32_t play_count = 0; // 0: forever
};

struct WavChunk
{
    std::string id; // four characters
    std::vector<uint8_t> bytes;
};

struct WavContents
{
    uint16_t format_tag = 1; // PCM
    // Writes "fmt " in its extensible form, with format_tag as the sub-format.
    bool extensible = false;
    uint16_t channels = 2;
    uint32_t rate = 44100;
    uint16_t bits = 16;
    std::vector<uint8_t> samples; // the "data" chunk, as stored
    std::optional<WavLoop> loop;
    // A "smpl" chunk whose loop count is 0 (no loop record follows).
    bool sampler_without_loops = false;
    std::vector<WavChunk> before_data; // written between "fmt " and "data"
    std::vector<WavChunk> after_data;  // written after "data" (and "smpl")
    bool omit_data = false;
};

std::vector<uint8_t> WriteWav(const WavContents& wav);
// Returns false when the file cannot be written.
bool WriteWavFile(const std::string& path, const WavContents& wav);

// 16-bit samples (interleaved) as little-endian bytes.
std::vector<uint8_t> Pcm16Bytes(const std::vector<int16_t>& samples);

} // namespace tools
