#include "audio/engine.h"

#include <algorithm>
#include <cstring>

#include "audio/speakers.h"

namespace kolvarin::audio {
namespace {
thread_local int lastError = bass::kOk;
} // namespace

void setError(int code) { lastError = code; }

Engine& Engine::get()
{
    static Engine engine;
    return engine;
}

void Engine::render(float* out, int frames, int layout)
{
    const auto start = std::chrono::steady_clock::now();
    std::unique_lock lock(mutex);
    std::fill(out, out + static_cast<std::size_t>(frames) * layout, 0.0f);
    if (!initialised || layout != outChannels)
        return;
    events_.clear();
    for (const std::shared_ptr<Channel>& c : channels.all())
        c->render(out, outChannels, frames, outRate, events_);
    // The output asks for a buffer as it starts to play it (the disk driver
    // writes it at once, a sound card after at most the buffer it plays now):
    // a sync is due as far into the call's time as its frame lies in the
    // buffer. The offline clock has no time of its own: at once.
    for (SyncEvent& e : events_)
        e.due = output->offline() ? start : start + std::chrono::microseconds(1000000LL * e.offset / outRate);
    syncs.post(events_);
}

std::shared_ptr<Channel> Engine::channel(DWORD handle)
{
    if (!initialised)
        return fail(bass::kErrorInit, nullptr);
    std::shared_ptr<Channel> c = channels.find(handle);
    if (!c)
        setError(bass::kErrorHandle);
    return c;
}

HSTREAM Engine::add(std::shared_ptr<Channel> channel)
{
    if (!initialised)
        return fail(bass::kErrorInit, 0u);
    if (pairFirstChannel(channel->speakerPair(), outChannels) < 0)
        return fail(bass::kErrorSpeaker, 0u);
    const HSTREAM handle = channels.add(channel);
    if (!handle)
        return fail(bass::kErrorMemory, 0u);
    channel->handle = handle;
    return succeed(handle);
}

int lastErrorCode() { return lastError; }

} // namespace kolvarin::audio
