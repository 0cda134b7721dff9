// The movie pipeline alone, on a virtual clock that runs ahead as fast as its threads go.

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <fstream>
#include <mutex>
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

} // namespace
