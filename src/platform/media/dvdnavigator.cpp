#include "media/dvdnavigator.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <numeric>

extern "C" {
#include <libavformat/avformat.h>
}

#include "media/dvddisc.h"
#include "media/dvdsession.h"
#include "media/dvdstreamer.h"
#include "media/ffmediatypes.h"
#include "media/uuids.h"

namespace kolvarin::media {
namespace {

// The type a pin offers before any packet came: made from the disc's
// attributes through a stream of FFmpeg's, as the splitter's types are.
AMMediaType TypeOf(AVCodecID codec, const DVD_TITLE_ATTRIBUTES& a)
{
    AVFormatContext* fmt = avformat_alloc_context();
    AVStream* st = fmt ? avformat_new_stream(fmt, nullptr) : nullptr;
    AMMediaType mt;
    if (st) {
        AVCodecParameters* p = st->codecpar;
        p->codec_id = codec;
        p->codec_type = avcodec_get_type(codec);
        st->time_base = {1, 90000};
        if (p->codec_type == AVMEDIA_TYPE_VIDEO) {
            p->width = static_cast<int>(a.VideoAttributes.ulSourceResolutionX);
            p->height = static_cast<int>(a.VideoAttributes.ulSourceResolutionY);
            // The title's display shape over its resolution gives the pixels' shape.
            const int x = static_cast<int>(a.VideoAttributes.ulAspectX) * p->height;
            const int y = static_cast<int>(a.VideoAttributes.ulAspectY) * p->width;
            if (const int g = std::gcd(x, y); g > 0)
                p->sample_aspect_ratio = {x / g, y / g};
            st->avg_frame_rate = {static_cast<int>(a.VideoAttributes.ulFrameRate), 1};
        } else if (p->codec_type == AVMEDIA_TYPE_AUDIO && a.ulNumberOfAudioStreams > 0) {
            p->sample_rate = static_cast<int>(a.AudioAttributes[0].dwFrequency);
            av_channel_layout_default(&p->ch_layout, a.AudioAttributes[0].bNumberOfChannels);
        }
        mt = MediaTypeOfStream(st);
    }
    avformat_free_context(fmt);
    return mt;
}

AVCodecID AudioCodec(const DVD_TITLE_ATTRIBUTES& a)
{
    if (a.ulNumberOfAudioStreams == 0)
        return AV_CODEC_ID_AC3;
    switch (a.AudioAttributes[0].AudioFormat) {
    case DVD_AudioFormat_MPEG1:
    case DVD_AudioFormat_MPEG2: return AV_CODEC_ID_MP2;
    case DVD_AudioFormat_LPCM: return AV_CODEC_ID_PCM_DVD;
    case DVD_AudioFormat_DTS: return AV_CODEC_ID_DTS;
    default: return AV_CODEC_ID_AC3;
    }
}

DVD_HMSF_TIMECODE TimeCodeOf(uint64_t ticks90k, uint32_t framesPerSecond)
{
    const uint64_t seconds = ticks90k / 90000;
    DVD_HMSF_TIMECODE t;
    t.bHours = static_cast<uint8_t>(std::min<uint64_t>(seconds / 3600, 255));
    t.bMinutes = static_cast<uint8_t>(seconds / 60 % 60);
    t.bSeconds = static_cast<uint8_t>(seconds % 60);
    t.bFrames = static_cast<uint8_t>(ticks90k % 90000 * framesPerSecond / 90000);
    return t;
}

class DvdNavigator final : public FilterWith<IDvdControl2, IDvdInfo2> {
public:
    DvdNavigator() : Extend(CLSID_DVDNavigator, u"DVD Navigator")
    {
        DvdStreamer::Pins pins;
        pins.video = &AddOutputPin(u"Video");
        pins.audio = &AddOutputPin(u"Audio");
        pins.subpicture = &AddOutputPin(u"SubPicture");
        streamer_ = std::make_unique<DvdStreamer>(
            session_, pins, [this](int32_t code, intptr_t a, intptr_t b) { NotifyEvent(code, a, b); },
            [this] { return StreamTimeNow(); });
    }
    ~DvdNavigator() override { streamer_->Stop(); }

    // ---- IDvdControl2
    HRESULT SetDVDDirectory(const std::u16string& path) override
    {
        if (State() != State_Stopped)
            return VFW_E_NOT_STOPPED;
        for (const auto& pin : Pins())
            if (pin->IsConnected())
                return VFW_E_ALREADY_CONNECTED;
        session_.Close();
        disc_ = {};
        folder_.clear();
        const std::string root = DvdRootOf(std::filesystem::path(path).string());
        DvdDisc disc;
        if (ReadDvdDisc(root, &disc).status != DvdDiscStatus::Ok || !session_.Open(root))
            return VFW_E_DVD_INVALID_DISC;
        disc_ = std::move(disc);
        folder_ = path;
        return S_OK;
    }
    HRESULT SetOption(DVD_OPTION_FLAG flag, bool enable) override
    {
        if (flag == DVD_HMSF_TimeCodeEvents)
            session_.SetTimeCodeEvents(enable);
        return S_OK;
    }
    HRESULT PlayTitle(uint32_t title, uint32_t) override { return Moved(session_.PlayTitle(title)); }
    HRESULT PlayChapterInTitle(uint32_t title, uint32_t chapter, uint32_t) override
    {
        if (title == 0 || title > disc_.titles.size() || chapter == 0 || chapter > disc_.titles[title - 1].chapters)
            return E_INVALIDARG;
        return Moved(session_.PlayChapterInTitle(title, chapter));
    }
    HRESULT PlayAtTime(const DVD_HMSF_TIMECODE* time, uint32_t) override
    {
        return time ? Moved(session_.PlayAtTime(*time)) : E_POINTER;
    }
    HRESULT PlayPrevChapter(uint32_t) override { return Moved(session_.PlayPrevChapter()); }
    HRESULT PlayNextChapter(uint32_t) override { return Moved(session_.PlayNextChapter()); }
    HRESULT PlayForwards(double speed, uint32_t) override
    {
        if (!session_.IsOpen())
            return VFW_E_DVD_INVALIDDOMAIN;
        if (!(speed > 0))
            return E_INVALIDARG;
        if (streamer_->SetRate(speed))
            NotifyEvent(EC_DVD_PLAYBACK_RATE_CHANGE, std::lround(speed * 10000), 0);
        return S_OK;
    }
    HRESULT PlayBackwards(double, uint32_t) override { return E_NOTIMPL; }
    HRESULT ShowMenu(DVD_MENU_ID menu, uint32_t) override { return Moved(session_.ShowMenu(menu)); }
    HRESULT Resume(uint32_t) override { return Moved(session_.Resume()); }
    HRESULT ReturnFromSubmenu(uint32_t) override { return Moved(session_.ReturnFromSubmenu()); }
    HRESULT SelectRelativeButton(DVD_RELATIVE_BUTTON direction) override
    {
        return ButtonChanged(session_.SelectRelativeButton(direction));
    }
    HRESULT SelectButton(uint32_t button) override { return ButtonChanged(session_.SelectButton(button)); }
    HRESULT ActivateButton() override { return Moved(session_.ActivateButton()); }
    HRESULT SelectAtPosition(POINT point) override { return ButtonChanged(session_.SelectAtPosition(point)); }
    HRESULT ActivateAtPosition(POINT point) override { return Moved(session_.ActivateAtPosition(point)); }
    HRESULT SelectAudioStream(uint32_t stream, uint32_t) override
    {
        if (!Choosable(stream, true))
            return VFW_E_DVD_STREAM_DISABLED;
        session_.SelectAudio(stream);
        NotifyEvent(EC_DVD_AUDIO_STREAM_CHANGE, stream, 0);
        return S_OK;
    }
    HRESULT SelectSubpictureStream(uint32_t stream, uint32_t) override
    {
        if (!Choosable(stream, false))
            return VFW_E_DVD_STREAM_DISABLED;
        session_.SelectSubpicture(stream);
        NotifyEvent(EC_DVD_SUBPICTURE_STREAM_CHANGE, stream, session_.SubpicturesShown());
        return S_OK;
    }
    HRESULT SetSubpictureState(bool show, uint32_t) override
    {
        if (!session_.IsOpen())
            return VFW_E_DVD_INVALIDDOMAIN;
        session_.ShowSubpictures(show);
        streamer_->ShowSubpictures(show);
        NotifyEvent(EC_DVD_SUBPICTURE_STREAM_CHANGE, session_.SelectedSubpicture(), show);
        return S_OK;
    }
    HRESULT SelectAngle(uint32_t angle, uint32_t) override { return Moved(session_.SelectAngle(angle)); }

    // ---- IDvdInfo2
    HRESULT GetCurrentDomain(DVD_DOMAIN* domain) override
    {
        if (!domain)
            return E_POINTER;
        *domain = session_.Domain();
        return S_OK;
    }
    HRESULT GetCurrentLocation(DVD_PLAYBACK_LOCATION2* location) override
    {
        if (!location)
            return E_POINTER;
        if (!session_.IsOpen())
            return VFW_E_DVD_INVALIDDOMAIN;
        *location = session_.Location();
        return S_OK;
    }
    HRESULT GetTotalTitleTime(DVD_HMSF_TIMECODE* total, uint32_t* timeCodeFlags) override
    {
        if (!total)
            return E_POINTER;
        const uint64_t length = session_.TitleLength();
        if (length == 0)
            return VFW_E_DVD_INVALIDDOMAIN;
        const uint32_t rate = Current().VideoAttributes.ulFrameRate;
        *total = TimeCodeOf(length, rate);
        if (timeCodeFlags)
            *timeCodeFlags = rate == 25 ? DVD_TC_FLAG_25fps : DVD_TC_FLAG_30fps;
        return S_OK;
    }
    HRESULT GetCurrentButton(uint32_t* available, uint32_t* current) override
    {
        if (!available || !current)
            return E_POINTER;
        session_.Buttons(available, current);
        return S_OK;
    }
    HRESULT GetCurrentAngle(uint32_t* available, uint32_t* current) override
    {
        if (!available || !current)
            return E_POINTER;
        session_.Angles(available, current);
        return S_OK;
    }
    HRESULT GetCurrentAudio(uint32_t* available, uint32_t* current) override
    {
        if (!available || !current)
            return E_POINTER;
        if (!session_.IsOpen())
            return VFW_E_DVD_INVALIDDOMAIN;
        *available = Current().ulNumberOfAudioStreams;
        *current = session_.SelectedAudio();
        return S_OK;
    }
    HRESULT GetCurrentSubpicture(uint32_t* available, uint32_t* current, bool* disabled) override
    {
        if (!available || !current || !disabled)
            return E_POINTER;
        if (!session_.IsOpen())
            return VFW_E_DVD_INVALIDDOMAIN;
        *available = Current().ulNumberOfSubpictureStreams;
        *current = session_.SelectedSubpicture();
        *disabled = !session_.SubpicturesShown();
        return S_OK;
    }
    HRESULT IsAudioStreamEnabled(uint32_t stream, bool* enabled) override
    {
        if (!enabled)
            return E_POINTER;
        *enabled = stream < Current().ulNumberOfAudioStreams &&
                   (session_.Domain() != DVD_DOMAIN_Title || session_.AudioEnabled(stream));
        return S_OK;
    }
    HRESULT IsSubpictureStreamEnabled(uint32_t stream, bool* enabled) override
    {
        if (!enabled)
            return E_POINTER;
        *enabled = stream < Current().ulNumberOfSubpictureStreams &&
                   (session_.Domain() != DVD_DOMAIN_Title || session_.SubpictureEnabled(stream));
        return S_OK;
    }
    HRESULT GetAudioLanguage(uint32_t stream, LCID* language) override
    {
        if (!language)
            return E_POINTER;
        const DVD_TITLE_ATTRIBUTES& a = Current();
        if (stream >= a.ulNumberOfAudioStreams)
            return E_INVALIDARG;
        *language = a.AudioAttributes[stream].Language;
        return S_OK;
    }
    HRESULT GetSubpictureLanguage(uint32_t stream, LCID* language) override
    {
        if (!language)
            return E_POINTER;
        const DVD_TITLE_ATTRIBUTES& a = Current();
        if (stream >= a.ulNumberOfSubpictureStreams)
            return E_INVALIDARG;
        *language = a.SubpictureAttributes[stream].Language;
        return S_OK;
    }
    HRESULT GetDVDVolumeInfo(uint32_t* volumes, uint32_t* volume, DVD_DISC_SIDE* side, uint32_t* titles) override
    {
        if (!session_.IsOpen())
            return VFW_E_DVD_INVALIDDOMAIN;
        if (volumes)
            *volumes = 1;
        if (volume)
            *volume = 1;
        if (side)
            *side = DVD_SIDE_A;
        if (titles)
            *titles = static_cast<uint32_t>(disc_.titles.size());
        return S_OK;
    }
    HRESULT GetNumberOfChapters(uint32_t title, uint32_t* chapters) override
    {
        if (!chapters)
            return E_POINTER;
        if (title == 0 || title > disc_.titles.size())
            return E_INVALIDARG;
        *chapters = disc_.titles[title - 1].chapters;
        return S_OK;
    }
    HRESULT GetTitleAttributes(uint32_t title, DVD_TITLE_ATTRIBUTES* attributes) override
    {
        if (!attributes)
            return E_POINTER;
        if (title == DVD_TITLE_MENU) {
            if (!session_.IsOpen())
                return VFW_E_DVD_INVALIDDOMAIN;
            *attributes = disc_.menus;
            return S_OK;
        }
        if (title > disc_.titles.size())
            return E_INVALIDARG;
        const DvdTitle& t = disc_.titles[title - 1];
        *attributes = disc_.titleSets[t.titleSet - 1];
        attributes->ulAudioStreamsEnabled &= t.audioEnabled;
        attributes->ulSubpictureStreamsEnabled &= t.subpictureEnabled;
        return S_OK;
    }
    HRESULT GetDVDDirectory(std::u16string* path) override
    {
        if (!path)
            return E_POINTER;
        *path = folder_;
        return folder_.empty() ? E_FAIL : S_OK;
    }

    // ---- pins
    HRESULT CheckMediaType(BasePin& pin, const AMMediaType& type) override
    {
        if (!session_.IsOpen())
            return VFW_E_TYPE_NOT_ACCEPTED;
        const AMMediaType mine = PinType(pin);
        return type.majortype == mine.majortype && type.subtype == mine.subtype ? S_OK : S_FALSE;
    }
    HRESULT GetMediaType(BasePin& pin, int position, AMMediaType* type) override
    {
        if (position < 0)
            return E_INVALIDARG;
        if (position > 0 || !session_.IsOpen())
            return VFW_S_NO_MORE_ITEMS;
        *type = PinType(pin);
        return S_OK;
    }

protected:
    void OnPause(FILTER_STATE from) override
    {
        // The stream time stands still in a pause: where it stopped, or at
        // the start.
        REFERENCE_TIME now = 0;
        const ComPtr<IReferenceClock> clock = Clock();
        const bool ran = from == State_Running && clock && Succeeded(clock->GetTime(&now));
        {
            MutexLock lock(stateLock_);
            pausedAt_ = ran ? std::max<REFERENCE_TIME>(0, now - StartTime()) : 0;
        }
        if (from == State_Stopped && session_.IsOpen())
            streamer_->Start();
    }
    void OnStop() override { streamer_->Stop(); }

private:
    HRESULT Moved(HRESULT hr)
    {
        if (Succeeded(hr))
            streamer_->Wake();
        return hr;
    }

    HRESULT ButtonChanged(HRESULT hr)
    {
        if (Succeeded(hr)) {
            uint32_t available = 0, current = 0;
            session_.Buttons(&available, &current);
            streamer_->UpdateHighlight();
            NotifyEvent(EC_DVD_BUTTON_CHANGE, available, current);
        }
        return hr;
    }

    // Whether a stream may be chosen: in a title one its program chain
    // enables; elsewhere one the title last played (or the first) enables,
    // kept for the titles, as a disc's own audio and subtitle menus choose.
    bool Choosable(uint32_t stream, bool audio)
    {
        bool on = false;
        if (session_.Domain() == DVD_DOMAIN_Title) {
            if (audio)
                IsAudioStreamEnabled(stream, &on);
            else
                IsSubpictureStreamEnabled(stream, &on);
            return on;
        }
        DVD_TITLE_ATTRIBUTES a;
        if (!session_.IsOpen() || stream >= 32 ||
            Failed(GetTitleAttributes(std::max<uint32_t>(1, session_.Location().TitleNum), &a)))
            return false;
        return ((audio ? a.ulAudioStreamsEnabled : a.ulSubpictureStreamsEnabled) >> stream & 1) != 0;
    }

    // The attributes of what plays now: the title set's in a title or its
    // menus, the video manager's elsewhere; before playing, the first title's.
    const DVD_TITLE_ATTRIBUTES& Current() const
    {
        static const DVD_TITLE_ATTRIBUTES none;
        if (disc_.titles.empty())
            return none;
        const DVD_DOMAIN domain = session_.Domain();
        if (domain == DVD_DOMAIN_VideoManagerMenu || domain == DVD_DOMAIN_FirstPlay)
            return disc_.menus;
        uint32_t set = domain == DVD_DOMAIN_Stop ? 0 : session_.CurrentTitleSet();
        if (set == 0 || set > disc_.titleSets.size())
            set = disc_.titles[0].titleSet;
        return disc_.titleSets[set - 1];
    }

    AMMediaType PinType(BasePin& pin) const
    {
        const DVD_TITLE_ATTRIBUTES& first = disc_.titleSets[disc_.titles[0].titleSet - 1];
        if (pin.Name() == u"Video")
            return TypeOf(first.VideoAttributes.fIsMPEG1 ? AV_CODEC_ID_MPEG1VIDEO : AV_CODEC_ID_MPEG2VIDEO, first);
        if (pin.Name() == u"Audio")
            return TypeOf(AudioCodec(first), first);
        return TypeOf(AV_CODEC_ID_DVD_SUBTITLE, first);
    }

    REFERENCE_TIME StreamTimeNow()
    {
        ComPtr<IReferenceClock> clock = Clock();
        REFERENCE_TIME start = 0;
        {
            MutexLock lock(stateLock_);
            if (StateLocked() == State_Paused)
                return pausedAt_;
            if (StateLocked() != State_Running)
                return -1;
            start = StartTime();
        }
        REFERENCE_TIME now = 0;
        if (!clock || Failed(clock->GetTime(&now)))
            return -1;
        // A graph runs from a start time a little ahead: until then its time
        // stands at 0 (read as "stopped", nothing would bound the reading).
        return std::max<REFERENCE_TIME>(0, now - start);
    }

    DvdSession session_;
    DvdDisc disc_;
    std::u16string folder_;
    std::unique_ptr<DvdStreamer> streamer_;
    REFERENCE_TIME pausedAt_ GUARDED_BY(stateLock_) = 0;
};

} // namespace

ComPtr<IBaseFilter> MakeDvdNavigator() { return ComPtr<IBaseFilter>(MakeCom<DvdNavigator>().get()); }

} // namespace kolvarin::media
