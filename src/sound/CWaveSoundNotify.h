#pragma once
// The streaming buffer driven by buffer-position events instead of polling: DirectSound signals
// the start of each one-second segment, the data end and the buffer's stop, and the streaming
// thread sleeps until one of them (or the stop event) is set; each segment is refilled right
// after it has played. Fades run on a second thread, a timer that steps every 15 ms while a fade
// runs. Everything else is CWaveSoundThread's. Three threads share the object under m_lock: the
// owner's, the streaming thread and the fade timer.

#include "sound/CWaveSoundThread.h"

#include <atomic>

class CWaveSoundNotify : public CWaveSoundThread
{
public:
    static constexpr DWORD FADE_STEP_MILLISECONDS = 15;

    CWaveSoundNotify();
    ~CWaveSoundNotify() override;

    void ThreadProc() override;
    bool Create(const WAVEFORMATEX& format, DWORD work_size) override;
    ULONG Destroy() override;
    bool OpenData(HANDLE file, DWORD data_start, DWORD data_size, DWORD loop_start, DWORD loop_end) override;
    bool ReadWaveHeader(HANDLE file) override;
    bool FadeTo(DWORD time, LONG target, BYTE stop_at_end) override;
    bool SetVolume(LONG volume) override;
    bool CreateBuffer(const WAVEFORMATEX& format, DWORD flags) override;
    void ReleaseBuffer() override;
    bool StopAndClose() override;
    // Sets the segment, data-end and stop positions for the attached data.
    virtual bool SetNotifyPositions();
    // Refills segment n (0..3) of the buffer from the stream.
    virtual void FillSegment(DWORD segment);

    // The body of the fade timer thread.
    void TimerProc();
    // One wake of the streaming thread for the event at index (0-3 segments, 4 data end,
    // 5 buffer stopped, 6 stop); false when the thread is to end. only_while_playing leaves the
    // segments of a buffer that does not play as they are.
    bool HandleNotification(DWORD index, bool only_while_playing = false);

protected:
    void ResetPositionEvents();
    // Starts the fade timer; on failure destroys the object, status 18, false.
    bool StartTimer();
    // Needs the buffer.
    bool IsBufferPlaying();

    IDirectSoundNotify* m_notify = nullptr;
    CEvent m_stop_position_event; // manual reset: the buffer stopped
    CEvent m_data_end_event;      // manual reset: the play cursor passed the data end
    CEvent m_segment_events[SEGMENTS];
    CEvent m_timer_event; // auto reset: wakes the fade timer
    HANDLE m_timer_thread = nullptr;
    unsigned m_timer_thread_id = 0;
    int32_t m_repeat_count = 0; // passes of the data-end position before the data really ends; -1 looped
    std::atomic<DWORD> m_timer_timeout{INFINITE};
};

// The entry of fade timer threads: runs the object's TimerProc and returns 0.
unsigned SoundTimerThread(void* object);
