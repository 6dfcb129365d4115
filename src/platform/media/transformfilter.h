#pragma once

// For implementers: a filter with one input and one output pin that passes
// flushes, segments and the end of stream downstream and hands each sample
// to Transform on the streaming thread. An in-place transform keeps the
// input's type on its output and changes the sample's bytes where they are.

#include "media/filterbase.h"

namespace kolvarin::media {

// What a filter asks of the allocator of its output connection.
struct ALLOCATOR_PROPERTIES {
    int32_t cBuffers = 0;
    int32_t cbBuffer = 0;
    int32_t cbAlign = 1;
    int32_t cbPrefix = 0;
};

// Grants what is asked, up to a limit per buffer (what the samples of this
// framework can hold): 64 MB.
class MemAllocator {
public:
    HRESULT SetProperties(const ALLOCATOR_PROPERTIES& request, ALLOCATOR_PROPERTIES* actual);
    const ALLOCATOR_PROPERTIES& Properties() const { return props_; }

private:
    ALLOCATOR_PROPERTIES props_;
};

class TransformFilter : public BaseFilter {
public:
    TransformFilter(const CLSID& clsid, std::u16string name, bool inPlace);

    // Hooks for the transform; the defaults pass the input type through.
    virtual HRESULT CheckInputType(const AMMediaType& type) = 0;
    virtual HRESULT CheckTransform(const AMMediaType& in, const AMMediaType& out);
    // Output types by position: VFW_S_NO_MORE_ITEMS past the end.
    virtual HRESULT GetOutputType(int position, AMMediaType* type);
    virtual HRESULT DecideBufferSize(MemAllocator& allocator, ALLOCATOR_PROPERTIES& request);
    // Called after a pin connected (direction tells which).
    virtual HRESULT CompleteConnect(PIN_DIRECTION dir, IPin* peer);
    // Processes one input sample; in place, the sample goes on when S_OK.
    // Other filters deliver through Output() themselves and return S_OK.
    virtual HRESULT Transform(IMediaSample* sample) = 0;
    virtual HRESULT OnEndOfStream();
    virtual HRESULT OnBeginFlush();
    virtual HRESULT OnEndFlush();

    // BaseFilter's pin hooks.
    HRESULT CheckMediaType(BasePin& pin, const AMMediaType& type) override;
    HRESULT GetMediaType(BasePin& pin, int position, AMMediaType* type) override;
    HRESULT CompleteConnect(BasePin& pin, IPin* peer) override;
    HRESULT Receive(InputPin& pin, IMediaSample* sample) override;
    HRESULT EndOfStream(InputPin& pin) override;
    HRESULT BeginFlush(InputPin& pin) override;
    HRESULT EndFlush(InputPin& pin) override;
    HRESULT NewSegment(InputPin& pin, REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

    InputPin& Input() { return *input_; }
    OutputPin& Output() { return *output_; }

private:
    InputPin* input_;
    OutputPin* output_;
    bool inPlace_;
    MemAllocator allocator_;
};

} // namespace kolvarin::media
