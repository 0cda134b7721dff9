#include "platform/user/PostedQueue.h"

namespace platform {

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
    for (auto it = m_messages.begin(); it != m_messages.end(); ++it) {
        if (!accept(*it))
            continue;
        MSG found = *it;
        if (remove)
            m_messages.erase(it);
        return found;
    }
    return std::nullopt;
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
