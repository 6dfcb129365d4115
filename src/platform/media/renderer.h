#pragma once

// For implementers: a renderer with one input pin. Receive waits, on the
// streaming thread, until a sample is due by the graph's clock and then
// hands it to Render; in a pause the first sample is rendered at once (the
// graph waits for it) and the next one waits for the run. The end of stream
// is reported as EC_COMPLETE when the last sample's stop time has come.
// A stop or a flush releases every wait.

#include "media/filterbase.h"

namespace kolvarin::media {

class Renderer : public BaseFilter {
public:
    Renderer(const CLSID& clsid, std::u16string name);

    virtual HRESULT CheckInputType(const AMMediaType& type) = 0;
    // Shows or plays one sample (streaming thread). A sample that carries a
    // new type has been through SetInputType first.
    virtual void Render(IMediaSample* sample) = 0;
    virtual void SetInputType(const AMMediaType& type) { (void)type; }
    // Whether samples wait for their time (false: render as they come).
    virtual bool Scheduled() const { return true; }
    // Samples that may wait in the renderer before Receive blocks (queueing
    // renderers such as audio return true and block in Render instead).
    virtual void OnFlush() {}

    HRESULT CheckMediaType(BasePin& pin, const AMMediaType& type) override;
    HRESULT CompleteConnect(BasePin& pin, IPin* peer) override;
    HRESULT Receive(InputPin& pin, IMediaSample* sample) override;
    HRESULT EndOfStream(InputPin& pin) override;
    HRESULT BeginFlush(InputPin& pin) override;
    HRESULT EndFlush(InputPin& pin) override;
    HRESULT NewSegment(InputPin& pin, REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

    InputPin& Input() { return *input_; }

protected:
    void OnStop() override;
    void OnPause(FILTER_STATE from) override;
    void OnRun(REFERENCE_TIME start) override;
    bool Intermediate() const override;
    // Stream time now (clock minus the run's start), 0 when not running.
    REFERENCE_TIME StreamTime() const;
    // True while a wait must end (stopped or flushing).
    bool Aborted() const REQUIRES(stateLock_) { return flushing_ || stoppedFlag_; }
    // Waits until stream time reaches t while running; false when aborted.
    bool WaitUntil(REFERENCE_TIME t);

private:
    InputPin* input_;
    bool flushing_ GUARDED_BY(stateLock_) = false;
    bool stoppedFlag_ GUARDED_BY(stateLock_) = true;
    bool prerolled_ GUARDED_BY(stateLock_) = false;
    bool endOfStream_ GUARDED_BY(stateLock_) = false;
    REFERENCE_TIME lastStop_ GUARDED_BY(stateLock_) = 0;
};

} // namespace kolvarin::media
