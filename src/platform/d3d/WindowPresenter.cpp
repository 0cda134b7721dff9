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
// Only the part of a frame that changed is converted: a waiting screen changes a few pixels.
class WindowPresenter final : public Presenter
{
public:
    void Publish(std::shared_ptr<const PresentedFrame> frame) override
    {
        if (!frame->window)
            return;
        std::lock_guard lock(m_lock);
        // Changes are counted from the frame before, which must be the last one converted.
        RECT changed = frame->changed;
        if (frame->window != m_window || frame->sequence != m_sequence + 1)
            changed = WHOLE_PICTURE;
        m_window = frame->window;
        m_sequence = frame->sequence;
        Slots::Taken taken = m_frames.Take(changed);
        WindowFrame& shown = *taken.frame;
        RECT stale = taken.stale;
        const size_t count = static_cast<size_t>(frame->width) * static_cast<size_t>(frame->height);
        if (shown.width != frame->width || shown.height != frame->height || shown.pixels.size() != count) {
            shown.width = frame->width;
            shown.height = frame->height;
            ResizePixels(shown.pixels, count);
            stale = WHOLE_PICTURE;
            changed = WHOLE_PICTURE;
        }
        shown.destination = frame->destination;
        shown.changed = Slots::Within(changed, frame->width, frame->height);
        const RECT part = Slots::Within(stale, frame->width, frame->height);
        for (LONG y = part.top; y < part.bottom; ++y) {
            const size_t first =
                static_cast<size_t>(y) * static_cast<size_t>(frame->width) + static_cast<size_t>(part.left);
            // The window's A-R-G-B words are the frame's bytes with red and blue exchanged.
            CopySwappingRedBlue(reinterpret_cast<uint8_t*>(shown.pixels.data() + first),
                                frame->pixels.data() + first * 4,
                                static_cast<size_t>(part.right - part.left));
        }
        PublishWindowFrame(frame->window, std::move(taken.frame));
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
