#include "video/dskitdspfilter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <QTimer>

#include "media/devenum.h"
#include "media/uuids.h"

namespace kolvarin::video {

using namespace media;

namespace {

constexpr int kSliceFrames = 16384;
constexpr int kRingSeconds = 4;
constexpr REFERENCE_TIME kNavigatorLead = 36200000; // 3.62 s
constexpr GUID kNavigators[] = {
    {0x9B8C4620, 0x2C1A, 0x11D0, {0x84, 0x93, 0x00, 0xA0, 0x24, 0x38, 0xAD, 0x48}},
    {0xAABC1235, 0x776D, 0x11D2, {0x80, 0x10, 0x00, 0x10, 0x4B, 0x9B, 0x85, 0x92}},
    {0x10D5F9E1, 0x0360, 0x11D5, {0x8F, 0x2A, 0x00, 0x80, 0xC8, 0x4E, 0x9C, 0x39}},
};

class DSPFilter final : public Extend<TransformFilter, IDSKitQxDSPFilterInterface, IDSKitQxDSPFilterVisualInterface> {
public:
    DSPFilter() : Extend(CLSID_DSPFilter, u"DSP Filter", true) {}

    // ---- type checks
    static HRESULT CheckTypes(const AMMediaType& t)
    {
        if (t.majortype != MEDIATYPE_Audio)
            return VFW_E_INVALIDMEDIATYPE;
        static const GUID subs[] = {MEDIASUBTYPE_PCM,       MEDIASUBTYPE_IEEE_FLOAT, MEDIASUBTYPE_WAVE_DOLBY_AC3_SPDIF,
                                    MEDIASUBTYPE_DOLBY_AC3, MEDIASUBTYPE_DTS,        GUID_NULL};
        if (std::find(std::begin(subs), std::end(subs), t.subtype) == std::end(subs))
            return VFW_E_INVALIDSUBTYPE;
        if (t.formattype != FORMAT_WaveFormatEx)
            return VFW_E_TYPE_NOT_ACCEPTED;
        return S_OK;
    }

    // Fills a description from the type; refuses what the ring cannot hold.
    static HRESULT Describe(const AMMediaType& t, TDSStream& s)
    {
        HRESULT hr = CheckTypes(t);
        if (hr != S_OK)
            return hr;
        auto w = ReadWaveFormat(t.formatBytes());
        if (!w || !AudioInBounds(w->nSamplesPerSec, w->nChannels, w->wBitsPerSample))
            return VFW_E_TYPE_NOT_ACCEPTED;
        if (w->wBitsPerSample != 8 && w->wBitsPerSample != 16 && w->wBitsPerSample != 24 && w->wBitsPerSample != 32)
            return VFW_E_TYPE_NOT_ACCEPTED;
        s.SampleRate = static_cast<int32_t>(w->nSamplesPerSec);
        s.Channels = w->nChannels;
        s.Bits = w->wBitsPerSample;
        const auto sub = ExtensibleSubFormat(*w);
        s.Float = (t.subtype == MEDIASUBTYPE_IEEE_FLOAT || w->wFormatTag == WAVE_FORMAT_IEEE_FLOAT ||
                   (sub && *sub == KSDATAFORMAT_SUBTYPE_IEEE_FLOAT))
                      ? -1
                      : 0;
        s.AC3 = (w->wFormatTag == 0x0092 || w->wFormatTag == 0x2000) ? -1 : 0;
        s.DTS = (w->wFormatTag == 0x0008 || w->wFormatTag == 0x2001) ? -1 : 0;
        return S_OK;
    }

    HRESULT CheckInputType(const AMMediaType& type) override
    {
        TDSStream s = Current();
        const HRESULT hr = Describe(type, s);
        if (hr != S_OK)
            return hr;
        MutexLock lock(ringLock_);
        current_ = s;
        if (callback_ && !(s == reported_))
            callback_->MediaTypeChanged(&current_);
        reported_ = s;
        return S_OK;
    }

    HRESULT CheckTransform(const AMMediaType& in, const AMMediaType&) override { return CheckTypes(in); }

    HRESULT DecideBufferSize(MemAllocator& allocator, ALLOCATOR_PROPERTIES& request) override
    {
        if (!Input().IsConnected())
            return E_UNEXPECTED;
        const TDSStream s = Current();
        const int64_t bytes = int64_t(s.Channels) * 352800 * (s.Bits / 8);
        if (bytes > INT32_MAX)
            return E_FAIL;
        request.cBuffers = 1;
        request.cbBuffer = static_cast<int32_t>(bytes);
        ALLOCATOR_PROPERTIES actual;
        const HRESULT hr = allocator.SetProperties(request, &actual);
        if (Failed(hr))
            return hr;
        return actual.cBuffers < 1 || actual.cbBuffer < request.cbBuffer ? E_FAIL : S_OK;
    }

    HRESULT CompleteConnect(PIN_DIRECTION dir, IPin*) override
    {
        if (dir != PINDIR_OUTPUT || !Input().IsConnected())
            return S_OK;
        navigator_ = false;
        if (auto* graph = Graph()) {
            ComPtr<IEnumFilters> e;
            graph->EnumFilters(e.put());
            ComPtr<IBaseFilter> f;
            while (e && e->Next(1, f.put(), nullptr) == S_OK)
                for (const auto& id : kNavigators)
                    navigator_ = navigator_ || ClassIdOf(f.get()) == id;
        }
        MutexLock lock(ringLock_);
        firstSample_ = true;
        SetUpRing();
        return S_OK;
    }

    // ---- streaming
    HRESULT Transform(IMediaSample* sample) override
    {
        uint8_t* data = nullptr;
        sample->GetPointer(&data);
        const int32_t delivered = sample->GetActualDataLength();
        int32_t size = delivered;
        AMMediaType changed;
        if (sample->GetMediaType(&changed) == S_OK) {
            MutexLock lock(ringLock_);
            changing_ = true;
            TDSStream s = current_;
            const HRESULT hr = Describe(changed, s);
            if (hr != S_OK) {
                changing_ = false;
                return hr;
            }
            current_ = s;
            if (callback_ && !(s == reported_))
                callback_->MediaTypeChanged(&current_);
            reported_ = s;
            SetUpRing();
            changing_ = false;
        }
        REFERENCE_TIME start = 0, stop = 0;
        const bool timed = Succeeded(sample->GetTime(&start, &stop));
        TDSStream s;
        ComPtr<IDSKitQxDSPFilterCallBack> callback;
        {
            MutexLock lock(ringLock_);
            callback = callback_;
            lastDuration_ = std::llround(size * timePerByte_);
            if (!navigator_ && timed) {
                if (firstSample_ || ringStart_ < 0 || start < ringEnd_ - lastDuration_)
                    ringEnd_ = start; // a new stretch of time: the ring starts again here
                firstSample_ = false;
            }
            if (!visualAfterDSP_)
                WriteRing(data, size);
            current_.Size = size;
            s = current_;
        }
        if (!s.AC3 && !s.DTS && callback) {
            int32_t newSize = size;
            callback->PCMData(data, size, &newSize, &s);
            if (newSize != size && newSize >= 0 && newSize <= sample->GetSize()) {
                size = newSize;
                sample->SetActualDataLength(size);
            }
        }
        if (size != delivered && s.Channels && s.Bits >= 8 && s.SampleRate) {
            const int64_t span = int64_t(size) * 10000000 / s.Channels / (s.Bits / 8) / s.SampleRate;
            int64_t ms = 0, me = 0;
            if (Succeeded(sample->GetMediaTime(&ms, &me))) {
                me = ms + span;
                sample->SetMediaTime(&ms, &me);
            }
            if (timed) {
                stop = start + span;
                sample->SetTime(&start, &stop);
            }
        }
        sample->SetSyncPoint(true);
        if (delayEnabled_ && timed) {
            start += int64_t(delay_) * 10000;
            stop += int64_t(delay_) * 10000;
            sample->SetTime(&start, &stop);
        }
        if (visualAfterDSP_) {
            MutexLock lock(ringLock_);
            WriteRing(data, size);
        }
        return S_OK;
    }

    HRESULT OnEndOfStream() override
    {
        {
            MutexLock lock(ringLock_);
            endTime_ = ringEnd_ + 2 * lastDuration_;
            endOfStream_ = true;
        }
        return TransformFilter::OnEndOfStream();
    }

    HRESULT OnBeginFlush() override
    {
        ComPtr<IDSKitQxDSPFilterCallBack> callback;
        {
            MutexLock lock(ringLock_);
            flushing_ = true;
            ClearRing();
            callback = callback_;
        }
        if (callback)
            callback->Flush();
        return TransformFilter::OnBeginFlush();
    }

    HRESULT OnEndFlush() override
    {
        {
            MutexLock lock(ringLock_);
            flushing_ = false;
        }
        return TransformFilter::OnEndFlush();
    }

    // ---- IDSKitQxDSPFilterInterface
    HRESULT SetCallBack(IDSKitQxDSPFilterCallBack* callback) override
    {
        MutexLock lock(ringLock_);
        callback_ = callback;
        return S_OK;
    }
    HRESULT GetStream(TDSStream* stream) override
    {
        if (stream)
            *stream = Current();
        return S_OK;
    }
    HRESULT GetDelayEnabled(bool* enabled) override
    {
        if (enabled)
            *enabled = delayEnabled_;
        return S_OK;
    }
    HRESULT SetDelayEnabled(bool enabled) override
    {
        delayEnabled_ = enabled;
        return S_OK;
    }
    HRESULT GetDelay(int32_t* ms) override
    {
        if (ms)
            *ms = delay_;
        return S_OK;
    }
    HRESULT SetDelay(int32_t ms) override
    {
        delay_ = ms;
        return S_OK;
    }

    // ---- IDSKitQxDSPFilterVisualInterface
    HRESULT GetVisualAfterDSP(bool* after) override
    {
        if (after)
            *after = visualAfterDSP_;
        return S_OK;
    }
    HRESULT SetVisualAfterDSP(bool after) override
    {
        visualAfterDSP_ = after;
        return S_OK;
    }
    HRESULT GetVisualData(std::vector<uint8_t>* data, TDSStream* stream) override
    {
        if (!data || !stream)
            return E_POINTER;
        data->clear();
        FILTER_STATE state;
        REFERENCE_TIME start = 0;
        {
            MutexLock lock(stateLock_);
            state = StateLocked();
            start = StartTime();
        }
        auto clock = Clock();
        REFERENCE_TIME now = 0;
        if (clock)
            clock->GetTime(&now);
        MutexLock lock(ringLock_);
        *stream = current_;
        if (changing_ || flushing_ || state != State_Running || current_.AC3 || current_.DTS || !clock || ring_.empty())
            return S_FALSE;
        const REFERENCE_TIME t = navigator_ ? ringEnd_ - filled_ * timePerByte_ + kNavigatorLead : now - start;
        if (endOfStream_ && t >= endTime_)
            return S_FALSE;
        return CopySlice(t, *data) ? S_OK : S_FALSE;
    }

protected:
    void OnStop() override
    {
        MutexLock lock(ringLock_);
        ClearRing();
    }
    void OnRun(REFERENCE_TIME) override
    {
        MutexLock lock(ringLock_);
        endOfStream_ = false;
    }

private:
    TDSStream Current()
    {
        MutexLock lock(ringLock_);
        return current_;
    }

    // A ring of four seconds for the current description.
    void SetUpRing() REQUIRES(ringLock_)
    {
        ClearRing();
        if (current_ == ringFor_ && !ring_.empty())
            return;
        ringFor_ = current_;
        const int bytesPerSample = current_.Bits / 8;
        blockAlign_ = bytesPerSample * current_.Channels;
        if (blockAlign_ <= 0 || current_.SampleRate <= 0) {
            ring_.clear();
            return;
        }
        timePerByte_ = 1e7 / current_.SampleRate / blockAlign_;
        ring_.assign(size_t(blockAlign_) * current_.SampleRate * kRingSeconds, 0);
    }

    void ClearRing() REQUIRES(ringLock_)
    {
        filled_ = 0;
        writePos_ = 0;
        ringEnd_ = -1;
        ringStart_ = -1;
        endOfStream_ = false;
        std::fill(ring_.begin(), ring_.end(), 0);
    }

    // Appends n bytes; only the last ring's worth of a longer buffer is kept.
    void WriteRing(const uint8_t* data, int32_t n) REQUIRES(ringLock_)
    {
        if (ring_.empty() || current_.AC3 || current_.DTS || n <= 0)
            return;
        const size_t size = ring_.size();
        size_t count = static_cast<size_t>(n);
        if (ringEnd_ < 0)
            ringEnd_ = 0;
        ringEnd_ += std::llround(count * timePerByte_);
        ringStart_ = 0;
        if (count > size) {
            data += count - size;
            count = size;
        }
        const size_t first = std::min(count, size - writePos_);
        std::memcpy(ring_.data() + writePos_, data, first);
        std::memcpy(ring_.data(), data + first, count - first);
        writePos_ = (writePos_ + count) % size;
        filled_ = std::min(size, filled_ + count);
    }

    // Copies the slice that starts at stream time t.
    bool CopySlice(REFERENCE_TIME t, std::vector<uint8_t>& out) REQUIRES(ringLock_)
    {
        if (ringEnd_ < 0 || timePerByte_ <= 0)
            return false;
        const double back = (ringEnd_ - t) / timePerByte_; // bytes from t to the newest byte
        if (back < 0 || back > static_cast<double>(filled_))
            return false;
        size_t offset = filled_ - static_cast<size_t>(back);
        offset -= offset % static_cast<size_t>(blockAlign_);
        const size_t size = ring_.size();
        const size_t oldest = (writePos_ + size - filled_) % size;
        const size_t slice = size_t(blockAlign_) * kSliceFrames;
        out.assign(slice, 0);
        const size_t have = std::min(slice, filled_ - offset);
        for (size_t i = 0, at = (oldest + offset) % size; i < have;) {
            const size_t run = std::min(have - i, size - at);
            std::memcpy(out.data() + i, ring_.data() + at, run);
            i += run;
            at = 0;
        }
        return true;
    }

    // Guards the stream's description, the callback and the ring, between
    // the streaming thread and the main thread. Taken before the callback's
    // lock (a type change is reported under it).
    Mutex ringLock_;
    TDSStream current_ GUARDED_BY(ringLock_), reported_ GUARDED_BY(ringLock_), ringFor_ GUARDED_BY(ringLock_);
    ComPtr<IDSKitQxDSPFilterCallBack> callback_ GUARDED_BY(ringLock_);
    std::vector<uint8_t> ring_ GUARDED_BY(ringLock_);
    size_t filled_ GUARDED_BY(ringLock_) = 0, writePos_ GUARDED_BY(ringLock_) = 0;
    int blockAlign_ GUARDED_BY(ringLock_) = 0;
    double timePerByte_ GUARDED_BY(ringLock_) = 0;
    REFERENCE_TIME ringStart_ GUARDED_BY(ringLock_) = -1, ringEnd_ GUARDED_BY(ringLock_) = -1;
    REFERENCE_TIME lastDuration_ GUARDED_BY(ringLock_) = 0, endTime_ GUARDED_BY(ringLock_) = 0;
    bool endOfStream_ GUARDED_BY(ringLock_) = false, flushing_ GUARDED_BY(ringLock_) = false;
    bool changing_ GUARDED_BY(ringLock_) = false, firstSample_ GUARDED_BY(ringLock_) = true;
    bool navigator_ = false; // set on connection, while no sample flows
    // Set from the main thread, read on the streaming thread.
    std::atomic<bool> visualAfterDSP_ = false, delayEnabled_ = false;
    std::atomic<int32_t> delay_ = 0;
};

} // namespace

ComPtr<IBaseFilter> MakeDSPFilter()
{
    return ComPtr<IBaseFilter>(static_cast<IBaseFilter*>(MakeCom<DSPFilter>().get()));
}

void RegisterDSPFilter()
{
    RegisterFilterClass({CLSID_DSPFilter,
                         u"DSP Filter",
                         MERIT_DO_NOT_USE,
                         CLSID_LegacyAmFilterCategory,
                         {{MEDIATYPE_Audio, GUID_NULL}},
                         MakeDSPFilter});
}

// The component's callback object: forwards to the component while it lives.
// Its lock is the component's critical section: the streaming thread's calls
// run inside it, and the component's destructor waits for them.
class TDSKitQxDSPFilter::CallBack final : public ComObject<CallBack, IDSKitQxDSPFilterCallBack> {
public:
    explicit CallBack(TDSKitQxDSPFilter* owner) : owner_(owner) {}
    void Detach()
    {
        MutexLock lock(lock_);
        owner_ = nullptr;
    }
    HRESULT PCMData(void* buffer, int32_t size, int32_t* newSize, PDSStream stream) override
    {
        *newSize = size;
        MutexLock lock(lock_);
        int n = size;
        if (owner_ && owner_->dspEnabled_ && owner_->OnPCMData(buffer, size, n, stream))
            *newSize = n;
        return S_OK;
    }
    HRESULT MediaTypeChanged(PDSStream stream) override
    {
        MutexLock lock(lock_);
        if (owner_)
            owner_->OnMediaTypeChanged(stream);
        return S_OK;
    }
    HRESULT Flush() override
    {
        MutexLock lock(lock_);
        if (owner_)
            owner_->OnFlush();
        return S_OK;
    }

private:
    // Guards owner_; taken after the filter's ring lock.
    Mutex lock_;
    TDSKitQxDSPFilter* owner_ GUARDED_BY(lock_);
};

TDSKitQxDSPFilter::TDSKitQxDSPFilter(QObject* parent)
    : QObject(parent), base_(MakeDSPFilter()), timer_(new QTimer(this))
{
    filter_ = base_.as<IDSKitQxDSPFilterInterface>();
    visual_ = base_.as<IDSKitQxDSPFilterVisualInterface>();
    callback_ = MakeCom<CallBack>(this);
    timer_->setInterval(visualInterval_);
    connect(timer_, &QTimer::timeout, this, [this] { VisualTick(); });
}

TDSKitQxDSPFilter::~TDSKitQxDSPFilter()
{
    timer_->stop();
    SetFilterGraph(nullptr);
    if (filter_)
        filter_->SetCallBack(nullptr);
    callback_->Detach();
}

void TDSKitQxDSPFilter::SetVisualEnabled(bool on)
{
    visualEnabled_ = on;
    if (on)
        timer_->start();
    else
        timer_->stop();
}

void TDSKitQxDSPFilter::SetVisualInterval(int ms)
{
    visualInterval_ = ms;
    timer_->setInterval(ms);
}

void TDSKitQxDSPFilter::SetVisualAfterDSP(bool after)
{
    visualAfterDSP_ = after;
    if (visual_)
        visual_->SetVisualAfterDSP(after);
}

bool TDSKitQxDSPFilter::DelayEnabled() const
{
    bool on = false;
    filter_->GetDelayEnabled(&on);
    return on;
}

void TDSKitQxDSPFilter::SetDelayEnabled(bool on) { filter_->SetDelayEnabled(on); }

int TDSKitQxDSPFilter::Delay() const
{
    int32_t ms = 0;
    filter_->GetDelay(&ms);
    return ms;
}

void TDSKitQxDSPFilter::SetDelay(int ms) { filter_->SetDelay(ms); }

void TDSKitQxDSPFilter::SetFilterGraph(TFilterGraph* graph)
{
    if (graph == graph_)
        return;
    if (graph_)
        graph_->RemoveFilter(this);
    graph_ = graph;
    if (graph_)
        graph_->InsertFilter(this);
}

std::u16string TDSKitQxDSPFilter::GetName()
{
    return objectName().isEmpty() ? std::u16string(u"DSP Filter") : objectName().toStdU16String();
}

void TDSKitQxDSPFilter::NotifyFilter(Operation operation, int)
{
    if (operation == foAdded || operation == foRefresh) {
        filter_->SetCallBack(callback_.get());
        visual_->SetVisualAfterDSP(visualAfterDSP_);
    } else if (operation == foRemoving) {
        base_->Stop();
    }
}

void TDSKitQxDSPFilter::VisualTick()
{
    if (!visual_ || !OnVisualData)
        return;
    std::vector<uint8_t> data;
    TDSStream stream;
    if (visual_->GetVisualData(&data, &stream) == S_OK)
        OnVisualData(data.data(), static_cast<int>(data.size()), &stream);
}

} // namespace kolvarin::video
