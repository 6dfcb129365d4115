#include "video/kstreaminfo.h"

#include <algorithm>

#include "core/settings/kcodecnames.h"
#include "media/controlif.h"
#include "media/dvdif.h"
#include "media/uuids.h"

namespace kolvarin::video {

using namespace media;

namespace {

// The stream major type of byte-stream sources besides MEDIATYPE_Stream.
constexpr GUID kByteStreamType{0x18056900, 0xC406, 0x11D0, {0xA5, 0x20, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}};

struct Named {
    GUID id;
    const char* name;
};

std::string NameIn(const Named* table, size_t count, const GUID& id)
{
    for (size_t i = 0; i < count; ++i)
        if (table[i].id == id)
            return table[i].name;
    return GuidToString(id);
}

const Named kFormats[] = {
    {FORMAT_VideoInfo, "FORMAT_VideoInfo"},
    {FORMAT_VideoInfo2, "FORMAT_VideoInfo2"},
    {FORMAT_MPEGVideo, "FORMAT_MPEGVideo"},
    {FORMAT_MPEG2Video, "FORMAT_MPEG2VIDEO"},
    {FORMAT_MPEGStreams, "FORMAT_MPEGStreams"},
    {FORMAT_DvInfo, "FORMAT_DvInfo"},
    {FORMAT_AnalogVideo, "FORMAT_AnalogVideo"},
    {FORMAT_DolbyAC3, "FORMAT_DolbyAC3"},
    {FORMAT_MPEG2Audio, "FORMAT_MPEG2Audio"},
    {FORMAT_DVD_LPCMAudio, "FORMAT_DVD_LPCMAudio"},
    {FORMAT_WaveFormatEx, "FORMAT_WaveFormatEx"},
    {FORMAT_VorbisFormat, "FORMAT_VorbisFormat"},
    {FORMAT_VorbisFormat2, "FORMAT_VorbisFormat2"},
    {FORMAT_SubtitleInfo, "FORMAT_SubtitleInfo"},
    {FORMAT_None, "FORMAT_None"},
};

const Named kMajors[] = {
    {MEDIATYPE_Subtitle, "MEDIATYPE_Subtitle"},
    {MEDIATYPE_NULL, "MEDIATYPE_NULL"},
    {MEDIATYPE_Video, "MEDIATYPE_Video"},
    {MEDIATYPE_Audio, "MEDIATYPE_Audio"},
    {MEDIATYPE_Text, "MEDIATYPE_Text"},
    {MEDIATYPE_Midi, "MEDIATYPE_Midi"},
    {MEDIATYPE_Stream, "MEDIATYPE_Stream"},
    {MEDIATYPE_Interleaved, "MEDIATYPE_Interleaved"},
    {MEDIATYPE_File, "MEDIATYPE_File"},
    {MEDIATYPE_ScriptCommand, "MEDIATYPE_ScriptCommand"},
    {MEDIATYPE_AUXLine21Data, "MEDIATYPE_AUXLine21Data"},
    {MEDIATYPE_VBI, "MEDIATYPE_VBI"},
    {MEDIATYPE_Timecode, "MEDIATYPE_Timecode"},
    {MEDIATYPE_LMRT, "MEDIATYPE_LMRT"},
    {MEDIATYPE_URL_STREAM, "MEDIATYPE_URL_STREAM"},
    {MEDIATYPE_MPEG1SystemStream, "MEDIATYPE_MPEG1SystemStream"},
    {MEDIATYPE_AnalogAudio, "MEDIATYPE_AnalogAudio"},
    {MEDIATYPE_AnalogVideo, "MEDIATYPE_AnalogVideo"},
    {MEDIATYPE_MPEG2_PACK, "MEDIATYPE_MPEG2_PACK"},
    {MEDIATYPE_MPEG2_PES, "MEDIATYPE_MPEG2_PES"},
    {MEDIATYPE_CONTROL, "MEDIATYPE_CONTROL"},
    {MEDIATYPE_MPEG2_SECTIONS, "MEDIATYPE_MPEG2_SECTIONS"},
    {MEDIATYPE_DVD_ENCRYPTED_PACK, "MEDIATYPE_DVD_ENCRYPTED_PACK"},
    {MEDIATYPE_DVD_NAVIGATION, "MEDIATYPE_DVD_NAVIGATION"},
};

std::string Unknown(const GUID& sub) { return "Unknown: " + FourCCText(sub); }

std::string AudioSubtypeName(const GUID& sub)
{
    static const Named names[] = {
        {MEDIASUBTYPE_DOLBY_AC3, "Dolby Digital AC3"},
        {MEDIASUBTYPE_WAVE_DOLBY_AC3_SPDIF, "Dolby Digital AC3 (S/P-DIF)"},
        {MEDIASUBTYPE_DTS, "Dolby Digital DTS"},
        {MEDIASUBTYPE_SDDS, "Sony Dynamic Digital Sound"},
        {MEDIASUBTYPE_MPEG1Audio, "MPEG-1 Audio"},
        {MEDIASUBTYPE_MPEG2_AUDIO, "MPEG-2 Audio"},
    };
    for (const auto& n : names)
        if (n.id == sub)
            return n.name;
    return Unknown(sub);
}

std::string VideoSubtypeName(const GUID& sub)
{
    if (sub == MEDIASUBTYPE_MPEG1Video || sub == MEDIASUBTYPE_MPEG1Payload || sub == MEDIASUBTYPE_MPEG1VideoCD)
        return "MPEG-1";
    if (sub == MEDIASUBTYPE_MPEG2_VIDEO)
        return "MPEG-2";
    return Unknown(sub);
}

std::string SubtitleSubtypeName(const GUID& sub)
{
    static const Named names[] = {
        {MEDIASUBTYPE_Matroska_Subtitle, "Matroska"},
        {MEDIASUBTYPE_UTF8, "UTF-8"},
        {MEDIASUBTYPE_SSA, "SSA"},
        {MEDIASUBTYPE_ASS, "ASS v1"},
        {MEDIASUBTYPE_ASS2, "ASS v2"},
        {MEDIASUBTYPE_USF, "USF"},
        {MEDIASUBTYPE_VOBSUB, "VobSub"},
        {MEDIASUBTYPE_DVD_SUBPICTURE, "DVD Subpicture"},
    };
    for (const auto& n : names)
        if (n.id == sub)
            return n.name;
    return Unknown(sub);
}

template <class Header>
void VideoRule(TKMediaFormat& f, const Header& v)
{
    const uint32_t code = v.bmiHeader.biCompression;
    f.Codec = code != 0 ? VideoCodecName(code) : VideoSubtypeName(f.SubType);
    if (v.AvgTimePerFrame > 0)
        f.FrameRate = 10000000.0 / static_cast<double>(v.AvgTimePerFrame);
    f.BitCount = v.bmiHeader.biBitCount;
    f.Width = v.bmiHeader.biWidth;
    f.Height = v.bmiHeader.biHeight;
}

} // namespace

std::string FormatTypeName(const GUID& format) { return NameIn(kFormats, std::size(kFormats), format); }
std::string MediaTypeName(const GUID& major) { return NameIn(kMajors, std::size(kMajors), major); }

std::string FourCCText(const GUID& id)
{
    std::string text;
    for (int i = 0; i < 4; ++i) {
        const char c = static_cast<char>(id.Data1 >> (8 * i));
        const bool plain = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        text += plain ? c : ' ';
    }
    return text;
}

TKStreamKind GetStreamKind(const GUID& major, const GUID& sub, const GUID& format)
{
    if (major == MEDIATYPE_Video)
        return TKStreamKind::Video;
    if (major == MEDIATYPE_Audio)
        return TKStreamKind::Audio;
    if (major == MEDIATYPE_Text || major == MEDIATYPE_Subtitle)
        return TKStreamKind::Subtitle;
    if (sub == MEDIASUBTYPE_MPEG2_VIDEO)
        return TKStreamKind::Video;
    if (sub == MEDIASUBTYPE_DOLBY_AC3)
        return TKStreamKind::Audio;
    if (sub == MEDIASUBTYPE_DVD_SUBPICTURE)
        return TKStreamKind::Subtitle;
    if (format == FORMAT_MPEG2Video)
        return TKStreamKind::Video;
    if (format == FORMAT_WaveFormatEx)
        return TKStreamKind::Audio;
    return TKStreamKind::Unknown;
}

TKMediaFormat MediaTypeToStreamInfo(const AMMediaType& type)
{
    TKMediaFormat f;
    f.MajorType = type.majortype;
    f.SubType = type.subtype;
    f.FormatType = type.formattype;
    const auto block = type.formatBytes();
    const GUID& ft = type.formattype;
    if (type.subtype == MEDIASUBTYPE_DVD_SUBPICTURE || ft == FORMAT_SubtitleInfo) {
        f.Codec = SubtitleSubtypeName(type.subtype);
        if (auto s = ReadSubtitleInfo(block)) {
            for (char c : s->IsoLang)
                if (c)
                    f.LanguageCode += c;
            f.TrackName = s->TrackName;
        }
    } else if (ft == FORMAT_VideoInfo || ft == FORMAT_MPEGVideo) {
        if (auto v = ReadVideoInfo(block))
            VideoRule(f, *v);
        else
            f.Codec = VideoSubtypeName(type.subtype);
    } else if (ft == FORMAT_VideoInfo2 || ft == FORMAT_MPEG2Video) {
        if (auto v = ReadVideoInfo2(block))
            VideoRule(f, *v);
        else
            f.Codec = VideoSubtypeName(type.subtype);
    } else if (ft == FORMAT_WaveFormatEx) {
        if (auto w = ReadWaveFormat(block)) {
            f.BitRate = w->nAvgBytesPerSec * 8.0 / 1000.0;
            f.SampleRate = w->nSamplesPerSec / 1000.0;
            f.Channels = w->nChannels;
            f.Codec = w->wFormatTag != 0 ? AudioCodecName(w->wFormatTag) : AudioSubtypeName(type.subtype);
        } else {
            f.Codec = AudioSubtypeName(type.subtype);
        }
    } else if ((ft == FORMAT_VorbisFormat || ft == FORMAT_VorbisFormat2) && block.empty()) {
        f.Codec = AudioSubtypeName(type.subtype);
    } else if (ft == FORMAT_VorbisFormat) {
        f.Codec = "Ogg Vorbis v1";
        if (auto v = ReadVorbisFormat(block)) {
            f.Channels = v->nChannels;
            f.SampleRate = v->nSamplesPerSec / 1000.0;
            f.BitRate = v->nAvgBitsPerSec / 1000.0;
        }
    } else if (ft == FORMAT_VorbisFormat2) {
        f.Codec = "Ogg Vorbis v2";
        if (auto v = ReadVorbisFormat2(block)) {
            f.Channels = static_cast<uint16_t>(v->Channels);
            f.SampleRate = v->SamplesPerSec / 1000.0;
            f.BitRate = v->BitsPerSample / 1000.0;
        }
    } else {
        f.Codec = Unknown(type.subtype);
    }
    return f;
}

TKStreamInfo PinToStreamInfo(IPin* pin)
{
    TKStreamInfo info;
    if (!pin)
        return info;
    info.Connected = PeerOf(pin) != nullptr;
    AMMediaType mt;
    if (pin->ConnectionMediaType(&mt) == S_OK) {
        info.Format.Kind = GetStreamKind(mt.majortype, mt.subtype, mt.formattype);
        info.Format.MediaFormat = MediaTypeToStreamInfo(mt);
    }
    for (const auto& offered : MediaTypesOf(pin))
        info.Formats.push_back(
            {GetStreamKind(offered.majortype, offered.subtype, offered.formattype), MediaTypeToStreamInfo(offered)});
    return info;
}

void GetPinStreamInfos(IBaseFilter* filter, TKStreamInfos& list)
{
    for (auto& pin : PinsOf(filter, PINDIR_OUTPUT))
        list.push_back(PinToStreamInfo(pin.get()));
}

bool MediaTypeMatches(const AMMediaType& type, const std::vector<GUID>& majors, const std::vector<GUID>& subs)
{
    auto in = [](const std::vector<GUID>& list, const GUID& id) {
        return list.empty() || std::find(list.begin(), list.end(), id) != list.end();
    };
    return in(majors, type.majortype) && in(subs, type.subtype);
}

bool PinMatchesMediaTypes(IPin* pin, const std::vector<GUID>& majors, const std::vector<GUID>& subs)
{
    AMMediaType mt;
    if (pin->ConnectionMediaType(&mt) == S_OK && MediaTypeMatches(mt, majors, subs))
        return true;
    for (const auto& offered : MediaTypesOf(pin))
        if (MediaTypeMatches(offered, majors, subs))
            return true;
    return false;
}

bool IsMediaSourceFilter(IBaseFilter* filter)
{
    const auto outputs = PinsOf(filter, PINDIR_OUTPUT);
    int byteInputs = 0, media = 0;
    bool otherInput = false;
    // Without outputs only the source interfaces below make a source.
    if (!outputs.empty()) {
        for (auto& pin : PinsOf(filter, PINDIR_INPUT)) {
            if (PinMatchesMediaTypes(pin.get(), {MEDIATYPE_Stream, kByteStreamType}, {}))
                ++byteInputs;
            else
                otherInput = true;
        }
        for (auto& pin : outputs)
            if (PinMatchesMediaTypes(pin.get(), {MEDIATYPE_Video, MEDIATYPE_Audio}, {}) ||
                PinMatchesMediaTypes(pin.get(), {MEDIATYPE_DVD_ENCRYPTED_PACK},
                                     {MEDIASUBTYPE_MPEG2_VIDEO, MEDIASUBTYPE_DOLBY_AC3}))
                ++media;
    }
    if (byteInputs == 0 && (QueryAs<IFileSourceFilter>(filter) || QueryAs<IDvdControl2>(filter)))
        return true;
    return media > 0 && !otherInput;
}

std::string MediaTypeText(const TKMediaFormat& f)
{
    return "Codec: " + f.Codec + ", Majortype: " + MediaTypeName(f.MajorType) +
           ", Format: " + FormatTypeName(f.FormatType);
}

bool HasVideoStream(const TKStreamInfos& infos)
{
    for (const auto& i : infos)
        if (i.Format.Kind == TKStreamKind::Video)
            return true;
    return false;
}

void GetVideoSize(const TKStreamInfos& infos, int32_t& width, int32_t& height)
{
    width = height = 0;
    for (const auto& i : infos)
        if (i.Format.Kind == TKStreamKind::Video) {
            width = i.Format.MediaFormat.Width;
            height = i.Format.MediaFormat.Height;
            return;
        }
}

} // namespace kolvarin::video
