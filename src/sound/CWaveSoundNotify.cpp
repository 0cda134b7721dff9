#include "sound/CWaveSoundNotify.h"

#include "foundation/ScopedLock.h"
#include "foundation/ThreadBoundary.h"
#include "platform/kernel/SyncApi.h"

namespace {

constexpr DWORD DATA_END_INDEX = 4;
constexpr DWORD STOP_POSITION_INDEX = 5;
constexpr DWORD STOP_INDEX = 6;

} // namespace

CWaveSoundNotify::CWaveSoundNotify() = default;

CWaveSoundNotify::~CWaveSoundNotify() = default;

unsigned SoundTimerThread(void* object)
{
    try {
        static_cast<CWaveSoundNotify*>(object)->TimerProc();
    } catch (...) {
        HandOverThreadFailure();
    }
    return 0;
}

bool CWaveSoundNotify::Create(const WAVEFORMATEX& format, DWORD work_size)
{
    return CWaveSoundThread::Create(format, work_size) && StartTimer();
}

bool CWaveSoundNotify::StartTimer()
{
    m_timer_event.Create(false, false);
    if (!StartThread(SoundTimerThread, &m_timer_thread, &m_timer_thread_id)) {
        Destroy();
        m_status = SOUND_STATUS_THREAD;
        return false;
    }
    return true;
}

bool CWaveSoundNotify::CreateBuffer(const WAVEFORMATEX& format, DWORD flags)
{
    if (!CWaveSoundThread::CreateBuffer(format, flags | DSBCAPS_CTRLPOSITIONNOTIFY))
        return false;
    m_result = m_buffer->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&m_notify));
    if (FAILED(m_result)) {
        m_notify = nullptr;
        m_status = SOUND_STATUS_NO_NOTIFY;
        return false;
    }
    for (CEvent& event : m_segment_events)
        event.Create(true, false);
    m_data_end_event.Create(true, false);
    m_stop_position_event.Create(true, false);
    m_status = SOUND_STATUS_OK;
    return true;
}

void CWaveSoundNotify::ReleaseBuffer()
{
    if (m_notify) {
        m_notify->Release();
        m_notify = nullptr;
    }
    for (CEvent& event : m_segment_events)
        event.Close();
    m_data_end_event.Close();
    m_stop_position_event.Close();
    CWaveSoundThread::ReleaseBuffer();
}

ULONG CWaveSoundNotify::Destroy()
{
    Stop();
    if (m_timer_thread) {
        m_stop_event.Set();
        m_timer_event.Set();
        JoinThread(&m_timer_thread);
    }
    m_timer_event.Close();
    Stop();
    return CWaveSoundThread::Destroy();
}

bool CWaveSoundNotify::OpenData(HANDLE file, DWORD data_start, DWORD data_size, DWORD loop_start,
                                DWORD loop_end)
{
    ScopedLock lock(m_lock); // the positions must be in place before the streaming thread looks again
    if (!CWaveSoundThread::OpenData(file, data_start, data_size, loop_start, loop_end))
        return false;
    return SetNotifyPositions();
}

bool CWaveSoundNotify::ReadWaveHeader(HANDLE file)
{
    ScopedLock lock(m_lock);
    if (!CWaveSoundThread::ReadWaveHeader(file))
        return false;
    return SetNotifyPositions();
}

bool CWaveSoundNotify::FadeTo(DWORD time, LONG target, BYTE stop_at_end)
{
    const bool result = CWaveSoundThread::FadeTo(time, target, stop_at_end);
    ScopedLock lock(m_lock);
    if (m_fade_state != FADE_NONE) {
        m_timer_timeout = FADE_STEP_MILLISECONDS;
        m_timer_event.Set();
    }
    return result;
}

bool CWaveSoundNotify::SetVolume(LONG volume)
{
    {
        ScopedLock lock(m_lock);
        m_timer_timeout = INFINITE;
    }
    return CWaveSoundThread::SetVolume(volume);
}

bool CWaveSoundNotify::StopAndClose()
{
    const bool result = CWaveSoundThread::StopAndClose();
    m_timer_timeout = INFINITE;
    return result;
}

void CWaveSoundNotify::ResetPositionEvents()
{
    for (CEvent& event : m_segment_events)
        event.Reset();
    m_data_end_event.Reset();
    m_stop_position_event.Reset();
}

bool CWaveSoundNotify::SetNotifyPositions()
{
    ResetPositionEvents();
    if (!m_notify) {
        m_status = SOUND_STATUS_NO_NOTIFY;
        return false;
    }
    const DWORD segment = m_bytes_per_second;
    const DWORD buffer_size = SEGMENTS * segment;
    DSBPOSITIONNOTIFY positions[SEGMENTS + 2];
    DWORD count = 0;
    for (DWORD k = 0; k < SEGMENTS; ++k)
        positions[count++] = {k * segment, m_segment_events[k].GetHandle()};
    if (!HasLoop()) {
        // Priming writes the data from offset 0 and every segment follows in order, so the data
        // ends at D mod the buffer size, passed repeat count + 1 times, the last time for real.
        const uint32_t data_size = GetOutputDataSize();
        m_repeat_count = static_cast<int32_t>(data_size / buffer_size);
        DWORD offset = data_size % buffer_size;
        // Not on a segment start, so the segment's own event cannot hide it.
        if (data_size % segment == 0)
            offset += m_format.nBlockAlign;
        positions[count++] = {offset, m_data_end_event.GetHandle()};
    } else {
        m_repeat_count = -1;
    }
    positions[count++] = {DSBPN_OFFSETSTOP, m_stop_position_event.GetHandle()};
    m_result = m_notify->SetNotificationPositions(count, positions);
    if (FAILED(m_result)) {
        m_status = SOUND_STATUS_NOTIFY_POSITIONS;
        return false;
    }
    return true;
}

void CWaveSoundNotify::FillSegment(DWORD segment)
{
    void* part1 = nullptr;
    void* part2 = nullptr;
    DWORD bytes1 = 0;
    DWORD bytes2 = 0;
    if (FAILED(m_buffer->Lock(segment * m_bytes_per_second, m_bytes_per_second, &part1, &bytes1, &part2,
                              &bytes2, 0)))
        return;
    // The data end is found by position, not from the fill.
    FillBuffer(static_cast<BYTE*>(part1), bytes1);
    if (part2)
        FillBuffer(static_cast<BYTE*>(part2), bytes2);
    m_buffer->Unlock(part1, bytes1, part2, bytes2);
}

bool CWaveSoundNotify::IsBufferPlaying()
{
    DWORD status = 0;
    return SUCCEEDED(m_buffer->GetStatus(&status)) && (status & DSBSTATUS_PLAYING) != 0;
}

bool CWaveSoundNotify::HandleNotification(DWORD index, bool only_while_playing)
{
    ScopedLock lock(m_lock);
    if (index < SEGMENTS) {
        // The play cursor entered segment index: refill the one just played. A notification
        // that arrives after the data was closed has nothing to fill from.
        if (m_buffer && m_data_file.GetHandle() && (!only_while_playing || IsBufferPlaying()))
            FillSegment((index + SEGMENTS - 1) % SEGMENTS);
        m_segment_events[index].Reset();
    } else if (index == DATA_END_INDEX) {
        if (m_repeat_count > 0) {
            m_data_end_event.Reset();
            --m_repeat_count;
        } else {
            StopAndClose();
            ResetPositionEvents();
        }
    } else if (index == STOP_POSITION_INDEX) {
        ResetPositionEvents();
    } else if (index == STOP_INDEX) {
        StopAndClose();
        return false;
    }
    return true;
}

void CWaveSoundNotify::ThreadProc()
{
    const HANDLE handles[] = {m_segment_events[0].GetHandle(), m_segment_events[1].GetHandle(),
                              m_segment_events[2].GetHandle(), m_segment_events[3].GetHandle(),
                              m_data_end_event.GetHandle(),    m_stop_position_event.GetHandle(),
                              m_stop_event.GetHandle()};
    for (;;) {
        const DWORD woken = WaitForMultipleObjects(7, handles, FALSE, INFINITE);
        if (woken == WAIT_FAILED)
            return;
        if (!HandleNotification(woken - WAIT_OBJECT_0))
            return;
    }
}

void CWaveSoundNotify::TimerProc()
{
    while (WaitForSingleObject(m_stop_event.GetHandle(), 0) != WAIT_OBJECT_0) {
        WaitForSingleObject(m_timer_event.GetHandle(), m_timer_timeout);
        ScopedLock lock(m_lock);
        UpdateFade();
        // An idle timer sleeps until the next fade instead of stepping every 15 ms for nothing.
        if (m_fade_state == FADE_NONE)
            m_timer_timeout = INFINITE;
    }
}
