// The fade sprite on a live headless display with an app-task thread on the virtual clock: its
// state after creation, fades to a colour seen frame by frame at the presenter, a click that ends
// a fade at once, the cases that leave the picture alone, and destruction.

#include "graphics/CFadeSprite.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "app/TestApp.h"
#include "foundation/CInputView.h"
#include "foundation/IMouse.h"
#include "graphics/CAppTask.h"
#include "graphics/CDirect3D.h"
#include "graphics/CSpriteManager.h"
#include "platform/d3d/Presenter.h"
#include "platform/d3d/SoftwareDevice.h"
#include "platform/kernel/SyncApi.h"
#include "platform/kernel/VirtualClock.h"
#include "support/HeadlessDisplay.h"
#include "support/ResidentPages.h"
#include "support/TempDir.h"
#include "support/ThreadTest.h"

namespace {

using platform::VirtualClock;

// The centre pixel of every presented frame and the thread that presented it.
class RecordingPresenter final : public platform::Presenter
{
public:
    struct Frame
    {
        uint8_t red, green, blue;
        std::thread::id thread;
    };

    void Publish(std::shared_ptr<const platform::PresentedFrame> frame) override
    {
        const size_t at = (static_cast<size_t>(frame->height / 2) * frame->width + frame->width / 2) * 4;
        std::lock_guard lock(m_lock);
        m_frames.push_back(
            {frame->pixels[at], frame->pixels[at + 1], frame->pixels[at + 2], std::this_thread::get_id()});
        if (m_on_frame)
            m_on_frame(m_frames.size());
    }

    std::vector<Frame> Frames()
    {
        std::lock_guard lock(m_lock);
        return m_frames;
    }
    // Called on the presenting thread after each frame with the number of frames so far.
    void OnFrame(std::function<void(size_t)> action)
    {
        std::lock_guard lock(m_lock);
        m_on_frame = std::move(action);
    }

private:
    std::mutex m_lock;
    std::vector<Frame> m_frames;
    std::function<void(size_t)> m_on_frame;
};

class AtomicMouse final : public IMouse
{
public:
    int32_t IsLeftDown() override { return left_down.load(); }
    std::atomic<int32_t> left_down{0};
};

class CFadeSpriteThreadTest : public ThreadTest
{
protected:
    CFadeSpriteThreadTest()
    {
        VirtualClock::Enable(1000);
        VirtualClock::SetAutoAdvance(true); // the threads' sleeps move the clock on
        m_app.UseConfigFile(m_dir.PathOf("config.xml"));
        m_previous_runner = SetAppTask(&m_runner);
        GetInputView()->SetMouse(&m_mouse);
    }
    ~CFadeSpriteThreadTest() override
    {
        GetInputView()->SetMouse(nullptr);
        SetAppTask(m_previous_runner);
        VirtualClock::Disable();
    }

    // The display with a presenter that records frames; the fade sprite made on it.
    RecordingPresenter& StartDisplay()
    {
        m_display = std::make_unique<HeadlessDisplay>();
        auto presenter = std::make_unique<RecordingPresenter>();
        RecordingPresenter& recording = *presenter;
        platform::SetPresenter(std::move(presenter));
        m_fade = std::make_unique<CFadeSprite>();
        EXPECT_EQ(m_fade->CreateRenderTargets(), 1);
        return recording;
    }

    // Runs the fade on this thread, the main one, while an app-task thread runs the due tasks.
    void WithTaskThread(const std::function<void()>& fade)
    {
        std::atomic<bool> stop{false};
        std::thread task_thread([&] {
            m_task_thread = std::this_thread::get_id();
            while (!stop)
                Sleep(m_runner.RunDueTasks());
        });
        fade();
        stop = true;
        task_thread.join();
    }

    // The render target's pixel as 0xAARRGGBB.
    uint32_t TargetPixel(int x, int y)
    {
        uint32_t pixel;
        std::memcpy(&pixel, m_fade->GetRenderTarget()->GetPixelPtr(x, y), 4);
        return pixel;
    }

    TempDir m_dir;
    TestApp m_app;
    CAppTask m_runner;
    CAppTask* m_previous_runner = nullptr;
    AtomicMouse m_mouse;
    std::unique_ptr<HeadlessDisplay> m_display;
    std::unique_ptr<CFadeSprite> m_fade;
    std::thread::id m_task_thread;
};

TEST_F(CFadeSpriteThreadTest, IsAHiddenOpaqueFullScreenSpriteAtPriorityFifteen)
{
    StartDisplay();
    EXPECT_EQ(m_fade->IsVisible(), 0);
    EXPECT_EQ(m_fade->GetAlpha(), 255);
    EXPECT_EQ(m_fade->GetPriority(), 15);
    EXPECT_FLOAT_EQ(m_fade->GetDepth(), 0.15f);
    const RECT& source = m_fade->GetSourceRect();
    EXPECT_EQ(source.right - source.left, 1920);
    EXPECT_EQ(source.bottom - source.top, 1080);
    EXPECT_EQ(m_fade->GetRect()->right, 1920);
    EXPECT_EQ(m_fade->GetRect()->bottom, 1080);
    EXPECT_EQ(m_fade->GetTextureLayer(), m_fade->GetRenderTarget());
    EXPECT_EQ(m_fade->GetRenderTarget()->IsRenderTarget(), 1);
    const std::vector<CSpriteLayer*> list = m_display->Display()->GetSpriteManager()->GetDrawList();
    EXPECT_EQ(std::count(list.begin(), list.end(), m_fade.get()), 1);
}

TEST_F(CFadeSpriteThreadTest, TheRotatedStartUpTurnsTheScreenSize)
{
    m_app.SetRotate(1);
    StartDisplay();
    EXPECT_EQ(m_fade->GetRect()->right, 1080);
    EXPECT_EQ(m_fade->GetRect()->bottom, 1920);
    m_app.SetRotate(0);
}

TEST_F(CFadeSpriteThreadTest, AFadePlaysFrameByFrameFromTheTaskThreadToTheOpaqueColour)
{
    RecordingPresenter& presenter = StartDisplay();
    WithTaskThread([&] { m_fade->FadeToColor(0xFF8040, 4); });
    // The red channel of 0xFF over black is the alpha: 255 x 1/4, 2/4, 3/4, then whole.
    std::vector<uint8_t> reds;
    for (const RecordingPresenter::Frame& frame : presenter.Frames()) {
        if (reds.empty() || reds.back() != frame.red)
            reds.push_back(frame.red);
    }
    EXPECT_EQ(reds, (std::vector<uint8_t>{63, 127, 191, 255}));
    const std::vector<RecordingPresenter::Frame> frames = presenter.Frames();
    ASSERT_GE(frames.size(), 4u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(frames[i].thread, m_task_thread) << "frame " << i;
    EXPECT_EQ(frames.back().red, 0xFF);
    EXPECT_EQ(frames.back().green, 0x80);
    EXPECT_EQ(frames.back().blue, 0x40);
    EXPECT_EQ(m_fade->IsVisible(), 1);
    EXPECT_EQ(m_fade->GetAlpha(), 255);
    EXPECT_EQ(m_runner.GetCount(), 0u);
}

TEST_F(CFadeSpriteThreadTest, AClickEndsAFadeAtOnce)
{
    RecordingPresenter& presenter = StartDisplay();
    // The click comes after the third frame, on the thread that polls it.
    presenter.OnFrame([&](size_t count) {
        if (count == 3)
            m_mouse.left_down = 1;
    });
    WithTaskThread([&] { m_fade->FadeToColor(0xFFFFFF, 1000); });
    const std::vector<RecordingPresenter::Frame> frames = presenter.Frames();
    ASSERT_GE(frames.size(), 4u);
    // 255 x 3/1000 is still nothing; the next frame is the end of the fade.
    EXPECT_EQ(frames[2].red, 0);
    EXPECT_EQ(frames[3].red, 255);
    EXPECT_EQ(m_fade->GetAlpha(), 255);
    // Played out, the fade would have shown a thousand frames: the skip's frame and the wait's
    // closing one follow the click, and nothing else.
    EXPECT_EQ(frames.size(), 5u);
}

TEST_F(CFadeSpriteThreadTest, ColourZeroIsOpaqueBlack)
{
    StartDisplay();
    WithTaskThread([&] { m_fade->FadeToColor(0, 1); });
    EXPECT_EQ(TargetPixel(0, 0), 0xFF000000u);
    EXPECT_EQ(TargetPixel(1919, 1079), 0xFF000000u);
}

TEST_F(CFadeSpriteThreadTest, MinusOneFadesInWhatTheLayerHolds)
{
    StartDisplay();
    m_fade->FillRect(0, 0, 1920, 1080, 0x80123456, 1);
    WithTaskThread([&] { m_fade->FadeToColor(-1, 2); });
    EXPECT_EQ(TargetPixel(10, 10), 0x80123456u);
    EXPECT_EQ(m_fade->GetAlpha(), 255);
    EXPECT_EQ(m_fade->IsVisible(), 1);
}

TEST_F(CFadeSpriteThreadTest, AFadeOnAShownSpriteDoesNothingNotEvenTheFill)
{
    StartDisplay();
    m_fade->FillRect(0, 0, 1920, 1080, 0xFF0000FF, 1);
    m_fade->SetVisibleFlag(1);
    m_fade->SetAlpha(40);
    m_fade->FadeToColor(0xFFFFFF, 10); // no task thread: it must not wait
    EXPECT_EQ(TargetPixel(5, 5), 0xFF0000FFu);
    EXPECT_EQ(m_fade->GetAlpha(), 40);
    EXPECT_EQ(m_fade->GetAnimationCount(), 0);
}

TEST_F(CFadeSpriteThreadTest, ADurationOfZeroTakesOnePeriod)
{
    RecordingPresenter& presenter = StartDisplay();
    WithTaskThread([&] { m_fade->FadeToColor(0xFFFFFF, 0); });
    ASSERT_FALSE(presenter.Frames().empty());
    EXPECT_EQ(presenter.Frames().front().red, 255); // finished on the first task step
}

// Records the transition step it is given instead of loading a rule.
class TransitionProbe final : public CFadeSprite
{
public:
    void StartAnimTransition(const SpriteAnimRecord& record) override
    {
        kinds = record.m_kinds;
        appear = record.m_transition_appear;
        hard_edge = record.m_transition_hard_edge;
        rule = record.m_transition_rule;
        duration = record.m_duration;
    }
    uint32_t kinds = 0;
    int32_t appear = -1;
    int32_t hard_edge = -1;
    uint32_t rule = 0;
    int32_t duration = 0;
};

TEST_F(CFadeSpriteThreadTest, ATransitionPassesItsValueAsTheRule)
{
    StartDisplay();
    TransitionProbe probe;
    ASSERT_EQ(probe.CreateRenderTargets(), 1);
    WithTaskThread([&] { probe.Transition(0x00FF00, 7, 12); });
    EXPECT_EQ(probe.kinds, ANIM_TRANSITION);
    EXPECT_EQ(probe.appear, 1);
    EXPECT_EQ(probe.hard_edge, 0);
    EXPECT_EQ(probe.rule, 7u);
    EXPECT_EQ(probe.duration, 12);
    EXPECT_EQ(probe.IsVisible(), 1);
}

TEST_F(CFadeSpriteThreadTest, DestroyLeavesTheDrawListAndMayBeCalledTwice)
{
    StartDisplay();
    m_fade->Destroy();
    EXPECT_EQ(m_fade->GetRenderTarget(), nullptr);
    EXPECT_EQ(m_fade->GetTextureLayer(), nullptr);
    const std::vector<CSpriteLayer*> list = m_display->Display()->GetSpriteManager()->GetDrawList();
    EXPECT_EQ(std::count(list.begin(), list.end(), m_fade.get()), 0);
    m_fade->Destroy();
    EXPECT_EQ(m_fade->GetRenderTarget(), nullptr);
}

// Hidden again, a sprite of one colour all over gives its pixels back, its texture's too; a
// fade of -1 shows that colour again. A sprite holding anything else keeps its pixels.
TEST_F(CFadeSpriteThreadTest, HiddenItGivesOneColourBackAndAFadeOfMinusOneShowsItAgain)
{
    RecordingPresenter& presenter = StartDisplay();
    const auto texture_resident = [&] {
        const auto* texture = dynamic_cast<platform::Texture2D*>(m_fade->GetRenderTarget()->GetTexture());
        return texture != nullptr
                   ? ResidentBytes(texture->Bits(), size_t{texture->Pitch()} * texture->Height())
                   : SIZE_MAX;
    };
    WithTaskThread([&] { m_fade->FadeToColor(0x204060, 1); });
    ASSERT_GT(texture_resident(), 0u);
    m_fade->SetVisibleFlag(0);
    m_fade->GiveBackPixels();
    EXPECT_EQ(texture_resident(), 0u);
    WithTaskThread([&] { m_fade->FadeToColor(-1, 1); });
    const RecordingPresenter::Frame shown = presenter.Frames().back();
    EXPECT_EQ(shown.red, 0x20);
    EXPECT_EQ(shown.green, 0x40);
    EXPECT_EQ(shown.blue, 0x60);
    EXPECT_EQ(TargetPixel(1919, 1079), 0xFF204060u);

    // Read here, the layer's own pixels are reached directly: no -1 fade follows.
    m_fade->SetVisibleFlag(0);
    m_fade->GiveBackPixels();
    EXPECT_EQ(ResidentBytes(m_fade->GetRenderTarget()), 0u);
    EXPECT_EQ(texture_resident(), 0u);

    m_fade->FillRect(0, 0, 1920, 1080, 0xFF204060, 1);
    m_fade->FillRect(100, 100, 10, 10, 0xFF0000FF, 1);
    m_fade->GiveBackPixels();
    EXPECT_GT(texture_resident(), 0u);
    EXPECT_EQ(TargetPixel(105, 105), 0xFF0000FFu);
    EXPECT_EQ(TargetPixel(5, 5), 0xFF204060u);
}

TEST_F(CFadeSpriteThreadTest, AFailedTextureKeepsTheRenderTargetUntilDestroy)
{
    m_display = std::make_unique<HeadlessDisplay>();
    CFadeSprite fade;
    platform::FailNextTextureCreations(1, E_OUTOFMEMORY);
    EXPECT_EQ(fade.CreateRenderTargets(), 0);
    EXPECT_NE(fade.GetRenderTarget(), nullptr);
    const std::vector<CSpriteLayer*> list = m_display->Display()->GetSpriteManager()->GetDrawList();
    EXPECT_EQ(std::count(list.begin(), list.end(), &fade), 0);
    fade.Destroy();
    EXPECT_EQ(fade.GetRenderTarget(), nullptr);
}

} // namespace
