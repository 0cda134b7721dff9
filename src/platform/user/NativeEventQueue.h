#pragma once
// The native events read from the video device and not yet translated. Bounded, so a flood of
// events the program does not pump cannot grow it without end. Main thread only.

#include <cstddef>
#include <deque>
#include <optional>

#include "platform/user/VideoDevice.h"

namespace platform {

class NativeEventQueue final
{
public:
    // Moves the events the device has ready into the queue, up to the bound.
    void Fill(VideoDevice& device);
    // The oldest event, reading the device first when the queue is empty.
    std::optional<NativeEvent> Next(VideoDevice* device);
    // The events after the one being handled: a window event looks ahead for its echo.
    const std::deque<NativeEvent>& Pending() const { return m_events; }
    bool IsEmpty() const { return m_events.empty(); }
    void Clear() { m_events.clear(); }

private:
    static constexpr size_t MAX_PENDING = 4096;

    std::deque<NativeEvent> m_events;
};

} // namespace platform
