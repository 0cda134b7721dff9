#include "platform/dshow/MoviePipeline.h"

#include <algorithm>
#include <cstring>
#include <future>
#include <optional>

#include "platform/dshow/BaseClasses.h"
#include "platform/dshow/FfmpegLibrary.h"
#include "platform/dshow/MediaSample.h"
#include "platform/dsound/SecondarySoundBuffer.h"

namespace platform {

namespace {

constexpr int AUDIO_RATE = 44100;
constexpr uint32_t FRAME_BYTES = 4;             // 16-bit stereo
constexpr uint32_t RING_FRAMES = AUDIO_RATE;    // one second
constexpr uint32_t RING_GUARD_FRAMES = 1024;    // never write right behind the play cursor
constexpr uint32_t UNDERRUN_LEAD_FRAMES = 2048; // where writing restarts after an underrun
constexpr size_t QUEUE_SOFT_BYTES = 8u << 20;   // demux ahead this far
constexpr size_t QUEUE_HARD_BYTES = 64u << 20;  // unless a decoder starves, up to this
constexpr uint64_t POLL_MS = 10;
constexpr REFERENCE_TIME UNITS = 10'000'000;
constexpr int IO_BUFFER_BYTES = 64 * 1024;
constexpr size_t PICTURES_AHEAD = 3; // decoded pictures waiting for their time

// FFmpeg's functions, reached only once GetFfmpeg has found them: a pipeline without them opens
// nothing, and none of its streams or packets exist.
const FfmpegLibrary& Av()
{
    return *GetFfmpeg();
}

void FreePacket(AVPacket* packet)
{
    Av().av_packet_free(&packet);
}

using PacketPtr = std::unique_ptr<AVPacket, void (*)(AVPacket*)>;

} // namespace

struct MoviePipeline::Streams
{
    CAsyncIo* io = nullptr;
    int64_t io_position = 0;
    AVIOContext* avio = nullptr;
    AVFormatContext* format = nullptr;
    int video_index = -1;
    int audio_index = -1;
    AVCodecContext* video = nullptr;
    AVCodecContext* audio = nullptr;
    SwsContext* scaler = nullptr;
    SwrContext* resampler = nullptr;
    REFERENCE_TIME start = 0;       // the container's first time, 100 ns
    REFERENCE_TIME seek_target = 0; // pictures before it are decoded but not shown
    std::deque<AVPacket*> video_packets;
    std::deque<AVPacket*> audio_packets;
    bool video_flushed = false;
    bool audio_flushed = false;

    ~Streams()
    {
        if (GetFfmpeg() == nullptr)
            return;
        for (AVPacket* p : video_packets)
            Av().av_packet_free(&p);
        for (AVPacket* p : audio_packets)
            Av().av_packet_free(&p);
        Av().sws_freeContext(scaler);
        Av().swr_free(&resampler);
        Av().avcodec_free_context(&video);
        Av().avcodec_free_context(&audio);
        Av().avformat_close_input(&format);
        if (avio) {
            Av().av_freep(&avio->buffer);
            Av().avio_context_free(&avio);
        }
    }

    static int Read(void* opaque, uint8_t* buffer, int size)
    {
        auto* self = static_cast<Streams*>(opaque);
        LONG got = 0;
        const HRESULT result = self->io->SyncRead(self->io_position, size, buffer, &got);
        // Bytes that came are data even when the read fell short; the failure shows on the next read.
        if (got > 0) {
            self->io_position += got;
            return got;
        }
        return FAILED(result) ? AVERROR(EIO) : AVERROR_EOF;
    }

    static int64_t Seek(void* opaque, int64_t offset, int whence)
    {
        auto* self = static_cast<Streams*>(opaque);
        const int64_t length = self->io->Length();
        if (whence & AVSEEK_SIZE)
            return length;
        int64_t target = offset;
        switch (whence & ~AVSEEK_FORCE) {
        case SEEK_SET:
            break;
        case SEEK_CUR:
            target += self->io_position;
            break;
        case SEEK_END:
            target += length;
            break;
        default:
            return AVERROR(EINVAL);
        }
        if (target < 0 || target > length)
            return AVERROR(EINVAL);
        self->io_position = target;
        return target;
    }

    REFERENCE_TIME ToMediaTime(int64_t pts, AVRational time_base) const
    {
        return Av().av_rescale_q(pts, time_base, AVRational{1, static_cast<int>(UNITS)}) - start;
    }
};

bool HasMovieComponent(int role)
{
    if (GetFfmpeg() == nullptr)
        return false;
    switch (role) {
    case 0:
        return Av().av_find_input_format("mpeg") != nullptr;
    case 1:
        return Av().avcodec_find_decoder(AV_CODEC_ID_MPEG1VIDEO) != nullptr;
    case 2:
        return Av().avcodec_find_decoder(AV_CODEC_ID_MP2) != nullptr;
    default:
        return false;
    }
}

MoviePipeline::MoviePipeline(MovieSink& sink)
    : m_sink(sink)
    , m_streams(std::make_unique<Streams>())
{
    m_io = std::jthread([this](std::stop_token stop) { IoThread(stop); });
}

MoviePipeline::~MoviePipeline()
{
    Stop();
    ClearPictures();
    m_io.request_stop();
    m_queue_changed.notify_all();
    m_io.join();
    if (m_buffer)
        m_buffer->Release();
}

bool MoviePipeline::HasVideo() const
{
    return m_streams->video != nullptr;
}

bool MoviePipeline::HasAudio() const
{
    return m_streams->audio != nullptr;
}

bool MoviePipeline::RunIoJob(std::function<void()> job)
{
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    {
        std::lock_guard lock(m_queue_lock);
        m_jobs.push_back([job = std::move(job), done] {
            job();
            done->set_value();
        });
    }
    m_queue_changed.notify_all();
    finished.wait();
    return true;
}

void MoviePipeline::IoThread(std::stop_token stop)
{
    std::unique_lock lock(m_queue_lock);
    for (;;) {
        m_queue_changed.wait(lock, stop, [&] {
            if (!m_jobs.empty())
                return true;
            if (!m_demuxing || m_end_of_stream || m_queued_bytes >= QUEUE_HARD_BYTES)
                return false;
            const bool starving = (m_streams->video && m_streams->video_packets.empty()) ||
                                  (m_streams->audio && m_streams->audio_packets.empty());
            return m_queued_bytes < QUEUE_SOFT_BYTES || starving;
        });
        if (stop.stop_requested())
            return;
        if (!m_jobs.empty()) {
            std::function<void()> job = std::move(m_jobs.front());
            m_jobs.pop_front();
            lock.unlock();
            job();
            lock.lock();
            continue;
        }
        lock.unlock();
        Demux();
        lock.lock();
    }
}

// One packet into its queue; the end of the stream or a read failure ends demuxing until a seek.
void MoviePipeline::Demux()
{
    PacketPtr packet(Av().av_packet_alloc(), FreePacket);
    const int result = Av().av_read_frame(m_streams->format, packet.get());
    {
        std::lock_guard lock(m_queue_lock);
        if (result < 0) {
            m_end_of_stream = true;
        } else if (packet->stream_index == m_streams->video_index && m_streams->video) {
            m_queued_bytes += static_cast<size_t>(packet->size);
            m_streams->video_packets.push_back(packet.release());
        } else if (packet->stream_index == m_streams->audio_index && m_streams->audio) {
            m_queued_bytes += static_cast<size_t>(packet->size);
            m_streams->audio_packets.push_back(packet.release());
        }
    }
    WakeAll();
}

PacketPtr MoviePipeline::PopPacket(bool video)
{
    PacketPtr packet(nullptr, FreePacket);
    {
        std::lock_guard lock(m_queue_lock);
        auto& queue = video ? m_streams->video_packets : m_streams->audio_packets;
        if (queue.empty())
            return packet;
        packet.reset(queue.front());
        queue.pop_front();
        m_queued_bytes -= static_cast<size_t>(packet->size);
    }
    m_queue_changed.notify_all();
    return packet;
}

bool MoviePipeline::IsEndOfQueue(bool video)
{
    std::lock_guard lock(m_queue_lock);
    const auto& queue = video ? m_streams->video_packets : m_streams->audio_packets;
    return m_end_of_stream && queue.empty();
}

void MoviePipeline::WakeAll()
{
    m_decode_wake.Wake();
    m_render_wake.Wake();
    m_audio_wake.Wake();
}

HRESULT MoviePipeline::Open(CAsyncIo* io, bool force_mpeg, const std::string& path)
{
    HRESULT result = VFW_E_UNKNOWN_FILE_TYPE;
    if (GetFfmpeg() == nullptr)
        return result;
    Streams& s = *m_streams;
    RunIoJob([&] {
        Av().av_log_set_level(AV_LOG_ERROR);
        s.format = Av().avformat_alloc_context();
        if (io) {
            s.io = io;
            auto* buffer = static_cast<uint8_t*>(Av().av_malloc(IO_BUFFER_BYTES));
            s.avio = Av().avio_alloc_context(buffer, IO_BUFFER_BYTES, 0, &s, &Streams::Read, nullptr,
                                             &Streams::Seek);
            s.format->pb = s.avio;
        }
        const AVInputFormat* input = force_mpeg ? Av().av_find_input_format("mpeg") : nullptr;
        if (Av().avformat_open_input(&s.format, io ? nullptr : path.c_str(), input, nullptr) < 0) {
            s.format = nullptr; // freed by the failed open
            return;
        }
        // The probe decodes the first pictures: none larger than the screen either.
        std::vector<AVDictionary*> probe_options(s.format->nb_streams, nullptr);
        for (AVDictionary*& options : probe_options)
            Av().av_dict_set_int(&options, "max_pixels", MAX_MOVIE_PIXELS, 0);
        const int probed = Av().avformat_find_stream_info(s.format, probe_options.data());
        for (AVDictionary*& options : probe_options)
            Av().av_dict_free(&options);
        if (probed < 0)
            return;
        if (s.format->start_time != AV_NOPTS_VALUE)
            s.start = Av().av_rescale(s.format->start_time, UNITS, AV_TIME_BASE);
        if (s.format->duration != AV_NOPTS_VALUE)
            m_duration = Av().av_rescale(s.format->duration, UNITS, AV_TIME_BASE);
        auto open_decoder = [&](AVMediaType type, int* index) -> AVCodecContext* {
            const AVCodec* codec = nullptr;
            const int found = Av().av_find_best_stream(s.format, type, -1, -1, &codec, 0);
            if (found < 0 || !codec)
                return nullptr;
            AVCodecContext* context = Av().avcodec_alloc_context3(codec);
            // A later sequence header may announce any size: the decoder refuses a picture larger
            // than the screen before it allocates one.
            context->max_pixels = MAX_MOVIE_PIXELS;
            if (Av().avcodec_parameters_to_context(context, s.format->streams[found]->codecpar) < 0 ||
                Av().avcodec_open2(context, codec, nullptr) < 0) {
                Av().avcodec_free_context(&context);
                return nullptr;
            }
            *index = found;
            return context;
        };
        s.video = open_decoder(AVMEDIA_TYPE_VIDEO, &s.video_index);
        s.audio = open_decoder(AVMEDIA_TYPE_AUDIO, &s.audio_index);
        if (!s.video && !s.audio)
            return;
        if (s.video) {
            // The frame buffers are sized by the stream's header alone: a frame larger than the
            // screen can show is refused, as a file that is no movie.
            if (s.video->width <= 0 || s.video->height <= 0 || s.video->width > MAX_MOVIE_WIDTH ||
                s.video->height > MAX_MOVIE_HEIGHT)
                return;
            m_width = s.video->width;
            m_height = s.video->height;
            const AVRational rate = s.format->streams[s.video_index]->avg_frame_rate;
            if (rate.num > 0 && rate.den > 0)
                m_frame_interval = Av().av_rescale(UNITS, rate.den, rate.num);
        }
        if (s.audio) {
            AVChannelLayout stereo;
            Av().av_channel_layout_default(&stereo, 2);
            if (Av().swr_alloc_set_opts2(&s.resampler, &stereo, AV_SAMPLE_FMT_S16, AUDIO_RATE,
                                         &s.audio->ch_layout, s.audio->sample_fmt, s.audio->sample_rate, 0,
                                         nullptr) < 0 ||
                Av().swr_init(s.resampler) < 0) {
                Av().avcodec_free_context(&s.audio);
                Av().swr_free(&s.resampler);
            }
        }
        m_video_done = s.video == nullptr;
        std::lock_guard lock(m_queue_lock);
        m_demuxing = true;
        result = S_OK;
    });
    return result;
}

void MoviePipeline::EnableAudio(IDirectSound8* device)
{
    if (!device || !m_streams->audio || m_buffer)
        return;
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = AUDIO_RATE;
    format.wBitsPerSample = 16;
    format.nBlockAlign = FRAME_BYTES;
    format.nAvgBytesPerSec = AUDIO_RATE * FRAME_BYTES;
    DSBUFFERDESC description{};
    description.dwSize = sizeof(description);
    description.dwFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_GLOBALFOCUS;
    description.dwBufferBytes = RING_FRAMES * FRAME_BYTES;
    description.lpwfxFormat = &format;
    IDirectSoundBuffer* buffer = nullptr;
    if (FAILED(device->CreateSoundBuffer(&description, &buffer, nullptr)))
        return;
    // The facade's own buffer: the ring is written through it.
    auto* ring = dynamic_cast<SecondarySoundBuffer*>(buffer);
    if (!ring) {
        buffer->Release();
        return;
    }
    ring->SetVolume(m_volume.load());
    std::lock_guard lock(m_clock_lock);
    m_buffer = ring;
}

void MoviePipeline::SetVolume(LONG volume)
{
    m_volume = volume;
    std::lock_guard lock(m_clock_lock);
    if (m_buffer)
        m_buffer->SetVolume(volume);
}

void MoviePipeline::UpdatePlayedLocked()
{
    if (!m_buffer)
        return;
    DWORD play = 0, write = 0;
    if (FAILED(m_buffer->GetCurrentPosition(&play, &write)))
        return;
    const DWORD ring = RING_FRAMES * FRAME_BYTES;
    m_played += ((play + ring - m_last_cursor) % ring) / FRAME_BYTES;
    m_last_cursor = play;
}

REFERENCE_TIME MoviePipeline::MediaTimeLocked()
{
    if (m_mode != Mode::Running)
        return m_base;
    if (m_buffer) {
        UpdatePlayedLocked();
        return m_base + static_cast<REFERENCE_TIME>((m_played - m_played_at_base) * UNITS / AUDIO_RATE);
    }
    return m_base + static_cast<REFERENCE_TIME>(GetLayerTime() - m_layer_at_base) * 10'000;
}

void MoviePipeline::FreezeClockLocked()
{
    m_base = MediaTimeLocked();
    if (m_buffer)
        m_buffer->Stop();
}

REFERENCE_TIME MoviePipeline::Position()
{
    std::lock_guard lock(m_clock_lock);
    return MediaTimeLocked();
}

MovieCounters MoviePipeline::Counters() const
{
    return MovieCounters{m_rendered.load(), m_dropped.load()};
}

void MoviePipeline::StartWorkers()
{
    if (!m_decoder.joinable() && m_streams->video)
        m_decoder = std::jthread([this](std::stop_token stop) { DecodeThread(stop); });
    if (!m_render.joinable() && m_streams->video)
        m_render = std::jthread([this](std::stop_token stop) { RenderThread(stop); });
    if (!m_audio.joinable() && m_streams->audio && m_buffer)
        m_audio = std::jthread([this](std::stop_token stop) { AudioThread(stop); });
}

void MoviePipeline::StopWorkers()
{
    m_decoder.request_stop();
    m_render.request_stop();
    m_audio.request_stop();
    WakeAll();
    for (std::jthread* worker : {&m_decoder, &m_render, &m_audio}) {
        if (worker->joinable())
            worker->join();
        *worker = std::jthread();
    }
}

void MoviePipeline::Run()
{
    {
        std::lock_guard lock(m_clock_lock);
        if (m_mode == Mode::Running)
            return;
        UpdatePlayedLocked();
        m_layer_at_base = GetLayerTime();
        m_played_at_base = m_played;
        m_mode = Mode::Running;
        if (m_buffer)
            m_buffer->Play(0, 0, DSBPLAY_LOOPING);
    }
    StartWorkers();
    WakeAll();
}

void MoviePipeline::HoldClock(Mode mode)
{
    std::lock_guard lock(m_clock_lock);
    if (m_mode == Mode::Running)
        FreezeClockLocked();
    m_mode = mode;
}

void MoviePipeline::Pause()
{
    HoldClock(Mode::Paused);
    // A picture the render thread chose before the clock stopped is on its way: it arrives first.
    {
        std::lock_guard gate(m_render_gate);
    }
    StartWorkers();
    WakeAll();
}

void MoviePipeline::Stop()
{
    HoldClock(Mode::Stopped);
    StopWorkers();
}

void MoviePipeline::Seek(REFERENCE_TIME position)
{
    position = std::max<REFERENCE_TIME>(0, position);
    StopWorkers();
    Streams& s = *m_streams;
    RunIoJob([&] {
        if (position == 0)
            Av().av_seek_frame(s.format, -1, 0, AVSEEK_FLAG_BYTE);
        else
            Av().avformat_seek_file(s.format, -1, INT64_MIN,
                                    Av().av_rescale(position + s.start, AV_TIME_BASE, UNITS), INT64_MAX, 0);
        std::lock_guard lock(m_queue_lock);
        for (AVPacket* p : s.video_packets)
            Av().av_packet_free(&p);
        for (AVPacket* p : s.audio_packets)
            Av().av_packet_free(&p);
        s.video_packets.clear();
        s.audio_packets.clear();
        m_queued_bytes = 0;
        m_end_of_stream = false;
    });
    ClearPictures();
    if (s.video)
        Av().avcodec_flush_buffers(s.video);
    if (s.audio)
        Av().avcodec_flush_buffers(s.audio);
    if (s.resampler) {
        Av().swr_close(s.resampler);
        Av().swr_init(s.resampler);
    }
    s.video_flushed = false;
    s.audio_flushed = false;
    s.seek_target = position;
    Mode mode;
    {
        std::lock_guard lock(m_clock_lock);
        UpdatePlayedLocked();
        m_base = position;
        m_layer_at_base = GetLayerTime();
        m_played_at_base = m_played;
        m_written = m_played + UNDERRUN_LEAD_FRAMES;
        m_sound_end = UINT64_MAX;
        mode = m_mode;
    }
    m_video_done = s.video == nullptr;
    m_complete_sent = false;
    m_shown_since_start = false;
    if (mode != Mode::Stopped)
        StartWorkers();
    m_queue_changed.notify_all();
    WakeAll();
}

void MoviePipeline::CheckComplete()
{
    if (!m_video_done)
        return;
    if (m_buffer && m_streams->audio) {
        std::lock_guard lock(m_clock_lock);
        UpdatePlayedLocked();
        if (m_sound_end == UINT64_MAX || m_played < m_sound_end)
            return;
    }
    if (!m_complete_sent.exchange(true))
        m_sink.OnComplete();
}

void MoviePipeline::ClearPictures()
{
    std::lock_guard lock(m_pictures_lock);
    for (AVFrame* picture : m_pictures)
        Av().av_frame_free(&picture);
    m_pictures.clear();
    m_pictures_ended = false;
}

// Decodes pictures ahead of the render thread, so that decoding the next one overlaps the
// conversion and copy of this one. Each queued picture carries its media time in pts. The
// decoder and the render thread wait for each other without a deadline: a virtual clock moves
// only for the render thread's wait for a picture's time.
void MoviePipeline::DecodeThread(std::stop_token stop)
{
    Streams& s = *m_streams;
    AVFrame* frame = Av().av_frame_alloc();
    const AVRational time_base = s.format->streams[s.video_index]->time_base;
    REFERENCE_TIME last_pts = s.seek_target - m_frame_interval;
    while (!stop.stop_requested()) {
        {
            std::unique_lock lock(m_pictures_lock);
            if (m_pictures.size() >= PICTURES_AHEAD || m_pictures_ended) {
                lock.unlock();
                Park(m_decode_wake, std::nullopt);
                continue;
            }
        }
        const int got = Av().avcodec_receive_frame(s.video, frame);
        if (got == AVERROR(EAGAIN)) {
            if (PacketPtr packet = PopPacket(true)) {
                Av().avcodec_send_packet(s.video, packet.get());
                continue;
            }
            if (IsEndOfQueue(true) && !s.video_flushed) {
                Av().avcodec_send_packet(s.video, nullptr);
                s.video_flushed = true;
                continue;
            }
            Park(m_decode_wake, std::nullopt);
            continue;
        }
        if (got == AVERROR_EOF) {
            std::lock_guard lock(m_pictures_lock);
            m_pictures_ended = true;
            m_render_wake.Wake();
            continue;
        }
        if (got < 0)
            continue; // a damaged picture: go on with the next
        const int64_t stamp =
            frame->best_effort_timestamp != AV_NOPTS_VALUE ? frame->best_effort_timestamp : frame->pts;
        // The decoder's last picture may come without a time: it follows the one before.
        const REFERENCE_TIME pts =
            stamp != AV_NOPTS_VALUE ? s.ToMediaTime(stamp, time_base) : last_pts + m_frame_interval;
        last_pts = pts;
        // A picture of another size than Open checked is not shown: the render thread's buffer
        // holds that size, and a change mid-stream is not followed.
        if (pts + m_frame_interval / 2 < s.seek_target || frame->width != m_width ||
            frame->height != m_height) {
            Av().av_frame_unref(frame);
            continue;
        }
        AVFrame* picture = Av().av_frame_alloc();
        Av().av_frame_move_ref(picture, frame);
        picture->pts = pts;
        {
            std::lock_guard lock(m_pictures_lock);
            m_pictures.push_back(picture);
        }
        m_render_wake.Wake();
    }
    Av().av_frame_free(&frame);
}

void MoviePipeline::RenderThread(std::stop_token stop)
{
    Streams& s = *m_streams;
    // The size Open checked, never the decoder's, which a later sequence header changes.
    const int width = m_width;
    const int height = m_height;
    const ptrdiff_t stride = static_cast<ptrdiff_t>(width) * 4;
    MediaSample sample(static_cast<size_t>(stride) * height);
    while (!stop.stop_requested()) {
        AVFrame* frame = nullptr;
        bool ended = false;
        {
            std::lock_guard lock(m_pictures_lock);
            if (!m_pictures.empty()) {
                frame = m_pictures.front();
                m_pictures.pop_front();
            }
            ended = m_pictures_ended;
        }
        if (frame == nullptr) {
            if (ended) {
                m_video_done = true;
                CheckComplete();
            }
            Park(m_render_wake, std::nullopt);
            continue;
        }
        m_decode_wake.Wake();
        const REFERENCE_TIME pts = frame->pts;
        REFERENCE_TIME now = 0;
        // Held from the look at the clock until the picture has been handed over: Pause takes it,
        // so no picture chosen while the movie ran reaches the sink after Pause has returned.
        std::unique_lock gate(m_render_gate, std::defer_lock);
        std::optional<REFERENCE_TIME> late_until;
        for (;;) {
            gate.lock();
            bool paused;
            {
                std::lock_guard lock(m_clock_lock);
                now = MediaTimeLocked();
                paused = m_mode != Mode::Running;
            }
            if (stop.stop_requested())
                break;
            // A paused movie keeps the picture it shows, even where the frozen clock has passed
            // pictures a busy machine had not shown yet; only the first one after a start or a
            // seek is shown at once, as a cue.
            if (paused ? !m_shown_since_start : pts <= now) {
                if (paused || !m_shown_since_start || now - pts <= m_frame_interval)
                    break;
                // A late picture waits up to an interval for a newer one, as decoding a picture
                // costs far less than showing one: a busy machine that showed each picture the
                // decoder had ready fell further behind its clock with every one. The stream's
                // last picture does not wait.
                bool newer = false;
                bool ended = false;
                {
                    std::lock_guard lock(m_pictures_lock);
                    newer = !m_pictures.empty();
                    ended = m_pictures_ended;
                }
                if (!late_until)
                    late_until = now + m_frame_interval;
                if (newer || ended || now >= *late_until)
                    break;
                gate.unlock();
                const uint64_t wait_ms =
                    std::clamp<uint64_t>(static_cast<uint64_t>((*late_until - now) / 10'000), 1, 2 * POLL_MS);
                Park(m_render_wake, GetLayerTime() + wait_ms); // the decoder wakes it
                continue;
            }
            gate.unlock();
            if (paused) {
                Park(m_render_wake, std::nullopt); // Run wakes it
                continue;
            }
            const uint64_t wait_ms =
                std::clamp<uint64_t>(static_cast<uint64_t>((pts - now) / 10'000), 1, 2 * POLL_MS);
            Park(m_render_wake, GetLayerTime() + wait_ms);
        }
        // A late picture is skipped only for a newer one waiting: the last picture of the stream
        // always shows, so a movie that ends on a slow machine still leaves its end on screen.
        bool newer_waiting = false;
        {
            std::lock_guard lock(m_pictures_lock);
            newer_waiting = !m_pictures.empty();
        }
        const bool late = m_shown_since_start && now - pts > m_frame_interval && newer_waiting;
        if (stop.stop_requested() || late) {
            if (late && !stop.stop_requested())
                ++m_dropped;
            Av().av_frame_free(&frame);
            continue;
        }
        s.scaler =
            Av().sws_getCachedContext(s.scaler, width, height, static_cast<AVPixelFormat>(frame->format),
                                      width, height, AV_PIX_FMT_BGRA, SWS_POINT, nullptr, nullptr, nullptr);
        if (s.scaler) {
            // Bottom-up rows, as a DIB stores them.
            uint8_t* bottom = sample.Bytes() + stride * (height - 1);
            const int strides[1] = {static_cast<int>(-stride)};
            Av().sws_scale(s.scaler, frame->data, frame->linesize, 0, height, &bottom, strides);
            sample.SetTime(pts, pts + m_frame_interval);
            m_sink.RenderSample(&sample);
            ++m_rendered;
            m_shown_since_start = true;
        }
        Av().av_frame_free(&frame);
    }
}

// Decodes and resamples more sound into pending; false when the track has ended.
static bool DecodeSound(AVCodecContext* codec, SwrContext* resampler, AVFrame* frame,
                        std::vector<uint8_t>& pending, const std::function<PacketPtr()>& pop,
                        const std::function<bool()>& at_end, bool& flushed)
{
    for (;;) {
        const int got = Av().avcodec_receive_frame(codec, frame);
        if (got == 0) {
            const int room = Av().swr_get_out_samples(resampler, frame->nb_samples);
            const size_t old = pending.size();
            pending.resize(old + static_cast<size_t>(room) * FRAME_BYTES);
            uint8_t* out = pending.data() + old;
            const int made = Av().swr_convert(
                resampler, &out, room, const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples);
            pending.resize(old + static_cast<size_t>(std::max(made, 0)) * FRAME_BYTES);
            return true;
        }
        if (got == AVERROR_EOF)
            return false;
        if (got != AVERROR(EAGAIN))
            continue;
        if (PacketPtr packet = pop()) {
            Av().avcodec_send_packet(codec, packet.get());
            continue;
        }
        if (at_end() && !flushed) {
            Av().avcodec_send_packet(codec, nullptr);
            flushed = true;
            continue;
        }
        return true; // nothing more yet
    }
}

bool MoviePipeline::FillAudio(std::vector<uint8_t>& pending)
{
    Streams& s = *m_streams;
    uint64_t played;
    {
        std::lock_guard lock(m_clock_lock);
        UpdatePlayedLocked();
        played = m_played;
        if (m_written < played + RING_GUARD_FRAMES)
            m_written = played + UNDERRUN_LEAD_FRAMES;
    }
    uint64_t room = RING_FRAMES - RING_GUARD_FRAMES - (m_written - played);
    AVFrame* frame = Av().av_frame_alloc();
    while (room > 0) {
        if (pending.empty() && m_sound_end == UINT64_MAX) {
            const bool more = DecodeSound(
                s.audio, s.resampler, frame, pending, [this] { return PopPacket(false); },
                [this] { return IsEndOfQueue(false); }, s.audio_flushed);
            if (!more) {
                std::lock_guard lock(m_clock_lock);
                m_sound_end = m_written;
            } else if (pending.empty()) {
                break; // waiting for packets
            }
        }
        // After the track, silence keeps the clock going and the ring clean.
        const bool silence = pending.empty();
        const uint64_t frames = silence ? room : std::min<uint64_t>(room, pending.size() / FRAME_BYTES);
        const DWORD offset = static_cast<DWORD>((m_written % RING_FRAMES) * FRAME_BYTES);
        const DWORD bytes = static_cast<DWORD>(frames * FRAME_BYTES);
        // Late on a busy machine the mixer may already read where this writes: the ring's own
        // write keeps the two apart.
        if (FAILED(m_buffer->WriteRing(offset, silence ? nullptr : pending.data(), bytes)))
            break;
        if (!silence)
            pending.erase(pending.begin(), pending.begin() + bytes);
        {
            std::lock_guard lock(m_clock_lock);
            m_written += frames;
        }
        room -= frames;
    }
    Av().av_frame_free(&frame);
    return m_sound_end == UINT64_MAX;
}

void MoviePipeline::AudioThread(std::stop_token stop)
{
    std::vector<uint8_t> pending;
    while (!stop.stop_requested()) {
        FillAudio(pending);
        CheckComplete();
        Park(m_audio_wake, GetLayerTime() + POLL_MS);
    }
}

} // namespace platform
