// A movie file played through as the filter graph plays it: opened, every picture decoded on the
// decode thread, converted and handed to the renderer by the render thread at its time, to the
// end. The layer's clock is virtual and runs ahead whenever the render thread waits, so a long
// movie takes only its decoding. Every picture must come in a buffer of the size Open checked.
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "FuzzSupport.h"
#include "FuzzTargets.h"
#include "platform/dshow/MoviePipeline.h"
#include "platform/kernel/VirtualClock.h"

namespace {

class CheckingSink final : public platform::MovieSink
{
public:
    explicit CheckingSink(LONG bytes)
        : m_bytes(bytes)
    {}

    void RenderSample(IMediaSample* sample) override
    {
        if (sample->GetSize() != m_bytes) {
            std::fprintf(stderr, "a picture of %ld bytes in a movie of %ld-byte pictures\n",
                         static_cast<long>(sample->GetSize()), static_cast<long>(m_bytes));
            std::abort();
        }
    }
    void OnComplete() override
    {
        std::lock_guard lock(m_lock);
        m_complete = true;
        m_changed.notify_all();
    }
    // Far past what any input may take: a movie that never ends is a hang, for the fuzzer to see.
    void WaitForEnd()
    {
        std::unique_lock lock(m_lock);
        if (!m_changed.wait_for(lock, std::chrono::seconds(60), [&] { return m_complete; })) {
            std::fprintf(stderr, "the movie never ended\n");
            std::abort();
        }
    }
    void SetBytes(LONG bytes) { m_bytes = bytes; }

private:
    LONG m_bytes;
    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_complete = false;
};

} // namespace

int FuzzMoviePipeline(const uint8_t* data, size_t size)
{
    PrepareFuzzProcess();
    WriteFuzzFile("pipeline.mpg", data, size);
    platform::VirtualClock::Enable();
    platform::VirtualClock::SetAutoAdvance(true);
    {
        CheckingSink sink(0);
        platform::MoviePipeline pipeline(sink);
        // Without a sound device only the pictures play; a movie without any has nothing to end it.
        if (pipeline.Open(nullptr, size > 0 && data[0] == 0, FuzzScratchFolder() + "/pipeline.mpg") == S_OK &&
            pipeline.HasVideo()) {
            sink.SetBytes(static_cast<LONG>(pipeline.Width()) * pipeline.Height() * 4);
            pipeline.Run();
            sink.WaitForEnd();
            pipeline.Stop();
        }
    }
    platform::VirtualClock::Disable();
    return 0;
}
