#pragma once
// Ogg Vorbis inputs for the decoder and streaming tests, and the plain decoding loop they are
// compared with (the writer's, apart from the decoder under test).

#include "oggwriter/OggWriter.h"
#include "platform/kernel/WinTypes.h"

#include <cstdint>
#include <string>
#include <vector>

using ReferenceDecoding = tools::PlainOggDecoding;

inline ReferenceDecoding DecodeReference(const std::vector<uint8_t>& file)
{
    return tools::DecodeOggPlain(file);
}

// A quiet, changing tone (below the mixer's compressor threshold), encoded.
std::vector<uint8_t> QuietOgg(uint32_t frames, uint16_t channels, std::vector<std::string> comments = {});

// Writes bytes to a file and opens it for reading; closed by CloseOpened.
HANDLE OpenBytes(const std::string& path, const std::vector<uint8_t>& bytes);
