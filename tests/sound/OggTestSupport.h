#pragma once
// Ogg Vorbis inputs for the decoder and streaming tests, and the plain decoding loop they are
// compared with: the same libogg and libvorbis calls, kept here apart from the decoder under test.

#include "oggwriter/OggWriter.h"
#include "platform/kernel/WinTypes.h"

#include <cstdint>
#include <string>
#include <vector>

struct ReferenceDecoding
{
    uint32_t channels = 0;
    std::vector<int16_t> samples; // interleaved, converted as the decoder converts
    int64_t granule = 0;          // of the last page
};

ReferenceDecoding DecodeReference(const std::vector<uint8_t>& file);

// A quiet, changing tone (below the mixer's compressor threshold), encoded.
std::vector<uint8_t> QuietOgg(uint32_t frames, uint16_t channels, std::vector<std::string> comments = {});

// Writes bytes to a file and opens it for reading; closed by CloseOpened.
HANDLE OpenBytes(const std::string& path, const std::vector<uint8_t>& bytes);
