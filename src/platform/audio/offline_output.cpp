#include "audio/output.h"

namespace kolvarin::audio {
namespace {

// Nothing runs by itself: the clock advances by the frames pulled through
// audio/offline.h, so tests step through time to the sample.
class OfflineOutput final : public Output {
public:
    bool open(int rate, int channels, int, Render, int&) override
    {
        rate_ = rate;
        channels_ = channels;
        return true;
    }
    void close() override {}
    void suspend() override {}
    bool resume(int&) override { return true; }
    bool suspended() const override { return false; }
    int rate() const override { return rate_; }
    int channels() const override { return channels_; }
    int latencyMs() const override { return 0; }
    int periodMs() const override { return 0; }
    bool offline() const override { return true; }

private:
    int rate_ = 44100;
    int channels_ = 2;
};

} // namespace

std::unique_ptr<Output> makeOfflineOutput() { return std::make_unique<OfflineOutput>(); }

} // namespace kolvarin::audio
