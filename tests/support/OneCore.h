#pragma once
// For tests that count how often a thread slept: threads pinned to one core, where a thread woken
// runs at once, before its waker goes on, so a lock the waker still holds shows as a sleep.

#include <cstdint>

#include <sched.h>

// The calling thread's voluntary context switches so far: each time it slept.
uint64_t OwnSleeps();

// Pins the calling thread to the core it runs on (or to `core`'s) until the end of the scope.
class OneCore
{
public:
    OneCore();
    explicit OneCore(const OneCore& core);
    ~OneCore();
    OneCore& operator=(const OneCore&) = delete;

private:
    cpu_set_t m_core{};
    cpu_set_t m_before{};
    bool m_pinned = false;
};
