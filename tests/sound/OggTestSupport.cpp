#include "OggTestSupport.h"

#include "platform/kernel/FileApi.h"
#include "platform/kernel/Unicode.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <numbers>

#include <vorbis/codec.h>

ReferenceDecoding DecodeReference(const std::vector<uint8_t>& file)
{
    ReferenceDecoding out;
    ogg_sync_state sync;
    ogg_stream_state stream;
    ogg_page page;
    ogg_packet packet;
    vorbis_info info;
    vorbis_comment comment;
    vorbis_dsp_state dsp;
    vorbis_block block;
    ogg_sync_init(&sync);
    vorbis_info_init(&info);
    vorbis_comment_init(&comment);
    char* buffer = ogg_sync_buffer(&sync, static_cast<long>(file.size()));
    std::memcpy(buffer, file.data(), file.size());
    ogg_sync_wrote(&sync, static_cast<long>(file.size()));
    bool stream_ready = false;
    int headers = 0;
    bool synthesis = false;
    while (ogg_sync_pageout(&sync, &page) == 1) {
        if (!stream_ready) {
            ogg_stream_init(&stream, ogg_page_serialno(&page));
            stream_ready = true;
        }
        ogg_stream_pagein(&stream, &page);
        while (ogg_stream_packetout(&stream, &packet) == 1) {
            if (headers < 3) {
                vorbis_synthesis_headerin(&info, &comment, &packet);
                if (++headers == 3) {
                    vorbis_synthesis_init(&dsp, &info);
                    vorbis_block_init(&dsp, &block);
                    synthesis = true;
                    out.channels = static_cast<uint32_t>(info.channels);
                }
                continue;
            }
            if (vorbis_synthesis(&block, &packet) == 0)
                vorbis_synthesis_blockin(&dsp, &block);
            float** pcm;
            int frames;
            while ((frames = vorbis_synthesis_pcmout(&dsp, &pcm)) > 0) {
                for (int i = 0; i < frames; ++i) {
                    for (int c = 0; c < info.channels; ++c) {
                        const int v = static_cast<int>(pcm[c][i] * 32768.0f);
                        out.samples.push_back(static_cast<int16_t>(std::clamp(v, -32768, 32767)));
                    }
                }
                vorbis_synthesis_read(&dsp, frames);
            }
        }
        if (ogg_page_granulepos(&page) >= 0)
            out.granule = ogg_page_granulepos(&page);
    }
    if (synthesis) {
        vorbis_block_clear(&block);
        vorbis_dsp_clear(&dsp);
    }
    if (stream_ready)
        ogg_stream_clear(&stream);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    ogg_sync_clear(&sync);
    return out;
}

std::vector<uint8_t> QuietOgg(uint32_t frames, uint16_t channels, std::vector<std::string> comments)
{
    tools::OggContents ogg;
    ogg.channels = channels;
    ogg.comments = std::move(comments);
    ogg.samples.reserve(static_cast<size_t>(frames) * channels);
    for (uint32_t i = 0; i < frames; ++i) {
        // A sweep, so that every second sounds different and a misplaced block shows.
        const double t = static_cast<double>(i) / 44100.0;
        const double value = 2000.0 * std::sin(2.0 * std::numbers::pi * (220.0 + 60.0 * t) * t);
        for (uint16_t c = 0; c < channels; ++c)
            ogg.samples.push_back(static_cast<int16_t>(std::lround(c == 0 ? value : -value / 2)));
    }
    return tools::WriteOgg(ogg);
}

HANDLE OpenBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    const std::u16string wide = platform::Utf8ToUtf16(path);
    return CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
}
