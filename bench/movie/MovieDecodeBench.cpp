// Movies play at 1920 x 1080, 25 frames a second. Two figures side by side for one generated
// MPEG-1 clip of that size, with a detailed moving picture that costs the decoder what a filmed
// one does: the whole graph (archive source, demuxer, decoder, conversion to
// 32-bit bottom-up pictures and the renderer's copy into a layer) with the presentation clock on
// the virtual clock's auto-advance, so pictures go through as fast as they are made; and a plain
// libavcodec decoding loop over the same bytes. "ms_per_frame" is the time per picture,
// "share_of_interval" that time over the 40 ms a picture is shown.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>
#include <vector>

#include "graphics/CLayerFile.h"
#include "graphics/CSprite.h"
#include "movie/CMediaFile.h"
#include "movie/CVideoRender.h"
#include "mpegclip/MpegClipWriter.h"
#include "platform/com/ComApi.h"
#include "platform/dshow/FilterGraph.h"
#include "platform/kernel/FileApi.h"
#include "platform/kernel/VirtualClock.h"
#include "screens/base/ISelect.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace {

constexpr int FRAMES = 50;
constexpr double INTERVAL_MS = 40.0;

const std::vector<uint8_t>& Clip()
{
    static const std::vector<uint8_t> clip = [] {
        tools::MpegClipOptions options;
        options.width = 1920;
        options.height = 1080;
        options.frames = FRAMES;
        options.audio = false;
        options.detail = true;
        return tools::WriteMpegClip(options);
    }();
    return clip;
}

void Report(benchmark::State& state, double seconds, int64_t frames)
{
    const double ms = seconds * 1000.0 / static_cast<double>(frames);
    state.counters["ms_per_frame"] = ms;
    state.counters["share_of_interval"] = ms / INTERVAL_MS;
}

void BM_GraphIntoLayer(benchmark::State& state)
{
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "vesk_movie_bench.mpg";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(Clip().data()), static_cast<std::streamsize>(Clip().size()));
    const std::string posix = path.string();
    const std::u16string wide(posix.begin(), posix.end());
    std::unique_ptr<CSprite> target(CreateSpriteOfType(0, 0, 1920, 1080, -1, 0));
    platform::VirtualClock::Enable(0);
    platform::VirtualClock::SetAutoAdvance(true);
    double seconds = 0;
    int64_t frames = 0;
    for (auto _ : state) {
        CMediaFile file;
        HANDLE handle = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        file.Attach(handle, static_cast<uint32_t>(Clip().size()), 0);
        IGraphBuilder* graph = nullptr;
        CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                         reinterpret_cast<void**>(&graph));
        HRESULT made = S_OK;
        auto* renderer = new CVideoRender(target.get(), 0, &made);
        renderer->SetDrawing();
        auto* reader = new CMediaFileReader(&file, &made);
        graph->AddFilter(renderer, nullptr);
        graph->AddFilter(reader, nullptr);
        const auto start = std::chrono::steady_clock::now();
        IPin* pin = reader->GetPin(0);
        graph->Render(pin);
        pin->Release();
        IMediaControl* control = nullptr;
        graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&control));
        control->Run();
        auto* counters = dynamic_cast<platform::FilterGraph*>(graph);
        while (counters->GetCounters().rendered + counters->GetCounters().dropped < FRAMES)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        frames += static_cast<int64_t>(counters->GetCounters().rendered);
        control->Stop();
        control->Release();
        graph->RemoveFilter(reader);
        graph->RemoveFilter(renderer);
        graph->Release();
        reader->Release();
        renderer->Release();
    }
    platform::VirtualClock::SetAutoAdvance(false);
    platform::VirtualClock::Disable();
    std::filesystem::remove(path);
    Report(state, seconds, frames);
}
BENCHMARK(BM_GraphIntoLayer)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

struct MemoryReader
{
    const std::vector<uint8_t>* bytes;
    size_t position = 0;
    static int Read(void* opaque, uint8_t* buffer, int size)
    {
        auto* self = static_cast<MemoryReader*>(opaque);
        const size_t left = self->bytes->size() - self->position;
        const size_t count = std::min<size_t>(left, static_cast<size_t>(size));
        if (count == 0)
            return AVERROR_EOF;
        std::memcpy(buffer, self->bytes->data() + self->position, count);
        self->position += count;
        return static_cast<int>(count);
    }
};

void BM_PlainDecodeLoop(benchmark::State& state)
{
    double seconds = 0;
    int64_t frames = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        MemoryReader reader{&Clip()};
        auto* buffer = static_cast<uint8_t*>(av_malloc(65536));
        AVIOContext* io = avio_alloc_context(buffer, 65536, 0, &reader, &MemoryReader::Read, nullptr, nullptr);
        AVFormatContext* format = avformat_alloc_context();
        format->pb = io;
        avformat_open_input(&format, nullptr, av_find_input_format("mpeg"), nullptr);
        avformat_find_stream_info(format, nullptr);
        const AVCodec* codec = nullptr;
        const int index = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
        AVCodecContext* decoder = avcodec_alloc_context3(codec);
        avcodec_parameters_to_context(decoder, format->streams[index]->codecpar);
        avcodec_open2(decoder, codec, nullptr);
        AVPacket* packet = av_packet_alloc();
        AVFrame* frame = av_frame_alloc();
        auto drain = [&] {
            while (avcodec_receive_frame(decoder, frame) == 0)
                ++frames;
        };
        while (av_read_frame(format, packet) >= 0) {
            if (packet->stream_index == index) {
                avcodec_send_packet(decoder, packet);
                drain();
            }
            av_packet_unref(packet);
        }
        avcodec_send_packet(decoder, nullptr);
        drain();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&decoder);
        avformat_close_input(&format);
        av_freep(&io->buffer);
        avio_context_free(&io);
    }
    Report(state, seconds, frames);
}
BENCHMARK(BM_PlainDecodeLoop)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace
