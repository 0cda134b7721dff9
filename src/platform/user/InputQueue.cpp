#include "platform/user/InputQueue.h"

#include "platform/user/PostedQueue.h"

namespace platform {

void InputQueue::Queue(const MSG& message)
{
    if (message.message == WM_MOUSEMOVE && !m_messages.empty() && m_messages.back().message == WM_MOUSEMOVE &&
        m_messages.back().hwnd == message.hwnd) {
        m_messages.back() = message;
        return;
    }
    m_messages.push_back(message);
}

std::optional<MSG> InputQueue::Take(const std::function<bool(const MSG&)>& accept, bool remove)
{
    return TakeFirst(m_messages, accept, remove);
}

} // namespace platform
