#include "media/decoders.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/cpu.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include "media/ffmediatypes.h"
#include "media/graphif.h"
#include "media/transformfilter.h"
#include "media/uuids.h"

namespace kolvarin::media {
namespace {

constexpr AVRational kTime100ns{1, 10000000};

struct CodecDeleter {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
using CodecPtr = std::unique_ptr<AVCodecContext, CodecDeleter>;

// Each frame thread holds back one picture before the first comes out, so a
// picture gets the threads its size needs (one per 1280x720, plus one) rather
// than one per core: more would only delay the first picture.
int FrameThreads(const AVCodecParameters& params)
{
    constexpr int64_t kPixelsPerThread = 1280 * 720;
    const int64_t pixels = int64_t(params.width) * params.height;
    const auto wanted = static_cast<int>(1 + (pixels + kPixelsPerThread - 1) / kPixelsPerThread);
    return std::clamp(wanted, 2, std::max(2, av_cpu_count()));
}

CodecPtr OpenCodec(const AMMediaType& type)
{
    CodecParametersPtr params = CodecParametersOfType(type);
    if (!params)
        return nullptr;
    const AVCodec* codec = avcodec_find_decoder(params->codec_id);
    if (!codec)
        return nullptr;
    CodecPtr ctx(avcodec_alloc_context3(codec));
    if (!ctx || avcodec_parameters_to_context(ctx.get(), params.get()) < 0)
        return nullptr;
    ctx->pkt_timebase = kTime100ns;
    ctx->thread_count = params->codec_type == AVMEDIA_TYPE_VIDEO ? FrameThreads(*params) : 0;
    if (avcodec_open2(ctx.get(), codec, nullptr) < 0)
        return nullptr;
    return ctx;
}

// Shared by both decoders: the codec, opening it on connection or on a new
// type, feeding it packets and draining it at the end.
class Decoder : public TransformFilter {
public:
    Decoder(const CLSID& clsid, std::u16string name, const GUID& major)
        : TransformFilter(clsid, std::move(name), false), major_(major)
    {}

    // A decoder for the codec is enough here: opening one starts its threads,
    // and the connection opens the codec anyway.
    HRESULT CheckInputType(const AMMediaType& type) override
    {
        if (type.majortype != major_)
            return VFW_E_INVALIDMEDIATYPE;
        CodecParametersPtr params = CodecParametersOfType(type);
        return params && avcodec_find_decoder(params->codec_id) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }

    HRESULT CompleteConnect(PIN_DIRECTION dir, IPin*) override
    {
        if (dir == PINDIR_INPUT) {
            codec_ = OpenCodec(Input().CurrentMediaType());
            return codec_ ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
        }
        return S_OK;
    }

    void BreakConnect(BasePin& pin) override
    {
        if (&pin == &Input())
            codec_.reset();
    }

    HRESULT Transform(IMediaSample* sample) override
    {
        AMMediaType changed;
        if (sample->GetMediaType(&changed) == S_OK) {
            Input().SetCurrentMediaType(changed);
            codec_ = OpenCodec(changed);
            OnNewCodec();
        }
        if (!codec_)
            return S_FALSE;
        uint8_t* data = nullptr;
        sample->GetPointer(&data);
        AVPacket* packet = av_packet_alloc();
        if (!packet)
            return E_OUTOFMEMORY;
        const int length = sample->GetActualDataLength();
        if (av_new_packet(packet, length) < 0) {
            av_packet_free(&packet);
            return E_OUTOFMEMORY;
        }
        std::memcpy(packet->data, data, static_cast<size_t>(length));
        REFERENCE_TIME start = 0, stop = 0;
        if (Succeeded(sample->GetTime(&start, &stop)))
            packet->pts = start;
        if (sample->IsSyncPoint() == S_OK)
            packet->flags |= AV_PKT_FLAG_KEY;
        if (sample->IsDiscontinuity() == S_OK)
            OnDiscontinuity();
        int r = avcodec_send_packet(codec_.get(), packet);
        av_packet_free(&packet);
        HRESULT hr = Drain();
        if (r == AVERROR(EAGAIN)) // the codec was full: it has room after the drain
            hr = Drain();
        return hr;
    }

    HRESULT OnEndOfStream() override
    {
        if (codec_) {
            avcodec_send_packet(codec_.get(), nullptr);
            Drain();
            avcodec_flush_buffers(codec_.get());
        }
        return TransformFilter::OnEndOfStream();
    }

    HRESULT OnEndFlush() override
    {
        if (codec_)
            avcodec_flush_buffers(codec_.get());
        OnDiscontinuity();
        return TransformFilter::OnEndFlush();
    }

protected:
    virtual HRESULT DeliverFrame(AVFrame* frame) = 0;
    virtual void OnNewCodec() {}
    virtual void OnDiscontinuity() {}

    HRESULT Drain()
    {
        AVFrame* frame = av_frame_alloc();
        if (!frame)
            return E_OUTOFMEMORY;
        HRESULT hr = S_OK;
        while (avcodec_receive_frame(codec_.get(), frame) == 0) {
            if (Output().IsConnected())
                hr = DeliverFrame(frame);
            av_frame_unref(frame);
            if (hr != S_OK)
                break;
        }
        av_frame_free(&frame);
        return Failed(hr) ? hr : S_OK;
    }

    CodecPtr codec_;

private:
    GUID major_;
};

class VideoDecoder final : public Decoder {
public:
    VideoDecoder() : Decoder(CLSID_FFVideoDecoder, u"Video Decoder", MEDIATYPE_Video) {}
    ~VideoDecoder() override
    {
        sws_freeContext(sws_);
        av_frame_free(&converted_);
    }

    HRESULT GetOutputType(int position, AMMediaType* type) override
    {
        if (!Input().IsConnected())
            return E_UNEXPECTED;
        if (position < 0)
            return E_INVALIDARG;
        if (position > 0)
            return VFW_S_NO_MORE_ITEMS;
        *type = CurrentOutputType();
        return S_OK;
    }

    HRESULT CheckTransform(const AMMediaType&, const AMMediaType& out) override
    {
        return out.majortype == MEDIATYPE_Video && out.subtype == MEDIASUBTYPE_I420 ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }

protected:
    HRESULT DeliverFrame(AVFrame* frame) override
    {
        const AVFrame* picture = frame;
        if (frame->format != AV_PIX_FMT_YUV420P && frame->format != AV_PIX_FMT_YUVJ420P) {
            picture = Convert(frame);
            if (!picture)
                return S_OK;
        }
        // A stream that says nothing of its pixels' shape keeps the container's.
        const AVRational said = frame->sample_aspect_ratio;
        const AVRational aspect = said.num > 0 && said.den > 0 ? said : inputAspect_;
        if (frame->width != width_ || frame->height != height_ || av_cmp_q(aspect, aspect_) != 0) {
            // The connection's size and shape came from the container, which may not be the stream's.
            const bool announce = width_ != 0 || !ConnectedAs(frame->width, frame->height, aspect);
            width_ = frame->width;
            height_ = frame->height;
            aspect_ = aspect;
            pendingType_ = announce;
            if (announce)
                NotifyEvent(EC_VIDEO_SIZE_CHANGED, (height_ << 16) | (width_ & 0xFFFF), 0);
        }
        ComPtr<MediaSample> sample = MakeCom<MediaSample>(0);
        sample->AttachFrame(picture);
        const int64_t pts = frame->best_effort_timestamp;
        if (pts != AV_NOPTS_VALUE) {
            REFERENCE_TIME start = pts;
            REFERENCE_TIME stop =
                start + std::max<int64_t>(1, frame->pkt_duration > 0 ? frame->pkt_duration : FrameTime());
            sample->SetTime(&start, &stop);
        }
        sample->SetSyncPoint(true);
        if (pendingType_) {
            AMMediaType mt = CurrentOutputType();
            Output().SetCurrentMediaType(mt);
            sample->SetMediaType(&mt);
            pendingType_ = false;
        }
        return Output().Deliver(sample.get());
    }

    HRESULT CompleteConnect(PIN_DIRECTION dir, IPin* peer) override
    {
        const HRESULT hr = Decoder::CompleteConnect(dir, peer);
        if (dir == PINDIR_INPUT && codec_)
            inputAspect_ = codec_->sample_aspect_ratio;
        return hr;
    }

    void OnNewCodec() override
    {
        pendingType_ = width_ != 0;
        if (codec_)
            inputAspect_ = codec_->sample_aspect_ratio;
    }

private:
    REFERENCE_TIME FrameTime()
    {
        auto v = ReadVideoInfo(Input().CurrentMediaType().formatBytes());
        if (v && v->AvgTimePerFrame > 0)
            return v->AvgTimePerFrame;
        auto v2 = ReadVideoInfo2(Input().CurrentMediaType().formatBytes());
        return v2 && v2->AvgTimePerFrame > 0 ? v2->AvgTimePerFrame : 400000;
    }

    bool ConnectedAs(int width, int height, AVRational aspect)
    {
        const auto v = ReadVideoInfo2(Output().CurrentMediaType().formatBytes());
        const auto wanted = ReadVideoInfo2(VideoOutputType(width, height, aspect, 0, AV_PIX_FMT_YUV420P).formatBytes());
        return v && wanted && v->bmiHeader.biWidth == width && std::abs(v->bmiHeader.biHeight) == height &&
               v->dwPictAspectRatioX == wanted->dwPictAspectRatioX &&
               v->dwPictAspectRatioY == wanted->dwPictAspectRatioY;
    }

    AMMediaType CurrentOutputType()
    {
        int w = width_, h = height_;
        AVRational aspect = aspect_;
        if (w == 0 && codec_) {
            w = codec_->width;
            h = codec_->height;
            aspect = codec_->sample_aspect_ratio;
        }
        return VideoOutputType(w, h, aspect, FrameTime(), AV_PIX_FMT_YUV420P);
    }

    const AVFrame* Convert(const AVFrame* frame)
    {
        sws_ = sws_getCachedContext(sws_, frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                                    frame->width, frame->height, AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr,
                                    nullptr);
        if (!sws_)
            return nullptr;
        if (!converted_)
            converted_ = av_frame_alloc();
        av_frame_unref(converted_);
        converted_->format = AV_PIX_FMT_YUV420P;
        converted_->width = frame->width;
        converted_->height = frame->height;
        if (av_frame_get_buffer(converted_, 0) < 0)
            return nullptr;
        sws_scale(sws_, frame->data, frame->linesize, 0, frame->height, converted_->data, converted_->linesize);
        av_frame_copy_props(converted_, frame);
        converted_->color_range = AVCOL_RANGE_MPEG; // swscale's range for YUV420P
        return converted_;
    }

    int width_ = 0, height_ = 0;
    AVRational aspect_{0, 1};
    AVRational inputAspect_{0, 1}; // the pixels' shape the input type gave
    bool pendingType_ = false;
    SwsContext* sws_ = nullptr;
    AVFrame* converted_ = nullptr;
};

class AudioDecoder final : public Decoder {
public:
    AudioDecoder() : Decoder(CLSID_FFAudioDecoder, u"Audio Decoder", MEDIATYPE_Audio) {}
    ~AudioDecoder() override { swr_free(&swr_); }

    HRESULT GetOutputType(int position, AMMediaType* type) override
    {
        if (!Input().IsConnected() || !codec_)
            return E_UNEXPECTED;
        if (position < 0)
            return E_INVALIDARG;
        if (position > 0)
            return VFW_S_NO_MORE_ITEMS;
        *type = AudioOutputType(codec_->sample_rate, OutChannels(), 32, true);
        return S_OK;
    }

    HRESULT CheckTransform(const AMMediaType&, const AMMediaType& out) override
    {
        return out.majortype == MEDIATYPE_Audio && out.subtype == MEDIASUBTYPE_IEEE_FLOAT ? S_OK
                                                                                          : VFW_E_TYPE_NOT_ACCEPTED;
    }

protected:
    HRESULT DeliverFrame(AVFrame* frame) override
    {
        const int channels = frame->ch_layout.nb_channels;
        // A rate beyond the bounds would size every buffer after this one.
        if (frame->nb_samples <= 0 ||
            !AudioInBounds(static_cast<uint32_t>(frame->sample_rate), static_cast<uint32_t>(channels), 0))
            return S_OK;
        if (channels != rate_channels_ || frame->sample_rate != rate_ || frame->format != format_) {
            swr_free(&swr_);
            AVChannelLayout out;
            av_channel_layout_default(&out, OutChannels());
            if (swr_alloc_set_opts2(&swr_, &out, AV_SAMPLE_FMT_FLT, frame->sample_rate, &frame->ch_layout,
                                    static_cast<AVSampleFormat>(frame->format), frame->sample_rate, 0, nullptr) < 0 ||
                swr_init(swr_) < 0) {
                swr_free(&swr_);
                return S_OK;
            }
            const bool announce = rate_ != 0 && (frame->sample_rate != rate_ || channels != rate_channels_);
            rate_channels_ = channels;
            rate_ = frame->sample_rate;
            format_ = frame->format;
            if (announce)
                pendingType_ = true;
        }
        const int outChannels = OutChannels();
        const int bytes = frame->nb_samples * outChannels * 4;
        ComPtr<MediaSample> sample = MakeCom<MediaSample>(bytes);
        uint8_t* data = nullptr;
        sample->GetPointer(&data);
        const int got = swr_convert(swr_, &data, frame->nb_samples, const_cast<const uint8_t**>(frame->extended_data),
                                    frame->nb_samples);
        if (got <= 0)
            return S_OK;
        sample->SetActualDataLength(got * outChannels * 4);
        int64_t pts = frame->best_effort_timestamp;
        if (pts == AV_NOPTS_VALUE || !haveNext_)
            next_ = pts;
        if (next_ == AV_NOPTS_VALUE)
            next_ = 0;
        REFERENCE_TIME start = next_;
        // At a playback rate the sample times run that much faster.
        REFERENCE_TIME stop = start + std::llround(got * 1e7 / (rate_ * segmentRate_.load()));
        next_ = stop;
        haveNext_ = true;
        sample->SetTime(&start, &stop);
        sample->SetSyncPoint(true);
        if (pendingType_) {
            AMMediaType mt = AudioOutputType(rate_, outChannels, 32, true);
            Output().SetCurrentMediaType(mt);
            sample->SetMediaType(&mt);
            pendingType_ = false;
        }
        return Output().Deliver(sample.get());
    }

    void OnDiscontinuity() override { haveNext_ = false; }
    void OnNewCodec() override { haveNext_ = false; }
    HRESULT NewSegment(InputPin& pin, REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override
    {
        if (rate > 0)
            segmentRate_ = rate;
        return Decoder::NewSegment(pin, start, stop, rate);
    }

private:
    int OutChannels() const
    {
        const int n = codec_ ? codec_->ch_layout.nb_channels : rate_channels_;
        return std::clamp(n, 1, 8);
    }

    SwrContext* swr_ = nullptr;
    int rate_ = 0, rate_channels_ = 0, format_ = -1;
    bool pendingType_ = false;
    bool haveNext_ = false;
    int64_t next_ = 0;
    std::atomic<double> segmentRate_{1.0};
};

} // namespace

ComPtr<IBaseFilter> MakeVideoDecoder() { return ComPtr<IBaseFilter>(MakeCom<VideoDecoder>().get()); }
ComPtr<IBaseFilter> MakeAudioDecoder() { return ComPtr<IBaseFilter>(MakeCom<AudioDecoder>().get()); }

} // namespace kolvarin::media
