#pragma once
// The posted-message queue of the window layer, with the quit request of PostQuitMessage. Any
// thread posts; the main thread takes. Its lock is a leaf: the filter a taker passes must not
// call out of the layer.

#include <deque>
#include <functional>
#include <mutex>
#include <optional>

#include "platform/user/MessageApi.h"

namespace platform {

// The first message of the queue that `accept` takes, in order; removed when `remove`.
std::optional<MSG> TakeFirst(std::deque<MSG>& queue, const std::function<bool(const MSG&)>& accept, bool remove);

class PostedQueue final
{
public:
    void Post(const MSG& message);
    void PostQuit(int exit_code);
    // The first message `accept` takes, in posting order; removed from the queue when `remove`.
    std::optional<MSG> Take(const std::function<bool(const MSG&)>& accept, bool remove);
    // The exit code of a pending quit request, cleared when `remove`.
    std::optional<int> TakeQuit(bool remove);
    // A message or a quit request is waiting.
    bool HasAny() const;
    void Clear();

private:
    mutable std::mutex m_lock; // guards everything below
    std::deque<MSG> m_messages;
    bool m_quit = false;
    int m_quit_code = 0;
};

} // namespace platform
