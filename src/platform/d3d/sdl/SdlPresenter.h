#pragma once
// The presenter for a real screen. Publish (any thread) puts the frame into a one-slot mailbox,
// replacing a frame not shown yet; ShowNewestFrame (main thread, from the message pump) uploads
// the newest one into a streaming texture and draws it scaled into its viewport on black, in the
// game window when one is attached, else in a window of its own sized to the client area.

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/d3d/Presenter.h"

namespace platform {

class SdlPresenter final : public Presenter
{
public:
    SdlPresenter();
    ~SdlPresenter() override;

    void Publish(std::shared_ptr<const PresentedFrame> frame) override;
    void ShowNewestFrame() override;

    // Main thread: shows frames in this SDL window (its window id); 0 goes back to an own window.
    void AttachWindow(uint32_t sdl_window_id);
    // Frames taken from the mailbox and drawn.
    uint64_t GetShownCount() const;
    // Main thread: the pixels of the window as last drawn (0xAARRGGBB); false before any frame.
    bool ReadShownPixels(std::vector<uint32_t>& pixels, int& width, int& height);

private:
    struct Native;

    mutable std::mutex m_lock; // leaf: guards m_pending and m_shown
    std::shared_ptr<const PresentedFrame> m_pending;
    uint64_t m_shown = 0;
    std::unique_ptr<Native> m_native; // main thread only
};

// The SDL presenter in use, or null when another presenter is installed.
SdlPresenter* GetSdlPresenter();

} // namespace platform
