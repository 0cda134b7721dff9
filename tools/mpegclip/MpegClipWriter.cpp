#include "mpegclip/MpegClipWriter.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

namespace tools {

namespace {

[[noreturn]] void Fail(const char* what, int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof(text));
    throw std::runtime_error(std::string("mpegclip: ") + what + ": " + text);
}

void Check(int code, const char* what)
{
    if (code < 0)
        Fail(what, code);
}

struct CodecFree
{
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameFree
{
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFree
{
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct FormatFree
{
    void operator()(AVFormatContext* f) const
    {
        if (f->pb) {
            uint8_t* rest = nullptr;
            avio_close_dyn_buf(f->pb, &rest);
            av_free(rest);
        }
        avformat_free_context(f);
    }
};
using CodecPtr = std::unique_ptr<AVCodecContext, CodecFree>;
using FramePtr = std::unique_ptr<AVFrame, FrameFree>;

uint8_t Luma(uint32_t rgb)
{
    const int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    return static_cast<uint8_t>(16 + (66 * r + 129 * g + 25 * b + 128) / 256);
}
uint8_t ChromaB(uint32_t rgb)
{
    const int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    return static_cast<uint8_t>(128 + (-38 * r - 74 * g + 112 * b + 128) / 256);
}
uint8_t ChromaR(uint32_t rgb)
{
    const int r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    return static_cast<uint8_t>(128 + (112 * r - 94 * g - 18 * b + 128) / 256);
}

int BlockHeight(int height)
{
    return height / 4;
}

void PaintPicture(AVFrame* frame, int number, uint32_t tint, bool detail)
{
    const int w = frame->width, h = frame->height;
    const int block_h = BlockHeight(h);
    for (int y = 0; y < h; ++y) {
        uint8_t* row = frame->data[0] + static_cast<ptrdiff_t>(y) * frame->linesize[0];
        for (int x = 0; x < w; ++x) {
            uint8_t value = Luma(tint);
            if (y < block_h) {
                const int bit = x * CLIP_NUMBER_BITS / w;
                value = ((number >> bit) & 1) ? 235 : 16;
            } else if (detail) {
                const unsigned wave = static_cast<unsigned>((x + 3 * number) * (y + 2 * number)) >> 6;
                value = static_cast<uint8_t>(48 + ((wave ^ (x * 5 + y * 3 + number * 7)) & 0x7F));
            }
            row[x] = value;
        }
    }
    for (int y = 0; y < (h + 1) / 2; ++y) {
        uint8_t* cb = frame->data[1] + static_cast<ptrdiff_t>(y) * frame->linesize[1];
        uint8_t* cr = frame->data[2] + static_cast<ptrdiff_t>(y) * frame->linesize[2];
        const bool blocks = y * 2 < block_h;
        std::memset(cb, blocks ? 128 : ChromaB(tint), static_cast<size_t>((w + 1) / 2));
        std::memset(cr, blocks ? 128 : ChromaR(tint), static_cast<size_t>((w + 1) / 2));
    }
}

// Sends one frame (or the flush with null) and writes every packet the encoder gives back.
void Encode(AVFormatContext* format, AVCodecContext* codec, AVStream* stream, AVFrame* frame)
{
    Check(avcodec_send_frame(codec, frame), "encoding");
    std::unique_ptr<AVPacket, PacketFree> packet(av_packet_alloc());
    for (;;) {
        const int got = avcodec_receive_packet(codec, packet.get());
        if (got == AVERROR(EAGAIN) || got == AVERROR_EOF)
            return;
        Check(got, "encoding");
        av_packet_rescale_ts(packet.get(), codec->time_base, stream->time_base);
        packet->stream_index = stream->index;
        Check(av_interleaved_write_frame(format, packet.get()), "muxing");
    }
}

// Rewrites the size fields of every sequence header from the index-th on, and of the sequence
// extension that follows each, in place: the muxer's packet lengths stay right. The start codes
// are searched in the muxed bytes; the system layer's own start codes never match them.
void AnnounceSize(uint8_t* bytes, size_t size, int first, int width, int height)
{
    int index = -1;
    bool patching = false;
    for (size_t i = 0; i + 7 < size; ++i) {
        if (bytes[i] != 0 || bytes[i + 1] != 0 || bytes[i + 2] != 1)
            continue;
        uint8_t* field = bytes + i + 4;
        if (bytes[i + 3] == 0xB3) {
            patching = ++index >= first;
            if (!patching)
                continue;
            field[0] = static_cast<uint8_t>((width >> 4) & 0xFF);
            field[1] = static_cast<uint8_t>(((width & 0xF) << 4) | ((height >> 8) & 0xF));
            field[2] = static_cast<uint8_t>(height & 0xFF);
        } else if (bytes[i + 3] == 0xB5 && (field[0] >> 4) == 1 && patching) {
            // The sequence extension: two more bits of each size, across bytes 1 and 2.
            const int wide = (width >> 12) & 3;
            const int tall = (height >> 12) & 3;
            field[1] = static_cast<uint8_t>((field[1] & 0xFE) | (wide >> 1));
            field[2] = static_cast<uint8_t>((field[2] & 0x1F) | ((wide & 1) << 7) | (tall << 5));
            patching = false;
        }
    }
}

} // namespace

std::vector<uint8_t> WriteMpegClip(const MpegClipOptions& options)
{
    if (options.width <= 0 || options.height <= 0 || options.frames < 0 || options.fps <= 0)
        throw std::runtime_error("mpegclip: bad clip size");
    av_log_set_level(AV_LOG_ERROR);
    AVFormatContext* raw_format = nullptr;
    Check(avformat_alloc_output_context2(&raw_format, nullptr, "mpeg", nullptr), "the mpeg muxer");
    std::unique_ptr<AVFormatContext, FormatFree> format(raw_format);

    const bool resizes = options.resize_from >= 0;
    if (resizes && (options.resize_width <= 0 || options.resize_width > 16383 || options.resize_height <= 0 ||
                    options.resize_height > 16383))
        throw std::runtime_error("mpegclip: bad announced size");
    const AVCodec* video_codec =
        avcodec_find_encoder(resizes ? AV_CODEC_ID_MPEG2VIDEO : AV_CODEC_ID_MPEG1VIDEO);
    if (!video_codec)
        throw std::runtime_error("mpegclip: no MPEG video encoder");
    CodecPtr video(avcodec_alloc_context3(video_codec));
    video->width = options.width;
    video->height = options.height;
    video->time_base = AVRational{1, options.fps};
    video->framerate = AVRational{options.fps, 1};
    video->pix_fmt = AV_PIX_FMT_YUV420P;
    video->gop_size = resizes ? 1 : 12; // a clip that changes size needs a sequence header per picture
    video->max_b_frames = 0;
    video->bit_rate = options.bit_rate > 0 ? options.bit_rate
                                           : std::max<int64_t>(400'000, int64_t{options.width} * options.height * 4);
    if (format->oformat->flags & AVFMT_GLOBALHEADER)
        video->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    Check(avcodec_open2(video.get(), video_codec, nullptr), "opening the MPEG video encoder");
    AVStream* video_stream = avformat_new_stream(format.get(), nullptr);
    Check(avcodec_parameters_from_context(video_stream->codecpar, video.get()), "video parameters");
    video_stream->time_base = video->time_base;

    CodecPtr audio;
    AVStream* audio_stream = nullptr;
    if (options.audio) {
        const AVCodec* audio_codec = avcodec_find_encoder(AV_CODEC_ID_MP2);
        if (!audio_codec)
            throw std::runtime_error("mpegclip: no MP2 encoder");
        audio.reset(avcodec_alloc_context3(audio_codec));
        audio->sample_rate = 44100;
        audio->sample_fmt = AV_SAMPLE_FMT_S16;
        av_channel_layout_default(&audio->ch_layout, 2);
        audio->bit_rate = 192'000;
        audio->time_base = AVRational{1, 44100};
        Check(avcodec_open2(audio.get(), audio_codec, nullptr), "opening the MP2 encoder");
        audio_stream = avformat_new_stream(format.get(), nullptr);
        Check(avcodec_parameters_from_context(audio_stream->codecpar, audio.get()), "audio parameters");
        audio_stream->time_base = audio->time_base;
    }

    Check(avio_open_dyn_buf(&format->pb), "the output buffer");
    Check(avformat_write_header(format.get(), nullptr), "the stream header");

    FramePtr picture(av_frame_alloc());
    picture->format = AV_PIX_FMT_YUV420P;
    picture->width = options.width;
    picture->height = options.height;
    Check(av_frame_get_buffer(picture.get(), 0), "a picture");

    FramePtr sound;
    int64_t samples_done = 0;
    const int64_t samples_total = int64_t{options.frames} * 44100 / options.fps;
    if (audio) {
        sound.reset(av_frame_alloc());
        sound->format = AV_SAMPLE_FMT_S16;
        sound->nb_samples = audio->frame_size;
        sound->sample_rate = 44100;
        av_channel_layout_default(&sound->ch_layout, 2);
        Check(av_frame_get_buffer(sound.get(), 0), "a sound frame");
    }

    for (int i = 0; i < options.frames; ++i) {
        Check(av_frame_make_writable(picture.get()), "a picture");
        PaintPicture(picture.get(), options.first_number + i, options.tint, options.detail);
        picture->pts = i;
        Encode(format.get(), video.get(), video_stream, picture.get());
        // Sound up to the end of this picture, so the muxer interleaves the two closely.
        const int64_t sound_until = int64_t{i + 1} * 44100 / options.fps;
        while (audio && samples_done < sound_until && samples_done < samples_total) {
            Check(av_frame_make_writable(sound.get()), "a sound frame");
            auto* samples = reinterpret_cast<int16_t*>(sound->data[0]);
            for (int s = 0; s < sound->nb_samples; ++s) {
                const double t = static_cast<double>(samples_done + s) / 44100.0;
                const auto value = static_cast<int16_t>(options.tone_amplitude *
                                                        std::sin(2.0 * M_PI * options.tone_hz * t));
                samples[2 * s] = value;
                samples[2 * s + 1] = value;
            }
            sound->pts = samples_done;
            Encode(format.get(), audio.get(), audio_stream, sound.get());
            samples_done += sound->nb_samples;
        }
    }
    Encode(format.get(), video.get(), video_stream, nullptr);
    if (audio)
        Encode(format.get(), audio.get(), audio_stream, nullptr);
    Check(av_write_trailer(format.get()), "the stream end");

    uint8_t* bytes = nullptr;
    const int size = avio_close_dyn_buf(format->pb, &bytes);
    format->pb = nullptr;
    if (resizes)
        AnnounceSize(bytes, static_cast<size_t>(size), options.resize_from, options.resize_width,
                     options.resize_height);
    std::vector<uint8_t> out;
    if (options.vsd_header >= 0) {
        const auto n = static_cast<uint32_t>(options.vsd_header);
        out = {'V', 'S', 'D', '1', static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8),
               static_cast<uint8_t>(n >> 16), static_cast<uint8_t>(n >> 24)};
        out.resize(out.size() + n, 0xEE);
    }
    out.insert(out.end(), bytes, bytes + size);
    av_free(bytes);
    return out;
}

int ReadClipNumber(const uint8_t* bgra, int width, int height, ptrdiff_t stride)
{
    const int y = BlockHeight(height) / 2;
    int number = 0;
    for (int bit = 0; bit < CLIP_NUMBER_BITS; ++bit) {
        const int x = (2 * bit + 1) * width / (2 * CLIP_NUMBER_BITS);
        const uint8_t* pixel = bgra + y * stride + x * 4;
        const int light = (pixel[0] + pixel[1] + pixel[2]) / 3;
        if (light > 170)
            number |= 1 << bit;
        else if (light > 80)
            return -1;
    }
    return number;
}

} // namespace tools
