#include "audio/bass.h"
#include "audio/output.h"

#include <SDL2/SDL.h>

#include <algorithm>

namespace kolvarin::audio {
namespace {

class SdlOutput final : public Output {
public:
    explicit SdlOutput(std::string name) : name_(std::move(name)) {}
    ~SdlOutput() override { close(); }

    bool open(int rate, int channels, int bufferMs, Render render, int& error) override
    {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            error = bass::kErrorDriver;
            return false;
        }
        subsystem_ = true;
        render_ = std::move(render);
        SDL_AudioSpec want{};
        want.freq = rate;
        want.format = AUDIO_F32SYS;
        want.channels = static_cast<Uint8>(channels);
        // The period: the buffer length option, at least 5 ms, as a power of two.
        const int frames = std::max(1, rate * std::max(bufferMs, 5) / 1000);
        Uint16 samples = 32;
        while (samples < frames && samples < 32768)
            samples = static_cast<Uint16>(samples * 2);
        want.samples = samples;
        want.callback = &SdlOutput::callback;
        want.userdata = this;
        SDL_AudioSpec have{};
        device_ = SDL_OpenAudioDevice(name_.empty() ? nullptr : name_.c_str(), 0, &want, &have, 0);
        if (device_ == 0) {
            error = bass::kErrorDriver;
            close();
            return false;
        }
        rate_ = have.freq;
        channels_ = have.channels;
        period_ = have.samples;
        SDL_PauseAudioDevice(device_, 0);
        return true;
    }
    void close() override
    {
        if (device_ != 0) {
            SDL_CloseAudioDevice(device_);
            device_ = 0;
        }
        if (subsystem_) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            subsystem_ = false;
        }
    }
    int rate() const override { return rate_; }
    int channels() const override { return channels_; }
    // SDL queues about two periods between the mixer and the device.
    int latencyMs() const override { return rate_ ? 2 * period_ * 1000 / rate_ : 0; }
    int periodMs() const override { return rate_ ? period_ * 1000 / rate_ : 0; }
    bool offline() const override { return false; }

private:
    static void callback(void* user, Uint8* stream, int length)
    {
        auto* self = static_cast<SdlOutput*>(user);
        const int channels = self->channels_;
        self->render_(reinterpret_cast<float*>(stream), length / static_cast<int>(sizeof(float) * channels), channels);
    }

    std::string name_;
    Render render_;
    SDL_AudioDeviceID device_ = 0;
    bool subsystem_ = false;
    int rate_ = 0;
    int channels_ = 2;
    int period_ = 0;
};

} // namespace

std::unique_ptr<Output> makeSdlOutput(const std::string& deviceName) { return std::make_unique<SdlOutput>(deviceName); }

} // namespace kolvarin::audio
