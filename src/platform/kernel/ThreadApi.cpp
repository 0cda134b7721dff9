#include "platform/kernel/SyncApi.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include <sys/resource.h>
#include <unistd.h>

#include "platform/kernel/ErrorApi.h"
#include "platform/kernel/HandleTable.h"
#include "platform/kernel/ThreadFailure.h"
#include "platform/kernel/WaitableObject.h"

namespace {

// Thread ids are small numbers of our own, multiples of four like Windows ids, never 0.
std::atomic<DWORD> g_next_thread_id{4};
thread_local DWORD t_thread_id = 0;

std::atomic<int> g_failing_thread_starts{0};

DWORD NextThreadId()
{
    return g_next_thread_id.fetch_add(4);
}

const HANDLE CURRENT_THREAD = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-2));

void ApplyPriority(pid_t tid, int priority)
{
    // Each Windows step is a few nice levels; failure (no CAP_SYS_NICE) leaves the thread as it is.
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(tid), -priority * 5);
}

class ThreadObject final : public platform::WaitableObject
{
public:
    explicit ThreadObject(DWORD id)
        : m_id(id)
    {}

    platform::KernelObjectKind GetKind() const override { return platform::KernelObjectKind::Thread; }
    bool IsReadyLocked() override { return m_finished; }

    DWORD GetId() const { return m_id; }

    void Started(pid_t tid)
    {
        std::lock_guard lock(GetLock());
        m_tid = tid;
        if (m_priority != THREAD_PRIORITY_NORMAL)
            ApplyPriority(m_tid, m_priority);
    }

    void Finish(DWORD exit_code)
    {
        WokenWaiters woken;
        std::lock_guard lock(GetLock());
        m_exit_code = exit_code;
        m_finished = true;
        WakeWaitersLocked(woken);
    }

    void SetPriority(int priority)
    {
        std::lock_guard lock(GetLock());
        m_priority = priority;
        if (m_tid != 0 && !m_finished)
            ApplyPriority(m_tid, m_priority);
    }

    DWORD GetExitCode()
    {
        std::lock_guard lock(GetLock());
        return m_finished ? m_exit_code : STILL_ACTIVE;
    }

private:
    const DWORD m_id;
    // guarded by GetLock():
    pid_t m_tid = 0;
    int m_priority = THREAD_PRIORITY_NORMAL;
    bool m_finished = false;
    DWORD m_exit_code = 0;
};

} // namespace

uintptr_t _beginthreadex(void*, unsigned, _beginthreadex_proc_type start, void* argument, unsigned,
                         unsigned* thread_id)
{
    if (!start) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    for (int left = g_failing_thread_starts.load(); left > 0;) {
        if (g_failing_thread_starts.compare_exchange_weak(left, left - 1)) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return 0;
        }
    }
    auto thread = std::make_shared<ThreadObject>(NextThreadId());
    HANDLE handle = platform::HandleTable::GetInstance().Add(thread);
    try {
        // Detached: the handle, not a join, tells when the thread has ended.
        std::thread([thread, start, argument] {
            t_thread_id = thread->GetId();
            thread->Started(::gettid());
            // The last boundary of every thread: an exception the thread's own code let through
            // ends the game through the main thread instead of std::terminate.
            DWORD exit_code = 1;
            try {
                exit_code = start(argument);
            } catch (...) {
                platform::PostThreadFailure(platform::DescribeStandardException());
            }
            thread->Finish(exit_code);
        }).detach();
    } catch (const std::system_error&) {
        platform::HandleTable::GetInstance().Remove(handle);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    if (thread_id)
        *thread_id = thread->GetId();
    return reinterpret_cast<uintptr_t>(handle);
}

namespace platform {

void FailNextThreadStarts(int count)
{
    g_failing_thread_starts = count;
}

} // namespace platform

BOOL SetThreadPriority(HANDLE handle, int priority)
{
    if (handle == CURRENT_THREAD) {
        ApplyPriority(::gettid(), priority);
        return TRUE;
    }
    std::shared_ptr<ThreadObject> thread = platform::HandleTable::GetInstance().GetAs<ThreadObject>(handle);
    if (!thread) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    thread->SetPriority(priority);
    return TRUE;
}

HANDLE GetCurrentThread()
{
    return CURRENT_THREAD;
}

DWORD GetCurrentThreadId()
{
    if (t_thread_id == 0)
        t_thread_id = NextThreadId();
    return t_thread_id;
}

BOOL GetExitCodeThread(HANDLE handle, LPDWORD exit_code)
{
    std::shared_ptr<ThreadObject> thread = platform::HandleTable::GetInstance().GetAs<ThreadObject>(handle);
    if (!thread || !exit_code) {
        SetLastError(thread ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    *exit_code = thread->GetExitCode();
    return TRUE;
}
