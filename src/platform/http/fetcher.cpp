#include "http/fetcher.h"

#include "post/post.h"

namespace kolvarin::http {

Fetcher::Fetcher(QObject* context) : context_(context), generation_(std::make_shared<std::atomic<std::uint64_t>>(0))
{
    worker_ = std::thread([this] { run(); });
}

Fetcher::~Fetcher()
{
    {
        MutexLock lock(mutex_);
        stopping_ = true;
        jobs_.clear();
    }
    ++*generation_;
    cancel_ = true;
    wake_.notify_all();
    worker_.join();
}

void Fetcher::get(HttpRequest request, Done done)
{
    request.cancel = &cancel_;
    ++pending_;
    MutexLock lock(mutex_);
    jobs_.push_back(Job{std::move(request), std::move(done), generation_->load()});
    wake_.notify_all();
}

void Fetcher::cancelAll()
{
    MutexLock lock(mutex_);
    jobs_.clear();
    pending_ = 0;
    // Results already under way or queued for delivery carry the old
    // generation and are dropped on arrival.
    ++*generation_;
    cancel_ = true;
}

void Fetcher::run()
{
    for (;;) {
        Job job;
        {
            MutexLock lock(mutex_);
            lock.Wait(wake_, [this]() REQUIRES(mutex_) { return stopping_ || !jobs_.empty(); });
            if (stopping_)
                return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
            if (job.generation == generation_->load())
                cancel_ = false;
        }
        HttpResult result = HttpGet(job.request);
        MutexLock lock(mutex_);
        if (stopping_)
            return;
        auto deliver = [this, generations = generation_, wanted = job.generation, done = std::move(job.done),
                        result = std::move(result)]() mutable {
            if (generations->load() != wanted)
                return; // cancelled, and pending_ was settled then
            --pending_;
            done(std::move(result));
        };
        post::PostCall(context_, std::move(deliver));
    }
}

} // namespace kolvarin::http
