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
    ~SyncDispatcher()
    {
        stop();
        if (thread_.joinable())
            thread_.detach();
    }
    void start();
    // Ends the thread; events still queued are dropped. From inside a
    // callback the thread ends once the callback returns.
    void stop();
    void post(const std::vector<SyncEvent>& events);
    // Returns once every event posted before the call has been handled.
    void waitIdle();

private:
    void run(unsigned generation);
    // Guards the queue and the thread's state below; taken last (the engine
    // posts under its own lock), let go while a callback runs.
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<SyncEvent> queue_;
    bool busy_ = false;
    unsigned generation_ = 0; // a thread runs while its generation is current
    bool running_ = false;
    std::thread thread_;
};

} // namespace kolvarin::audio
