#include "audio/read_ahead_source.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace kolvarin::audio {
namespace {

constexpr int kChunkFrames = 1024;
constexpr int kQueueSeconds = 2;

class ReadAheadSource final : public PcmSource {
public:
    ReadAheadSource(std::unique_ptr<PcmSource> inner, bool seekable, ReadyGate ready)
        : inner_(std::move(inner)),
          ready_(std::move(ready)),
          seekable_(seekable),
          format_(inner_->format()),
          length_(inner_->length()),
          resumeFrames_(static_cast<std::size_t>(format_.rate / 4))
    {
        thread_ = std::thread([this] { run(); });
    }
    ~ReadAheadSource() override
    {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        inner_->interrupt();
        thread_.join();
    }

    PcmFormat format() const override { return format_; }
    std::int64_t length() const override
    {
        std::lock_guard lock(mutex_);
        return length_;
    }
    bool buffering() const override
    {
        std::lock_guard lock(mutex_);
        const std::size_t queued = queue_.size() / static_cast<std::size_t>(format_.channels);
        return !ended_ && (!started_ || pendingSeek_ >= 0 || (rebuffering_ && queued < resumeFrames_));
    }

    std::int64_t read(float* out, std::int64_t frames, ReadStatus& status) override
    {
        std::lock_guard lock(mutex_);
        const std::size_t channels = static_cast<std::size_t>(format_.channels);
        const std::size_t queued = queue_.size() / channels;
        if (pendingSeek_ >= 0 || (rebuffering_ && !ended_ && queued < resumeFrames_)) {
            status = ReadStatus::Stalled;
            return 0;
        }
        rebuffering_ = false;
        const std::size_t n = std::min<std::size_t>(queued, static_cast<std::size_t>(frames));
        std::copy_n(queue_.begin(), n * channels, out);
        queue_.erase(queue_.begin(), queue_.begin() + static_cast<std::ptrdiff_t>(n * channels));
        status = ReadStatus::Ok;
        if (n < static_cast<std::size_t>(frames)) {
            status = ended_ ? ReadStatus::Ended : ReadStatus::Stalled;
            rebuffering_ = !ended_;
        }
        changed_.notify_all();
        return static_cast<std::int64_t>(n);
    }

    bool seek(std::int64_t frame) override
    {
        std::lock_guard lock(mutex_);
        if (frame < 0 || (length_ >= 0 && frame > length_) || !seekable_)
            return false;
        pendingSeek_ = frame;
        queue_.clear();
        ended_ = false;
        rebuffering_ = true;
        changed_.notify_all();
        return true;
    }

    std::int64_t filePosition(DWORD mode) const override
    {
        std::lock_guard lock(innerMutex_);
        return inner_->filePosition(mode);
    }
    bool tag(DWORD type, std::string& out) const override
    {
        std::lock_guard lock(innerMutex_);
        return inner_->tag(type, out);
    }

private:
    void run()
    {
        // The gate: the pre-buffer of an internet stream.
        while (ready_ && !ready_()) {
            std::unique_lock lock(mutex_);
            if (changed_.wait_for(lock, std::chrono::milliseconds(10), [this] { return stop_; }))
                return;
        }
        {
            std::lock_guard lock(mutex_);
            started_ = true;
        }
        std::vector<float> chunk(static_cast<std::size_t>(kChunkFrames) * format_.channels);
        const std::size_t limit = static_cast<std::size_t>(format_.rate) * kQueueSeconds * format_.channels;
        for (;;) {
            std::int64_t seekTo = -1;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] { return stop_ || pendingSeek_ >= 0 || (!ended_ && queue_.size() < limit); });
                if (stop_)
                    return;
                std::swap(seekTo, pendingSeek_);
            }
            // The inner source is used outside the queue lock: it may block.
            ReadStatus status = ReadStatus::Ok;
            std::int64_t got = 0;
            bool seekFailed = false;
            {
                std::lock_guard inner(innerMutex_);
                if (seekTo >= 0)
                    seekFailed = !inner_->seek(seekTo);
                if (!seekFailed)
                    got = inner_->read(chunk.data(), kChunkFrames, status);
            }
            std::lock_guard lock(mutex_);
            if (pendingSeek_ >= 0)
                continue; // a newer seek makes this chunk stale
            queue_.insert(queue_.end(), chunk.begin(), chunk.begin() + got * format_.channels);
            if (status == ReadStatus::Ended || seekFailed) {
                ended_ = true;
                length_ = inner_->length();
            }
        }
    }

    std::unique_ptr<PcmSource> inner_;
    ReadyGate ready_;
    const bool seekable_;
    PcmFormat format_;
    // Guards the inner source, between the reading thread and the callers of
    // file positions and tags. Neither lock is taken under the other.
    mutable std::mutex innerMutex_;
    // Guards everything below.
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::int64_t length_;
    std::size_t resumeFrames_;
    std::deque<float> queue_;
    std::int64_t pendingSeek_ = -1;
    bool started_ = false;
    bool rebuffering_ = true; // the start, like a seek, waits for a quarter second
    bool ended_ = false;
    bool stop_ = false;
    std::thread thread_;
};

} // namespace

std::unique_ptr<PcmSource> makeReadAheadSource(std::unique_ptr<PcmSource> inner, bool seekable, ReadyGate ready)
{
    return std::make_unique<ReadAheadSource>(std::move(inner), seekable, std::move(ready));
}

} // namespace kolvarin::audio
