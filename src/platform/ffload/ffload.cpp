// FFmpeg's five libraries bring about 130 more with them. Linked to the
// program, all of them were loaded and relocated before main() ran, which
// took longer than the rest of the start together. The program calls its
// own definitions of the FFmpeg functions it uses instead (see
// lazyload.h): the first call of one loads its library, and each forwards
// to the real function.
#include "ffload/ffload.h"

#include "lazyload/lazyload.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/cpu.h>
#include <libavutil/dict.h>
#include <libavutil/frame.h>
#include <libavutil/log.h>
#include <libavutil/mathematics.h>
#include <libavutil/mem.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace kolvarin::ffload {

namespace {

lazyload::TLazyLibrary avformat{KOLVARIN_SONAME_avformat};
lazyload::TLazyLibrary avcodec{KOLVARIN_SONAME_avcodec};
lazyload::TLazyLibrary avutil{KOLVARIN_SONAME_avutil};
lazyload::TLazyLibrary swscale{KOLVARIN_SONAME_swscale};
lazyload::TLazyLibrary swresample{KOLVARIN_SONAME_swresample};

} // namespace

void Preload(std::stop_token stop)
{
    for (lazyload::TLazyLibrary* library : {&avutil, &swresample, &swscale, &avcodec, &avformat})
        library->LoadStepwise(stop);
}

} // namespace kolvarin::ffload

#define KOLVARIN_FORWARD(library, result, name, params, args)                                                          \
    KOLVARIN_LAZY_FORWARD(kolvarin::ffload::library, result, name, params, args)

KOLVARIN_FORWARD(avformat, enum AVCodecID, av_codec_get_id, (const struct AVCodecTag* const* tags, unsigned int tag),
                 (tags, tag))
KOLVARIN_FORWARD(avformat, unsigned int, av_codec_get_tag, (const struct AVCodecTag* const* tags, enum AVCodecID id),
                 (tags, id))
KOLVARIN_FORWARD(avformat, int, av_find_best_stream,
                 (AVFormatContext * ic, enum AVMediaType type, int wanted_stream_nb, int related_stream,
                  const AVCodec** decoder_ret, int flags),
                 (ic, type, wanted_stream_nb, related_stream, decoder_ret, flags))
KOLVARIN_FORWARD(avformat, const AVInputFormat*, av_find_input_format, (const char* short_name), (short_name))
KOLVARIN_FORWARD(avformat, int, av_read_frame, (AVFormatContext * s, AVPacket* pkt), (s, pkt))
KOLVARIN_FORWARD(avformat, int, av_seek_frame, (AVFormatContext * s, int stream_index, int64_t timestamp, int flags),
                 (s, stream_index, timestamp, flags))
KOLVARIN_FORWARD(avformat, AVFormatContext*, avformat_alloc_context, (), ())
KOLVARIN_FORWARD(avformat, void, avformat_close_input, (AVFormatContext * *s), (s))
KOLVARIN_FORWARD(avformat, int, avformat_find_stream_info, (AVFormatContext * ic, AVDictionary** options),
                 (ic, options))
KOLVARIN_FORWARD(avformat, void, avformat_free_context, (AVFormatContext * s), (s))
KOLVARIN_FORWARD(avformat, const struct AVCodecTag*, avformat_get_riff_audio_tags, (), ())
KOLVARIN_FORWARD(avformat, const struct AVCodecTag*, avformat_get_riff_video_tags, (), ())
KOLVARIN_FORWARD(avformat, AVStream*, avformat_new_stream, (AVFormatContext * s, const AVCodec* c), (s, c))
KOLVARIN_FORWARD(avformat, int, avformat_open_input,
                 (AVFormatContext * *ps, const char* url, const AVInputFormat* fmt, AVDictionary** options),
                 (ps, url, fmt, options))
KOLVARIN_FORWARD(avformat, int, avformat_seek_file,
                 (AVFormatContext * s, int stream_index, int64_t min_ts, int64_t ts, int64_t max_ts, int flags),
                 (s, stream_index, min_ts, ts, max_ts, flags))
KOLVARIN_FORWARD(avformat, AVIOContext*, avio_alloc_context,
                 (unsigned char* buffer, int buffer_size, int write_flag, void* opaque,
                  int (*read_packet)(void* opaque, uint8_t* buf, int buf_size),
                  int (*write_packet)(void* opaque, uint8_t* buf, int buf_size),
                  int64_t (*seek)(void* opaque, int64_t offset, int whence)),
                 (buffer, buffer_size, write_flag, opaque, read_packet, write_packet, seek))
KOLVARIN_FORWARD(avformat, void, avio_context_free, (AVIOContext * *s), (s))
KOLVARIN_FORWARD(avcodec, int, av_get_audio_frame_duration2, (AVCodecParameters * par, int frame_bytes),
                 (par, frame_bytes))
KOLVARIN_FORWARD(avcodec, int, av_new_packet, (AVPacket * pkt, int size), (pkt, size))
KOLVARIN_FORWARD(avcodec, AVPacket*, av_packet_alloc, (), ())
KOLVARIN_FORWARD(avcodec, void, av_packet_free, (AVPacket * *pkt), (pkt))
KOLVARIN_FORWARD(avcodec, void, av_packet_move_ref, (AVPacket * dst, AVPacket* src), (dst, src))
KOLVARIN_FORWARD(avcodec, void, av_packet_unref, (AVPacket * pkt), (pkt))
KOLVARIN_FORWARD(avcodec, AVCodecContext*, avcodec_alloc_context3, (const AVCodec* codec), (codec))
KOLVARIN_FORWARD(avcodec, int, avcodec_decode_subtitle2,
                 (AVCodecContext * avctx, AVSubtitle* sub, int* got_sub_ptr, AVPacket* avpkt),
                 (avctx, sub, got_sub_ptr, avpkt))
KOLVARIN_FORWARD(avcodec, const AVCodec*, avcodec_find_decoder, (enum AVCodecID id), (id))
KOLVARIN_FORWARD(avcodec, void, avcodec_flush_buffers, (AVCodecContext * avctx), (avctx))
KOLVARIN_FORWARD(avcodec, void, avcodec_free_context, (AVCodecContext * *avctx), (avctx))
KOLVARIN_FORWARD(avcodec, enum AVMediaType, avcodec_get_type, (enum AVCodecID codec_id), (codec_id))
KOLVARIN_FORWARD(avcodec, int, avcodec_open2, (AVCodecContext * avctx, const AVCodec* codec, AVDictionary** options),
                 (avctx, codec, options))
KOLVARIN_FORWARD(avcodec, AVCodecParameters*, avcodec_parameters_alloc, (), ())
KOLVARIN_FORWARD(avcodec, int, avcodec_parameters_copy, (AVCodecParameters * dst, const AVCodecParameters* src),
                 (dst, src))
KOLVARIN_FORWARD(avcodec, void, avcodec_parameters_free, (AVCodecParameters * *par), (par))
KOLVARIN_FORWARD(avcodec, int, avcodec_parameters_to_context, (AVCodecContext * codec, const AVCodecParameters* par),
                 (codec, par))
KOLVARIN_FORWARD(avcodec, int, avcodec_receive_frame, (AVCodecContext * avctx, AVFrame* frame), (avctx, frame))
KOLVARIN_FORWARD(avcodec, int, avcodec_send_packet, (AVCodecContext * avctx, const AVPacket* avpkt), (avctx, avpkt))
KOLVARIN_FORWARD(avcodec, void, avsubtitle_free, (AVSubtitle * sub), (sub))
KOLVARIN_FORWARD(avutil, int, av_cpu_count, (), ())
KOLVARIN_FORWARD(avutil, void, av_channel_layout_default, (AVChannelLayout * ch_layout, int nb_channels),
                 (ch_layout, nb_channels))
KOLVARIN_FORWARD(avutil, void, av_dict_free, (AVDictionary * *m), (m))
KOLVARIN_FORWARD(avutil, int, av_dict_set, (AVDictionary * *pm, const char* key, const char* value, int flags),
                 (pm, key, value, flags))
KOLVARIN_FORWARD(avutil, AVDictionaryEntry*, av_dict_get,
                 (const AVDictionary* m, const char* key, const AVDictionaryEntry* prev, int flags),
                 (m, key, prev, flags))
KOLVARIN_FORWARD(avutil, AVFrame*, av_frame_alloc, (), ())
KOLVARIN_FORWARD(avutil, AVFrame*, av_frame_clone, (const AVFrame* src), (src))
KOLVARIN_FORWARD(avutil, int, av_frame_copy_props, (AVFrame * dst, const AVFrame* src), (dst, src))
KOLVARIN_FORWARD(avutil, void, av_frame_free, (AVFrame * *frame), (frame))
KOLVARIN_FORWARD(avutil, int, av_frame_get_buffer, (AVFrame * frame, int align), (frame, align))
KOLVARIN_FORWARD(avutil, int, av_frame_make_writable, (AVFrame * frame), (frame))
KOLVARIN_FORWARD(avutil, void, av_frame_unref, (AVFrame * frame), (frame))
KOLVARIN_FORWARD(avutil, void, av_free, (void* ptr), (ptr))
KOLVARIN_FORWARD(avutil, void, av_freep, (void* ptr), (ptr))
KOLVARIN_FORWARD(avutil, int, av_get_bytes_per_sample, (enum AVSampleFormat sample_fmt), (sample_fmt))
KOLVARIN_FORWARD(avutil, void, av_log_set_level, (int level), (level))
KOLVARIN_FORWARD(avutil, void*, av_malloc, (size_t size), (size))
KOLVARIN_FORWARD(avutil, void*, av_mallocz, (size_t size), (size))
KOLVARIN_FORWARD(avutil, int64_t, av_rescale, (int64_t a, int64_t b, int64_t c), (a, b, c))
KOLVARIN_FORWARD(avutil, int64_t, av_rescale_q, (int64_t a, AVRational bq, AVRational cq), (a, bq, cq))
KOLVARIN_FORWARD(swscale, void, sws_freeContext, (struct SwsContext * swsContext), (swsContext))
KOLVARIN_FORWARD(swscale, struct SwsContext*, sws_getCachedContext,
                 (struct SwsContext * context, int srcW, int srcH, enum AVPixelFormat srcFormat, int dstW, int dstH,
                  enum AVPixelFormat dstFormat, int flags, SwsFilter* srcFilter, SwsFilter* dstFilter,
                  const double* param),
                 (context, srcW, srcH, srcFormat, dstW, dstH, dstFormat, flags, srcFilter, dstFilter, param))
KOLVARIN_FORWARD(swscale, const int*, sws_getCoefficients, (int colorspace), (colorspace))
KOLVARIN_FORWARD(swscale, struct SwsContext*, sws_getContext,
                 (int srcW, int srcH, enum AVPixelFormat srcFormat, int dstW, int dstH, enum AVPixelFormat dstFormat,
                  int flags, SwsFilter* srcFilter, SwsFilter* dstFilter, const double* param),
                 (srcW, srcH, srcFormat, dstW, dstH, dstFormat, flags, srcFilter, dstFilter, param))
KOLVARIN_FORWARD(swscale, int, sws_scale,
                 (struct SwsContext * c, const uint8_t* const srcSlice[], const int srcStride[], int srcSliceY,
                  int srcSliceH, uint8_t* const dst[], const int dstStride[]),
                 (c, srcSlice, srcStride, srcSliceY, srcSliceH, dst, dstStride))
KOLVARIN_FORWARD(swscale, int, sws_setColorspaceDetails,
                 (struct SwsContext * c, const int inv_table[4], int srcRange, const int table[4], int dstRange,
                  int brightness, int contrast, int saturation),
                 (c, inv_table, srcRange, table, dstRange, brightness, contrast, saturation))
KOLVARIN_FORWARD(swresample, int, swr_alloc_set_opts2,
                 (struct SwrContext * *ps, AVChannelLayout* out_ch_layout, enum AVSampleFormat out_sample_fmt,
                  int out_sample_rate, AVChannelLayout* in_ch_layout, enum AVSampleFormat in_sample_fmt,
                  int in_sample_rate, int log_offset, void* log_ctx),
                 (ps, out_ch_layout, out_sample_fmt, out_sample_rate, in_ch_layout, in_sample_fmt, in_sample_rate,
                  log_offset, log_ctx))
KOLVARIN_FORWARD(swresample, int, swr_convert,
                 (struct SwrContext * s, uint8_t** out, int out_count, const uint8_t** in, int in_count),
                 (s, out, out_count, in, in_count))
KOLVARIN_FORWARD(swresample, void, swr_free, (struct SwrContext * *s), (s))
KOLVARIN_FORWARD(swresample, int, swr_init, (struct SwrContext * s), (s))
