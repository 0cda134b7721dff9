// Frames through the window presenter into a window, as the pump shows them: only what changed is
// converted and uploaded, so a frame shown after others were passed over must still be whole.
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "platform/d3d/Presenter.h"
#include "platform/user/InputInjection.h"
#include "platform/user/RecordingWindow.h"

namespace {

using namespace platform;

constexpr int WIDTH = 24;
constexpr int HEIGHT = 12;

TEST(WindowPresenterTest, ShownFramesHoldEveryChangeOfTheFramesPassedOver)
{
    test::RecordingWindow recorder;
    const HWND window = recorder.Create(WS_POPUP | WS_VISIBLE, 0, 0, WIDTH, HEIGHT);
    ASSERT_NE(window, nullptr);
    test::RecordingWindow::PumpAll();
    std::unique_ptr<Presenter> presenter = CreateWindowPresenter();

    std::vector<uint32_t> truth(WIDTH * HEIGHT, 0xFF000000u); // as the capture reads it: 0xAARRGGBB
    uint64_t sequence = 0;
    // Frames come as copies (R, G, B, A bytes) or, as the swap chain hands its back buffer over,
    // in place; a back buffer of B, G, R, A bytes is the window's own order.
    std::vector<uint8_t> back;
    const auto publish = [&](const RECT& changed, uint32_t colour) {
        for (LONG y = changed.top; y < std::min<LONG>(changed.bottom, HEIGHT); ++y)
            for (LONG x = changed.left; x < std::min<LONG>(changed.right, WIDTH); ++x)
                truth[y * WIDTH + x] = colour;
        const int way = static_cast<int>(sequence % 3); // copied, in place RGBA, in place BGRA
        back.clear();
        for (uint32_t pixel : truth) {
            const uint8_t red = static_cast<uint8_t>(pixel >> 16);
            const uint8_t blue = static_cast<uint8_t>(pixel);
            const uint8_t bytes[4] = {way == 2 ? blue : red, static_cast<uint8_t>(pixel >> 8),
                                      way == 2 ? red : blue, 0xFF};
            back.insert(back.end(), bytes, bytes + 4);
        }
        const FrameInfo info{window, WIDTH, HEIGHT, {0, 0, WIDTH, HEIGHT}, ++sequence, changed};
        if (way == 0) {
            auto frame = std::make_shared<PresentedFrame>();
            static_cast<FrameInfo&>(*frame) = info;
            frame->pixels = back;
            presenter->Publish(std::move(frame));
        } else {
            presenter->PublishInPlace(FrameView{info, back.data(), WIDTH * 4, way == 2});
        }
    };
    const auto shown = [&] {
        std::vector<uint32_t> pixels;
        int width = 0;
        int height = 0;
        if (!CaptureWindow(window, pixels, width, height) || width != WIDTH || height != HEIGHT)
            return false;
        for (uint32_t& pixel : pixels)
            pixel |= 0xFF000000u;
        return pixels == truth;
    };

    // Red and blue differ: the conversion swaps them, rows of four at a time and the rest alone.
    publish(WHOLE_PICTURE, 0xFF0A141Eu);
    ASSERT_TRUE(shown());
    // Runs of frames, each shown only after the last of its run: the window's frames are reused
    // while older ones are still held, so each reused one lacks several frames' changes.
    const int runs[] = {1, 2, 3, 1, 4, 1, 1, 2};
    uint32_t colour = 0xFF102030u;
    int step = 0;
    for (int run : runs) {
        for (int i = 0; i < run; ++i, ++step, colour += 0x00050607u)
            publish(
                RECT{(step * 5) % WIDTH, step % HEIGHT, (step * 5) % WIDTH + 3 + step % 6, step % HEIGHT + 2},
                colour);
        EXPECT_TRUE(shown()) << "after step " << step;
    }
}

} // namespace
