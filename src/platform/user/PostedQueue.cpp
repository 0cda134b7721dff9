#include "platform/user/PostedQueue.h"

namespace platform {

std::optional<MSG> TakeFirst(std::deque<MSG>& queue, const std::function<bool(const MSG&)>& accept, bool remove)
{
    for (auto it = queue.begin(); it != queue.end(); ++it) {
        if (!accept(*it))
            continue;
        MSG found = *it;
        if (remove)
            queue.erase(it);
        return found;
    }
    return std::nullopt;
}

void PostedQueue::Post(const MSG& message)
{
    std::lock_guard lock(m_lock);
    m_messages.push_back(message);
}

void PostedQueue::PostQuit(int exit_code)
{
    std::lock_guard lock(m_lock);
    m_quit = true;
    m_quit_code = exit_code;
}

std::optional<MSG> PostedQueue::Take(const std::function<bool(const MSG&)>& accept, bool remove)
{
    std::lock_guard lock(m_lock);
    return TakeFirst(m_messages, accept, remove);
}

std::optional<int> PostedQueue::TakeQuit(bool remove)
{
    std::lock_guard lock(m_lock);
    if (!m_quit)
        return std::nullopt;
    if (remove)
        m_quit = false;
    return m_quit_code;
}

bool PostedQueue::HasAny() const
{
    std::lock_guard lock(m_lock);
    return !m_messages.empty() || m_quit;
}

void PostedQueue::Clear()
{
    std::lock_guard lock(m_lock);
    m_messages.clear();
    m_quit = false;
}

} // namespace platform
