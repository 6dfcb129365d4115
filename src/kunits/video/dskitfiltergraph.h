#pragma once

// TFilterGraph: owns one filter graph of the media framework for the video
// window. It creates the graph when Active becomes true and releases it when
// false, answers the graph's interfaces (Query), turns the graph's events
// into typed handler calls on the main thread, keeps volume, balance and rate
// and applies them again after a file is rendered, clears a graph down to the
// filters that components own, and can write the graph's log file.
// TFilter puts one filter into a TFilterGraph.
//
// Threads: main thread only. Events arrive through the event loop (a posted
// event to the component's hidden receiver).

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "media/controlif.h"
#include "media/dvdif.h"
#include "media/graphif.h"

class QObject;

namespace kolvarin::video {

using media::ComPtr;
using media::DVD_HMSF_TIMECODE;
using media::HRESULT;

// A failed framework call: the platform's text for the code, " ($%x).".
class EDirectShowException : public std::runtime_error {
public:
    explicit EDirectShowException(HRESULT code);
    HRESULT Code() const { return code_; }

private:
    HRESULT code_;
};

// Raises EDirectShowException for a failure; passes success codes through.
HRESULT Check(HRESULT hr);

// A component that contributes one filter to a TFilterGraph.
class IFilter {
public:
    enum Operation : int { foAdding = 0, foAdded = 1, foRemoving = 2, foRemoved = 3, foRefresh = 4 };
    virtual ~IFilter() = default;
    virtual ComPtr<media::IBaseFilter> GetFilter() = 0;
    virtual std::u16string GetName() = 0;
    virtual void NotifyFilter(Operation operation, int param) = 0;
    // The graph the component belongs to is being destroyed: forget it
    // without leaving it.
    virtual void GraphDestroyed() = 0;
};

// A component that follows a graph's events and control actions.
class IGraphEventSink {
public:
    enum Control : int { ceActive = 7, cePlay = 0, cePause = 1, ceStop = 2, ceFileRendering = 3, ceFileRendered = 4 };
    virtual ~IGraphEventSink() = default;
    virtual void GraphEvent(int32_t event, intptr_t param1, intptr_t param2) = 0;
    virtual void ControlEvent(Control event, int param) = 0;
};

enum class TGraphMode : uint8_t { gmNormal = 0, gmCapture = 1, gmDVD = 2 };

// The nine fields of a DVD time code, as the structure lays them out from
// its lowest bits: hours (units, tens), minutes, seconds, frames (units,
// tens of 2 bits) and the frame-rate code (2 bits).
struct TDVDTimeCode {
    uint8_t Hours1, Hours10, Minutes1, Minutes10, Seconds1, Seconds10, Frames1, Frames10, FrameRateCode;
};
TDVDTimeCode DecodeTimeCode(uint32_t value);

class TFilterGraph {
public:
    TFilterGraph();
    virtual ~TFilterGraph();
    TFilterGraph(const TFilterGraph&) = delete;
    TFilterGraph& operator=(const TFilterGraph&) = delete;

    bool Active() const { return graph_ != nullptr; }
    // Creates or releases the graph; a failed creation raises EDirectShowException.
    void SetActive(bool active);
    // Whether Loaded activates the graph.
    bool AutoCreate() const { return autoCreate_; }
    void SetAutoCreate(bool on) { autoCreate_ = on; }
    // The owner has set the component up (its window is built).
    void Loaded();
    TGraphMode Mode() const { return mode_; }
    void SetMode(TGraphMode mode);
    bool GraphEdit() const { return graphEdit_; }
    void SetGraphEdit(bool on);
    const std::u16string& LogFile() const { return logFile_; }
    void SetLogFile(const std::u16string& name);
    bool LinearVolume() const { return linearVolume_; }
    void SetLinearVolume(bool linear);

    // The graph's interface I (empty when inactive or not offered).
    template <class I>
    ComPtr<I> Query() const
    {
        ComPtr<I> p;
        QueryInterface(I::iid, p.putVoid());
        return p;
    }
    HRESULT QueryInterface(const media::GUID& id, void** out) const;

    bool Play();
    bool Pause();
    bool Stop();
    // 0 none, 1 stopped, 2 paused, 3 running.
    int GetState();
    void SetVolume(int value);
    void SetBalance(int value);
    void SetRate(double value);
    int Volume() const { return volume_; }
    int Balance() const { return balance_; }
    double Rate() const { return rate_; }
    // E_UNEXPECTED without a graph (nothing is sent); else the graph's result.
    HRESULT RenderFile(const std::u16string& fileName);
    void ClearGraph();

    void InsertFilter(IFilter* filter);
    void RemoveFilter(IFilter* filter);
    void AddEventSink(IGraphEventSink* sink);
    void RemoveEventSink(IGraphEventSink* sink);

    // Handlers; each fires when assigned (the events of the graph table).
    std::function<void()> OnActivate;
    std::function<void(int32_t, intptr_t, intptr_t)> OnDSEvent;
    std::function<void(HRESULT, media::IBaseFilter*)> OnGraphComplete;
    std::function<void()> OnGraphUserAbort;
    std::function<void(HRESULT)> OnGraphErrorAbort;
    std::function<void(HRESULT, uint32_t)> OnGraphStreamErrorStopped;
    std::function<void(HRESULT, uint32_t)> OnGraphStreamErrorStillPlaying;
    std::function<void(HRESULT)> OnGraphErrorStillPlaying;
    std::function<void()> OnGraphPaletteChanged;
    std::function<void(uint16_t, uint16_t)> OnGraphVideoSizeChanged;
    std::function<void()> OnGraphQualityChange;
    std::function<void()> OnGraphClockChanged;
    std::function<void(HRESULT)> OnGraphPaused;
    std::function<void(bool)> OnGraphOpeningFile;
    std::function<void(bool)> OnGraphBufferingData;
    std::function<void(media::IBaseFilter*)> OnGraphFullscreenLost;
    std::function<void(const std::u16string&, const std::u16string&)> OnGraphOleEvent;
    std::function<void(media::IPin*, uint32_t)> OnGraphStreamControlStopped;
    std::function<void(media::IPin*, uint32_t)> OnGraphStreamControlStarted;
    std::function<void(int64_t, uint32_t)> OnGraphEndOfSegment;
    std::function<void(media::IUnknown*, bool)> OnGraphDeviceLost;
    std::function<void()> OnGraphStepComplete;
    std::function<void(media::IBaseFilter*, uint32_t)> OnGraphTimeCodeAvailable;
    std::function<void(uint32_t, uint32_t)> OnGraphEXTDeviceModeChange;
    std::function<void()> OnGraphChanged;
    std::function<void()> OnGraphClockUnset;
    std::function<void(int)> OnGraphVMRRenderDevice;
    std::function<void(uint32_t, uint32_t)> OnGraphSNDDevInError;
    std::function<void(uint32_t, uint32_t)> OnGraphSNDDevOutError;
    // DVD events. A stream change carries the stream, its locale and the
    // locale's English language name; it fires only when the graph answers
    // IDvdInfo2.
    std::function<void(int, int, const std::u16string&)> OnDVDAudioStreamChange, OnDVDSubpictureStreamChange;
    std::function<void()> OnDVDDomainFirstPlay, OnDVDDomainVideoManagerMenu, OnDVDDomainVideoTitleSetMenu,
        OnDVDDomainTitle, OnDVDDomainStop;
    std::function<void()> OnDVDWarningInvalidDVD1_0Disc, OnDVDWarningFormatNotSupported, OnDVDWarningIllegalNavCommand,
        OnDVDWarningOpen, OnDVDWarningSeek, OnDVDWarningRead;
    std::function<void()> OnDVDErrorUnexpected, OnDVDErrorCopyProtectFail, OnDVDErrorInvalidDVD1_0Disc,
        OnDVDErrorInvalidDiscRegion, OnDVDErrorLowParentalLevel, OnDVDErrorMacrovisionFail,
        OnDVDErrorIncompatibleSystemAndDecoderRegions, OnDVDErrorIncompatibleDiscAndDecoderRegions;
    std::function<void(int)> OnDVDTitleChange, OnDVDChapterStart, OnDVDValidUOPSChange, OnDVDParentalLevelChange;
    std::function<void(int, int)> OnDVDAngleChange, OnDVDButtonChange;
    std::function<void(bool, int)> OnDVDStillOn;
    std::function<void()> OnDVDStillOff, OnDVDChapterAutoStop, OnDVDNoFP_PGC, OnDVDPlaybackStopped,
        OnDVDPlayPeriodAutoStop, OnDVDDiscEjected, OnDVDDiscInserted;
    std::function<void(int, int, int, int, int)> OnDVDCurrentTime;
    std::function<void(float)> OnDVDPlaybackRateChange;
    std::function<void(bool)> OnDVDAnglesAvailable, OnDVDKaraokeMode;
    std::function<void(uint32_t)> OnDVDButtonAutoActivated, OnDVDCMDStart, OnDVDCMDEnd;
    std::function<void(DVD_HMSF_TIMECODE, TDVDTimeCode)> OnDVDCurrentHMSFTime;
    // Filter selection while rendering automatically: false skips the filter.
    std::function<bool(media::IMoniker*, const std::u16string&, const media::GUID&)> OnSelectedFilter;
    std::function<bool(media::IBaseFilter*, const media::GUID&)> OnCreatedFilter;
    std::function<bool(media::IPin*)> OnUnableToRender;

    // The hidden receiver of the graph's notifications (for tests).
    QObject* EventWindow() const;
    // Pulls and dispatches every queued event (what the notification does).
    // An exception of a handler is logged with the handler's name and ends
    // the loop; the events left wait for the next notification.
    void HandleGraphNotify();

protected:
    virtual void DispatchEvent(int32_t event, intptr_t param1, intptr_t param2);

private:
    // The handler numbered param (from 1) of a domain, warning or error
    // event; nothing for other numbers.
    void FireNumbered(intptr_t param, std::initializer_list<std::pair<const char*, std::function<void()>*>> handlers);
    // A stream change with the stream's language (audio or subpicture).
    void FireStreamChange(bool audio, intptr_t stream);
    class Site;
    class Receiver;
    void ControlToSinks(IGraphEventSink::Control event, int param);
    void ApplyVolume();
    void ApplyBalance();
    void AddToGraph(IFilter* f);
    void RemoveFromGraph(IFilter* f);

    ComPtr<media::IFilterGraph2> graph_;
    ComPtr<media::IMediaEventEx> events_;
    TGraphMode mode_ = TGraphMode::gmNormal;
    int volume_ = 10000;
    int balance_ = 0;
    double rate_ = 1.0;
    bool linearVolume_ = true;
    bool graphEdit_ = false;
    bool autoCreate_ = false;
    uint32_t rotCookie_ = 0;
    std::u16string logFile_;
    int logFd_ = -1;
    std::vector<IFilter*> filters_;
    std::vector<IGraphEventSink*> sinks_;
    ComPtr<Site> site_;
    std::unique_ptr<Receiver> receiver_;
    const char* handler_ = ""; // the handler being called, for the log
};

// The message the graph posts to the hidden receiver.
inline constexpr int32_t WM_GRAPHNOTIFY = 0x8001;

} // namespace kolvarin::video
