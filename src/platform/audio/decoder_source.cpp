#include "audio/decoder.h"
#include "audio/pcm_source.h"

namespace kolvarin::audio {
namespace {

class DecoderSource final : public PcmSource {
public:
    explicit DecoderSource(std::unique_ptr<Decoder> decoder) : decoder_(std::move(decoder)) {}

    PcmFormat format() const override
    {
        return {decoder_->rate(), decoder_->channels(), decoder_->ctype(), decoder_->bits()};
    }
    std::int64_t length() const override { return decoder_->length(); }
    std::int64_t read(float* out, std::int64_t frames, ReadStatus& status) override
    {
        const std::int64_t n = decoder_->read(out, frames);
        status = n < frames ? ReadStatus::Ended : ReadStatus::Ok;
        return n;
    }
    bool seek(std::int64_t frame) override { return decoder_->seek(frame); }
    std::int64_t filePosition(DWORD mode) const override
    {
        ByteSource& bytes = decoder_->bytes();
        switch (mode) {
        case bass::kFilePosCurrent: return bytes.position();
        case bass::kFilePosDownload:
        case bass::kFilePosEnd: return bytes.size();
        default: return -1;
        }
    }

private:
    std::unique_ptr<Decoder> decoder_;
};

} // namespace

std::unique_ptr<PcmSource> makeDecoderSource(std::unique_ptr<Decoder> decoder)
{
    return std::make_unique<DecoderSource>(std::move(decoder));
}

} // namespace kolvarin::audio
