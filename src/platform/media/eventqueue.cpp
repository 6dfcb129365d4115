#include "media/eventqueue.h"

#include <atomic>
#include <cstring>

#include <QCoreApplication>

#include "media/notify.h"
#include "post/post.h"

namespace kolvarin::media {
namespace {

std::atomic<int> liveParams{0};

} // namespace

QEvent::Type WindowMessageEvent::EventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

intptr_t AllocEventString(const std::u16string& text)
{
    auto* p = new char16_t[text.size() + 1];
    std::memcpy(p, text.c_str(), (text.size() + 1) * sizeof(char16_t));
    ++liveParams;
    return reinterpret_cast<intptr_t>(p);
}

const char16_t* EventStringText(intptr_t param) { return reinterpret_cast<const char16_t*>(param); }

intptr_t AllocEventTime(int64_t time)
{
    ++liveParams;
    return reinterpret_cast<intptr_t>(new int64_t(time));
}

int LiveEventParams() { return liveParams; }

void FreeParams(int32_t code, intptr_t param1, intptr_t param2)
{
    if (code == EC_OLE_EVENT) {
        for (intptr_t p : {param1, param2})
            if (p) {
                delete[] reinterpret_cast<char16_t*>(p);
                --liveParams;
            }
    } else if (code == EC_END_OF_SEGMENT && param1) {
        delete reinterpret_cast<int64_t*>(param1);
        --liveParams;
    }
}

void EventQueue::SetReceiver(QObject* receiver, int32_t message, intptr_t instance)
{
    MutexLock lock(lock_);
    receiver_ = receiver;
    message_ = message;
    instance_ = instance;
}

void EventQueue::SetFlags(int32_t flags)
{
    MutexLock lock(lock_);
    flags_ = flags;
}

int32_t EventQueue::Flags() const
{
    MutexLock lock(lock_);
    return flags_;
}

void EventQueue::Push(int32_t code, intptr_t param1, intptr_t param2)
{
    {
        MutexLock lock(lock_);
        if (flags_ & 1) {
            FreeParams(code, param1, param2);
            return;
        }
        events_.push_back({code, param1, param2});
        if (receiver_)
            post::PostEvent(receiver_.data(), new WindowMessageEvent(message_, 0, instance_));
    }
    queued_.notify_all();
}

bool EventQueue::Pop(int32_t& code, intptr_t& param1, intptr_t& param2, int32_t msTimeout)
{
    MutexLock lock(lock_);
    auto ready = [&]() REQUIRES(lock_) { return !events_.empty(); };
    if (msTimeout < 0)
        lock.Wait(queued_, ready);
    else if (!lock.WaitFor(queued_, std::chrono::milliseconds(msTimeout), ready))
        return false;
    const Event e = events_.front();
    events_.pop_front();
    code = e.code;
    param1 = e.param1;
    param2 = e.param2;
    return true;
}

void EventQueue::Clear()
{
    MutexLock lock(lock_);
    for (const auto& e : events_)
        FreeParams(e.code, e.param1, e.param2);
    events_.clear();
}

} // namespace kolvarin::media
