#include <memory>
#include <mutex>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/d3d/FrameSlots.h"
#include "platform/d3d/Presenter.h"
#include "platform/kernel/HeapApi.h"
#include "platform/user/WindowFrame.h"

namespace platform {

namespace {

// Bytes R, G, B, A to the window's words (A, R, G, B from the top byte down): red and blue trade
// places. Four at a time where the processor has SSE2, for the frames a blink presents.
void ToWindowPixels(uint32_t* to, const uint8_t* from, size_t count)
{
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i kept = _mm_set1_epi32(static_cast<int>(0xFF00FF00u));
    const __m128i low = _mm_set1_epi32(0xFF);
    for (; i + 4 <= count; i += 4) {
        // Read as little-endian words: A, B, G, R from the top byte down.
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i * 4));
        const __m128i swapped = _mm_or_si128(_mm_slli_epi32(_mm_and_si128(v, low), 16),
                                             _mm_and_si128(_mm_srli_epi32(v, 16), low));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i), _mm_or_si128(_mm_and_si128(v, kept), swapped));
    }
#endif
    for (const uint8_t* p = from + i * 4; i < count; ++i, p += 4)
        to[i] = (uint32_t{p[3]} << 24) | (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
}

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
            ToWindowPixels(shown.pixels.data() + first, frame->pixels.data() + first * 4,
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
