#pragma once
// Writes Ogg Vorbis files for tests and the demo data through libvorbisenc: 16-bit samples in,
// one logical stream out, with any user comments ("SampleStart=44100"). Also makes the damaged
// variants readers must survive: a file cut after its identification header, a garbage prefix.

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

struct OggContents
{
    uint16_t channels = 1;
    uint32_t rate = 44100;
    std::vector<int16_t> samples; // interleaved by channels
    std::vector<std::string> comments;
    float quality = 0.4f; // libvorbisenc's VBR quality, -0.1 .. 1
};

// Empty when the encoder refuses the format.
std::vector<uint8_t> WriteOgg(const OggContents& ogg);
bool WriteOggFile(const std::string& path, const OggContents& ogg);

// The comments that make a stream loop from start to end (sample frames).
std::vector<std::string> OggLoopComments(uint32_t start, uint32_t end);

// The file up to the end of its first page, which holds the identification header alone.
std::vector<uint8_t> CutAfterIdentification(const std::vector<uint8_t>& file);
// count bytes that are no Ogg page, then the file.
std::vector<uint8_t> WithGarbagePrefix(const std::vector<uint8_t>& file, size_t count);

// What a plain decoding loop makes of a file: libogg's sync, stream and packet calls and
// libvorbis' synthesis, fed 4096 bytes at a time, each float converted to 16 bits as the engine
// converts it (truncated x 32768, clamped). The yardstick the engine's decoder is measured by.
struct PlainOggDecoding
{
    uint32_t channels = 0;
    std::vector<int16_t> samples; // interleaved
    int64_t granule = 0;          // of the last page that tells one
};
// keep_samples false only counts them (for timing the loop itself).
PlainOggDecoding DecodeOggPlain(const std::vector<uint8_t>& file, bool keep_samples = true);

// The file with its last page claiming granule as the stream's length (its checksum mended), so
// the stream says it is longer, or shorter, than what it holds.
std::vector<uint8_t> WithLastGranule(const std::vector<uint8_t>& file, int64_t granule);

// A sine tone of amplitude (of 32767) on every channel; frames x channels values.
std::vector<int16_t> SineSamples(size_t frames, uint16_t channels, double hertz, double amplitude,
                                 uint32_t rate = 44100);

} // namespace tools
