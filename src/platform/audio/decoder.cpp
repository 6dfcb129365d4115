#include "audio/decoder.h"

#include <algorithm>
#include <cstring>
#include <string_view>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
#include <libswresample/swresample.h>
}

namespace kolvarin::audio {
namespace {

constexpr int kIoBufferSize = 32768;
// Frames decoded before a seek target, so that decoders with inter-frame state
// (overlapped transforms, bit reservoirs) give the same samples as a straight run.
constexpr std::int64_t kPrerollFrames = 8192;
constexpr int kMaxConsecutiveErrors = 64;

int readPacket(void* opaque, std::uint8_t* buffer, int size)
{
    const int n = static_cast<ByteSource*>(opaque)->read(buffer, size);
    if (n < 0)
        return AVERROR(EIO);
    return n == 0 ? AVERROR_EOF : n;
}

std::int64_t seekBytes(void* opaque, std::int64_t offset, int whence)
{
    auto* source = static_cast<ByteSource*>(opaque);
    const std::int64_t size = source->size();
    switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE: return size;
    case SEEK_SET: break;
    case SEEK_CUR: offset += source->position(); break;
    case SEEK_END:
        if (size < 0)
            return -1;
        offset += size;
        break;
    default: return -1;
    }
    return source->seek(offset) ? offset : -1;
}

bool demuxerMatches(const char* names, const char* wanted)
{
    // FFmpeg names some demuxers by a comma list ("mov,mp4,m4a,...").
    const std::string_view list(names), want(wanted);
    return list == want || list.substr(0, list.find(',')) == want;
}

} // namespace

std::unique_ptr<Decoder> Decoder::open(std::unique_ptr<ByteSource> bytes, std::span<const FormatRule> rules, int& error)
{
    // A library does not write to the program's stderr.
    static const bool quiet = (av_log_set_level(AV_LOG_QUIET), true);
    (void)quiet;
    if (!bytes) {
        error = bass::kErrorFileOpen;
        return nullptr;
    }
    std::unique_ptr<Decoder> decoder(new Decoder());
    decoder->bytes_ = std::move(bytes);
    if (!decoder->init(rules, error))
        return nullptr;
    return decoder;
}

Decoder::~Decoder()
{
    av_packet_free(&packet_);
    av_frame_free(&frame_);
    swr_free(&swr_);
    avcodec_free_context(&codec_);
    avformat_close_input(&fmt_);
    if (io_) {
        av_freep(&io_->buffer);
        avio_context_free(&io_);
    }
}

bool Decoder::init(std::span<const FormatRule> rules, int& error)
{
    error = bass::kErrorFileForm;
    seekable_ = bytes_->size() >= 0;
    if (bytes_->size() == 0)
        return false;
    auto* buffer = static_cast<std::uint8_t*>(av_malloc(kIoBufferSize));
    if (!buffer) {
        error = bass::kErrorMemory;
        return false;
    }
    io_ = avio_alloc_context(buffer, kIoBufferSize, 0, bytes_.get(), readPacket, nullptr,
                             seekable_ ? seekBytes : nullptr);
    if (!io_) {
        av_free(buffer);
        error = bass::kErrorMemory;
        return false;
    }
    io_->seekable = seekable_ ? AVIO_SEEKABLE_NORMAL : 0;
    fmt_ = avformat_alloc_context();
    if (!fmt_) {
        error = bass::kErrorMemory;
        return false;
    }
    fmt_->pb = io_;
    fmt_->flags |= AVFMT_FLAG_CUSTOM_IO;
    if (!seekable_) {
        // A live stream must start from the first few kilobytes, not seconds of audio.
        fmt_->probesize = 32768;
        fmt_->max_analyze_duration = AV_TIME_BASE / 2;
    }
    if (avformat_open_input(&fmt_, nullptr, nullptr, nullptr) < 0) {
        // avformat_open_input frees the context on failure.
        fmt_ = nullptr;
        if (!seekable_)
            error = bass::kErrorFileForm;
        return false;
    }
    if (avformat_find_stream_info(fmt_, nullptr) < 0)
        return false;
    streamIndex_ = av_find_best_stream(fmt_, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (streamIndex_ < 0)
        return false;
    AVStream* stream = fmt_->streams[streamIndex_];
    const AVCodecParameters* par = stream->codecpar;
    const FormatRule* rule = nullptr;
    for (const FormatRule& r : rules)
        if (demuxerMatches(fmt_->iformat->name, r.demuxer) && (r.codec == 0 || r.codec == par->codec_id)) {
            rule = &r;
            break;
        }
    if (!rule)
        return false;
    ctype_ = rule->ctype;
    if (ctype_ == bass::kCtypeMp3) {
        if (par->codec_id == AV_CODEC_ID_MP1)
            ctype_ = bass::kCtypeMp1;
        else if (par->codec_id == AV_CODEC_ID_MP2)
            ctype_ = bass::kCtypeMp2;
    } else if (ctype_ == bass::kCtypeWav) {
        const AVSampleFormat f = static_cast<AVSampleFormat>(par->format);
        if (par->codec_id == AV_CODEC_ID_PCM_F32LE || par->codec_id == AV_CODEC_ID_PCM_F64LE)
            ctype_ = bass::kCtypeWavFloat;
        else if (av_get_bytes_per_sample(f) > 0 && par->codec_id >= AV_CODEC_ID_PCM_S16LE &&
                 par->codec_id < AV_CODEC_ID_ADPCM_IMA_QT)
            ctype_ = bass::kCtypeWavPcm;
    }
    const AVCodec* codec = avcodec_find_decoder(par->codec_id);
    if (!codec) {
        error = bass::kErrorCodec;
        return false;
    }
    codec_ = avcodec_alloc_context3(codec);
    if (!codec_ || avcodec_parameters_to_context(codec_, par) < 0) {
        error = bass::kErrorMemory;
        return false;
    }
    codec_->thread_count = 1;
    codec_->pkt_timebase = stream->time_base;
    if (avcodec_open2(codec_, codec, nullptr) < 0) {
        error = bass::kErrorCodec;
        return false;
    }
    rate_ = codec_->sample_rate;
    channels_ = codec_->ch_layout.nb_channels;
    if (rate_ < 1000 || rate_ > 768000 || channels_ <= 0 || channels_ > 8)
        return false;
    bits_ = par->bits_per_raw_sample ? par->bits_per_raw_sample : par->bits_per_coded_sample;
    bitrate_ = static_cast<int>(std::min<std::int64_t>(par->bit_rate ? par->bit_rate : fmt_->bit_rate, 1 << 30));
    frame_ = av_frame_alloc();
    packet_ = av_packet_alloc();
    if (!frame_ || !packet_) {
        error = bass::kErrorMemory;
        return false;
    }
    if (stream->duration != AV_NOPTS_VALUE && fmt_->duration_estimation_method != AVFMT_DURATION_FROM_BITRATE)
        length_ = av_rescale_q(stream->duration, stream->time_base, AVRational{1, rate_});
    else if (seekable_)
        length_ = scanLength();
    // The first frame fixes the time origin and proves the stream decodes.
    positionKnown_ = false;
    seekTarget_ = 0;
    startPts_ = AV_NOPTS_VALUE;
    if (!decodeFrame())
        return false;
    error = bass::kOk;
    return true;
}

std::int64_t Decoder::scanLength()
{
    // Durations guessed from the bit rate are not exact: count the packets,
    // and keep where each starts so that seeking can be exact too.
    // Frames are counted from each packet's own header where the codec
    // allows it: rescaled timestamps would round at every packet.
    std::int64_t total = 0;
    AVStream* stream = fmt_->streams[streamIndex_];
    const AVRational frames{1, rate_};
    while (av_read_frame(fmt_, packet_) >= 0) {
        if (packet_->stream_index == streamIndex_) {
            if (packet_->pos >= 0)
                index_.push_back({packet_->pos, total});
            const int samples = av_get_audio_frame_duration2(stream->codecpar, packet_->size);
            total += samples > 0 ? samples : av_rescale_q(packet_->duration, stream->time_base, frames);
        }
        av_packet_unref(packet_);
    }
    if (av_seek_frame(fmt_, streamIndex_, 0, AVSEEK_FLAG_BACKWARD) < 0 &&
        avformat_seek_file(fmt_, -1, INT64_MIN, 0, INT64_MAX, AVSEEK_FLAG_BYTE) < 0)
        return -1;
    return total > 0 ? total : -1;
}

std::int64_t Decoder::frameIndex(std::int64_t pts) const
{
    return av_rescale_q(pts - startPts_, fmt_->streams[streamIndex_]->time_base, AVRational{1, rate_});
}

bool Decoder::convert(AVFrame* frame)
{
    if (frame->ch_layout.nb_channels != channels_ || frame->sample_rate != rate_)
        return false; // a mid-stream format change ends the stream
    if (!swr_ || swrFormat_ != frame->format) {
        swr_free(&swr_);
        if (swr_alloc_set_opts2(&swr_, &frame->ch_layout, AV_SAMPLE_FMT_FLT, rate_, &frame->ch_layout,
                                static_cast<AVSampleFormat>(frame->format), rate_, 0, nullptr) < 0 ||
            swr_init(swr_) < 0)
            return false;
        swrFormat_ = frame->format;
    }
    pending_.resize(static_cast<std::size_t>(frame->nb_samples) * channels_);
    auto* out = reinterpret_cast<std::uint8_t*>(pending_.data());
    const int got = swr_convert(swr_, &out, frame->nb_samples, const_cast<const std::uint8_t**>(frame->extended_data),
                                frame->nb_samples);
    if (got < 0)
        return false;
    pendingFrames_ = got;
    pendingPos_ = 0;
    return true;
}

bool Decoder::decodeFrame()
{
    int errors = 0;
    while (!ended_) {
        const int received = avcodec_receive_frame(codec_, frame_);
        if (received == 0) {
            const std::int64_t pts = frame_->best_effort_timestamp;
            const bool first = startPts_ == AV_NOPTS_VALUE;
            if (first)
                startPts_ = pts == AV_NOPTS_VALUE ? 0 : pts;
            if (!convert(frame_)) {
                av_frame_unref(frame_);
                ended_ = true;
                return false;
            }
            av_frame_unref(frame_);
            if (first) {
                pendingBase_ = 0;
                positionKnown_ = true;
            } else if (!positionKnown_) {
                // The first frame after a seek says where the decoder landed.
                if (pts == AV_NOPTS_VALUE || frameIndex(pts) > seekTarget_) {
                    if (!rewind())
                        return false;
                    continue;
                }
                pendingBase_ = frameIndex(pts);
                positionKnown_ = true;
            }
            if (pendingBase_ + pendingFrames_ <= seekTarget_) {
                pendingBase_ += pendingFrames_;
                pendingFrames_ = 0;
                continue;
            }
            pendingPos_ = std::max<std::int64_t>(0, seekTarget_ - pendingBase_);
            return true;
        }
        if (received == AVERROR_EOF) {
            ended_ = true;
            break;
        }
        if (received != AVERROR(EAGAIN)) {
            if (++errors > kMaxConsecutiveErrors) {
                ended_ = true;
                break;
            }
            continue;
        }
        if (draining_) {
            ended_ = true;
            break;
        }
        const int read = av_read_frame(fmt_, packet_);
        if (read < 0) {
            draining_ = true;
            avcodec_send_packet(codec_, nullptr);
            continue;
        }
        if (packet_->stream_index == streamIndex_ && avcodec_send_packet(codec_, packet_) < 0 &&
            ++errors > kMaxConsecutiveErrors)
            ended_ = true;
        av_packet_unref(packet_);
    }
    return false;
}

std::int64_t Decoder::read(float* out, std::int64_t frames)
{
    std::int64_t done = 0;
    while (done < frames) {
        if (pendingPos_ < pendingFrames_) {
            const std::int64_t n = std::min(frames - done, pendingFrames_ - pendingPos_);
            std::memcpy(out + done * channels_, pending_.data() + pendingPos_ * channels_,
                        static_cast<std::size_t>(n * channels_) * sizeof(float));
            pendingPos_ += n;
            done += n;
            continue;
        }
        pendingBase_ += pendingFrames_;
        pendingFrames_ = pendingPos_ = 0;
        seekTarget_ = pendingBase_;
        if (!decodeFrame())
            break;
    }
    if (ended() && (length_ < 0 || length_ != nextFrame()))
        length_ = nextFrame();
    return done;
}

bool Decoder::rewind()
{
    if (!seekable_)
        return false;
    if (av_seek_frame(fmt_, streamIndex_, startPts_, AVSEEK_FLAG_BACKWARD) < 0 &&
        avformat_seek_file(fmt_, -1, INT64_MIN, 0, INT64_MAX, AVSEEK_FLAG_BYTE) < 0)
        return false;
    avcodec_flush_buffers(codec_);
    ended_ = draining_ = false;
    // Decoding from the start counts frames from 0, whatever the timestamps say.
    positionKnown_ = true;
    pendingBase_ = 0;
    pendingFrames_ = pendingPos_ = 0;
    return true;
}

bool Decoder::seekByIndex(std::int64_t from)
{
    auto it = std::upper_bound(index_.begin(), index_.end(), from,
                               [](std::int64_t f, const IndexEntry& e) { return f < e.frame; });
    if (it != index_.begin())
        --it;
    if (av_seek_frame(fmt_, streamIndex_, it->pos, AVSEEK_FLAG_BYTE) < 0)
        return false;
    avcodec_flush_buffers(codec_);
    ended_ = draining_ = false;
    positionKnown_ = true;
    pendingBase_ = it->frame;
    pendingFrames_ = pendingPos_ = 0;
    return true;
}

bool Decoder::seek(std::int64_t frame)
{
    if (frame < 0 || (length_ >= 0 && frame > length_))
        return false;
    if (frame == nextFrame() && !ended())
        return true;
    if (!seekable_)
        return false;
    seekTarget_ = frame;
    pendingFrames_ = pendingPos_ = 0;
    const AVStream* stream = fmt_->streams[streamIndex_];
    const std::int64_t from = std::max<std::int64_t>(0, frame - kPrerollFrames);
    if (!index_.empty()) {
        if (!seekByIndex(from))
            return false;
        decodeFrame();
        return nextFrame() == frame || (ended() && frame >= nextFrame());
    }
    const std::int64_t ts = startPts_ + av_rescale_q(from, AVRational{1, rate_}, stream->time_base);
    if (from == 0 || av_seek_frame(fmt_, streamIndex_, ts, AVSEEK_FLAG_BACKWARD) < 0) {
        if (!rewind())
            return false;
    } else {
        avcodec_flush_buffers(codec_);
        ended_ = draining_ = false;
        positionKnown_ = false;
    }
    decodeFrame();
    return nextFrame() == frame || (ended() && frame >= nextFrame());
}

} // namespace kolvarin::audio
