#include "platform/kernel/SyncApi.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/kernel/ErrorApi.h"
#include "platform/kernel/FileApi.h"
#include "platform/kernel/TimeApi.h"
#include "platform/kernel/VirtualClock.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"
#include "support/ThreadTest.h"

namespace {

using platform::VirtualClock;

HANDLE StartThread(unsigned (*body)(void*), void* argument)
{
    unsigned id = 0;
    return reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, body, argument, 0, &id));
}

// Each test that parks threads runs on the virtual clock, so it can see them parked.
class SyncApiThreadTest : public ThreadTest
{
protected:
    void SetUp() override { VirtualClock::Enable(1000); }
    void TearDown() override { VirtualClock::Disable(); }
};

using CriticalSectionThreadTest = ThreadTest;

TEST_F(CriticalSectionThreadTest, IsRecursiveForItsOwnerOnly)
{
    CRITICAL_SECTION section;
    InitializeCriticalSection(&section);
    EnterCriticalSection(&section);
    EXPECT_TRUE(TryEnterCriticalSection(&section)); // the owner enters again
    std::atomic<BOOL> other = TRUE;
    void* arguments[] = {&section, &other};
    HANDLE thread = StartThread(
        [](void* argument) -> unsigned {
            auto* section = static_cast<CRITICAL_SECTION*>(static_cast<void**>(argument)[0]);
            auto* result = static_cast<std::atomic<BOOL>*>(static_cast<void**>(argument)[1]);
            *result = TryEnterCriticalSection(section);
            return 0;
        },
        arguments);
    ASSERT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    CloseHandle(thread);
    EXPECT_FALSE(other.load());
    LeaveCriticalSection(&section);
    LeaveCriticalSection(&section);
    DeleteCriticalSection(&section);
}

using EventThreadTest = ThreadTest;

TEST_F(EventThreadTest, AutoResetIsConsumedByOneWaitAndManualResetStays)
{
    HANDLE automatic = CreateEventW(nullptr, FALSE, TRUE, nullptr);
    HANDLE manual = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(automatic, nullptr);
    EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_TIMEOUT);

    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_TIMEOUT);
    SetEvent(manual);
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
    ResetEvent(manual);
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_TIMEOUT);
    CloseHandle(automatic);
    CloseHandle(manual);
    EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(WaitForMultipleObjects, LowestSignalledIndexWinsAndOnlyItIsConsumed)
{
    std::vector<HANDLE> events;
    for (int i = 0; i < 7; ++i)
        events.push_back(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    SetEvent(events[5]);
    SetEvent(events[2]);
    EXPECT_EQ(WaitForMultipleObjects(7, events.data(), FALSE, INFINITE), WAIT_OBJECT_0 + 2);
    EXPECT_EQ(WaitForMultipleObjects(7, events.data(), FALSE, INFINITE), WAIT_OBJECT_0 + 5);
    EXPECT_EQ(WaitForMultipleObjects(7, events.data(), FALSE, 0), WAIT_TIMEOUT);

    // Wait-all takes everything at once, or nothing.
    SetEvent(events[0]);
    EXPECT_EQ(WaitForMultipleObjects(2, events.data(), TRUE, 0), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(events[0], 0), WAIT_OBJECT_0); // still set after the failed wait-all
    SetEvent(events[0]);
    SetEvent(events[1]);
    EXPECT_EQ(WaitForMultipleObjects(2, events.data(), TRUE, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForMultipleObjects(2, events.data(), FALSE, 0), WAIT_TIMEOUT);
    for (HANDLE event : events)
        CloseHandle(event);
}

struct Waiter
{
    HANDLE events[2];
    std::atomic<DWORD> result{0xDEAD};
};

unsigned WaitAny(void* argument)
{
    auto* waiter = static_cast<Waiter*>(argument);
    waiter->result = WaitForMultipleObjects(2, waiter->events, FALSE, INFINITE);
    return 7;
}

TEST_F(SyncApiThreadTest, AParkedWaiterWakesForTheEventThatIsSet)
{
    Waiter waiter{
        {CreateEventW(nullptr, FALSE, FALSE, nullptr), CreateEventW(nullptr, FALSE, FALSE, nullptr)}};
    HANDLE thread = StartThread(WaitAny, &waiter);
    ASSERT_TRUE(VirtualClock::WaitForParked(1));
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    SetEvent(waiter.events[1]);
    ASSERT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(waiter.result.load(), WAIT_OBJECT_0 + 1);
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 7u);
    EXPECT_EQ(WaitForSingleObject(waiter.events[1], 0), WAIT_TIMEOUT); // consumed by the waiter
    CloseHandle(thread);
    CloseHandle(waiter.events[0]);
    CloseHandle(waiter.events[1]);
}

unsigned WaitForever(void* event)
{
    return WaitForSingleObject(static_cast<HANDLE>(event), INFINITE) == WAIT_OBJECT_0 ? 1 : 0;
}

TEST_F(SyncApiThreadTest, ManualResetWakesEveryWaiter)
{
    HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::vector<HANDLE> threads;
    for (int i = 0; i < 4; ++i)
        threads.push_back(StartThread(WaitForever, stop));
    ASSERT_TRUE(VirtualClock::WaitForParked(4));
    SetEvent(stop);
    EXPECT_EQ(WaitForMultipleObjects(4, threads.data(), TRUE, INFINITE), WAIT_OBJECT_0);
    for (HANDLE thread : threads) {
        DWORD code = 0;
        GetExitCodeThread(thread, &code);
        EXPECT_EQ(code, 1u);
        CloseHandle(thread);
    }
    CloseHandle(stop);
}

TEST_F(SyncApiThreadTest, AutoResetReleasesExactlyOneWaiter)
{
    HANDLE handover = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE threads[2] = {StartThread(WaitForever, handover), StartThread(WaitForever, handover)};
    ASSERT_TRUE(VirtualClock::WaitForParked(2));
    SetEvent(handover);
    const DWORD first = WaitForMultipleObjects(2, threads, FALSE, INFINITE);
    ASSERT_LT(first, WAIT_OBJECT_0 + 2);
    HANDLE other = threads[1 - (first - WAIT_OBJECT_0)];
    EXPECT_EQ(WaitForSingleObject(other, 0), WAIT_TIMEOUT);
    SetEvent(handover);
    EXPECT_EQ(WaitForSingleObject(other, INFINITE), WAIT_OBJECT_0);
    CloseHandle(threads[0]);
    CloseHandle(threads[1]);
    CloseHandle(handover);
}

struct PingPong
{
    HANDLE ping;
    HANDLE pong;
    int rounds;
};

TEST_F(EventThreadTest, HandOverLosesNoWakeUp)
{
    PingPong game{CreateEventW(nullptr, FALSE, FALSE, nullptr), CreateEventW(nullptr, FALSE, FALSE, nullptr),
                  5'000};
    HANDLE thread = StartThread(
        [](void* argument) -> unsigned {
            auto* game = static_cast<PingPong*>(argument);
            for (int i = 0; i < game->rounds; ++i) {
                WaitForSingleObject(game->ping, INFINITE);
                SetEvent(game->pong);
            }
            return 0;
        },
        &game);
    for (int i = 0; i < game.rounds; ++i) {
        SetEvent(game.ping);
        ASSERT_EQ(WaitForSingleObject(game.pong, INFINITE), WAIT_OBJECT_0);
    }
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    CloseHandle(thread);
    CloseHandle(game.ping);
    CloseHandle(game.pong);
}

// The calling thread's voluntary context switches: how often it slept.
uint64_t OwnSleeps()
{
    std::ifstream status("/proc/thread-self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("voluntary_ctxt_switches:", 0) == 0)
            return std::stoull(line.substr(line.find(':') + 1));
    return 0;
}

struct CountedPingPong
{
    PingPong game;
    cpu_set_t core;
    std::atomic<uint64_t> sleeps{0};
};

// Waker and waiter on one core: the woken waiter runs at once, before its waker goes on. A wake
// told while the waker still held the waiter's lock or the event's made the waiter sleep again on
// that lock.
TEST_F(EventThreadTest, AWaiterWokenOnItsWakersCoreSleepsOncePerWake)
{
    CountedPingPong counted{
        {CreateEventW(nullptr, FALSE, FALSE, nullptr), CreateEventW(nullptr, FALSE, FALSE, nullptr), 2'000},
        {}};
    CPU_SET(sched_getcpu(), &counted.core);
    cpu_set_t before;
    ASSERT_EQ(sched_getaffinity(0, sizeof(before), &before), 0);
    ASSERT_EQ(sched_setaffinity(0, sizeof(counted.core), &counted.core), 0);
    HANDLE thread = StartThread(
        [](void* argument) -> unsigned {
            auto* counted = static_cast<CountedPingPong*>(argument);
            sched_setaffinity(0, sizeof(counted->core), &counted->core);
            uint64_t start = 0;
            for (int i = 0; i <= counted->game.rounds; ++i) {
                if (i == 1)
                    start = OwnSleeps();
                WaitForSingleObject(counted->game.ping, INFINITE);
                SetEvent(counted->game.pong);
            }
            counted->sleeps = OwnSleeps() - start;
            return 0;
        },
        &counted);
    for (int i = 0; i <= counted.game.rounds; ++i) {
        SetEvent(counted.game.ping);
        ASSERT_EQ(WaitForSingleObject(counted.game.pong, INFINITE), WAIT_OBJECT_0);
    }
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    sched_setaffinity(0, sizeof(before), &before);
    // One sleep a round; a few more where the core's other work came between.
    EXPECT_LE(counted.sleeps.load(), uint64_t(counted.game.rounds) * 11 / 10);
    CloseHandle(thread);
    CloseHandle(counted.game.ping);
    CloseHandle(counted.game.pong);
}

using ThreadThreadTest = ThreadTest;

TEST_F(ThreadThreadTest, HandleIsWaitableAndIdsMatch)
{
    static std::atomic<DWORD> s_seen_id{0};
    unsigned id = 0;
    HANDLE thread = reinterpret_cast<HANDLE>(_beginthreadex(
        nullptr, 0,
        [](void*) -> unsigned {
            s_seen_id = GetCurrentThreadId();
            return 42;
        },
        nullptr, 0, &id));
    ASSERT_NE(thread, nullptr);
    EXPECT_TRUE(SetThreadPriority(thread, THREAD_PRIORITY_ABOVE_NORMAL));
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0); // an ended thread stays signalled
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 42u);
    EXPECT_EQ(s_seen_id.load(), id);
    EXPECT_NE(id, GetCurrentThreadId());
    EXPECT_TRUE(CloseHandle(thread));
    EXPECT_TRUE(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL));
}

using MutexThreadTest = ThreadTest;

TEST_F(MutexThreadTest, UnnamedMutexBelongsToOneThread)
{
    HANDLE mutex = CreateMutexW(nullptr, TRUE, nullptr);
    ASSERT_NE(mutex, nullptr);
    EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0); // recursive for the owner
    HANDLE thread = StartThread([](void* mutex) -> unsigned { return WaitForSingleObject(mutex, 0); }, mutex);
    WaitForSingleObject(thread, INFINITE);
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, WAIT_TIMEOUT);
    CloseHandle(thread);

    EXPECT_TRUE(ReleaseMutex(mutex));
    EXPECT_TRUE(ReleaseMutex(mutex));
    EXPECT_FALSE(ReleaseMutex(mutex));
    EXPECT_EQ(GetLastError(), ERROR_NOT_OWNER);
    thread = StartThread([](void* mutex) -> unsigned { return WaitForSingleObject(mutex, 0); }, mutex);
    WaitForSingleObject(thread, INFINITE);
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, WAIT_OBJECT_0);
    CloseHandle(thread);
    CloseHandle(mutex);
}

class NamedMutexTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const char* previous = std::getenv("XDG_RUNTIME_DIR");
        m_saved = previous ? std::optional<std::string>(previous) : std::nullopt;
        setenv("XDG_RUNTIME_DIR", m_dir.Path().c_str(), 1);
    }
    void TearDown() override
    {
        if (m_saved)
            setenv("XDG_RUNTIME_DIR", m_saved->c_str(), 1);
        else
            unsetenv("XDG_RUNTIME_DIR");
    }

    // Runs `body` in a forked child and returns its exit status.
    template <class Body>
    int InChild(Body body)
    {
        const pid_t child = fork();
        if (child == 0)
            _exit(body());
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    static constexpr const char16_t* NAME = u"__T_O_L_M_I_Q_U_A__";
    TempDir m_dir;
    std::optional<std::string> m_saved;
};

TEST_F(NamedMutexTest, AnotherProcessSeesTheMutexHeld)
{
    // Nobody holds it yet: open fails, create and a zero wait take it.
    EXPECT_EQ(OpenMutexW(MUTEX_ALL_ACCESS, FALSE, NAME), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    HANDLE mine = CreateMutexW(nullptr, FALSE, NAME);
    ASSERT_NE(mine, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_EQ(WaitForSingleObject(mine, 0), WAIT_OBJECT_0);

    // A second instance: open succeeds (so it gives up), and a create could not take it.
    EXPECT_EQ(InChild([] {
                  HANDLE opened = OpenMutexW(MUTEX_ALL_ACCESS, FALSE, NAME);
                  if (!opened)
                      return 1;
                  CloseHandle(opened);
                  HANDLE created = CreateMutexW(nullptr, FALSE, NAME);
                  if (!created || GetLastError() != ERROR_ALREADY_EXISTS)
                      return 2;
                  return WaitForSingleObject(created, 0) == WAIT_TIMEOUT ? 0 : 3;
              }),
              0);

    EXPECT_TRUE(ReleaseMutex(mine));
    EXPECT_TRUE(CloseHandle(mine));
    EXPECT_EQ(InChild([] { return OpenMutexW(MUTEX_ALL_ACCESS, FALSE, NAME) == nullptr ? 0 : 1; }), 0);
}

TEST_F(NamedMutexTest, AnEndedHolderLeavesItFree)
{
    // The child takes the mutex and exits without releasing it, as a crash would.
    EXPECT_EQ(InChild([] {
                  HANDLE created = CreateMutexW(nullptr, FALSE, NAME);
                  return created && WaitForSingleObject(created, 0) == WAIT_OBJECT_0 ? 0 : 1;
              }),
              0);
    EXPECT_EQ(OpenMutexW(MUTEX_ALL_ACCESS, FALSE, NAME), nullptr);
    HANDLE mine = CreateMutexW(nullptr, FALSE, NAME);
    EXPECT_EQ(WaitForSingleObject(mine, 0), WAIT_OBJECT_0);
    CloseHandle(mine);
}

// Without a runtime folder the locks go to a folder of the user's own in the temporary folder,
// never to the shared folder itself, where another user's lock file would refuse every start.
TEST_F(NamedMutexTest, WithoutARuntimeFolderTheLockIsInAFolderOfTheUsersOwn)
{
    ScopedEnv no_runtime("XDG_RUNTIME_DIR", nullptr);
    ScopedEnv temporary("TMPDIR", m_dir.Path().c_str());
    const std::filesystem::path own = m_dir.Path() / ("vesk-" + std::to_string(getuid()));
    HANDLE mine = CreateMutexW(nullptr, FALSE, NAME);
    ASSERT_NE(mine, nullptr);
    EXPECT_EQ(platform::NamedMutexLockFile(NAME), (own / "vesk-mutex-__T_O_L_M_I_Q_U_A__.lock").string());
    EXPECT_TRUE(std::filesystem::exists(platform::NamedMutexLockFile(NAME)));
    EXPECT_EQ(std::filesystem::status(own).permissions(), std::filesystem::perms::owner_all);
    EXPECT_EQ(InChild([] { return OpenMutexW(MUTEX_ALL_ACCESS, FALSE, NAME) != nullptr ? 0 : 1; }), 0)
        << "not held";
    CloseHandle(mine);

    // Something else in the folder's place: refused, with the reason, instead of followed.
    std::filesystem::remove_all(own);
    std::filesystem::create_symlink(m_dir.Path(), own);
    EXPECT_EQ(CreateMutexW(nullptr, FALSE, NAME), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(std::filesystem::exists(m_dir.Path() / "vesk-mutex-__T_O_L_M_I_Q_U_A__.lock"));
}

unsigned TimedWait(void* event)
{
    return WaitForSingleObject(static_cast<HANDLE>(event), 0x200);
}

TEST_F(SyncApiThreadTest, VirtualClockWakesATimedWaitAtItsDeadlineAcrossTheWrap)
{
    VirtualClock::Set(0xFFFF'FF00);
    const DWORD start = timeGetTime();
    EXPECT_EQ(start, 0xFFFF'FF00u);
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE thread = StartThread(TimedWait, event);
    ASSERT_TRUE(VirtualClock::WaitForParked(1));

    VirtualClock::Advance(0x1FF);
    EXPECT_EQ(VirtualClock::GetParkedCount(), 1u); // one millisecond short: still waiting
    EXPECT_EQ(timeGetTime(), 0xFFu);               // the 32-bit clock has wrapped
    EXPECT_EQ(timeGetTime() - start, 0x1FFu);      // and unsigned differences still measure
    EXPECT_EQ(GetTickCount(), timeGetTime());

    VirtualClock::Advance(1);
    EXPECT_EQ(VirtualClock::GetParkedCount(), 0u);
    ASSERT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, WAIT_TIMEOUT);
    CloseHandle(thread);
    CloseHandle(event);
}

TEST_F(SyncApiThreadTest, AnEventEndsATimedWaitWithoutTime)
{
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE thread = StartThread(TimedWait, event);
    ASSERT_TRUE(VirtualClock::WaitForParked(1));
    SetEvent(event);
    ASSERT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, WAIT_OBJECT_0);
    EXPECT_EQ(VirtualClock::Now(), 1000u);
    CloseHandle(thread);
    CloseHandle(event);
}

TEST_F(SyncApiThreadTest, SleepEndsWhenTheClockPassesIt)
{
    HANDLE thread = StartThread(
        [](void*) -> unsigned {
            Sleep(10);
            return timeGetTime();
        },
        nullptr);
    ASSERT_TRUE(VirtualClock::WaitForParked(1));
    VirtualClock::Advance(9);
    EXPECT_EQ(VirtualClock::GetParkedCount(), 1u);
    VirtualClock::Advance(5);
    ASSERT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, 1014u);
    CloseHandle(thread);
}

TEST_F(SyncApiThreadTest, AutoAdvanceRunsSleepsAndTimeOutsAtOnce)
{
    VirtualClock::SetAutoAdvance(true);
    Sleep(0); // a yield takes no time
    EXPECT_EQ(timeGetTime(), 1000u);
    Sleep(25);
    EXPECT_EQ(timeGetTime(), 1025u);
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    EXPECT_EQ(WaitForSingleObject(event, 50), WAIT_TIMEOUT);
    EXPECT_EQ(timeGetTime(), 1075u);
    CloseHandle(event);
}

} // namespace
