#pragma once

// For implementers of filters: a base filter that keeps state, clock, graph
// and pins, generic input and output pins that forward to the filter, and a
// memory sample. Not for users of the framework.
//
// Pins are parts of their filter: they share its reference count and live as
// long as it does. State changes come from the main thread (through the
// graph); Receive, EndOfStream, flushes and new segments come on the
// streaming thread of the upstream source.

#include <atomic>
#include <condition_variable>
#include <memory>
#include <string>
#include <vector>

#include "base/threadsafety.h"
#include "media/filterif.h"
#include "media/graphif.h"

struct AVFrame;

namespace kolvarin::media {

class BaseFilter;

class BasePin : public IPin {
public:
    BasePin(BaseFilter& filter, PIN_DIRECTION dir, std::u16string name);
    virtual ~BasePin();
    BasePin(const BasePin&) = delete;
    BasePin& operator=(const BasePin&) = delete;

    HRESULT QueryInterface(REFIID id, void** out) override;
    uint32_t AddRef() override;
    uint32_t Release() override;

    HRESULT Disconnect() override;
    HRESULT ConnectedTo(IPin** pin) override;
    HRESULT ConnectionMediaType(AMMediaType* type) override;
    HRESULT QueryPinInfo(PIN_INFO* info) override;
    HRESULT QueryDirection(PIN_DIRECTION* dir) override;
    HRESULT QueryId(std::u16string* id) override;
    HRESULT QueryAccept(const AMMediaType* type) override;
    HRESULT EnumMediaTypes(IEnumMediaTypes** types) override;

    bool IsConnected() const { return peer_ != nullptr; }
    const AMMediaType& CurrentMediaType() const { return mt_; }
    IPin* Peer() const { return peer_.get(); }
    BaseFilter& Filter() const { return filter_; }
    const std::u16string& Name() const { return name_; }
    // Changes the connection type while connected (a new format in a sample).
    void SetCurrentMediaType(const AMMediaType& mt) { mt_ = mt; }
    // The pin's stream lock, for a filter that sends through one pin from
    // more than one thread (a redraw beside the streaming thread): held while
    // a sample or a type change goes through, so one goes at a time. The
    // pins themselves never take it. Taken before the filter's other locks.
    Mutex& StreamLock() RETURN_CAPABILITY(streamLock_) { return streamLock_; }

protected:
    // Fixes the connection: stores peer and type and tells the filter. A
    // failure of the filter leaves the pin unconnected.
    HRESULT AttemptConnection(IPin* peer, const AMMediaType& type);
    HRESULT CheckType(const AMMediaType& type);

    BaseFilter& filter_;
    PIN_DIRECTION dir_;
    std::u16string name_;
    ComPtr<IPin> peer_;
    AMMediaType mt_;

private:
    // Guards nothing of the pin's: see StreamLock.
    Mutex streamLock_;
};

class InputPin : public BasePin, public IMemInputPin {
public:
    InputPin(BaseFilter& filter, std::u16string name) : BasePin(filter, PINDIR_INPUT, std::move(name)) {}

    HRESULT QueryInterface(REFIID id, void** out) override;
    uint32_t AddRef() override { return BasePin::AddRef(); }
    uint32_t Release() override { return BasePin::Release(); }

    HRESULT Connect(IPin*, const AMMediaType*) override { return E_UNEXPECTED; }
    HRESULT ReceiveConnection(IPin* connector, const AMMediaType* type) override;
    HRESULT EndOfStream() override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;
    HRESULT NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;
    HRESULT Receive(IMediaSample* sample) override;
    HRESULT ReceiveCanBlock() override { return S_OK; }

private:
    // A source may begin a flush on another thread than the one delivering.
    std::atomic<bool> flushing_{false};
};

class OutputPin : public BasePin {
public:
    OutputPin(BaseFilter& filter, std::u16string name) : BasePin(filter, PINDIR_OUTPUT, std::move(name)) {}

    HRESULT Connect(IPin* receivePin, const AMMediaType* type) override;
    HRESULT ReceiveConnection(IPin*, const AMMediaType*) override { return E_UNEXPECTED; }
    HRESULT EndOfStream() override { return E_UNEXPECTED; }
    HRESULT BeginFlush() override { return E_UNEXPECTED; }
    HRESULT EndFlush() override { return E_UNEXPECTED; }
    HRESULT NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) override { return S_OK; }
    HRESULT Disconnect() override;

    // Downstream calls; S_FALSE or a failure from Deliver means "stop sending".
    HRESULT Deliver(IMediaSample* sample);
    HRESULT DeliverEndOfStream();
    HRESULT DeliverBeginFlush();
    HRESULT DeliverEndFlush();
    HRESULT DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);

private:
    HRESULT TryType(IPin* receivePin, const AMMediaType& type);
    ComPtr<IMemInputPin> input_;
};

// A filter's state, pins and place in a graph. Subclasses add their pins in
// the constructor and override the hooks they need.
class BaseFilter : public ComObject<BaseFilter, IBaseFilter> {
public:
    BaseFilter(const CLSID& clsid, std::u16string defaultName);

    HRESULT GetClassID(CLSID* id) override;
    HRESULT Stop() override;
    HRESULT Pause() override;
    HRESULT Run(REFERENCE_TIME start) override;
    HRESULT GetState(uint32_t msTimeout, FILTER_STATE* state) override;
    HRESULT SetSyncSource(IReferenceClock* clock) override;
    HRESULT GetSyncSource(IReferenceClock** clock) override;
    HRESULT EnumPins(IEnumPins** pins) override;
    HRESULT FindPin(const std::u16string& id, IPin** pin) override;
    HRESULT QueryFilterInfo(FILTER_INFO* info) override;
    HRESULT JoinFilterGraph(IFilterGraph* graph, const std::u16string& name) override;

    // Pin hooks, called by the filter's pins.
    virtual HRESULT CheckMediaType(BasePin& pin, const AMMediaType& type) = 0;
    // Types a pin offers, by position: S_OK or VFW_S_NO_MORE_ITEMS.
    virtual HRESULT GetMediaType(BasePin& pin, int position, AMMediaType* type);
    virtual HRESULT CompleteConnect(BasePin& pin, IPin* peer);
    virtual void BreakConnect(BasePin& pin);
    virtual HRESULT Receive(InputPin& pin, IMediaSample* sample);
    virtual HRESULT EndOfStream(InputPin& pin);
    virtual HRESULT BeginFlush(InputPin& pin);
    virtual HRESULT EndFlush(InputPin& pin);
    virtual HRESULT NewSegment(InputPin& pin, REFERENCE_TIME start, REFERENCE_TIME stop, double rate);
    // Interfaces a pin answers beyond IPin and IMemInputPin (an added reference).
    virtual HRESULT QueryPinInterface(BasePin& pin, REFIID id, void** out);

    FILTER_STATE State() const;
    // Sends an event to the graph's event queue (nothing outside a graph).
    void NotifyEvent(int32_t code, intptr_t param1, intptr_t param2);
    IFilterGraph* Graph() const { return graph_; }
    const std::vector<std::unique_ptr<BasePin>>& Pins() const { return pins_; }

protected:
    // State hooks, called with the new state already stored.
    virtual void OnStop() {}
    virtual void OnPause(FILTER_STATE from) { (void)from; }
    virtual void OnRun(REFERENCE_TIME start) { (void)start; }
    // While true, GetState answers VFW_S_STATE_INTERMEDIATE (renderers that
    // wait for their first sample in a pause).
    virtual bool Intermediate() const { return false; }

    InputPin& AddInputPin(std::u16string name);
    OutputPin& AddOutputPin(std::u16string name);
    void RemovePin(BasePin& pin);
    ComPtr<IReferenceClock> Clock() const;
    REFERENCE_TIME StartTime() const REQUIRES(stateLock_) { return start_; }
    // The state, for callers that hold stateLock_.
    FILTER_STATE StateLocked() const REQUIRES(stateLock_) { return state_; }

    // Guards the state, the run's start and the clock below, and what
    // subclasses mark with it (a renderer's flush and preroll flags). Taken
    // after a filter's own locks; nothing else is taken while it is held.
    mutable Mutex stateLock_;
    // Signalled on every state change and flush, for threads that wait.
    std::condition_variable stateChanged_;

private:
    CLSID clsid_;
    std::u16string name_;
    FILTER_STATE state_ GUARDED_BY(stateLock_) = State_Stopped;
    REFERENCE_TIME start_ GUARDED_BY(stateLock_) = 0;
    ComPtr<IReferenceClock> clock_ GUARDED_BY(stateLock_);
    IFilterGraph* graph_ = nullptr;
    std::vector<std::unique_ptr<BasePin>> pins_;
};

// A filter (FilterBase: BaseFilter or one of its subclasses) with further
// interfaces Extra...: answers them from its own object and keeps one
// reference count.
template <class FilterBase, class... Extra>
class Extend : public FilterBase, public Extra... {
public:
    using FilterBase::FilterBase;
    HRESULT QueryInterface(REFIID id, void** out) override { return FilterBase::QueryInterface(id, out); }
    uint32_t AddRef() override { return FilterBase::AddRef(); }
    uint32_t Release() override { return FilterBase::Release(); }

protected:
    HRESULT QueryExtra(REFIID id, void** out) override
    {
        const bool found = (... || (detail::ImplementsId<Extra>(id) && (*out = static_cast<Extra*>(this), true)));
        if (!found)
            return FilterBase::QueryExtra(id, out);
        FilterBase::AddRef();
        return S_OK;
    }
};
template <class... Extra>
using FilterWith = Extend<BaseFilter, Extra...>;

// A sample in memory. Video decoders attach the decoded picture instead of
// copying it into the buffer (FrameOf reads it back).
class MediaSample : public ComObject<MediaSample, IMediaSample> {
public:
    explicit MediaSample(int32_t size);
    ~MediaSample() override;

    HRESULT GetPointer(uint8_t** buffer) override;
    int32_t GetSize() override { return static_cast<int32_t>(buffer_.size()); }
    HRESULT GetTime(REFERENCE_TIME* start, REFERENCE_TIME* stop) override;
    HRESULT SetTime(const REFERENCE_TIME* start, const REFERENCE_TIME* stop) override;
    HRESULT IsSyncPoint() override { return sync_ ? S_OK : S_FALSE; }
    HRESULT SetSyncPoint(bool sync) override;
    HRESULT IsPreroll() override { return preroll_ ? S_OK : S_FALSE; }
    HRESULT SetPreroll(bool preroll) override;
    int32_t GetActualDataLength() override { return length_; }
    HRESULT SetActualDataLength(int32_t length) override;
    HRESULT GetMediaType(AMMediaType* type) override;
    HRESULT SetMediaType(const AMMediaType* type) override;
    HRESULT IsDiscontinuity() override { return discontinuity_ ? S_OK : S_FALSE; }
    HRESULT SetDiscontinuity(bool discontinuity) override;
    HRESULT GetMediaTime(int64_t* start, int64_t* stop) override;
    HRESULT SetMediaTime(const int64_t* start, const int64_t* stop) override;

    // Takes a reference to the picture (the sample unreferences it).
    void AttachFrame(const AVFrame* frame);
    const AVFrame* Frame() const { return frame_; }

private:
    std::vector<uint8_t> buffer_;
    int32_t length_ = 0;
    bool timeValid_ = false, stopValid_ = false, mediaTimeValid_ = false;
    REFERENCE_TIME start_ = 0, stop_ = 0;
    int64_t mediaStart_ = 0, mediaStop_ = 0;
    bool sync_ = false, preroll_ = false, discontinuity_ = false;
    std::unique_ptr<AMMediaType> type_;
    AVFrame* frame_ = nullptr;
};

// The picture of a sample made by our decoders, or nullptr.
const AVFrame* FrameOf(IMediaSample* sample);

// Copies a name into FILTER_INFO/PIN_INFO limits (127 characters).
std::u16string TruncatedName(const std::u16string& name);

// What every IMediaSeeking here shares: positions are media time only, and
// CheckCapabilities keeps in *caps those of `have` asked for: S_OK all,
// S_FALSE some, E_FAIL none.
HRESULT GetMediaTimeFormat(GUID* format);
HRESULT SetMediaTimeFormat(const GUID& format);
HRESULT CheckSeekingCapabilities(uint32_t have, uint32_t* caps);

// What a filter that draws over the pictures it passes on shares: `picture`
// takes I420, `output` offers the picture's type once that is connected.
HRESULT CheckPassedPictureType(const BasePin& pin, const BasePin& picture, const BasePin& output,
                               const AMMediaType& type);
HRESULT GetPassedPictureType(const BasePin& pin, const BasePin& picture, const BasePin& output, int position,
                             AMMediaType* type);

} // namespace kolvarin::media
