#include "audio/net_source.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

namespace kolvarin::audio {
namespace {

constexpr int kDecodeChunk = 1024;
constexpr int kQueueSeconds = 2;
constexpr int kBufferSeconds = 5;     // the download buffer, at the stream's bit rate
constexpr int kDefaultBitrate = 128000;
constexpr std::size_t kMinBuffer = 65536;

class DownloadBytes final : public ByteSource {
public:
    explicit DownloadBytes(std::shared_ptr<HttpDownload> download) : download_(std::move(download)) {}
    int read(std::uint8_t* buffer, int size) override { return download_->read(buffer, size); }
    bool seek(std::int64_t) override { return false; }
    std::int64_t position() const override { return download_->consumed(); }
    std::int64_t size() const override { return -1; }

private:
    std::shared_ptr<HttpDownload> download_;
};

class NetSource final : public PcmSource {
public:
    NetSource(std::shared_ptr<HttpDownload> download, std::unique_ptr<Decoder> decoder, int prebufPercent)
        : download_(std::move(download)), decoder_(std::move(decoder)),
          format_{decoder_->rate(), decoder_->channels(), decoder_->ctype(), decoder_->bits()}
    {
        const int bitrate = decoder_->bitrate() > 0 ? decoder_->bitrate() : kDefaultBitrate;
        download_->setCapacity(std::max<std::size_t>(kMinBuffer, static_cast<std::size_t>(bitrate) / 8 * kBufferSeconds));
        prebufBytes_ = static_cast<std::int64_t>(download_->capacity()) * std::clamp(prebufPercent, 0, 100) / 100;
        resumeFrames_ = static_cast<std::size_t>(format_.rate / 4);
        thread_ = std::thread([this] { run(); });
    }
    ~NetSource() override
    {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        space_.notify_all();
        download_->abort();
        thread_.join();
    }

    PcmFormat format() const override { return format_; }
    std::int64_t length() const override { return -1; }
    bool seek(std::int64_t) override { return false; }
    bool buffering() const override
    {
        std::lock_guard lock(mutex_);
        return !ended_ && (prebuffering_ || rebuffering_);
    }

    std::int64_t read(float* out, std::int64_t frames, ReadStatus& status) override
    {
        std::lock_guard lock(mutex_);
        const std::size_t channels = static_cast<std::size_t>(format_.channels);
        const std::size_t queued = queue_.size() / channels;
        if (rebuffering_ && !ended_ && queued < resumeFrames_) {
            status = ReadStatus::Stalled;
            return 0;
        }
        rebuffering_ = false;
        const std::size_t n = std::min<std::size_t>(queued, static_cast<std::size_t>(frames));
        std::copy_n(queue_.begin(), n * channels, out);
        queue_.erase(queue_.begin(), queue_.begin() + static_cast<std::ptrdiff_t>(n * channels));
        if (n < static_cast<std::size_t>(frames)) {
            status = ended_ ? ReadStatus::Ended : ReadStatus::Stalled;
            rebuffering_ = !ended_;
        } else {
            status = ReadStatus::Ok;
        }
        space_.notify_all();
        return static_cast<std::int64_t>(n);
    }

    std::int64_t filePosition(DWORD mode) const override
    {
        switch (mode) {
        case bass::kFilePosCurrent:
            return download_->consumed();
        case bass::kFilePosDownload:
            return download_->downloaded();
        case bass::kFilePosEnd: {
            const std::int64_t length = download_->contentLength();
            return length >= 0 ? length : download_->consumed() + static_cast<std::int64_t>(download_->capacity());
        }
        default:
            return -1;
        }
    }

    bool tag(DWORD type, std::string& out) const override
    {
        if (type == bass::kTagHttp || type == bass::kTagIcy) {
            out = download_->headerList();
            return !out.empty();
        }
        if (type == bass::kTagMeta)
            return download_->metadata(out);
        return false;
    }

private:
    void run()
    {
        // The pre-buffer: wait until enough is downloaded or the download is over.
        while (download_->buffered() < prebufBytes_ && !download_->finished()) {
            std::unique_lock lock(mutex_);
            if (space_.wait_for(lock, std::chrono::milliseconds(10), [this] { return stop_; }))
                return;
        }
        {
            std::lock_guard lock(mutex_);
            prebuffering_ = false;
        }
        std::vector<float> chunk(static_cast<std::size_t>(kDecodeChunk) * format_.channels);
        const std::size_t limit = static_cast<std::size_t>(format_.rate) * kQueueSeconds * format_.channels;
        for (;;) {
            const std::int64_t got = decoder_->read(chunk.data(), kDecodeChunk);
            std::unique_lock lock(mutex_);
            queue_.insert(queue_.end(), chunk.begin(), chunk.begin() + got * format_.channels);
            if (got < kDecodeChunk) {
                ended_ = true;
                return;
            }
            space_.wait(lock, [&] { return stop_ || queue_.size() < limit; });
            if (stop_)
                return;
        }
    }

    std::shared_ptr<HttpDownload> download_;
    std::unique_ptr<Decoder> decoder_;
    PcmFormat format_;
    std::int64_t prebufBytes_ = 0;
    std::size_t resumeFrames_ = 0;
    mutable std::mutex mutex_;
    std::condition_variable space_;
    std::deque<float> queue_;
    bool prebuffering_ = true;
    bool rebuffering_ = false;
    bool ended_ = false;
    bool stop_ = false;
    std::thread thread_;
};

} // namespace

std::unique_ptr<ByteSource> makeDownloadBytes(std::shared_ptr<HttpDownload> download)
{
    return std::make_unique<DownloadBytes>(std::move(download));
}

std::unique_ptr<PcmSource> makeNetSource(std::shared_ptr<HttpDownload> download, std::unique_ptr<Decoder> decoder,
                                         int prebufPercent)
{
    return std::make_unique<NetSource>(std::move(download), std::move(decoder), prebufPercent);
}

} // namespace kolvarin::audio
