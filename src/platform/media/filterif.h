#pragma once

// Filters, pins, samples and clocks: the interfaces through which filters
// are connected and data flows. Data flows by push: an output pin delivers
// samples to the connected input pin's IMemInputPin::Receive on the
// streaming thread of its source.

#include <cstdint>
#include <string>

#include "media/com.h"
#include "media/formatblocks.h"
#include "media/mediatype.h"

namespace kolvarin::media {

class IFilterGraph;
class IBaseFilter;
class IPin;

enum FILTER_STATE : int32_t { State_Stopped = 0, State_Paused = 1, State_Running = 2 };
enum PIN_DIRECTION : int32_t { PINDIR_INPUT = 0, PINDIR_OUTPUT = 1 };

struct PIN_INFO {
    ComPtr<IBaseFilter> pFilter;
    PIN_DIRECTION dir = PINDIR_INPUT;
    std::u16string achName; // at most 127 characters
};

struct FILTER_INFO {
    std::u16string achName; // at most 127 characters
    ComPtr<IFilterGraph> pGraph;
};

inline constexpr HRESULT VFW_S_NO_STOP_TIME = 0x00040270;
inline constexpr HRESULT VFW_E_SAMPLE_TIME_NOT_SET = MakeFailure(0x80040249);
inline constexpr HRESULT VFW_E_MEDIA_TIME_NOT_SET = MakeFailure(0x80040251);

class IPersist : public IUnknown {
public:
    using Base = IUnknown;
    static constexpr IID iid{0x0000010C, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
    virtual HRESULT GetClassID(CLSID* id) = 0;

protected:
    ~IPersist() = default;
};

class IReferenceClock : public IUnknown {
public:
    using Base = IUnknown;
    static constexpr IID iid{0x56A86897, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
    // The clock's time in 100 ns units; monotonic. Any thread.
    virtual HRESULT GetTime(REFERENCE_TIME* time) = 0;

protected:
    ~IReferenceClock() = default;
};

class IMediaSample : public IUnknown {
public:
    using Base = IUnknown;
    static constexpr IID iid{0x56A8689A, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
    virtual HRESULT GetPointer(uint8_t** buffer) = 0;
    virtual int32_t GetSize() = 0;
    // Stream times relative to the segment start: S_OK, VFW_S_NO_STOP_TIME
    // (stop = start + 1) or VFW_E_SAMPLE_TIME_NOT_SET.
    virtual HRESULT GetTime(REFERENCE_TIME* start, REFERENCE_TIME* stop) = 0;
    // nullptr start clears the times.
    virtual HRESULT SetTime(const REFERENCE_TIME* start, const REFERENCE_TIME* stop) = 0;
    virtual HRESULT IsSyncPoint() = 0; // S_OK or S_FALSE
    virtual HRESULT SetSyncPoint(bool sync) = 0;
    virtual HRESULT IsPreroll() = 0;
    virtual HRESULT SetPreroll(bool preroll) = 0;
    virtual int32_t GetActualDataLength() = 0;
    // E_INVALIDARG beyond GetSize().
    virtual HRESULT SetActualDataLength(int32_t length) = 0;
    // S_OK and the type when the format changes with this sample, else S_FALSE.
    virtual HRESULT GetMediaType(AMMediaType* type) = 0;
    virtual HRESULT SetMediaType(const AMMediaType* type) = 0;
    virtual HRESULT IsDiscontinuity() = 0;
    virtual HRESULT SetDiscontinuity(bool discontinuity) = 0;
    virtual HRESULT GetMediaTime(int64_t* start, int64_t* stop) = 0;
    virtual HRESULT SetMediaTime(const int64_t* start, const int64_t* stop) = 0;

protected:
    ~IMediaSample() = default;
};

class IEnumMediaTypes : public IUnknown {
public:
    using Base = IUnknown;
    static constexpr IID iid{0x89C31040, 0x846B, 0x11CE, {0x97, 0xD3, 0x00, 0xAA, 0x00, 0x55, 0x59, 0x5A}};
    // Copies up to count types; S_OK when all were there, else S_FALSE.
    virtual HRESULT Next(uint32_t count, AMMediaType* types, uint32_t* fetched) = 0;
    virtual HRESULT Skip(uint32_t count) = 0;
    virtual HRESULT Reset() = 0;

protected:
    ~IEnumMediaTypes() = default;
};

class IPin : public IUnknown {
public:
    using Base = IUnknown;
    static constexpr IID iid{0x56A86891, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
    // Output pins: connect to receivePin, with type when given (partial types
    // allowed), else with the first type both accept.
    virtual HRESULT Connect(IPin* receivePin, const AMMediaType* type) = 0;
    // Input pins: accept a connection from connector with this type.
    virtual HRESULT ReceiveConnection(IPin* connector, const AMMediaType* type) = 0;
    // Breaks this side of the connection (S_FALSE when not connected).
    virtual HRESULT Disconnect() = 0;
    virtual HRESULT ConnectedTo(IPin** pin) = 0; // VFW_E_NOT_CONNECTED
    virtual HRESULT ConnectionMediaType(AMMediaType* type) = 0; // VFW_E_NOT_CONNECTED
    virtual HRESULT QueryPinInfo(PIN_INFO* info) = 0;
    virtual HRESULT QueryDirection(PIN_DIRECTION* dir) = 0;
    virtual HRESULT QueryId(std::u16string* id) = 0;
    virtual HRESULT QueryAccept(const AMMediaType* type) = 0; // S_OK or S_FALSE
    virtual HRESULT EnumMediaTypes(IEnumMediaTypes** types) = 0;
    virtual HRESULT EndOfStream() = 0;
    virtual HRESULT BeginFlush() = 0;
    virtual HRESULT EndFlush() = 0;
    virtual HRESULT NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) = 0;

protected:
    ~IPin() = default;
};

class IMemInputPin : public IUnknown {
public:
    using Base = IUnknown;
    static constexpr IID iid{0x56A8689D, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
    // Takes one sample on the streaming thread; may block (renderers wait for
    // the sample's time). S_FALSE: deliver no more until a flush or a stop.
    virtual HRESULT Receive(IMediaSample* sample) = 0;
    virtual HRESULT ReceiveCanBlock() = 0;

protected:
    ~IMemInputPin() = default;
};

class IEnumPins : public IUnknown {
public:
    using Base = IUnknown;
    static constexpr IID iid{0x56A86892, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
    virtual HRESULT Next(uint32_t count, IPin** pins, uint32_t* fetched) = 0;
    virtual HRESULT Skip(uint32_t count) = 0;
    virtual HRESULT Reset() = 0;

protected:
    ~IEnumPins() = default;
};

class IMediaFilter : public IPersist {
public:
    using Base = IPersist;
    static constexpr IID iid{0x56A86899, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
    virtual HRESULT Stop() = 0;
    virtual HRESULT Pause() = 0;
    // start: the reference time at which stream time 0 plays.
    virtual HRESULT Run(REFERENCE_TIME start) = 0;
    virtual HRESULT GetState(uint32_t msTimeout, FILTER_STATE* state) = 0;
    virtual HRESULT SetSyncSource(IReferenceClock* clock) = 0;
    virtual HRESULT GetSyncSource(IReferenceClock** clock) = 0;

protected:
    ~IMediaFilter() = default;
};

class IBaseFilter : public IMediaFilter {
public:
    using Base = IMediaFilter;
    static constexpr IID iid{0x56A86895, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
    virtual HRESULT EnumPins(IEnumPins** pins) = 0;
    virtual HRESULT FindPin(const std::u16string& id, IPin** pin) = 0;
    virtual HRESULT QueryFilterInfo(FILTER_INFO* info) = 0;
    // Called by the graph when the filter is added (graph set) or removed
    // (graph nullptr). The filter holds no reference to the graph.
    virtual HRESULT JoinFilterGraph(IFilterGraph* graph, const std::u16string& name) = 0;

protected:
    ~IBaseFilter() = default;
};

class IEnumFilters : public IUnknown {
public:
    using Base = IUnknown;
    static constexpr IID iid{0x56A86893, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
    virtual HRESULT Next(uint32_t count, IBaseFilter** filters, uint32_t* fetched) = 0;
    virtual HRESULT Skip(uint32_t count) = 0;
    virtual HRESULT Reset() = 0;

protected:
    ~IEnumFilters() = default;
};

// The pins and filters of an object, in enumeration order (helpers over the
// enumerators).
std::vector<ComPtr<IPin>> PinsOf(IBaseFilter* filter);
std::vector<ComPtr<IPin>> PinsOf(IBaseFilter* filter, PIN_DIRECTION dir);
std::vector<AMMediaType> MediaTypesOf(IPin* pin);
CLSID ClassIdOf(IUnknown* object);
std::u16string PinName(IPin* pin);
std::u16string FilterName(IBaseFilter* filter);
ComPtr<IBaseFilter> FilterOfPin(IPin* pin);
ComPtr<IPin> PeerOf(IPin* pin);

} // namespace kolvarin::media
