// The SDL video device. A window drawn by the layer shows a changed frame by redrawing only the
// change: the window must then hold the same picture as when everything is drawn afresh, the
// chrome over it included.
#include <memory>
#include <optional>
#include <random>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/user/InputInjection.h"
#include "platform/user/UiCanvas.h"
#include "platform/user/VideoDevice.h"
#include "platform/user/WindowFrame.h"
#include "support/ThreadTest.h"

namespace {

using namespace platform;

TEST(SdlVideoDevice, AChangedFrameShowsAsTheWholePictureDrawnAfresh)
{
    std::unique_ptr<VideoDevice> device = CreateSdlVideoDevice();
    if (!device)
        GTEST_SKIP() << "SDL's video does not start here";
    const uint32_t window = device->CreateNativeWindow(u"partial", RECT{0, 0, 64, 48}, false);
    ASSERT_NE(window, 0u);
    device->Show(window);
    // A half-transparent bar at the top, where the frame also changes.
    UiCanvas chrome(64, 48);
    chrome.FillRect(RECT{0, 0, 64, 12}, 0x80C04020u);
    const POINT origin{0, 4};

    std::mt19937 random(61);
    for (const RECT& destination : {RECT{2, 0, 42, 30}, RECT{0, 0, 64, 44}}) {
        WindowFrame frame;
        frame.width = 40;
        frame.height = 30;
        frame.destination = destination;
        frame.pixels.resize(frame.width * frame.height);
        for (uint32_t& pixel : frame.pixels)
            pixel = random() | 0xFF000000u;
        std::vector<uint32_t> shown;
        device->Present(window, &frame, WHOLE_PICTURE, origin, chrome, true, &shown);
        ASSERT_EQ(shown.size(), 64u * 48u);
        for (int change = 0; change < 30; ++change) {
            const LONG left = static_cast<LONG>(random() % frame.width);
            const LONG top = static_cast<LONG>(random() % frame.height);
            const RECT changed{left, top, left + 1 + static_cast<LONG>(random() % 6),
                               top + 1 + static_cast<LONG>(random() % 4)};
            for (LONG y = changed.top; y < std::min<LONG>(changed.bottom, frame.height); ++y)
                for (LONG x = changed.left; x < std::min<LONG>(changed.right, frame.width); ++x)
                    frame.pixels[y * frame.width + x] = random() | 0xFF000000u;
            device->Present(window, &frame, changed, origin, chrome, false, &shown);
            std::vector<uint32_t> fresh;
            device->Present(window, &frame, RECT{}, origin, chrome, true, &fresh);
            ASSERT_EQ(shown, fresh) << "change " << change;
        }
    }
    device->DestroyNativeWindow(window);
}

// Without a driver of its own to wait on, the device looks at SDL's queue again only when
// something was pushed since it was last found empty; a zero wait is over at once; a wake ends
// the rest it comes before.
TEST(SdlVideoDevice, AnEventPushedAfterAnEmptyLookIsTaken)
{
    std::unique_ptr<VideoDevice> device = CreateSdlVideoDevice();
    if (!device)
        GTEST_SKIP() << "SDL's video does not start here";
    while (device->PollEvent()) {
    }
    EXPECT_FALSE(device->PollEvent());
    EXPECT_FALSE(device->WaitForEvent(0));
    ASSERT_TRUE(PushQuit());
    EXPECT_TRUE(device->WaitForEvent(0));
    for (int round = 0; round < 2; ++round) {
        const std::optional<NativeEvent> event = device->PollEvent();
        ASSERT_TRUE(event) << "round " << round;
        EXPECT_EQ(event->type, NativeEvent::Type::Quit);
        // Straight after a take, with no rest between: SDL's end-of-poll mark must not hide it.
        if (round == 0) {
            ASSERT_TRUE(PushQuit());
        }
    }
    EXPECT_FALSE(device->PollEvent());
    // A wake asked before the rest begins is kept for it (lost, the rest would run its length).
    device->Wake();
    EXPECT_TRUE(device->WaitForEvent(60'000));
    EXPECT_FALSE(device->PollEvent());
    EXPECT_FALSE(device->WaitForEvent(0));
}

class SdlVideoDeviceThreadTest : public ThreadTest
{};

// The rest sleeps in the kernel on its count: a wake or an injected push from another thread,
// before the rest or during it, ends it.
TEST_F(SdlVideoDeviceThreadTest, AWakeOrAPushFromAnotherThreadEndsTheRest)
{
    std::unique_ptr<VideoDevice> device = CreateSdlVideoDevice();
    if (!device)
        GTEST_SKIP() << "SDL's video does not start here";
    // The layer's own device is made here, on the main thread, as the game makes it: made first
    // by the pushing thread, SDL would keep that thread's error buffer past its end.
    ASSERT_TRUE(PushQuit());
    while (device->PollEvent()) {
    }
    for (const bool push : {false, true}) {
        std::thread other([&] { push ? (void)PushQuit() : device->Wake(); });
        EXPECT_TRUE(device->WaitForEvent(60'000)) << push;
        other.join();
        while (device->PollEvent()) {
        }
        EXPECT_FALSE(device->WaitForEvent(0)) << push;
    }
}

} // namespace
