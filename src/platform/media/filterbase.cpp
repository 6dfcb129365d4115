#include "media/filterbase.h"

#include <algorithm>

extern "C" {
#include <libavutil/frame.h>
}

#include "media/enumerators.h"
#include "media/uuids.h"

namespace kolvarin::media {

std::u16string TruncatedName(const std::u16string& name) { return name.substr(0, 127); }

HRESULT GetMediaTimeFormat(GUID* format)
{
    if (!format)
        return E_POINTER;
    *format = TIME_FORMAT_MEDIA_TIME;
    return S_OK;
}

HRESULT SetMediaTimeFormat(const GUID& format) { return format == TIME_FORMAT_MEDIA_TIME ? S_OK : E_INVALIDARG; }

HRESULT CheckSeekingCapabilities(uint32_t have, uint32_t* caps)
{
    if (!caps)
        return E_POINTER;
    const uint32_t wanted = *caps;
    *caps &= have;
    return *caps == wanted ? S_OK : *caps ? S_FALSE : E_FAIL;
}

HRESULT CheckPassedPictureType(const BasePin& pin, const BasePin& picture, const BasePin& output,
                               const AMMediaType& type)
{
    const bool i420 = type.majortype == MEDIATYPE_Video && type.subtype == MEDIASUBTYPE_I420;
    if (&pin == &output)
        return i420 && picture.IsConnected() ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    return i420 ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT GetPassedPictureType(const BasePin& pin, const BasePin& picture, const BasePin& output, int position,
                             AMMediaType* type)
{
    if (&pin != &output || !picture.IsConnected() || position > 0)
        return VFW_S_NO_MORE_ITEMS;
    *type = picture.CurrentMediaType();
    return S_OK;
}

// ---- BasePin

BasePin::BasePin(BaseFilter& filter, PIN_DIRECTION dir, std::u16string name)
    : filter_(filter), dir_(dir), name_(std::move(name))
{}

BasePin::~BasePin() = default;

HRESULT BasePin::QueryInterface(REFIID id, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (id == IUnknown::iid || id == IPin::iid) {
        *out = static_cast<IPin*>(this);
        AddRef();
        return S_OK;
    }
    return filter_.QueryPinInterface(*this, id, out);
}

uint32_t BasePin::AddRef() { return filter_.AddRef(); }
uint32_t BasePin::Release() { return filter_.Release(); }

HRESULT BasePin::Disconnect()
{
    if (filter_.State() != State_Stopped)
        return VFW_E_NOT_STOPPED;
    if (!peer_)
        return S_FALSE;
    filter_.BreakConnect(*this);
    peer_.reset();
    mt_ = {};
    return S_OK;
}

HRESULT BasePin::ConnectedTo(IPin** pin)
{
    if (!pin)
        return E_POINTER;
    *pin = nullptr;
    if (!peer_)
        return VFW_E_NOT_CONNECTED;
    *pin = ComPtr<IPin>(peer_).detach();
    return S_OK;
}

HRESULT BasePin::ConnectionMediaType(AMMediaType* type)
{
    if (!type)
        return E_POINTER;
    if (!peer_) {
        *type = {};
        return VFW_E_NOT_CONNECTED;
    }
    *type = mt_;
    return S_OK;
}

HRESULT BasePin::QueryPinInfo(PIN_INFO* info)
{
    if (!info)
        return E_POINTER;
    info->pFilter = ComPtr<IBaseFilter>(&filter_);
    info->dir = dir_;
    info->achName = TruncatedName(name_);
    return S_OK;
}

HRESULT BasePin::QueryDirection(PIN_DIRECTION* dir)
{
    if (!dir)
        return E_POINTER;
    *dir = dir_;
    return S_OK;
}

HRESULT BasePin::QueryId(std::u16string* id)
{
    if (!id)
        return E_POINTER;
    *id = name_;
    return S_OK;
}

HRESULT BasePin::QueryAccept(const AMMediaType* type)
{
    if (!type)
        return E_POINTER;
    return filter_.CheckMediaType(*this, *type) == S_OK ? S_OK : S_FALSE;
}

HRESULT BasePin::EnumMediaTypes(IEnumMediaTypes** types)
{
    if (!types)
        return E_POINTER;
    std::vector<AMMediaType> list;
    for (int i = 0; i < 256; ++i) {
        AMMediaType mt;
        if (filter_.GetMediaType(*this, i, &mt) != S_OK)
            break;
        list.push_back(std::move(mt));
    }
    *types = MakeCom<MediaTypeEnumerator>(std::move(list)).detach();
    return S_OK;
}

HRESULT BasePin::CheckType(const AMMediaType& type)
{
    const HRESULT hr = filter_.CheckMediaType(*this, type);
    return hr == S_OK ? S_OK : Failed(hr) ? hr : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT BasePin::AttemptConnection(IPin* peer, const AMMediaType& type)
{
    peer_ = peer;
    mt_ = type;
    const HRESULT hr = filter_.CompleteConnect(*this, peer);
    if (Failed(hr)) {
        filter_.BreakConnect(*this);
        peer_.reset();
        mt_ = {};
    }
    return hr;
}

// ---- InputPin

HRESULT InputPin::QueryInterface(REFIID id, void** out)
{
    if (out && id == IMemInputPin::iid) {
        *out = static_cast<IMemInputPin*>(this);
        AddRef();
        return S_OK;
    }
    return BasePin::QueryInterface(id, out);
}

HRESULT InputPin::ReceiveConnection(IPin* connector, const AMMediaType* type)
{
    if (!connector || !type)
        return E_POINTER;
    if (peer_)
        return VFW_E_ALREADY_CONNECTED;
    if (filter_.State() != State_Stopped)
        return VFW_E_NOT_STOPPED;
    const HRESULT hr = CheckType(*type);
    if (hr != S_OK)
        return hr;
    return AttemptConnection(connector, *type);
}

HRESULT InputPin::EndOfStream()
{
    if (flushing_)
        return S_FALSE;
    return filter_.EndOfStream(*this);
}

HRESULT InputPin::BeginFlush()
{
    flushing_ = true;
    return filter_.BeginFlush(*this);
}

HRESULT InputPin::EndFlush()
{
    const HRESULT hr = filter_.EndFlush(*this);
    flushing_ = false;
    return hr;
}

HRESULT InputPin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate)
{
    return filter_.NewSegment(*this, start, stop, rate);
}

HRESULT InputPin::Receive(IMediaSample* sample)
{
    if (!sample)
        return E_POINTER;
    if (flushing_ || filter_.State() == State_Stopped)
        return S_FALSE;
    return filter_.Receive(*this, sample);
}

// ---- OutputPin

HRESULT OutputPin::TryType(IPin* receivePin, const AMMediaType& type)
{
    if (CheckType(type) != S_OK)
        return VFW_E_TYPE_NOT_ACCEPTED;
    HRESULT hr = receivePin->ReceiveConnection(this, &type);
    if (Failed(hr))
        return hr;
    input_ = QueryAs<IMemInputPin>(receivePin);
    if (!input_) {
        receivePin->Disconnect();
        return VFW_E_NO_TRANSPORT;
    }
    hr = AttemptConnection(receivePin, type);
    if (Failed(hr)) {
        receivePin->Disconnect();
        input_.reset();
    }
    return hr;
}

HRESULT OutputPin::Connect(IPin* receivePin, const AMMediaType* type)
{
    if (!receivePin)
        return E_POINTER;
    if (peer_)
        return VFW_E_ALREADY_CONNECTED;
    if (filter_.State() != State_Stopped)
        return VFW_E_NOT_STOPPED;
    PIN_DIRECTION dir;
    if (Failed(receivePin->QueryDirection(&dir)) || dir != PINDIR_INPUT)
        return E_INVALIDARG;
    const bool full =
        type && type->majortype != GUID_NULL && type->subtype != GUID_NULL && type->formattype != GUID_NULL;
    if (full)
        return TryType(receivePin, *type);
    // Our types first, then the receiver's.
    std::vector<AMMediaType> candidates;
    for (int i = 0; i < 256; ++i) {
        AMMediaType mt;
        if (filter_.GetMediaType(*this, i, &mt) != S_OK)
            break;
        candidates.push_back(std::move(mt));
    }
    for (auto& mt : MediaTypesOf(receivePin))
        candidates.push_back(std::move(mt));
    HRESULT last = VFW_E_NO_ACCEPTABLE_TYPES;
    for (const auto& mt : candidates) {
        if (type && !MediaTypeMatchesPartial(mt, *type))
            continue;
        const HRESULT hr = TryType(receivePin, mt);
        if (Succeeded(hr))
            return hr;
        last = hr;
    }
    return last == VFW_E_TYPE_NOT_ACCEPTED ? VFW_E_NO_ACCEPTABLE_TYPES : last;
}

HRESULT OutputPin::Disconnect()
{
    const HRESULT hr = BasePin::Disconnect();
    if (hr == S_OK)
        input_.reset();
    return hr;
}

HRESULT OutputPin::Deliver(IMediaSample* sample)
{
    if (!input_)
        return VFW_E_NOT_CONNECTED;
    return input_->Receive(sample);
}

HRESULT OutputPin::DeliverEndOfStream() { return peer_ ? peer_->EndOfStream() : VFW_E_NOT_CONNECTED; }
HRESULT OutputPin::DeliverBeginFlush() { return peer_ ? peer_->BeginFlush() : VFW_E_NOT_CONNECTED; }
HRESULT OutputPin::DeliverEndFlush() { return peer_ ? peer_->EndFlush() : VFW_E_NOT_CONNECTED; }
HRESULT OutputPin::DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate)
{
    return peer_ ? peer_->NewSegment(start, stop, rate) : VFW_E_NOT_CONNECTED;
}

// ---- BaseFilter

BaseFilter::BaseFilter(const CLSID& clsid, std::u16string defaultName) : clsid_(clsid), name_(std::move(defaultName)) {}

HRESULT BaseFilter::GetClassID(CLSID* id)
{
    if (!id)
        return E_POINTER;
    *id = clsid_;
    return S_OK;
}

FILTER_STATE BaseFilter::State() const
{
    MutexLock lock(stateLock_);
    return state_;
}

HRESULT BaseFilter::Stop()
{
    {
        MutexLock lock(stateLock_);
        if (state_ == State_Stopped)
            return S_OK;
        state_ = State_Stopped;
    }
    stateChanged_.notify_all();
    OnStop();
    return S_OK;
}

HRESULT BaseFilter::Pause()
{
    FILTER_STATE from;
    {
        MutexLock lock(stateLock_);
        from = state_;
        if (from == State_Paused)
            return S_OK;
        state_ = State_Paused;
    }
    stateChanged_.notify_all();
    OnPause(from);
    return S_OK;
}

HRESULT BaseFilter::Run(REFERENCE_TIME start)
{
    FILTER_STATE from;
    {
        MutexLock lock(stateLock_);
        from = state_;
    }
    if (from == State_Stopped)
        Pause();
    {
        MutexLock lock(stateLock_);
        state_ = State_Running;
        start_ = start;
    }
    stateChanged_.notify_all();
    OnRun(start);
    return S_OK;
}

HRESULT BaseFilter::GetState(uint32_t, FILTER_STATE* state)
{
    if (!state)
        return E_POINTER;
    *state = State();
    return *state == State_Paused && Intermediate() ? VFW_S_STATE_INTERMEDIATE : S_OK;
}

HRESULT BaseFilter::SetSyncSource(IReferenceClock* clock)
{
    MutexLock lock(stateLock_);
    clock_ = clock;
    return S_OK;
}

HRESULT BaseFilter::GetSyncSource(IReferenceClock** clock)
{
    if (!clock)
        return E_POINTER;
    *clock = Clock().detach();
    return S_OK;
}

ComPtr<IReferenceClock> BaseFilter::Clock() const
{
    MutexLock lock(stateLock_);
    return clock_;
}

HRESULT BaseFilter::EnumPins(IEnumPins** pins)
{
    if (!pins)
        return E_POINTER;
    std::vector<ComPtr<IPin>> list;
    for (auto& p : pins_)
        list.emplace_back(p.get());
    *pins = MakeCom<RefEnumerator<IEnumPins, IPin>>(std::move(list)).detach();
    return S_OK;
}

HRESULT BaseFilter::FindPin(const std::u16string& id, IPin** pin)
{
    if (!pin)
        return E_POINTER;
    *pin = nullptr;
    for (auto& p : pins_)
        if (p->Name() == id) {
            *pin = ComPtr<IPin>(p.get()).detach();
            return S_OK;
        }
    return VFW_E_NOT_FOUND;
}

HRESULT BaseFilter::QueryFilterInfo(FILTER_INFO* info)
{
    if (!info)
        return E_POINTER;
    info->achName = TruncatedName(name_);
    info->pGraph = graph_;
    return S_OK;
}

HRESULT BaseFilter::JoinFilterGraph(IFilterGraph* graph, const std::u16string& name)
{
    graph_ = graph;
    if (graph)
        name_ = name;
    return S_OK;
}

HRESULT BaseFilter::GetMediaType(BasePin&, int, AMMediaType*) { return VFW_S_NO_MORE_ITEMS; }
HRESULT BaseFilter::CompleteConnect(BasePin&, IPin*) { return S_OK; }
void BaseFilter::BreakConnect(BasePin&) {}
HRESULT BaseFilter::Receive(InputPin&, IMediaSample*) { return S_OK; }
HRESULT BaseFilter::EndOfStream(InputPin&) { return S_OK; }
HRESULT BaseFilter::BeginFlush(InputPin&) { return S_OK; }
HRESULT BaseFilter::EndFlush(InputPin&) { return S_OK; }
HRESULT BaseFilter::NewSegment(InputPin&, REFERENCE_TIME, REFERENCE_TIME, double) { return S_OK; }
HRESULT BaseFilter::QueryPinInterface(BasePin&, REFIID, void**) { return E_NOINTERFACE; }

void BaseFilter::NotifyEvent(int32_t code, intptr_t param1, intptr_t param2)
{
    if (auto sink = QueryAs<IMediaEventSink>(graph_))
        sink->Notify(code, param1, param2);
}

InputPin& BaseFilter::AddInputPin(std::u16string name)
{
    pins_.push_back(std::make_unique<InputPin>(*this, std::move(name)));
    return static_cast<InputPin&>(*pins_.back());
}

OutputPin& BaseFilter::AddOutputPin(std::u16string name)
{
    pins_.push_back(std::make_unique<OutputPin>(*this, std::move(name)));
    return static_cast<OutputPin&>(*pins_.back());
}

void BaseFilter::RemovePin(BasePin& pin)
{
    std::erase_if(pins_, [&](const auto& p) { return p.get() == &pin; });
}

// ---- MediaSample

MediaSample::MediaSample(int32_t size) : buffer_(static_cast<size_t>(std::max(size, 0))) {}

MediaSample::~MediaSample() { av_frame_free(&frame_); }

HRESULT MediaSample::GetPointer(uint8_t** buffer)
{
    if (!buffer)
        return E_POINTER;
    *buffer = buffer_.data();
    return S_OK;
}

HRESULT MediaSample::GetTime(REFERENCE_TIME* start, REFERENCE_TIME* stop)
{
    if (!start || !stop)
        return E_POINTER;
    if (!timeValid_)
        return VFW_E_SAMPLE_TIME_NOT_SET;
    *start = start_;
    *stop = stopValid_ ? stop_ : start_ + 1;
    return stopValid_ ? S_OK : VFW_S_NO_STOP_TIME;
}

HRESULT MediaSample::SetTime(const REFERENCE_TIME* start, const REFERENCE_TIME* stop)
{
    timeValid_ = start != nullptr;
    stopValid_ = start && stop;
    start_ = start ? *start : 0;
    stop_ = stopValid_ ? *stop : 0;
    return S_OK;
}

HRESULT MediaSample::SetSyncPoint(bool sync)
{
    sync_ = sync;
    return S_OK;
}

HRESULT MediaSample::SetPreroll(bool preroll)
{
    preroll_ = preroll;
    return S_OK;
}

HRESULT MediaSample::SetActualDataLength(int32_t length)
{
    if (length < 0 || length > GetSize())
        return E_INVALIDARG;
    length_ = length;
    return S_OK;
}

HRESULT MediaSample::GetMediaType(AMMediaType* type)
{
    if (!type)
        return E_POINTER;
    if (!type_)
        return S_FALSE;
    *type = *type_;
    return S_OK;
}

HRESULT MediaSample::SetMediaType(const AMMediaType* type)
{
    type_ = type ? std::make_unique<AMMediaType>(*type) : nullptr;
    return S_OK;
}

HRESULT MediaSample::SetDiscontinuity(bool discontinuity)
{
    discontinuity_ = discontinuity;
    return S_OK;
}

HRESULT MediaSample::GetMediaTime(int64_t* start, int64_t* stop)
{
    if (!start || !stop)
        return E_POINTER;
    if (!mediaTimeValid_)
        return VFW_E_MEDIA_TIME_NOT_SET;
    *start = mediaStart_;
    *stop = mediaStop_;
    return S_OK;
}

HRESULT MediaSample::SetMediaTime(const int64_t* start, const int64_t* stop)
{
    mediaTimeValid_ = start && stop;
    mediaStart_ = start ? *start : 0;
    mediaStop_ = stop ? *stop : 0;
    return S_OK;
}

void MediaSample::AttachFrame(const AVFrame* frame)
{
    av_frame_free(&frame_);
    frame_ = frame ? av_frame_clone(frame) : nullptr;
}

const AVFrame* FrameOf(IMediaSample* sample)
{
    auto* s = dynamic_cast<MediaSample*>(sample);
    return s ? s->Frame() : nullptr;
}

// ---- helpers over the enumerators

std::vector<ComPtr<IPin>> PinsOf(IBaseFilter* filter)
{
    std::vector<ComPtr<IPin>> pins;
    ComPtr<IEnumPins> e;
    if (!filter || Failed(filter->EnumPins(e.put())) || !e)
        return pins;
    ComPtr<IPin> pin;
    while (e->Next(1, pin.put(), nullptr) == S_OK)
        pins.push_back(pin);
    return pins;
}

std::vector<ComPtr<IPin>> PinsOf(IBaseFilter* filter, PIN_DIRECTION dir)
{
    auto pins = PinsOf(filter);
    std::erase_if(pins, [dir](const ComPtr<IPin>& p) {
        PIN_DIRECTION d;
        return Failed(p->QueryDirection(&d)) || d != dir;
    });
    return pins;
}

std::vector<AMMediaType> MediaTypesOf(IPin* pin)
{
    std::vector<AMMediaType> types;
    ComPtr<IEnumMediaTypes> e;
    if (!pin || Failed(pin->EnumMediaTypes(e.put())) || !e)
        return types;
    AMMediaType mt;
    while (e->Next(1, &mt, nullptr) == S_OK && types.size() < 1024)
        types.push_back(mt);
    return types;
}

CLSID ClassIdOf(IUnknown* object)
{
    CLSID id{};
    if (auto p = QueryAs<IPersist>(object))
        p->GetClassID(&id);
    return id;
}

std::u16string PinName(IPin* pin)
{
    PIN_INFO info;
    if (pin && Succeeded(pin->QueryPinInfo(&info)))
        return info.achName;
    return {};
}

std::u16string FilterName(IBaseFilter* filter)
{
    FILTER_INFO info;
    if (filter && Succeeded(filter->QueryFilterInfo(&info)))
        return info.achName;
    return {};
}

ComPtr<IBaseFilter> FilterOfPin(IPin* pin)
{
    PIN_INFO info;
    if (pin && Succeeded(pin->QueryPinInfo(&info)))
        return info.pFilter;
    return {};
}

ComPtr<IPin> PeerOf(IPin* pin)
{
    ComPtr<IPin> peer;
    if (pin)
        pin->ConnectedTo(peer.put());
    return peer;
}

} // namespace kolvarin::media
