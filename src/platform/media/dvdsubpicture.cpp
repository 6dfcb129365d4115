#include "media/dvdsubpicture.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <thread>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/dict.h>
#include <libavutil/frame.h>
}

#include "media/dvdif.h"
#include "media/ffmediatypes.h"
#include "media/filterbase.h"
#include "media/uuids.h"

namespace kolvarin::media {
namespace {

// The decoder is given colour i as the colour of table index i, so each of
// a subpicture's four pixel types comes out as its table index and alpha.
constexpr char kIndexPalette[] = "000000,000001,000002,000003,000004,000005,000006,000007,"
                                 "000008,000009,00000a,00000b,00000c,00000d,00000e,00000f";
// How long after a change the mixer waits for a picture before it sends
// the last one again.
constexpr auto kRedrawDelay = std::chrono::milliseconds(60);
// Decoded subpictures kept ahead of the pictures.
constexpr size_t kMaxQueued = 16;

// One decoded subpicture: its pixel types and, per type, table index and
// contrast (0..15). Times in 100 ns on the pictures' time line.
struct Subpicture {
    REFERENCE_TIME start = 0, end = INT64_MAX;
    int x = 0, y = 0, w = 0, h = 0;
    std::vector<uint8_t> types;
    uint8_t colour[4] = {}, contrast[4] = {};
    bool forced = false;
};

struct CodecDeleter {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
using CodecPtr = std::unique_ptr<AVCodecContext, CodecDeleter>;

CodecPtr OpenDvdSubtitleDecoder()
{
    const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_DVD_SUBTITLE);
    CodecPtr ctx(codec ? avcodec_alloc_context3(codec) : nullptr);
    if (!ctx)
        return nullptr;
    AVDictionary* options = nullptr;
    av_dict_set(&options, "palette", kIndexPalette, 0);
    const int opened = avcodec_open2(ctx.get(), codec, &options);
    av_dict_free(&options);
    return opened < 0 ? nullptr : std::move(ctx);
}

uint8_t Mix(uint8_t under, int over, int alpha)
{
    return static_cast<uint8_t>(std::clamp(under + (over - under) * alpha / 255, 0, 255));
}

// Blends the subpicture into the I420 picture; inside the highlight's
// rectangle the highlight's colours and contrasts stand for its own.
void Blend(AVFrame* f, const Subpicture& s, const DvdHighlight& hl, const std::array<uint32_t, 16>& palette)
{
    for (int y = 0; y < s.h; ++y) {
        const int py = s.y + y;
        if (py < 0 || py >= f->height)
            continue;
        for (int x = 0; x < s.w; ++x) {
            const int px = s.x + x;
            if (px < 0 || px >= f->width)
                continue;
            const int type = s.types[size_t(y) * s.w + x] & 3;
            const bool lit = px >= hl.left && px <= hl.right && py >= hl.top && py <= hl.bottom;
            const int colour = lit ? int(hl.colours >> (16 + 4 * type) & 15) : s.colour[type];
            const int alpha = (lit ? int(hl.colours >> (4 * type) & 15) : s.contrast[type]) * 17;
            if (alpha == 0)
                continue;
            const uint32_t yuv = palette[colour]; // 0x00YYCrCb
            uint8_t& Y = f->data[0][size_t(py) * f->linesize[0] + px];
            Y = Mix(Y, int(yuv >> 16 & 0xFF), alpha);
            if ((px & 1) || (py & 1))
                continue;
            uint8_t& U = f->data[1][size_t(py / 2) * f->linesize[1] + px / 2];
            uint8_t& V = f->data[2][size_t(py / 2) * f->linesize[2] + px / 2];
            U = Mix(U, int(yuv & 0xFF), alpha);
            V = Mix(V, int(yuv >> 8 & 0xFF), alpha);
        }
    }
}

class DvdSubpictureMixer final : public BaseFilter {
public:
    DvdSubpictureMixer() : BaseFilter(CLSID_DvdSubpictureMixer, u"DVD Subpicture Mixer")
    {
        video_ = &AddInputPin(u"Video");
        subpicture_ = &AddInputPin(u"SubPicture");
        output_ = &AddOutputPin(u"Out");
        for (uint32_t i = 0; i < 16; ++i) // a grey ramp until the disc gives its colours
            palette_[i] = (16 + i * 14) << 16 | 0x8080;
        redrawer_ = std::thread([this] { RedrawLoop(); });
    }
    ~DvdSubpictureMixer() override
    {
        {
            MutexLock lock(redrawLock_);
            quit_ = true;
        }
        redrawWanted_.notify_all();
        redrawer_.join();
        av_frame_free(&lastFrame_);
    }

    // ---- pins
    HRESULT CheckMediaType(BasePin& pin, const AMMediaType& type) override
    {
        if (&pin == subpicture_) {
            const CodecParametersPtr params = CodecParametersOfType(type);
            return type.majortype == MEDIATYPE_Subtitle && params && params->codec_id == AV_CODEC_ID_DVD_SUBTITLE
                       ? S_OK
                       : VFW_E_TYPE_NOT_ACCEPTED;
        }
        return CheckPassedPictureType(pin, *video_, *output_, type);
    }
    HRESULT GetMediaType(BasePin& pin, int position, AMMediaType* type) override
    {
        return GetPassedPictureType(pin, *video_, *output_, position, type);
    }
    HRESULT QueryPinInterface(BasePin& pin, REFIID id, void** out) override
    {
        if (&pin != subpicture_ || id != IDvdSubpictureSink::iid)
            return E_NOINTERFACE;
        *out = static_cast<IDvdSubpictureSink*>(&sink_);
        AddRef();
        return S_OK;
    }

    HRESULT Receive(InputPin& pin, IMediaSample* sample) override
    {
        if (&pin == subpicture_)
            return ReceiveSubpicture(sample);
        const AVFrame* frame = FrameOf(sample);
        if (!frame || !output_->IsConnected())
            return S_OK;
        REFERENCE_TIME start = 0, stop = 0;
        const bool timed = Succeeded(sample->GetTime(&start, &stop));
        AMMediaType changed;
        const bool typeChanged = sample->GetMediaType(&changed) == S_OK;
        MutexLock deliver(output_->StreamLock());
        REFERENCE_TIME at = 0;
        {
            MutexLock lock(lock_);
            av_frame_free(&lastFrame_);
            lastFrame_ = av_frame_clone(frame);
            if (timed)
                lastTime_ = start + videoSegment_;
            at = lastTime_;
        }
        ++pictures_;
        return Send(frame, at, timed ? &start : nullptr, &stop, typeChanged ? &changed : nullptr);
    }
    HRESULT EndOfStream(InputPin& pin) override
    {
        return &pin == video_ && output_->IsConnected() ? output_->DeliverEndOfStream() : S_OK;
    }
    HRESULT BeginFlush(InputPin& pin) override
    {
        if (&pin == subpicture_) {
            MutexLock lock(lock_);
            queued_.clear();
            return S_OK;
        }
        return output_->IsConnected() ? output_->DeliverBeginFlush() : S_OK;
    }
    HRESULT EndFlush(InputPin& pin) override
    {
        if (&pin == subpicture_) {
            MutexLock lock(lock_);
            if (codec_)
                avcodec_flush_buffers(codec_.get());
            return S_OK;
        }
        {
            MutexLock lock(lock_);
            av_frame_free(&lastFrame_);
        }
        return output_->IsConnected() ? output_->DeliverEndFlush() : S_OK;
    }
    HRESULT NewSegment(InputPin& pin, REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override
    {
        MutexLock lock(lock_);
        if (&pin == subpicture_) {
            subpictureSegment_ = start;
            return S_OK;
        }
        videoSegment_ = start;
        return output_->IsConnected() ? output_->DeliverNewSegment(start, stop, rate) : S_OK;
    }

protected:
    // Waits for a redraw under way, so none sends once the graph may
    // disconnect the output.
    void OnStop() override { MutexLock deliver(output_->StreamLock()); }

private:
    // What the navigator calls, answered by the subpicture pin.
    class Sink final : public IDvdSubpictureSink {
    public:
        explicit Sink(DvdSubpictureMixer& mixer) : mixer_(mixer) {}
        HRESULT QueryInterface(REFIID id, void** out) override { return mixer_.subpicture_->QueryInterface(id, out); }
        uint32_t AddRef() override { return mixer_.AddRef(); }
        uint32_t Release() override { return mixer_.Release(); }
        HRESULT SetPalette(const std::array<uint32_t, 16>& colours) override
        {
            MutexLock lock(mixer_.lock_);
            mixer_.palette_ = colours;
            return S_OK;
        }
        HRESULT SetHighlight(const DvdHighlight& highlight) override
        {
            return mixer_.Change(&DvdSubpictureMixer::highlight_, highlight);
        }
        HRESULT ShowSubpictures(bool show) override { return mixer_.Change(&DvdSubpictureMixer::shown_, show); }

    private:
        DvdSubpictureMixer& mixer_;
    };

    // Sets one of the fields under lock_ to value; a change of what is drawn
    // asks for a redraw.
    template <class T>
    HRESULT Change(T DvdSubpictureMixer::*field, const T& value)
    {
        bool redraw = false;
        {
            MutexLock lock(lock_);
            redraw = std::exchange(this->*field, value) != value;
        }
        if (redraw)
            AskRedraw();
        return S_OK;
    }

    HRESULT ReceiveSubpicture(IMediaSample* sample)
    {
        REFERENCE_TIME start = 0, stop = 0;
        if (Failed(sample->GetTime(&start, &stop)))
            return S_OK;
        uint8_t* data = nullptr;
        sample->GetPointer(&data);
        const int length = sample->GetActualDataLength();
        AVPacket* packet = av_packet_alloc();
        if (!packet || length <= 0 || av_new_packet(packet, length) < 0) {
            av_packet_free(&packet);
            return S_OK;
        }
        std::memcpy(packet->data, data, static_cast<size_t>(length));
        bool added = false;
        {
            MutexLock lock(lock_);
            if (!codec_)
                codec_ = OpenDvdSubtitleDecoder();
            AVSubtitle sub{};
            int got = 0;
            if (codec_ && avcodec_decode_subtitle2(codec_.get(), &sub, &got, packet) >= 0 && got) {
                Add(sub, start + subpictureSegment_);
                avsubtitle_free(&sub);
                added = true;
            }
        }
        av_packet_free(&packet);
        if (added)
            AskRedraw();
        return S_OK;
    }

    // A subpicture without a picture clears what showed.
    void Add(const AVSubtitle& sub, REFERENCE_TIME at) REQUIRES(lock_)
    {
        Subpicture s;
        s.start = at + REFERENCE_TIME(sub.start_display_time) * 10000;
        if (sub.end_display_time != UINT32_MAX && sub.end_display_time > sub.start_display_time)
            s.end = at + REFERENCE_TIME(sub.end_display_time) * 10000;
        const AVSubtitleRect* r = sub.num_rects > 0 ? sub.rects[0] : nullptr;
        if (r && r->type == SUBTITLE_BITMAP && r->w > 0 && r->h > 0 && r->data[0] && r->data[1] && r->nb_colors >= 4) {
            s.x = r->x;
            s.y = r->y;
            s.w = r->w;
            s.h = r->h;
            s.forced = r->flags & AV_SUBTITLE_FLAG_FORCED;
            s.types.resize(size_t(r->w) * r->h);
            for (int y = 0; y < r->h; ++y)
                std::memcpy(&s.types[size_t(y) * r->w], r->data[0] + size_t(y) * r->linesize[0], size_t(r->w));
            const auto* colours = reinterpret_cast<const uint32_t*>(r->data[1]);
            for (int i = 0; i < 4; ++i) {
                s.colour[i] = static_cast<uint8_t>(colours[i] & 15);
                s.contrast[i] = static_cast<uint8_t>((colours[i] >> 24) / 17);
            }
        }
        while (!queued_.empty() && queued_.back().start >= s.start)
            queued_.pop_back(); // a jump back in time: the later ones are stale
        queued_.push_back(std::move(s));
        if (queued_.size() > kMaxQueued)
            queued_.pop_front();
    }

    // The subpicture that shows at time at, the older ones dropped.
    const Subpicture* Showing(REFERENCE_TIME at) REQUIRES(lock_)
    {
        while (queued_.size() > 1 && queued_[1].start <= at)
            queued_.pop_front();
        if (queued_.empty() || queued_.front().start > at || at >= queued_.front().end || queued_.front().w == 0)
            return nullptr;
        const Subpicture& s = queued_.front();
        return shown_ || s.forced ? &s : nullptr;
    }

    // Sends the picture with what shows at time at drawn in. start: the
    // sample's time, or none for a redraw.
    HRESULT Send(const AVFrame* frame, REFERENCE_TIME at, const REFERENCE_TIME* start, const REFERENCE_TIME* stop,
                 const AMMediaType* type) REQUIRES(output_->StreamLock())
    {
        AVFrame* work = nullptr;
        {
            MutexLock lock(lock_);
            if (const Subpicture* s = Showing(at)) {
                work = av_frame_clone(frame);
                if (work && av_frame_make_writable(work) >= 0)
                    Blend(work, *s, highlight_, palette_);
                else
                    av_frame_free(&work);
            }
        }
        ComPtr<MediaSample> out = MakeCom<MediaSample>(0);
        out->AttachFrame(work ? work : frame);
        av_frame_free(&work);
        if (start)
            out->SetTime(start, stop);
        out->SetSyncPoint(true);
        if (type) {
            output_->SetCurrentMediaType(*type);
            out->SetMediaType(type);
        }
        return output_->Deliver(out.get());
    }

    void AskRedraw()
    {
        {
            MutexLock lock(redrawLock_);
            redrawAsked_ = true;
        }
        redrawWanted_.notify_all();
    }

    // A picture that comes soon after a change shows it; when none comes
    // (a still), the last one is sent again.
    void RedrawLoop()
    {
        MutexLock lock(redrawLock_);
        for (;;) {
            lock.Wait(redrawWanted_, [&]() REQUIRES(redrawLock_) { return quit_ || redrawAsked_; });
            if (quit_)
                return;
            redrawAsked_ = false;
            const uint64_t seen = pictures_;
            if (lock.WaitFor(redrawWanted_, kRedrawDelay, [&]() REQUIRES(redrawLock_) { return quit_; }))
                return;
            if (pictures_ != seen || State() == State_Stopped || !output_->IsConnected())
                continue;
            lock.Unlock();
            Redraw();
            lock.Lock();
        }
    }

    void Redraw()
    {
        MutexLock deliver(output_->StreamLock());
        if (State() == State_Stopped) // stopped since the loop looked: the output may be going
            return;
        AVFrame* frame = nullptr;
        REFERENCE_TIME at = 0;
        {
            MutexLock lock(lock_);
            frame = lastFrame_ ? av_frame_clone(lastFrame_) : nullptr;
            at = lastTime_;
        }
        if (!frame)
            return;
        REFERENCE_TIME stop = 0;
        Send(frame, at, nullptr, &stop, nullptr);
        av_frame_free(&frame);
    }

    InputPin* video_;
    InputPin* subpicture_;
    OutputPin* output_;
    Sink sink_{*this};

    // Guards what is drawn; taken after the output's stream lock (one picture
    // goes out at a time, the redraw's too).
    Mutex lock_;
    CodecPtr codec_ GUARDED_BY(lock_);
    std::deque<Subpicture> queued_ GUARDED_BY(lock_);
    std::array<uint32_t, 16> palette_ GUARDED_BY(lock_){};
    DvdHighlight highlight_ GUARDED_BY(lock_);
    bool shown_ GUARDED_BY(lock_) = false;
    AVFrame* lastFrame_ GUARDED_BY(lock_) = nullptr;
    REFERENCE_TIME lastTime_ GUARDED_BY(lock_) = 0;
    REFERENCE_TIME videoSegment_ GUARDED_BY(lock_) = 0, subpictureSegment_ GUARDED_BY(lock_) = 0;

    std::atomic<uint64_t> pictures_{0};

    // The redraw thread's orders; let go before a redraw takes the stream
    // lock, and taken before the state lock.
    Mutex redrawLock_;
    std::condition_variable redrawWanted_;
    bool redrawAsked_ GUARDED_BY(redrawLock_) = false, quit_ GUARDED_BY(redrawLock_) = false;
    std::thread redrawer_;
};

} // namespace

ComPtr<IBaseFilter> MakeDvdSubpictureMixer() { return ComPtr<IBaseFilter>(MakeCom<DvdSubpictureMixer>().get()); }

} // namespace kolvarin::media
