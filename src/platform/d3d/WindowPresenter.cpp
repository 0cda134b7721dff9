#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>

#include "platform/d3d/FrameSlots.h"
#include "platform/d3d/Presenter.h"
#include "platform/d3d/RedBlueSwap.h"
#include "platform/kernel/HeapApi.h"
#include "platform/user/WindowFrame.h"

namespace platform {

namespace {

// Hands each frame to the window layer, whose message pump shows the newest one through SDL
// scaled into its destination rectangle. Runs on the presenting thread; never waits for the pump.
// Only the part of a frame that changed is converted, straight from the swap chain's back buffer:
// a waiting screen changes a few pixels.
class WindowPresenter final : public Presenter
{
public:
    bool ReadsInPlace() const override { return true; }

    void Publish(std::shared_ptr<const PresentedFrame> frame) override
    {
        const size_t pitch = static_cast<size_t>(std::max(frame->width, 0)) * 4;
        if (frame->pixels.size() >= pitch * static_cast<size_t>(std::max(frame->height, 0)))
            PublishInPlace(FrameView{*frame, frame->pixels.data(), pitch, false});
    }

    void PublishInPlace(const FrameView& frame) override
    {
        if (!frame.window || frame.width <= 0 || frame.height <= 0)
            return;
        std::lock_guard lock(m_lock);
        // Changes are counted from the frame before, which must be the last one converted.
        RECT changed = frame.changed;
        if (frame.window != m_window || frame.sequence != m_sequence + 1)
            changed = WHOLE_PICTURE;
        m_window = frame.window;
        m_sequence = frame.sequence;
        Slots::Taken taken = m_frames.Take(changed);
        WindowFrame& shown = *taken.frame;
        RECT stale = taken.stale;
        const size_t count = static_cast<size_t>(frame.width) * static_cast<size_t>(frame.height);
        if (shown.width != frame.width || shown.height != frame.height || shown.pixels.size() != count) {
            shown.width = frame.width;
            shown.height = frame.height;
            ResizePixels(shown.pixels, count);
            stale = WHOLE_PICTURE;
            changed = WHOLE_PICTURE;
        }
        shown.destination = frame.destination;
        shown.changed = Slots::Within(changed, frame.width, frame.height);
        const RECT part = Slots::Within(stale, frame.width, frame.height);
        const size_t run = static_cast<size_t>(part.right - part.left);
        for (LONG y = part.top; y < part.bottom; ++y) {
            uint32_t* to = shown.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(frame.width) +
                           static_cast<size_t>(part.left);
            const uint8_t* from =
                frame.bits + static_cast<size_t>(y) * frame.pitch + static_cast<size_t>(part.left) * 4;
            // The window's A-R-G-B words are B, G, R, A bytes.
            if (frame.blue_first)
                std::memcpy(to, from, run * 4);
            else
                CopySwappingRedBlue(reinterpret_cast<uint8_t*>(to), from, run);
        }
        PublishWindowFrame(frame.window, std::move(taken.frame));
    }

private:
    // Guards everything below; held while the frame is handed on, so frames reach the window in
    // the order they were converted. Taken before the window layer's locks.
    std::mutex m_lock;
    // The window holds the newest frame; the pump holds one while it shows it.
    using Slots = FrameSlots<WindowFrame, 2>;
    Slots m_frames;
    HWND m_window = nullptr;
    uint64_t m_sequence = 0;
};

} // namespace

std::unique_ptr<Presenter> CreateWindowPresenter()
{
    return std::make_unique<WindowPresenter>();
}

} // namespace platform
