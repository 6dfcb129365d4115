#include <cmath>
#include <cstdio>
#include <exception>

#include "core/settings/kcodecnames.h"
#include "core/text/kstrings.h"
#include "forms/edititemform.h"
#include "media/formatblocks.h"
#include "media/mediadet.h"
#include "media/mediatype.h"
#include "media/uuids.h"

namespace kolvarin {

namespace {

using namespace media;

std::string Number(double value)
{
    char text[64];
    if (value == std::floor(value))
        std::snprintf(text, sizeof text, "%.0f", value);
    else
        std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

std::string MajorTypeName(const GUID& major)
{
    static const std::pair<GUID, const char*> kNames[] = {
        {MEDIATYPE_AnalogAudio, "AnalogAudio"},
        {MEDIATYPE_AnalogVideo, "Analogvideo"},
        {MEDIATYPE_Audio, "Audio"},
        {MEDIATYPE_AUXLine21Data, "AUXLine21Data"},
        {MEDIATYPE_File, "File"},
        {MEDIATYPE_Interleaved, "Interleaved"},
        {MEDIATYPE_LMRT, "LMRT"},
        {MEDIATYPE_Midi, "Midi"},
        {MEDIATYPE_MPEG2_PES, "MPEG2_PES"},
        {MEDIATYPE_ScriptCommand, "ScriptCommand"},
        {MEDIATYPE_Stream, "Stream"},
        {MEDIATYPE_Text, "Text"},
        {MEDIATYPE_Timecode, "Timecode"},
        {MEDIATYPE_URL_STREAM, "URL_STREAM"},
        {MEDIATYPE_Video, "Video"},
    };
    for (const auto& [id, name] : kNames)
        if (id == major)
            return name;
    return "Unknown";
}

std::string OtherFormatName(const GUID& format)
{
    static const std::pair<GUID, const char*> kNames[] = {
        {FORMAT_DvInfo, "DvInfo"},         {FORMAT_MPEGStreams, "MPEGStreams"},     {FORMAT_DolbyAC3, "DolbyAC3"},
        {FORMAT_MPEG2Audio, "MPEG2Audio"}, {FORMAT_DVD_LPCMAudio, "DVD_LPCMAudio"},
    };
    for (const auto& [id, name] : kNames)
        if (id == format)
            return name;
    return "Unknown";
}

std::string VideoText(const BITMAPINFOHEADER& bmi, REFERENCE_TIME timePerFrame, double length)
{
    const double fps = timePerFrame != 0 ? 10000000.0 / static_cast<double>(timePerFrame) : 0;
    char text[512];
    std::snprintf(text, sizeof text, "%d x %d, %d Bits, %s Frames, %s Frames/Sec, %s", bmi.biWidth, bmi.biHeight,
                  bmi.biBitCount, Number(std::round(fps * length * 1000) / 1000).c_str(),
                  Number(std::round(fps * 1000) / 1000).c_str(), VideoCodecName(bmi.biCompression).c_str());
    return text;
}

std::string FormatText(const AMMediaType& type, double length)
{
    const auto block = type.formatBytes();
    if (type.formattype == FORMAT_VideoInfo || type.formattype == FORMAT_MPEGVideo) {
        if (const auto v = ReadVideoInfo(block))
            return VideoText(v->bmiHeader, v->AvgTimePerFrame, length);
    } else if (type.formattype == FORMAT_VideoInfo2 || type.formattype == FORMAT_MPEG2Video) {
        if (const auto v = ReadVideoInfo2(block))
            return VideoText(v->bmiHeader, v->AvgTimePerFrame, length);
    } else if (type.formattype == FORMAT_WaveFormatEx) {
        if (const auto w = ReadWaveFormat(block)) {
            const std::string channels = w->nChannels == 1   ? "Mono"
                                         : w->nChannels == 2 ? "Stereo"
                                                             : std::to_string(w->nChannels) + " Channels";
            return AudioCodecName(w->wFormatTag) + ", " + Number(w->nAvgBytesPerSec * 8 / 1000.0) + " kBit/s, " +
                   Number(w->nSamplesPerSec / 1000.0) + " kHz, " + channels;
        }
    }
    return OtherFormatName(type.formattype);
}

std::string LengthText(double seconds)
{
    char text[128];
    if (seconds > 60) {
        const double minutes = std::floor(seconds / 60);
        std::snprintf(text, sizeof text, "%.0f min. %.3f sec.", minutes, seconds - 60 * minutes);
    } else {
        std::snprintf(text, sizeof text, "%.3f sec.", seconds);
    }
    return text;
}

} // namespace

std::u16string MediaInformationText(const std::u16string& fileName)
{
    try {
        ComPtr<IMediaDet> detector = MakeMediaDet();
        int32_t streams = 0;
        if (!detector || Failed(detector->put_Filename(fileName)) || Failed(detector->get_OutputStreams(&streams)))
            return u"Not supported mediafile or codec not found.\r\n";
        std::string text;
        double length = 0;
        if (streams > 0) {
            detector->put_CurrentStream(0);
            const bool known = Succeeded(detector->get_StreamLength(&length));
            text += "Media length: " + (known ? LengthText(length) : std::string("Unknown")) + "\r\n";
        }
        for (int32_t i = 0; i < streams; ++i) {
            AMMediaType type;
            if (Failed(detector->put_CurrentStream(i)) || Failed(detector->get_StreamMediaType(&type)))
                continue;
            text += MajorTypeName(type.majortype) + " format: " + FormatText(type, length) + "\r\n";
            FreeMediaType(type);
        }
        return Utf8ToUtf16(text);
    } catch (const std::exception&) {
        return u"Can\u00B4t read fileinformation.";
    }
}

} // namespace kolvarin
