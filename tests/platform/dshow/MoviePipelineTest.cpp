// The movie pipeline alone, on a virtual clock that runs ahead as fast as its threads go.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <sys/resource.h>

#include "mpegclip/MpegClipWriter.h"
#include "platform/dshow/MoviePipeline.h"
#include "platform/kernel/VirtualClock.h"
#include "support/TempDir.h"
#include "support/ThreadTest.h"

namespace {

class RecordingSink final : public platform::MovieSink
{
public:
    void RenderSample(IMediaSample* sample) override
    {
        std::lock_guard lock(m_lock);
        m_sizes.push_back(sample->GetSize());
    }
    void OnComplete() override
    {
        std::lock_guard lock(m_lock);
        ++m_completions;
        m_changed.notify_all();
    }
    // A guard against a broken pipeline, not a timing assumption.
    bool WaitForCompletions(int count)
    {
        std::unique_lock lock(m_lock);
        return m_changed.wait_for(lock, std::chrono::seconds(60), [&] { return m_completions >= count; });
    }
    std::vector<LONG> Sizes()
    {
        std::lock_guard lock(m_lock);
        return m_sizes;
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<LONG> m_sizes;
    int m_completions = 0;
};

// Records the time of each picture it is given and the clock then; HoldNext keeps the next one in
// RenderSample until LetGo, as a render thread that a busy machine starves would be, and a show
// cost moves the virtual clock on at each picture, as a slow show would.
class HoldingSink final : public platform::MovieSink
{
public:
    explicit HoldingSink(uint64_t show_cost_ms = 0)
        : m_show_cost_ms(show_cost_ms)
    {}
    void RenderSample(IMediaSample* sample) override
    {
        REFERENCE_TIME start = 0, end = 0;
        sample->GetTime(&start, &end);
        std::unique_lock lock(m_lock);
        m_times.push_back(start);
        m_clocks.push_back(platform::VirtualClock::Now());
        m_changed.notify_all();
        if (m_show_cost_ms != 0)
            platform::VirtualClock::Advance(m_show_cost_ms);
        if (!m_hold_next)
            return;
        m_hold_next = false;
        m_holding = true;
        m_changed.notify_all();
        m_changed.wait_for(lock, LIMIT, [&] { return !m_holding; });
    }
    void OnComplete() override
    {
        std::lock_guard lock(m_lock);
        m_complete = true;
        m_changed.notify_all();
    }

    void HoldNext()
    {
        std::lock_guard lock(m_lock);
        m_hold_next = true;
    }
    bool WaitHolding()
    {
        std::unique_lock lock(m_lock);
        return m_changed.wait_for(lock, LIMIT, [&] { return m_holding; });
    }
    void LetGo()
    {
        std::lock_guard lock(m_lock);
        m_holding = false;
        m_changed.notify_all();
    }
    bool WaitForCount(size_t count)
    {
        std::unique_lock lock(m_lock);
        return m_changed.wait_for(lock, LIMIT, [&] { return m_times.size() >= count; });
    }
    bool WaitForComplete()
    {
        std::unique_lock lock(m_lock);
        return m_changed.wait_for(lock, LIMIT, [&] { return m_complete; });
    }
    std::vector<REFERENCE_TIME> Times()
    {
        std::lock_guard lock(m_lock);
        return m_times;
    }
    // Each picture's number and the clock when it came, for a failure's message.
    std::string Shown(REFERENCE_TIME interval)
    {
        std::lock_guard lock(m_lock);
        std::string shown;
        for (size_t i = 0; i < m_times.size(); ++i)
            shown += " " + std::to_string(m_times[i] / interval) + "@" + std::to_string(m_clocks[i]) + "ms";
        return shown;
    }

private:
    static constexpr std::chrono::seconds LIMIT{60}; // a guard against a broken pipeline
    const uint64_t m_show_cost_ms;
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<REFERENCE_TIME> m_times;
    std::vector<uint64_t> m_clocks;
    bool m_complete = false;
    bool m_hold_next = false;
    bool m_holding = false;
};

class MoviePipelineThreadTest : public ThreadTest
{
protected:
    MoviePipelineThreadTest()
    {
        platform::VirtualClock::Enable();
        platform::VirtualClock::SetAutoAdvance(true);
    }
    ~MoviePipelineThreadTest() override { platform::VirtualClock::Disable(); }

    std::string WriteClip(const tools::MpegClipOptions& options)
    {
        const std::vector<uint8_t> clip = tools::WriteMpegClip(options);
        const std::string path = m_dir.PathOf("clip.mpg");
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(clip.data()), static_cast<std::streamsize>(clip.size()));
        return path;
    }

    TempDir m_dir;
};

// The peak resident memory of the process so far, in bytes.
long PeakResidentBytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss * 1024L;
}

// Three 64 x 64 pictures, then three whose headers announce 16383 x 16000, far larger than the
// screen: played, then played again after a seek (the render thread starts anew once the decoder
// has met the large ones). The large pictures are never decoded (one would take 393 MB) nor
// reach the renderer, and each picture that does comes in a buffer of the opened size.
TEST_F(MoviePipelineThreadTest, PicturesLargerThanTheScreenAreNeitherDecodedNorShown)
{
    tools::MpegClipOptions options;
    options.width = 64;
    options.height = 64;
    options.frames = 6;
    options.audio = false;
    options.resize_from = 3;
    options.resize_width = 16383;
    options.resize_height = 16000;
    const std::string path = WriteClip(options);
    const long peak_before = PeakResidentBytes();
    RecordingSink sink;
    platform::MoviePipeline pipeline(sink);
    ASSERT_EQ(pipeline.Open(nullptr, false, path), S_OK);
    ASSERT_EQ(pipeline.Width(), 64);
    ASSERT_EQ(pipeline.Height(), 64);
    pipeline.Run();
    ASSERT_TRUE(sink.WaitForCompletions(1));
    pipeline.Seek(0);
    ASSERT_TRUE(sink.WaitForCompletions(2));
    pipeline.Stop();
    const std::vector<LONG> sizes = sink.Sizes();
    EXPECT_FALSE(sizes.empty());
    for (const LONG size : sizes)
        EXPECT_EQ(size, 64 * 64 * 4);
    EXPECT_LT(PeakResidentBytes() - peak_before, 256L << 20)
        << "a picture larger than the screen was decoded";
}

// A silent movie, paced by the layer clock, whose render thread is late: it is still handing
// over picture 1 when the clock has reached picture 6, and Pause comes then. The paused movie
// keeps picture 1 (Pause waits for its hand-over) and shows none of the pictures the frozen clock
// has passed; Run goes on.
TEST_F(MoviePipelineThreadTest, PauseKeepsThePictureOfALateRenderThread)
{
    platform::VirtualClock::SetAutoAdvance(false);
    tools::MpegClipOptions options;
    options.frames = 30;
    options.audio = false;
    const std::string path = WriteClip(options);
    HoldingSink sink;
    platform::MoviePipeline pipeline(sink);
    ASSERT_EQ(pipeline.Open(nullptr, false, path), S_OK);
    const REFERENCE_TIME interval = pipeline.FrameInterval();
    ASSERT_EQ(interval, 400'000);
    pipeline.Run();
    ASSERT_TRUE(sink.WaitForCount(1));
    sink.HoldNext();
    platform::VirtualClock::Advance(40);
    ASSERT_TRUE(sink.WaitHolding());
    platform::VirtualClock::Advance(5 * 40);

    std::atomic<bool> pausing = false;
    std::thread pauser([&] {
        pausing = true;
        pipeline.Pause();
    });
    while (!pausing)
        std::this_thread::yield();
    // The clock moves the movie on until Pause has stopped it; only then is picture 1 let go.
    REFERENCE_TIME position = pipeline.Position();
    for (;;) {
        std::this_thread::yield();
        platform::VirtualClock::Advance(1);
        const REFERENCE_TIME next = pipeline.Position();
        if (next == position)
            break;
        position = next;
    }
    sink.LetGo();
    pauser.join();
    // The decoder and the render thread at rest: nothing more is coming.
    ASSERT_TRUE(platform::VirtualClock::WaitForParked(2));
    EXPECT_EQ(sink.Times(), (std::vector<REFERENCE_TIME>{0, interval}));

    pipeline.Run();
    ASSERT_TRUE(sink.WaitForCount(3));
    EXPECT_GT(sink.Times()[2], interval);
    pipeline.Stop();
}

// A silent movie whose every shown picture costs five intervals of the clock: the pictures passed
// over meanwhile are decoded and skipped, and each picture shown is the one due then (one
// interval old at most), not the next one the decoder had ready, which would leave the movie
// further behind its clock with every picture and its end later than its length.
TEST_F(MoviePipelineThreadTest, ASlowShowSkipsToThePictureDue)
{
    platform::VirtualClock::SetAutoAdvance(false);
    tools::MpegClipOptions options;
    options.width = 64;
    options.height = 64;
    options.frames = 30;
    options.audio = false;
    const std::string path = WriteClip(options);
    HoldingSink sink(5 * 40);
    platform::MoviePipeline pipeline(sink);
    ASSERT_EQ(pipeline.Open(nullptr, false, path), S_OK);
    const REFERENCE_TIME interval = pipeline.FrameInterval();
    ASSERT_EQ(interval, 400'000);
    pipeline.Run();
    ASSERT_TRUE(sink.WaitForComplete());
    pipeline.Stop();
    std::vector<REFERENCE_TIME> expected;
    for (int picture : {0, 4, 9, 14, 19, 24, 29})
        expected.push_back(picture * interval);
    EXPECT_EQ(sink.Times(), expected) << "pictures shown (number@clock):" << sink.Shown(interval);
}

} // namespace
