#include "media/mediadet.h"

#include <filesystem>

#include <QString>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include "gdi/bitmap.h"
#include "gdi/bmpcodec.h"
#include "media/ffmediatypes.h"
#include "media/uuids.h"

namespace kolvarin::media {
namespace {

std::string Utf8(const std::u16string& s) { return QString::fromStdU16String(s).toStdString(); }

class MediaDet final : public ComObject<MediaDet, IMediaDet> {
public:
    ~MediaDet() override { avformat_close_input(&fmt_); }

    HRESULT put_Filename(const std::u16string& file) override
    {
        avformat_close_input(&fmt_);
        streams_.clear();
        current_ = -1;
        const std::string path = Utf8(file);
        std::error_code ec;
        if (!std::filesystem::is_regular_file(std::filesystem::u8path(path), ec))
            return E_FILE_NOT_FOUND;
        if (avformat_open_input(&fmt_, path.c_str(), nullptr, nullptr) < 0)
            return VFW_E_UNKNOWN_FILE_TYPE;
        if (avformat_find_stream_info(fmt_, nullptr) < 0) {
            avformat_close_input(&fmt_);
            return VFW_E_INVALID_FILE_FORMAT;
        }
        for (unsigned i = 0; i < fmt_->nb_streams; ++i)
            if (MediaTypeOfStream(fmt_->streams[i]).majortype != GUID_NULL)
                streams_.push_back(static_cast<int>(i));
        return S_OK;
    }
    HRESULT get_OutputStreams(int32_t* count) override
    {
        if (!count)
            return E_POINTER;
        *count = static_cast<int32_t>(streams_.size());
        return fmt_ ? S_OK : E_UNEXPECTED;
    }
    HRESULT put_CurrentStream(int32_t index) override
    {
        if (index < 0 || index >= static_cast<int32_t>(streams_.size()))
            return E_INVALIDARG;
        current_ = index;
        return S_OK;
    }
    HRESULT get_StreamMediaType(AMMediaType* type) override
    {
        if (!type)
            return E_POINTER;
        if (current_ < 0)
            return E_UNEXPECTED;
        *type = MediaTypeOfStream(fmt_->streams[streams_[current_]]);
        return S_OK;
    }
    HRESULT get_StreamLength(double* seconds) override
    {
        if (!seconds)
            return E_POINTER;
        if (current_ < 0)
            return E_UNEXPECTED;
        const AVStream* st = fmt_->streams[streams_[current_]];
        if (st->duration != AV_NOPTS_VALUE)
            *seconds = st->duration * av_q2d(st->time_base);
        else
            *seconds = fmt_->duration != AV_NOPTS_VALUE ? fmt_->duration / double(AV_TIME_BASE) : 0;
        return S_OK;
    }

    HRESULT WriteBitmapBits(double seconds, int32_t width, int32_t height, const std::u16string& file) override
    {
        if (current_ < 0)
            return E_UNEXPECTED;
        if (width <= 0 || height <= 0 || width > gdi::Bitmap::MaxSide || height > gdi::Bitmap::MaxSide)
            return E_INVALIDARG;
        AVStream* st = fmt_->streams[streams_[current_]];
        if (st->codecpar->codec_type != AVMEDIA_TYPE_VIDEO)
            return E_FAIL;
        AVFrame* frame = DecodeAt(st, seconds);
        if (!frame)
            return E_FAIL;
        gdi::Bitmap bitmap(width, height, gdi::PixelFormat::Bits24);
        SwsContext* sws = sws_getContext(frame->width, frame->height, static_cast<AVPixelFormat>(frame->format), width,
                                         height, AV_PIX_FMT_BGR24, SWS_BICUBIC, nullptr, nullptr, nullptr);
        HRESULT hr = E_FAIL;
        if (sws) {
            uint8_t* out[1] = {bitmap.scanLine(0)};
            const int stride[1] = {bitmap.bytesPerLine()};
            sws_scale(sws, frame->data, frame->linesize, 0, frame->height, out, stride);
            hr = gdi::SaveBmpFile(Utf8(file), bitmap) ? S_OK : E_FAIL;
            sws_freeContext(sws);
        }
        av_frame_free(&frame);
        return hr;
    }

private:
    // The first picture at or after the time (the last one when the time
    // lies beyond the end); nullptr when nothing decodes.
    AVFrame* DecodeAt(AVStream* st, double seconds)
    {
        const AVCodec* codec = avcodec_find_decoder(st->codecpar->codec_id);
        AVCodecContext* ctx = codec ? avcodec_alloc_context3(codec) : nullptr;
        if (!ctx || avcodec_parameters_to_context(ctx, st->codecpar) < 0 || avcodec_open2(ctx, codec, nullptr) < 0) {
            avcodec_free_context(&ctx);
            return nullptr;
        }
        const int64_t target = static_cast<int64_t>(seconds / av_q2d(st->time_base));
        av_seek_frame(fmt_, st->index, target, AVSEEK_FLAG_BACKWARD);
        AVPacket* packet = av_packet_alloc();
        AVFrame* frame = av_frame_alloc();
        AVFrame* best = nullptr;
        bool done = false;
        for (int reads = 0; !done && reads < 100000; ++reads) {
            const bool more = av_read_frame(fmt_, packet) >= 0;
            if (more && packet->stream_index != st->index) {
                av_packet_unref(packet);
                continue;
            }
            avcodec_send_packet(ctx, more ? packet : nullptr);
            av_packet_unref(packet);
            while (avcodec_receive_frame(ctx, frame) == 0) {
                av_frame_free(&best);
                best = av_frame_clone(frame);
                av_frame_unref(frame);
                if (best && best->best_effort_timestamp != AV_NOPTS_VALUE && best->best_effort_timestamp >= target)
                    done = true;
            }
            done = done || !more;
        }
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&ctx);
        return best;
    }

    AVFormatContext* fmt_ = nullptr;
    std::vector<int> streams_;
    int32_t current_ = -1;
};

} // namespace

ComPtr<IMediaDet> MakeMediaDet() { return MakeCom<MediaDet>(); }

} // namespace kolvarin::media
