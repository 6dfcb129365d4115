// Channel control: play state, positions, attributes and slides, syncs,
// FFT data and tags.

#include <algorithm>
#include <cmath>

#include "audio/bass.h"
#include "audio/engine.h"
#include "audio/fft.h"

namespace kolvarin::audio {
namespace {

using audio::Channel;
using audio::ChannelState;
using audio::Engine;
using audio::fail;
using audio::succeed;

constexpr QWORD kNoValue = static_cast<QWORD>(-1);
constexpr float kMinFreq = 100.0f;
constexpr float kMaxFreq = 1000000.0f;

std::int64_t bytesPerFrame(const Channel& c) { return static_cast<std::int64_t>(c.format().channels) * 2; }

float currentAttribute(const Channel& c, DWORD attrib)
{
    if (attrib == bass::kAttribFreq && c.attrib[attrib] <= 0)
        return static_cast<float>(c.format().rate);
    return c.attrib[attrib];
}

bool clampAttribute(DWORD attrib, float& value)
{
    if (!std::isfinite(value))
        return false;
    switch (attrib) {
    case bass::kAttribFreq:
        if (value != 0)
            value = std::clamp(value, kMinFreq, kMaxFreq);
        return true;
    case bass::kAttribVol: value = std::clamp(value, 0.0f, 1.0f); return true;
    case bass::kAttribPan: value = std::clamp(value, -1.0f, 1.0f); return true;
    default: return false;
    }
}

// Runs body with the locked channel of handle; result on failure.
template <typename R, typename F>
R withChannel(DWORD handle, R failure, F body)
{
    Engine& engine = Engine::get();
    std::lock_guard lock(engine.mutex);
    const std::shared_ptr<Channel> c = engine.channel(handle);
    if (!c)
        return failure;
    return body(*c, engine);
}

// Takes a suspended device back before a channel plays or slides: under the
// device lock until the channel's state is set, so the keeper cannot let it
// go in between.
bool wakeOutput(Engine& engine) { return engine.wakeOutput() || fail(bass::kErrorDriver, false); }

} // namespace

bool BASS_ChannelPlay(DWORD handle, bool restart)
{
    Engine& engine = Engine::get();
    std::lock_guard device(engine.deviceMutex);
    if (!wakeOutput(engine))
        return false;
    return withChannel(handle, false, [&](Channel& c, Engine&) {
        if ((restart || c.ended()) && !c.seek(0) && restart)
            return fail(bass::kErrorNotAvail, false);
        c.state = ChannelState::Playing;
        return succeed(true);
    });
}

bool BASS_ChannelStop(DWORD handle)
{
    return withChannel(handle, false, [](Channel& c, Engine&) {
        c.state = ChannelState::Stopped;
        return succeed(true);
    });
}

bool BASS_ChannelPause(DWORD handle)
{
    return withChannel(handle, false, [](Channel& c, Engine&) {
        if (c.state != ChannelState::Playing)
            return fail(bass::kErrorNotAvail, false);
        c.state = ChannelState::Paused;
        return succeed(true);
    });
}

DWORD BASS_ChannelIsActive(DWORD handle)
{
    return withChannel(handle, bass::kActiveStopped, [](Channel& c, Engine&) {
        switch (c.state) {
        case ChannelState::Playing:
            return succeed(c.source().buffering() ? bass::kActiveStalled : bass::kActivePlaying);
        case ChannelState::Paused: return succeed(bass::kActivePaused);
        case ChannelState::Stopped: break;
        }
        return succeed(bass::kActiveStopped);
    });
}

DWORD BASS_ChannelFlags(DWORD handle, DWORD flags, DWORD mask)
{
    // No flag of a stream can be changed after its creation here.
    (void)flags;
    (void)mask;
    return withChannel(handle, static_cast<DWORD>(-1), [](Channel& c, Engine&) { return succeed(c.flags()); });
}

bool BASS_ChannelGetInfo(DWORD handle, BassChannelInfo* info)
{
    if (!info)
        return fail(bass::kErrorIllParam, false);
    return withChannel(handle, false, [&](Channel& c, Engine&) {
        const audio::PcmFormat& f = c.format();
        *info = {static_cast<DWORD>(f.rate),
                 static_cast<DWORD>(f.channels),
                 c.flags(),
                 f.ctype,
                 static_cast<DWORD>(f.bits),
                 c.name().c_str()};
        return succeed(true);
    });
}

QWORD BASS_ChannelGetLength(DWORD handle, DWORD mode)
{
    return withChannel(handle, kNoValue, [&](Channel& c, Engine&) {
        if (mode != bass::kPosByte)
            return fail(bass::kErrorIllType, kNoValue);
        const std::int64_t frames = c.length();
        if (frames < 0)
            return fail(bass::kErrorNotAvail, kNoValue);
        return succeed(static_cast<QWORD>(frames * bytesPerFrame(c)));
    });
}

QWORD BASS_ChannelGetPosition(DWORD handle, DWORD mode)
{
    return withChannel(handle, kNoValue, [&](Channel& c, Engine&) {
        if (mode != bass::kPosByte)
            return fail(bass::kErrorIllType, kNoValue);
        return succeed(static_cast<QWORD>(c.position() * bytesPerFrame(c)));
    });
}

bool BASS_ChannelSetPosition(DWORD handle, QWORD pos, DWORD mode)
{
    return withChannel(handle, false, [&](Channel& c, Engine&) {
        if (mode != bass::kPosByte)
            return fail(bass::kErrorIllType, false);
        const std::int64_t length = c.length();
        const QWORD frame = pos / static_cast<QWORD>(bytesPerFrame(c));
        if ((length >= 0 && frame > static_cast<QWORD>(length)) || frame > (1ull << 62))
            return fail(bass::kErrorPosition, false);
        if (!c.seek(static_cast<std::int64_t>(frame)))
            return fail(bass::kErrorPosition, false);
        return succeed(true);
    });
}

double BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos)
{
    return withChannel(handle, -1.0, [&](Channel& c, Engine&) {
        return succeed(static_cast<double>(pos / static_cast<QWORD>(bytesPerFrame(c))) / c.format().rate);
    });
}

QWORD BASS_ChannelSeconds2Bytes(DWORD handle, double pos)
{
    return withChannel(handle, kNoValue, [&](Channel& c, Engine&) {
        if (!(pos >= 0) || pos > 1e9)
            return fail(bass::kErrorIllParam, kNoValue);
        const auto frames = static_cast<QWORD>(std::floor(pos * c.format().rate));
        return succeed(frames * static_cast<QWORD>(bytesPerFrame(c)));
    });
}

bool BASS_ChannelSetAttribute(DWORD handle, DWORD attrib, float value)
{
    return withChannel(handle, false, [&](Channel& c, Engine&) {
        if (!clampAttribute(attrib, value))
            return fail(bass::kErrorIllType, false);
        c.slides[attrib].active = false;
        c.attrib[attrib] = value;
        return succeed(true);
    });
}

bool BASS_ChannelGetAttribute(DWORD handle, DWORD attrib, float* value)
{
    if (!value)
        return fail(bass::kErrorIllParam, false);
    return withChannel(handle, false, [&](Channel& c, Engine&) {
        if (attrib < bass::kAttribFreq || attrib > bass::kAttribPan)
            return fail(bass::kErrorIllType, false);
        *value = currentAttribute(c, attrib);
        return succeed(true);
    });
}

bool BASS_ChannelSlideAttribute(DWORD handle, DWORD attrib, float value, DWORD time)
{
    Engine& device = Engine::get();
    std::lock_guard deviceLock(device.deviceMutex);
    if (!wakeOutput(device))
        return false;
    return withChannel(handle, false, [&](Channel& c, Engine& engine) {
        if (!clampAttribute(attrib, value))
            return fail(bass::kErrorIllType, false);
        if (attrib == bass::kAttribFreq && value == 0)
            value = static_cast<float>(c.format().rate);
        const std::int64_t frames = static_cast<std::int64_t>(time) * engine.outRate / 1000;
        if (frames <= 0) {
            c.slides[attrib].active = false;
            c.attrib[attrib] = value;
            return succeed(true);
        }
        c.slides[attrib] = {true, currentAttribute(c, attrib), value, frames, 0};
        return succeed(true);
    });
}

bool BASS_ChannelIsSliding(DWORD handle, DWORD attrib)
{
    return withChannel(handle, false, [&](Channel& c, Engine&) {
        if (attrib < bass::kAttribFreq || attrib > bass::kAttribPan)
            return fail(bass::kErrorIllType, false);
        return succeed(c.slides[attrib].active);
    });
}

HSYNC BASS_ChannelSetSync(DWORD handle, DWORD type, QWORD param, SYNCPROC* proc, void* user)
{
    return withChannel(handle, 0u, [&](Channel& c, Engine& engine) {
        const DWORD kind = type & ~bass::kSyncOneTime;
        if (kind != bass::kSyncPos && kind != bass::kSyncEnd)
            return fail(bass::kErrorIllType, 0u);
        if (!proc)
            return fail(bass::kErrorIllParam, 0u);
        const std::int64_t frame =
            kind == bass::kSyncPos ? static_cast<std::int64_t>(std::min<QWORD>(param, 1ull << 62) / bytesPerFrame(c))
                                   : 0;
        engine.nextSync = (engine.nextSync & 0x3FFFFFFF) == 0 ? 1 : engine.nextSync;
        const HSYNC sync = (static_cast<DWORD>(audio::HandleKind::Sync) << 30) | (engine.nextSync++ & 0x3FFFFFFF);
        c.syncs.push_back({sync, type, frame, proc, user, frame >= c.position()});
        return succeed(sync);
    });
}

bool BASS_ChannelRemoveSync(DWORD handle, HSYNC sync)
{
    return withChannel(handle, false, [&](Channel& c, Engine&) {
        const auto it = std::find_if(c.syncs.begin(), c.syncs.end(), [&](const auto& s) { return s.handle == sync; });
        if (it == c.syncs.end())
            return fail(bass::kErrorHandle, false);
        c.syncs.erase(it);
        return succeed(true);
    });
}

DWORD BASS_ChannelGetData(DWORD handle, void* buffer, DWORD length)
{
    constexpr DWORD kFailed = static_cast<DWORD>(-1);
    return withChannel(handle, kFailed, [&](Channel& c, Engine& engine) {
        if (length != BASS_DATA_FFT1024)
            return fail(bass::kErrorIllType, kFailed);
        if (!buffer)
            return fail(bass::kErrorIllParam, kFailed);
        // The spectrum of what is heard now, not of what was mixed last: in
        // step with the sound, and moving between two render calls.
        audio::magnitudeSpectrum1024(c.history(engine.unheardFrames(c)), static_cast<float*>(buffer));
        return succeed(static_cast<DWORD>(512 * sizeof(float)));
    });
}

const char* BASS_ChannelGetTags(DWORD handle, DWORD tags)
{
    return withChannel(handle, static_cast<const char*>(nullptr), [&](Channel& c, Engine&) -> const char* {
        if (tags >= c.tagCopies.size())
            return fail(bass::kErrorNotAvail, nullptr);
        std::string& copy = c.tagCopies[tags];
        if (!c.source().tag(tags, copy))
            return fail(bass::kErrorNotAvail, nullptr);
        return succeed(copy.c_str());
    });
}

} // namespace kolvarin::audio
