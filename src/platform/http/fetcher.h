#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <thread>

#include "base/threadsafety.h"
#include "http/http.h"

class QObject;

namespace kolvarin::http {

// Runs GET requests one after the other on a worker thread of its own and
// hands each result to the thread of the context object through its event
// loop (a queued call), so the caller's window never waits for the network.
// Create, call and destroy on the context's thread; the context must outlive
// the fetcher (make the fetcher a member of it). Destruction cancels the
// transfer under way and waits for the worker; no callback runs after it.
class Fetcher {
public:
    using Done = std::function<void(HttpResult)>;

    explicit Fetcher(QObject* context);
    ~Fetcher();
    Fetcher(const Fetcher&) = delete;
    Fetcher& operator=(const Fetcher&) = delete;

    // Queues the request; done runs later on the context's thread, never
    // from inside this call. The request's own cancel flag is replaced.
    void get(HttpRequest request, Done done);
    // Drops the queued requests and gives up the one under way; their
    // callbacks do not run.
    void cancelAll();
    // True while a request is queued, running or waiting for its callback.
    bool busy() const { return pending_ > 0; }

private:
    struct Job {
        HttpRequest request;
        Done done;
        std::uint64_t generation;
    };
    void run();

    QObject* context_;
    std::shared_ptr<std::atomic<std::uint64_t>> generation_;
    std::atomic<bool> cancel_{false};
    int pending_ = 0; // callbacks still to come; main thread only
    // Guards the queue and the stop; held while a result is posted, so none
    // is posted once the destructor has stopped the worker. Taken alone.
    Mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> jobs_ GUARDED_BY(mutex_);
    bool stopping_ GUARDED_BY(mutex_) = false;
    std::thread worker_;
};

} // namespace kolvarin::http
