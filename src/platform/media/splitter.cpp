#include "media/splitter.h"

#include <atomic>
#include <cmath>
#include <filesystem>
#include <thread>
#include <utility>

extern "C" {
#include <libavformat/avformat.h>
}

#include "media/controlif.h"
#include "media/ffmediatypes.h"
#include "media/filterbase.h"
#include "media/graphif.h"
#include "media/locale.h"
#include "media/packetqueue.h"
#include "media/uuids.h"

namespace kolvarin::media {
namespace {

constexpr AVRational kTime100ns{1, 10000000};
constexpr int64_t kSoftQueueBytes = 32 << 20;
constexpr int64_t kHardQueueBytes = 160 << 20;
constexpr int64_t kSoftQueueSeconds = 4;

enum Group { kVideo = 0, kAudio = 1, kSubtitle = 2, kGroups = 3 };

std::string Utf8(const std::u16string& s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        uint32_t c = s[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size()) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        }
        if (c < 0x80)
            out += static_cast<char>(c);
        else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | c >> 18);
            out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::u16string Utf16(const char* s)
{
    std::u16string out;
    for (; s && *s; ++s)
        out += static_cast<char16_t>(static_cast<unsigned char>(*s));
    return out;
}

struct Stream {
    int index = -1;
    Group group = kVideo;
    AMMediaType type;
    LCID lcid = 0;
    std::u16string name;
};

struct PinState {
    OutputPin* pin = nullptr;
    int active = -1; // index into streams_
    PacketQueue queue;
    std::thread thread;
    int delivered = -1; // the file's stream the last packet came from
    bool first = true; // the next sample starts a segment
};

class Splitter final : public FilterWith<IFileSourceFilter, IAMStreamSelect, IMediaSeeking> {
public:
    Splitter() : Extend(CLSID_MediaSplitter, u"Media Splitter") {}
    ~Splitter() override
    {
        StopStreaming();
        avformat_close_input(&fmt_);
    }

    // ---- IFileSourceFilter
    HRESULT Load(const std::u16string& fileName, const AMMediaType*) override
    {
        if (fmt_)
            return E_UNEXPECTED;
        const std::string path = Utf8(fileName);
        const bool url = path.find("://") != std::string::npos;
        std::error_code ec;
        if (!url && !std::filesystem::is_regular_file(std::filesystem::u8path(path), ec))
            return E_FILE_NOT_FOUND;
        static const bool quiet = [] {
            av_log_set_level(AV_LOG_FATAL); // bad files are reported by our results, not on stderr
            return true;
        }();
        (void)quiet;
        fmt_ = avformat_alloc_context();
        if (!fmt_)
            return E_OUTOFMEMORY;
        fmt_->interrupt_callback = {&Splitter::Interrupted, this};
        if (avformat_open_input(&fmt_, path.c_str(), nullptr, nullptr) < 0)
            return VFW_E_UNKNOWN_FILE_TYPE;
        if (avformat_find_stream_info(fmt_, nullptr) < 0) {
            avformat_close_input(&fmt_);
            return VFW_E_INVALID_FILE_FORMAT;
        }
        file_ = fileName;
        CollectStreams();
        if (streams_.empty()) {
            avformat_close_input(&fmt_);
            return VFW_E_UNSUPPORTED_STREAM;
        }
        static constexpr const char16_t* kPinNames[kGroups] = {u"Video", u"Audio", u"Subtitle"};
        for (int g = 0; g < kGroups; ++g)
            for (size_t i = 0; i < streams_.size(); ++i)
                if (streams_[i].group == g) {
                    pins_[g].pin = &AddOutputPin(kPinNames[g]);
                    pins_[g].active = static_cast<int>(i);
                    pins_[g].delivered = streams_[i].index;
                    break;
                }
        return S_OK;
    }

    HRESULT GetCurFile(std::u16string* fileName, AMMediaType* type) override
    {
        if (!fileName)
            return E_POINTER;
        *fileName = file_;
        if (type)
            *type = {};
        return fmt_ ? S_OK : E_FAIL;
    }

    // ---- IAMStreamSelect
    HRESULT Count(uint32_t* streams) override
    {
        if (!streams)
            return E_POINTER;
        *streams = static_cast<uint32_t>(streams_.size());
        return S_OK;
    }

    HRESULT Info(int32_t index, AMMediaType* type, uint32_t* flags, LCID* lcid, uint32_t* group, std::u16string* name,
                 IUnknown** object, IUnknown** unk) override
    {
        if (index < 0 || index >= static_cast<int32_t>(streams_.size()))
            return S_FALSE;
        const Stream& s = streams_[index];
        if (type)
            *type = s.type;
        if (flags)
            *flags = pins_[s.group].active == index ? AMSTREAMSELECTINFO_ENABLED : 0;
        if (lcid)
            *lcid = s.lcid;
        if (group)
            *group = s.group;
        if (name)
            *name = s.name;
        if (object)
            *object = ComPtr<IUnknown>(static_cast<IBaseFilter*>(this)).detach();
        if (unk)
            *unk = nullptr;
        return S_OK;
    }

    HRESULT Enable(int32_t index, uint32_t flags) override
    {
        if (index < 0 || index >= static_cast<int32_t>(streams_.size()))
            return E_INVALIDARG;
        if (!(flags & AMSTREAMSELECTENABLE_ENABLE))
            return E_NOTIMPL;
        PinState& p = pins_[streams_[index].group];
        {
            std::lock_guard lock(streamLock_);
            if (p.active == index)
                return S_OK;
            p.active = index;
            if (p.pin && p.pin->IsConnected())
                p.pin->SetCurrentMediaType(streams_[index].type);
        }
        // The new stream is read from where playback is: what was read
        // ahead holds only the old one.
        const auto seeking = streaming_ && Graph() ? QueryAs<IMediaSeeking>(Graph()) : ComPtr<IMediaSeeking>();
        int64_t now = 0;
        if (seeking && Succeeded(seeking->GetCurrentPosition(&now)))
            seeking->SetPositions(&now, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
        return S_OK;
    }

    // ---- IMediaSeeking
    HRESULT GetCapabilities(uint32_t* caps) override
    {
        if (!caps)
            return E_POINTER;
        *caps = AM_SEEKING_CanGetCurrentPos;
        if (fmt_ && fmt_->pb && (fmt_->pb->seekable & AVIO_SEEKABLE_NORMAL))
            *caps |= AM_SEEKING_CanSeekAbsolute | AM_SEEKING_CanSeekForwards | AM_SEEKING_CanSeekBackwards |
                     AM_SEEKING_CanGetStopPos | AM_SEEKING_CanGetDuration;
        return S_OK;
    }
    HRESULT CheckCapabilities(uint32_t* caps) override
    {
        uint32_t have = 0;
        GetCapabilities(&have);
        return CheckSeekingCapabilities(have, caps);
    }
    HRESULT GetTimeFormat(GUID* format) override { return GetMediaTimeFormat(format); }
    HRESULT SetTimeFormat(const GUID& format) override { return SetMediaTimeFormat(format); }
    HRESULT GetDuration(int64_t* duration) override
    {
        if (!duration)
            return E_POINTER;
        if (!fmt_ || fmt_->duration == AV_NOPTS_VALUE || fmt_->duration <= 0) {
            *duration = 0;
            return E_NOTIMPL;
        }
        *duration = fmt_->duration * 10;
        return S_OK;
    }
    HRESULT GetStopPosition(int64_t* stop) override { return GetDuration(stop); }
    HRESULT GetCurrentPosition(int64_t* current) override
    {
        if (!current)
            return E_POINTER;
        *current = start_;
        return S_OK;
    }
    HRESULT SetPositions(int64_t* current, uint32_t currentFlags, int64_t*, uint32_t) override
    {
        if (!current || (currentFlags & AM_SEEKING_PositioningBitsMask) == AM_SEEKING_NoPositioning)
            return S_OK;
        start_ = std::max<int64_t>(0, *current);
        if (!streaming_)
            return S_OK;
        for (auto& p : pins_)
            if (p.pin && p.pin->IsConnected())
                p.pin->DeliverBeginFlush();
        StopStreaming();
        for (auto& p : pins_)
            if (p.pin && p.pin->IsConnected())
                p.pin->DeliverEndFlush();
        StartStreaming();
        return S_OK;
    }
    HRESULT GetPositions(int64_t* current, int64_t* stop) override
    {
        if (current)
            *current = start_;
        return stop ? GetDuration(stop) : S_OK;
    }
    HRESULT GetAvailable(int64_t* earliest, int64_t* latest) override
    {
        if (earliest)
            *earliest = 0;
        return latest ? GetDuration(latest) : S_OK;
    }
    // Takes effect from the next start of streaming (the graph seeks).
    HRESULT SetRate(double rate) override
    {
        if (!(rate > 0))
            return E_INVALIDARG;
        rate_ = rate;
        return S_OK;
    }
    HRESULT GetRate(double* rate) override
    {
        if (!rate)
            return E_POINTER;
        *rate = rate_;
        return S_OK;
    }

    // ---- pins
    HRESULT CheckMediaType(BasePin& pin, const AMMediaType& type) override
    {
        const PinState* p = StateOf(pin);
        if (!p || p->active < 0)
            return E_UNEXPECTED;
        const AMMediaType& mine = streams_[p->active].type;
        return type.majortype == mine.majortype && type.subtype == mine.subtype ? S_OK : S_FALSE;
    }
    HRESULT GetMediaType(BasePin& pin, int position, AMMediaType* type) override
    {
        const PinState* p = StateOf(pin);
        if (!p || p->active < 0 || position > 0)
            return VFW_S_NO_MORE_ITEMS;
        if (position < 0)
            return E_INVALIDARG;
        *type = streams_[p->active].type;
        return S_OK;
    }

protected:
    void OnPause(FILTER_STATE from) override
    {
        if (from == State_Stopped)
            StartStreaming();
    }
    void OnStop() override { StopStreaming(); }

private:
    static int Interrupted(void* self) { return static_cast<Splitter*>(self)->abort_.load() ? 1 : 0; }

    PinState* StateOf(BasePin& pin)
    {
        for (auto& p : pins_)
            if (p.pin == &pin)
                return &p;
        return nullptr;
    }

    void CollectStreams()
    {
        int counts[kGroups] = {};
        for (unsigned i = 0; i < fmt_->nb_streams; ++i) {
            AVStream* st = fmt_->streams[i];
            st->discard = AVDISCARD_ALL;
            Stream s;
            s.type = MediaTypeOfStream(st);
            if (s.type.majortype == GUID_NULL)
                continue;
            s.index = static_cast<int>(i);
            const auto kind = st->codecpar->codec_type;
            s.group = kind == AVMEDIA_TYPE_VIDEO ? kVideo : kind == AVMEDIA_TYPE_AUDIO ? kAudio : kSubtitle;
            ++counts[s.group];
            const AVDictionaryEntry* lang = av_dict_get(st->metadata, "language", nullptr, 0);
            const AVDictionaryEntry* title = av_dict_get(st->metadata, "title", nullptr, 0);
            s.lcid = lang ? LcidFromLanguageCode(lang->value) : 0;
            if (title && title->value)
                s.name = Utf16(title->value);
            else if (!s.lcid && lang && std::string(lang->value) != "und")
                s.name = Utf16(lang->value);
            streams_.push_back(std::move(s));
        }
    }

    // Delivers packets of one pin until aborted, the end or a failure.
    void DeliverLoop(PinState& p)
    {
        AVPacket* packet = nullptr;
        while (p.queue.Pop(&packet))
            if (!Send(p, packet))
                return;
    }

    // Sends one packet (nullptr: the end of the stream) on the pin and frees
    // it. False when the pin failed: that aborts the graph.
    bool Send(PinState& p, AVPacket* packet)
    {
        if (!packet) {
            p.pin->DeliverEndOfStream();
            return true;
        }
        const AVStream* st = fmt_->streams[packet->stream_index];
        ComPtr<MediaSample> sample = MakeCom<MediaSample>(packet->size);
        uint8_t* data = nullptr;
        sample->GetPointer(&data);
        std::copy(packet->data, packet->data + packet->size, data);
        sample->SetActualDataLength(packet->size);
        const int64_t ts = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
        if (ts != AV_NOPTS_VALUE) {
            const int64_t offset = fmt_->start_time != AV_NOPTS_VALUE ? fmt_->start_time * 10 : 0;
            // Sample times run on the stream's clock: faster at a faster rate.
            const double at =
                double(av_rescale_q(ts, st->time_base, kTime100ns) - offset - segment_.start) / segment_.rate;
            const double length = double(av_rescale_q(packet->duration, st->time_base, kTime100ns)) / segment_.rate;
            REFERENCE_TIME start = std::llround(at);
            REFERENCE_TIME stop = start + std::max<int64_t>(1, std::llround(length));
            sample->SetTime(&start, &stop);
        }
        sample->SetSyncPoint(packet->flags & AV_PKT_FLAG_KEY);
        sample->SetDiscontinuity(std::exchange(p.first, false));
        if (packet->stream_index != p.delivered) {
            p.delivered = packet->stream_index;
            for (const Stream& other : streams_)
                if (other.index == packet->stream_index)
                    sample->SetMediaType(&other.type);
        }
        av_packet_free(&packet);
        const HRESULT hr = p.pin->Deliver(sample.get());
        if (Failed(hr) && hr != VFW_E_NOT_CONNECTED) {
            NotifyEvent(EC_ERRORABORT, hr, 0);
            return false;
        }
        return true;
    }

    PinState* PinOfStream(int streamIndex)
    {
        std::lock_guard lock(streamLock_);
        for (auto& p : pins_)
            if (p.pin && p.pin->IsConnected() && p.active >= 0 && streams_[p.active].index == streamIndex)
                return &p;
        return nullptr;
    }

    void ReadLoop()
    {
        for (;;) {
            AVPacket* packet = av_packet_alloc();
            if (!packet)
                break;
            const int r = av_read_frame(fmt_, packet);
            if (r < 0) {
                av_packet_free(&packet);
                break;
            }
            PinState* p = PinOfStream(packet->stream_index);
            if (!p) {
                av_packet_free(&packet);
                continue;
            }
            if (!Direct(*p))
                WaitForRoom(*p, fmt_->streams[packet->stream_index]);
            if (abort_) {
                av_packet_free(&packet);
                return;
            }
            if (Direct(*p) ? !Send(*p, packet) : !p->queue.Push(packet)) // the queue frees what it refuses
                return;
        }
        if (abort_)
            return;
        for (auto& p : pins_) {
            if (!p.pin || !p.pin->IsConnected())
                continue;
            if (Direct(p))
                Send(p, nullptr);
            else
                p.queue.Push(nullptr);
        }
    }

    // Subtitles go out on the reading thread, in file order with the other
    // packets: a picture then never reaches a subtitle filter before the
    // subtitle that covers it, however the threads are scheduled on a busy
    // machine. Their receivers only take them in, so reading never waits long.
    bool Direct(const PinState& p) const { return &p == &pins_[kSubtitle]; }

    // Waits while this pin's queue is full, unless another pin starves (a
    // file whose streams are far apart must not stall the player).
    void WaitForRoom(PinState& p, const AVStream* st)
    {
        const int64_t maxDuration = av_rescale_q(kSoftQueueSeconds, {1, 1}, st->time_base);
        while (!abort_ && (p.queue.Bytes() >= kSoftQueueBytes || p.queue.Duration() >= maxDuration)) {
            bool starving = false;
            for (auto& other : pins_)
                if (&other != &p && other.pin && other.pin->IsConnected() && !Direct(other) && other.queue.Empty())
                    starving = true;
            if (starving && p.queue.Bytes() < kHardQueueBytes)
                return;
            p.queue.WaitForRoom(kSoftQueueBytes, maxDuration, 20);
        }
    }

    void StartStreaming()
    {
        if (streaming_ || !fmt_)
            return;
        abort_ = false;
        for (auto& s : streams_)
            fmt_->streams[s.index]->discard = AVDISCARD_ALL;
        for (auto& p : pins_)
            if (p.pin && p.pin->IsConnected() && p.active >= 0)
                fmt_->streams[streams_[p.active].index]->discard = AVDISCARD_DEFAULT;
        if (readBefore_ || start_ > 0) {
            const int64_t offset = fmt_->start_time != AV_NOPTS_VALUE ? fmt_->start_time : 0;
            av_seek_frame(fmt_, -1, start_ / 10 + offset, AVSEEK_FLAG_BACKWARD);
        }
        readBefore_ = true;
        segment_ = {start_, rate_};
        int64_t duration = 0;
        GetDuration(&duration);
        for (auto& p : pins_) {
            if (!p.pin || !p.pin->IsConnected())
                continue;
            p.queue.Clear();
            p.first = true;
            p.pin->DeliverNewSegment(segment_.start, duration, segment_.rate);
            if (!Direct(p))
                p.thread = std::thread([this, &p] { DeliverLoop(p); });
        }
        reader_ = std::thread([this] { ReadLoop(); });
        streaming_ = true;
    }

    void StopStreaming()
    {
        if (!streaming_)
            return;
        abort_ = true;
        for (auto& p : pins_)
            p.queue.Abort();
        if (reader_.joinable())
            reader_.join();
        for (auto& p : pins_) {
            if (p.thread.joinable())
                p.thread.join();
            p.queue.Clear();
        }
        streaming_ = false;
    }

    AVFormatContext* fmt_ = nullptr;
    std::u16string file_;
    std::vector<Stream> streams_;
    PinState pins_[kGroups];
    // Guards each pin's active stream against the reading thread, which
    // routes packets by it; taken alone.
    std::mutex streamLock_;
    std::thread reader_;
    std::atomic<bool> abort_{false};
    bool streaming_ = false;
    bool readBefore_ = false;
    int64_t start_ = 0; // segment start, 100 ns
    double rate_ = 1.0;
    // The running segment's start and rate: the main thread sets the next
    // ones while the streaming threads time their samples by these.
    struct {
        int64_t start = 0;
        double rate = 1.0;
    } segment_;
};

} // namespace

ComPtr<IBaseFilter> MakeMediaSplitter() { return ComPtr<IBaseFilter>(MakeCom<Splitter>().get()); }

} // namespace kolvarin::media
