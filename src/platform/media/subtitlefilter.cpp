#include "media/subtitlefilter.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <utility>

#include <QString>

extern "C" {
#include <ass/ass.h>
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include "media/ffmediatypes.h"
#include "media/filterbase.h"
#include "media/uuids.h"

namespace kolvarin::media {
namespace {

struct Picture {
    int64_t startMs = 0, endMs = 0;
    int x = 0, y = 0, w = 0, h = 0;
    std::vector<uint32_t> rgba; // 0xAARRGGBB
};

// One source of subtitles: styled text events and decoded pictures.
struct Track {
    std::u16string name;
    std::u16string file;
    ASS_Track* ass = nullptr;
    std::vector<Picture> pictures;
    // Packets of the embedded stream taken (start in ms, bytes): a seek
    // back reads them again, and the decoder numbers them anew.
    std::set<std::pair<int64_t, std::string>> received;
};

struct CodecDeleter {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
using CodecPtr = std::unique_ptr<AVCodecContext, CodecDeleter>;

CodecPtr OpenSubtitleCodec(const AVCodecParameters* params)
{
    const AVCodec* codec = params ? avcodec_find_decoder(params->codec_id) : nullptr;
    CodecPtr ctx(codec ? avcodec_alloc_context3(codec) : nullptr);
    if (!ctx || avcodec_parameters_to_context(ctx.get(), params) < 0)
        return nullptr;
    ctx->pkt_timebase = {1, 1000};
    if (avcodec_open2(ctx.get(), codec, nullptr) < 0)
        return nullptr;
    return ctx;
}

uint8_t Clamp(int v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); }

// Blends one colour with coverage a (0..255) into the I420 picture at (x, y).
void BlendPixel(AVFrame* f, int x, int y, int r, int g, int b, int a)
{
    if (a <= 0 || x < 0 || y < 0 || x >= f->width || y >= f->height)
        return;
    const int yy = 16 + (65481 * r + 128553 * g + 24966 * b) / 255000;
    uint8_t& Y = f->data[0][size_t(y) * f->linesize[0] + x];
    Y = Clamp(Y + (yy - Y) * a / 255);
    if ((x & 1) || (y & 1))
        return;
    const int u = 128 + (-37797 * r - 74203 * g + 112000 * b) / 255000;
    const int v = 128 + (112000 * r - 93786 * g - 18214 * b) / 255000;
    uint8_t& U = f->data[1][size_t(y / 2) * f->linesize[1] + x / 2];
    uint8_t& V = f->data[2][size_t(y / 2) * f->linesize[2] + x / 2];
    U = Clamp(U + (u - U) * a / 255);
    V = Clamp(V + (v - V) * a / 255);
}

class SubtitleFilter final : public Extend<BaseFilter, IDirectVobSub> {
public:
    SubtitleFilter() : Extend(CLSID_SubtitleFilter, u"DirectVobSub")
    {
        input_ = &AddInputPin(u"Input");
        output_ = &AddOutputPin(u"Output");
        subtitle_ = &AddInputPin(u"Subtitle");
        library_ = ass_library_init();
        if (library_) {
            ass_set_message_cb(
                library_, [](int, const char*, va_list, void*) {}, nullptr);
            renderer_ = ass_renderer_init(library_);
        }
    }
    ~SubtitleFilter() override
    {
        for (auto& t : tracks_)
            if (t.ass)
                ass_free_track(t.ass);
        if (renderer_)
            ass_renderer_done(renderer_);
        if (library_)
            ass_library_done(library_);
    }

    // ---- pins
    HRESULT CheckMediaType(BasePin& pin, const AMMediaType& type) override
    {
        if (&pin == subtitle_)
            return type.majortype == MEDIATYPE_Subtitle || type.majortype == MEDIATYPE_Text ? S_OK
                                                                                            : VFW_E_TYPE_NOT_ACCEPTED;
        return CheckPassedPictureType(pin, *input_, *output_, type);
    }
    HRESULT GetMediaType(BasePin& pin, int position, AMMediaType* type) override
    {
        return GetPassedPictureType(pin, *input_, *output_, position, type);
    }
    HRESULT CompleteConnect(BasePin& pin, IPin*) override
    {
        if (&pin != subtitle_)
            return S_OK;
        CodecParametersPtr params = CodecParametersOfType(pin.CurrentMediaType());
        MutexLock lock(lock_);
        embeddedCodec_ = OpenSubtitleCodec(params.get());
        Track t;
        t.name = EmbeddedName(pin.CurrentMediaType());
        t.ass = NewAssTrack(embeddedCodec_.get());
        tracks_.push_back(std::move(t));
        embedded_ = static_cast<int>(tracks_.size()) - 1;
        if (selected_ < 0)
            selected_ = embedded_;
        return S_OK;
    }
    void BreakConnect(BasePin& pin) override
    {
        if (&pin == subtitle_) {
            MutexLock lock(lock_);
            embeddedCodec_.reset();
        }
    }

    HRESULT Receive(InputPin& pin, IMediaSample* sample) override
    {
        if (&pin == subtitle_)
            return ReceiveSubtitle(sample);
        const AVFrame* frame = FrameOf(sample);
        if (!frame || !output_->IsConnected())
            return S_OK;
        REFERENCE_TIME start = 0, stop = 0;
        const bool timed = Succeeded(sample->GetTime(&start, &stop));
        ComPtr<MediaSample> out = MakeCom<MediaSample>(0);
        AVFrame* work = nullptr;
        if (timed)
            work = Draw(frame, (start + videoSegment_) / 10000);
        out->AttachFrame(work ? work : frame);
        av_frame_free(&work);
        if (timed)
            out->SetTime(&start, &stop);
        out->SetSyncPoint(true);
        AMMediaType changed;
        if (sample->GetMediaType(&changed) == S_OK) {
            output_->SetCurrentMediaType(changed);
            out->SetMediaType(&changed);
        }
        return output_->Deliver(out.get());
    }
    HRESULT EndOfStream(InputPin& pin) override
    {
        return &pin == input_ && output_->IsConnected() ? output_->DeliverEndOfStream() : S_OK;
    }
    HRESULT BeginFlush(InputPin& pin) override
    {
        return &pin == input_ && output_->IsConnected() ? output_->DeliverBeginFlush() : S_OK;
    }
    HRESULT EndFlush(InputPin& pin) override
    {
        return &pin == input_ && output_->IsConnected() ? output_->DeliverEndFlush() : S_OK;
    }
    HRESULT NewSegment(InputPin& pin, REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override
    {
        if (&pin == subtitle_) {
            subtitleSegment_ = start;
            return S_OK;
        }
        videoSegment_ = start;
        return output_->IsConnected() ? output_->DeliverNewSegment(start, stop, rate) : S_OK;
    }

    // ---- IDirectVobSub
    HRESULT put_FileName(const std::u16string& file) override
    {
        Track t;
        t.file = file;
        t.name = std::filesystem::path(QString::fromStdU16String(file).toStdString()).filename().u16string();
        if (!LoadFile(file, t))
            return E_FAIL;
        MutexLock lock(lock_);
        tracks_.push_back(std::move(t));
        selected_ = static_cast<int>(tracks_.size()) - 1;
        return S_OK;
    }
    HRESULT get_FileName(std::u16string* file) override
    {
        if (!file)
            return E_POINTER;
        MutexLock lock(lock_);
        *file = selected_ >= 0 ? tracks_[selected_].file : std::u16string();
        return S_OK;
    }
    HRESULT get_LanguageCount(int32_t* count) override
    {
        if (!count)
            return E_POINTER;
        MutexLock lock(lock_);
        *count = static_cast<int32_t>(tracks_.size());
        return S_OK;
    }
    HRESULT get_LanguageName(int32_t index, std::u16string* name) override
    {
        if (!name)
            return E_POINTER;
        MutexLock lock(lock_);
        if (index < 0 || index >= static_cast<int32_t>(tracks_.size()))
            return E_INVALIDARG;
        *name = tracks_[index].name;
        return S_OK;
    }
    HRESULT get_EmbeddedLanguage(int32_t* index) override
    {
        if (!index)
            return E_POINTER;
        MutexLock lock(lock_);
        *index = embedded_;
        return S_OK;
    }
    HRESULT get_SelectedLanguage(int32_t* index) override
    {
        if (!index)
            return E_POINTER;
        MutexLock lock(lock_);
        *index = selected_;
        return S_OK;
    }
    HRESULT put_SelectedLanguage(int32_t index) override
    {
        MutexLock lock(lock_);
        if (index < 0 || index >= static_cast<int32_t>(tracks_.size()))
            return E_INVALIDARG;
        selected_ = index;
        return S_OK;
    }
    HRESULT get_HideSubtitles(bool* hide) override
    {
        if (!hide)
            return E_POINTER;
        *hide = hide_;
        return S_OK;
    }
    HRESULT put_HideSubtitles(bool hide) override
    {
        hide_ = hide;
        return S_OK;
    }
    HRESULT put_OSD(bool) override { return S_OK; }
    HRESULT put_PreBuffering(bool) override { return S_OK; }
    HRESULT put_VobSubSettings(bool, bool, bool) override { return S_OK; }
    HRESULT put_LoadSettings(int32_t, bool, bool, bool) override { return S_OK; }

private:
    static std::u16string EmbeddedName(const AMMediaType& type)
    {
        if (auto info = ReadSubtitleInfo(type.formatBytes())) {
            if (!info->TrackName.empty())
                return info->TrackName;
            std::u16string lang;
            for (char c : info->IsoLang)
                if (c)
                    lang += static_cast<char16_t>(c);
            if (!lang.empty())
                return lang;
        }
        return u"Embedded";
    }

    // lock_ held or the track not shared yet.
    ASS_Track* NewAssTrack(AVCodecContext* codec)
    {
        if (!library_)
            return nullptr;
        ASS_Track* t = ass_new_track(library_);
        if (t && codec && codec->subtitle_header && codec->subtitle_header_size > 0)
            ass_process_codec_private(t, reinterpret_cast<char*>(codec->subtitle_header), codec->subtitle_header_size);
        return t;
    }

    // The source now sends another of its streams: the embedded language
    // starts afresh with that stream's codec, so nothing of the old one
    // shows.
    void SwitchEmbedded(const AMMediaType& type) REQUIRES(lock_)
    {
        if (embedded_ < 0)
            return;
        CodecParametersPtr params = CodecParametersOfType(type);
        embeddedCodec_ = OpenSubtitleCodec(params.get());
        Track& t = tracks_[embedded_];
        if (t.ass)
            ass_free_track(t.ass);
        t.ass = NewAssTrack(embeddedCodec_.get());
        t.pictures.clear();
        t.received.clear();
        t.name = EmbeddedName(type);
    }

    // Adds what one decoded subtitle holds to a track (start/duration in ms).
    static void AddSubtitle(Track& t, const AVSubtitle& sub, int64_t startMs, int64_t durationMs)
    {
        for (unsigned i = 0; i < sub.num_rects; ++i) {
            const AVSubtitleRect* r = sub.rects[i];
            if (r->type == SUBTITLE_ASS && r->ass && t.ass) {
                ass_process_chunk(t.ass, r->ass, static_cast<int>(std::strlen(r->ass)), startMs, durationMs);
            } else if (r->type == SUBTITLE_BITMAP && r->w > 0 && r->h > 0 && r->w <= 8192 && r->h <= 8192 &&
                       r->data[0] && r->data[1]) {
                Picture p;
                p.startMs = startMs + sub.start_display_time;
                p.endMs = sub.end_display_time > sub.start_display_time ? startMs + sub.end_display_time
                                                                        : startMs + durationMs;
                p.x = r->x;
                p.y = r->y;
                p.w = r->w;
                p.h = r->h;
                p.rgba.resize(size_t(r->w) * r->h);
                const auto* palette = reinterpret_cast<const uint32_t*>(r->data[1]);
                for (int y = 0; y < r->h; ++y)
                    for (int x = 0; x < r->w; ++x) {
                        const uint8_t index = r->data[0][size_t(y) * r->linesize[0] + x];
                        p.rgba[size_t(y) * r->w + x] = index < r->nb_colors ? palette[index] : 0;
                    }
                t.pictures.push_back(std::move(p));
            }
        }
    }

    bool LoadFile(const std::u16string& file, Track& t)
    {
        const std::string path = QString::fromStdU16String(file).toStdString();
        AVFormatContext* fmt = nullptr;
        if (avformat_open_input(&fmt, path.c_str(), nullptr, nullptr) < 0)
            return false;
        bool ok = false;
        if (avformat_find_stream_info(fmt, nullptr) >= 0) {
            const int index = av_find_best_stream(fmt, AVMEDIA_TYPE_SUBTITLE, -1, -1, nullptr, 0);
            CodecPtr codec = index >= 0 ? OpenSubtitleCodec(fmt->streams[index]->codecpar) : nullptr;
            if (codec) {
                t.ass = NewAssTrack(codec.get());
                const AVStream* st = fmt->streams[index];
                AVPacket* packet = av_packet_alloc();
                while (packet && av_read_frame(fmt, packet) >= 0) {
                    if (packet->stream_index == index)
                        Decode(*codec, packet, av_rescale_q(packet->pts, st->time_base, {1, 1000}),
                               av_rescale_q(packet->duration, st->time_base, {1, 1000}), t);
                    av_packet_unref(packet);
                }
                av_packet_free(&packet);
                ok = true;
            }
        }
        avformat_close_input(&fmt);
        return ok;
    }

    static void Decode(AVCodecContext& codec, AVPacket* packet, int64_t startMs, int64_t durationMs, Track& t)
    {
        AVSubtitle sub{};
        int got = 0;
        if (avcodec_decode_subtitle2(&codec, &sub, &got, packet) >= 0 && got) {
            AddSubtitle(t, sub, startMs, durationMs);
            avsubtitle_free(&sub);
        }
    }

    HRESULT ReceiveSubtitle(IMediaSample* sample)
    {
        REFERENCE_TIME start = 0, stop = 0;
        if (Failed(sample->GetTime(&start, &stop)))
            return S_OK;
        uint8_t* data = nullptr;
        sample->GetPointer(&data);
        const int length = sample->GetActualDataLength();
        AVPacket* packet = av_packet_alloc();
        if (!packet || av_new_packet(packet, length) < 0) {
            av_packet_free(&packet);
            return S_OK;
        }
        std::memcpy(packet->data, data, static_cast<size_t>(length));
        const int64_t startMs = (start + subtitleSegment_) / 10000;
        packet->pts = startMs;
        packet->duration = std::max<int64_t>(0, (stop - start) / 10000);
        MutexLock lock(lock_);
        AMMediaType changed;
        if (sample->GetMediaType(&changed) == S_OK)
            SwitchEmbedded(changed);
        if (embeddedCodec_ && embedded_ >= 0 &&
            tracks_[embedded_].received.emplace(startMs, std::string(reinterpret_cast<char*>(data), length)).second)
            Decode(*embeddedCodec_, packet, startMs, packet->duration, tracks_[embedded_]);
        av_packet_free(&packet);
        return S_OK;
    }

    // A writable copy of the picture with the subtitles of time ms drawn in;
    // nullptr when nothing shows.
    AVFrame* Draw(const AVFrame* frame, int64_t ms)
    {
        if (hide_)
            return nullptr;
        MutexLock lock(lock_);
        if (selected_ < 0 || selected_ >= static_cast<int>(tracks_.size()))
            return nullptr;
        Track& t = tracks_[selected_];
        ASS_Image* images = nullptr;
        if (t.ass && renderer_) {
            if (frameSize_ != std::pair{frame->width, frame->height}) {
                frameSize_ = {frame->width, frame->height};
                ass_set_frame_size(renderer_, frame->width, frame->height);
                ass_set_storage_size(renderer_, frame->width, frame->height);
                ass_set_fonts(renderer_, nullptr, "sans-serif", ASS_FONTPROVIDER_AUTODETECT, nullptr, 1);
            }
            int changed = 0;
            images = ass_render_frame(renderer_, t.ass, ms, &changed);
        }
        const bool pictures = std::any_of(t.pictures.begin(), t.pictures.end(),
                                          [ms](const Picture& p) { return p.startMs <= ms && ms < p.endMs; });
        if (!images && !pictures)
            return nullptr;
        AVFrame* work = av_frame_clone(frame);
        if (!work || av_frame_make_writable(work) < 0) {
            av_frame_free(&work);
            return nullptr;
        }
        for (const ASS_Image* img = images; img; img = img->next) {
            const int r = img->color >> 24 & 0xFF, g = img->color >> 16 & 0xFF, b = img->color >> 8 & 0xFF;
            const int opacity = 255 - static_cast<int>(img->color & 0xFF);
            for (int y = 0; y < img->h; ++y)
                for (int x = 0; x < img->w; ++x)
                    BlendPixel(work, img->dst_x + x, img->dst_y + y, r, g, b,
                               img->bitmap[size_t(y) * img->stride + x] * opacity / 255);
        }
        for (const Picture& p : t.pictures)
            if (p.startMs <= ms && ms < p.endMs)
                for (int y = 0; y < p.h; ++y)
                    for (int x = 0; x < p.w; ++x) {
                        const uint32_t c = p.rgba[size_t(y) * p.w + x];
                        BlendPixel(work, p.x + x, p.y + y, c >> 16 & 0xFF, c >> 8 & 0xFF, c & 0xFF, c >> 24);
                    }
        return work;
    }

    InputPin* input_;
    OutputPin* output_;
    InputPin* subtitle_;
    ASS_Library* library_ = nullptr;
    // The languages and the drawing, between the main thread, the subtitle
    // pin's thread and the video pin's thread; taken alone.
    Mutex lock_;
    ASS_Renderer* renderer_ GUARDED_BY(lock_) = nullptr;
    std::vector<Track> tracks_ GUARDED_BY(lock_);
    int selected_ GUARDED_BY(lock_) = -1, embedded_ GUARDED_BY(lock_) = -1;
    CodecPtr embeddedCodec_ GUARDED_BY(lock_);
    std::atomic<bool> hide_{false};
    std::pair<int, int> frameSize_ GUARDED_BY(lock_){0, 0};
    REFERENCE_TIME videoSegment_ = 0, subtitleSegment_ = 0;
};

} // namespace

ComPtr<IBaseFilter> MakeSubtitleFilter()
{
    return ComPtr<IBaseFilter>(static_cast<IBaseFilter*>(MakeCom<SubtitleFilter>().get()));
}

} // namespace kolvarin::media
