#include "platform/user/NativeEventQueue.h"

#include <utility>

#include "platform/user/WindowManager.h"

namespace platform {

void NativeEventQueue::Fill(VideoDevice& device)
{
    while (m_events.size() < MAX_PENDING) {
        std::optional<NativeEvent> event = device.PollEvent();
        if (!event)
            break;
        event->arrived_us = RealMicroseconds();
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
