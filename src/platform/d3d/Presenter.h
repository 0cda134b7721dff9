#pragma once
// Where presented frames go. The swap chain's Present hands each frame to the presenter from
// whatever thread draws (main, app-task, movie); the presenter never waits for the main thread.
// Headless runs use the null presenter (null/NullPresenter.h); otherwise frames go to the window
// layer, which keeps the newest one and shows it from the main thread's message pump.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/kernel/WinTypes.h"
#include "platform/user/WindowFrame.h"

namespace platform {

// What the swap chain tells of each frame it presents, besides its pixels.
struct FrameInfo
{
    HWND window = nullptr;
    int width = 0; // the back buffer's
    int height = 0;
    RECT destination{}; // client pixels the back buffer is scaled into (the viewport)
    uint64_t sequence = 0;
    // Where it differs from the frame the same swap chain presented before it (sequence - 1).
    RECT changed = WHOLE_PICTURE;
};

// A frame copied for a presenter that keeps it.
struct PresentedFrame : FrameInfo
{
    std::vector<uint8_t> pixels; // bytes R, G, B, A, rows top-down, pitch width x 4
    SIZE client{};               // the buffer size the display asked for: the client area it fills
};

// A frame read where it lies, during the call only: the swap chain's back buffer itself.
struct FrameView : FrameInfo
{
    const uint8_t* bits = nullptr; // rows top-down, `pitch` bytes apart
    size_t pitch = 0;
    bool blue_first = false; // bytes B, G, R, A; else R, G, B, A
};

class Presenter
{
public:
    virtual ~Presenter() = default;
    // Any thread, under the caller's draw lock; must not block on the main thread.
    virtual void Publish(std::shared_ptr<const PresentedFrame> frame) = 0;
    // Whether a frame presented again unchanged (DXGI_PRESENT_DO_NOT_SEQUENCE) is wanted too: a
    // recorder of every frame wants it, a screen already shows it.
    virtual bool KeepsEveryFrame() const { return false; }
    // Whether frames are converted during the call and nothing of them is kept: the swap chain
    // then hands over its back buffer (PublishInPlace) instead of copying it first.
    virtual bool ReadsInPlace() const { return false; }
    virtual void PublishInPlace(const FrameView&) {}
};

// The presenter in use: the null one when VESK_HEADLESS is set (keeping no frame), else the window
// layer's.
Presenter& GetPresenter();
// Replaces the presenter (tests, tools); the old one is destroyed.
void SetPresenter(std::unique_ptr<Presenter> presenter);

// `keeps_newest`: a copy of the newest frame is kept for a reader in the process (see
// null/NullPresenter.h); the game's own has none.
std::unique_ptr<Presenter> CreateNullPresenter(bool keeps_newest = true);
std::unique_ptr<Presenter> CreateWindowPresenter();

} // namespace platform
