#include "audio/engine.h"

#include <algorithm>
#include <cstring>

#include "audio/speakers.h"

namespace kolvarin::audio {
namespace {
thread_local int lastError = bass::kOk;
} // namespace

void setError(int code) { lastError = code; }

std::chrono::microseconds syncDelay(int offset, int frames, int rate, int latencyMs)
{
    const std::int64_t heard = 1000LL * latencyMs + 1000000LL * offset / rate;
    const std::int64_t period = 1000000LL * frames / rate;
    return std::chrono::microseconds(std::max<std::int64_t>(0, heard - period));
}

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
    for (SyncEvent& e : events_)
        e.due = output->offline() ? start : start + syncDelay(e.offset, frames, outRate, output->latencyMs());
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
