#include "media/renderer.h"

#include <algorithm>
#include <chrono>

#include "media/graphif.h"

namespace kolvarin::media {

Renderer::Renderer(const CLSID& clsid, std::u16string name) : BaseFilter(clsid, std::move(name))
{
    input_ = &AddInputPin(u"Input");
}

HRESULT Renderer::CheckMediaType(BasePin&, const AMMediaType& type) { return CheckInputType(type); }

HRESULT Renderer::CompleteConnect(BasePin&, IPin*)
{
    SetInputType(input_->CurrentMediaType());
    return S_OK;
}

REFERENCE_TIME Renderer::StreamTime() const
{
    auto clock = Clock();
    REFERENCE_TIME start = 0;
    {
        // The state and the start of one run: a pause and a new run may
        // come between two reads.
        MutexLock lock(stateLock_);
        if (!clock || StateLocked() != State_Running)
            return 0;
        start = StartTime();
    }
    REFERENCE_TIME now = 0;
    clock->GetTime(&now);
    return now - start;
}

bool Renderer::WaitUntil(REFERENCE_TIME t)
{
    MutexLock lock(stateLock_);
    for (;;) {
        if (Aborted())
            return false;
        if (StateLocked() == State_Running) {
            lock.Unlock();
            const REFERENCE_TIME now = StreamTime();
            lock.Lock();
            if (Aborted())
                return false;
            if (StateLocked() == State_Running) {
                if (now >= t)
                    return true;
                const auto wait = std::chrono::microseconds(std::min<REFERENCE_TIME>((t - now) / 10, 10000));
                lock.WaitFor(stateChanged_, wait);
                continue;
            }
        }
        lock.Wait(stateChanged_);
    }
}

HRESULT Renderer::Receive(InputPin&, IMediaSample* sample)
{
    AMMediaType changed;
    if (sample->GetMediaType(&changed) == S_OK) {
        input_->SetCurrentMediaType(changed);
        SetInputType(changed);
    }
    REFERENCE_TIME start = 0, stop = 0;
    const bool timed = Succeeded(sample->GetTime(&start, &stop));
    if (timed && stop <= 0)
        return S_OK; // before the segment start: decoded only to reach it
    {
        MutexLock lock(stateLock_);
        if (Aborted())
            return S_FALSE;
        if (timed)
            lastStop_ = stop;
        if (!prerolled_ && StateLocked() == State_Paused) {
            lock.Unlock();
            Render(sample);
            lock.Lock();
            prerolled_ = true;
            stateChanged_.notify_all();
            lock.Wait(stateChanged_,
                      [&]() REQUIRES(stateLock_) { return Aborted() || StateLocked() == State_Running; });
            return Aborted() ? S_FALSE : S_OK;
        }
        prerolled_ = true;
    }
    if (Scheduled() && timed && Clock() && !WaitUntil(start))
        return S_FALSE;
    Render(sample);
    return S_OK;
}

HRESULT Renderer::EndOfStream(InputPin&)
{
    REFERENCE_TIME stop;
    {
        MutexLock lock(stateLock_);
        endOfStream_ = true;
        prerolled_ = true;
        stop = lastStop_;
    }
    stateChanged_.notify_all();
    if (Scheduled() && Clock() && !WaitUntil(stop))
        return S_OK;
    NotifyEvent(EC_COMPLETE, S_OK, reinterpret_cast<intptr_t>(static_cast<IBaseFilter*>(this)));
    return S_OK;
}

HRESULT Renderer::BeginFlush(InputPin&)
{
    {
        MutexLock lock(stateLock_);
        flushing_ = true;
        prerolled_ = false;
        endOfStream_ = false;
    }
    stateChanged_.notify_all();
    OnFlush();
    return S_OK;
}

HRESULT Renderer::EndFlush(InputPin&)
{
    MutexLock lock(stateLock_);
    flushing_ = false;
    return S_OK;
}

HRESULT Renderer::NewSegment(InputPin&, REFERENCE_TIME, REFERENCE_TIME, double) { return S_OK; }

void Renderer::OnStop()
{
    {
        MutexLock lock(stateLock_);
        stoppedFlag_ = true;
        prerolled_ = false;
        endOfStream_ = false;
    }
    stateChanged_.notify_all();
    OnFlush();
}

void Renderer::OnPause(FILTER_STATE from)
{
    MutexLock lock(stateLock_);
    stoppedFlag_ = false;
    if (from == State_Stopped) {
        prerolled_ = false;
        endOfStream_ = false;
    }
}

void Renderer::OnRun(REFERENCE_TIME)
{
    MutexLock lock(stateLock_);
    stoppedFlag_ = false;
}

bool Renderer::Intermediate() const
{
    MutexLock lock(stateLock_);
    return !prerolled_ && !endOfStream_ && input_->IsConnected();
}

} // namespace kolvarin::media
