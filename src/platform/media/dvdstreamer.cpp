#include "media/dvdstreamer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>

extern "C" {
#include <libavformat/avformat.h>
}

#include "media/ffmediatypes.h"
#include "media/graphif.h"

namespace kolvarin::media {
namespace {

constexpr int kBlock = 2048;
constexpr int kVideo = 0, kAudio = 1, kSubpicture = 2;
// How far ahead of the stream time a unit after a jump or a still starts.
constexpr int64_t kLead90k = 90000 / 5;
constexpr int64_t kQueueBytes = 4 << 20;
// Little is read ahead of the stream time, so a change of stream is heard
// soon and the events stay close to what is shown.
constexpr int64_t kMaxLead = 10000000LL * 7 / 10; // 100 ns
// AVPacket::stream_index of a queued packet: a type index from 0, none, an
// event marker whose position names its batch, or a new segment whose
// position is its rate in kRateUnits.
constexpr int kNoNewType = -1, kEventMarker = -2, kRateMarker = -3;
constexpr double kRateUnits = 1e6;
constexpr size_t kMaxAnchors = 256;
// A sequence end code: makes the video decoder put out the picture it holds
// back, so a still shows its own last picture, and the last picture before
// a jump keeps its time rather than one of the new place's.
constexpr uint8_t kSequenceEnd[4] = {0, 0, 1, 0xB7};

// The physical audio stream of a program-stream identifier, or -1.
int AudioNumber(int id)
{
    if (id >= 0x80 && id <= 0x87) // AC-3
        return id - 0x80;
    if (id >= 0x88 && id <= 0x8F) // DTS
        return id - 0x88;
    if (id >= 0xA0 && id <= 0xA7) // LPCM
        return id - 0xA0;
    if (id >= 0x1C0 && id <= 0x1C7) // MPEG audio
        return id - 0x1C0;
    return -1;
}

} // namespace

DvdStreamer::DvdStreamer(DvdSession& session, Pins pins, Notify notify, StreamTime streamTime)
    : session_(session), notify_(std::move(notify)), streamTime_(std::move(streamTime))
{
    pins_[kVideo].pin = pins.video;
    pins_[kAudio].pin = pins.audio;
    pins_[kSubpicture].pin = pins.subpicture;
}

DvdStreamer::~DvdStreamer() { Stop(); }

void DvdStreamer::Start()
{
    if (running_)
        return;
    abort_ = false;
    break_ = Break::None;
    placed_ = false;
    seam_.reset();
    nextStart_ = 0;
    pending_.clear();
    DropQueuedEvents();
    for (auto& p : pins_) {
        if (!Connected(p))
            continue;
        // Packets of the connection's codec need no new type (a new type
        // makes the decoder start over).
        const CodecParametersPtr params = CodecParametersOfType(p.pin->CurrentMediaType());
        p.codec = params ? params->codec_id : 0;
        p.rate = rate_;
        p.pin->DeliverNewSegment(0, INT64_MAX, p.rate);
    }
    StartDelivery();
    ShowSubpictures(session_.SubpicturesShown());
    UpdateHighlight();
    reader_ = std::thread([this] { ReadLoop(); });
    running_ = true;
}

void DvdStreamer::Stop()
{
    if (!running_)
        return;
    abort_ = true;
    {
        MutexLock lock(wakeLock_);
        wake_ = true;
    }
    woken_.notify_all();
    for (auto& p : pins_)
        p.queue.Abort();
    if (reader_.joinable())
        reader_.join();
    StopDelivery();
    running_ = false;
}

bool DvdStreamer::SetRate(double rate) { return rate_.exchange(rate) != rate; }

void DvdStreamer::Wake()
{
    {
        MutexLock lock(wakeLock_);
        wake_ = true;
    }
    woken_.notify_all();
}

ComPtr<IDvdSubpictureSink> DvdStreamer::SubpictureSink() const
{
    const OutputPin* pin = pins_[kSubpicture].pin;
    IPin* peer = pin ? pin->Peer() : nullptr;
    return peer ? QueryAs<IDvdSubpictureSink>(peer) : nullptr;
}

void DvdStreamer::UpdateHighlight()
{
    if (const auto sink = SubpictureSink())
        sink->SetHighlight(session_.Highlight());
}

void DvdStreamer::ShowSubpictures(bool show)
{
    if (const auto sink = SubpictureSink())
        sink->ShowSubpictures(show);
}

bool DvdStreamer::WaitForCommand(int ms)
{
    MutexLock lock(wakeLock_);
    // A wake left from a command that was dealt with before must not end
    // this wait; one whose jump is still to come must.
    if (!session_.UserJumpPending())
        wake_ = false;
    const auto woken = [&]() REQUIRES(wakeLock_) { return wake_ || abort_; };
    if (ms < 0)
        lock.Wait(woken_, woken);
    else
        lock.WaitFor(woken_, std::chrono::milliseconds(ms), woken);
    const bool was = wake_;
    wake_ = false;
    return was && !abort_;
}

void DvdStreamer::StartDelivery()
{
    for (auto& p : pins_) {
        if (!Connected(p))
            continue;
        p.queue.Clear();
        p.thread = std::thread([this, &p] { DeliverLoop(p); });
    }
}

void DvdStreamer::StopDelivery()
{
    for (auto& p : pins_) {
        p.queue.Abort();
        if (p.thread.joinable())
            p.thread.join();
        p.queue.Clear();
    }
}

// Drops what is queued and what the decoders hold: playback jumped.
void DvdStreamer::Flush()
{
    for (auto& p : pins_)
        if (Connected(p))
            p.pin->DeliverBeginFlush();
    StopDelivery();
    // The old place's pictures go, but what it announced (a new domain,
    // title or chapter) still happened, and is never announced again.
    SendEvents(std::numeric_limits<int64_t>::max());
    SendEvents(-1);
    for (auto& p : pins_)
        if (Connected(p)) {
            p.pin->DeliverEndFlush();
            p.rate = rate_;
            p.pin->DeliverNewSegment(0, INT64_MAX, p.rate);
        }
    placed_ = false;
    seam_.reset();
    nextStart_ = 0;
    StartDelivery();
}

int DvdStreamer::ReadPacket(void* self, uint8_t* buffer, int size)
{
    return static_cast<DvdStreamer*>(self)->Read(buffer, size);
}

int DvdStreamer::Read(uint8_t* buffer, int size)
{
    if (break_ != Break::None || size < kBlock)
        return AVERROR_EOF;
    if (seam_) {
        StartVobu(seam_->first, seam_->second);
        seam_.reset();
    }
    uint8_t block[kBlock];
    for (;;) {
        if (abort_) {
            break_ = Break::Abort;
            return AVERROR_EOF;
        }
        DvdSession::Reading r;
        const DvdSession::Step step = session_.Next(block, &r);
        pending_.insert(pending_.end(), r.events.begin(), r.events.end());
        if (r.palette)
            if (const auto sink = SubpictureSink())
                sink->SetPalette(*r.palette);
        switch (step) {
        case DvdSession::Step::Block:
            std::memcpy(buffer, r.data, kBlock);
            position_ += kBlock;
            return kBlock;
        case DvdSession::Step::VobuStart:
            // A unit off the time line ends the demuxer first, so what its
            // parsers hold of the old one goes out with the old one's times.
            if (placed_ && r.vobuStart != lastEnd_ && position_ > demuxerStart_) {
                seam_.emplace(r.vobuStart, r.vobuEnd);
                break_ = Break::Seam;
                return AVERROR_EOF;
            }
            StartVobu(r.vobuStart, r.vobuEnd);
            break;
        case DvdSession::Step::Still:
            stillSeconds_ = r.stillSeconds;
            break_ = Break::Still;
            return AVERROR_EOF;
        case DvdSession::Step::Wait: session_.SkipWait(); break;
        case DvdSession::Step::Jump: break_ = Break::Jump; return AVERROR_EOF;
        case DvdSession::Step::Stop: break_ = Break::Stop; return AVERROR_EOF;
        case DvdSession::Step::Error: break_ = Break::Error; return AVERROR_EOF;
        case DvdSession::Step::Nothing: break;
        }
    }
}

void DvdStreamer::StartVobu(uint32_t start, uint32_t end)
{
    PlaceVobu(start, end);
    audioStream_ = session_.AudioToPlay();
    subpictureStream_ = session_.SubpictureToPlay();
}

void DvdStreamer::PlaceVobu(uint32_t start, uint32_t end)
{
    const double rate = rate_;
    const bool follows = placed_ && start == lastEnd_;
    if (!follows || anchors_.back().rate != rate) {
        // A unit that follows at another rate goes on where the last ended.
        int64_t at = nextStart_;
        const REFERENCE_TIME now = streamTime_();
        // The first unit before the graph ever ran starts at 0.
        if (!follows && (placed_ || now > 0))
            at = std::max(at, now >= 0 ? now * 9 / 1000 + kLead90k : at);
        anchors_.push_back({position_, start, at, rate});
        if (anchors_.size() > kMaxAnchors)
            anchors_.erase(anchors_.begin(), anchors_.begin() + kMaxAnchors / 2);
        placed_ = true;
    }
    lastEnd_ = end;
    nextStart_ = std::max(nextStart_, StreamTimeOf(AnchorAt(position_), end));
}

const DvdStreamer::Anchor& DvdStreamer::AnchorAt(int64_t position) const
{
    static const Anchor none;
    if (anchors_.empty())
        return none;
    auto it = std::upper_bound(anchors_.begin(), anchors_.end(), position,
                               [](int64_t pos, const Anchor& a) { return pos < a.position; });
    return it == anchors_.begin() ? anchors_.front() : *std::prev(it);
}

int64_t DvdStreamer::StreamTimeOf(const Anchor& anchor, int64_t time)
{
    return anchor.stream + std::llround(double(time - anchor.disc) / anchor.rate);
}

bool DvdStreamer::OpenDemuxer()
{
    static const bool quiet = [] {
        av_log_set_level(AV_LOG_FATAL); // damaged data is reported by events, not on stderr
        return true;
    }();
    (void)quiet;
    demuxerStart_ = position_;
    constexpr int kIoBuffer = kBlock * 8;
    auto* buffer = static_cast<uint8_t*>(av_malloc(kIoBuffer));
    if (!buffer)
        return false;
    io_ = avio_alloc_context(buffer, kIoBuffer, 0, this, &DvdStreamer::ReadPacket, nullptr, nullptr);
    if (!io_) {
        av_free(buffer);
        return false;
    }
    fmt_ = avformat_alloc_context();
    if (!fmt_)
        return false;
    fmt_->pb = io_;
    fmt_->flags |= AVFMT_FLAG_CUSTOM_IO;
    if (avformat_open_input(&fmt_, nullptr, av_find_input_format("mpeg"), nullptr) < 0) {
        fmt_ = nullptr; // freed by the failed open
        return false;
    }
    return true;
}

void DvdStreamer::CloseDemuxer()
{
    avformat_close_input(&fmt_);
    if (io_) {
        av_freep(&io_->buffer);
        avio_context_free(&io_);
    }
}

void DvdStreamer::Route(AVPacket* packet)
{
    const AVStream* st = fmt_->streams[packet->stream_index];
    const int id = st->id;
    int target = -1;
    if (id >= 0x1E0 && id <= 0x1EF)
        target = kVideo;
    else if (const int a = AudioNumber(id); a >= 0 && a == audioStream_)
        target = kAudio;
    else if (id >= 0x20 && id <= 0x3F && id - 0x20 == subpictureStream_)
        target = kSubpicture;
    PinQueue* p = target >= 0 && Connected(pins_[target]) ? &pins_[target] : nullptr;
    if (!p) {
        av_packet_free(&packet);
        return;
    }
    const int64_t ts = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
    const Anchor& anchor = AnchorAt(packet->pos >= 0 ? demuxerStart_ + packet->pos : position_);
    packet->pts =
        ts == AV_NOPTS_VALUE ? AV_NOPTS_VALUE : av_rescale_q(StreamTimeOf(anchor, ts), st->time_base, {1, 10000000});
    packet->duration = std::llround(av_rescale_q(packet->duration, st->time_base, {1, 10000000}) / anchor.rate);
    packet->time_base = {1, 10000000};
    if (anchor.rate != p->rate) { // the packets from here on play at the anchor's rate
        AVPacket* segment = av_packet_alloc();
        if (segment) {
            segment->stream_index = kRateMarker;
            segment->pos = std::llround(anchor.rate * kRateUnits);
            p->queue.Push(segment);
            p->rate = anchor.rate;
        }
    }
    // The stream index now names the type the packet is of, kept in types_.
    const int codec = st->codecpar->codec_id;
    packet->stream_index = kNoNewType;
    if (target == kVideo)
        QueueEvents();
    if (codec != p->codec) {
        p->codec = codec;
        MutexLock lock(typesLock_);
        types_.push_back(MediaTypeOfStream(st));
        packet->stream_index = static_cast<int>(types_.size()) - 1;
    }
    for (;;) {
        const REFERENCE_TIME now = streamTime_();
        const bool ahead = now >= 0 && packet->pts != AV_NOPTS_VALUE && packet->pts - now > kMaxLead;
        if (abort_ || (!ahead && p->queue.Bytes() < kQueueBytes))
            break;
        p->queue.WaitForRoom(kQueueBytes, INT64_MAX, 20);
    }
    p->queue.Push(packet);
}

void DvdStreamer::ReadLoop()
{
    while (!abort_) {
        break_ = Break::None;
        const bool opened = OpenDemuxer();
        if (!opened && break_ == Break::None)
            break_ = Break::Error;
        if (opened) {
            AVPacket* packet = av_packet_alloc();
            while (packet && av_read_frame(fmt_, packet) >= 0) {
                AVPacket* taken = av_packet_alloc();
                if (!taken)
                    break;
                av_packet_move_ref(taken, packet);
                Route(taken);
            }
            av_packet_free(&packet);
        }
        CloseDemuxer();
        if (break_ == Break::Jump && session_.TakeUserJump()) {
            Flush();
            continue;
        }
        if (break_ != Break::Still) // a still's events follow its picture
            QueueEvents();
        switch (break_) {
        case Break::Still: EndStill(stillSeconds_); break;
        case Break::Jump:
        case Break::Seam: // the old place's last picture goes out with its own time
            EndSequence();
            break;
        case Break::None: // the demuxer gave up on the data: read on
            break;
        case Break::Stop:
        case Break::Error:
            EndOfStream();
            WaitForCommand(-1);
            if (session_.TakeUserJump())
                Flush();
            break;
        case Break::Abort: return;
        }
    }
}

void DvdStreamer::EndSequence()
{
    if (!Connected(pins_[kVideo]))
        return;
    AVPacket* end = av_packet_alloc();
    if (end && av_new_packet(end, sizeof kSequenceEnd) == 0) {
        std::memcpy(end->data, kSequenceEnd, sizeof kSequenceEnd);
        end->stream_index = kNoNewType;
        pins_[kVideo].queue.Push(end);
    } else {
        av_packet_free(&end);
    }
}

void DvdStreamer::EndStill(int seconds)
{
    EndSequence();
    QueueEvents();
    const bool woken = WaitForCommand(seconds == 255 ? -1 : seconds * 1000);
    if (abort_)
        return;
    session_.SkipStill();
    if (woken && session_.TakeUserJump())
        Flush(); // sends the still's own events if its picture was not shown yet
    notify_(EC_DVD_STILL_OFF, 0, 0);
}

void DvdStreamer::QueueEvents()
{
    if (pending_.empty())
        return;
    PinQueue& video = pins_[kVideo];
    AVPacket* marker = Connected(video) ? av_packet_alloc() : nullptr;
    if (!marker) {
        SendEvents(-1);
        return;
    }
    {
        MutexLock lock(eventsLock_);
        batches_.emplace_back(nextBatch_, std::move(pending_));
    }
    pending_.clear();
    marker->stream_index = kEventMarker;
    marker->pos = nextBatch_++;
    video.queue.Push(marker);
}

// batch -1: the events not queued yet; else the queued batch of that number
// and any older one.
void DvdStreamer::SendEvents(int64_t batch)
{
    std::vector<DvdEvent> events;
    if (batch < 0) {
        events.swap(pending_);
    } else {
        MutexLock lock(eventsLock_);
        while (!batches_.empty() && batches_.front().first <= batch) {
            auto& front = batches_.front().second;
            events.insert(events.end(), front.begin(), front.end());
            batches_.pop_front();
        }
    }
    for (const DvdEvent& e : events) {
        if (e.code == EC_DVD_BUTTON_CHANGE) // the highlight goes with the picture it belongs to
            UpdateHighlight();
        notify_(e.code, e.param1, e.param2);
    }
}

void DvdStreamer::DropQueuedEvents()
{
    MutexLock lock(eventsLock_);
    batches_.clear();
}

void DvdStreamer::EndOfStream()
{
    for (auto& p : pins_)
        if (Connected(p))
            p.queue.Push(nullptr);
}

void DvdStreamer::DeliverLoop(PinQueue& p)
{
    AVPacket* packet = nullptr;
    bool first = true;
    while (p.queue.Pop(&packet)) {
        if (!packet) {
            p.pin->DeliverEndOfStream();
            continue;
        }
        if (packet->stream_index == kEventMarker) {
            SendEvents(packet->pos);
            av_packet_free(&packet);
            continue;
        }
        if (packet->stream_index == kRateMarker) {
            p.pin->DeliverNewSegment(0, INT64_MAX, double(packet->pos) / kRateUnits);
            av_packet_free(&packet);
            continue;
        }
        ComPtr<MediaSample> sample = MakeCom<MediaSample>(packet->size);
        uint8_t* data = nullptr;
        sample->GetPointer(&data);
        std::copy(packet->data, packet->data + packet->size, data);
        sample->SetActualDataLength(packet->size);
        if (packet->pts != AV_NOPTS_VALUE) {
            const REFERENCE_TIME start = packet->pts;
            const REFERENCE_TIME stop = start + std::max<int64_t>(1, packet->duration);
            sample->SetTime(&start, &stop);
        }
        sample->SetSyncPoint(packet->flags & AV_PKT_FLAG_KEY);
        sample->SetDiscontinuity(first);
        first = false;
        if (packet->stream_index != kNoNewType) {
            AMMediaType type;
            {
                MutexLock lock(typesLock_);
                type = types_[static_cast<size_t>(packet->stream_index)];
            }
            sample->SetMediaType(&type);
            p.pin->SetCurrentMediaType(type);
        }
        av_packet_free(&packet);
        const HRESULT hr = p.pin->Deliver(sample.get());
        if (Failed(hr) && hr != VFW_E_NOT_CONNECTED) {
            notify_(EC_ERRORABORT, hr, 0);
            return;
        }
    }
}

} // namespace kolvarin::media
