#pragma once

// The DSP filter: an in-place transform in the audio branch of a graph
// (TDSAudioFilter) that passes PCM through unchanged in format, hands each
// buffer to a callback on the streaming thread, keeps the last four seconds
// in a ring and serves a copy of the slice that plays now to the main thread.
// TDSKitQxDSPFilter is the component that owns it, joins a TFilterGraph and
// turns the callbacks into events (PCM under its one lock on the streaming
// thread, visual data from a timer on the main thread).

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include <QObject>

#include "media/filterbase.h"
#include "media/transformfilter.h"
#include "video/dskitfiltergraph.h"

class QTimer;

namespace kolvarin::video {

// The stream description passed with every callback (seven 32-bit fields).
struct TDSStream {
    int32_t Size = 0;
    int32_t SampleRate = 0;
    int32_t Channels = 0;
    int32_t Bits = 0;
    int32_t Float = 0; // -1 true, 0 false
    int32_t AC3 = 0;
    int32_t DTS = 0;
    friend bool operator==(const TDSStream&, const TDSStream&) = default;
};
using PDSStream = TDSStream*;

inline constexpr media::CLSID CLSID_DSPFilter{
    0x088C4FF0, 0xA38B, 0x42A7, {0x91, 0x16, 0x4E, 0xAB, 0xFA, 0x87, 0x5A, 0xB2}};

class IDSKitQxDSPFilterCallBack : public media::IUnknown {
public:
    using Base = media::IUnknown;
    static constexpr media::IID iid{0x3971C5D4, 0x1FDA, 0x45C1, {0x91, 0x31, 0xC8, 0x17, 0x32, 0x6A, 0x43, 0x48}};
    virtual media::HRESULT PCMData(void* buffer, int32_t size, int32_t* newSize, PDSStream stream) = 0;
    virtual media::HRESULT MediaTypeChanged(PDSStream stream) = 0;
    virtual media::HRESULT Flush() = 0;

protected:
    ~IDSKitQxDSPFilterCallBack() = default;
};

class IDSKitQxDSPFilterInterface : public media::IUnknown {
public:
    using Base = media::IUnknown;
    static constexpr media::IID iid{0xBECE3169, 0x4149, 0x47E4, {0x8A, 0xE8, 0x54, 0x5C, 0x3C, 0xC6, 0x44, 0x28}};
    virtual media::HRESULT SetCallBack(IDSKitQxDSPFilterCallBack* callback) = 0;
    virtual media::HRESULT GetStream(TDSStream* stream) = 0;
    virtual media::HRESULT GetDelayEnabled(bool* enabled) = 0;
    virtual media::HRESULT SetDelayEnabled(bool enabled) = 0;
    virtual media::HRESULT GetDelay(int32_t* ms) = 0;
    virtual media::HRESULT SetDelay(int32_t ms) = 0;

protected:
    ~IDSKitQxDSPFilterInterface() = default;
};

class IDSKitQxDSPFilterVisualInterface : public media::IUnknown {
public:
    using Base = media::IUnknown;
    static constexpr media::IID iid{0x3AA3B85E, 0xFBD5, 0x4D30, {0x8D, 0x3C, 0xB7, 0x8A, 0xFC, 0x24, 0xCE, 0x57}};
    virtual media::HRESULT GetVisualAfterDSP(bool* after) = 0;
    virtual media::HRESULT SetVisualAfterDSP(bool after) = 0;
    // A copy of the 16384 frames that play now: S_OK, or S_FALSE with nothing.
    virtual media::HRESULT GetVisualData(std::vector<uint8_t>* data, TDSStream* stream) = 0;

protected:
    ~IDSKitQxDSPFilterVisualInterface() = default;
};

// The filter; created through CoCreateInstance(CLSID_DSPFilter) or MakeDSPFilter.
media::ComPtr<media::IBaseFilter> MakeDSPFilter();
// Registers the filter class (by hand only; graph scripts add it by name).
void RegisterDSPFilter();

// An event handler that the main thread may replace while the streaming
// thread calls it: a replacement waits for a running call to end, so the old
// handler never runs once the assignment has returned.
template <class Signature>
class TLockedHandler;
template <class... Args>
class TLockedHandler<void(Args...)> {
public:
    using Function = std::function<void(Args...)>;
    TLockedHandler& operator=(Function handler)
    {
        MutexLock lock(lock_);
        handler_ = std::move(handler);
        return *this;
    }
    // A copy, for a handler that chains to the one it replaces.
    Function Current() const
    {
        MutexLock lock(lock_);
        return handler_;
    }
    // False when no handler is assigned.
    template <class... CallArgs>
    bool operator()(CallArgs&&... args) const
    {
        MutexLock lock(lock_);
        if (!handler_)
            return false;
        handler_(std::forward<CallArgs>(args)...);
        return true;
    }

private:
    // Guards the handler, held through a call; taken after the DSP
    // callback's lock.
    mutable Mutex lock_;
    Function handler_ GUARDED_BY(lock_);
};

class TDSKitQxDSPFilter : public QObject, public IFilter {
public:
    explicit TDSKitQxDSPFilter(QObject* parent = nullptr);
    ~TDSKitQxDSPFilter() override;

    bool VisualEnabled() const { return visualEnabled_; }
    void SetVisualEnabled(bool on);
    int VisualInterval() const { return visualInterval_; }
    void SetVisualInterval(int ms);
    bool VisualAfterDSP() const { return visualAfterDSP_; }
    void SetVisualAfterDSP(bool after);
    bool DSPEnabled() const { return dspEnabled_; }
    void SetDSPEnabled(bool on) { dspEnabled_ = on; }
    bool DelayEnabled() const;
    void SetDelayEnabled(bool on);
    int Delay() const;
    void SetDelay(int ms);
    TFilterGraph* FilterGraph() const { return graph_; }
    void SetFilterGraph(TFilterGraph* graph);

    // Streaming thread, inside the component's lock.
    TLockedHandler<void(void* buffer, int size, int& newSize, PDSStream stream)> OnPCMData;
    // Main thread, from the visual timer.
    std::function<void(const void* buffer, int size, PDSStream stream)> OnVisualData;
    // The graph's threads.
    TLockedHandler<void(PDSStream stream)> OnMediaTypeChanged;
    TLockedHandler<void()> OnFlush;

    // IFilter
    media::ComPtr<media::IBaseFilter> GetFilter() override { return base_; }
    std::u16string GetName() override;
    void NotifyFilter(Operation operation, int param) override;
    void GraphDestroyed() override { graph_ = nullptr; }

    // The visual tick (what the timer calls).
    void VisualTick();

private:
    class CallBack;
    media::ComPtr<media::IBaseFilter> base_;
    media::ComPtr<IDSKitQxDSPFilterInterface> filter_;
    media::ComPtr<IDSKitQxDSPFilterVisualInterface> visual_;
    media::ComPtr<CallBack> callback_;
    QTimer* timer_;
    bool visualEnabled_ = false, visualAfterDSP_ = false;
    std::atomic<bool> dspEnabled_ = false; // read on the streaming thread
    int visualInterval_ = 40;
    TFilterGraph* graph_ = nullptr;
};

} // namespace kolvarin::video
