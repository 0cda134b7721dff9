#pragma once
// The Ogg Vorbis side shared by the two Ogg sound objects: the streaming buffer of its base
// (polled, or driven by position notifications) with the file reading replaced by a decoder.
// The fill copies decoded 16-bit PCM into the buffer, through the pitch shifter when effects are
// on and the combined shift is at least a semitone, loops by decoding again from the stream's
// start up to the loop start of the "SampleStart=" / "SampleEnd=" comments, and writes silence
// after the end. A stream with another channel count than the buffer's is mixed to it.
// A decoder failure, or a decoder that stops delivering below the loop end, ends the data; its
// box is shown once, by whichever thread hit it, after that thread has released the lock.

#include "sound/COggDecodeBase.h"
#include "sound/CWaveSoundNotify.h"
#include "sound/CWaveSoundThread.h"
#include "sound/PitchShifter.h"
#include "sound/WaveFormatConverter.h"

#include <memory>
#include <type_traits>
#include <vector>

template <class Base>
class OggStreaming : public Base
{
public:
    static constexpr uint32_t DECODER_MEMORY = 1'048'576;

    OggStreaming();
    ~OggStreaming() override;

    void ThreadProc() override;
    // extra_flags are added to the buffer's flags.
    bool Create(const WAVEFORMATEX& format, DWORD extra_flags) override;
    ULONG Destroy() override;
    bool Start() override;
    bool FadeTo(DWORD time, LONG target, BYTE stop_at_end) override;
    bool CreateBuffer(const WAVEFORMATEX& format, DWORD flags) override;
    DWORD FillBuffer(BYTE* dest, DWORD n) override;
    bool StopAndClose() override;
    // Attaches the Ogg entry of size bytes at offset of the file; the handle is duplicated.
    virtual bool OpenOggData(HANDLE file, DWORD offset, DWORD size);
    // The same for a plain file, from the handle's position to the file's end.
    virtual bool OpenOggFile(HANDLE file);

    // Decoded bytes of the whole stream in the buffer's format.
    uint32_t GetTotalSize() const { return m_total_size; }
    COggDecodeUser* GetDecoder() { return m_decoder.get(); }

private:
    static constexpr bool NOTIFY = !std::is_same_v<Base, CWaveSoundThread>;

    // Shows a box the decoder kept while the lock was held.
    void ReportDecoderError();
    // Decodes the next block; false when nothing more will come.
    bool NextBlock();
    // Back to the stream's start, then forward to the loop start.
    bool RestartAtLoop();
    void CopyOut(BYTE* dest, const BYTE* source, uint32_t bytes, bool shifting, float ratio);

    void* m_decoder_memory = nullptr;
    uint32_t m_decoder_memory_size = 0;
    uint32_t m_total_size = 0;
    std::unique_ptr<COggDecodeUser> m_decoder;
    DWORD m_extra_flags = 0;
    const BYTE* m_block = nullptr; // the decoded block being copied out
    uint32_t m_empty_blocks = 0;   // blocks in a row that delivered nothing
    int32_t m_stop_countdown = -1; // notified form: segment starts until a data end met early
    WAVEFORMATEX m_stream_format{};
    bool m_mixing = false;
    WaveFormatConverter m_channel_converter;
    std::vector<BYTE> m_mixed;
    std::unique_ptr<PitchShifter> m_shifter;
    std::vector<float> m_shift_samples;
};

extern template class OggStreaming<CWaveSoundThread>;
extern template class OggStreaming<CWaveSoundNotify>;
