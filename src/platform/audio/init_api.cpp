// Initialisation, devices, configuration and the offline clock.

#include <SDL2/SDL.h>

#include <set>
#include <string>

#include "audio/bass.h"
#include "audio/engine.h"
#include "audio/offline.h"

namespace kolvarin::audio {
namespace {

using audio::Engine;
using audio::fail;
using audio::succeed;

constexpr DWORD kVersion = 0x02040001;
std::atomic<int> offlineSpeakers{8};

// Device names handed out stay valid: they are interned for the process.
const char* intern(const std::string& text)
{
    // Guards the names; taken alone.
    static std::mutex mutex;
    static std::set<std::string> names;
    std::lock_guard lock(mutex);
    return names.insert(text).first->c_str();
}

// The backend's output devices by name; empty when SDL has no audio.
bool sdlDevices(std::vector<std::string>& names, std::string& driver)
{
    const audio::SdlAudioUse sdl;
    if (!sdl.ok())
        return false;
    driver = SDL_GetCurrentAudioDriver() ? SDL_GetCurrentAudioDriver() : "";
    const int count = SDL_GetNumAudioDevices(0);
    for (int i = 0; i < count; ++i)
        if (const char* name = SDL_GetAudioDeviceName(i, 0))
            names.emplace_back(name);
    return true;
}

int speakersOfDevice(const std::string& name)
{
    int channels = 2;
    const audio::SdlAudioUse sdl;
    if (!sdl.ok())
        return channels;
    SDL_AudioSpec spec{};
    char* defaultName = nullptr;
    int ok = -1;
    if (name.empty())
        ok = SDL_GetDefaultAudioInfo(&defaultName, &spec, 0);
    else
        for (int i = 0; i < SDL_GetNumAudioDevices(0); ++i)
            if (const char* n = SDL_GetAudioDeviceName(i, 0); n && name == n) {
                ok = SDL_GetAudioDeviceSpec(i, 0, &spec);
                break;
            }
    SDL_free(defaultName);
    if (ok == 0 && spec.channels >= 2)
        channels = std::min(8, spec.channels & ~1);
    return channels;
}

} // namespace

DWORD BASS_GetVersion() { return succeed(kVersion); }

int BASS_ErrorGetCode() { return audio::lastErrorCode(); }

bool BASS_GetDeviceInfo(DWORD device, BassDeviceInfo* info)
{
    if (!info)
        return fail(bass::kErrorIllParam, false);
    Engine& engine = Engine::get();
    bool inUse = false;
    {
        std::lock_guard lock(engine.mutex);
        inUse = engine.initialised;
    }
    if (device == 0) {
        *info = {intern("No sound (offline clock)"), intern("offline"), bass::kDeviceEnabled};
        return succeed(true);
    }
    std::vector<std::string> names;
    std::string driver;
    if (!sdlDevices(names, driver))
        return fail(bass::kErrorDevice, false);
    if (device == 1) {
        *info = {intern("Default"), intern(driver),
                 bass::kDeviceEnabled | bass::kDeviceDefault | (inUse ? bass::kDeviceInit : 0u)};
        return succeed(true);
    }
    if (device - 2 >= names.size())
        return fail(bass::kErrorDevice, false);
    *info = {intern(names[device - 2]), intern(driver), bass::kDeviceEnabled};
    return succeed(true);
}

bool BASS_Init(int device, DWORD freq, DWORD flags, void* window, const void* clsid)
{
    (void)window;
    (void)clsid;
    if (device < -1)
        return fail(bass::kErrorDevice, false);
    const int rate = freq == 0 ? 44100 : static_cast<int>(freq);
    if (rate < 8000 || rate > 384000)
        return fail(bass::kErrorIllParam, false);
    Engine& engine = Engine::get();
    {
        std::lock_guard lock(engine.mutex);
        if (engine.initialised || engine.initialising)
            return fail(bass::kErrorAlready, false);
        engine.initialising = true;
    }
    // The device is opened without the engine lock: SDL holds its own lock
    // around the render call, which takes the engine lock.
    const auto failed = [&engine](int error) {
        std::lock_guard lock(engine.mutex);
        engine.initialising = false;
        return fail(error, false);
    };
    std::unique_ptr<audio::Output> output;
    int channels = 2;
    if (device == 0) {
        output = audio::makeOfflineOutput();
        if (flags & bass::kDeviceSpeakers)
            channels = offlineSpeakers;
    } else {
        std::string name;
        if (device >= 2) {
            std::vector<std::string> names;
            std::string driver;
            if (!sdlDevices(names, driver) || static_cast<std::size_t>(device - 2) >= names.size())
                return failed(bass::kErrorDevice);
            name = names[device - 2];
        }
        if (flags & bass::kDeviceSpeakers)
            channels = speakersOfDevice(name);
        output = audio::makeSdlOutput(name);
    }
    int error = bass::kOk;
    // One device period is both how far ahead the mixer runs and, on the
    // sound server, the stream's whole buffer: the buffer length the setting
    // asks for lets the server sleep that long between wake-ups, where the
    // update period (a twentieth of a second by default) woke it, and the
    // mixer with it, twenty times a second even for silence.
    if (!output->open(
            rate, channels, engine.config.bufferMs,
            [&engine](float* out, int frames, int outChannels) { engine.render(out, frames, outChannels); }, error))
        return failed(error);
    const bool onDevice = !output->offline();
    {
        std::scoped_lock lock(engine.deviceMutex, engine.mutex);
        engine.initialising = false;
        engine.outRate = output->rate();
        engine.outChannels = output->channels();
        engine.output = std::move(output);
        engine.syncs.start();
        engine.initialised = true;
    }
    if (onDevice)
        engine.startKeeper();
    return succeed(true);
}

bool BASS_Free()
{
    Engine& engine = Engine::get();
    {
        std::lock_guard lock(engine.mutex);
        if (!engine.initialised)
            return fail(bass::kErrorInit, false);
    }
    engine.stopKeeper();
    std::unique_ptr<audio::Output> output;
    std::vector<std::shared_ptr<audio::Channel>> channels;
    {
        std::scoped_lock lock(engine.deviceMutex, engine.mutex);
        if (!engine.initialised)
            return fail(bass::kErrorInit, false);
        engine.initialised = false;
        output = std::move(engine.output);
        channels = engine.channels.all();
        engine.channels.clear();
        engine.fxOwners.clear();
    }
    // Outside the lock: closing waits for a render call that may wait for the lock.
    output->close();
    channels.clear();
    engine.syncs.stop();
    return succeed(true);
}

bool BASS_GetInfo(BassInfo* info)
{
    if (!info)
        return fail(bass::kErrorIllParam, false);
    Engine& engine = Engine::get();
    std::lock_guard lock(engine.mutex);
    if (!engine.initialised)
        return fail(bass::kErrorInit, false);
    info->speakers = static_cast<DWORD>(engine.outChannels);
    info->freq = static_cast<DWORD>(engine.outRate);
    info->latency = static_cast<DWORD>(engine.output->latencyMs());
    info->minbuf = static_cast<DWORD>(engine.output->periodMs());
    return succeed(true);
}

namespace {

// The setting behind an option; null for an unknown option.
std::atomic<int>* configValue(DWORD option)
{
    audio::Config& c = Engine::get().config;
    switch (option) {
    case bass::kConfigBuffer: return &c.bufferMs;
    case bass::kConfigUpdatePeriod: return &c.updatePeriodMs;
    case bass::kConfigNetTimeout: return &c.netTimeoutMs;
    case bass::kConfigNetPrebuf: return &c.netPrebufPercent;
    case bass::kConfigUpdateThreads: return &c.updateThreads;
    default: return nullptr;
    }
}

} // namespace

bool BASS_SetConfig(DWORD option, DWORD value)
{
    std::atomic<int>* setting = configValue(option);
    if (!setting)
        return fail(bass::kErrorIllType, false);
    int v = static_cast<int>(std::min<DWORD>(value, 0x7FFFFFFF));
    if (option == bass::kConfigBuffer)
        v = std::max(v, 5);
    else if (option == bass::kConfigNetTimeout)
        v = std::max(v, 1);
    else if (option == bass::kConfigNetPrebuf)
        v = std::min(v, 100);
    *setting = v;
    return succeed(true);
}

DWORD BASS_GetConfig(DWORD option)
{
    const std::atomic<int>* setting = configValue(option);
    if (!setting)
        return fail(bass::kErrorIllType, static_cast<DWORD>(-1));
    return succeed(static_cast<DWORD>(setting->load()));
}

void setOfflineSpeakers(int speakers)
{
    if (speakers == 2 || speakers == 4 || speakers == 6 || speakers == 8)
        offlineSpeakers = speakers;
}

bool offlineRender(float* out, int frames)
{
    Engine& engine = Engine::get();
    int channels = 2;
    {
        std::lock_guard lock(engine.mutex);
        if (!engine.initialised || !engine.output->offline())
            return false;
        channels = engine.outChannels;
    }
    engine.render(out, frames, channels);
    return true;
}

std::vector<float> offlineRender(int frames)
{
    Engine& engine = Engine::get();
    int channels = 2;
    {
        std::lock_guard lock(engine.mutex);
        channels = engine.outChannels;
    }
    std::vector<float> out(static_cast<std::size_t>(frames) * channels);
    if (!offlineRender(out.data(), frames))
        out.clear();
    return out;
}

void waitForSyncs() { Engine::get().syncs.waitIdle(); }

} // namespace kolvarin::audio
