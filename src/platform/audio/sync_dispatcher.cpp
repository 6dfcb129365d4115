#include "audio/sync_dispatcher.h"

namespace kolvarin::audio {

void SyncDispatcher::start()
{
    std::lock_guard lock(mutex_);
    if (running_)
        return;
    if (thread_.joinable())
        thread_.detach(); // a stopped thread that is still inside its last callback
    running_ = true;
    queue_.clear();
    const unsigned generation = ++generation_;
    thread_ = std::thread([this, generation] { run(generation); });
}

void SyncDispatcher::stop()
{
    std::thread thread;
    {
        std::lock_guard lock(mutex_);
        if (!running_)
            return;
        running_ = false;
        ++generation_;
        queue_.clear();
        if (thread_.get_id() != std::this_thread::get_id())
            thread = std::move(thread_);
    }
    wake_.notify_all();
    idle_.notify_all();
    if (thread.joinable())
        thread.join();
}

void SyncDispatcher::post(const std::vector<SyncEvent>& events)
{
    if (events.empty())
        return;
    {
        std::lock_guard lock(mutex_);
        if (!running_)
            return;
        queue_.insert(queue_.end(), events.begin(), events.end());
    }
    wake_.notify_one();
}

void SyncDispatcher::waitIdle()
{
    std::unique_lock lock(mutex_);
    if (thread_.get_id() == std::this_thread::get_id())
        return;
    idle_.wait(lock, [this] { return (queue_.empty() && !busy_) || !running_; });
}

void SyncDispatcher::run(unsigned generation)
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return generation != generation_ || !queue_.empty(); });
        while (generation == generation_ && !queue_.empty()) {
            const auto due = queue_.front().due;
            if (wake_.wait_until(lock, due, [&] { return generation != generation_; }))
                break;
            if (queue_.empty())
                break;
            const SyncEvent event = queue_.front();
            queue_.pop_front();
            busy_ = true;
            lock.unlock();
            if (event.proc)
                event.proc(event.sync, event.channel, 0, event.user);
            lock.lock();
            busy_ = false;
        }
        idle_.notify_all();
        if (generation != generation_)
            return;
    }
}

} // namespace kolvarin::audio
