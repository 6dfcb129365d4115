#pragma once

// Stream information: readable descriptions of the media types of a
// filter's output pins (codec, major/sub/format type, frame rate, size, bit
// depth, bit rate, sample rate, channels, subtitle language and track name).
// Format blocks are outside bytes: each is read only when it holds the whole
// structure the format type names; a shorter one counts as missing.
//
// Pure functions of their arguments (pins and filters are queried); any thread.

#include <cstdint>
#include <string>
#include <vector>

#include "media/filterif.h"

namespace kolvarin::video {

using media::GUID;

struct TKMediaFormat {
    std::string Codec;
    std::string LanguageCode;
    std::u16string TrackName;
    double FrameRate = 0;
    int32_t BitCount = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    double BitRate = 0; // kbit/s
    double SampleRate = 0; // kHz
    uint16_t Channels = 0;
    GUID MajorType, SubType, FormatType;
};

enum class TKStreamKind : uint8_t { Unknown = 0, Video = 1, Audio = 2, Subtitle = 3 };

struct TKStreamFormat {
    TKStreamKind Kind = TKStreamKind::Unknown;
    TKMediaFormat MediaFormat;
};

// One output pin: its connection type, every type it offers, and whether it
// is connected.
struct TKStreamInfo {
    TKStreamFormat Format;
    std::vector<TKStreamFormat> Formats;
    bool Connected = false;
};
using TKStreamInfos = std::vector<TKStreamInfo>;

std::string FormatTypeName(const GUID& format);
std::string MediaTypeName(const GUID& major);
// The four bytes of Data1, lowest first; anything but digits and ASCII
// letters becomes a blank.
std::string FourCCText(const GUID& id);
TKStreamKind GetStreamKind(const GUID& major, const GUID& sub, const GUID& format);
TKMediaFormat MediaTypeToStreamInfo(const media::AMMediaType& type);
TKStreamInfo PinToStreamInfo(media::IPin* pin);
// Appends the records of the filter's output pins, in pin order.
void GetPinStreamInfos(media::IBaseFilter* filter, TKStreamInfos& list);
bool MediaTypeMatches(const media::AMMediaType& type, const std::vector<GUID>& majors, const std::vector<GUID>& subs);
bool PinMatchesMediaTypes(media::IPin* pin, const std::vector<GUID>& majors, const std::vector<GUID>& subs);
// Whether the filter's output pins describe the medium (a source or splitter).
bool IsMediaSourceFilter(media::IBaseFilter* filter);
// "Codec: %s, Majortype: %s, Format: %s".
std::string MediaTypeText(const TKMediaFormat& format);

// Whether the list holds a video stream, and the size of the first one (0, 0 when none).
bool HasVideoStream(const TKStreamInfos& infos);
void GetVideoSize(const TKStreamInfos& infos, int32_t& width, int32_t& height);

} // namespace kolvarin::video
