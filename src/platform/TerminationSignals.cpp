#include "platform/TerminationSignals.h"

#include <atomic>
#include <csignal>

namespace platform {

namespace {

// Lock-free, so the handler may touch them.
std::atomic<int> g_requested{0};
std::atomic<bool> g_taken{false};
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);

void OnTerminationSignal(int signal_number)
{
    g_requested.store(signal_number, std::memory_order_relaxed);
}

} // namespace

void InstallTerminationHandlers()
{
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
