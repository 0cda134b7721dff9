#include "platform/dshow/FfmpegLibrary.h"

#include <cstdio>
#include <memory>
#include <string>

#include <dlfcn.h>

namespace platform {

namespace {

// The libraries by the names of the versions the headers describe, each with what it links.
void* OpenLibrary(const char* stem, int major, std::string& error)
{
    const std::string name = std::string(stem) + ".so." + std::to_string(major);
    void* library = ::dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr && error.empty())
        error = ::dlerror();
    return library;
}

template <class Function>
void Find(void* library, const char* name, Function& function, std::string& error)
{
    function = library != nullptr ? reinterpret_cast<Function>(::dlsym(library, name)) : nullptr;
    if (function == nullptr && library != nullptr && error.empty())
        error = std::string("no ") + name;
}

std::unique_ptr<FfmpegLibrary> Load()
{
    std::string error;
    void* avutil = OpenLibrary("libavutil", LIBAVUTIL_VERSION_MAJOR, error);
    void* swresample = OpenLibrary("libswresample", LIBSWRESAMPLE_VERSION_MAJOR, error);
    void* swscale = OpenLibrary("libswscale", LIBSWSCALE_VERSION_MAJOR, error);
    void* avcodec = OpenLibrary("libavcodec", LIBAVCODEC_VERSION_MAJOR, error);
    void* avformat = OpenLibrary("libavformat", LIBAVFORMAT_VERSION_MAJOR, error);

    auto f = std::make_unique<FfmpegLibrary>();
    Find(avutil, "av_channel_layout_default", f->av_channel_layout_default, error);
    Find(avutil, "av_dict_free", f->av_dict_free, error);
    Find(avutil, "av_dict_set_int", f->av_dict_set_int, error);
    Find(avformat, "av_find_best_stream", f->av_find_best_stream, error);
    Find(avformat, "av_find_input_format", f->av_find_input_format, error);
    Find(avutil, "av_frame_alloc", f->av_frame_alloc, error);
    Find(avutil, "av_frame_free", f->av_frame_free, error);
    Find(avutil, "av_frame_move_ref", f->av_frame_move_ref, error);
    Find(avutil, "av_frame_unref", f->av_frame_unref, error);
    Find(avutil, "av_freep", f->av_freep, error);
    Find(avutil, "av_log_set_level", f->av_log_set_level, error);
    Find(avutil, "av_malloc", f->av_malloc, error);
    Find(avcodec, "av_packet_alloc", f->av_packet_alloc, error);
    Find(avcodec, "av_packet_free", f->av_packet_free, error);
    Find(avformat, "av_read_frame", f->av_read_frame, error);
    Find(avutil, "av_rescale", f->av_rescale, error);
    Find(avutil, "av_rescale_q", f->av_rescale_q, error);
    Find(avformat, "av_seek_frame", f->av_seek_frame, error);
    Find(avcodec, "avcodec_alloc_context3", f->avcodec_alloc_context3, error);
    Find(avcodec, "avcodec_find_decoder", f->avcodec_find_decoder, error);
    Find(avcodec, "avcodec_flush_buffers", f->avcodec_flush_buffers, error);
    Find(avcodec, "avcodec_free_context", f->avcodec_free_context, error);
    Find(avcodec, "avcodec_open2", f->avcodec_open2, error);
    Find(avcodec, "avcodec_parameters_to_context", f->avcodec_parameters_to_context, error);
    Find(avcodec, "avcodec_receive_frame", f->avcodec_receive_frame, error);
    Find(avcodec, "avcodec_send_packet", f->avcodec_send_packet, error);
    Find(avformat, "avformat_alloc_context", f->avformat_alloc_context, error);
    Find(avformat, "avformat_close_input", f->avformat_close_input, error);
    Find(avformat, "avformat_find_stream_info", f->avformat_find_stream_info, error);
    Find(avformat, "avformat_open_input", f->avformat_open_input, error);
    Find(avformat, "avformat_seek_file", f->avformat_seek_file, error);
    Find(avformat, "avio_alloc_context", f->avio_alloc_context, error);
    Find(avformat, "avio_context_free", f->avio_context_free, error);
    Find(swresample, "swr_alloc_set_opts2", f->swr_alloc_set_opts2, error);
    Find(swresample, "swr_close", f->swr_close, error);
    Find(swresample, "swr_convert", f->swr_convert, error);
    Find(swresample, "swr_free", f->swr_free, error);
    Find(swresample, "swr_get_out_samples", f->swr_get_out_samples, error);
    Find(swresample, "swr_init", f->swr_init, error);
    Find(swscale, "sws_freeContext", f->sws_freeContext, error);
    Find(swscale, "sws_getCachedContext", f->sws_getCachedContext, error);
    Find(swscale, "sws_scale", f->sws_scale, error);
    if (!error.empty()) {
        std::fprintf(stderr, "vesk: FFmpeg cannot be loaded (%s); movies are not played\n", error.c_str());
        return nullptr;
    }
    return f;
}

} // namespace

const FfmpegLibrary* GetFfmpeg()
{
    static const FfmpegLibrary* s_library = Load().release(); // never freed: its libraries stay loaded
    return s_library;
}

} // namespace platform
