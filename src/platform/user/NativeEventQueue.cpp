#include "platform/user/NativeEventQueue.h"

#include <utility>

namespace platform {

void NativeEventQueue::Fill(VideoDevice& device)
{
    while (m_events.size() < MAX_PENDING) {
        std::optional<NativeEvent> event = device.PollEvent();
        if (!event)
            break;
        m_events.push_back(std::move(*event));
    }
}

std::optional<NativeEvent> NativeEventQueue::Next(VideoDevice* device)
{
    if (m_events.empty() && device != nullptr)
        Fill(*device);
    if (m_events.empty())
        return std::nullopt;
    NativeEvent event = std::move(m_events.front());
    m_events.pop_front();
    return event;
}

} // namespace platform
