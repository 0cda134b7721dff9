#include "sound/COggDecodeBase.h"

#include "platform/user/MessageBoxApi.h"
#include "sound/CWaveSoundThread.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string_view>

#include <ogg/ogg.h>
#include <vorbis/codec.h>

namespace {

constexpr const char* ERROR_SYNC_WROTE = "return error [ ogg_sync_wrote() ]";
constexpr const char* ERROR_PAGEOUT = "return error [ ogg_sync_pageout() ]";
constexpr const char* ERROR_STREAM_INIT = "return error [ ogg_stream_init() ]";
constexpr const char* ERROR_PAGEIN = "return error [ ogg_stream_pagein() ]";
constexpr const char* ERROR_PACKETOUT = "return error [ ogg_stream_packetout() ]";
constexpr const char* ERROR_HEADERIN = "return error [ vorbis_synthesis_headerin() ]";
constexpr const char* ERROR_BROKEN = "データの構築に失敗しました。ファイルが不正です";
constexpr const char* ERROR_NO_MEMORY = "作業用メモリの確保に失敗しました。";
constexpr const char* START_KEY = "SampleStart=";
constexpr const char* END_KEY = "SampleEnd=";
constexpr size_t START_KEY_LENGTH = 12;
constexpr size_t END_KEY_LENGTH = 10;

// atoi's reading (blanks, sign, digits) without its undefined overflow.
uint32_t ReadDecimal(const char* text)
{
    return static_cast<uint32_t>(std::strtoll(text, nullptr, 10));
}

} // namespace

struct COggDecodeBase::LibraryState
{
    ogg_sync_state sync{};
    ogg_page page{};
    ogg_stream_state stream{};
    ogg_packet packet{};
    vorbis_info info{};
    vorbis_comment comment{};
    vorbis_dsp_state dsp{};
    vorbis_block block{};
    bool sync_live = false;
    bool stream_live = false;
    bool info_live = false;
    bool synthesis_live = false;
};

void ShowDecoderError(const CStringUTF8& text)
{
    MessageBoxW(nullptr, text.GetWideText(), u"エラー", MB_ICONERROR | MB_TOPMOST);
}

COggDecodeBase::COggDecodeBase()
    : m_state(std::make_unique<LibraryState>())
{}

COggDecodeBase::~COggDecodeBase()
{
    // An owner that never reset the decoder still leaves nothing behind.
    ClearLibraryState();
    m_open = 0;
}

bool COggDecodeBase::Fail(const char* message)
{
    if (!m_defer_errors)
        ShowDecoderError(message);
    else if (m_deferred_error.IsEmpty())
        m_deferred_error = message;
    return false;
}

CStringUTF8 COggDecodeBase::TakeDeferredError()
{
    CStringUTF8 taken = m_deferred_error;
    m_deferred_error.Empty();
    return taken;
}

bool COggDecodeBase::Open(const WAVEFORMATEX& format, void* work, uint32_t work_size, void* output,
                          uint32_t output_size)
{
    if (m_open)
        return true;
    m_file.reset(new (std::nothrow) COggFileUser);
    if (!m_file)
        return Fail(ERROR_NO_MEMORY);
    m_format = format;
    m_work = static_cast<uint8_t*>(work);
    m_work_size = work_size;
    m_output = static_cast<uint8_t*>(output);
    m_output_size = output_size;
    m_open = 1;
    return true;
}

void COggDecodeBase::ClearLibraryState()
{
    LibraryState& s = *m_state;
    if (s.synthesis_live) {
        vorbis_block_clear(&s.block);
        vorbis_dsp_clear(&s.dsp);
        s.synthesis_live = false;
    }
    if (s.stream_live) {
        ogg_stream_clear(&s.stream);
        s.stream_live = false;
    }
    if (s.info_live) {
        vorbis_comment_clear(&s.comment);
        vorbis_info_clear(&s.info);
        s.info_live = false;
    }
    if (s.sync_live) {
        ogg_sync_clear(&s.sync);
        s.sync_live = false;
    }
}

void COggDecodeBase::Reset()
{
    if (!m_open)
        return;
    ClearLibraryState();
    m_end_state = END_NOT_STARTED;
    m_total_bytes = 0;
    m_pending = 0;
    m_output_fill = 0;
}

bool COggDecodeBase::Attach(HANDLE handle, uint32_t size, uint32_t offset, WaveLoopRecord* loop)
{
    if (!m_open)
        return false;
    if (handle) {
        Reset();
        m_file->Open(handle, size, offset);
        if (!MeasureLength())
            return false;
    } else if (!m_file->IsOpen() || !m_file->Rewind()) {
        return false;
    }
    if (!ReadHeaders())
        return false;
    LibraryState& s = *m_state;
    if (vorbis_synthesis_init(&s.dsp, &s.info) != 0)
        return Fail(ERROR_HEADERIN);
    vorbis_block_init(&s.dsp, &s.block);
    s.synthesis_live = true;
    if (handle && loop)
        ReadLoopPoints(loop);
    m_output_fill = 0;
    m_pending = 0;
    m_end_state = END_DECODING;
    return true;
}

uint32_t COggDecodeBase::GetFilePosition()
{
    return m_file ? m_file->GetPosition() : 0;
}

uint32_t COggDecodeBase::GetTotalBytes()
{
    return m_total_bytes;
}

uint32_t COggDecodeBase::GetChannels() const
{
    return m_state->info_live ? static_cast<uint32_t>(std::max(m_state->info.channels, 0)) : 0;
}

bool COggDecodeBase::FeedSync(uint32_t* bytes)
{
    LibraryState& s = *m_state;
    char* buffer = ogg_sync_buffer(&s.sync, m_read_request);
    *bytes = 0;
    if (!buffer)
        return Fail(ERROR_SYNC_WROTE);
    m_file->Read(buffer, m_read_request); // a failed read hands over what arrived
    *bytes = m_file->GetReadSize();
    if (ogg_sync_wrote(&s.sync, static_cast<long>(*bytes)) != 0)
        return Fail(ERROR_SYNC_WROTE);
    return true;
}

bool COggDecodeBase::ReadHeaders()
{
    ClearLibraryState();
    LibraryState& s = *m_state;
    ogg_sync_init(&s.sync);
    s.sync_live = true;
    uint32_t bytes = 0;
    if (!FeedSync(&bytes))
        return false;
    if (ogg_sync_pageout(&s.sync, &s.page) != 1)
        return Fail(ERROR_PAGEOUT);
    if (ogg_stream_init(&s.stream, ogg_page_serialno(&s.page)) != 0)
        return Fail(ERROR_STREAM_INIT);
    s.stream_live = true;
    vorbis_info_init(&s.info);
    vorbis_comment_init(&s.comment);
    s.info_live = true;
    if (ogg_stream_pagein(&s.stream, &s.page) < 0)
        return Fail(ERROR_PAGEIN);
    if (ogg_stream_packetout(&s.stream, &s.packet) != 1)
        return Fail(ERROR_PACKETOUT);
    if (vorbis_synthesis_headerin(&s.info, &s.comment, &s.packet) < 0)
        return Fail(ERROR_HEADERIN);

    int headers = 0;
    for (;;) {
        while (headers < 2) {
            const int found = ogg_sync_pageout(&s.sync, &s.page);
            if (found == 0)
                break;
            if (found < 0)
                continue; // a lost sync is skipped while the other headers are looked for
            if (ogg_stream_pagein(&s.stream, &s.page) < 0)
                return Fail(ERROR_PAGEIN);
            while (headers < 2) {
                const int result = ogg_stream_packetout(&s.stream, &s.packet);
                if (result == 0)
                    break;
                if (result < 0)
                    return Fail(ERROR_PACKETOUT);
                vorbis_synthesis_headerin(&s.info, &s.comment, &s.packet);
                ++headers;
            }
        }
        char* buffer = ogg_sync_buffer(&s.sync, m_read_request);
        if (!buffer)
            return Fail(ERROR_SYNC_WROTE);
        m_file->Read(buffer, m_read_request);
        bytes = m_file->GetReadSize();
        if (headers < 2 && bytes == 0)
            return Fail(ERROR_BROKEN);
        if (ogg_sync_wrote(&s.sync, static_cast<long>(bytes)) != 0)
            return Fail(ERROR_SYNC_WROTE);
        if (headers == 2)
            return true;
    }
}

bool COggDecodeBase::MeasureLength()
{
    if (!ReadHeaders())
        return false;
    LibraryState& s = *m_state;
    ogg_int64_t granule = 0;
    bool ended = false;
    while (!ended) {
        int found;
        while ((found = ogg_sync_pageout(&s.sync, &s.page)) != 0) {
            if (found < 0)
                return Fail(ERROR_PAGEOUT);
            if (ogg_stream_pagein(&s.stream, &s.page) < 0)
                return Fail(ERROR_PAGEIN);
            int result;
            while ((result = ogg_stream_packetout(&s.stream, &s.packet)) != 0) {
                if (result < 0)
                    return Fail(ERROR_PACKETOUT);
            }
            // A page on which no packet ends carries -1: it tells no length.
            if (ogg_page_granulepos(&s.page) >= 0)
                granule = ogg_page_granulepos(&s.page);
            if (ogg_page_eos(&s.page)) {
                ended = true;
                break;
            }
        }
        if (ended)
            break;
        uint32_t bytes = 0;
        if (!FeedSync(&bytes))
            return false;
        ended = bytes == 0;
    }
    const uint32_t total = SamplesToBytes(static_cast<uint32_t>(granule & 0xFFFFFFFF));
    Reset();
    m_total_bytes = total;
    m_file->Rewind();
    return true;
}

bool COggDecodeBase::GetOutput(int32_t* end_state, uint32_t* byte_count)
{
    *end_state = 0;
    *byte_count = 0;
    if (m_end_state == END_NOT_STARTED)
        return false;
    if (m_end_state >= END_INPUT_ENDED) {
        FlushTail(byte_count);
        *end_state = m_end_state;
        return true;
    }
    if (m_pending >= m_output_size) {
        MoveToOutput();
        *byte_count = m_output_fill;
        m_output_fill = 0;
        *end_state = m_end_state;
        return true;
    }
    const bool result = DecodeChunk(byte_count);
    *end_state = m_end_state;
    return result;
}

void COggDecodeBase::ConvertBlock(float** pcm, uint32_t frames)
{
    const uint32_t room = m_work_size - m_pending;
    if (room < SamplesToBytes(frames))
        frames = BytesToSamples(room); // the rest of the block is dropped
    uint8_t* dest = m_work + m_pending;
    m_pending +=
        m_format.wBitsPerSample == 8 ? ConvertTo8Bit(pcm, frames, dest) : ConvertTo16Bit(pcm, frames, dest);
}

template <class Take>
bool COggDecodeBase::SynthesizePage(Take take)
{
    LibraryState& s = *m_state;
    if (ogg_stream_pagein(&s.stream, &s.page) < 0)
        return Fail(ERROR_PAGEIN);
    int result;
    while ((result = ogg_stream_packetout(&s.stream, &s.packet)) != 0) {
        if (result < 0)
            return Fail(ERROR_PACKETOUT);
        if (vorbis_synthesis(&s.block, &s.packet) == 0)
            vorbis_synthesis_blockin(&s.dsp, &s.block);
        float** pcm = nullptr;
        int frames;
        while ((frames = vorbis_synthesis_pcmout(&s.dsp, &pcm)) > 0) {
            take(pcm, static_cast<uint32_t>(frames));
            vorbis_synthesis_read(&s.dsp, frames); // every frame is consumed, taken or not
        }
    }
    return true;
}

bool COggDecodeBase::DecodeChunk(uint32_t* byte_count)
{
    LibraryState& s = *m_state;
    bool more = true;
    for (;;) {
        bool check = false;
        const int found = ogg_sync_pageout(&s.sync, &s.page);
        if (found == 0) {
            uint32_t bytes = 0;
            if (!FeedSync(&bytes))
                return false;
            if (bytes == 0) {
                more = false;
                m_end_state = m_pending > 0 ? END_INPUT_ENDED : END_ALL_DELIVERED;
            }
            check = true;
        } else if (found < 0) {
            return Fail(ERROR_PAGEOUT);
        } else {
            const bool synthesized = SynthesizePage([this](float** pcm, uint32_t frames) {
                ConvertBlock(pcm, frames);
                MoveToOutput();
            });
            if (!synthesized)
                return false;
            if (ogg_page_eos(&s.page)) {
                more = false;
                check = true;
            }
        }
        if (!check)
            continue;
        if (m_end_state >= END_INPUT_ENDED || m_output_fill >= m_output_size) {
            *byte_count = m_output_fill;
            m_output_fill = 0;
            return true;
        }
        if (!more)
            return true;
    }
}

void COggDecodeBase::MoveToOutput()
{
    const uint32_t n = std::min(m_pending, m_output_size - m_output_fill);
    std::memcpy(m_output + m_output_fill, m_work, n);
    m_output_fill += n;
    m_pending -= n;
    // Nothing moved (the output is full): the pending bytes stay where they are.
    if (n > 0 && m_pending > 0)
        std::memmove(m_work, m_work + n, m_pending);
}

void COggDecodeBase::FlushTail(uint32_t* byte_count)
{
    const uint32_t moved = std::min(m_pending, m_output_size - m_output_fill);
    std::memcpy(m_output + m_output_fill, m_work, moved);
    m_pending -= moved;
    if (m_pending == 0)
        m_end_state = END_ALL_DELIVERED;
    else
        std::memmove(m_work, m_work + moved, m_pending);
    // A copy: the packed format's fields may not be bound to references.
    const uint32_t bytes_per_second = m_format.nAvgBytesPerSec;
    const uint32_t second = std::min(bytes_per_second, m_output_size);
    if (second > m_output_fill + moved) {
        std::memset(m_output + m_output_fill + moved, m_format.wBitsPerSample == 8 ? 128 : 0,
                    second - m_output_fill - moved);
        if (moved == 0)
            m_end_state = END_SILENCE;
    }
    *byte_count = second;
}

uint32_t COggDecodeBase::BytesToSamples(uint32_t bytes)
{
    const uint32_t frame = GetChannels() * (m_format.wBitsPerSample / 8u);
    return frame ? bytes / frame : 0;
}

uint32_t COggDecodeBase::SamplesToBytes(uint32_t frames)
{
    return frames * GetChannels() * (m_format.wBitsPerSample / 8u);
}

uint32_t COggDecodeBase::ConvertTo16Bit(float** pcm, uint32_t frames, uint8_t* dest)
{
    const uint32_t channels = GetChannels();
    auto* out = reinterpret_cast<int16_t*>(dest);
    for (uint32_t c = 0; c < channels; ++c) {
        const float* in = pcm[c];
        int16_t* o = out + c;
        for (uint32_t i = 0; i < frames; ++i, o += channels) {
            const int v = static_cast<int>(in[i] * 32768.0f);
            *o = static_cast<int16_t>(std::clamp(v, -32768, 32767));
        }
    }
    return frames * channels * 2;
}

uint32_t COggDecodeBase::ConvertTo8Bit(float** pcm, uint32_t frames, uint8_t* dest)
{
    const uint32_t channels = GetChannels();
    for (uint32_t c = 0; c < channels; ++c) {
        const float* in = pcm[c];
        for (uint32_t i = 0; i < frames; ++i) {
            const int v = std::clamp(static_cast<int>(in[i] * 128.0f), -128, 127);
            dest[i * channels + c] = static_cast<uint8_t>(v + 128);
        }
    }
    return frames * channels;
}

void COggDecodeBase::ReadLoopPoints(WaveLoopRecord* loop)
{
    const vorbis_comment& comment = m_state->comment;
    for (int i = 0; i < comment.comments; ++i) {
        const char* text = comment.user_comments[i];
        const size_t length = static_cast<size_t>(std::max(comment.comment_lengths[i], 0));
        const std::string_view view(text, length);
        // The number is read right after the key's length from the comment's start, wherever
        // the key stands in it.
        if (view.find(START_KEY) != std::string_view::npos)
            loop->start = ReadDecimal(text + START_KEY_LENGTH);
        if (view.find(END_KEY) != std::string_view::npos)
            loop->end = ReadDecimal(text + END_KEY_LENGTH);
    }
}

bool COggDecodeBase::DecodeAll(int32_t* end_state, uint32_t* byte_count)
{
    if (!m_open || m_end_state == END_NOT_STARTED)
        return false;
    *end_state = 0;
    *byte_count = 0;
    LibraryState& s = *m_state;
    bool more = true;
    while (more) {
        const int found = ogg_sync_pageout(&s.sync, &s.page);
        if (found == 0) {
            uint32_t bytes = 0;
            if (!FeedSync(&bytes))
                return false;
            more = bytes > 0;
            continue;
        }
        if (found < 0)
            return Fail(ERROR_PAGEOUT);
        const bool synthesized = SynthesizePage([&](float** pcm, uint32_t frames) {
            // Bounded by the output buffer: what does not fit is dropped.
            const uint32_t room = m_output_size - *byte_count;
            if (SamplesToBytes(frames) > room)
                frames = BytesToSamples(room);
            uint8_t* dest = m_output + *byte_count;
            *byte_count += m_format.wBitsPerSample == 8 ? ConvertTo8Bit(pcm, frames, dest)
                                                        : ConvertTo16Bit(pcm, frames, dest);
        });
        if (!synthesized)
            return false;
        if (ogg_page_eos(&s.page))
            more = false;
    }
    m_end_state = END_ALL_DELIVERED;
    *end_state = END_ALL_DELIVERED;
    return true;
}
