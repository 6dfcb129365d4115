#include "media/packetqueue.h"

#include <chrono>

namespace kolvarin::media {

bool PacketQueue::Push(AVPacket* packet)
{
    {
        std::lock_guard lock(lock_);
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
    std::unique_lock lock(lock_);
    changed_.wait(lock, [&] { return aborted_ || !packets_.empty(); });
    if (aborted_)
        return false;
    *packet = packets_.front();
    packets_.pop_front();
    if (*packet) {
        bytes_ -= (*packet)->size;
        duration_ -= (*packet)->duration > 0 ? (*packet)->duration : 0;
    }
    lock.unlock();
    changed_.notify_all();
    return true;
}

void PacketQueue::Abort()
{
    {
        std::lock_guard lock(lock_);
        aborted_ = true;
    }
    changed_.notify_all();
}

void PacketQueue::Clear()
{
    std::lock_guard lock(lock_);
    for (AVPacket* p : packets_)
        av_packet_free(&p);
    packets_.clear();
    bytes_ = duration_ = 0;
    aborted_ = false;
}

bool PacketQueue::Empty() const
{
    std::lock_guard lock(lock_);
    return packets_.empty();
}

int64_t PacketQueue::Bytes() const
{
    std::lock_guard lock(lock_);
    return bytes_;
}

int64_t PacketQueue::Duration() const
{
    std::lock_guard lock(lock_);
    return duration_;
}

void PacketQueue::WaitForRoom(int64_t maxBytes, int64_t maxDuration, int msTimeout)
{
    std::unique_lock lock(lock_);
    changed_.wait_for(lock, std::chrono::milliseconds(msTimeout),
                      [&] { return aborted_ || (bytes_ < maxBytes && duration_ < maxDuration); });
}

} // namespace kolvarin::media
