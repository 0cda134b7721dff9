#pragma once
// The layer's millisecond clock and the one place threads block. Every wait, timed or not, and
// every Sleep parks on a WaitBlock here, so the virtual clock can see and wake them.
// Layer-internal.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>

namespace platform {

// Milliseconds on the layer clock, 64-bit so deadlines never wrap; timeGetTime is its low word.
uint64_t GetLayerTime();

class WaitBlock final
{
public:
    WaitBlock() = default;
    ~WaitBlock();
    WaitBlock(const WaitBlock&) = delete;
    WaitBlock& operator=(const WaitBlock&) = delete;

    // Something the parked thread waits for has changed; a wake before the park is kept.
    void Wake();

    // Wake in two steps, for a waker that holds a lock the woken thread takes next: Mark under
    // it (while the lock keeps the block in use), Tell once it is let go. A thread told while
    // the waker still held the lock would run, find it taken and sleep again: two wakes for
    // one change. The block is not destroyed before its Tell has ended.
    void Mark();
    void Tell();

private:
    friend void Park(WaitBlock& block, std::optional<uint64_t> deadline);
    friend class VirtualClockState;

    std::mutex m_lock; // guards m_woken
    std::condition_variable m_changed;
    bool m_woken = false;
    std::atomic<int> m_telling{0}; // Marks whose Tell has not ended
};

// Blocks until the block is woken or the clock reaches the deadline, whichever comes first.
// Callers re-check their condition and the clock after it returns.
void Park(WaitBlock& block, std::optional<uint64_t> deadline);

} // namespace platform
