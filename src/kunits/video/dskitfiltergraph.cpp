#include "video/dskitfiltergraph.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

#include <QEvent>
#include <QObject>

#include "core/system/kdebug.h"
#include "media/devenum.h"
#include "media/locale.h"
#include "media/notify.h"
#include "media/uuids.h"

namespace kolvarin::video {

using namespace media;

namespace {

// The component's own service identifier, asked for through the graph.
constexpr GUID kServiceId{0xC7CAA944, 0xC191, 0x4AB1, {0xAB, 0xA7, 0xD8, 0xB4, 0x0E, 0xF4, 0xD5, 0xB2}};

std::string Utf8(const std::u16string& s)
{
    std::string out;
    for (char16_t c : s) {
        if (c < 0x80)
            out += static_cast<char>(c);
        else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Graphs registered for outside viewers: no such viewer exists here, so the
// table lives in the process and only keeps the registration's cookie.
std::map<uint32_t, std::string>& RunningObjects()
{
    static std::map<uint32_t, std::string> table;
    return table;
}

} // namespace

EDirectShowException::EDirectShowException(HRESULT code)
    : std::runtime_error([code] {
          char hex[16];
          std::snprintf(hex, sizeof hex, "%x", static_cast<uint32_t>(code));
          return ErrorText(code) + " ($" + hex + ").";
      }()),
      code_(code)
{}

HRESULT Check(HRESULT hr)
{
    if (Failed(hr))
        throw EDirectShowException(hr);
    return hr;
}

TDVDTimeCode DecodeTimeCode(uint32_t v)
{
    auto bits = [v](int at, int count) { return static_cast<uint8_t>(v >> at & ((1u << count) - 1)); };
    return {bits(0, 4),  bits(4, 4),  bits(8, 4),  bits(12, 4), bits(16, 4),
            bits(20, 4), bits(24, 4), bits(28, 2), bits(30, 2)};
}

// The graph's site: the builder callbacks and the service, forwarded to the
// component while it is active.
class TFilterGraph::Site final
    : public ComObject<Site, IAMGraphBuilderCallback, IAMFilterGraphCallback, IServiceProvider> {
public:
    explicit Site(TFilterGraph* owner) : owner_(owner) {}
    void Detach() { owner_ = nullptr; }
    TFilterGraph* Owner() const { return owner_; }

    HRESULT SelectedFilter(IMoniker* moniker) override
    {
        if (!owner_ || !owner_->OnSelectedFilter || !moniker)
            return S_OK;
        ComPtr<IPropertyBag> bag;
        std::u16string name, clsid;
        if (Succeeded(moniker->BindToStorage(IPropertyBag::iid, bag.putVoid()))) {
            bag->Read(u"FriendlyName", &name);
            bag->Read(u"CLSID", &clsid);
        }
        const GUID id = GuidFromString(Utf8(clsid)).value_or(GUID_NULL);
        return owner_->OnSelectedFilter(moniker, name, id) ? S_OK : E_FAIL;
    }
    HRESULT CreatedFilter(IBaseFilter* filter) override
    {
        if (!owner_ || !owner_->OnCreatedFilter)
            return S_OK;
        return owner_->OnCreatedFilter(filter, ClassIdOf(filter)) ? S_OK : E_FAIL;
    }
    HRESULT UnableToRender(IPin* pin) override
    {
        // The component that owns the pin's graph, found through the graph's service.
        TFilterGraph* component = nullptr;
        if (auto filter = FilterOfPin(pin)) {
            FILTER_INFO info;
            filter->QueryFilterInfo(&info);
            if (auto provider = QueryAs<IServiceProvider>(info.pGraph.get())) {
                ComPtr<IUnknown> found;
                if (Succeeded(provider->QueryService(kServiceId, kServiceId, found.putVoid())))
                    if (auto* site = dynamic_cast<Site*>(
                            static_cast<IServiceProvider*>(QueryAs<IServiceProvider>(found.get()).get())))
                        component = site->Owner();
            }
        }
        if (component && component->OnUnableToRender && component->OnUnableToRender(pin))
            return S_OK;
        return S_FALSE;
    }
    HRESULT QueryService(const GUID& service, REFIID id, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (service == kServiceId && id == kServiceId && owner_) {
            *out = static_cast<IUnknown*>(static_cast<IServiceProvider*>(this));
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }

private:
    TFilterGraph* owner_;
};

class TFilterGraph::Receiver final : public QObject {
public:
    explicit Receiver(TFilterGraph& owner) : owner_(owner) {}

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == WindowMessageEvent::EventType() &&
            static_cast<WindowMessageEvent*>(e)->Message() == WM_GRAPHNOTIFY) {
            owner_.HandleGraphNotify();
            return true;
        }
        return QObject::event(e);
    }

private:
    TFilterGraph& owner_;
};

TFilterGraph::TFilterGraph() : receiver_(std::make_unique<Receiver>(*this)) {}

TFilterGraph::~TFilterGraph()
{
    try {
        SetActive(false);
    } catch (const std::exception&) {
    }
    // The components outlive the graph often enough (a window closed in
    // another order): they must not leave a graph that is gone.
    const auto filters = filters_;
    filters_.clear();
    sinks_.clear();
    for (IFilter* f : filters)
        f->GraphDestroyed();
}

void TFilterGraph::Loaded()
{
    if (autoCreate_)
        SetActive(true);
}

QObject* TFilterGraph::EventWindow() const { return receiver_.get(); }

HRESULT TFilterGraph::QueryInterface(const GUID& id, void** out) const
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!graph_)
        return E_NOINTERFACE;
    const HRESULT hr = graph_->QueryInterface(id, out);
    if (Succeeded(hr) || mode_ != TGraphMode::gmDVD)
        return hr;
    // The DVD graph builder's part: the navigator's interfaces (the first
    // filter of the graph that answers).
    ComPtr<IEnumFilters> filters;
    if (Failed(graph_->EnumFilters(filters.put())))
        return hr;
    for (ComPtr<IBaseFilter> f; filters->Next(1, f.put(), nullptr) == S_OK;)
        if (Succeeded(f->QueryInterface(id, out)))
            return S_OK;
    return hr;
}

void TFilterGraph::SetActive(bool active)
{
    if (active == Active())
        return;
    if (active) {
        // No capture graph builder here. A DVD graph is the normal graph
        // manager: its script adds the navigator filter itself.
        if (mode_ == TGraphMode::gmCapture)
            Check(REGDB_E_CLASSNOTREG);
        ComPtr<IFilterGraph2> graph;
        Check(CoCreateInstance(CLSID_FilterGraph, IFilterGraph2::iid, graph.putVoid()));
        graph_ = graph;
        if ((events_ = Query<IMediaEventEx>())) {
            events_->SetNotifyFlags(0);
            events_->SetNotifyWindow(receiver_.get(), WM_GRAPHNOTIFY, reinterpret_cast<intptr_t>(events_.get()));
        }
        if (auto withSite = Query<IObjectWithSite>()) {
            site_ = MakeCom<Site>(this);
            withSite->SetSite(static_cast<IAMGraphBuilderCallback*>(site_.get()));
        }
        SetGraphEdit(graphEdit_);
        SetLogFile(logFile_);
        for (IFilter* f : filters_)
            AddToGraph(f);
        if (OnActivate)
            OnActivate();
        ControlToSinks(IGraphEventSink::ceActive, 1);
        return;
    }
    ControlToSinks(IGraphEventSink::ceActive, 0);
    // Streaming ends before the components take their filters back.
    if (auto control = Query<IMediaControl>())
        control->Stop();
    for (IFilter* f : filters_)
        RemoveFromGraph(f);
    if (events_) {
        events_->SetNotifyFlags(1);
        events_->SetNotifyWindow(nullptr, 0, 0);
        events_.reset();
    }
    if (rotCookie_) {
        RunningObjects().erase(rotCookie_);
        rotCookie_ = 0;
    }
    if (graph_)
        Check(graph_->SetLogFile(0));
    if (logFd_ >= 0) {
        ::close(logFd_);
        logFd_ = -1;
    }
    if (site_) {
        if (auto withSite = Query<IObjectWithSite>())
            withSite->SetSite(nullptr);
        site_->Detach();
        site_.reset();
    }
    graph_.reset();
}

void TFilterGraph::SetMode(TGraphMode mode)
{
    if (mode == mode_)
        return;
    const bool was = Active();
    SetActive(false);
    mode_ = mode;
    SetActive(was);
}

void TFilterGraph::SetGraphEdit(bool on)
{
    if (!on && rotCookie_) {
        RunningObjects().erase(rotCookie_);
        rotCookie_ = 0;
    } else if (on && !rotCookie_ && graph_) {
        static uint32_t next = 1;
        char name[64];
        std::snprintf(name, sizeof name, "FilterGraph %p pid %x", static_cast<void*>(graph_.get()),
                      static_cast<unsigned>(::getpid()));
        rotCookie_ = next++;
        RunningObjects()[rotCookie_] = name;
    }
    graphEdit_ = on;
}

void TFilterGraph::SetLogFile(const std::u16string& name)
{
    if (graph_) {
        graph_->SetLogFile(0);
        if (logFd_ >= 0) {
            ::close(logFd_);
            logFd_ = -1;
        }
        if (!name.empty()) {
            logFd_ = ::open(Utf8(name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
            if (logFd_ >= 0)
                graph_->SetLogFile(logFd_);
        }
    }
    logFile_ = name;
}

void TFilterGraph::SetLinearVolume(bool linear)
{
    if (linear == linearVolume_)
        return;
    linearVolume_ = linear;
    SetVolume(volume_);
    SetBalance(balance_);
}

void TFilterGraph::ControlToSinks(IGraphEventSink::Control event, int param)
{
    const auto sinks = sinks_;
    for (IGraphEventSink* s : sinks)
        s->ControlEvent(event, param);
}

bool TFilterGraph::Play()
{
    auto control = Query<IMediaControl>();
    if (!control)
        return false;
    ControlToSinks(IGraphEventSink::cePlay, 0);
    return Succeeded(Check(control->Run()));
}

bool TFilterGraph::Pause()
{
    auto control = Query<IMediaControl>();
    if (!control)
        return false;
    ControlToSinks(IGraphEventSink::cePause, 0);
    return Succeeded(Check(control->Pause()));
}

bool TFilterGraph::Stop()
{
    auto control = Query<IMediaControl>();
    if (!control)
        return false;
    ControlToSinks(IGraphEventSink::ceStop, 0);
    return Succeeded(Check(control->Stop()));
}

int TFilterGraph::GetState()
{
    auto control = Query<IMediaControl>();
    if (!control)
        return 0;
    OAFilterState state = -1;
    control->GetState(0, &state);
    switch (state) {
    case State_Stopped: return 1;
    case State_Paused: return 2;
    case State_Running: return 3;
    default: return 0;
    }
}

void TFilterGraph::ApplyVolume()
{
    if (auto audio = Query<IBasicAudio>())
        audio->put_Volume(linearVolume_ ? static_cast<int32_t>(std::lround(std::log(volume_ + 1) * 1085.73)) - 10000
                                        : volume_ - 10000);
}

void TFilterGraph::ApplyBalance()
{
    auto audio = Query<IBasicAudio>();
    if (!audio)
        return;
    if (!linearVolume_) {
        audio->put_Balance(balance_);
        return;
    }
    // Reversed: +10000 (the slider's left end) gives -10000, the right channel silent.
    const auto r = static_cast<int32_t>(std::lround(std::log(std::abs(balance_) + 1) * 1085.73));
    audio->put_Balance(balance_ >= 0 ? -std::min(r, 10000) : std::min(r, 10000));
}

void TFilterGraph::SetVolume(int value)
{
    volume_ = std::clamp(value, 0, 10000);
    ApplyVolume();
}

void TFilterGraph::SetBalance(int value)
{
    balance_ = std::clamp(value, -10000, 10000);
    ApplyBalance();
}

void TFilterGraph::SetRate(double value)
{
    rate_ = value;
    if (auto seeking = Query<IMediaSeeking>())
        seeking->SetRate(value);
}

HRESULT TFilterGraph::RenderFile(const std::u16string& fileName)
{
    if (!graph_)
        return E_UNEXPECTED;
    ControlToSinks(IGraphEventSink::ceFileRendering, 0);
    const HRESULT hr = Check(graph_->RenderFile(fileName, {}));
    SetVolume(volume_);
    SetBalance(balance_);
    SetRate(rate_);
    ControlToSinks(IGraphEventSink::ceFileRendered, 0);
    return hr;
}

void TFilterGraph::ClearGraph()
{
    if (!graph_)
        return;
    Stop();
    std::vector<ComPtr<IBaseFilter>> all;
    ComPtr<IEnumFilters> e;
    if (Succeeded(graph_->EnumFilters(e.put()))) {
        ComPtr<IBaseFilter> f;
        while (e->Next(1, f.put(), nullptr) == S_OK)
            all.push_back(f);
    }
    for (auto& f : all) {
        FILTER_STATE state;
        if (Succeeded(f->GetState(1000, &state)) && state != State_Stopped)
            Check(f->Stop());
        for (auto& pin : PinsOf(f.get()))
            if (PeerOf(pin.get()))
                Check(pin->Disconnect());
    }
    for (IFilter* owned : filters_) {
        auto keep = owned->GetFilter();
        std::erase_if(all, [&](const ComPtr<IBaseFilter>& f) { return SameObject(f.get(), keep.get()); });
    }
    for (auto& f : all)
        Check(graph_->RemoveFilter(f.get()));
}

void TFilterGraph::AddToGraph(IFilter* f)
{
    f->NotifyFilter(IFilter::foAdding, 0);
    if (auto base = f->GetFilter())
        graph_->AddFilter(base.get(), f->GetName());
    f->NotifyFilter(IFilter::foAdded, 0);
}

void TFilterGraph::RemoveFromGraph(IFilter* f)
{
    f->NotifyFilter(IFilter::foRemoving, 0);
    if (auto base = f->GetFilter())
        graph_->RemoveFilter(base.get());
    f->NotifyFilter(IFilter::foRemoved, 0);
}

void TFilterGraph::InsertFilter(IFilter* filter)
{
    if (!filter || std::find(filters_.begin(), filters_.end(), filter) != filters_.end())
        return;
    filters_.push_back(filter);
    if (graph_)
        AddToGraph(filter);
}

void TFilterGraph::RemoveFilter(IFilter* filter)
{
    auto it = std::find(filters_.begin(), filters_.end(), filter);
    if (it == filters_.end())
        return;
    filters_.erase(it);
    if (graph_) {
        if (auto control = Query<IMediaControl>())
            control->Stop();
        RemoveFromGraph(filter);
    }
}

void TFilterGraph::AddEventSink(IGraphEventSink* sink)
{
    if (sink && std::find(sinks_.begin(), sinks_.end(), sink) == sinks_.end())
        sinks_.push_back(sink);
}

void TFilterGraph::RemoveEventSink(IGraphEventSink* sink) { std::erase(sinks_, sink); }

void TFilterGraph::HandleGraphNotify()
{
    try {
        // The interface is held for the loop, so a handler that deactivates
        // the graph cannot make the parameters of its event leak.
        ComPtr<IMediaEventEx> events = events_;
        int32_t code;
        intptr_t p1, p2;
        while (events && events->GetEvent(&code, &p1, &p2, 0) == S_OK) {
            try {
                DispatchEvent(code, p1, p2);
            } catch (...) {
                events->FreeEventParams(code, p1, p2);
                throw;
            }
            events->FreeEventParams(code, p1, p2);
            if (!events_)
                break;
        }
    } catch (const std::exception& e) {
        Log("TFilterGraph.HandleGraphNotify", std::string("Exception in ") + handler_ + ": " + e.what());
    } catch (...) {
        Log("TFilterGraph.HandleGraphNotify", std::string("Exception in ") + handler_);
    }
}

void TFilterGraph::DispatchEvent(int32_t event, intptr_t p1, intptr_t p2)
{
    const auto sinks = sinks_;
    handler_ = "GraphEvent";
    for (IGraphEventSink* s : sinks)
        s->GraphEvent(event, p1, p2);
    handler_ = "OnDSEvent";
    if (OnDSEvent)
        OnDSEvent(event, p1, p2);
    auto fire = [this](const char* name, const auto& handler, auto&&... args) {
        handler_ = name;
        if (handler)
            handler(args...);
    };
    const auto u32 = [](intptr_t v) { return static_cast<uint32_t>(v); };
    const auto hr = [](intptr_t v) { return static_cast<HRESULT>(v); };
    const auto filter = [](intptr_t v) { return reinterpret_cast<IBaseFilter*>(v); };
    const auto pin = [](intptr_t v) { return reinterpret_cast<IPin*>(v); };
    const auto text = [](intptr_t v) { return v ? std::u16string(EventStringText(v)) : std::u16string(); };
    switch (event) {
    case EC_COMPLETE: fire("OnGraphComplete", OnGraphComplete, hr(p1), filter(p2)); break;
    case EC_USERABORT: fire("OnGraphUserAbort", OnGraphUserAbort); break;
    case EC_ERRORABORT: fire("OnGraphErrorAbort", OnGraphErrorAbort, hr(p1)); break;
    case EC_STREAM_ERROR_STOPPED: fire("OnGraphStreamErrorStopped", OnGraphStreamErrorStopped, hr(p1), u32(p2)); break;
    case EC_STREAM_ERROR_STILLPLAYING:
        fire("OnGraphStreamErrorStillPlaying", OnGraphStreamErrorStillPlaying, hr(p1), u32(p2));
        break;
    case EC_ERROR_STILLPLAYING: fire("OnGraphErrorStillPlaying", OnGraphErrorStillPlaying, hr(p1)); break;
    case EC_PALETTE_CHANGED: fire("OnGraphPaletteChanged", OnGraphPaletteChanged); break;
    case EC_VIDEO_SIZE_CHANGED:
        fire("OnGraphVideoSizeChanged", OnGraphVideoSizeChanged, static_cast<uint16_t>(p1),
             static_cast<uint16_t>(p1 >> 16));
        break;
    case EC_QUALITY_CHANGE: fire("OnGraphQualityChange", OnGraphQualityChange); break;
    case EC_CLOCK_CHANGED: fire("OnGraphClockChanged", OnGraphClockChanged); break;
    case EC_PAUSED: fire("OnGraphPaused", OnGraphPaused, hr(p1)); break;
    case EC_OPENING_FILE: fire("OnGraphOpeningFile", OnGraphOpeningFile, p1 == 1); break;
    case EC_BUFFERING_DATA: fire("OnGraphBufferingData", OnGraphBufferingData, p1 == 1); break;
    case EC_FULLSCREEN_LOST: fire("OnGraphFullscreenLost", OnGraphFullscreenLost, filter(p2)); break;
    case EC_OLE_EVENT: fire("OnGraphOleEvent", OnGraphOleEvent, text(p1), text(p2)); break;
    case EC_STREAM_CONTROL_STOPPED:
        fire("OnGraphStreamControlStopped", OnGraphStreamControlStopped, pin(p1), u32(p2));
        break;
    case EC_STREAM_CONTROL_STARTED:
        fire("OnGraphStreamControlStarted", OnGraphStreamControlStarted, pin(p1), u32(p2));
        break;
    case EC_END_OF_SEGMENT:
        fire("OnGraphEndOfSegment", OnGraphEndOfSegment, p1 ? *reinterpret_cast<const int64_t*>(p1) : 0, u32(p2));
        break;
    case EC_DEVICE_LOST: fire("OnGraphDeviceLost", OnGraphDeviceLost, reinterpret_cast<IUnknown*>(p1), p2 == 1); break;
    case EC_STEP_COMPLETE: fire("OnGraphStepComplete", OnGraphStepComplete); break;
    case EC_TIMECODE_AVAILABLE: fire("OnGraphTimeCodeAvailable", OnGraphTimeCodeAvailable, filter(p1), u32(p2)); break;
    case EC_EXTDEVICE_MODE_CHANGE:
        fire("OnGraphEXTDeviceModeChange", OnGraphEXTDeviceModeChange, u32(p1), u32(p2));
        break;
    case EC_GRAPH_CHANGED: fire("OnGraphChanged", OnGraphChanged); break;
    case EC_CLOCK_UNSET: fire("OnGraphClockUnset", OnGraphClockUnset); break;
    case EC_VMR_RENDERDEVICE_SET: fire("OnGraphVMRRenderDevice", OnGraphVMRRenderDevice, static_cast<int>(p1)); break;
    case EC_DVD_DOMAIN_CHANGE:
        FireNumbered(p1, {{"OnDVDDomainFirstPlay", &OnDVDDomainFirstPlay},
                          {"OnDVDDomainVideoManagerMenu", &OnDVDDomainVideoManagerMenu},
                          {"OnDVDDomainVideoTitleSetMenu", &OnDVDDomainVideoTitleSetMenu},
                          {"OnDVDDomainTitle", &OnDVDDomainTitle},
                          {"OnDVDDomainStop", &OnDVDDomainStop}});
        break;
    case EC_DVD_TITLE_CHANGE: fire("OnDVDTitleChange", OnDVDTitleChange, static_cast<int>(p1)); break;
    case EC_DVD_CHAPTER_START: fire("OnDVDChapterStart", OnDVDChapterStart, static_cast<int>(p1)); break;
    case EC_DVD_AUDIO_STREAM_CHANGE: FireStreamChange(true, p1); break;
    case EC_DVD_SUBPICTURE_STREAM_CHANGE: FireStreamChange(false, p1); break;
    case 0x106: fire("OnDVDAngleChange", OnDVDAngleChange, static_cast<int>(p1), static_cast<int>(p2)); break;
    case 0x107: fire("OnDVDButtonChange", OnDVDButtonChange, static_cast<int>(p1), static_cast<int>(p2)); break;
    case 0x108: fire("OnDVDValidUOPSChange", OnDVDValidUOPSChange, static_cast<int>(p1)); break;
    case 0x109: fire("OnDVDStillOn", OnDVDStillOn, p1 == 1, static_cast<int>(p2)); break;
    case 0x10A: fire("OnDVDStillOff", OnDVDStillOff); break;
    case EC_DVD_CURRENT_TIME: {
        const TDVDTimeCode t = DecodeTimeCode(u32(p1));
        const int rate = t.FrameRateCode == 1 ? 25 : t.FrameRateCode == 3 ? 30 : 0;
        fire("OnDVDCurrentTime", OnDVDCurrentTime, t.Hours1 + 10 * t.Hours10, t.Minutes1 + 10 * t.Minutes10,
             t.Seconds1 + 10 * t.Seconds10, t.Frames1 + 10 * t.Frames10, rate);
        break;
    }
    case EC_DVD_ERROR:
        FireNumbered(p1,
                     {{"OnDVDErrorUnexpected", &OnDVDErrorUnexpected},
                      {"OnDVDErrorCopyProtectFail", &OnDVDErrorCopyProtectFail},
                      {"OnDVDErrorInvalidDVD1_0Disc", &OnDVDErrorInvalidDVD1_0Disc},
                      {"OnDVDErrorInvalidDiscRegion", &OnDVDErrorInvalidDiscRegion},
                      {"OnDVDErrorLowParentalLevel", &OnDVDErrorLowParentalLevel},
                      {"OnDVDErrorMacrovisionFail", &OnDVDErrorMacrovisionFail},
                      {"OnDVDErrorIncompatibleSystemAndDecoderRegions", &OnDVDErrorIncompatibleSystemAndDecoderRegions},
                      {"OnDVDErrorIncompatibleDiscAndDecoderRegions", &OnDVDErrorIncompatibleDiscAndDecoderRegions}});
        break;
    case EC_DVD_WARNING:
        FireNumbered(p1, {{"OnDVDWarningInvalidDVD1_0Disc", &OnDVDWarningInvalidDVD1_0Disc},
                          {"OnDVDWarningFormatNotSupported", &OnDVDWarningFormatNotSupported},
                          {"OnDVDWarningIllegalNavCommand", &OnDVDWarningIllegalNavCommand},
                          {"OnDVDWarningOpen", &OnDVDWarningOpen},
                          {"OnDVDWarningSeek", &OnDVDWarningSeek},
                          {"OnDVDWarningRead", &OnDVDWarningRead}});
        break;
    case 0x10E: fire("OnDVDChapterAutoStop", OnDVDChapterAutoStop); break;
    case 0x10F: fire("OnDVDNoFP_PGC", OnDVDNoFP_PGC); break;
    case 0x110: fire("OnDVDPlaybackRateChange", OnDVDPlaybackRateChange, static_cast<float>(p1 / 10000.0)); break;
    case 0x111: fire("OnDVDParentalLevelChange", OnDVDParentalLevelChange, static_cast<int>(p1)); break;
    case 0x112: fire("OnDVDPlaybackStopped", OnDVDPlaybackStopped); break;
    case 0x113: fire("OnDVDAnglesAvailable", OnDVDAnglesAvailable, p1 == 1); break;
    case 0x114: fire("OnDVDPlayPeriodAutoStop", OnDVDPlayPeriodAutoStop); break;
    case 0x115: fire("OnDVDButtonAutoActivated", OnDVDButtonAutoActivated, u32(p1)); break;
    case 0x116: fire("OnDVDCMDStart", OnDVDCMDStart, u32(p1)); break;
    case 0x117: fire("OnDVDCMDEnd", OnDVDCMDEnd, u32(p1)); break;
    case 0x118: fire("OnDVDDiscEjected", OnDVDDiscEjected); break;
    case 0x119: fire("OnDVDDiscInserted", OnDVDDiscInserted); break;
    case EC_DVD_CURRENT_HMSF_TIME: {
        fire("OnDVDCurrentHMSFTime", OnDVDCurrentHMSFTime, media::UnpackTimeCode(u32(p1)), DecodeTimeCode(u32(p2)));
        break;
    }
    case 0x11B: fire("OnDVDKaraokeMode", OnDVDKaraokeMode, p1 != 0); break;
    case EC_SNDDEV_IN_ERROR: fire("OnGraphSNDDevInError", OnGraphSNDDevInError, u32(p1), u32(p2)); break;
    case EC_SNDDEV_OUT_ERROR: fire("OnGraphSNDDevOutError", OnGraphSNDDevOutError, u32(p1), u32(p2)); break;
    default: break;
    }
}

void TFilterGraph::FireNumbered(intptr_t param,
                                std::initializer_list<std::pair<const char*, std::function<void()>*>> handlers)
{
    if (param < 1 || param > static_cast<intptr_t>(handlers.size()))
        return;
    const auto& [name, handler] = handlers.begin()[param - 1];
    handler_ = name;
    if (*handler)
        (*handler)();
}

void TFilterGraph::FireStreamChange(bool audio, intptr_t stream)
{
    const auto& handler = audio ? OnDVDAudioStreamChange : OnDVDSubpictureStreamChange;
    handler_ = audio ? "OnDVDAudioStreamChange" : "OnDVDSubpictureStreamChange";
    const auto info = Query<media::IDvdInfo2>();
    if (!handler || !info)
        return;
    media::LCID lcid = 0;
    const auto number = static_cast<uint32_t>(stream);
    if (audio)
        Check(info->GetAudioLanguage(number, &lcid));
    else
        info->GetSubpictureLanguage(number, &lcid);
    handler(static_cast<int>(stream), static_cast<int>(lcid), media::EnglishLanguageName(lcid));
}

} // namespace kolvarin::video
