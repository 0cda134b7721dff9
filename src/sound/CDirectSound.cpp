#include "sound/CDirectSound.h"

#include "foundation/ThreadBoundary.h"
#include "platform/kernel/FileApi.h"
#include "platform/kernel/SyncApi.h"

CDirectSound::CDirectSound() = default;

CDirectSound::~CDirectSound() = default;

DWORD CDirectSound::GetStatus()
{
    if (!m_buffer) {
        m_status = SOUND_STATUS_NO_BUFFER;
        return 0;
    }
    DWORD status = 0;
    m_result = m_buffer->GetStatus(&status);
    m_status = SOUND_STATUS_OK;
    return status;
}

bool CDirectSound::StartThread(unsigned (*entry)(void*), HANDLE* thread, unsigned* thread_id)
{
    const uintptr_t handle = _beginthreadex(nullptr, 0, entry, this, 0, thread_id);
    if (handle == 0)
        return false;
    *thread = reinterpret_cast<HANDLE>(handle);
    SetThreadPriority(*thread, THREAD_PRIORITY_ABOVE_NORMAL);
    return true;
}

void CDirectSound::JoinThread(HANDLE* thread)
{
    if (*thread) {
        WaitForSingleObject(*thread, INFINITE);
        CloseHandle(*thread);
        *thread = nullptr;
    }
}

unsigned SoundThreadEntry(void* object)
{
    try {
        static_cast<CDirectSound*>(object)->ThreadProc();
    } catch (...) {
        HandOverThreadFailure(); // the stream stops; the main thread shows why and ends the game
    }
    return 0;
}
