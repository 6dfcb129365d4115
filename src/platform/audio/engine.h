#pragma once

// The process-wide state behind the BASS_ calls: configuration, the output,
// the channels and the sync thread. One mutex guards it; the output's render
// call takes the same mutex, so a call never sees a half-mixed channel.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
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

// How long the device stays open after the last channel stopped needing it:
// longer than any step between two tracks, so a track change never waits
// for it.
inline constexpr std::chrono::milliseconds kIdleGrace{1000};

class Engine {
public:
    static Engine& get();
    Config config;

    // Guards the output's setting, suspending, resuming and closing, so that
    // output may be read under it alone; taken before mutex.
    std::mutex deviceMutex;
    // Guards what follows (output is set under deviceMutex too). Taken before
    // the sync dispatcher's lock; the output's render call takes it, so the
    // output never closes under it.
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
    // Under mutex: of the frames channel c has played, how many the listener
    // has not heard yet (what the device holds, less what it has played of
    // the last render call since it began), in the channel's own frames.
    std::int64_t unheardFrames(const Channel& c) const;
    // Under mutex: the channel of a handle, or null with kErrorHandle (or
    // kErrorInit) recorded.
    std::shared_ptr<Channel> channel(DWORD handle);
    // Registers a new stream; 0 with an error when the output lacks its speaker pair.
    HSTREAM add(std::shared_ptr<Channel> channel);

    // Under deviceMutex, not mutex: the device runs from now on, at least
    // until the keeper finds no channel needing it for kIdleGrace. False
    // when a suspended device cannot be taken back.
    bool wakeOutput();
    // The keeper lets the device go while no channel needs it. Started once
    // a device output is set, stopped (joined) before it goes; neither under
    // deviceMutex.
    void startKeeper();
    void stopKeeper();

private:
    void keep();
    void suspendIfIdle();

    std::vector<SyncEvent> events_;
    // The last render call (guarded by mutex).
    std::chrono::steady_clock::time_point lastRender_{};
    int lastFrames_ = 0;
    // When a channel last needed the output, in steady-clock ticks.
    std::atomic<std::chrono::steady_clock::rep> lastNeeded_{0};
    std::thread keeper_;
    std::mutex keeperMutex_; // after deviceMutex
    std::condition_variable keeperWake_;
    bool keeperStop_ = false; // guarded by keeperMutex_
    bool suspended_ = false; // guarded by keeperMutex_
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
