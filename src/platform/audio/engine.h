#pragma once

// The process-wide state behind the BASS_ calls: configuration, the output,
// the channels and the sync thread. One mutex guards it; the output's render
// call takes the same mutex, so a call never sees a half-mixed channel.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "audio/bass.h"
#include "audio/channel.h"
#include "audio/handle_table.h"
#include "audio/output.h"
#include "audio/sync_dispatcher.h"

namespace kolvarin::audio {

struct Config {
    std::atomic<int> bufferMs{500};
    std::atomic<int> updatePeriodMs{100};
    std::atomic<int> netTimeoutMs{5000};
    std::atomic<int> netPrebufPercent{75};
    std::atomic<int> updateThreads{1};
};

class Engine {
public:
    static Engine& get();
    Config config;

    // Guards what follows. Taken before the sync dispatcher's lock; the
    // output's render call takes it, so the output never closes under it.
    std::mutex mutex;
    bool initialised = false;
    bool initialising = false; // BASS_Init is opening the output
    std::unique_ptr<Output> output;
    int outRate = 44100;
    int outChannels = 2;
    HandleTable<Channel> channels{HandleKind::Channel};
    std::map<HFX, DWORD> fxOwners;
    DWORD nextFx = 1;
    DWORD nextSync = 1;
    SyncDispatcher syncs;

    // Mixes every playing channel into frames frames of `layout` output
    // channels; silence when not initialised or the layout is not the engine's.
    void render(float* out, int frames, int layout);
    // Under mutex: the channel of a handle, or null with kErrorHandle (or
    // kErrorInit) recorded.
    std::shared_ptr<Channel> channel(DWORD handle);
    // Registers a new stream; 0 with an error when the output lacks its speaker pair.
    HSTREAM add(std::shared_ptr<Channel> channel);

private:
    std::vector<SyncEvent> events_;
};

// How long after a render call of frames frames starts a sync reached offset
// frames into it is due. The listener hears that frame latencyMs plus its
// offset later, and what the sync's callback starts is mixed no sooner than
// the next call: the sync fires as early as keeps it within one call of being
// heard, and never before it was mixed, so the callback's answer is heard
// within one call of the sync's position.
std::chrono::microseconds syncDelay(int offset, int frames, int rate, int latencyMs);

// The calling thread's last error.
void setError(int code);
int lastErrorCode();
template <typename T>
T fail(int code, T result)
{
    setError(code);
    return result;
}
template <typename T>
T succeed(T result)
{
    setError(bass::kOk);
    return result;
}

} // namespace kolvarin::audio
