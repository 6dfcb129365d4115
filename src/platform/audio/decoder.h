#pragma once

// One audio stream of a container decoded by FFmpeg to interleaved float
// frames at the stream's own rate and channel count, with exact seeking.
// Used by one thread at a time.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "audio/bass.h"
#include "audio/byte_source.h"

struct AVFormatContext;
struct AVCodecContext;
struct AVIOContext;
struct AVFrame;
struct AVPacket;
struct SwrContext;

namespace kolvarin::audio {

// A container (FFmpeg demuxer name) and codec that a create call accepts.
// codec 0 accepts any codec; the ctype is what the channel reports.
struct FormatRule {
    const char* demuxer;
    int codec;
    DWORD ctype;
};

class Decoder {
public:
    // Probes the bytes, accepts the first rule that matches and decodes the
    // first frame. Null on failure with error set to a bass::Error. A source
    // that cannot seek (internet) gets a short probe.
    static std::unique_ptr<Decoder> open(std::unique_ptr<ByteSource> bytes, std::span<const FormatRule> rules,
                                         int& error);
    ~Decoder();
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    int rate() const { return rate_; }
    int channels() const { return channels_; }
    DWORD ctype() const { return ctype_; }
    int bits() const { return bits_; }
    int bitrate() const { return bitrate_; }
    // Frames, -1 when not known. Becomes exact once the end was decoded.
    std::int64_t length() const { return length_; }
    // Fills up to frames frames; fewer only at the end (or after an error).
    std::int64_t read(float* out, std::int64_t frames);
    bool ended() const { return ended_ && pendingPos_ >= pendingFrames_; }
    // Exact to the frame; false when the source cannot seek there.
    bool seek(std::int64_t frame);
    std::int64_t nextFrame() const { return pendingBase_ + pendingPos_; }
    ByteSource& bytes() { return *bytes_; }

private:
    Decoder() = default;
    bool init(std::span<const FormatRule> rules, int& error);
    std::int64_t scanLength();
    bool decodeFrame();
    bool convert(AVFrame* frame);
    bool rewind();
    std::int64_t frameIndex(std::int64_t pts) const;
    bool seekByIndex(std::int64_t from);

    std::unique_ptr<ByteSource> bytes_;
    AVIOContext* io_ = nullptr;
    AVFormatContext* fmt_ = nullptr;
    AVCodecContext* codec_ = nullptr;
    SwrContext* swr_ = nullptr;
    AVFrame* frame_ = nullptr;
    AVPacket* packet_ = nullptr;
    int streamIndex_ = -1;
    int rate_ = 0;
    int channels_ = 0;
    int bits_ = 0;
    int bitrate_ = 0;
    DWORD ctype_ = 0;
    std::int64_t length_ = -1;
    std::int64_t startPts_ = 0;
    bool seekable_ = false;
    bool draining_ = false;
    bool ended_ = false;
    bool positionKnown_ = true;
    std::int64_t seekTarget_ = 0;
    std::int64_t pendingBase_ = 0; // frame index of pending_[0]
    std::vector<float> pending_;
    std::int64_t pendingFrames_ = 0;
    std::int64_t pendingPos_ = 0;
    int swrFormat_ = -1;
    // Byte position and first frame of each packet, for containers whose
    // timestamps after a seek are only guessed from the bit rate.
    struct IndexEntry {
        std::int64_t pos;
        std::int64_t frame;
    };
    std::vector<IndexEntry> index_;
};

} // namespace kolvarin::audio
