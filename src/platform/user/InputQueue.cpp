#include "platform/user/InputQueue.h"

namespace platform {

void InputQueue::Queue(const MSG& message, uint64_t arrived_us)
{
    if (message.message == WM_MOUSEMOVE && !m_messages.empty() &&
        m_messages.back().message.message == WM_MOUSEMOVE && m_messages.back().message.hwnd == message.hwnd) {
        m_messages.back().message = message;
        return;
    }
    m_messages.push_back({message, arrived_us});
}

std::optional<MSG> InputQueue::Take(const std::function<bool(const MSG&)>& accept, bool remove)
{
    for (auto it = m_messages.begin(); it != m_messages.end(); ++it) {
        if (!accept(it->message))
            continue;
        const MSG found = it->message;
        if (remove) {
            m_taken_arrival_us = it->arrived_us;
            m_messages.erase(it);
        }
        return found;
    }
    return std::nullopt;
}

} // namespace platform
