#pragma once
// Decodes one Ogg Vorbis entry into interleaved PCM of the owner's output format (8 or 16 bits;
// the channel count is the stream's), one second of output at a time, driving libogg and
// libvorbis through their packet-level calls. Before decoding it measures the whole stream's
// length and reads the loop points of the "SampleStart=" / "SampleEnd=" comments. The owner
// supplies the work and output memory; nothing is allocated while decoding (libvorbis' own
// allocations aside). No lock of its own: one owner, whose lock serialises the calls.
//
// Failures show a box captioned "エラー" and make the call return false. An owner that holds a
// lock while decoding defers the box instead (SetDeferErrors) and shows it once the lock is
// released (TakeDeferredError, ShowDecoderError).

#include "foundation/CStringUTF8.h"
#include "platform/dsound/DSoundApi.h"
#include "sound/COggFileBase.h"

#include <cstdint>
#include <memory>

struct WaveLoopRecord;

class COggDecodeBase
{
public:
    static constexpr uint32_t READ_REQUEST = 4096;

    enum EndState : int32_t
    {
        END_NOT_STARTED = -1,
        END_DECODING = 0,
        END_INPUT_ENDED = 1,   // input ended, PCM still pending
        END_ALL_DELIVERED = 2, // the last PCM has been handed over
        END_SILENCE = 3,       // a whole second of silence after the end
    };

    COggDecodeBase();
    virtual ~COggDecodeBase();
    COggDecodeBase(const COggDecodeBase&) = delete;
    COggDecodeBase& operator=(const COggDecodeBase&) = delete;

    // Once; the buffers stay the owner's. The output buffer holds one second of the format.
    virtual bool Open(const WAVEFORMATEX& format, void* work, uint32_t work_size, void* output,
                      uint32_t output_size);
    // With a handle: opens the entry, measures it, reads its headers and loop comments (start and
    // end of loop, in frames, only when present). Without: decodes again from the first page of
    // the entry already attached (after Reset).
    virtual bool Attach(HANDLE handle, uint32_t size, uint32_t offset, WaveLoopRecord* loop);
    virtual void Reset();
    virtual uint32_t GetFilePosition();
    virtual uint32_t GetTotalBytes();
    // Decodes the whole stream into the output buffer, as far as it holds.
    virtual bool DecodeAll(int32_t* end_state, uint32_t* byte_count);
    // Hands over the output buffer with byte_count valid bytes; see EndState.
    virtual bool GetOutput(int32_t* end_state, uint32_t* byte_count);
    virtual bool MeasureLength();
    virtual bool ReadHeaders();
    virtual bool DecodeChunk(uint32_t* byte_count);
    virtual void MoveToOutput();
    virtual void FlushTail(uint32_t* byte_count);
    virtual uint32_t BytesToSamples(uint32_t bytes);
    virtual uint32_t SamplesToBytes(uint32_t frames);
    virtual uint32_t ConvertTo8Bit(float** pcm, uint32_t frames, uint8_t* dest);
    virtual uint32_t ConvertTo16Bit(float** pcm, uint32_t frames, uint8_t* dest);
    virtual void ReadLoopPoints(WaveLoopRecord* loop);

    // The stream's channel count (0 before its headers are read).
    uint32_t GetChannels() const;
    bool IsOpen() const { return m_open != 0; }

    void SetDeferErrors(bool defer) { m_defer_errors = defer; }
    // The first message kept since the last call, empty when none.
    CStringUTF8 TakeDeferredError();

private:
    struct LibraryState;

    bool Fail(const char* message);
    // Takes the current page into the stream and hands every PCM block its packets give to
    // take(pcm, frames); false (after the message) when the stream refuses them.
    template <class Take>
    bool SynthesizePage(Take take);
    // Converts frames of the current PCM block behind the pending bytes.
    void ConvertBlock(float** pcm, uint32_t frames);
    // Clears whatever libogg and libvorbis state is live.
    void ClearLibraryState();
    // Reads the next request into the sync buffer; false (after the message) when the sync
    // layer refuses it. *bytes is what arrived.
    bool FeedSync(uint32_t* bytes);

    uint8_t m_open = 0;
    WAVEFORMATEX m_format{};
    uint32_t m_total_bytes = 0;
    uint32_t m_read_request = READ_REQUEST;
    uint8_t* m_work = nullptr;
    uint32_t m_work_size = 0;
    uint32_t m_pending = 0;
    uint8_t* m_output = nullptr;
    uint32_t m_output_size = 0;
    uint32_t m_output_fill = 0;
    int32_t m_end_state = END_NOT_STARTED;
    std::unique_ptr<LibraryState> m_state;
    std::unique_ptr<COggFileUser> m_file;
    bool m_defer_errors = false;
    CStringUTF8 m_deferred_error;
};

// The decoder the Ogg sound objects use; no changes of its own.
class COggDecodeUser final : public COggDecodeBase
{};

// The decoder's modal box: no owner, caption "エラー", error icon, topmost.
void ShowDecoderError(const CStringUTF8& text);
