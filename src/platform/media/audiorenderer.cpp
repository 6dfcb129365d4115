#include "media/audiorenderer.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <deque>

#include "audio/output.h"
#include "media/clock.h"
#include "media/controlif.h"
#include "media/renderer.h"
#include "media/uuids.h"

namespace kolvarin::media {
namespace {

constexpr REFERENCE_TIME kMaxQueued = 5000000; // 0.5 s waits in the renderer
constexpr REFERENCE_TIME kJump = 500000; // errors beyond 50 ms are corrected at once
constexpr int kPeriodMs = 200;
// The frame rates a device is opened with.
constexpr double kMinRate = 1000, kMaxRate = kMaxAudioRate;

float GainOf(int32_t hundredthDb) { return hundredthDb <= -10000 ? 0.0f : std::pow(10.0f, hundredthDb / 2000.0f); }

class AudioRenderer final : public Extend<Renderer, IBasicAudio, IReferenceClock> {
public:
    AudioRenderer() : Extend(CLSID_DSoundRender, u"Default DirectSound Device") {}
    ~AudioRenderer() override
    {
        std::lock_guard lock(outputLock_);
        Close();
    }

    // ---- IBasicAudio
    HRESULT put_Volume(int32_t volume) override
    {
        if (volume < -10000 || volume > 0)
            return E_INVALIDARG;
        volume_ = volume;
        UpdateGains();
        return S_OK;
    }
    HRESULT get_Volume(int32_t* volume) override
    {
        if (!volume)
            return E_POINTER;
        *volume = volume_;
        return S_OK;
    }
    HRESULT put_Balance(int32_t balance) override
    {
        if (balance < -10000 || balance > 10000)
            return E_INVALIDARG;
        balance_ = balance;
        UpdateGains();
        return S_OK;
    }
    HRESULT get_Balance(int32_t* balance) override
    {
        if (!balance)
            return E_POINTER;
        *balance = balance_;
        return S_OK;
    }

    // ---- IReferenceClock
    HRESULT GetTime(REFERENCE_TIME* time) override
    {
        if (!time)
            return E_POINTER;
        std::lock_guard lock(clockLock_);
        lastTime_ = std::max(lastTime_, MonotonicNow() + offset_);
        *time = lastTime_;
        return S_OK;
    }

    // ---- the renderer
    HRESULT CheckInputType(const AMMediaType& type) override
    {
        if (type.majortype != MEDIATYPE_Audio || type.formattype != FORMAT_WaveFormatEx)
            return VFW_E_INVALIDMEDIATYPE;
        auto w = ReadWaveFormat(type.formatBytes());
        if (!w || w->nChannels == 0 || w->nChannels > 8 || w->nSamplesPerSec < kMinRate || w->nSamplesPerSec > kMaxRate)
            return VFW_E_TYPE_NOT_ACCEPTED;
        const bool isFloat = type.subtype == MEDIASUBTYPE_IEEE_FLOAT && w->wBitsPerSample == 32;
        const bool isPcm16 = type.subtype == MEDIASUBTYPE_PCM && w->wBitsPerSample == 16;
        return isFloat || isPcm16 ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }

    void SetInputType(const AMMediaType& type) override
    {
        auto w = ReadWaveFormat(type.formatBytes());
        if (!w)
            return;
        std::lock_guard lock(dataLock_);
        reopen_ = reopen_ || w->nChannels != channels_;
        channels_ = w->nChannels;
        typeRate_ = static_cast<int>(w->nSamplesPerSec);
        float_ = type.subtype == MEDIASUBTYPE_IEEE_FLOAT;
        UpdateRate();
    }

    // At a playback rate the frames are played that much faster (and
    // higher); where that leaves the rates a device takes, unheard.
    HRESULT NewSegment(InputPin& pin, REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override
    {
        if (rate > 0) {
            std::lock_guard lock(dataLock_);
            playRate_ = rate;
            UpdateRate();
        }
        return Renderer::NewSegment(pin, start, stop, rate);
    }

    // Queues the frames; waits while half a second is queued. Without a
    // device they are dropped, and the clock runs on system time.
    void Render(IMediaSample* sample) override
    {
        if (!OpenDevice())
            return;
        uint8_t* data = nullptr;
        sample->GetPointer(&data);
        const int bytes = sample->GetActualDataLength();
        REFERENCE_TIME start = 0, stop = 0;
        const bool timed = Succeeded(sample->GetTime(&start, &stop));
        std::unique_lock lock(dataLock_);
        const int frameBytes = channels_ * (float_ ? 4 : 2);
        if (frameBytes == 0 || rate_ == 0)
            return;
        const int frames = bytes / frameBytes;
        if (!timed)
            start = queueEnd_;
        // Frames before the segment start are preroll: drop them.
        int skip = 0;
        if (start < 0)
            skip = static_cast<int>(std::min<int64_t>(frames, -start * rate_ / 10000000));
        if (queue_.empty())
            headTime_ = start + int64_t(skip) * 10000000 / rate_;
        for (int f = skip; f < frames; ++f)
            for (int c = 0; c < channels_; ++c) {
                const size_t at = size_t(f) * channels_ + c;
                float v;
                if (float_) {
                    std::memcpy(&v, data + at * 4, 4);
                } else {
                    int16_t s;
                    std::memcpy(&s, data + at * 2, 2);
                    v = s / 32768.0f;
                }
                queue_.push_back(v);
            }
        queueEnd_ = start + int64_t(frames) * 10000000 / rate_;
        drained_.wait(lock, [&] { return flushed_ || !active_ || QueuedTime() < kMaxQueued; });
    }

    bool Scheduled() const override { return false; }

    HRESULT EndOfStream(InputPin& pin) override
    {
        // Completion comes once everything queued has been heard.
        {
            std::unique_lock lock(dataLock_);
            drained_.wait(lock, [&] { return flushed_ || !active_ || queue_.empty(); });
            if (flushed_ || !active_)
                return S_OK;
        }
        return Renderer::EndOfStream(pin);
    }

    void OnFlush() override
    {
        std::lock_guard lock(dataLock_);
        queue_.clear();
        flushed_ = true;
        drained_.notify_all();
    }

    HRESULT EndFlush(InputPin& pin) override
    {
        {
            std::lock_guard lock(dataLock_);
            flushed_ = false;
        }
        return Renderer::EndFlush(pin);
    }

protected:
    void OnPause(FILTER_STATE from) override
    {
        Renderer::OnPause(from);
        running_ = false;
        std::lock_guard lock(dataLock_);
        active_ = true;
        flushed_ = false;
    }
    void OnRun(REFERENCE_TIME start) override
    {
        Renderer::OnRun(start);
        runStart_ = start;
        running_ = true;
    }
    void OnStop() override
    {
        running_ = false;
        {
            std::lock_guard lock(dataLock_);
            active_ = false;
            drained_.notify_all();
        }
        Renderer::OnStop();
        std::lock_guard lock(outputLock_);
        Close();
    }

private:
    // Streaming thread: the device opens with the first sample, so that a
    // pause never waits for it, and again when the format changes. Whether
    // a device is open.
    bool OpenDevice()
    {
        std::lock_guard lock(outputLock_);
        int rate, channels;
        {
            std::lock_guard data(dataLock_);
            if (!active_ || (output_ && !reopen_))
                return output_ != nullptr;
            rate = rate_;
            channels = channels_;
            reopen_ = false;
        }
        Close();
        if (rate <= 0 || channels <= 0)
            return false;
        auto out = audio::makeSdlOutput("");
        int error = 0;
        // The clock allows for the device's latency, so a long period costs
        // the picture nothing and lets the sound server sleep between
        // wake-ups (8192 frames: 186 ms at 44.1 kHz).
        if (!out->open(
                rate, channels, kPeriodMs, [this](float* o, int n, int c) { Mix(o, n, c); }, error))
            return false;
        {
            std::lock_guard data(dataLock_);
            latency_ = int64_t(out->latencyMs()) * 10000;
        }
        output_ = std::move(out);
        return true;
    }

    // dataLock_ held.
    void UpdateRate()
    {
        const double rate = typeRate_ * playRate_;
        const int played = rate >= kMinRate && rate <= kMaxRate ? static_cast<int>(std::lround(rate)) : 0;
        reopen_ = reopen_ || played != rate_;
        rate_ = played;
    }

    // outputLock_ held.
    void Close()
    {
        if (output_)
            output_->close();
        output_.reset();
    }

    REFERENCE_TIME QueuedTime() const
    {
        return channels_ && rate_ ? int64_t(queue_.size() / channels_) * 10000000 / rate_ : 0;
    }

    // SDL's audio thread: plays the queued frames that are due and steers the
    // clock to what is heard.
    void Mix(float* out, int frames, int channels)
    {
        std::fill(out, out + size_t(frames) * channels, 0.0f);
        if (!running_)
            return;
        REFERENCE_TIME now = 0;
        GetTime(&now);
        std::lock_guard lock(dataLock_);
        if (queue_.empty() || channels != channels_)
            return;
        const REFERENCE_TIME heard = now - runStart_ + latency_;
        int skip = 0;
        if (headTime_ > heard) {
            skip = static_cast<int>((headTime_ - heard) * rate_ / 10000000);
            if (skip >= frames)
                return;
        } else {
            Steer(heard - headTime_);
        }
        const int take = std::min<int>(frames - skip, static_cast<int>(queue_.size() / channels_));
        for (int f = 0; f < take; ++f)
            for (int c = 0; c < channels_; ++c) {
                const float g = channels_ == 1 ? (gainLeft_ + gainRight_) / 2 : (c % 2 ? gainRight_ : gainLeft_);
                out[size_t(skip + f) * channels + c] = queue_.front() * g;
                queue_.pop_front();
            }
        headTime_ += int64_t(take) * 10000000 / rate_;
        drained_.notify_all();
    }

    // The clock runs ahead of the audio by error: pull it back.
    void Steer(REFERENCE_TIME error)
    {
        std::lock_guard lock(clockLock_);
        offset_ -= error > kJump ? error : error / 8;
    }

    void UpdateGains()
    {
        const float master = GainOf(volume_);
        std::lock_guard lock(dataLock_);
        gainLeft_ = master * GainOf(balance_ > 0 ? -balance_ : 0);
        gainRight_ = master * GainOf(balance_ < 0 ? balance_ : 0);
    }

    int32_t volume_ = 0, balance_ = 0; // main thread
    // Guards the queue, the format and the gains below (to gainRight_),
    // between the streaming thread, SDL's audio thread and the main thread.
    // Taken after outputLock_, before clockLock_.
    std::mutex dataLock_;
    std::condition_variable drained_;
    std::deque<float> queue_;
    REFERENCE_TIME headTime_ = 0, queueEnd_ = 0, latency_ = 0;
    int channels_ = 0, rate_ = 0; // rate_: frames a second as played, 0 unheard
    int typeRate_ = 0;
    double playRate_ = 1.0;
    bool float_ = true, reopen_ = false, flushed_ = false, active_ = false;
    float gainLeft_ = 1, gainRight_ = 1;
    std::atomic<bool> running_{false};
    std::atomic<REFERENCE_TIME> runStart_{0};
    // Guards the device; taken before dataLock_, which is let go before the
    // device closes (closing waits for SDL's audio thread, which mixes under it).
    std::mutex outputLock_;
    std::unique_ptr<audio::Output> output_;
    // Guards the clock's offset and its last answer; taken last.
    std::mutex clockLock_;
    REFERENCE_TIME offset_ = 0, lastTime_ = 0;
};

} // namespace

ComPtr<IBaseFilter> MakeAudioRenderer()
{
    return ComPtr<IBaseFilter>(static_cast<IBaseFilter*>(MakeCom<AudioRenderer>().get()));
}

} // namespace kolvarin::media
