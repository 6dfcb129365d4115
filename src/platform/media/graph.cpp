#include "media/graph.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <set>
#include <thread>

#include "media/clock.h"
#include "media/controlif.h"
#include "media/devenum.h"
#include "media/enumerators.h"
#include "media/eventqueue.h"
#include "media/filterbase.h"
#include "media/uuids.h"

namespace kolvarin::media {
namespace {

constexpr int kMaxRenderDepth = 6;
// How long Pause and Run wait for renderers to take their first sample.
constexpr int kPrerollWaitMs = 3000;
// Lead time between a state change to running and stream time 0.
constexpr REFERENCE_TIME kStartLatency = 200000; // 20 ms

std::string Utf8(const std::u16string& s)
{
    std::string out;
    for (char16_t c : s)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

bool IsRenderer(IBaseFilter* f)
{
    bool input = false;
    for (auto& pin : PinsOf(f)) {
        PIN_DIRECTION d;
        pin->QueryDirection(&d);
        if (d == PINDIR_OUTPUT)
            return false;
        input = input || PeerOf(pin.get());
    }
    return input;
}

class FilterGraph final : public ComObject<FilterGraph, IFilterGraph2, IMediaControl, IMediaSeeking, IMediaEventEx,
                                           IMediaEventSink, IObjectWithSite, IServiceProvider> {
public:
    FilterGraph() : clock_(MakeSystemClock()) {}
    ~FilterGraph() override
    {
        Stop();
        while (!filters_.empty())
            RemoveFilter(filters_.back().filter.get());
        events_.Clear();
    }

    // ---- IFilterGraph
    HRESULT AddFilter(IBaseFilter* filter, const std::u16string& name) override
    {
        if (!filter)
            return E_POINTER;
        if (Find(filter))
            return VFW_E_DUPLICATE_NAME_OR_FILTER;
        std::u16string unique = name.empty() ? FilterName(filter) : TruncatedName(name);
        if (unique.empty())
            unique = u"Filter";
        HRESULT result = S_OK;
        if (FindByName(unique)) {
            for (int n = 1; n < 10000; ++n) {
                auto candidate = TruncatedName(unique) + u" " + std::u16string(Utf16(std::to_string(n)));
                if (!FindByName(candidate)) {
                    unique = candidate;
                    break;
                }
            }
            result = VFW_S_DUPLICATE_NAME;
        }
        const HRESULT hr = filter->JoinFilterGraph(this, unique);
        if (Failed(hr))
            return hr;
        filters_.push_back({filter, unique});
        filter->SetSyncSource(clock_.get());
        Log("Added filter " + Utf8(unique));
        return result;
    }

    HRESULT RemoveFilter(IBaseFilter* filter) override
    {
        auto it = std::find_if(filters_.begin(), filters_.end(),
                               [&](const Entry& e) { return SameObject(e.filter.get(), filter); });
        if (it == filters_.end())
            return VFW_E_NOT_FOUND;
        // No streaming thread may still run through a filter that leaves.
        if (state_ != State_Stopped)
            Stop();
        ComPtr<IBaseFilter> keep = it->filter;
        keep->Stop();
        for (auto& pin : PinsOf(keep.get()))
            if (auto peer = PeerOf(pin.get())) {
                if (auto owner = FilterOfPin(peer.get()))
                    owner->Stop();
                peer->Disconnect();
                pin->Disconnect();
            }
        keep->SetSyncSource(nullptr);
        keep->JoinFilterGraph(nullptr, {});
        Log("Removed filter " + Utf8(it->name));
        filters_.erase(it);
        return S_OK;
    }

    HRESULT EnumFilters(IEnumFilters** out) override
    {
        if (!out)
            return E_POINTER;
        std::vector<ComPtr<IBaseFilter>> list;
        for (auto& e : filters_)
            list.push_back(e.filter);
        *out = MakeCom<RefEnumerator<IEnumFilters, IBaseFilter>>(std::move(list)).detach();
        return S_OK;
    }

    HRESULT FindFilterByName(const std::u16string& name, IBaseFilter** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        auto* e = FindByName(name);
        if (!e)
            return VFW_E_NOT_FOUND;
        *out = ComPtr<IBaseFilter>(e->filter).detach();
        return S_OK;
    }

    HRESULT ConnectDirect(IPin* out, IPin* in, const AMMediaType* type) override
    {
        if (!out || !in)
            return E_POINTER;
        if (state_ != State_Stopped)
            return VFW_E_NOT_STOPPED;
        if (!InGraph(out) || !InGraph(in))
            return VFW_E_NOT_IN_GRAPH;
        const HRESULT hr = out->Connect(in, type);
        Log("Connect " + Utf8(PinName(out)) + " -> " + Utf8(PinName(in)) + (Succeeded(hr) ? " ok" : " failed"));
        return hr;
    }

    HRESULT Reconnect(IPin* pin) override
    {
        auto peer = PeerOf(pin);
        if (!peer)
            return VFW_E_NOT_CONNECTED;
        PIN_DIRECTION d;
        pin->QueryDirection(&d);
        AMMediaType mt;
        pin->ConnectionMediaType(&mt);
        pin->Disconnect();
        peer->Disconnect();
        return d == PINDIR_OUTPUT ? pin->Connect(peer.get(), &mt) : peer->Connect(pin, &mt);
    }

    HRESULT Disconnect(IPin* pin) override
    {
        if (!pin)
            return E_POINTER;
        return pin->Disconnect();
    }

    HRESULT SetDefaultSyncSource() override
    {
        ComPtr<IReferenceClock> chosen;
        for (auto& e : filters_)
            if (auto c = QueryAs<IReferenceClock>(e.filter.get()); c && IsRenderer(e.filter.get())) {
                chosen = c;
                break;
            }
        if (!chosen)
            chosen = MakeSystemClock();
        if (chosen != clock_) {
            clock_ = chosen;
            for (auto& e : filters_)
                e.filter->SetSyncSource(clock_.get());
            Notify(EC_CLOCK_CHANGED, 0, 0);
        }
        return S_OK;
    }

    // ---- IGraphBuilder
    HRESULT Connect(IPin* out, IPin* in) override
    {
        if (!out || !in)
            return E_POINTER;
        const size_t before = filters_.size();
        const HRESULT hr = ConnectVia(out, in, 0);
        if (Failed(hr))
            RemoveAddedSince(before);
        return hr;
    }

    HRESULT Render(IPin* out) override
    {
        if (!out)
            return E_POINTER;
        const size_t before = filters_.size();
        const HRESULT hr = RenderPin(out, 0);
        if (Failed(hr))
            RemoveAddedSince(before);
        return hr;
    }

    HRESULT RenderFile(const std::u16string& file, const std::u16string&) override
    {
        if (state_ != State_Stopped)
            return VFW_E_NOT_STOPPED;
        Log("RenderFile " + Utf8(file));
        const size_t before = filters_.size();
        ComPtr<IBaseFilter> source;
        HRESULT hr = AddSourceFilter(file, file, source.put());
        if (Failed(hr))
            return hr;
        int rendered = 0, failed = 0;
        for (auto& pin : PinsOf(source.get(), PINDIR_OUTPUT)) {
            if (PeerOf(pin.get()))
                continue;
            if (Succeeded(RenderPin(pin.get(), 0)))
                ++rendered;
            else if (HandledByCallback(pin.get()))
                ++rendered;
            else
                ++failed;
        }
        if (rendered == 0) {
            RemoveAddedSince(before);
            Log("RenderFile failed");
            return VFW_E_CANNOT_RENDER;
        }
        SetDefaultSyncSource();
        return failed ? VFW_S_PARTIAL_RENDER : S_OK;
    }

    HRESULT AddSourceFilter(const std::u16string& file, const std::u16string& name, IBaseFilter** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        ComPtr<IBaseFilter> source = CreateInstance<IBaseFilter>(CLSID_MediaSplitter);
        auto load = QueryAs<IFileSourceFilter>(source.get());
        if (!load)
            return E_UNEXPECTED;
        const HRESULT hr = load->Load(file, nullptr);
        if (Failed(hr))
            return hr;
        const HRESULT added = AddFilter(source.get(), name);
        if (Failed(added))
            return added;
        *out = source.detach();
        return S_OK;
    }

    HRESULT SetLogFile(intptr_t file) override
    {
        logFile_ = static_cast<int>(file);
        return S_OK;
    }
    HRESULT Abort() override { return S_OK; }
    HRESULT ShouldOperationContinue() override { return S_OK; }

    // ---- IFilterGraph2
    HRESULT AddSourceFilterForMoniker(IMoniker* moniker, const std::u16string& name, IBaseFilter** out) override
    {
        if (!moniker || !out)
            return E_POINTER;
        ComPtr<IBaseFilter> f;
        HRESULT hr = moniker->BindToObject(IBaseFilter::iid, f.putVoid());
        if (Failed(hr))
            return hr;
        hr = AddFilter(f.get(), name);
        if (Succeeded(hr))
            *out = f.detach();
        return hr;
    }
    HRESULT RenderEx(IPin* out, uint32_t, void*) override { return Render(out); }

    // ---- IMediaControl
    HRESULT Run() override
    {
        if (state_ == State_Running)
            return S_OK;
        if (state_ == State_Stopped) {
            const HRESULT hr = Pause();
            if (Failed(hr))
                return hr;
        }
        WaitForPreroll(kPrerollWaitMs);
        const REFERENCE_TIME now = ClockNow();
        start_ = now + kStartLatency - pausedAt_;
        for (auto& f : Ordered())
            f->Run(start_);
        state_ = State_Running;
        Log("Run");
        return S_OK;
    }

    HRESULT Pause() override
    {
        if (state_ == State_Paused)
            return S_OK;
        if (state_ == State_Running)
            pausedAt_ = std::max<REFERENCE_TIME>(0, ClockNow() - start_);
        else {
            pausedAt_ = 0;
            ForgetCompletions();
            SeekSources(position_, false);
        }
        for (auto& f : Ordered())
            f->Pause();
        state_ = State_Paused;
        Log("Pause");
        return S_OK;
    }

    HRESULT Stop() override
    {
        if (state_ == State_Stopped)
            return S_OK;
        int64_t pos = 0;
        GetCurrentPosition(&pos);
        for (auto& f : Ordered())
            f->Stop();
        state_ = State_Stopped;
        position_ = pos;
        Log("Stop");
        return S_OK;
    }

    HRESULT GetState(int32_t msTimeout, OAFilterState* state) override
    {
        if (!state)
            return E_POINTER;
        *state = state_;
        if (state_ == State_Paused && !WaitForPreroll(std::max(msTimeout, 0)))
            return VFW_S_STATE_INTERMEDIATE;
        return S_OK;
    }

    HRESULT RenderFile(const std::u16string& file) override { return RenderFile(file, {}); }
    HRESULT StopWhenReady() override
    {
        Pause();
        WaitForPreroll(kPrerollWaitMs);
        return Stop();
    }

    // ---- IMediaSeeking
    HRESULT GetCapabilities(uint32_t* caps) override
    {
        if (!caps)
            return E_POINTER;
        *caps = 0;
        bool any = false;
        for (auto& s : Sources()) {
            uint32_t c = 0;
            if (Succeeded(s->GetCapabilities(&c)))
                *caps = any ? (*caps & c) : c;
            any = true;
        }
        return any ? S_OK : E_NOTIMPL;
    }
    HRESULT CheckCapabilities(uint32_t* caps) override
    {
        uint32_t have = 0;
        GetCapabilities(&have);
        return CheckSeekingCapabilities(have, caps);
    }
    HRESULT GetTimeFormat(GUID* format) override { return GetMediaTimeFormat(format); }
    HRESULT SetTimeFormat(const GUID& format) override { return SetMediaTimeFormat(format); }
    HRESULT GetDuration(int64_t* duration) override
    {
        if (!duration)
            return E_POINTER;
        *duration = 0;
        bool any = false;
        for (auto& s : Sources()) {
            int64_t d = 0;
            if (Succeeded(s->GetDuration(&d))) {
                *duration = std::max(*duration, d);
                any = true;
            }
        }
        return any ? S_OK : E_NOTIMPL;
    }
    HRESULT GetStopPosition(int64_t* stop) override { return GetDuration(stop); }
    HRESULT GetCurrentPosition(int64_t* current) override
    {
        if (!current)
            return E_POINTER;
        REFERENCE_TIME streamTime = 0;
        if (state_ == State_Running)
            streamTime = std::max<REFERENCE_TIME>(0, ClockNow() - start_);
        else if (state_ == State_Paused)
            streamTime = pausedAt_;
        int64_t pos = position_ + static_cast<int64_t>(streamTime * rate_);
        int64_t duration = 0;
        if (Succeeded(GetDuration(&duration)) && duration > 0)
            pos = std::min(pos, duration);
        *current = pos;
        return S_OK;
    }
    HRESULT SetPositions(int64_t* current, uint32_t currentFlags, int64_t* stop, uint32_t) override
    {
        const uint32_t how = currentFlags & AM_SEEKING_PositioningBitsMask;
        if (how == AM_SEEKING_NoPositioning || !current)
            return S_OK;
        (void)stop;
        int64_t target = *current;
        if (how == AM_SEEKING_RelativePositioning) {
            int64_t now = 0;
            GetCurrentPosition(&now);
            target += now;
        }
        target = std::max<int64_t>(0, target);
        const FILTER_STATE was = state_;
        if (was == State_Running)
            Pause();
        position_ = target;
        pausedAt_ = 0;
        ForgetCompletions();
        if (was != State_Stopped)
            SeekSources(target, true);
        if (was == State_Running)
            Run();
        Log("Seek to " + std::to_string(target));
        return S_OK;
    }
    HRESULT GetPositions(int64_t* current, int64_t* stop) override
    {
        if (current)
            GetCurrentPosition(current);
        if (stop)
            GetStopPosition(stop);
        return S_OK;
    }
    HRESULT GetAvailable(int64_t* earliest, int64_t* latest) override
    {
        if (earliest)
            *earliest = 0;
        return latest ? GetDuration(latest) : S_OK;
    }
    HRESULT SetRate(double rate) override
    {
        if (rate <= 0)
            return E_INVALIDARG;
        int64_t pos = 0;
        GetCurrentPosition(&pos);
        for (auto& s : Sources())
            if (Failed(s->SetRate(rate)))
                return E_NOTIMPL;
        // The same rate again needs no seek, which would only decode the
        // pictures up to the position once more.
        const bool changed = rate != rate_;
        rate_ = rate;
        if (changed && state_ != State_Stopped)
            SetPositions(&pos, AM_SEEKING_AbsolutePositioning, nullptr, 0);
        return S_OK;
    }
    HRESULT GetRate(double* rate) override
    {
        if (!rate)
            return E_POINTER;
        *rate = rate_;
        return S_OK;
    }

    // ---- IMediaEvent(Ex)
    HRESULT GetEvent(int32_t* code, intptr_t* p1, intptr_t* p2, int32_t msTimeout) override
    {
        if (!code || !p1 || !p2)
            return E_POINTER;
        return events_.Pop(*code, *p1, *p2, msTimeout) ? S_OK : E_ABORT;
    }
    HRESULT WaitForCompletion(int32_t msTimeout, int32_t* code) override
    {
        if (!code)
            return E_POINTER;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(msTimeout);
        for (;;) {
            int32_t c;
            intptr_t a, b;
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            if (!events_.Pop(c, a, b, msTimeout < 0 ? -1 : std::max<int32_t>(0, static_cast<int32_t>(left.count()))))
                return E_ABORT;
            FreeParams(c, a, b);
            if (c == EC_COMPLETE || c == EC_ERRORABORT || c == EC_USERABORT) {
                *code = c;
                return S_OK;
            }
        }
    }
    HRESULT CancelDefaultHandling(int32_t code) override
    {
        MutexLock lock(completeLock_);
        noDefault_.insert(code);
        return S_OK;
    }
    HRESULT RestoreDefaultHandling(int32_t code) override
    {
        MutexLock lock(completeLock_);
        noDefault_.erase(code);
        return S_OK;
    }
    HRESULT FreeEventParams(int32_t code, intptr_t p1, intptr_t p2) override
    {
        FreeParams(code, p1, p2);
        return S_OK;
    }
    HRESULT SetNotifyWindow(QObject* receiver, int32_t message, intptr_t instance) override
    {
        events_.SetReceiver(receiver, message, instance);
        return S_OK;
    }
    HRESULT SetNotifyFlags(int32_t flags) override
    {
        events_.SetFlags(flags);
        if (flags & 1)
            events_.Clear();
        return S_OK;
    }
    HRESULT GetNotifyFlags(int32_t* flags) override
    {
        if (!flags)
            return E_POINTER;
        *flags = events_.Flags();
        return S_OK;
    }

    // ---- IMediaEventSink: renderers' completions are collected into one.
    HRESULT Notify(int32_t code, intptr_t p1, intptr_t p2) override
    {
        if (code == EC_COMPLETE) {
            MutexLock lock(completeLock_);
            if (!noDefault_.count(EC_COMPLETE)) {
                completed_.insert(p2);
                if (static_cast<int>(completed_.size()) < renderers_)
                    return S_OK;
                completed_.clear();
                p2 = 0;
            }
        }
        events_.Push(code, p1, p2);
        return S_OK;
    }

    // ---- IObjectWithSite, IServiceProvider
    HRESULT SetSite(IUnknown* site) override
    {
        site_ = site;
        return S_OK;
    }
    HRESULT GetSite(REFIID id, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        return site_ ? site_->QueryInterface(id, out) : E_FAIL;
    }
    HRESULT QueryService(const GUID& service, REFIID id, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        auto provider = QueryAs<IServiceProvider>(site_.get());
        return provider ? provider->QueryService(service, id, out) : E_NOINTERFACE;
    }

protected:
    // The renderers' control interfaces, answered by the first filter that has them.
    HRESULT QueryExtra(REFIID id, void** out) override
    {
        if (id == IBasicAudio::iid || id == IBasicVideo::iid || id == IBasicVideo2::iid || id == IVideoWindow::iid) {
            for (auto& e : filters_)
                if (Succeeded(e.filter->QueryInterface(id, out)))
                    return S_OK;
        }
        return E_NOINTERFACE;
    }

private:
    static constexpr HRESULT VFW_E_DUPLICATE_NAME_OR_FILTER = MakeFailure(0x8004022F);

    struct Entry {
        ComPtr<IBaseFilter> filter;
        std::u16string name;
    };

    static std::u16string Utf16(const std::string& s) { return {s.begin(), s.end()}; }

    Entry* Find(IBaseFilter* f)
    {
        for (auto& e : filters_)
            if (SameObject(e.filter.get(), f))
                return &e;
        return nullptr;
    }
    Entry* FindByName(const std::u16string& name)
    {
        for (auto& e : filters_)
            if (e.name == name)
                return &e;
        return nullptr;
    }
    bool InGraph(IPin* pin)
    {
        auto f = FilterOfPin(pin);
        return f && Find(f.get());
    }

    void Log(const std::string& line)
    {
        if (logFile_ > 0) {
            const std::string text = line + "\r\n";
            [[maybe_unused]] auto n = ::write(logFile_, text.data(), text.size());
        }
    }

    // Renderers that finished before a seek or a new start finish again.
    void ForgetCompletions()
    {
        MutexLock lock(completeLock_);
        completed_.clear();
    }

    REFERENCE_TIME ClockNow()
    {
        REFERENCE_TIME t = 0;
        clock_->GetTime(&t);
        return t;
    }

    // Downstream filters before the ones that feed them, so renderers change
    // state first and a source never pushes into a stopped renderer.
    std::vector<ComPtr<IBaseFilter>> Ordered()
    {
        std::vector<ComPtr<IBaseFilter>> order;
        std::set<IBaseFilter*> placed;
        int renderers = 0;
        for (auto& e : filters_)
            if (IsRenderer(e.filter.get()))
                ++renderers;
        {
            MutexLock lock(completeLock_);
            renderers_ = renderers;
        }
        for (size_t round = 0; round <= filters_.size() && order.size() < filters_.size(); ++round)
            for (auto& e : filters_) {
                if (placed.count(e.filter.get()))
                    continue;
                bool ready = true;
                for (auto& pin : PinsOf(e.filter.get(), PINDIR_OUTPUT))
                    if (auto peer = PeerOf(pin.get()))
                        if (auto down = FilterOfPin(peer.get()); down && !placed.count(down.get()) && Find(down.get()))
                            ready = false;
                if (ready || round == filters_.size()) {
                    placed.insert(e.filter.get());
                    order.push_back(e.filter);
                }
            }
        return order;
    }

    std::vector<ComPtr<IMediaSeeking>> Sources()
    {
        std::vector<ComPtr<IMediaSeeking>> list;
        for (auto& e : filters_)
            if (PinsOf(e.filter.get(), PINDIR_INPUT).empty())
                if (auto s = QueryAs<IMediaSeeking>(e.filter.get()))
                    list.push_back(s);
        return list;
    }

    void SeekSources(int64_t position, bool flush)
    {
        (void)flush;
        for (auto& s : Sources()) {
            int64_t pos = position;
            s->SetPositions(&pos, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
        }
    }

    bool WaitForPreroll(int msTimeout)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(msTimeout);
        for (;;) {
            bool ready = true;
            for (auto& e : filters_) {
                FILTER_STATE s;
                if (e.filter->GetState(0, &s) == VFW_S_STATE_INTERMEDIATE)
                    ready = false;
            }
            if (ready)
                return true;
            if (std::chrono::steady_clock::now() >= end)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    void RemoveAddedSince(size_t count)
    {
        while (filters_.size() > count)
            RemoveFilter(filters_.back().filter.get());
    }

    bool HandledByCallback(IPin* pin)
    {
        auto cb = QueryAs<IAMFilterGraphCallback>(site_.get());
        return cb && cb->UnableToRender(pin) == S_OK;
    }

    static bool TemplateTakes(const FilterTemplate& t, const std::vector<AMMediaType>& types)
    {
        for (const auto& [major, sub] : t.inputs)
            for (const auto& mt : types)
                if ((major == GUID_NULL || major == mt.majortype) && (sub == GUID_NULL || sub == mt.subtype))
                    return true;
        return false;
    }

    // Creates a registered filter through the site's callbacks and adds it.
    ComPtr<IBaseFilter> AddRegistered(const FilterTemplate& t)
    {
        auto cb = QueryAs<IAMGraphBuilderCallback>(site_.get());
        if (cb && Failed(cb->SelectedFilter(MonikerFor(t).get())))
            return {};
        ComPtr<IBaseFilter> f = t.create ? t.create() : nullptr;
        if (!f || (cb && Failed(cb->CreatedFilter(f.get()))))
            return {};
        if (Failed(AddFilter(f.get(), t.name)))
            return {};
        return f;
    }

    // Connects out to a free input pin of f; true on success.
    bool ConnectToFilter(IPin* out, IBaseFilter* f)
    {
        for (auto& in : PinsOf(f, PINDIR_INPUT))
            if (!PeerOf(in.get()) && Succeeded(out->Connect(in.get(), nullptr)))
                return true;
        return false;
    }

    // Renders every free output pin of f; S_OK when all, a failure when none.
    HRESULT RenderOutputs(IBaseFilter* f, int depth)
    {
        int rendered = 0, total = 0;
        for (auto& pin : PinsOf(f, PINDIR_OUTPUT)) {
            if (PeerOf(pin.get()))
                continue;
            ++total;
            if (Succeeded(RenderPin(pin.get(), depth + 1)))
                ++rendered;
        }
        if (total == 0 || rendered == total)
            return S_OK;
        return rendered ? VFW_S_PARTIAL_RENDER : VFW_E_CANNOT_RENDER;
    }

    HRESULT RenderPin(IPin* out, int depth)
    {
        if (depth > kMaxRenderDepth)
            return VFW_E_CANNOT_RENDER;
        const auto self = FilterOfPin(out);
        // Filters already in the graph first (their renderers, the DSP filter).
        for (size_t i = 0; i < filters_.size(); ++i) {
            ComPtr<IBaseFilter> f = filters_[i].filter;
            if (SameObject(f.get(), self.get()) || !ConnectToFilter(out, f.get()))
                continue;
            if (Succeeded(RenderOutputs(f.get(), depth)))
                return S_OK;
            DisconnectPin(out);
        }
        const auto types = MediaTypesOf(out);
        for (const auto& t : RegisteredFilterClasses()) {
            if (t.merit <= MERIT_DO_NOT_USE || !TemplateTakes(t, types))
                continue;
            const size_t before = filters_.size();
            ComPtr<IBaseFilter> f = AddRegistered(t);
            if (!f)
                continue;
            if (ConnectToFilter(out, f.get()) && RenderOutputs(f.get(), depth) == S_OK)
                return S_OK;
            RemoveAddedSince(before);
        }
        return VFW_E_CANNOT_RENDER;
    }

    HRESULT ConnectVia(IPin* out, IPin* in, int depth)
    {
        if (Succeeded(ConnectDirect(out, in, nullptr)))
            return S_OK;
        if (depth >= kMaxRenderDepth)
            return VFW_E_CANNOT_CONNECT;
        const auto types = MediaTypesOf(out);
        for (const auto& t : RegisteredFilterClasses()) {
            if (t.merit <= MERIT_DO_NOT_USE || !TemplateTakes(t, types))
                continue;
            const size_t before = filters_.size();
            ComPtr<IBaseFilter> f = AddRegistered(t);
            if (!f)
                continue;
            if (ConnectToFilter(out, f.get()))
                for (auto& next : PinsOf(f.get(), PINDIR_OUTPUT))
                    if (Succeeded(ConnectVia(next.get(), in, depth + 1)))
                        return S_OK;
            RemoveAddedSince(before);
        }
        return VFW_E_CANNOT_CONNECT;
    }

    void DisconnectPin(IPin* pin)
    {
        if (auto peer = PeerOf(pin))
            peer->Disconnect();
        pin->Disconnect();
    }

    std::vector<Entry> filters_;
    ComPtr<IReferenceClock> clock_;
    FILTER_STATE state_ = State_Stopped;
    REFERENCE_TIME start_ = 0; // clock time of stream time 0
    REFERENCE_TIME pausedAt_ = 0; // stream time when paused
    int64_t position_ = 0; // media position of stream time 0
    double rate_ = 1.0;
    EventQueue events_;
    // The completions, which renderers send on their streaming threads;
    // taken alone.
    Mutex completeLock_;
    std::set<int32_t> noDefault_ GUARDED_BY(completeLock_);
    std::set<intptr_t> completed_ GUARDED_BY(completeLock_);
    int renderers_ GUARDED_BY(completeLock_) = 0;
    ComPtr<IUnknown> site_;
    int logFile_ = 0;
};

} // namespace

ComPtr<IFilterGraph2> MakeFilterGraph() { return MakeCom<FilterGraph>(); }

} // namespace kolvarin::media
