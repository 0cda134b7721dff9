#pragma once
// The FFmpeg side of a filter graph. Three threads: the I/O thread opens the stream (through the
// reader's CAsyncIo, or an operating-system path) and demuxes packets into a video and an audio
// queue; the audio thread decodes MP2, resamples to 44,100 Hz 16-bit stereo and keeps a looping
// DirectSound buffer of the live device filled; the render thread decodes MPEG-1 video, converts
// each picture to 32-bit bottom-up BGRA and hands it to the sink at its presentation time on the
// audio clock (frames the mixer has played), or on the layer clock without sound, dropping
// pictures that are more than one frame interval late for a newer one that is ready or comes
// within an interval. Run, Pause, Stop and Seek come from the graph's caller and return when the
// threads have taken them over: once Pause has returned, the sink gets no picture until Run but
// the cue after a start or a seek. Video decoding runs on a thread of its own a few pictures
// ahead of the render thread. Layer-internal.

#include "platform/dshow/DShowApi.h"
#include "platform/dsound/DSoundApi.h"
#include "platform/kernel/LayerClock.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CAsyncIo;
struct AVFrame;
struct AVPacket;

namespace platform {

class SecondarySoundBuffer;

class MovieSink
{
public:
    virtual ~MovieSink() = default;
    // One picture at its time; render thread.
    virtual void RenderSample(IMediaSample* sample) = 0;
    // Both streams have ended; render thread, once per run through the movie.
    virtual void OnComplete() = 0;
};

struct MovieCounters
{
    uint64_t rendered = 0;
    uint64_t dropped = 0;
};

// The largest movie frame: the screen's logical size.
inline constexpr int MAX_MOVIE_WIDTH = 1920;
inline constexpr int MAX_MOVIE_HEIGHT = 1080;
inline constexpr int MAX_MOVIE_PIXELS = MAX_MOVIE_WIDTH * MAX_MOVIE_HEIGHT;

class MoviePipeline
{
public:
    explicit MoviePipeline(MovieSink& sink);
    ~MoviePipeline();
    MoviePipeline(const MoviePipeline&) = delete;
    MoviePipeline& operator=(const MoviePipeline&) = delete;

    // Opens the stream on the I/O thread and waits for it: through io when given ("mpeg" forced
    // when force_mpeg), else the path. VFW_E_UNKNOWN_FILE_TYPE when nothing playable is found.
    HRESULT Open(CAsyncIo* io, bool force_mpeg, const std::string& path);
    bool HasVideo() const;
    bool HasAudio() const;
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    REFERENCE_TIME FrameInterval() const { return m_frame_interval; }
    REFERENCE_TIME Duration() const { return m_duration; }

    // Plays the sound track through a buffer of the device; without one the layer clock paces.
    void EnableAudio(IDirectSound8* device);
    void SetVolume(LONG volume);
    LONG GetVolume() const { return m_volume.load(); }

    void Run();
    void Pause();
    void Stop();
    // Moves to the time (100 ns from the movie's start), in whatever state the pipeline is.
    void Seek(REFERENCE_TIME position);
    REFERENCE_TIME Position();
    MovieCounters Counters() const;

private:
    struct Streams;
    enum class Mode
    {
        Stopped,
        Paused,
        Running
    };

    void IoThread(std::stop_token stop);
    void DecodeThread(std::stop_token stop);
    void RenderThread(std::stop_token stop);
    void ClearPictures();
    void AudioThread(std::stop_token stop);
    void StartWorkers();
    void StopWorkers();
    bool RunIoJob(std::function<void()> job);
    void Demux();
    std::unique_ptr<AVPacket, void (*)(AVPacket*)> PopPacket(bool video);
    bool IsEndOfQueue(bool video);
    void WakeAll();
    // Audio buffer bookkeeping, under m_clock_lock.
    void UpdatePlayedLocked();
    REFERENCE_TIME MediaTimeLocked();
    void FreezeClockLocked();
    // Stops the clock where it is and enters the mode.
    void HoldClock(Mode mode);
    bool FillAudio(std::vector<uint8_t>& pending);
    void CheckComplete();

    MovieSink& m_sink;
    std::unique_ptr<Streams> m_streams;
    int m_width = 0;
    int m_height = 0;
    REFERENCE_TIME m_frame_interval = 400'000;
    REFERENCE_TIME m_duration = 0;

    // The I/O thread's jobs and the packet queues.
    std::mutex m_queue_lock; // a leaf lock
    std::condition_variable_any m_queue_changed;
    std::deque<std::function<void()>> m_jobs;
    bool m_demuxing = false;
    bool m_end_of_stream = false;
    size_t m_queued_bytes = 0;
    uint64_t m_generation = 0; // a seek makes every queued packet stale
    std::jthread m_io;

    // The presentation clock and the sound buffer.
    std::mutex m_clock_lock; // a leaf lock
    Mode m_mode = Mode::Stopped;
    REFERENCE_TIME m_base = 0;     // media time at the last clock start
    uint64_t m_layer_at_base = 0;  // layer ms then
    uint64_t m_played_at_base = 0; // played audio frames then
    SecondarySoundBuffer* m_buffer = nullptr;
    uint64_t m_played = 0; // frames of the buffer played since it was made
    DWORD m_last_cursor = 0;
    uint64_t m_written = 0;            // frames written, counted like m_played
    uint64_t m_sound_end = UINT64_MAX; // m_written when the sound track ran out
    std::atomic<LONG> m_volume{0};

    // The render thread holds it from its look at the clock to the picture's hand-over, the sink's
    // locks taken inside it; Pause takes it after stopping the clock.
    std::mutex m_render_gate;
    std::mutex m_pictures_lock; // a leaf lock: guards the two fields below
    std::deque<AVFrame*> m_pictures;
    bool m_pictures_ended = false; // the decoder has given its last picture
    WaitBlock m_decode_wake;
    WaitBlock m_render_wake;
    WaitBlock m_audio_wake;
    std::jthread m_decoder;
    std::jthread m_render;
    std::jthread m_audio;
    std::atomic<bool> m_video_done{false};
    std::atomic<bool> m_complete_sent{false};
    std::atomic<bool> m_shown_since_start{false};
    std::atomic<uint64_t> m_rendered{0};
    std::atomic<uint64_t> m_dropped{0};
};

// True when FFmpeg has what an MPEG-1 movie needs of the role: 0 the "mpeg" demuxer, 1 the
// MPEG-1 video decoder, 2 the MP2 decoder.
bool HasMovieComponent(int role);

} // namespace platform
