#include "sound/OggStreaming.h"

#include "foundation/ScopedLock.h"
#include "platform/kernel/FileApi.h"
#include "platform/kernel/SyncApi.h"
#include "sound/CWaveSoundNotify.h"
#include "sound/SoundSystem.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace {

constexpr DWORD STOP_INDEX = 6;
constexpr DWORD NOTIFY_HANDLES = 7;

} // namespace

template <class Base>
OggStreaming<Base>::OggStreaming() = default;

template <class Base>
OggStreaming<Base>::~OggStreaming()
{
    // Owners destroy before deleting; this only keeps a forgotten Destroy from leaking the pool.
    if (m_decoder_memory)
        Destroy();
}

template <class Base>
void OggStreaming<Base>::ReportDecoderError()
{
    CStringUTF8 text;
    {
        ScopedLock lock(this->m_lock);
        if (m_decoder)
            text = m_decoder->TakeDeferredError();
    }
    if (!text.IsEmpty())
        ShowDecoderError(text);
}

template <class Base>
void OggStreaming<Base>::ThreadProc()
{
    if constexpr (NOTIFY) {
        const HANDLE handles[NOTIFY_HANDLES] = {
            this->m_segment_events[0].GetHandle(), this->m_segment_events[1].GetHandle(),
            this->m_segment_events[2].GetHandle(), this->m_segment_events[3].GetHandle(),
            this->m_data_end_event.GetHandle(),    this->m_stop_position_event.GetHandle(),
            this->m_stop_event.GetHandle()};
        for (;;) {
            const DWORD woken = WaitForMultipleObjects(NOTIFY_HANDLES, handles, FALSE, INFINITE);
            if (woken == WAIT_FAILED)
                return;
            const DWORD index = woken - WAIT_OBJECT_0;
            if (index == STOP_INDEX) {
                this->Stop();
                return;
            }
            // A stopped or paused voice's stream stays where it is.
            this->HandleNotification(index, true);
            if (index < CWaveSoundThread::SEGMENTS) {
                ScopedLock lock(this->m_lock);
                if (m_stop_countdown > 0 && --m_stop_countdown == 0)
                    this->StopAndClose();
            }
            ReportDecoderError();
        }
    } else {
        // The polling loop of the PCM object: Update finds the data end by the position the
        // fill reported, as it does for WAV data.
        while (WaitForSingleObject(this->m_stop_event.GetHandle(), CWaveSoundThread::POLL_MILLISECONDS) ==
               WAIT_TIMEOUT) {
            {
                ScopedLock lock(this->m_lock);
                this->Update();
            }
            ReportDecoderError();
        }
    }
}

template <class Base>
bool OggStreaming<Base>::Create(const WAVEFORMATEX& format, DWORD extra_flags)
{
    m_extra_flags = extra_flags;
    m_decoder_memory = AllocSoundMemory(DECODER_MEMORY);
    if (!m_decoder_memory) {
        this->m_status = SOUND_STATUS_NO_DECODER_MEMORY;
        return false;
    }
    m_decoder_memory_size = DECODER_MEMORY;
    WAVEFORMATEX pcm = format;
    pcm.wFormatTag = WAVE_FORMAT_PCM;
    pcm.cbSize = 0;
    // The base's work block is the decoder's output buffer: one second of the format. The
    // notified form's fade timer starts last, once the decoder is ready.
    if (!CWaveSoundThread::Create(pcm, pcm.nAvgBytesPerSec)) {
        if (this->m_status == SOUND_STATUS_NO_MEMORY)
            this->m_status = SOUND_STATUS_NO_DECODER_MEMORY;
        else if (this->m_status == SOUND_STATUS_THREAD)
            this->m_status = SOUND_STATUS_OGG_THREAD;
        return false;
    }
    m_decoder.reset(new (std::nothrow) COggDecodeUser);
    if (!m_decoder) {
        this->m_status = SOUND_STATUS_NO_DECODER;
        return false;
    }
    // Fills run under the lock; their boxes wait until it is released.
    m_decoder->SetDeferErrors(true);
    if (!m_decoder->Open(this->m_format, m_decoder_memory, m_decoder_memory_size, this->m_work_start,
                         this->m_work_size)) {
        this->m_status = SOUND_STATUS_DECODER_OPEN;
        return false;
    }
    m_mixed.resize(2 * static_cast<size_t>(this->m_work_size));
    m_shift_samples.resize(this->m_bytes_per_second / 2 + 1);
    m_shifter = std::make_unique<PitchShifter>();
    if constexpr (NOTIFY) {
        if (!this->StartTimer())
            return false;
    }
    this->m_status = SOUND_STATUS_OK;
    return true;
}

template <class Base>
ULONG OggStreaming<Base>::Destroy()
{
    const ULONG result = Base::Destroy();
    m_decoder.reset();
    FreeSoundMemory(m_decoder_memory, m_decoder_memory_size);
    m_decoder_memory = nullptr;
    m_decoder_memory_size = 0;
    return result;
}

template <class Base>
bool OggStreaming<Base>::CreateBuffer(const WAVEFORMATEX& format, DWORD flags)
{
    return Base::CreateBuffer(format, flags | m_extra_flags);
}

template <class Base>
bool OggStreaming<Base>::Start()
{
    const bool result = Base::Start();
    ReportDecoderError();
    return result;
}

template <class Base>
bool OggStreaming<Base>::FadeTo(DWORD time, LONG target, BYTE stop_at_end)
{
    if constexpr (NOTIFY)
        return Base::FadeTo(time, target, stop_at_end);
    return false;
}

template <class Base>
bool OggStreaming<Base>::StopAndClose()
{
    const bool result = Base::StopAndClose();
    if (m_decoder)
        m_decoder->Reset();
    // Closed even when the buffer would not stop; only a missing buffer keeps its status.
    if (this->m_buffer)
        this->m_status = SOUND_STATUS_OK;
    return result;
}

template <class Base>
bool OggStreaming<Base>::OpenOggData(HANDLE file, DWORD offset, DWORD size)
{
    if (!this->m_buffer) {
        this->m_status = SOUND_STATUS_NO_BUFFER;
        return false;
    }
    bool result = false;
    {
        ScopedLock lock(this->m_lock);
        StopAndClose();
        if (!m_decoder) {
            this->m_status = SOUND_STATUS_NO_DECODER;
            return false;
        }
        this->m_data_start = offset;
        HANDLE copy = nullptr;
        if (file)
            DuplicateHandle(GetCurrentProcess(), file, GetCurrentProcess(), &copy, GENERIC_READ, TRUE, 0);
        this->m_data_file.Attach(copy);
        if (!this->m_data_file.GetHandle()) {
            this->m_status = SOUND_STATUS_DUPLICATE;
            return false;
        }
        this->m_data_file.Seek(offset, FILE_BEGIN);
        this->m_loop = WaveLoopRecord{};
        this->m_loop.start = CWaveSoundThread::NO_LOOP;
        this->m_loop.end = CWaveSoundThread::NO_LOOP;
        if (!m_decoder->Attach(this->m_data_file.GetHandle(), size, offset, &this->m_loop)) {
            // Nothing half-made may play: Start now fails for want of data.
            this->m_data_file.Close();
            m_decoder->Reset();
            this->m_status = SOUND_STATUS_DECODER_ATTACH;
        } else {
            const uint32_t stream_channels = m_decoder->GetChannels();
            const uint32_t out_block = this->m_format.nBlockAlign;
            const uint32_t stream_block = stream_channels * (this->m_format.wBitsPerSample / 8u);
            const uint64_t frames = stream_block ? m_decoder->GetTotalBytes() / stream_block : 0;
            m_total_size = static_cast<uint32_t>(std::min<uint64_t>(frames * out_block, 0xFFFFFFF0u));
            m_stream_format = this->m_format;
            m_stream_format.nChannels = static_cast<WORD>(stream_channels);
            m_stream_format.nBlockAlign = static_cast<WORD>(stream_block);
            m_stream_format.nAvgBytesPerSec = stream_block * m_stream_format.nSamplesPerSec;
            m_mixing = stream_channels != this->m_format.nChannels;
            this->m_data_start = m_decoder->GetFilePosition();
            this->m_read_position = 0;
            // Loop points are pulled into the stream; one that would not move forward plays once.
            this->m_loop_start = CWaveSoundThread::NO_LOOP;
            this->m_loop_end = m_total_size;
            if (this->m_loop.start != CWaveSoundThread::NO_LOOP) {
                const uint64_t start = static_cast<uint64_t>(out_block) * this->m_loop.start;
                const uint64_t end =
                    std::min<uint64_t>(static_cast<uint64_t>(out_block) * this->m_loop.end, m_total_size);
                if (start < end) {
                    this->m_loop_start = static_cast<uint32_t>(start);
                    this->m_loop_end = static_cast<uint32_t>(end);
                }
            }
            this->m_available = 0;
            this->m_read_index = 0;
            this->m_pending = 0;
            this->m_data_state = CWaveSoundThread::DATA_REMAINS;
            m_empty_blocks = 0;
            m_stop_countdown = -1;
            m_block = this->m_work_start;
            this->SetOutputDataSize(m_total_size);
            if (m_shifter)
                m_shifter->Clear();
            this->m_status = SOUND_STATUS_OK;
            result = true;
            if constexpr (NOTIFY)
                result = this->SetNotifyPositions();
        }
    }
    ReportDecoderError();
    return result;
}

template <class Base>
bool OggStreaming<Base>::OpenOggFile(HANDLE file)
{
    if (!file) {
        this->m_status = SOUND_STATUS_DUPLICATE;
        return false;
    }
    const DWORD position = SetFilePointer(file, 0, nullptr, FILE_CURRENT);
    const DWORD size = GetFileSize(file, nullptr);
    if (position == INVALID_SET_FILE_POINTER || size == INVALID_FILE_SIZE || position > size) {
        this->m_status = SOUND_STATUS_DUPLICATE;
        return false;
    }
    return OpenOggData(file, position, size - position);
}

template <class Base>
bool OggStreaming<Base>::NextBlock()
{
    int32_t end_state = 0;
    uint32_t bytes = 0;
    this->m_available = 0;
    this->m_read_index = 0;
    if (!m_decoder || !m_decoder->GetOutput(&end_state, &bytes))
        return false;
    // Pure silence after the stream's end: nothing real can follow.
    if (end_state == COggDecodeBase::END_SILENCE)
        return false;
    if (bytes == 0)
        return ++m_empty_blocks < 2;
    m_empty_blocks = 0;
    if (!m_mixing) {
        m_block = this->m_work_start;
        this->m_available = bytes;
        return true;
    }
    const uint32_t frames = bytes / m_stream_format.nBlockAlign;
    uint32_t consumed = 0;
    // Same rate on both sides: each block converts on its own, frame for frame.
    m_channel_converter.Reset(m_stream_format, this->m_format);
    const uint32_t written =
        m_channel_converter.Convert(this->m_work_start, frames, &consumed, m_mixed.data(),
                                    static_cast<uint32_t>(m_mixed.size() / this->m_format.nBlockAlign), true);
    m_block = m_mixed.data();
    this->m_available = written * this->m_format.nBlockAlign;
    return this->m_available > 0 || ++m_empty_blocks < 2;
}

template <class Base>
bool OggStreaming<Base>::RestartAtLoop()
{
    m_decoder->Reset();
    if (!m_decoder->Attach(nullptr, 0, 0, nullptr))
        return false;
    this->m_read_position = 0;
    this->m_available = 0;
    this->m_read_index = 0;
    m_empty_blocks = 0;
    uint32_t sum = 0;
    while (sum < this->m_loop_start) {
        if (!NextBlock())
            return false;
        if (sum + this->m_available > this->m_loop_start) {
            this->m_read_index = this->m_loop_start - sum;
            this->m_available -= this->m_read_index;
            break;
        }
        sum += this->m_available;
        this->m_available = 0;
    }
    this->m_read_position = this->m_loop_start;
    return true;
}

template <class Base>
void OggStreaming<Base>::CopyOut(BYTE* dest, const BYTE* source, uint32_t bytes, bool shifting, float ratio)
{
    if (!shifting) {
        std::memcpy(dest, source, bytes);
        return;
    }
    float* samples = m_shift_samples.data();
    const auto room = static_cast<uint32_t>(m_shift_samples.size());
    for (uint32_t done = 0; done < bytes / 2;) {
        const uint32_t count = std::min(bytes / 2 - done, room);
        const BYTE* in = source + 2 * done;
        BYTE* out = dest + 2 * done;
        for (uint32_t i = 0; i < count; ++i) {
            int16_t value;
            std::memcpy(&value, in + 2 * i, 2);
            samples[i] = value * (1.0f / 32768.0f);
        }
        m_shifter->PitchShiftPhaseVocoder(ratio, count, 44100.0f, samples, samples);
        for (uint32_t i = 0; i < count; ++i) {
            const auto value =
                static_cast<int16_t>(std::clamp(static_cast<int>(samples[i] * 32768.0f), -32768, 32767));
            std::memcpy(out + 2 * i, &value, 2);
        }
        done += count;
    }
    if (bytes & 1)
        dest[bytes - 1] = source[bytes - 1];
}

template <class Base>
DWORD OggStreaming<Base>::FillBuffer(BYTE* dest, DWORD n)
{
    DWORD result = CWaveSoundThread::NO_END;
    const float shift = this->m_pitch + this->m_speed_compensation;
    const bool shifting = this->m_effects_enabled && static_cast<int>(shift) != 0 &&
                          this->m_format.wBitsPerSample == 16 && m_shifter && !m_shift_samples.empty();
    const float ratio = std::pow(2.0f, shift / 12.0f);
    DWORD done = 0;
    auto end_data = [&](bool early) {
        this->m_data_state = CWaveSoundThread::DATA_LAST_READ;
        if (result == CWaveSoundThread::NO_END)
            result = done;
        // The notification positions know only the stream's own end; an end before it is
        // passed once the play cursor has gone round the buffer past this fill.
        if (early)
            m_stop_countdown = CWaveSoundThread::SEGMENTS;
    };
    while (done < n) {
        if (this->m_data_state != CWaveSoundThread::DATA_REMAINS || !m_decoder) {
            this->FillSilence(dest + done, n - done);
            break;
        }
        const uint32_t left = this->m_loop_end - this->m_read_position;
        if (this->m_available > 0 && left > 0) {
            const uint32_t c = std::min({n - done, left, this->m_available});
            CopyOut(dest + done, m_block + this->m_read_index, c, shifting, ratio);
            this->m_available -= c;
            this->m_read_index += c;
            this->m_read_position += c;
            done += c;
        } else if (left > 0) {
            if (!NextBlock())
                end_data(true);
        } else if (!this->HasLoop()) {
            end_data(false);
        } else if (!RestartAtLoop()) {
            end_data(true);
        }
    }
    // The notification form finds the end by position; the polled one by this offset.
    return result;
}

template class OggStreaming<CWaveSoundThread>;
template class OggStreaming<CWaveSoundNotify>;
