// A media type made of the input (major, sub and format type picked by the
// first bytes, then a format block of a given length) is described as a
// stream, mapped to codec parameters, and offered to every filter that sizes
// something from a type: the decoders and the DSP filter get one sample of
// the remaining bytes, the audio renderer only the connection (it opens the
// device with its first sample).
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>

#include "media/ffmediatypes.h"
#include "media/filterbase.h"
#include "media/uuids.h"
#include "video/dskitdspfilter.h"
#include "video/kstreaminfo.h"

using namespace kolvarin::media;

namespace {

constexpr GUID kMajors[] = {MEDIATYPE_Video, MEDIATYPE_Audio, MEDIATYPE_Subtitle, MEDIATYPE_Stream, MEDIATYPE_Text};
constexpr GUID kFormats[] = {FORMAT_VideoInfo,    FORMAT_VideoInfo2,    FORMAT_MPEG2Video,   FORMAT_MPEGVideo,
                             FORMAT_WaveFormatEx, FORMAT_SubtitleInfo,  FORMAT_VorbisFormat, FORMAT_VorbisFormat2,
                             FORMAT_DolbyAC3,     FORMAT_DVD_LPCMAudio, FORMAT_None,         GUID_NULL};
constexpr GUID kSubtypes[] = {MEDIASUBTYPE_PCM,
                              MEDIASUBTYPE_IEEE_FLOAT,
                              MEDIASUBTYPE_DOLBY_AC3,
                              MEDIASUBTYPE_DTS,
                              MEDIASUBTYPE_MPEG2_AUDIO,
                              MEDIASUBTYPE_DVD_LPCM_AUDIO,
                              MEDIASUBTYPE_MPEG1Audio,
                              MEDIASUBTYPE_MPEG1Video,
                              MEDIASUBTYPE_MPEG2_VIDEO,
                              MEDIASUBTYPE_RGB24,
                              MEDIASUBTYPE_RGB32,
                              MEDIASUBTYPE_I420,
                              MEDIASUBTYPE_YV12,
                              MEDIASUBTYPE_NV12,
                              MEDIASUBTYPE_H264,
                              MEDIASUBTYPE_AVC1,
                              MEDIASUBTYPE_DVD_SUBPICTURE,
                              MEDIASUBTYPE_UTF8,
                              MEDIASUBTYPE_SSA,
                              MEDIASUBTYPE_ASS,
                              MEDIASUBTYPE_VOBSUB};

// A source whose one output pin offers the fuzzed type.
class TypeSource : public BaseFilter {
public:
    explicit TypeSource(const AMMediaType& type) : BaseFilter(GUID_NULL, u"Source"), type_(type)
    {
        out = &AddOutputPin(u"Out");
    }
    HRESULT CheckMediaType(BasePin&, const AMMediaType&) override { return S_OK; }
    HRESULT GetMediaType(BasePin&, int position, AMMediaType* type) override
    {
        if (position != 0)
            return VFW_S_NO_MORE_ITEMS;
        *type = type_;
        return S_OK;
    }
    OutputPin* out = nullptr;

private:
    AMMediaType type_;
};

template <size_t N>
const GUID& Pick(const GUID (&table)[N], uint8_t byte)
{
    return table[byte % N];
}

void Offer(const AMMediaType& type, IBaseFilter* target, const uint8_t* payload, size_t payloadSize, bool deliver)
{
    auto source = MakeCom<TypeSource>(type);
    const auto inputs = PinsOf(target, PINDIR_INPUT);
    if (inputs.empty() || Failed(source->out->Connect(inputs[0].get(), &type)))
        return;
    if (deliver && Succeeded(target->Pause())) {
        const auto size = static_cast<int32_t>(std::max<size_t>(payloadSize, 1));
        auto sample = MakeCom<MediaSample>(size);
        uint8_t* buffer = nullptr;
        if (Succeeded(sample->GetPointer(&buffer)) && payloadSize > 0)
            std::memcpy(buffer, payload, payloadSize);
        sample->SetActualDataLength(static_cast<int32_t>(payloadSize));
        const REFERENCE_TIME start = 0, stop = 400000;
        sample->SetTime(&start, &stop);
        sample->SetSyncPoint(true);
        source->out->Deliver(sample.get());
        source->out->DeliverEndOfStream();
        target->Stop();
    }
    source->out->Disconnect();
    inputs[0]->Disconnect();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    constexpr size_t kHeader = 9;
    if (size < kHeader)
        return 0;
    AMMediaType type;
    type.majortype = Pick(kMajors, data[0]);
    type.formattype = Pick(kFormats, data[1]);
    // Past the table: a FourCC subtype from the next four bytes.
    if (data[2] < std::size(kSubtypes))
        type.subtype = kSubtypes[data[2]];
    else
        type.subtype =
            FourCCGuid(uint32_t(data[3]) | uint32_t(data[4]) << 8 | uint32_t(data[5]) << 16 | uint32_t(data[6]) << 24);
    const size_t formatSize = std::min<size_t>(size - kHeader, size_t(data[7]) | size_t(data[8]) << 8);
    type.format.assign(data + kHeader, data + kHeader + formatSize);
    const uint8_t* payload = data + kHeader + formatSize;
    const size_t payloadSize = size - kHeader - formatSize;

    (void)kolvarin::video::MediaTypeToStreamInfo(type);
    (void)kolvarin::video::GetStreamKind(type.majortype, type.subtype, type.formattype);
    (void)CodecParametersOfType(type);

    for (const CLSID& clsid : {CLSID_FFVideoDecoder, CLSID_FFAudioDecoder})
        if (auto decoder = CreateInstance<IBaseFilter>(clsid))
            Offer(type, decoder.get(), payload, payloadSize, true);
    kolvarin::video::TDSKitQxDSPFilter dsp;
    dsp.SetDSPEnabled(true);
    Offer(type, dsp.GetFilter().get(), payload, payloadSize, true);
    if (auto renderer = CreateInstance<IBaseFilter>(CLSID_DSoundRender))
        Offer(type, renderer.get(), payload, payloadSize, false);
    return 0;
}
