#pragma once

// A queue of compressed packets between a source's reading thread and the
// thread that delivers one output pin. The reader waits while the queue is
// full; both sides wake when the queue is aborted.

#include <condition_variable>
#include <cstdint>
#include <deque>

#include "base/threadsafety.h"

extern "C" {
#include <libavcodec/packet.h>
}

namespace kolvarin::media {

class PacketQueue {
public:
    ~PacketQueue() { Clear(); }
    // Takes the packet (nullptr: end of stream). False when aborted.
    bool Push(AVPacket* packet);
    // Waits for a packet; false when aborted. *packet nullptr = end of stream.
    bool Pop(AVPacket** packet);
    void Abort();
    // Empties the queue and clears the abort.
    void Clear();
    bool Empty() const;
    int64_t Bytes() const;
    // Duration of the queued packets in their time base units.
    int64_t Duration() const;
    // Blocks until the queue drops below the limits, something is taken, or
    // an abort; used by the reader with a time-out so it can re-check others.
    void WaitForRoom(int64_t maxBytes, int64_t maxDuration, int msTimeout);

private:
    // Guards everything below; taken alone.
    mutable Mutex lock_;
    std::condition_variable changed_;
    std::deque<AVPacket*> packets_ GUARDED_BY(lock_);
    int64_t bytes_ GUARDED_BY(lock_) = 0;
    int64_t duration_ GUARDED_BY(lock_) = 0;
    bool aborted_ GUARDED_BY(lock_) = false;
};

} // namespace kolvarin::media
