#pragma once
// One stream of PCM sound (a RIFF "WAVE" entry read through a duplicated file handle) played
// through a DirectSound buffer of four seconds, refilled one second at a time from a work block
// of the sound pool. It loops between the loop points of the WAV "smpl" chunk, stops by itself at
// the end of unlooped data, fades in steps and carries the echo, compressor and ten-band
// equaliser effects. A polling thread refills, finds the data end and steps fades every 50 ms.
// Owned by a channel manager; the owner's thread calls the operations, the polling thread runs
// Update, both under m_lock. Destroy must not be called from the object's own thread.

#include "foundation/CFile.h"
#include "sound/CDirectSound.h"
#include "sound/WaveFormatConverter.h"

#include <atomic>
#include <cstdint>
#include <vector>

// The first sample-loop record of a "smpl" chunk as stored; start and end count sample frames,
// and the end is exclusive. A start of NO_LOOP means the data does not loop.
struct WaveLoopRecord
{
    uint32_t identifier;
    uint32_t type;
    uint32_t start;
    uint32_t end;
    uint32_t fraction;
    uint32_t play_count;
};

class CWaveSoundThread : public CDirectSound
{
public:
    static constexpr uint32_t NO_LOOP = 0xFFFFFFFF;
    static constexpr uint32_t NO_END = 0xFFFFFFFF;
    static constexpr uint32_t SEGMENTS = 4;
    static constexpr DWORD POLL_MILLISECONDS = 50;
    static constexpr DWORD BUFFER_FLAGS = DSBCAPS_GLOBALFOCUS | DSBCAPS_CTRLFX | DSBCAPS_CTRLVOLUME |
                                          DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY | DSBCAPS_LOCSOFTWARE;
    static constexpr uint32_t EQUALIZER_BANDS = 10;

    enum FadeState : uint32_t
    {
        FADE_NONE = 0,
        FADE_RISING = 1,
        FADE_FALLING = 2
    };
    enum DataState : uint32_t
    {
        DATA_REMAINS = 0,
        DATA_LAST_READ = 1,  // the last bytes are in the work buffer; silence follows
        DATA_END_HANDED = 2, // the data end has been written to the DirectSound buffer
    };

    CWaveSoundThread();
    ~CWaveSoundThread() override;

    void ThreadProc() override;
    // Takes the work block, makes the buffer and its effects and starts the thread.
    virtual bool Create(const WAVEFORMATEX& format, DWORD work_size);
    // Returns what the last release of the buffer answered (0 when there was none).
    virtual ULONG Destroy();
    // Attaches data at data_start (bytes) of handle's file; loop points in sample frames,
    // NO_LOOP for none. The handle is duplicated; the caller keeps its own.
    virtual bool OpenData(HANDLE file, DWORD data_start, DWORD data_size, DWORD loop_start, DWORD loop_end);
    // Reads the RIFF header at handle's position and attaches its "data" with its "smpl" loop.
    virtual bool ReadWaveHeader(HANDLE file);
    virtual bool Start();
    virtual bool PlayFromStart();
    virtual bool PrimeBuffer();
    virtual bool Stop();
    virtual bool StopBuffer();
    virtual bool Continue();
    // time counts fade steps (50 ms each here); stop_at_end 1 stops the sound when a fade out ends.
    virtual bool FadeTo(DWORD time, LONG target, BYTE stop_at_end);
    virtual bool EndFade();
    virtual bool SetVolume(LONG volume);
    virtual bool SetPan(LONG pan);
    virtual HRESULT SetEchoMix(float mix);
    virtual HRESULT SetEqualizerGain(DWORD band, float gain);
    virtual HRESULT SetCompressorGain(float gain);
    virtual bool SetFrequency(DWORD frequency);
    virtual bool GetFrequency(DWORD* frequency);
    virtual bool SetupEffects();
    virtual int SetSpeed(float rate);
    virtual void SetPitch(float value);
    virtual void EnableEffects(bool enabled);
    virtual LONG GetVolume();
    virtual DWORD IsFading();
    virtual bool CreateBuffer(const WAVEFORMATEX& format, DWORD flags);
    virtual void ReleaseBuffer();
    // Writes n bytes of the stream to dest; returns the offset in dest where the data ended, or NO_END.
    virtual DWORD FillBuffer(BYTE* dest, DWORD n);
    virtual bool StopAndClose();
    virtual bool RestoreBuffer();
    // One polling step: the data-end test, one segment refill, one fade step.
    virtual void Update();
    virtual int UpdateFade();
    virtual void FillSilence(BYTE* dest, DWORD n);
    // A two-channel delay-line pitch shift nothing calls; kept for the slot, does nothing.
    virtual void ShiftPitchDelayLine(float* left, float* right, DWORD frames);

    DWORD GetBytesPerSecond() const { return m_bytes_per_second; }

protected:
    // The data format to use for the next OpenData (set by ReadWaveHeader from "fmt ").
    void SetNextDataFormat(const WAVEFORMATEX& format);
    // The length of the attached data as written to the buffer, in the buffer's format.
    uint32_t GetOutputDataSize() const { return m_output_data_size; }
    // For streams that produce their own output (decoders): the length SetNotifyPositions uses.
    void SetOutputDataSize(uint32_t size) { m_output_data_size = size; }
    bool HasLoop() const { return m_loop_start != NO_LOOP; }
    // Fills one locked part of the buffer; records the data end found in it (offset + base).
    void FillPart(BYTE* part, DWORD bytes, DWORD end_base);

    WaveLoopRecord m_loop{};
    std::atomic<LONG> m_volume{0}; // read by GetVolume without the lock
    LONG m_pan = 0;
    uint32_t m_next_segment = 3;
    uint32_t m_data_state = DATA_REMAINS;
    uint32_t m_end_known = 0;
    uint32_t m_previous_play_cursor = 0;
    uint32_t m_end_position = 0;
    uint32_t m_loop_start = NO_LOOP; // bytes of the data format from the data start
    uint32_t m_loop_end = 0;         // bytes; the data size when there is no loop
    uint32_t m_pending = 0;
    std::atomic<uint32_t> m_fade_state{FADE_NONE};
    uint32_t m_stop_at_end = 1;
    uint32_t m_fade_time = 0;
    LONG m_fade_target = 0;
    LONG m_fade_volume = 0;
    uint32_t m_fade_step = 0;
    CFile m_data_file;
    uint32_t m_data_start = 0;
    uint32_t m_data_end = 0;
    uint32_t m_read_position = 0;
    BYTE* m_work_start = nullptr;
    BYTE* m_work_end = nullptr;
    uint32_t m_work_size = 0;
    uint32_t m_available = 0;
    uint32_t m_read_index = 0;
    void* m_pool_block = nullptr;
    uint32_t m_pool_size = 0;
    IDirectSoundFXEcho8* m_echo = nullptr;
    IDirectSoundFXCompressor8* m_compressor = nullptr;
    IDirectSoundFXParamEq8* m_equalizer[EQUALIZER_BANDS] = {};
    DSFXParamEq m_band_parameters[EQUALIZER_BANDS] = {};
    DSFXEcho m_echo_parameters{};
    DSFXCompressor m_compressor_parameters{};
    DWORD m_bytes_per_second = 0;
    float m_pitch = 0;
    float m_speed_compensation = 0;
    DWORD m_frequency = 44100;
    uint32_t m_effects_enabled = 0;

private:
    void RefillWork();
    void RefillWorkConverted();
    // Reads up to n bytes of data in the data format, following the loop; stops at the data end.
    uint32_t ReadData(BYTE* dest, uint32_t n);
    // Reads n bytes at the stream's own file position, so that reads of the archive through
    // other handles move neither; a short read ends the stream with its status.
    uint32_t ReadStream(BYTE* dest, uint32_t n);
    void CloseEffects();
    // Plays the buffer round and round; the caller holds the lock and has checked the buffer.
    bool PlayLooping();

    WAVEFORMATEX m_data_format{};      // the format of the attached data
    WAVEFORMATEX m_next_data_format{}; // the format ReadWaveHeader found, for the next OpenData
    bool m_has_next_data_format = false;
    bool m_converting = false;
    WaveFormatConverter m_converter;
    std::vector<BYTE> m_staging; // data-format bytes waiting to be converted
    uint32_t m_staging_used = 0;
    bool m_source_ended = false; // the converter has been given the last data byte
    uint32_t m_output_data_size = 0;
    uint64_t m_file_position = 0; // of the next read, absolute in the data file
    bool m_stream_failed = false;
    ULONG m_last_release = 0; // what the buffer's Release answered, for Destroy
};
