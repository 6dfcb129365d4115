#include "post/post.h"

#include <QCoreApplication>
#include <QThread>

#if defined(__SANITIZE_THREAD__)
#define KOLVARIN_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define KOLVARIN_THREAD_SANITIZER 1
#endif
#endif

#ifdef KOLVARIN_THREAD_SANITIZER
#include <sanitizer/tsan_interface.h>
#endif

namespace kolvarin::post {
namespace detail {

#ifdef KOLVARIN_THREAD_SANITIZER
namespace {

// Called for every event before it reaches an event filter or its receiver.
bool TakeOver(void** data)
{
    if (const QThread* thread = static_cast<const QObject*>(data[0])->thread())
        Acquire(thread);
    return false;
}

void RegisterTakeOver() { QInternal::registerCallback(QInternal::EventNotifyCallback, TakeOver); }
Q_CONSTRUCTOR_FUNCTION(RegisterTakeOver)

} // namespace

void Release(const void* key) { __tsan_release(const_cast<void*>(key)); }
void Acquire(const void* key) { __tsan_acquire(const_cast<void*>(key)); }
#else
void Release(const void*) {}
void Acquire(const void*) {}
#endif

void HandOver(const QObject* receiver)
{
    if (const QThread* thread = receiver->thread())
        Release(thread);
}

} // namespace detail

void PostEvent(QObject* receiver, QEvent* event)
{
    detail::HandOver(receiver);
    QCoreApplication::postEvent(receiver, event);
}

} // namespace kolvarin::post
