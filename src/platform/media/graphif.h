#pragma once

// The filter graph manager's interfaces: building (add, remove, connect,
// render), control (run, pause, stop), seeking and events.
//
// Threads: every call is made from the main thread, except
// IMediaEventSink::Notify, which filters call on any thread.

#include <cstdint>
#include <string>

#include "media/filterif.h"

class QObject;

namespace kolvarin::media {

class IMoniker;

class IFilterGraph : public IUnknown {
public:
    using Base = IUnknown;
    static constexpr IID iid{0x56A8689F, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
    // name empty: a name is made up; a taken name gets a number appended and
    // the result is VFW_S_DUPLICATE_NAME.
    virtual HRESULT AddFilter(IBaseFilter* filter, const std::u16string& name) = 0;
    // Disconnects the filter's pins and removes it.
    virtual HRESULT RemoveFilter(IBaseFilter* filter) = 0;
    // Filters in the order they were added.
    virtual HRESULT EnumFilters(IEnumFilters** filters) = 0;
    virtual HRESULT FindFilterByName(const std::u16string& name, IBaseFilter** filter) = 0;
    // Connects two pins without intermediate filters.
    virtual HRESULT ConnectDirect(IPin* out, IPin* in, const AMMediaType* type) = 0;
    virtual HRESULT Reconnect(IPin* pin) = 0;
    virtual HRESULT Disconnect(IPin* pin) = 0;
    virtual HRESULT SetDefaultSyncSource() = 0;

protected:
    ~IFilterGraph() = default;
};
inline constexpr HRESULT VFW_S_DUPLICATE_NAME = 0x0004022D;

class IGraphBuilder : public IFilterGraph {
public:
    using Base = IFilterGraph;
    static constexpr IID iid{0x56A868A9, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
    // Connects two pins, inserting registered filters in between when needed.
    virtual HRESULT Connect(IPin* out, IPin* in) = 0;
    // Renders an output pin by registered filters down to renderers.
    virtual HRESULT Render(IPin* out) = 0;
    // Builds a graph that plays the file; S_OK, VFW_S_PARTIAL_RENDER when
    // some streams cannot be rendered, or a failure after which the graph
    // holds no filter this call added.
    virtual HRESULT RenderFile(const std::u16string& file, const std::u16string& playList) = 0;
    virtual HRESULT AddSourceFilter(const std::u16string& file, const std::u16string& name, IBaseFilter** filter) = 0;
    // A file descriptor that receives the graph's log (0: none). The graph
    // does not close it.
    virtual HRESULT SetLogFile(intptr_t file) = 0;
    virtual HRESULT Abort() = 0;
    virtual HRESULT ShouldOperationContinue() = 0;

protected:
    ~IGraphBuilder() = default;
};

class IFilterGraph2 : public IGraphBuilder {
public:
    using Base = IGraphBuilder;
    static constexpr IID iid{0x36B73882, 0xC2C8, 0x11CF, {0x8B, 0x46, 0x00, 0x80, 0x5F, 0x6C, 0xEF, 0x60}};
    virtual HRESULT AddSourceFilterForMoniker(IMoniker* moniker, const std::u16string& name, IBaseFilter** filter) = 0;
    virtual HRESULT RenderEx(IPin* out, uint32_t flags, void* context) = 0;

protected:
    ~IFilterGraph2() = default;
};
inline constexpr uint32_t AM_RENDEREX_RENDERTOEXISTINGRENDERERS = 1;

using OAFilterState = int32_t;

class IMediaControl : public IUnknown {
public:
    using Base = IUnknown;
    static constexpr IID iid{0x56A868B1, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
    virtual HRESULT Run() = 0;
    virtual HRESULT Pause() = 0;
    virtual HRESULT Stop() = 0;
    // S_OK, or VFW_S_STATE_INTERMEDIATE while a pause still waits for data.
    virtual HRESULT GetState(int32_t msTimeout, OAFilterState* state) = 0;
    virtual HRESULT RenderFile(const std::u16string& file) = 0;
    virtual HRESULT StopWhenReady() = 0;

protected:
    ~IMediaControl() = default;
};

enum AM_SEEKING_SEEKING_CAPABILITIES : uint32_t {
    AM_SEEKING_CanSeekAbsolute = 0x1,
    AM_SEEKING_CanSeekForwards = 0x2,
    AM_SEEKING_CanSeekBackwards = 0x4,
    AM_SEEKING_CanGetCurrentPos = 0x8,
    AM_SEEKING_CanGetStopPos = 0x10,
    AM_SEEKING_CanGetDuration = 0x20,
    AM_SEEKING_CanPlayBackwards = 0x40,
    AM_SEEKING_CanDoSegments = 0x80,
    AM_SEEKING_Source = 0x100,
};
enum AM_SEEKING_SEEKING_FLAGS : uint32_t {
    AM_SEEKING_NoPositioning = 0,
    AM_SEEKING_AbsolutePositioning = 1,
    AM_SEEKING_RelativePositioning = 2,
    AM_SEEKING_IncrementalPositioning = 3,
    AM_SEEKING_PositioningBitsMask = 3,
    AM_SEEKING_SeekToKeyFrame = 4,
};

class IMediaSeeking : public IUnknown {
public:
    using Base = IUnknown;
    static constexpr IID iid{0x36B73880, 0xC2C8, 0x11CF, {0x8B, 0x46, 0x00, 0x80, 0x5F, 0x6C, 0xEF, 0x60}};
    virtual HRESULT GetCapabilities(uint32_t* caps) = 0;
    virtual HRESULT CheckCapabilities(uint32_t* caps) = 0;
    virtual HRESULT GetTimeFormat(GUID* format) = 0;
    virtual HRESULT SetTimeFormat(const GUID& format) = 0;
    virtual HRESULT GetDuration(int64_t* duration) = 0;
    virtual HRESULT GetStopPosition(int64_t* stop) = 0;
    virtual HRESULT GetCurrentPosition(int64_t* current) = 0;
    virtual HRESULT SetPositions(int64_t* current, uint32_t currentFlags, int64_t* stop, uint32_t stopFlags) = 0;
    virtual HRESULT GetPositions(int64_t* current, int64_t* stop) = 0;
    virtual HRESULT GetAvailable(int64_t* earliest, int64_t* latest) = 0;
    virtual HRESULT SetRate(double rate) = 0;
    virtual HRESULT GetRate(double* rate) = 0;

protected:
    ~IMediaSeeking() = default;
};

// Event codes.
enum : int32_t {
    EC_COMPLETE = 0x01,
    EC_USERABORT = 0x02,
    EC_ERRORABORT = 0x03,
    EC_REPAINT = 0x05,
    EC_STREAM_ERROR_STOPPED = 0x06,
    EC_STREAM_ERROR_STILLPLAYING = 0x07,
    EC_ERROR_STILLPLAYING = 0x08,
    EC_PALETTE_CHANGED = 0x09,
    EC_VIDEO_SIZE_CHANGED = 0x0A,
    EC_QUALITY_CHANGE = 0x0B,
    EC_SHUTTING_DOWN = 0x0C,
    EC_CLOCK_CHANGED = 0x0D,
    EC_PAUSED = 0x0E,
    EC_OPENING_FILE = 0x10,
    EC_BUFFERING_DATA = 0x11,
    EC_FULLSCREEN_LOST = 0x12,
    EC_ACTIVATE = 0x13,
    EC_OLE_EVENT = 0x18,
    EC_STREAM_CONTROL_STOPPED = 0x1A,
    EC_STREAM_CONTROL_STARTED = 0x1B,
    EC_END_OF_SEGMENT = 0x1C,
    EC_DEVICE_LOST = 0x1F,
    EC_STEP_COMPLETE = 0x24,
    EC_TIMECODE_AVAILABLE = 0x30,
    EC_EXTDEVICE_MODE_CHANGE = 0x31,
    EC_GRAPH_CHANGED = 0x50,
    EC_CLOCK_UNSET = 0x51,
    EC_VMR_RENDERDEVICE_SET = 0x53,
    EC_DVD_DOMAIN_CHANGE = 0x101,
    EC_DVD_TITLE_CHANGE = 0x102,
    EC_DVD_CHAPTER_START = 0x103,
    EC_DVD_AUDIO_STREAM_CHANGE = 0x104,
    EC_DVD_SUBPICTURE_STREAM_CHANGE = 0x105,
    EC_DVD_CURRENT_TIME = 0x10B,
    EC_DVD_ERROR = 0x10C,
    EC_DVD_WARNING = 0x10D,
    EC_DVD_CURRENT_HMSF_TIME = 0x11A,
    EC_SNDDEV_IN_ERROR = 0x200,
    EC_SNDDEV_OUT_ERROR = 0x201,
};

class IMediaEvent : public IUnknown {
public:
    using Base = IUnknown;
    static constexpr IID iid{0x56A868B6, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
    // The oldest queued event, waiting up to msTimeout (E_ABORT when none).
    // The caller frees its parameters with FreeEventParams.
    virtual HRESULT GetEvent(int32_t* code, intptr_t* param1, intptr_t* param2, int32_t msTimeout) = 0;
    virtual HRESULT WaitForCompletion(int32_t msTimeout, int32_t* code) = 0;
    virtual HRESULT CancelDefaultHandling(int32_t code) = 0;
    virtual HRESULT RestoreDefaultHandling(int32_t code) = 0;
    virtual HRESULT FreeEventParams(int32_t code, intptr_t param1, intptr_t param2) = 0;

protected:
    ~IMediaEvent() = default;
};

class IMediaEventEx : public IMediaEvent {
public:
    using Base = IMediaEvent;
    static constexpr IID iid{0x56A868C0, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
    // Each queued event posts a WindowMessageEvent(message, 0, instance) to
    // receiver through the event loop (nullptr: none).
    virtual HRESULT SetNotifyWindow(QObject* receiver, int32_t message, intptr_t instance) = 0;
    // 1 (AM_MEDIAEVENT_NONOTIFY): queue nothing and post nothing.
    virtual HRESULT SetNotifyFlags(int32_t flags) = 0;
    virtual HRESULT GetNotifyFlags(int32_t* flags) = 0;

protected:
    ~IMediaEventEx() = default;
};

class IMediaEventSink : public IUnknown {
public:
    using Base = IUnknown;
    static constexpr IID iid{0x56A868A2, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
    // Queues an event; any thread.
    virtual HRESULT Notify(int32_t code, intptr_t param1, intptr_t param2) = 0;

protected:
    ~IMediaEventSink() = default;
};

class IObjectWithSite : public IUnknown {
public:
    using Base = IUnknown;
    static constexpr IID iid{0xFC4801A3, 0x2BA9, 0x11CF, {0xA2, 0x29, 0x00, 0xAA, 0x00, 0x3D, 0x73, 0x52}};
    virtual HRESULT SetSite(IUnknown* site) = 0;
    virtual HRESULT GetSite(REFIID id, void** site) = 0;

protected:
    ~IObjectWithSite() = default;
};

class IServiceProvider : public IUnknown {
public:
    using Base = IUnknown;
    static constexpr IID iid{0x6D5140C1, 0x7436, 0x11CE, {0x80, 0x34, 0x00, 0xAA, 0x00, 0x60, 0x09, 0xFA}};
    virtual HRESULT QueryService(const GUID& service, REFIID id, void** out) = 0;

protected:
    ~IServiceProvider() = default;
};

// Asked by the graph while it renders automatically (the graph's site).
class IAMGraphBuilderCallback : public IUnknown {
public:
    using Base = IUnknown;
    static constexpr IID iid{0x4995F511, 0x9DDB, 0x4F12, {0xBD, 0x3B, 0xF0, 0x46, 0x11, 0x80, 0x7B, 0x79}};
    // Before a registered filter is created: a failure skips it.
    virtual HRESULT SelectedFilter(IMoniker* moniker) = 0;
    // After it was created: a failure skips it.
    virtual HRESULT CreatedFilter(IBaseFilter* filter) = 0;

protected:
    ~IAMGraphBuilderCallback() = default;
};

class IAMFilterGraphCallback : public IUnknown {
public:
    using Base = IUnknown;
    static constexpr IID iid{0x56A868FD, 0x0AD4, 0x11CE, {0xB0, 0xA3, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
    // An output pin no filter could render; S_OK counts it as handled.
    virtual HRESULT UnableToRender(IPin* pin) = 0;

protected:
    ~IAMFilterGraphCallback() = default;
};

// Creates an object of a class the framework knows: the filter graph
// (CLSID_FilterGraph; the capture and DVD graph builders are not there), the
// system device enumerator, the media detector, and every registered filter.
// REGDB_E_CLASSNOTREG for an unknown class.
HRESULT CoCreateInstance(REFCLSID clsid, REFIID id, void** out);
template <class I>
ComPtr<I> CreateInstance(REFCLSID clsid)
{
    ComPtr<I> p;
    CoCreateInstance(clsid, I::iid, p.putVoid());
    return p;
}
inline constexpr HRESULT REGDB_E_CLASSNOTREG = MakeFailure(0x80040154);

} // namespace kolvarin::media
