#include "platform/TerminationSignals.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

#include "platform/kernel/IdleWait.h"

namespace platform {

namespace {

// Lock-free, so the handler may touch them.
std::atomic<int> g_requested{0};
std::atomic<bool> g_taken{false};
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);

// A handler may not wake the window thread's rest itself: it writes a byte here, and a watcher
// thread, blocked on the other end, ends the rest.
int g_wake_pipe[2] = {-1, -1};

void OnTerminationSignal(int signal_number)
{
    g_requested.store(signal_number, std::memory_order_relaxed);
    if (g_wake_pipe[1] >= 0) {
        const int saved = errno;
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = write(g_wake_pipe[1], &byte, 1);
        errno = saved;
    }
}

void WatchForRequests(int read_end)
{
    char byte = 0;
    for (;;) {
        const ssize_t got = read(read_end, &byte, 1);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return;
        WakeIdleOwner();
    }
}

} // namespace

void InstallTerminationHandlers()
{
    // Without the watcher a request still ends the game, at the end of the rest it came in.
    if (g_wake_pipe[0] < 0 && pipe2(g_wake_pipe, O_CLOEXEC) == 0) {
        fcntl(g_wake_pipe[1], F_SETFL, O_NONBLOCK); // a full pipe has a wake waiting already
        std::thread(WatchForRequests, g_wake_pipe[0]).detach();
    }
    struct sigaction action = {};
    action.sa_handler = &OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    // SA_RESTART: no thread's blocking call fails for it. SA_RESETHAND: the next one is fatal.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    // Also where the starter ignored them (a script's background job): `timeout -s INT` and a
    // test's kill must still end the game cleanly.
    for (const int signal_number : {SIGINT, SIGTERM})
        sigaction(signal_number, &action, nullptr);
}

bool TakeTerminationRequest()
{
    return g_requested.load(std::memory_order_relaxed) != 0 && !g_taken.exchange(true);
}

bool IsTerminationRequested()
{
    return g_requested.load(std::memory_order_relaxed) != 0;
}

} // namespace platform
