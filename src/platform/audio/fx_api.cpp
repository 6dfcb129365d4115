// Effects: the peaking-equalizer bands.

#include <algorithm>
#include <cstring>

#include "audio/bass.h"
#include "audio/engine.h"

namespace kolvarin::audio {
namespace {

using audio::Channel;
using audio::Engine;
using audio::fail;
using audio::succeed;

audio::FxEntry* findFx(Engine& engine, HFX fx, std::shared_ptr<Channel>& owner)
{
    const auto it = engine.fxOwners.find(fx);
    if (it == engine.fxOwners.end() || !(owner = engine.channels.find(it->second)))
        return nullptr;
    for (audio::FxEntry& f : owner->fx)
        if (f.handle == fx)
            return &f;
    return nullptr;
}

} // namespace

HFX BASS_ChannelSetFX(DWORD handle, DWORD type, int priority)
{
    Engine& engine = Engine::get();
    std::lock_guard lock(engine.mutex);
    const std::shared_ptr<Channel> c = engine.channel(handle);
    if (!c)
        return 0;
    if (type != BASS_FX_DX8_PARAMEQ)
        return fail(bass::kErrorIllType, 0u);
    engine.nextFx = (engine.nextFx & 0x3FFFFFFF) == 0 ? 1 : engine.nextFx;
    const HFX fx = (static_cast<DWORD>(audio::HandleKind::Fx) << 30) | (engine.nextFx++ & 0x3FFFFFFF);
    audio::FxEntry entry{fx, priority, {}};
    entry.eq.configure(BASS_DX8_PARAMEQ{}, c->format().rate, c->format().channels);
    c->fx.push_back(std::move(entry));
    c->sortFx();
    engine.fxOwners[fx] = handle;
    return succeed(fx);
}

bool BASS_ChannelRemoveFX(DWORD handle, HFX fx)
{
    Engine& engine = Engine::get();
    std::lock_guard lock(engine.mutex);
    const std::shared_ptr<Channel> c = engine.channel(handle);
    if (!c)
        return false;
    const auto it = std::find_if(c->fx.begin(), c->fx.end(), [&](const auto& f) { return f.handle == fx; });
    if (it == c->fx.end())
        return fail(bass::kErrorHandle, false);
    c->fx.erase(it);
    engine.fxOwners.erase(fx);
    return succeed(true);
}

// Runs body on the effect of fx with its channel, under the engine lock.
template <typename F>
bool withFx(HFX fx, const void* params, F body)
{
    Engine& engine = Engine::get();
    std::lock_guard lock(engine.mutex);
    if (!engine.initialised)
        return fail(bass::kErrorInit, false);
    std::shared_ptr<Channel> owner;
    audio::FxEntry* entry = findFx(engine, fx, owner);
    if (!entry)
        return fail(bass::kErrorHandle, false);
    if (!params)
        return fail(bass::kErrorIllParam, false);
    return body(*entry, *owner);
}

bool BASS_FXSetParameters(HFX fx, const void* params)
{
    return withFx(fx, params, [&](audio::FxEntry& entry, Channel& owner) {
        BASS_DX8_PARAMEQ p;
        std::memcpy(&p, params, sizeof p);
        if (!audio::PeakingEq::valid(p))
            return fail(bass::kErrorIllParam, false);
        entry.eq.configure(p, owner.format().rate, owner.format().channels);
        return succeed(true);
    });
}

bool BASS_FXGetParameters(HFX fx, void* params)
{
    return withFx(fx, params, [&](audio::FxEntry& entry, Channel&) {
        const BASS_DX8_PARAMEQ p = entry.eq.params();
        std::memcpy(params, &p, sizeof p);
        return succeed(true);
    });
}

} // namespace kolvarin::audio
