#include "audio/sync_dispatcher.h"

namespace kolvarin::audio {

void SyncDispatcher::start()
{
    std::lock_guard lock(mutex_);
    if (thread_.joinable())
        return;
    stopping_ = false;
    thread_ = std::thread([this] { run(); });
}

void SyncDispatcher::stop()
{
    {
        std::lock_guard lock(mutex_);
        if (!thread_.joinable())
            return;
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.get_id() == std::this_thread::get_id())
        thread_.detach(); // freed from inside a callback
    else
        thread_.join();
}

void SyncDispatcher::post(const std::vector<SyncEvent>& events)
{
    if (events.empty())
        return;
    {
        std::lock_guard lock(mutex_);
        queue_.insert(queue_.end(), events.begin(), events.end());
    }
    wake_.notify_one();
}

void SyncDispatcher::waitIdle()
{
    std::unique_lock lock(mutex_);
    if (thread_.get_id() == std::this_thread::get_id())
        return;
    idle_.wait(lock, [this] { return (queue_.empty() && !busy_) || !thread_.joinable(); });
}

void SyncDispatcher::run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        while (!queue_.empty()) {
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
        if (stopping_)
            return;
    }
}

} // namespace kolvarin::audio
