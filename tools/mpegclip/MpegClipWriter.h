#pragma once
// Writes MPEG-1 system streams for tests and the demo: MPEG-1 video (MPEG-2 for a clip that
// changes size) with or without an MP2 sound track, through libavcodec's encoders and
// libavformat's "mpeg" muxer. Each picture carries its frame number as a row of light and dark
// blocks across its top quarter, big enough to survive the encoder, so a reader of decoded frames
// can tell them apart; the rest of the picture is filled with the clip's tint. The sound is a sine
// tone. An optional "VSD1" header of 8 + N bytes may precede the stream, as movie archive entries
// allow.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tools {

inline constexpr int CLIP_NUMBER_BITS = 10;

struct MpegClipOptions
{
    int width = 320;
    int height = 240;
    int frames = 25;
    int fps = 25;               // an MPEG-1 rate: 24, 25, 30, 50 or 60
    int first_number = 0;       // the number painted into the first frame
    uint32_t tint = 0x3060C0;   // 0xRRGGBB below the number blocks
    bool audio = true;          // an MP2 track, 44,100 Hz stereo
    int tone_hz = 440;
    int16_t tone_amplitude = 8000;
    int vsd_header = -1;        // N: a "VSD1" header with N filler bytes; -1 for none
    int bit_rate = 0;           // video bits per second; 0 picks one from the picture size
    bool detail = false;        // a moving pattern below the blocks instead of the flat tint, so
                                // that decoding costs what a filmed picture costs
    // From the picture of this index on, each picture's sequence header announces resize_width x
    // resize_height (up to 16383 x 16383) while its slices keep the coded size: a stream whose
    // size changes under its reader. -1: never. Such a clip is written as MPEG-2 video, one
    // sequence header per picture.
    int resize_from = -1;
    int resize_width = 0;
    int resize_height = 0;
};

// Throws std::runtime_error when an encoder or the muxer fails.
std::vector<uint8_t> WriteMpegClip(const MpegClipOptions& options);

// The number painted into a decoded 32-bit BGRA picture (top-down rows of stride bytes), or -1
// when a block is neither clearly light nor clearly dark.
int ReadClipNumber(const uint8_t* bgra, int width, int height, ptrdiff_t stride);

} // namespace tools
