#include "sound/CWaveSoundThread.h"

#include "foundation/ScopedLock.h"
#include "platform/kernel/FileApi.h"
#include "platform/kernel/SyncApi.h"
#include "sound/SoundSystem.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr float BAND_CENTRES[CWaveSoundThread::EQUALIZER_BANDS] = {80,   160,  320,   600,   1000,
                                                                   3000, 6000, 12000, 14000, 16000};
constexpr uint32_t STAGING_FRAMES = 4096;
constexpr uint32_t RIFF_HEADER_BYTES = 12;
constexpr uint32_t CHUNK_HEADER_BYTES = 8;
constexpr uint32_t SAMPLER_HEADER_BYTES = 36;
constexpr uint32_t LOOP_RECORD_BYTES = 24;
constexpr uint32_t EXTENSIBLE_FORMAT_BYTES = 40;
// KSDATAFORMAT_SUBTYPE_PCM as stored.
constexpr BYTE PCM_SUBFORMAT[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                    0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

uint32_t Le32(const BYTE* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

uint16_t Le16(const BYTE* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

// Reads exactly n bytes at the file's position; false on a short read.
bool ReadExact(HANDLE file, void* buffer, DWORD n)
{
    DWORD got = 0;
    return ReadFile(file, buffer, n, &got, nullptr) && got == n;
}

bool SeekTo(HANDLE file, uint64_t position)
{
    if (position > 0xFFFFFFFFu)
        return false;
    return SetFilePointer(file, static_cast<LONG>(static_cast<uint32_t>(position)), nullptr, FILE_BEGIN) !=
           INVALID_SET_FILE_POINTER;
}

} // namespace

CWaveSoundThread::CWaveSoundThread()
{
    m_loop.start = NO_LOOP;
}

CWaveSoundThread::~CWaveSoundThread()
{
    m_data_file.Close();
}

void CWaveSoundThread::ThreadProc()
{
    while (WaitForSingleObject(m_stop_event.GetHandle(), POLL_MILLISECONDS) == WAIT_TIMEOUT) {
        ScopedLock lock(m_lock);
        Update();
    }
}

bool CWaveSoundThread::Create(const WAVEFORMATEX& format, DWORD work_size)
{
    m_pool_block = AllocSoundMemory(work_size);
    if (!m_pool_block) {
        m_status = SOUND_STATUS_NO_MEMORY;
        return false;
    }
    m_pool_size = work_size;
    m_work_start = static_cast<BYTE*>(m_pool_block);
    m_work_size = work_size;
    m_work_end = m_work_start + work_size;
    if (!CreateBuffer(format, BUFFER_FLAGS) || !SetupEffects())
        return false;
    m_stop_event.Create(true, false);
    if (!StartThread(SoundThreadEntry, &m_thread, &m_thread_id)) {
        Destroy();
        m_status = SOUND_STATUS_THREAD;
        return false;
    }
    m_status = SOUND_STATUS_OK;
    return true;
}

ULONG CWaveSoundThread::Destroy()
{
    Stop();
    if (m_thread) {
        m_stop_event.Set();
        JoinThread(&m_thread);
    }
    m_stop_event.Close();
    m_last_release = 0;
    ReleaseBuffer();
    FreeSoundMemory(m_pool_block, m_pool_size);
    m_pool_block = nullptr;
    m_pool_size = 0;
    m_work_start = m_work_end = nullptr;
    m_work_size = 0;
    return m_last_release;
}

void CWaveSoundThread::SetNextDataFormat(const WAVEFORMATEX& format)
{
    m_next_data_format = format;
    m_has_next_data_format = true;
}

bool CWaveSoundThread::OpenData(HANDLE file, DWORD data_start, DWORD data_size, DWORD loop_start,
                                DWORD loop_end)
{
    if (!file) {
        m_has_next_data_format = false;
        m_status = SOUND_STATUS_NO_FILE;
        return false;
    }
    if (!m_buffer) {
        m_has_next_data_format = false;
        m_status = SOUND_STATUS_NO_BUFFER;
        return false;
    }
    // Locked so that a notification still in flight cannot fill from the stream being reset.
    ScopedLock lock(m_lock);
    Stop();
    m_data_format = m_has_next_data_format ? m_next_data_format : m_format;
    m_has_next_data_format = false;
    m_converting = !WaveFormatConverter::IsSameFormat(m_data_format, m_format);
    if (m_converting && !WaveFormatConverter::CanConvert(m_data_format, m_format)) {
        m_status = SOUND_STATUS_BAD_FORMAT;
        return false;
    }
    const uint32_t block = m_data_format.nBlockAlign ? m_data_format.nBlockAlign : 1;
    if (m_converting)
        data_size -= data_size % block; // the converter takes whole frames

    // Loop points beyond the data are pulled back to its end, and a loop that would not move
    // forward plays the data once instead of never filling the buffer.
    m_loop_start = NO_LOOP;
    m_loop_end = data_size;
    if (loop_start != NO_LOOP) {
        const uint64_t start = static_cast<uint64_t>(block) * loop_start;
        const uint64_t end = std::min<uint64_t>(static_cast<uint64_t>(block) * loop_end, data_size);
        if (start < end) {
            m_loop_start = static_cast<uint32_t>(start);
            m_loop_end = static_cast<uint32_t>(end);
        }
    }
    m_data_start = data_start;
    m_data_end = data_start + data_size;
    m_work_start = static_cast<BYTE*>(m_pool_block);
    m_work_end = m_work_start + m_work_size;
    m_read_position = 0;
    m_available = 0;
    m_read_index = 0;
    m_pending = 0;
    m_file_position = data_start;
    m_stream_failed = false;
    if (m_work_start)
        FillSilence(m_work_start, m_work_size);
    if (m_converting) {
        m_converter.Reset(m_data_format, m_format);
        m_staging.clear();
        m_staging_used = 0;
        m_source_ended = false;
        m_output_data_size =
            static_cast<uint32_t>(m_converter.OutputFrames(data_size / block) * m_format.nBlockAlign);
    } else {
        m_output_data_size = data_size;
    }

    HANDLE copy = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), file, GetCurrentProcess(), &copy, GENERIC_READ, TRUE, 0) ||
        !copy) {
        m_status = SOUND_STATUS_DUPLICATE;
        return false;
    }
    m_data_file.Attach(copy);
    if (!m_data_file.GetHandle()) {
        m_status = SOUND_STATUS_DUPLICATE;
        return false;
    }
    m_status = SOUND_STATUS_OK;
    return true;
}

bool CWaveSoundThread::ReadWaveHeader(HANDLE file)
{
    if (!file) {
        m_status = SOUND_STATUS_NO_FILE;
        return false;
    }
    if (!m_buffer) {
        m_status = SOUND_STATUS_NO_BUFFER;
        return false;
    }
    Stop();
    m_loop = WaveLoopRecord{};
    m_loop.start = NO_LOOP;

    const DWORD entry_start = SetFilePointer(file, 0, nullptr, FILE_CURRENT);
    BYTE header[RIFF_HEADER_BYTES];
    if (entry_start == INVALID_SET_FILE_POINTER || !ReadExact(file, header, RIFF_HEADER_BYTES) ||
        std::memcmp(header, "RIFF", 4) != 0) {
        m_status = SOUND_STATUS_NOT_RIFF;
        return false;
    }
    if (std::memcmp(header + 8, "WAVE", 4) != 0) {
        m_status = SOUND_STATUS_NOT_WAVE;
        return false;
    }
    const uint64_t riff_end = static_cast<uint64_t>(entry_start) + 8 + Le32(header + 4);
    const uint64_t scan_limit = riff_end - 12; // entry start + RIFF size - 4
    const DWORD file_size = GetFileSize(file, nullptr);

    bool found_data = false;
    uint64_t data_start = 0;
    uint64_t data_size = 0;
    bool found_format = false;
    WAVEFORMATEX data_format{};
    uint64_t position = static_cast<uint64_t>(entry_start) + RIFF_HEADER_BYTES;
    while (position < scan_limit) {
        BYTE chunk[CHUNK_HEADER_BYTES];
        if (!SeekTo(file, position) || !ReadExact(file, chunk, CHUNK_HEADER_BYTES))
            break;
        const uint32_t size = Le32(chunk + 4);
        const uint64_t body = position + CHUNK_HEADER_BYTES;
        if (std::memcmp(chunk, "data", 4) == 0) {
            found_data = true;
            data_start = body;
            data_size = size;
        } else if (std::memcmp(chunk, "smpl", 4) == 0) {
            BYTE sampler[SAMPLER_HEADER_BYTES];
            BYTE loop[LOOP_RECORD_BYTES];
            if (size >= SAMPLER_HEADER_BYTES && ReadExact(file, sampler, SAMPLER_HEADER_BYTES) &&
                Le32(sampler + 28) != 0 && size >= SAMPLER_HEADER_BYTES + LOOP_RECORD_BYTES &&
                ReadExact(file, loop, LOOP_RECORD_BYTES)) {
                m_loop = {Le32(loop),      Le32(loop + 4),  Le32(loop + 8),
                          Le32(loop + 12), Le32(loop + 16), Le32(loop + 20)};
            }
        } else if (std::memcmp(chunk, "fmt ", 4) == 0) {
            // Read so that data in another format is converted, not played at the wrong speed.
            BYTE fmt[EXTENSIBLE_FORMAT_BYTES];
            if (size >= 16 && ReadExact(file, fmt, 16)) {
                found_format = true;
                data_format = {
                    Le16(fmt), Le16(fmt + 2), Le32(fmt + 4), Le32(fmt + 8), Le16(fmt + 12), Le16(fmt + 14),
                    0};
                // The extensible form names its encoding by a sub-format; PCM there is plain PCM.
                if (data_format.wFormatTag == WAVE_FORMAT_EXTENSIBLE && size >= EXTENSIBLE_FORMAT_BYTES &&
                    ReadExact(file, fmt + 16, EXTENSIBLE_FORMAT_BYTES - 16) &&
                    std::memcmp(fmt + 24, PCM_SUBFORMAT, sizeof(PCM_SUBFORMAT)) == 0)
                    data_format.wFormatTag = WAVE_FORMAT_PCM;
            }
        }
        position = body + size + (size & 1); // odd chunks carry a pad byte
    }
    if (!found_data || data_size == 0) {
        m_status = SOUND_STATUS_NO_DATA;
        return false;
    }
    // A size that claims more than the entry or the file holds is cut to what is there.
    const uint64_t limit =
        std::min<uint64_t>(riff_end, file_size == INVALID_FILE_SIZE ? riff_end : file_size);
    data_size = data_start < limit ? std::min(data_size, limit - data_start) : 0;
    if (data_size == 0 || data_start > 0xFFFFFFFFu) {
        m_status = SOUND_STATUS_NO_DATA;
        return false;
    }
    if (found_format) {
        if (!WaveFormatConverter::IsSameFormat(data_format, m_format) &&
            !WaveFormatConverter::CanConvert(data_format, m_format)) {
            m_status = SOUND_STATUS_BAD_FORMAT;
            return false;
        }
        SetNextDataFormat(data_format);
    }
    return OpenData(file, static_cast<DWORD>(data_start), static_cast<DWORD>(data_size), m_loop.start,
                    m_loop.end);
}

bool CWaveSoundThread::Start()
{
    if (!PrimeBuffer())
        return false;
    return PlayFromStart();
}

bool CWaveSoundThread::PlayFromStart()
{
    ScopedLock lock(m_lock);
    m_fade_state = FADE_NONE;
    m_status = SOUND_STATUS_OK;
    if (!m_buffer) {
        m_status = SOUND_STATUS_NO_BUFFER;
        return false;
    }
    m_buffer->SetVolume(DSBVOLUME_MIN);
    m_buffer->SetPan(DSBPAN_CENTER);
    m_buffer->SetCurrentPosition(0);
    m_buffer->SetVolume(m_volume);
    m_buffer->SetPan(m_pan);
    return PlayLooping();
}

bool CWaveSoundThread::PlayLooping()
{
    m_result = m_buffer->Play(0, 0, DSBPLAY_LOOPING);
    if (FAILED(m_result)) {
        m_status = SOUND_STATUS_PLAY;
        return false;
    }
    return true;
}

void CWaveSoundThread::FillPart(BYTE* part, DWORD bytes, DWORD end_base)
{
    const DWORD end = FillBuffer(part, bytes);
    if (end != NO_END && !m_end_known) {
        m_end_position = (end_base + end) % (SEGMENTS * m_bytes_per_second);
        m_end_known = 1;
    }
}

bool CWaveSoundThread::PrimeBuffer()
{
    ScopedLock lock(m_lock); // the streaming threads may still hold old notifications
    if (!m_buffer) {
        m_status = SOUND_STATUS_NO_BUFFER;
        return false;
    }
    if (!m_data_file.GetHandle()) {
        m_status = SOUND_STATUS_NO_FILE;
        return false;
    }
    m_file_position = m_data_start;
    m_data_state = DATA_REMAINS;
    m_end_known = 0;
    m_previous_play_cursor = 0;
    m_end_position = 0;
    void* part1 = nullptr;
    void* part2 = nullptr;
    DWORD bytes1 = 0;
    DWORD bytes2 = 0;
    m_result = m_buffer->Lock(0, 3 * m_bytes_per_second, &part1, &bytes1, &part2, &bytes2, 0);
    if (FAILED(m_result)) {
        m_status = SOUND_STATUS_LOCK;
        return false;
    }
    FillPart(static_cast<BYTE*>(part1), bytes1, 0);
    if (part2)
        FillPart(static_cast<BYTE*>(part2), bytes2, bytes1);
    m_result = m_buffer->Unlock(part1, bytes1, part2, bytes2);
    if (FAILED(m_result)) {
        m_status = SOUND_STATUS_LOCK;
        return false;
    }
    m_next_segment = 3;
    m_status = SOUND_STATUS_OK;
    return true;
}

bool CWaveSoundThread::Stop()
{
    ScopedLock lock(m_lock);
    return StopAndClose();
}

bool CWaveSoundThread::StopAndClose()
{
    if (!CWaveSoundThread::StopBuffer())
        return false;
    m_data_file.Close();
    if (FAILED(m_result)) {
        m_status = SOUND_STATUS_STOP;
        return false;
    }
    return true;
}

bool CWaveSoundThread::StopBuffer()
{
    if (!m_buffer) {
        m_status = SOUND_STATUS_NO_BUFFER;
        return false;
    }
    m_result = m_buffer->Stop();
    m_fade_state = FADE_NONE;
    return true;
}

bool CWaveSoundThread::Continue()
{
    ScopedLock lock(m_lock);
    m_fade_state = FADE_NONE;
    m_status = SOUND_STATUS_OK;
    if (!m_buffer) {
        m_status = SOUND_STATUS_NO_BUFFER;
        return false;
    }
    m_buffer->SetVolume(DSBVOLUME_MIN);
    m_buffer->SetVolume(m_volume);
    return PlayLooping();
}

bool CWaveSoundThread::FadeTo(DWORD time, LONG target, BYTE stop_at_end)
{
    if (!m_buffer) {
        m_status = SOUND_STATUS_NO_BUFFER;
        return false;
    }
    DWORD status = 0;
    m_buffer->GetStatus(&status);
    if (!(status & DSBSTATUS_PLAYING))
        return false;
    target = std::clamp<LONG>(target, DSBVOLUME_MIN, DSBVOLUME_MAX);

    ScopedLock lock(m_lock);
    m_fade_time = time;
    m_fade_target = target;
    m_stop_at_end = stop_at_end;
    m_status = SOUND_STATUS_OK;
    m_fade_state = FADE_NONE;
    LONG current = 0;
    m_result = m_buffer->GetVolume(&current);
    if (FAILED(m_result)) {
        m_status = SOUND_STATUS_FADE_VOLUME;
        return false;
    }
    m_fade_volume = current;
    const bool rising = target > current;
    const bool falling = target < current;
    if (rising) {
        if (stop_at_end == 1)
            return StopAndClose();
        if (stop_at_end != 0)
            return true;
    } else if (!falling) {
        if (stop_at_end == 1)
            return StopAndClose();
        return true;
    }
    if (time == 0) {
        // No steps to spread over: the fade is over at once, ending as it would have.
        m_volume = target;
        m_fade_volume = target;
        m_buffer->SetVolume(target);
        if (falling && stop_at_end == 1)
            return StopAndClose();
        return true;
    }
    // A step of at least 1 lets every fade reach its target: a difference smaller than the
    // number of steps would otherwise never move (rising) or end at once (falling).
    const uint32_t difference = static_cast<uint32_t>(rising ? target - current : current - target);
    m_fade_step = std::max<uint32_t>(1, difference / time);
    m_fade_state = rising ? FADE_RISING : FADE_FALLING;
    return true;
}

int CWaveSoundThread::UpdateFade()
{
    const uint32_t state = m_fade_state;
    if (state == FADE_NONE)
        return 1;
    bool ended_falling = false;
    if (state == FADE_RISING) {
        m_fade_volume += static_cast<LONG>(m_fade_step);
        if (m_fade_volume >= m_fade_target) {
            m_fade_volume = m_fade_target;
            m_fade_state = FADE_NONE;
        }
    } else {
        m_fade_volume -= static_cast<LONG>(m_fade_step);
        if (m_fade_volume <= m_fade_target) {
            m_fade_volume = m_fade_target;
            m_fade_state = FADE_NONE;
            ended_falling = true;
        }
    }
    m_volume = m_fade_target;
    if (m_buffer)
        m_buffer->SetVolume(m_fade_volume);
    if (ended_falling && m_stop_at_end == 1)
        StopAndClose();
    return 1;
}

bool CWaveSoundThread::EndFade()
{
    if (!m_buffer) {
        m_status = SOUND_STATUS_NO_BUFFER;
        return false;
    }
    ScopedLock lock(m_lock);
    m_status = SOUND_STATUS_OK;
    if (m_fade_state == FADE_NONE)
        return true;
    m_fade_state = FADE_NONE;
    m_fade_step = 0;
    m_result = m_buffer->SetVolume(m_fade_target);
    if (FAILED(m_result)) {
        m_status = SOUND_STATUS_FADE_VOLUME;
        return false;
    }
    if (m_stop_at_end == 1)
        return StopAndClose();
    return true;
}

bool CWaveSoundThread::SetVolume(LONG volume)
{
    if (!m_buffer) {
        m_status = SOUND_STATUS_NO_BUFFER;
        return false;
    }
    volume = std::clamp<LONG>(volume, DSBVOLUME_MIN, DSBVOLUME_MAX);
    ScopedLock lock(m_lock);
    m_status = SOUND_STATUS_OK;
    m_volume = volume;
    m_result = m_buffer->SetVolume(volume);
    m_fade_state = FADE_NONE;
    if (FAILED(m_result)) {
        m_status = SOUND_STATUS_SET_VOLUME;
        return false;
    }
    return true;
}

bool CWaveSoundThread::SetPan(LONG pan)
{
    if (!m_buffer) {
        m_status = SOUND_STATUS_NO_BUFFER;
        return false;
    }
    m_pan = std::clamp<LONG>(pan, DSBPAN_LEFT, DSBPAN_RIGHT);
    ScopedLock lock(m_lock);
    m_result = m_buffer->SetPan(m_pan);
    if (FAILED(m_result)) {
        m_status = SOUND_STATUS_SET_PAN;
        return false;
    }
    return true;
}

HRESULT CWaveSoundThread::SetEchoMix(float mix)
{
    if (!m_echo)
        return E_POINTER;
    m_echo->GetAllParameters(&m_echo_parameters);
    m_echo_parameters.fWetDryMix = mix;
    return m_echo->SetAllParameters(&m_echo_parameters);
}

HRESULT CWaveSoundThread::SetEqualizerGain(DWORD band, float gain)
{
    if (band >= EQUALIZER_BANDS)
        return E_INVALIDARG;
    if (!m_equalizer[band])
        return E_POINTER;
    m_equalizer[band]->GetAllParameters(&m_band_parameters[band]);
    m_band_parameters[band].fGain = gain;
    return m_equalizer[band]->SetAllParameters(&m_band_parameters[band]);
}

HRESULT CWaveSoundThread::SetCompressorGain(float gain)
{
    if (!m_compressor)
        return S_FALSE;
    m_compressor->GetAllParameters(&m_compressor_parameters);
    m_compressor_parameters.fGain = gain;
    return m_compressor->SetAllParameters(&m_compressor_parameters);
}

bool CWaveSoundThread::SetFrequency(DWORD frequency)
{
    if (!m_buffer) {
        m_status = SOUND_STATUS_NO_BUFFER;
        return false;
    }
    if (frequency != 0)
        frequency = std::clamp<DWORD>(frequency, 100, 100'000);
    m_frequency = frequency;
    m_status = SOUND_STATUS_OK;
    m_result = m_buffer->SetFrequency(frequency);
    if (FAILED(m_result)) {
        m_status = SOUND_STATUS_SET_FREQUENCY;
        return false;
    }
    return true;
}

bool CWaveSoundThread::GetFrequency(DWORD* frequency)
{
    if (!m_buffer) {
        m_status = SOUND_STATUS_NO_BUFFER;
        return false;
    }
    m_result = m_buffer->GetFrequency(frequency);
    if (FAILED(m_result)) {
        m_status = SOUND_STATUS_GET_FREQUENCY;
        return false;
    }
    return true;
}

void CWaveSoundThread::CloseEffects()
{
    if (m_echo) {
        m_echo->Release();
        m_echo = nullptr;
    }
    if (m_compressor) {
        m_compressor->Release();
        m_compressor = nullptr;
    }
    for (auto*& band : m_equalizer) {
        if (band) {
            band->Release();
            band = nullptr;
        }
    }
}

bool CWaveSoundThread::SetupEffects()
{
    if (!m_buffer) {
        m_status = SOUND_STATUS_NO_BUFFER;
        return false;
    }
    DSEFFECTDESC effects[2 + EQUALIZER_BANDS];
    for (auto& effect : effects)
        effect = DSEFFECTDESC{sizeof(DSEFFECTDESC), DSFX_LOCSOFTWARE, GUID_DSFX_STANDARD_PARAMEQ, 0, 0};
    effects[0].guidDSFXClass = GUID_DSFX_STANDARD_ECHO;
    effects[1].guidDSFXClass = GUID_DSFX_STANDARD_COMPRESSOR;
    m_result = m_buffer->SetFX(2 + EQUALIZER_BANDS, effects, nullptr);
    if (FAILED(m_result))
        return false;
    // The interfaces of a replaced chain answer nothing any more.
    CloseEffects();
    m_result = m_buffer->GetObjectInPath(GUID_DSFX_STANDARD_ECHO, 0, IID_IDirectSoundFXEcho8,
                                         reinterpret_cast<void**>(&m_echo));
    if (FAILED(m_result))
        return false;
    m_result = m_buffer->GetObjectInPath(GUID_DSFX_STANDARD_COMPRESSOR, 0, IID_IDirectSoundFXCompressor8,
                                         reinterpret_cast<void**>(&m_compressor));
    if (FAILED(m_result))
        return false;
    for (DWORD band = 0; band < EQUALIZER_BANDS; ++band) {
        m_result = m_buffer->GetObjectInPath(GUID_DSFX_STANDARD_PARAMEQ, band, IID_IDirectSoundFXParamEq8,
                                             reinterpret_cast<void**>(&m_equalizer[band]));
        if (FAILED(m_result))
            return false;
    }
    m_echo->GetAllParameters(&m_echo_parameters);
    m_echo_parameters.fWetDryMix = 0;
    m_echo->SetAllParameters(&m_echo_parameters);
    m_compressor->GetAllParameters(&m_compressor_parameters);
    m_compressor_parameters.fGain = 0;
    m_compressor->SetAllParameters(&m_compressor_parameters);
    for (DWORD band = 0; band < EQUALIZER_BANDS; ++band) {
        m_equalizer[band]->GetAllParameters(&m_band_parameters[band]);
        m_band_parameters[band].fCenter = BAND_CENTRES[band];
        m_equalizer[band]->SetAllParameters(&m_band_parameters[band]);
    }
    return true;
}

int CWaveSoundThread::SetSpeed(float rate)
{
    const float hertz = rate * 44100.0f + 44100.0f;
    // Below the lowest rate the buffer takes, play as slowly as it can rather than at the data's rate.
    SetFrequency(hertz < 1.0f ? 100 : static_cast<DWORD>(hertz));
    m_speed_compensation = -rate * 12.0f;
    return 1;
}

void CWaveSoundThread::SetPitch(float value)
{
    m_pitch = value * 12.0f;
}

void CWaveSoundThread::EnableEffects(bool enabled)
{
    m_effects_enabled = enabled ? 1 : 0;
    if (enabled) {
        SetupEffects();
        return;
    }
    SetSpeed(0);
    SetEchoMix(0);
    SetCompressorGain(0);
    SetPitch(0);
    for (DWORD band = 0; band < EQUALIZER_BANDS; ++band)
        SetEqualizerGain(band, 0);
}

LONG CWaveSoundThread::GetVolume()
{
    return m_volume;
}

DWORD CWaveSoundThread::IsFading()
{
    return m_fade_state;
}

bool CWaveSoundThread::CreateBuffer(const WAVEFORMATEX& format, DWORD flags)
{
    m_format = format;
    m_bytes_per_second = format.nAvgBytesPerSec;
    DSBUFFERDESC description{
        sizeof(DSBUFFERDESC), flags, SEGMENTS * m_bytes_per_second, 0, &m_format, GUID_NULL};
    IDirectSoundBuffer* first = nullptr;
    m_result =
        g_direct_sound ? g_direct_sound->CreateSoundBuffer(&description, &first, nullptr) : DSERR_NODRIVER;
    if (FAILED(m_result)) {
        m_status = SOUND_STATUS_CREATE_BUFFER;
        return false;
    }
    m_result = first->QueryInterface(IID_IDirectSoundBuffer8, reinterpret_cast<void**>(&m_buffer));
    first->Release();
    if (FAILED(m_result)) {
        m_buffer = nullptr;
        m_status = SOUND_STATUS_CREATE_BUFFER;
        return false;
    }
    m_status = SOUND_STATUS_OK;
    return true;
}

void CWaveSoundThread::ReleaseBuffer()
{
    CloseEffects();
    if (m_buffer) {
        m_last_release = m_buffer->Release();
        m_buffer = nullptr;
    }
}

void CWaveSoundThread::FillSilence(BYTE* dest, DWORD n)
{
    std::memset(dest, m_format.wBitsPerSample == 8 ? 0x80 : 0, n);
}

bool CWaveSoundThread::RestoreBuffer()
{
    m_result = m_buffer->Restore();
    if (FAILED(m_result)) {
        m_status = SOUND_STATUS_RESTORE;
        return false;
    }
    m_status = SOUND_STATUS_OK;
    return true;
}

uint32_t CWaveSoundThread::ReadStream(BYTE* dest, uint32_t n)
{
    if (m_stream_failed)
        return 0;
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(m_file_position);
    at.OffsetHigh = static_cast<DWORD>(m_file_position >> 32);
    DWORD got = 0;
    if (!ReadFile(m_data_file.GetHandle(), dest, n, &got, &at))
        got = 0;
    m_file_position += got;
    if (got < n) {
        m_stream_failed = true;
        m_status = SOUND_STATUS_SHORT_READ;
    }
    return got;
}

uint32_t CWaveSoundThread::ReadData(BYTE* dest, uint32_t n)
{
    uint32_t got = 0;
    while (got < n) {
        const uint32_t left = m_loop_end - m_read_position;
        if (left == 0) {
            if (!HasLoop())
                break;
            m_read_position = m_loop_start;
            m_file_position = m_data_start + m_loop_start;
            continue;
        }
        const uint32_t chunk = std::min(n - got, left);
        const uint32_t read = ReadStream(dest + got, chunk);
        got += read;
        m_read_position += read;
        if (read < chunk)
            break;
    }
    return got;
}

void CWaveSoundThread::RefillWorkConverted()
{
    const uint32_t in_block = m_data_format.nBlockAlign;
    const uint32_t out_block = m_format.nBlockAlign;
    const uint32_t capacity = m_work_size / out_block;
    uint32_t produced = 0;
    while (produced < capacity && !m_converter.Finished()) {
        if (m_staging_used == m_staging.size() && !m_source_ended) {
            m_staging.resize(static_cast<size_t>(STAGING_FRAMES) * in_block);
            const uint32_t got = ReadData(m_staging.data(), static_cast<uint32_t>(m_staging.size()));
            m_staging.resize(got - got % in_block);
            m_staging_used = 0;
            m_source_ended = m_staging.empty();
        }
        uint32_t consumed = 0;
        const auto waiting = static_cast<uint32_t>((m_staging.size() - m_staging_used) / in_block);
        produced += m_converter.Convert(m_staging.data() + m_staging_used, waiting, &consumed,
                                        m_work_start + static_cast<size_t>(produced) * out_block,
                                        capacity - produced, m_source_ended);
        m_staging_used += consumed * in_block;
    }
    const uint32_t real = produced * out_block;
    m_pending += real;
    m_available = real;
    if (m_converter.Finished()) {
        if (m_data_state == DATA_REMAINS)
            m_data_state = DATA_LAST_READ;
        FillSilence(m_work_start + real, m_work_size - real);
        m_available = m_work_size;
    }
}

void CWaveSoundThread::RefillWork()
{
    m_read_index = 0;
    m_available = 0;
    if (m_converting) {
        RefillWorkConverted();
        return;
    }
    const uint32_t left = m_loop_end - m_read_position;
    if (m_stream_failed) {
        // The stream ended early; what follows what was read is silence.
    } else if (m_work_size < left) {
        const uint32_t read = ReadStream(m_work_start, m_work_size);
        m_read_position += read;
        m_pending += read;
        m_available = read;
    } else if (HasLoop()) {
        while (m_available < m_work_size && !m_stream_failed) {
            const uint32_t chunk = std::min(m_work_size - m_available, m_loop_end - m_read_position);
            const uint32_t read = ReadStream(m_work_start + m_available, chunk);
            m_read_position += read;
            m_available += read;
            m_pending += read;
            if (m_read_position >= m_loop_end) {
                m_read_position = m_loop_start;
                m_file_position = m_data_start + m_loop_start;
            }
        }
    } else if (m_data_state == DATA_REMAINS) {
        const uint32_t read = ReadStream(m_work_start, left);
        m_pending += read;
        m_available = read;
        m_data_state = DATA_LAST_READ;
    }
    if (m_stream_failed || !(m_work_size < left || HasLoop())) {
        if (m_data_state == DATA_REMAINS)
            m_data_state = DATA_LAST_READ;
        FillSilence(m_work_start + m_available, m_work_size - m_available);
        m_available = m_work_size;
        m_read_position = m_loop_end;
    }
}

DWORD CWaveSoundThread::FillBuffer(BYTE* dest, DWORD n)
{
    DWORD result = NO_END;
    auto end_check = [&](uint32_t copied, uint32_t base) {
        if (m_data_state == DATA_LAST_READ && m_pending <= copied) {
            result = m_pending + base;
            m_pending = 0;
            m_data_state = DATA_END_HANDED;
        } else if (m_pending != 0) {
            m_pending -= std::min(m_pending, copied);
        }
    };
    if (n <= m_available) {
        std::memcpy(dest, m_work_start + m_read_index, n);
        m_read_index += n;
        m_available -= n;
        end_check(n, 0);
        return result;
    }
    uint32_t done = m_available;
    if (done > 0)
        std::memcpy(dest, m_work_start + m_read_index, done);
    m_read_index += done;
    m_available = 0;
    end_check(done, 0);
    while (done < n) {
        RefillWork();
        if (m_available == 0) {
            // No work memory to stream through: the rest is silence.
            FillSilence(dest + done, n - done);
            break;
        }
        const uint32_t copied = std::min(m_available, n - done);
        std::memcpy(dest + done, m_work_start, copied);
        m_read_index = copied;
        m_available -= copied;
        end_check(copied, done);
        done += copied;
    }
    return result;
}

void CWaveSoundThread::Update()
{
    if (!m_buffer)
        return;
    DWORD status = 0;
    if (FAILED(m_buffer->GetStatus(&status)) || !(status & DSBSTATUS_PLAYING))
        return;
    if ((status & DSBSTATUS_BUFFERLOST) && !RestoreBuffer())
        return;
    DWORD play = 0;
    DWORD write = 0;
    if (FAILED(m_buffer->GetCurrentPosition(&play, &write)))
        return;
    const uint32_t size = SEGMENTS * m_bytes_per_second;
    if (m_end_known) {
        const uint32_t previous = m_previous_play_cursor;
        const uint32_t end = m_end_position;
        const bool passed = play >= previous ? (previous <= end && end <= play)
                                             : ((previous <= end && end < size) || end <= play);
        if (passed) {
            StopAndClose();
            return;
        }
    }
    m_previous_play_cursor = play;
    if (((write / m_bytes_per_second) - 1) % SEGMENTS != m_next_segment) {
        void* part1 = nullptr;
        void* part2 = nullptr;
        DWORD bytes1 = 0;
        DWORD bytes2 = 0;
        const DWORD offset = m_next_segment * m_bytes_per_second;
        if (FAILED(m_buffer->Lock(offset, m_bytes_per_second, &part1, &bytes1, &part2, &bytes2, 0)))
            return;
        FillPart(static_cast<BYTE*>(part1), bytes1, offset);
        if (part2)
            FillPart(static_cast<BYTE*>(part2), bytes2, offset + bytes1);
        m_buffer->Unlock(part1, bytes1, part2, bytes2);
        m_next_segment = (m_next_segment + 1) % SEGMENTS;
    }
    UpdateFade();
}

void CWaveSoundThread::ShiftPitchDelayLine(float*, float*, DWORD) {}
