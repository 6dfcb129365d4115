#pragma once

// Where the mixer's frames go: an SDL audio device, or the offline clock that
// tests and tools pull from. The engine opens one output at BASS_Init.

#include <functional>
#include <memory>
#include <string>

namespace kolvarin::audio {

class Output {
public:
    // Fills frames interleaved float frames of channels channels. Called on
    // the output's thread (SDL's audio thread) or, offline, by the puller.
    using Render = std::function<void(float* out, int frames, int channels)>;
    virtual ~Output() = default;
    // rate and channels are wishes; the output reports what it got. false
    // with error (a bass::Error) when the device cannot be opened.
    virtual bool open(int rate, int channels, int bufferMs, Render render, int& error) = 0;
    // Stops calling render; returns once no render call runs any more.
    virtual void close() = 0;
    virtual int rate() const = 0;
    virtual int channels() const = 0;
    virtual int latencyMs() const = 0;
    virtual int periodMs() const = 0;
    virtual bool offline() const = 0;
};

// deviceName empty: the backend's default device.
std::unique_ptr<Output> makeSdlOutput(const std::string& deviceName);
std::unique_ptr<Output> makeOfflineOutput();

} // namespace kolvarin::audio
