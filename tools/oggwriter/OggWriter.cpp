#include "oggwriter/OggWriter.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <numbers>

#include <vorbis/vorbisenc.h>

namespace tools {

namespace {

void AppendPage(std::vector<uint8_t>& out, const ogg_page& page)
{
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

} // namespace

std::vector<uint8_t> WriteOgg(const OggContents& ogg)
{
    std::vector<uint8_t> out;
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, ogg.channels, static_cast<long>(ogg.rate), ogg.quality) != 0) {
        vorbis_info_clear(&info);
        return out;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    for (const std::string& text : ogg.comments)
        vorbis_comment_add(&comment, text.c_str());
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 0x5EED);

    ogg_packet identification;
    ogg_packet comments;
    ogg_packet codebooks;
    vorbis_analysis_headerout(&dsp, &comment, &identification, &comments, &codebooks);
    ogg_stream_packetin(&stream, &identification);
    ogg_stream_packetin(&stream, &comments);
    ogg_stream_packetin(&stream, &codebooks);
    ogg_page page;
    // Audio starts on a fresh page, as the format asks.
    while (ogg_stream_flush(&stream, &page) != 0)
        AppendPage(out, page);

    const size_t frames = ogg.channels ? ogg.samples.size() / ogg.channels : 0;
    constexpr size_t CHUNK = 1024;
    size_t done = 0;
    bool ended = false;
    while (!ended) {
        const size_t count = std::min(CHUNK, frames - done);
        if (count > 0) {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
            for (size_t i = 0; i < count; ++i) {
                for (uint16_t c = 0; c < ogg.channels; ++c)
                    buffer[c][i] = ogg.samples[(done + i) * ogg.channels + c] / 32768.0f;
            }
            done += count;
        }
        vorbis_analysis_wrote(&dsp, static_cast<int>(count));
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet) != 0) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) {
                    AppendPage(out, page);
                    if (ogg_page_eos(&page))
                        ended = true;
                }
            }
        }
        if (count == 0 && !ended) {
            while (ogg_stream_flush(&stream, &page) != 0) {
                AppendPage(out, page);
                if (ogg_page_eos(&page))
                    ended = true;
            }
            ended = true;
        }
    }
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

bool WriteOggFile(const std::string& path, const OggContents& ogg)
{
    const std::vector<uint8_t> bytes = WriteOgg(ogg);
    if (bytes.empty())
        return false;
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

std::vector<std::string> OggLoopComments(uint32_t start, uint32_t end)
{
    return {"SampleStart=" + std::to_string(start), "SampleEnd=" + std::to_string(end)};
}

std::vector<uint8_t> CutAfterIdentification(const std::vector<uint8_t>& file)
{
    // Page header: "OggS", version, type, granule (8), serial, sequence, CRC, segment count,
    // then the lacing values whose sum is the body size.
    constexpr size_t SEGMENT_COUNT_AT = 26;
    if (file.size() < SEGMENT_COUNT_AT + 1 || std::memcmp(file.data(), "OggS", 4) != 0)
        return file;
    const size_t segments = file[SEGMENT_COUNT_AT];
    size_t body = 0;
    for (size_t i = 0; i < segments && SEGMENT_COUNT_AT + 1 + i < file.size(); ++i)
        body += file[SEGMENT_COUNT_AT + 1 + i];
    const size_t end = std::min(file.size(), SEGMENT_COUNT_AT + 1 + segments + body);
    return std::vector<uint8_t>(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(end));
}

namespace {

// The page checksum: CRC-32 with the polynomial 0x04C11DB7, no reflection, initial value 0,
// over the page with its checksum field zeroed.
uint32_t PageChecksum(const uint8_t* page, size_t size)
{
    uint32_t crc = 0;
    for (size_t i = 0; i < size; ++i) {
        crc ^= static_cast<uint32_t>(page[i]) << 24;
        for (int bit = 0; bit < 8; ++bit)
            crc = crc & 0x80000000u ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
    }
    return crc;
}

} // namespace

std::vector<uint8_t> WithLastGranule(const std::vector<uint8_t>& file, int64_t granule)
{
    constexpr size_t HEADER = 27;
    std::vector<uint8_t> out = file;
    size_t last = 0;
    size_t last_size = 0;
    for (size_t at = 0; at + HEADER <= out.size();) {
        const size_t segments = out[at + 26];
        size_t body = 0;
        for (size_t i = 0; i < segments && at + HEADER + i < out.size(); ++i)
            body += out[at + HEADER + i];
        last = at;
        last_size = HEADER + segments + body;
        at += last_size;
    }
    if (last_size == 0 || last + last_size > out.size())
        return out;
    for (int i = 0; i < 8; ++i)
        out[last + 6 + i] = static_cast<uint8_t>(static_cast<uint64_t>(granule) >> (8 * i));
    std::fill_n(out.begin() + static_cast<std::ptrdiff_t>(last + 22), 4, 0);
    const uint32_t crc = PageChecksum(out.data() + last, last_size);
    for (int i = 0; i < 4; ++i)
        out[last + 22 + i] = static_cast<uint8_t>(crc >> (8 * i));
    return out;
}

std::vector<uint8_t> WithGarbagePrefix(const std::vector<uint8_t>& file, size_t count)
{
    std::vector<uint8_t> out(count);
    uint32_t state = 12345;
    for (uint8_t& byte : out) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<uint8_t>(state >> 24);
        if (byte == 'O')
            byte = 'o'; // never the start of a capture pattern
    }
    out.insert(out.end(), file.begin(), file.end());
    return out;
}

PlainOggDecoding DecodeOggPlain(const std::vector<uint8_t>& file, bool keep_samples)
{
    PlainOggDecoding out;
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
    bool stream_ready = false;
    int headers = 0;
    std::vector<int16_t> scratch;
    size_t fed = 0;
    size_t count = 0;
    for (;;) {
        const size_t piece = std::min<size_t>(4096, file.size() - fed);
        char* buffer = ogg_sync_buffer(&sync, 4096);
        std::memcpy(buffer, file.data() + fed, piece);
        ogg_sync_wrote(&sync, static_cast<long>(piece));
        fed += piece;
        if (piece == 0)
            break;
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
                        out.channels = static_cast<uint32_t>(info.channels);
                    }
                    continue;
                }
                if (vorbis_synthesis(&block, &packet) == 0)
                    vorbis_synthesis_blockin(&dsp, &block);
                float** pcm;
                int frames;
                while ((frames = vorbis_synthesis_pcmout(&dsp, &pcm)) > 0) {
                    const size_t values = static_cast<size_t>(frames) * out.channels;
                    std::vector<int16_t>& target = keep_samples ? out.samples : scratch;
                    const size_t at = keep_samples ? target.size() : 0;
                    target.resize(at + values);
                    for (uint32_t c = 0; c < out.channels; ++c) {
                        int16_t* o = target.data() + at + c;
                        for (int i = 0; i < frames; ++i, o += out.channels) {
                            const int v = static_cast<int>(pcm[c][i] * 32768.0f);
                            *o = static_cast<int16_t>(std::clamp(v, -32768, 32767));
                        }
                    }
                    count += values;
                    vorbis_synthesis_read(&dsp, frames);
                }
            }
            if (ogg_page_granulepos(&page) >= 0)
                out.granule = ogg_page_granulepos(&page);
        }
    }
    if (headers == 3) {
        vorbis_block_clear(&block);
        vorbis_dsp_clear(&dsp);
    }
    if (stream_ready)
        ogg_stream_clear(&stream);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    ogg_sync_clear(&sync);
    if (!keep_samples)
        out.samples.assign(1, static_cast<int16_t>(count & 0x7FFF));
    return out;
}

std::vector<int16_t> SineSamples(size_t frames, uint16_t channels, double hertz, double amplitude,
                                 uint32_t rate)
{
    std::vector<int16_t> out;
    out.reserve(frames * channels);
    for (size_t i = 0; i < frames; ++i) {
        const double value =
            amplitude * std::sin(2.0 * std::numbers::pi * hertz * static_cast<double>(i) / rate);
        for (uint16_t c = 0; c < channels; ++c)
            out.push_back(static_cast<int16_t>(std::lround(value)));
    }
    return out;
}

} // namespace tools
