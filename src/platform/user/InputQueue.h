#pragma once
// The queue of input messages the window layer has translated from native events (keys, mouse,
// touch, characters), ahead of the native events not yet translated. Main thread only.

#include <deque>
#include <functional>
#include <optional>

#include "platform/user/MessageApi.h"

namespace platform {

class InputQueue final
{
public:
    // Keeps only the newest of consecutive mouse moves to one window, as Windows does.
    void Queue(const MSG& message);
    // A translated character goes straight after its key, which the pump has just taken.
    void QueueFront(const MSG& message) { m_messages.push_front(message); }
    std::optional<MSG> Take(const std::function<bool(const MSG&)>& accept, bool remove);
    bool IsEmpty() const { return m_messages.empty(); }
    void Clear() { m_messages.clear(); }

private:
    std::deque<MSG> m_messages;
};

} // namespace platform
