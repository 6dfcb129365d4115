#include "media/ffmediatypes.h"

#include <algorithm>
#include <cstring>
#include <numeric>

extern "C" {
#include <libavutil/pixdesc.h>
}

#include "media/uuids.h"

namespace kolvarin::media {
namespace {

class CodecParameters : public ComObject<CodecParameters, ICodecParameters> {
public:
    CodecParameters(const AVCodecParameters* p, AVRational timeBase)
        : params_(avcodec_parameters_alloc()), tb_(timeBase)
    {
        if (params_)
            avcodec_parameters_copy(params_.get(), p);
    }
    const AVCodecParameters* Parameters() override { return params_.get(); }
    AVRational TimeBase() override { return tb_; }

private:
    CodecParametersPtr params_;
    AVRational tb_;
};

std::span<const uint8_t> Extradata(const AVCodecParameters* p)
{
    if (!p->extradata || p->extradata_size <= 0)
        return {};
    return {p->extradata, static_cast<size_t>(p->extradata_size)};
}

std::string Metadata(const AVStream* s, const char* key)
{
    const AVDictionaryEntry* e = av_dict_get(s->metadata, key, nullptr, 0);
    return e && e->value ? e->value : "";
}

std::u16string Widen(const std::string& utf8)
{
    std::u16string out;
    for (size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<uint8_t>(utf8[i]);
        uint32_t cp = c;
        int n = 1;
        if (c >= 0xF0 && i + 3 < utf8.size()) {
            cp = (c & 7) << 18 | (utf8[i + 1] & 0x3F) << 12 | (utf8[i + 2] & 0x3F) << 6 | (utf8[i + 3] & 0x3F);
            n = 4;
        } else if (c >= 0xE0 && i + 2 < utf8.size()) {
            cp = (c & 15) << 12 | (utf8[i + 1] & 0x3F) << 6 | (utf8[i + 2] & 0x3F);
            n = 3;
        } else if (c >= 0xC0 && i + 1 < utf8.size()) {
            cp = (c & 31) << 6 | (utf8[i + 1] & 0x3F);
            n = 2;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += n;
    }
    return out;
}

uint32_t VideoFourCC(const AVCodecParameters* p)
{
    if (p->codec_tag)
        return p->codec_tag;
    const AVCodecTag* const tables[] = {avformat_get_riff_video_tags(), nullptr};
    const uint32_t tag = av_codec_get_tag(tables, p->codec_id);
    if (p->codec_id == AV_CODEC_ID_H264)
        return MakeFourCC('H', '2', '6', '4');
    return tag;
}

uint16_t WaveTag(const AVCodecParameters* p)
{
    if (p->codec_tag && p->codec_tag <= 0xFFFF)
        return static_cast<uint16_t>(p->codec_tag);
    const AVCodecTag* const tables[] = {avformat_get_riff_audio_tags(), nullptr};
    return static_cast<uint16_t>(av_codec_get_tag(tables, p->codec_id));
}

AMMediaType VideoType(const AVStream* s)
{
    const AVCodecParameters* p = s->codecpar;
    AMMediaType mt;
    mt.majortype = MEDIATYPE_Video;
    mt.bTemporalCompression = true;
    const uint32_t fourcc = VideoFourCC(p);
    REFERENCE_TIME frame = 0;
    const AVRational rate = s->avg_frame_rate.num > 0 ? s->avg_frame_rate : s->r_frame_rate;
    if (rate.num > 0 && rate.den > 0)
        frame = av_rescale(10000000, rate.den, rate.num);
    if (p->codec_id == AV_CODEC_ID_MPEG2VIDEO) {
        mt.subtype = MEDIASUBTYPE_MPEG2_VIDEO;
        mt.formattype = FORMAT_MPEG2Video;
        MPEG2VIDEOINFO v;
        v.hdr.AvgTimePerFrame = frame;
        v.hdr.rcSource = v.hdr.rcTarget = {0, 0, p->width, p->height};
        v.hdr.bmiHeader.biWidth = p->width;
        v.hdr.bmiHeader.biHeight = p->height;
        v.hdr.dwBitRate = static_cast<uint32_t>(std::clamp<int64_t>(p->bit_rate, 0, UINT32_MAX));
        const auto extra = Extradata(p);
        v.sequenceHeader.assign(extra.begin(), extra.end());
        mt.format = WriteMpeg2VideoInfo(v);
        return mt;
    }
    mt.subtype = p->codec_id == AV_CODEC_ID_MPEG1VIDEO ? MEDIASUBTYPE_MPEG1Payload : FourCCGuid(fourcc);
    mt.formattype = p->codec_id == AV_CODEC_ID_MPEG1VIDEO ? FORMAT_MPEGVideo : FORMAT_VideoInfo;
    VIDEOINFOHEADER v;
    v.AvgTimePerFrame = frame;
    v.rcSource = v.rcTarget = {0, 0, p->width, p->height};
    v.dwBitRate = static_cast<uint32_t>(std::clamp<int64_t>(p->bit_rate, 0, UINT32_MAX));
    v.bmiHeader.biWidth = p->width;
    v.bmiHeader.biHeight = p->height;
    v.bmiHeader.biBitCount = static_cast<uint16_t>(p->bits_per_coded_sample ? p->bits_per_coded_sample : 24);
    v.bmiHeader.biCompression = fourcc;
    mt.format = WriteVideoInfo(v, Extradata(p));
    return mt;
}

AMMediaType AudioType(const AVStream* s)
{
    const AVCodecParameters* p = s->codecpar;
    AMMediaType mt;
    mt.majortype = MEDIATYPE_Audio;
    mt.formattype = FORMAT_WaveFormatEx;
    WAVEFORMATEX w;
    w.wFormatTag = WaveTag(p);
    w.nChannels = static_cast<uint16_t>(p->ch_layout.nb_channels);
    w.nSamplesPerSec = static_cast<uint32_t>(p->sample_rate);
    w.nAvgBytesPerSec = static_cast<uint32_t>(std::clamp<int64_t>(p->bit_rate / 8, 0, UINT32_MAX));
    w.nBlockAlign = static_cast<uint16_t>(p->block_align);
    w.wBitsPerSample = static_cast<uint16_t>(p->bits_per_coded_sample);
    const auto extra = Extradata(p);
    w.extra.assign(extra.begin(), extra.begin() + std::min<size_t>(extra.size(), 0xFFFF));
    if (p->codec_id == AV_CODEC_ID_AC3) {
        mt.subtype = MEDIASUBTYPE_DOLBY_AC3;
        w.wFormatTag = 0x2000;
    } else if (p->codec_id == AV_CODEC_ID_DTS) {
        mt.subtype = MEDIASUBTYPE_DTS;
        w.wFormatTag = 0x2001;
    } else if (p->codec_id == AV_CODEC_ID_MP2) {
        mt.subtype = MEDIASUBTYPE_MPEG1Audio;
    } else {
        mt.subtype = FourCCGuid(w.wFormatTag);
    }
    mt.format = WriteWaveFormat(w);
    return mt;
}

AMMediaType SubtitleType(const AVStream* s)
{
    const AVCodecParameters* p = s->codecpar;
    AMMediaType mt;
    mt.majortype = MEDIATYPE_Subtitle;
    mt.formattype = FORMAT_SubtitleInfo;
    switch (p->codec_id) {
    case AV_CODEC_ID_ASS:
    case AV_CODEC_ID_SSA: mt.subtype = MEDIASUBTYPE_ASS; break;
    case AV_CODEC_ID_DVD_SUBTITLE: mt.subtype = MEDIASUBTYPE_VOBSUB; break;
    default: mt.subtype = MEDIASUBTYPE_UTF8; break;
    }
    SUBTITLEINFO info;
    const std::string lang = Metadata(s, "language");
    for (size_t i = 0; i < 3 && i < lang.size(); ++i)
        info.IsoLang[i] = lang[i];
    info.TrackName = Widen(Metadata(s, "title")).substr(0, 255);
    mt.format = WriteSubtitleInfo(info, Extradata(p));
    return mt;
}

} // namespace

AMMediaType MediaTypeOfStream(const AVStream* stream)
{
    AMMediaType mt;
    switch (stream->codecpar->codec_type) {
    case AVMEDIA_TYPE_VIDEO:
        if (stream->disposition & AV_DISPOSITION_ATTACHED_PIC)
            return mt;
        mt = VideoType(stream);
        break;
    case AVMEDIA_TYPE_AUDIO: mt = AudioType(stream); break;
    case AVMEDIA_TYPE_SUBTITLE: mt = SubtitleType(stream); break;
    default: return mt;
    }
    mt.pUnk = ComPtr<IUnknown>(MakeCom<CodecParameters>(stream->codecpar, stream->time_base).get());
    return mt;
}

CodecParametersPtr CodecParametersOfType(const AMMediaType& type)
{
    CodecParametersPtr out(avcodec_parameters_alloc());
    if (!out)
        return nullptr;
    if (auto known = QueryAs<ICodecParameters>(type.pUnk.get())) {
        avcodec_parameters_copy(out.get(), known->Parameters());
        return out;
    }
    auto setExtra = [&](std::span<const uint8_t> bytes) {
        if (bytes.empty())
            return;
        out->extradata = static_cast<uint8_t*>(av_mallocz(bytes.size() + AV_INPUT_BUFFER_PADDING_SIZE));
        if (!out->extradata)
            return;
        std::memcpy(out->extradata, bytes.data(), bytes.size());
        out->extradata_size = static_cast<int>(bytes.size());
    };
    if (type.majortype == MEDIATYPE_Video) {
        out->codec_type = AVMEDIA_TYPE_VIDEO;
        if (type.formattype == FORMAT_VideoInfo || type.formattype == FORMAT_MPEGVideo) {
            auto v = ReadVideoInfo(type.formatBytes());
            if (!v)
                return nullptr;
            out->width = v->bmiHeader.biWidth;
            out->height = std::abs(v->bmiHeader.biHeight);
            out->codec_tag = v->bmiHeader.biCompression;
            setExtra(type.formatBytes().subspan(VIDEOINFOHEADER::size));
        } else if (type.formattype == FORMAT_VideoInfo2 || type.formattype == FORMAT_MPEG2Video) {
            auto v = ReadVideoInfo2(type.formatBytes());
            if (!v)
                return nullptr;
            out->width = v->bmiHeader.biWidth;
            out->height = std::abs(v->bmiHeader.biHeight);
            out->codec_tag = v->bmiHeader.biCompression;
        }
        if (type.subtype == MEDIASUBTYPE_MPEG2_VIDEO)
            out->codec_id = AV_CODEC_ID_MPEG2VIDEO;
        else if (type.subtype == MEDIASUBTYPE_MPEG1Payload || type.subtype == MEDIASUBTYPE_MPEG1Video)
            out->codec_id = AV_CODEC_ID_MPEG1VIDEO;
        else {
            const AVCodecTag* const tables[] = {avformat_get_riff_video_tags(), nullptr};
            out->codec_id = av_codec_get_id(tables, type.subtype.Data1);
            if (out->codec_id == AV_CODEC_ID_NONE && type.subtype.Data1 == MakeFourCC('H', '2', '6', '4'))
                out->codec_id = AV_CODEC_ID_H264;
        }
    } else if (type.majortype == MEDIATYPE_Audio && type.formattype == FORMAT_WaveFormatEx) {
        auto w = ReadWaveFormat(type.formatBytes());
        if (!w || !AudioInBounds(w->nSamplesPerSec, w->nChannels, w->wBitsPerSample))
            return nullptr;
        out->codec_type = AVMEDIA_TYPE_AUDIO;
        out->sample_rate = static_cast<int>(w->nSamplesPerSec);
        av_channel_layout_default(&out->ch_layout, w->nChannels);
        out->block_align = w->nBlockAlign;
        out->bits_per_coded_sample = w->wBitsPerSample;
        out->bit_rate = int64_t(w->nAvgBytesPerSec) * 8;
        setExtra(w->extra);
        if (type.subtype == MEDIASUBTYPE_DOLBY_AC3)
            out->codec_id = AV_CODEC_ID_AC3;
        else if (type.subtype == MEDIASUBTYPE_DTS)
            out->codec_id = AV_CODEC_ID_DTS;
        else if (type.subtype == MEDIASUBTYPE_MPEG1Audio)
            out->codec_id = AV_CODEC_ID_MP2;
        else {
            const AVCodecTag* const tables[] = {avformat_get_riff_audio_tags(), nullptr};
            out->codec_id = av_codec_get_id(tables, w->wFormatTag);
        }
    }
    if (out->codec_id == AV_CODEC_ID_NONE)
        return nullptr;
    return out;
}

AMMediaType VideoOutputType(int width, int height, AVRational sampleAspect, REFERENCE_TIME avgTimePerFrame,
                            int pixelFormat)
{
    (void)pixelFormat;
    AMMediaType mt;
    mt.majortype = MEDIATYPE_Video;
    mt.subtype = MEDIASUBTYPE_I420;
    mt.formattype = FORMAT_VideoInfo2;
    mt.bFixedSizeSamples = true;
    mt.lSampleSize = static_cast<uint32_t>(width * height * 3 / 2);
    VIDEOINFOHEADER2 v;
    v.rcSource = v.rcTarget = {0, 0, width, height};
    v.AvgTimePerFrame = avgTimePerFrame;
    int64_t ax = width, ay = height;
    if (sampleAspect.num > 0 && sampleAspect.den > 0) {
        ax *= sampleAspect.num;
        ay *= sampleAspect.den;
    }
    const int64_t g = std::gcd(ax, ay);
    v.dwPictAspectRatioX = static_cast<uint32_t>(g ? ax / g : 0);
    v.dwPictAspectRatioY = static_cast<uint32_t>(g ? ay / g : 0);
    v.bmiHeader.biWidth = width;
    v.bmiHeader.biHeight = height;
    v.bmiHeader.biBitCount = 12;
    v.bmiHeader.biCompression = MakeFourCC('I', '4', '2', '0');
    v.bmiHeader.biSizeImage = mt.lSampleSize;
    mt.format = WriteVideoInfo2(v);
    return mt;
}

AMMediaType AudioOutputType(int rate, int channels, int bits, bool isFloat)
{
    AMMediaType mt;
    mt.majortype = MEDIATYPE_Audio;
    mt.subtype = isFloat ? MEDIASUBTYPE_IEEE_FLOAT : MEDIASUBTYPE_PCM;
    mt.formattype = FORMAT_WaveFormatEx;
    mt.bFixedSizeSamples = true;
    WAVEFORMATEX w;
    w.wFormatTag = isFloat ? WAVE_FORMAT_IEEE_FLOAT : WAVE_FORMAT_PCM;
    w.nChannels = static_cast<uint16_t>(channels);
    w.nSamplesPerSec = static_cast<uint32_t>(rate);
    w.wBitsPerSample = static_cast<uint16_t>(bits);
    w.nBlockAlign = static_cast<uint16_t>(channels * bits / 8);
    w.nAvgBytesPerSec = w.nSamplesPerSec * w.nBlockAlign;
    mt.lSampleSize = w.nBlockAlign;
    mt.format = WriteWaveFormat(w);
    return mt;
}

int PixelFormatOfType(const AMMediaType& type)
{
    if (type.majortype == MEDIATYPE_Video && type.subtype == MEDIASUBTYPE_I420)
        return AV_PIX_FMT_YUV420P;
    return -1;
}

} // namespace kolvarin::media
