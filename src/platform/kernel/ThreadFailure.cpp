#include "platform/kernel/ThreadFailure.h"

#include <atomic>
#include <exception>
#include <mutex>
#include <utility>

namespace platform {

namespace {

std::mutex g_failure_lock; // leaf: guards g_failure
std::optional<std::string> g_failure;
std::atomic<bool> g_failure_pending{false};

} // namespace

void PostThreadFailure(std::string text)
{
    std::lock_guard lock(g_failure_lock);
    if (g_failure)
        return;
    g_failure = std::move(text);
    g_failure_pending = true;
}

std::optional<std::string> TakeThreadFailure()
{
    if (!g_failure_pending)
        return std::nullopt; // the pump asks every pass: no lock when nothing failed
    std::lock_guard lock(g_failure_lock);
    g_failure_pending = false;
    return std::exchange(g_failure, std::nullopt);
}

bool IsThreadFailurePending()
{
    return g_failure_pending;
}

std::string DescribeStandardException()
{
    try {
        throw;
    } catch (const std::exception& failure) {
        return failure.what();
    } catch (...) {
        return "An unexpected failure ended a thread of the program.";
    }
}

} // namespace platform
