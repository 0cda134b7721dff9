#pragma once
// The base of every streaming sound object: its thread, its lock, its stop event, its
// DirectSound buffer and format, and the two words through which it reports failures: the last
// DirectSound result and a status code (table below). Objects live on the private heap.
// Threads: the owner's thread calls the operations; the object's own threads (streaming, fade
// timer) share its state under m_lock.

#include "foundation/CCriticalSection.h"
#include "foundation/CMemBase.h"
#include "platform/dsound/DSoundApi.h"
#include "sound/CEvent.h"

#include <atomic>
#include <cstdint>

// Status codes of sound objects; 0 is success.
inline constexpr uint32_t SOUND_STATUS_OK = 0;
inline constexpr uint32_t SOUND_STATUS_NO_FILE = 1;           // no data file handle given, or none attached
inline constexpr uint32_t SOUND_STATUS_NO_BUFFER = 2;         // no DirectSound buffer
inline constexpr uint32_t SOUND_STATUS_CREATE_BUFFER = 3;     // buffer creation or its query failed
inline constexpr uint32_t SOUND_STATUS_RESTORE = 4;           // Restore of a lost buffer failed
inline constexpr uint32_t SOUND_STATUS_SET_PAN = 6;           // SetPan failed
inline constexpr uint32_t SOUND_STATUS_LOCK = 7;              // Lock failed while priming
inline constexpr uint32_t SOUND_STATUS_PLAY = 9;              // Play failed
inline constexpr uint32_t SOUND_STATUS_STOP = 10;             // Stop failed
inline constexpr uint32_t SOUND_STATUS_FADE_VOLUME = 11;      // a fade's volume read or write failed
inline constexpr uint32_t SOUND_STATUS_SET_VOLUME = 12;       // SetVolume failed
inline constexpr uint32_t SOUND_STATUS_GET_FREQUENCY = 13;    // GetFrequency failed
inline constexpr uint32_t SOUND_STATUS_SET_FREQUENCY = 14;    // SetFrequency failed
inline constexpr uint32_t SOUND_STATUS_NO_NOTIFY = 15;        // no IDirectSoundNotify
inline constexpr uint32_t SOUND_STATUS_NOTIFY_POSITIONS = 16; // SetNotificationPositions failed
inline constexpr uint32_t SOUND_STATUS_DUPLICATE = 17;        // data handle not duplicated or not attached
inline constexpr uint32_t SOUND_STATUS_THREAD = 18;           // thread creation failed
inline constexpr uint32_t SOUND_STATUS_NO_DATA = 19;          // WAV without a "data" chunk, or an empty one
inline constexpr uint32_t SOUND_STATUS_NOT_RIFF = 20;         // data not beginning with "RIFF"
inline constexpr uint32_t SOUND_STATUS_NOT_WAVE = 21;         // RIFF form type not "WAVE"
// WAV data in a format that cannot be converted to the buffer's (not 8- or 16-bit PCM, or more
// than two channels): refused rather than played as noise or at the wrong speed.
inline constexpr uint32_t SOUND_STATUS_BAD_FORMAT = 22;
inline constexpr uint32_t SOUND_STATUS_SHORT_READ = 23; // the data file gave fewer bytes than asked; the stream ends
inline constexpr uint32_t SOUND_STATUS_NO_MEMORY = 24;         // work memory not available from the pool
inline constexpr uint32_t SOUND_STATUS_NO_DECODER_MEMORY = 34; // decoder or output memory not available
inline constexpr uint32_t SOUND_STATUS_OGG_THREAD = 36;        // (Ogg objects) thread creation failed
inline constexpr uint32_t SOUND_STATUS_NO_DECODER = 38;        // the decoder object not allocated
inline constexpr uint32_t SOUND_STATUS_DECODER_OPEN = 39;      // the decoder did not open on its memory
inline constexpr uint32_t SOUND_STATUS_DECODER_ATTACH = 40;    // the decoder did not attach to the data

class CDirectSound : public CMemBase
{
public:
    CDirectSound();
    ~CDirectSound() override;
    CDirectSound(const CDirectSound&) = delete;
    CDirectSound& operator=(const CDirectSound&) = delete;

    // The buffer's status word (DSBSTATUS_PLAYING, ...); 0 with status 2 when there is no buffer.
    virtual DWORD GetStatus();
    // The body of the streaming thread.
    virtual void ThreadProc() = 0;

    uint32_t GetStatusCode() const { return m_status; }
    HRESULT GetLastResult() const { return m_result; }

protected:
    // Starts a thread running entry(this) at above-normal priority; false when it cannot start.
    bool StartThread(unsigned (*entry)(void*), HANDLE* thread, unsigned* thread_id);
    // Waits for a thread to end and closes its handle.
    static void JoinThread(HANDLE* thread);

    HANDLE m_thread = nullptr;
    unsigned m_thread_id = 0;
    CCriticalSection m_lock{LOCK_LEVEL_SOUND_OBJECT}; // this object's state, fills and fades
    CEvent m_stop_event;     // manual reset: every thread of the object ends when it is set
    IDirectSoundBuffer8* m_buffer = nullptr;
    WAVEFORMATEX m_format{};
    std::atomic<HRESULT> m_result{S_OK};
    std::atomic<uint32_t> m_status{SOUND_STATUS_OK};
};

// The common entry of streaming threads: runs the object's ThreadProc and returns 0.
unsigned SoundThreadEntry(void* object);
