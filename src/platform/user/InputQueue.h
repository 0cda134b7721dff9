#pragma once
// The queue of input messages the window layer has translated from native events (keys, mouse,
// touch, characters), ahead of the native events not yet translated. Main thread only.

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>

#include "platform/user/MessageApi.h"

namespace platform {

class InputQueue final
{
public:
    // Keeps only the newest of consecutive mouse moves to one window, as Windows does (with the
    // arrival of the first: how long input waited is measured from it). `arrived_us` is when
    // the layer took the native event from the system (RealMicroseconds).
    void Queue(const MSG& message, uint64_t arrived_us);
    // A translated character goes straight after its key, which the pump has just taken.
    void QueueFront(const MSG& message, uint64_t arrived_us) { m_messages.push_front({message, arrived_us}); }
    std::optional<MSG> Take(const std::function<bool(const MSG&)>& accept, bool remove);
    bool IsEmpty() const { return m_messages.empty(); }
    void Clear() { m_messages.clear(); }
    // The arrival of the message the last removing Take returned.
    uint64_t TakenArrival() const { return m_taken_arrival_us; }

private:
    struct Entry
    {
        MSG message;
        uint64_t arrived_us;
    };
    std::deque<Entry> m_messages;
    uint64_t m_taken_arrival_us = 0;
};

} // namespace platform
