#pragma once

// The graph's event queue: filters notify from any thread; the main thread
// takes events out. Each queued event posts one WindowMessageEvent to the
// notify receiver.

#include <condition_variable>
#include <cstdint>
#include <deque>

#include <QPointer>

#include "base/threadsafety.h"
#include "media/graphif.h"

namespace kolvarin::media {

class EventQueue {
public:
    void SetReceiver(QObject* receiver, int32_t message, intptr_t instance);
    void SetFlags(int32_t flags);
    int32_t Flags() const;
    void Push(int32_t code, intptr_t param1, intptr_t param2);
    // Waits up to msTimeout (negative: forever) for an event.
    bool Pop(int32_t& code, intptr_t& param1, intptr_t& param2, int32_t msTimeout);
    // Frees the parameters of every queued event and empties the queue.
    void Clear();

private:
    struct Event {
        int32_t code;
        intptr_t param1, param2;
    };
    // Guards everything below; taken alone (Push posts under it).
    mutable Mutex lock_;
    std::condition_variable queued_;
    std::deque<Event> events_ GUARDED_BY(lock_);
    QPointer<QObject> receiver_ GUARDED_BY(lock_);
    int32_t message_ GUARDED_BY(lock_) = 0;
    intptr_t instance_ GUARDED_BY(lock_) = 0;
    int32_t flags_ GUARDED_BY(lock_) = 0;
};

// Frees what the framework allocated for an event's parameters.
void FreeParams(int32_t code, intptr_t param1, intptr_t param2);

} // namespace kolvarin::media
