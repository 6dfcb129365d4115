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
    bool needed = false;
    for (const std::shared_ptr<Channel>& c : channels.all()) {
        c->render(out, outChannels, frames, outRate, events_);
        needed = needed || c->needsOutput();
    }
    if (needed || !events_.empty())
        lastNeeded_ = start.time_since_epoch().count();
    lastRender_ = start;
    lastFrames_ = frames;
    for (SyncEvent& e : events_)
        e.due = output->offline() ? start : start + syncDelay(e.offset, frames, outRate, output->latencyMs());
    syncs.post(events_);
}

std::int64_t Engine::unheardFrames(const Channel& c) const
{
    if (!output || output->offline() || outRate <= 0)
        return 0;
    const double played =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - lastRender_).count() * outRate;
    const double held = static_cast<double>(output->latencyMs()) * outRate / 1000 + lastFrames_ -
                        std::clamp(played, 0.0, static_cast<double>(lastFrames_));
    const double rate = c.attrib[bass::kAttribFreq] > 0 ? c.attrib[bass::kAttribFreq] : c.format().rate;
    return static_cast<std::int64_t>(held * rate / outRate);
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

bool Engine::wakeOutput()
{
    lastNeeded_ = std::chrono::steady_clock::now().time_since_epoch().count();
    if (!output || !output->suspended())
        return true;
    int error = bass::kOk;
    if (!output->resume(error))
        return false;
    {
        std::lock_guard lock(keeperMutex_);
        suspended_ = false;
    }
    keeperWake_.notify_all();
    return true;
}

void Engine::startKeeper()
{
    lastNeeded_ = std::chrono::steady_clock::now().time_since_epoch().count();
    {
        std::lock_guard lock(keeperMutex_);
        keeperStop_ = suspended_ = false;
    }
    keeper_ = std::thread([this] { keep(); });
}

void Engine::stopKeeper()
{
    if (!keeper_.joinable())
        return;
    {
        std::lock_guard lock(keeperMutex_);
        keeperStop_ = true;
    }
    keeperWake_.notify_all();
    keeper_.join();
}

// Sleeps while the device is suspended; while it runs, looks again when the
// grace after the last need would end.
void Engine::keep()
{
    using Clock = std::chrono::steady_clock;
    std::unique_lock lock(keeperMutex_);
    while (!keeperStop_) {
        if (suspended_) {
            keeperWake_.wait(lock, [this] { return keeperStop_ || !suspended_; });
            continue;
        }
        const Clock::time_point due = Clock::time_point(Clock::duration(lastNeeded_.load())) + kIdleGrace;
        if (Clock::now() < due) {
            keeperWake_.wait_until(lock, due);
            continue;
        }
        lock.unlock();
        suspendIfIdle();
        lock.lock();
    }
}

void Engine::suspendIfIdle()
{
    std::lock_guard device(deviceMutex);
    {
        std::lock_guard lock(mutex);
        const auto& all = channels.all();
        if (!initialised || !output ||
            std::any_of(all.begin(), all.end(), [](const auto& c) { return c->needsOutput(); })) {
            // Looked at again a grace later.
            lastNeeded_ = std::chrono::steady_clock::now().time_since_epoch().count();
            return;
        }
    }
    const auto last = std::chrono::steady_clock::time_point(std::chrono::steady_clock::duration(lastNeeded_.load()));
    if (std::chrono::steady_clock::now() - last < kIdleGrace)
        return;
    output->suspend();
    std::lock_guard lock(keeperMutex_);
    suspended_ = true;
}

int lastErrorCode() { return lastError; }

} // namespace kolvarin::audio
