#include "audio/net_source.h"

#include <algorithm>

#include "audio/read_ahead_source.h"

namespace kolvarin::audio {
namespace {

constexpr int kBufferSeconds = 5; // the download buffer, at the stream's bit rate
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

// The decoder of a download, with the download's file positions and tags.
class NetDecoderSource final : public PcmSource {
public:
    NetDecoderSource(std::shared_ptr<HttpDownload> download, std::unique_ptr<Decoder> decoder)
        : download_(std::move(download)), decoded_(makeDecoderSource(std::move(decoder)))
    {}
    ~NetDecoderSource() override { download_->stop(); }
    PcmFormat format() const override { return decoded_->format(); }
    std::int64_t length() const override { return -1; }
    std::int64_t read(float* out, std::int64_t frames, ReadStatus& status) override
    {
        return decoded_->read(out, frames, status);
    }
    bool seek(std::int64_t) override { return false; }
    // Freeing the stream must not wait for a read that waits for the server.
    void interrupt() override { download_->abort(); }

    std::int64_t filePosition(DWORD mode) const override
    {
        switch (mode) {
        case bass::kFilePosCurrent: return download_->consumed();
        case bass::kFilePosDownload: return download_->downloaded();
        case bass::kFilePosEnd: {
            const std::int64_t length = download_->contentLength();
            return length >= 0 ? length : download_->consumed() + static_cast<std::int64_t>(download_->capacity());
        }
        default: return -1;
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
    std::shared_ptr<HttpDownload> download_;
    std::unique_ptr<PcmSource> decoded_;
};

} // namespace

std::unique_ptr<ByteSource> makeDownloadBytes(std::shared_ptr<HttpDownload> download)
{
    return std::make_unique<DownloadBytes>(std::move(download));
}

std::unique_ptr<PcmSource> makeNetSource(std::shared_ptr<HttpDownload> download, std::unique_ptr<Decoder> decoder,
                                         int prebufPercent)
{
    const int bitrate = decoder->bitrate() > 0 ? decoder->bitrate() : kDefaultBitrate;
    download->setCapacity(std::max<std::size_t>(kMinBuffer, static_cast<std::size_t>(bitrate) / 8 * kBufferSeconds));
    const std::int64_t prebuffer =
        static_cast<std::int64_t>(download->capacity()) * std::clamp(prebufPercent, 0, 100) / 100;
    auto inner = std::make_unique<NetDecoderSource>(download, std::move(decoder));
    return makeReadAheadSource(std::move(inner), false, [download, prebuffer] {
        return download->buffered() >= prebuffer || download->finished();
    });
}

} // namespace kolvarin::audio
