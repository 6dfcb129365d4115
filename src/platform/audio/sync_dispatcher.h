#pragma once

// The thread that calls sync callbacks, so that they never run inside the
// output callback or under the engine lock.

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "audio/channel.h"

namespace kolvarin::audio {

class SyncDispatcher {
public:
    SyncDispatcher() = default;
    ~SyncDispatcher() { stop(); }
    void start();
    // Calls what is queued, then ends the thread.
    void stop();
    void post(const std::vector<SyncEvent>& events);
    // Returns once every event posted before the call has been handled.
    void waitIdle();

private:
    void run();
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<SyncEvent> queue_;
    bool busy_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace kolvarin::audio
