#pragma once

// Where the mixer's frames go: an SDL audio device, or the offline clock that
// tests and tools pull from. The engine opens one output at BASS_Init.

#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace kolvarin::audio {

class Output {
public:
    // Fills frames interleaved float frames of channels channels. Called on
    // the output's thread (SDL's audio thread) or, offline, by the puller.
    using Render = std::function<void(float* out, int frames, int channels)>;
    virtual ~Output() = default;
    // rate and channels are wishes; the output reports what it got. periodMs
    // is how much a render call mixes ahead. false with error (a bass::Error)
    // when the device cannot be opened.
    virtual bool open(int rate, int channels, int periodMs, Render render, int& error) = 0;
    // Stops calling render; returns once no render call runs any more (a
    // device may finish closing later, see SdlAudioUse).
    virtual void close() = 0;
    // Lets the device go, so that the sound server neither mixes nor wakes
    // for it, keeping the format it was opened with; resume takes it back
    // with that format (false with error when it cannot). Offline there is
    // no device and neither does anything.
    virtual void suspend() = 0;
    virtual bool resume(int& error) = 0;
    virtual bool suspended() const = 0;
    virtual int rate() const = 0;
    virtual int channels() const = 0;
    virtual int latencyMs() const = 0;
    virtual int periodMs() const = 0;
    virtual bool offline() const = 0;
};

// deviceName empty: the backend's default device.
std::unique_ptr<Output> makeSdlOutput(const std::string& deviceName);

// SDL's audio subsystem for one use (device list, device spec): waits for a
// device that is still closing and keeps every other use of SDL's audio out
// until destroyed, so SDL is never used from two threads at once. ok() is
// false when SDL has no audio.
class SdlAudioUse {
public:
    SdlAudioUse();
    ~SdlAudioUse();
    SdlAudioUse(const SdlAudioUse&) = delete;
    SdlAudioUse& operator=(const SdlAudioUse&) = delete;
    bool ok() const { return ok_; }

private:
    std::unique_lock<std::mutex> lock_;
    bool ok_;
};
std::unique_ptr<Output> makeOfflineOutput();

} // namespace kolvarin::audio
