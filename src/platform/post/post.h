#pragma once

// Hands an event or a call to the thread of a QObject from any thread; it
// runs when that thread's event loop comes to it. Qt's event queues lock
// with futexes that ThreadSanitizer cannot see, so in its builds these also
// tell it that what the posting thread did before happens before the
// receiver runs (every delivery takes over what was handed to its thread).

#include <QMetaObject>
#include <type_traits>
#include <utility>

class QEvent;
class QObject;

namespace kolvarin::post {

// QCoreApplication::postEvent: Qt takes the event.
void PostEvent(QObject* receiver, QEvent* event);

namespace detail {

// What this thread did so far happens before what another thread does after
// Acquire with the same key (no-ops outside ThreadSanitizer builds).
void Release(const void* key);
void Acquire(const void* key);
// Release keyed by the thread of `receiver`.
void HandOver(const QObject* receiver);

// A call as Qt queues it. Qt moves it into the object it queues, so the
// hand-over at each move follows every write to that object; the object is
// then shared by a reference count of Qt's, and whichever thread drops it
// last frees it, so the call hands back what the receiver did.
template <class Call>
class HandedOverCall {
public:
    HandedOverCall(const QObject* receiver, Call call) : call_(std::move(call)), receiver_(receiver) {}
    HandedOverCall(HandedOverCall&& other) : call_(std::move(other.call_)), receiver_(other.receiver_)
    {
        HandOver(receiver_);
    }
    ~HandedOverCall() { Acquire(this); }
    void operator()()
    {
        call_();
        Release(this);
    }

private:
    Call call_;
    const QObject* receiver_;
};

} // namespace detail

template <class Call>
void PostCall(QObject* context, Call&& call)
{
    QMetaObject::invokeMethod(context, detail::HandedOverCall<std::decay_t<Call>>(context, std::forward<Call>(call)),
                              Qt::QueuedConnection);
}

} // namespace kolvarin::post
