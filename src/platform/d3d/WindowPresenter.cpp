#include <memory>

#include "platform/d3d/Presenter.h"
#include "platform/user/WindowFrame.h"

namespace platform {

namespace {

// Hands each frame to the window layer, whose message pump shows the newest one through SDL
// scaled into its destination rectangle. Runs on the presenting thread; never waits for the pump.
class WindowPresenter final : public Presenter
{
public:
    void Publish(std::shared_ptr<const PresentedFrame> frame) override
    {
        if (!frame->window)
            return;
        auto shown = std::make_shared<WindowFrame>();
        shown->width = frame->width;
        shown->height = frame->height;
        shown->destination = frame->destination;
        shown->pixels.resize(static_cast<size_t>(frame->width) * frame->height);
        const uint8_t* p = frame->pixels.data();
        for (uint32_t& word : shown->pixels) {
            word = (uint32_t{p[3]} << 24) | (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
            p += 4;
        }
        PublishWindowFrame(frame->window, std::move(shown));
    }
};

} // namespace

std::unique_ptr<Presenter> CreateWindowPresenter()
{
    return std::make_unique<WindowPresenter>();
}

} // namespace platform
