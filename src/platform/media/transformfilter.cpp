#include "media/transformfilter.h"

#include <algorithm>

namespace kolvarin::media {

HRESULT MemAllocator::SetProperties(const ALLOCATOR_PROPERTIES& request, ALLOCATOR_PROPERTIES* actual)
{
    if (!actual)
        return E_POINTER;
    if (request.cBuffers < 0 || request.cbBuffer < 0)
        return E_INVALIDARG;
    props_ = request;
    props_.cbBuffer = std::min(request.cbBuffer, 64 << 20);
    props_.cBuffers = std::max(request.cBuffers, 1);
    *actual = props_;
    return S_OK;
}

TransformFilter::TransformFilter(const CLSID& clsid, std::u16string name, bool inPlace)
    : BaseFilter(clsid, std::move(name)), inPlace_(inPlace)
{
    input_ = &AddInputPin(u"In");
    output_ = &AddOutputPin(u"Out");
}

HRESULT TransformFilter::CheckTransform(const AMMediaType& in, const AMMediaType& out)
{
    return in.majortype == out.majortype && in.subtype == out.subtype ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT TransformFilter::GetOutputType(int position, AMMediaType* type)
{
    if (!input_->IsConnected())
        return E_UNEXPECTED;
    if (position < 0)
        return E_INVALIDARG;
    if (position > 0)
        return VFW_S_NO_MORE_ITEMS;
    *type = input_->CurrentMediaType();
    return S_OK;
}

HRESULT TransformFilter::DecideBufferSize(MemAllocator&, ALLOCATOR_PROPERTIES&) { return S_OK; }
HRESULT TransformFilter::CompleteConnect(PIN_DIRECTION, IPin*) { return S_OK; }
HRESULT TransformFilter::OnEndOfStream() { return output_->IsConnected() ? output_->DeliverEndOfStream() : S_OK; }
HRESULT TransformFilter::OnBeginFlush() { return output_->IsConnected() ? output_->DeliverBeginFlush() : S_OK; }
HRESULT TransformFilter::OnEndFlush() { return output_->IsConnected() ? output_->DeliverEndFlush() : S_OK; }

HRESULT TransformFilter::CheckMediaType(BasePin& pin, const AMMediaType& type)
{
    if (&pin == input_)
        return CheckInputType(type);
    if (!input_->IsConnected())
        return VFW_E_NOT_CONNECTED;
    return CheckTransform(input_->CurrentMediaType(), type);
}

HRESULT TransformFilter::GetMediaType(BasePin& pin, int position, AMMediaType* type)
{
    if (&pin == input_)
        return VFW_S_NO_MORE_ITEMS;
    return GetOutputType(position, type);
}

HRESULT TransformFilter::CompleteConnect(BasePin& pin, IPin* peer)
{
    if (&pin == output_) {
        ALLOCATOR_PROPERTIES request;
        const HRESULT hr = DecideBufferSize(allocator_, request);
        if (Failed(hr))
            return hr;
    }
    return CompleteConnect(&pin == input_ ? PINDIR_INPUT : PINDIR_OUTPUT, peer);
}

HRESULT TransformFilter::Receive(InputPin&, IMediaSample* sample)
{
    const HRESULT hr = Transform(sample);
    if (hr != S_OK || !inPlace_)
        return Failed(hr) ? hr : S_OK;
    return output_->IsConnected() ? output_->Deliver(sample) : S_OK;
}

HRESULT TransformFilter::EndOfStream(InputPin&) { return OnEndOfStream(); }
HRESULT TransformFilter::BeginFlush(InputPin&) { return OnBeginFlush(); }
HRESULT TransformFilter::EndFlush(InputPin&) { return OnEndFlush(); }
HRESULT TransformFilter::NewSegment(InputPin&, REFERENCE_TIME start, REFERENCE_TIME stop, double rate)
{
    return output_->IsConnected() ? output_->DeliverNewSegment(start, stop, rate) : S_OK;
}

} // namespace kolvarin::media
