#include "media/packetqueue.h"

#include <chrono>

namespace kolvarin::media {

bool PacketQueue::Push(AVPacket* packet)
{
    {
        MutexLock lock(lock_);
        if (aborted_) {
            av_packet_free(&packet);
            return false;
        }
        packets_.push_back(packet);
        if (packet) {
            bytes_ += packet->size;
            duration_ += packet->duration > 0 ? packet->duration : 0;
        }
    }
    changed_.notify_all();
    return true;
}

bool PacketQueue::Pop(AVPacket** packet)
{
    MutexLock lock(lock_);
    lock.Wait(changed_, [&]() REQUIRES(lock_) { return aborted_ || !packets_.empty(); });
    if (aborted_)
        return false;
    *packet = packets_.front();
    packets_.pop_front();
    if (*packet) {
        bytes_ -= (*packet)->size;
        duration_ -= (*packet)->duration > 0 ? (*packet)->duration : 0;
    }
    lock.Unlock();
    changed_.notify_all();
    return true;
}

void PacketQueue::Abort()
{
    {
        MutexLock lock(lock_);
        aborted_ = true;
    }
    changed_.notify_all();
}

void PacketQueue::Clear()
{
    MutexLock lock(lock_);
    for (AVPacket* p : packets_)
        av_packet_free(&p);
    packets_.clear();
    bytes_ = duration_ = 0;
    aborted_ = false;
}

bool PacketQueue::Empty() const
{
    MutexLock lock(lock_);
    return packets_.empty();
}

int64_t PacketQueue::Bytes() const
{
    MutexLock lock(lock_);
    return bytes_;
}

int64_t PacketQueue::Duration() const
{
    MutexLock lock(lock_);
    return duration_;
}

void PacketQueue::WaitForRoom(int64_t maxBytes, int64_t maxDuration, int msTimeout)
{
    MutexLock lock(lock_);
    lock.WaitFor(changed_, std::chrono::milliseconds(msTimeout),
                 [&]() REQUIRES(lock_) { return aborted_ || (bytes_ < maxBytes && duration_ < maxDuration); });
}

} // namespace kolvarin::media
