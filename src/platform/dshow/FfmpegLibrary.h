#pragma once
// The FFmpeg functions the movie pipeline calls, found in FFmpeg's libraries when the first movie
// is opened or its decoders are asked for. A start that plays no movie then never loads FFmpeg
// and the many libraries it links, whose loading and relocation would cost every start about
// 30 ms of CPU and 20 MiB. Loaded once and never unloaded; any thread. Layer-internal.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace platform {

// Each member is the library's function of the same name.
struct FfmpegLibrary
{
    decltype(&::av_channel_layout_default) av_channel_layout_default;
    decltype(&::av_dict_free) av_dict_free;
    decltype(&::av_dict_set_int) av_dict_set_int;
    decltype(&::av_find_best_stream) av_find_best_stream;
    decltype(&::av_find_input_format) av_find_input_format;
    decltype(&::av_frame_alloc) av_frame_alloc;
    decltype(&::av_frame_free) av_frame_free;
    decltype(&::av_frame_move_ref) av_frame_move_ref;
    decltype(&::av_frame_unref) av_frame_unref;
    decltype(&::av_freep) av_freep;
    decltype(&::av_log_set_level) av_log_set_level;
    decltype(&::av_malloc) av_malloc;
    decltype(&::av_packet_alloc) av_packet_alloc;
    decltype(&::av_packet_free) av_packet_free;
    decltype(&::av_read_frame) av_read_frame;
    decltype(&::av_rescale) av_rescale;
    decltype(&::av_rescale_q) av_rescale_q;
    decltype(&::av_seek_frame) av_seek_frame;
    decltype(&::avcodec_alloc_context3) avcodec_alloc_context3;
    decltype(&::avcodec_find_decoder) avcodec_find_decoder;
    decltype(&::avcodec_flush_buffers) avcodec_flush_buffers;
    decltype(&::avcodec_free_context) avcodec_free_context;
    decltype(&::avcodec_open2) avcodec_open2;
    decltype(&::avcodec_parameters_to_context) avcodec_parameters_to_context;
    decltype(&::avcodec_receive_frame) avcodec_receive_frame;
    decltype(&::avcodec_send_packet) avcodec_send_packet;
    decltype(&::avformat_alloc_context) avformat_alloc_context;
    decltype(&::avformat_close_input) avformat_close_input;
    decltype(&::avformat_find_stream_info) avformat_find_stream_info;
    decltype(&::avformat_open_input) avformat_open_input;
    decltype(&::avformat_seek_file) avformat_seek_file;
    decltype(&::avio_alloc_context) avio_alloc_context;
    decltype(&::avio_context_free) avio_context_free;
    decltype(&::swr_alloc_set_opts2) swr_alloc_set_opts2;
    decltype(&::swr_close) swr_close;
    decltype(&::swr_convert) swr_convert;
    decltype(&::swr_free) swr_free;
    decltype(&::swr_get_out_samples) swr_get_out_samples;
    decltype(&::swr_init) swr_init;
    decltype(&::sws_freeContext) sws_freeContext;
    decltype(&::sws_getCachedContext) sws_getCachedContext;
    decltype(&::sws_scale) sws_scale;
};

// The functions, loaded at the first call. Null when a library or a function cannot be had, which
// is said once on stderr: the game then plays on without movies.
const FfmpegLibrary* GetFfmpeg();

} // namespace platform
