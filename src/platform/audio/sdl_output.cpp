#include <SDL2/SDL.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "audio/bass.h"
#include "audio/output.h"

namespace kolvarin::audio {
namespace {

// SDL plays out two more periods when a device closes, which would hold up
// BASS_Free (and so the program's shutdown) for as long: the close finishes
// on a thread of its own, and the next use of SDL's audio waits for it.
struct Closing {
    // Guards the count; taken alone.
    std::mutex mutex;
    std::condition_variable done;
    int pending = 0;
};

Closing& closing()
{
    // Never destroyed: a close may still run while the process exits.
    static Closing* state = new Closing;
    return *state;
}

// SDL's audio subsystem guards neither its reference count nor its device
// table, and outputs open and close on several threads (the mixer's, the
// media renderers' streaming threads, the background closes): a close that
// ran beside an open once joined an audio thread that never ended. Every
// init, open, close and quit holds this lock.
// SDL frees its per-thread data (the error text) only for threads it made;
// a thread of ours that used SDL frees it when it ends.
struct SdlThreadData {
    SdlThreadData() = default;
    SdlThreadData(const SdlThreadData&) = delete;
    SdlThreadData& operator=(const SdlThreadData&) = delete;
    ~SdlThreadData() { SDL_TLSCleanup(); }
};

std::mutex& sdlLock()
{
    thread_local SdlThreadData threadData;
    static auto* lock = new std::mutex; // never destroyed, as closing()
    return *lock;
}

void waitForClosedDevices()
{
    Closing& c = closing();
    std::unique_lock lock(c.mutex);
    c.done.wait(lock, [&] { return c.pending == 0; });
}

// Takes the subsystem reference of the device with it.
void closeInBackground(SDL_AudioDeviceID device)
{
    Closing& c = closing();
    {
        std::lock_guard lock(c.mutex);
        ++c.pending;
    }
    std::thread([device, &c] {
        {
            std::lock_guard sdl(sdlLock());
            SDL_CloseAudioDevice(device);
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        }
        std::lock_guard lock(c.mutex);
        --c.pending;
        c.done.notify_all();
    }).detach();
}

// The nearest power of two, in frames, to the wished period (at least 5 ms,
// at most 16384 frames: 372 ms at 44.1 kHz).
Uint16 periodFrames(int rate, int periodMs)
{
    const int wanted = rate * std::max(periodMs, 5) / 1000;
    Uint16 frames = 32;
    while (frames < 16384 && frames * 3 / 2 < wanted)
        frames = static_cast<Uint16>(frames * 2);
    return frames;
}

class SdlOutput final : public Output {
public:
    explicit SdlOutput(std::string name) : name_(std::move(name)) {}
    ~SdlOutput() override { close(); }

    bool open(int rate, int channels, int periodMs, Render render, int& error) override
    {
        render_ = std::move(render);
        want_ = SDL_AudioSpec{};
        want_.freq = rate;
        want_.format = AUDIO_F32SYS;
        want_.channels = static_cast<Uint8>(channels);
        want_.samples = periodFrames(rate, periodMs);
        want_.callback = &SdlOutput::callback;
        want_.userdata = this;
        if (!openDevice(error))
            return false;
        // Reopened after a suspend, the device is asked for what it gave.
        want_.freq = rate_;
        want_.channels = static_cast<Uint8>(channels_);
        want_.samples = static_cast<Uint16>(period_);
        return true;
    }
    void close() override
    {
        if (device_ == 0)
            return;
        {
            // Pausing waits for a running callback; after it none comes.
            std::lock_guard sdl(sdlLock());
            SDL_PauseAudioDevice(device_, 1);
        }
        closeInBackground(device_);
        device_ = 0;
    }
    // SDL's paused device still feeds the server silence: only a closed one
    // lets it sleep.
    void suspend() override { close(); }
    bool resume(int& error) override { return device_ != 0 || openDevice(error); }
    bool suspended() const override { return device_ == 0 && rate_ != 0; }
    int rate() const override { return rate_; }
    int channels() const override { return channels_; }
    int latencyMs() const override { return rate_ ? queued_ * 1000 / rate_ : 0; }
    int periodMs() const override { return rate_ ? period_ * 1000 / rate_ : 0; }
    bool offline() const override { return false; }

private:
    bool openDevice(int& error)
    {
        waitForClosedDevices();
        std::lock_guard sdl(sdlLock());
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            error = bass::kErrorDriver;
            return false;
        }
        SDL_AudioSpec have{};
        device_ = SDL_OpenAudioDevice(name_.empty() ? nullptr : name_.c_str(), 0, &want_, &have, 0);
        if (device_ == 0) {
            error = bass::kErrorDriver;
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return false;
        }
        rate_ = have.freq;
        channels_ = have.channels;
        period_ = have.samples;
        const std::string driver = SDL_GetCurrentAudioDriver() ? SDL_GetCurrentAudioDriver() : "";
        queued_ = driver == "disk" || driver == "dummy" ? 0 : period_;
        SDL_PauseAudioDevice(device_, 0);
        return true;
    }

    static void callback(void* user, Uint8* stream, int length)
    {
        auto* self = static_cast<SdlOutput*>(user);
        const int channels = self->channels_;
        self->render_(reinterpret_cast<float*>(stream), length / static_cast<int>(sizeof(float) * channels), channels);
    }

    std::string name_;
    Render render_;
    SDL_AudioSpec want_{};
    SDL_AudioDeviceID device_ = 0;
    int rate_ = 0;
    int channels_ = 2;
    int period_ = 0;
    // Frames between a buffer's mixing and its first frame being heard: a
    // sound card plays the buffer before it; the disk and dummy drivers
    // take it at once.
    int queued_ = 0;
};

} // namespace

std::unique_ptr<Output> makeSdlOutput(const std::string& deviceName) { return std::make_unique<SdlOutput>(deviceName); }

SdlAudioUse::SdlAudioUse()
{
    waitForClosedDevices();
    lock_ = std::unique_lock(sdlLock());
    ok_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
}

SdlAudioUse::~SdlAudioUse()
{
    if (ok_)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

} // namespace kolvarin::audio
