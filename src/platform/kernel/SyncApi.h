#pragma once
// Critical sections (recursive for their owner), events, the named single-instance mutex,
// waits and threads. Timed waits and Sleep run on the layer clock, so a virtual clock makes
// them deterministic in tests.

#include <string>

#include "platform/kernel/WinTypes.h"

// Storage for a recursive mutex; the layer places its own object inside.
struct CRITICAL_SECTION
{
    alignas(16) unsigned char storage[64];
};
using LPCRITICAL_SECTION = CRITICAL_SECTION*;

void InitializeCriticalSection(LPCRITICAL_SECTION section);
void DeleteCriticalSection(LPCRITICAL_SECTION section);
void EnterCriticalSection(LPCRITICAL_SECTION section);
void LeaveCriticalSection(LPCRITICAL_SECTION section);
BOOL TryEnterCriticalSection(LPCRITICAL_SECTION section);

inline constexpr DWORD WAIT_OBJECT_0 = 0;
inline constexpr DWORD WAIT_ABANDONED = 0x80;
inline constexpr DWORD WAIT_TIMEOUT = 0x102;
inline constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;
inline constexpr DWORD MAXIMUM_WAIT_OBJECTS = 64;
inline constexpr DWORD MUTEX_ALL_ACCESS = 0x1F0001;
inline constexpr DWORD SYNCHRONIZE = 0x00100000;

HANDLE CreateEventW(LPSECURITY_ATTRIBUTES security, BOOL manual_reset, BOOL initial_state, LPCWSTR name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
// "Any" waits return WAIT_OBJECT_0 + the lowest signalled index and consume that event only.
DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL wait_all, DWORD milliseconds);

// Named mutexes are system-wide: a lock file named after the mutex, held with flock, so a
// crashed holder never leaves it taken.
HANDLE CreateMutexW(LPSECURITY_ATTRIBUTES security, BOOL initial_owner, LPCWSTR name);
HANDLE OpenMutexW(DWORD desired_access, BOOL inherit, LPCWSTR name);
BOOL ReleaseMutex(HANDLE mutex);

namespace platform {
// The file whose lock stands for the named mutex, for messages about it.
std::string NamedMutexLockFile(LPCWSTR name);
} // namespace platform

using _beginthreadex_proc_type = unsigned (*)(void*);
// Returns a waitable thread handle (0 on failure), as the CRT does. The thread runs at once
// (creation flags are ignored) with the system's default stack.
uintptr_t _beginthreadex(void* security, unsigned stack_size, _beginthreadex_proc_type start, void* argument,
                         unsigned init_flag, unsigned* thread_id);
inline constexpr DWORD STILL_ACTIVE = 259;
inline constexpr int THREAD_PRIORITY_LOWEST = -2;
inline constexpr int THREAD_PRIORITY_BELOW_NORMAL = -1;
inline constexpr int THREAD_PRIORITY_NORMAL = 0;
inline constexpr int THREAD_PRIORITY_ABOVE_NORMAL = 1;
inline constexpr int THREAD_PRIORITY_HIGHEST = 2;
// Best effort: raising a priority needs privileges the process rarely has, and a refusal is
// ignored, as the sound threads only ask for a little headroom.
BOOL SetThreadPriority(HANDLE thread, int priority);
// A pseudo handle meaning "the calling thread"; it needs no CloseHandle.
HANDLE GetCurrentThread();
DWORD GetCurrentThreadId();
BOOL GetExitCodeThread(HANDLE thread, LPDWORD exit_code);

// Sleep(0) gives up the rest of the time slice; on the thread that owns the windows it waits for
// the next message or 1 ms instead (platform/kernel/IdleWait.h). Longer sleeps run on the layer
// clock.
void Sleep(DWORD milliseconds);
