#pragma once

// The DVD navigator's control and information interfaces, with the records
// and event codes they use. Titles and chapters count from 1, audio streams
// from 0 (at most 8), subpicture streams from 0 (at most 32).
//
// Commands do not hand out command objects: a command returns when the
// navigator has taken it, and the picture follows once the new data reached
// the decoders. Threads: main thread; the events come through the graph's
// event queue.

#include <array>
#include <cstdint>
#include <string>

#include "media/controlif.h"
#include "media/graphif.h"

namespace kolvarin::media {

// Event codes of the navigator beyond those the graph header lists.
enum : int32_t {
    EC_DVD_ANGLE_CHANGE = 0x106,
    EC_DVD_BUTTON_CHANGE = 0x107,
    EC_DVD_VALID_UOPS_CHANGE = 0x108,
    EC_DVD_STILL_ON = 0x109,
    EC_DVD_STILL_OFF = 0x10A,
    EC_DVD_CHAPTER_AUTOSTOP = 0x10E,
    EC_DVD_NO_FP_PGC = 0x10F,
    EC_DVD_PLAYBACK_RATE_CHANGE = 0x110,
    EC_DVD_PARENTAL_LEVEL_CHANGE = 0x111,
    EC_DVD_PLAYBACK_STOPPED = 0x112,
    EC_DVD_ANGLES_AVAILABLE = 0x113,
};

// EC_DVD_ERROR's first parameter.
enum DVD_ERROR : int32_t {
    DVD_ERROR_Unexpected = 1,
    DVD_ERROR_CopyProtectFail = 2,
    DVD_ERROR_InvalidDVD1_0Disc = 3,
    DVD_ERROR_InvalidDiscRegion = 4,
    DVD_ERROR_LowParentalLevel = 5,
};
// EC_DVD_WARNING's first parameter.
enum DVD_WARNING : int32_t {
    DVD_WARNING_InvalidDVD1_0Disc = 1,
    DVD_WARNING_FormatNotSupported = 2,
    DVD_WARNING_IllegalNavCommand = 3,
    DVD_WARNING_Open = 4,
    DVD_WARNING_Seek = 5,
    DVD_WARNING_Read = 6,
};

enum DVD_DOMAIN : int32_t {
    DVD_DOMAIN_FirstPlay = 1,
    DVD_DOMAIN_VideoManagerMenu = 2,
    DVD_DOMAIN_VideoTitleSetMenu = 3,
    DVD_DOMAIN_Title = 4,
    DVD_DOMAIN_Stop = 5,
};

enum DVD_MENU_ID : int32_t {
    DVD_MENU_Title = 2,
    DVD_MENU_Root = 3,
    DVD_MENU_Subpicture = 4,
    DVD_MENU_Audio = 5,
    DVD_MENU_Angle = 6,
    DVD_MENU_Chapter = 7,
};

enum DVD_OPTION_FLAG : int32_t {
    DVD_ResetOnStop = 1,
    DVD_NotifyParentalLevelChange = 2,
    DVD_HMSF_TimeCodeEvents = 3,
};

enum DVD_RELATIVE_BUTTON : int32_t {
    DVD_Relative_Upper = 1,
    DVD_Relative_Lower = 2,
    DVD_Relative_Left = 3,
    DVD_Relative_Right = 4,
};

enum DVD_DISC_SIDE : int32_t { DVD_SIDE_A = 1, DVD_SIDE_B = 2 };

enum DVD_AUDIO_FORMAT : int32_t {
    DVD_AudioFormat_AC3 = 0,
    DVD_AudioFormat_MPEG1 = 1,
    DVD_AudioFormat_MPEG2 = 3,
    DVD_AudioFormat_LPCM = 5,
    DVD_AudioFormat_DTS = 6,
    DVD_AudioFormat_Other = 8,
};

struct POINT {
    int32_t x = 0;
    int32_t y = 0;
};

inline constexpr uint32_t DVD_CMD_FLAG_None = 0;
inline constexpr uint32_t DVD_CMD_FLAG_Flush = 1;

// Time codes: hours, minutes, seconds and frames as plain numbers. In the
// EC_DVD_CURRENT_HMSF_TIME event they travel as one 32-bit value, hours in
// the lowest byte.
struct DVD_HMSF_TIMECODE {
    uint8_t bHours = 0;
    uint8_t bMinutes = 0;
    uint8_t bSeconds = 0;
    uint8_t bFrames = 0;
};
inline uint32_t PackTimeCode(DVD_HMSF_TIMECODE t)
{
    return t.bHours | uint32_t(t.bMinutes) << 8 | uint32_t(t.bSeconds) << 16 | uint32_t(t.bFrames) << 24;
}
inline DVD_HMSF_TIMECODE UnpackTimeCode(uint32_t v)
{
    return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
}

// DVD_PLAYBACK_LOCATION2's TimeCodeFlags.
inline constexpr uint32_t DVD_TC_FLAG_25fps = 1, DVD_TC_FLAG_30fps = 2;

struct DVD_PLAYBACK_LOCATION2 {
    uint32_t TitleNum = 0;
    uint32_t ChapterNum = 0;
    DVD_HMSF_TIMECODE TimeCode;
    uint32_t TimeCodeFlags = 0;
};

struct DVD_AudioAttributes {
    DVD_AUDIO_FORMAT AudioFormat = DVD_AudioFormat_Other;
    uint32_t dwFrequency = 0;
    uint8_t bNumberOfChannels = 0;
    LCID Language = 0;
};

struct DVD_SubpictureAttributes {
    LCID Language = 0;
};

struct DVD_VideoAttributes {
    uint32_t ulSourceResolutionX = 0;
    uint32_t ulSourceResolutionY = 0;
    uint32_t ulAspectX = 4;
    uint32_t ulAspectY = 3;
    uint32_t ulFrameRate = 25; // 25 (PAL) or 30 (NTSC)
    bool fIsMPEG1 = false;
};

// What the navigator knows of a title's streams (those of the title set's
// titles, or of its menus for the menu domains). Of the streams there, the
// enabled masks (bit n: stream n) name those the title's program chain
// lets play; for the menus, all.
struct DVD_TITLE_ATTRIBUTES {
    DVD_VideoAttributes VideoAttributes;
    uint32_t ulNumberOfAudioStreams = 0;
    DVD_AudioAttributes AudioAttributes[8];
    uint32_t ulNumberOfSubpictureStreams = 0;
    DVD_SubpictureAttributes SubpictureAttributes[32];
    uint32_t ulAudioStreamsEnabled = 0;
    uint32_t ulSubpictureStreamsEnabled = 0;
};
// GetTitleAttributes' title for the attributes of the current menus.
inline constexpr uint32_t DVD_TITLE_MENU = 0;

class IDvdControl2 : public IUnknown {
public:
    using Base = IUnknown;
    static constexpr IID iid{0x33BC7430, 0xEEC0, 0x11D2, {0x82, 0x01, 0x00, 0xA0, 0xC9, 0xD7, 0x48, 0x42}};
    // The folder that holds VIDEO_TS.IFO (or its parent); only while the
    // graph is stopped. VFW_E_DVD_INVALID_DISC when the disc cannot be read,
    // leaving the navigator without a disc.
    virtual HRESULT SetDVDDirectory(const std::u16string& path) = 0;
    virtual HRESULT SetOption(DVD_OPTION_FLAG flag, bool enable) = 0;
    virtual HRESULT PlayTitle(uint32_t title, uint32_t flags) = 0;
    virtual HRESULT PlayChapterInTitle(uint32_t title, uint32_t chapter, uint32_t flags) = 0;
    virtual HRESULT PlayAtTime(const DVD_HMSF_TIMECODE* time, uint32_t flags) = 0;
    virtual HRESULT PlayPrevChapter(uint32_t flags) = 0;
    virtual HRESULT PlayNextChapter(uint32_t flags) = 0;
    // Any speed above 0, from the next video object unit on: the sound
    // plays that much faster and higher (unheard where no device takes its
    // rate); EC_DVD_PLAYBACK_RATE_CHANGE tells a change (rate x 10000).
    // Backwards play is refused (E_NOTIMPL).
    virtual HRESULT PlayForwards(double speed, uint32_t flags) = 0;
    virtual HRESULT PlayBackwards(double speed, uint32_t flags) = 0;
    virtual HRESULT ShowMenu(DVD_MENU_ID menu, uint32_t flags) = 0;
    virtual HRESULT Resume(uint32_t flags) = 0;
    virtual HRESULT ReturnFromSubmenu(uint32_t flags) = 0;
    virtual HRESULT SelectRelativeButton(DVD_RELATIVE_BUTTON direction) = 0;
    virtual HRESULT SelectButton(uint32_t button) = 0;
    virtual HRESULT ActivateButton() = 0;
    // Positions in picture pixels of the DVD's video.
    virtual HRESULT SelectAtPosition(POINT point) = 0;
    virtual HRESULT ActivateAtPosition(POINT point) = 0;
    // VFW_E_DVD_STREAM_DISABLED for a stream the title does not enable;
    // outside a title the choice is among the streams of the title last
    // played (or the first) and holds when a title plays.
    virtual HRESULT SelectAudioStream(uint32_t stream, uint32_t flags) = 0;
    virtual HRESULT SelectSubpictureStream(uint32_t stream, uint32_t flags) = 0;
    virtual HRESULT SetSubpictureState(bool show, uint32_t flags) = 0;
    virtual HRESULT SelectAngle(uint32_t angle, uint32_t flags) = 0;

protected:
    ~IDvdControl2() = default;
};

class IDvdInfo2 : public IUnknown {
public:
    using Base = IUnknown;
    static constexpr IID iid{0x34151510, 0xEEC0, 0x11D2, {0x82, 0x01, 0x00, 0xA0, 0xC9, 0xD7, 0x48, 0x42}};
    virtual HRESULT GetCurrentDomain(DVD_DOMAIN* domain) = 0;
    virtual HRESULT GetCurrentLocation(DVD_PLAYBACK_LOCATION2* location) = 0;
    // VFW_E_DVD_INVALIDDOMAIN outside a title.
    virtual HRESULT GetTotalTitleTime(DVD_HMSF_TIMECODE* total, uint32_t* timeCodeFlags) = 0;
    virtual HRESULT GetCurrentButton(uint32_t* available, uint32_t* current) = 0;
    virtual HRESULT GetCurrentAngle(uint32_t* available, uint32_t* current) = 0;
    virtual HRESULT GetCurrentAudio(uint32_t* available, uint32_t* current) = 0;
    virtual HRESULT GetCurrentSubpicture(uint32_t* available, uint32_t* current, bool* disabled) = 0;
    // S_OK with false for a stream the disc does not have.
    virtual HRESULT IsAudioStreamEnabled(uint32_t stream, bool* enabled) = 0;
    virtual HRESULT IsSubpictureStreamEnabled(uint32_t stream, bool* enabled) = 0;
    // 0 for a stream without a language.
    virtual HRESULT GetAudioLanguage(uint32_t stream, LCID* language) = 0;
    virtual HRESULT GetSubpictureLanguage(uint32_t stream, LCID* language) = 0;
    virtual HRESULT GetDVDVolumeInfo(uint32_t* volumes, uint32_t* volume, DVD_DISC_SIDE* side, uint32_t* titles) = 0;
    // E_INVALIDARG for a title the disc does not have.
    virtual HRESULT GetNumberOfChapters(uint32_t title, uint32_t* chapters) = 0;
    virtual HRESULT GetTitleAttributes(uint32_t title, DVD_TITLE_ATTRIBUTES* attributes) = 0;
    virtual HRESULT GetDVDDirectory(std::u16string* path) = 0;

protected:
    ~IDvdInfo2() = default;
};

// A menu button's highlight: its rectangle in picture pixels, edges
// included (right < left: no highlight), and for each of the subpicture's
// four pixel types p its colour-table index (bits 16 + 4p) and contrast
// 0..15 (bits 4p).
struct DvdHighlight {
    int32_t left = 0, top = 0, right = -1, bottom = -1;
    uint32_t colours = 0;
    bool operator==(const DvdHighlight&) const = default;
};

// What the navigator tells the filter that draws its subpictures; answered
// by that filter's subpicture input pin. Any thread.
class IDvdSubpictureSink : public IUnknown {
public:
    using Base = IUnknown;
    static constexpr IID iid{0x7D4F0C2E, 0x5B61, 0x4E8A, {0x9C, 0x13, 0x2F, 0x80, 0x6A, 0x41, 0xD5, 0x37}};
    // The program chain's colour table: 16 colours as 0x00YYCrCb.
    virtual HRESULT SetPalette(const std::array<uint32_t, 16>& colours) = 0;
    virtual HRESULT SetHighlight(const DvdHighlight& highlight) = 0;
    // Whether subpictures show; forced ones (a menu's) always do.
    virtual HRESULT ShowSubpictures(bool show) = 0;

protected:
    ~IDvdSubpictureSink() = default;
};

inline constexpr HRESULT VFW_E_DVD_OPERATION_INHIBITED = MakeFailure(0x80040276);
inline constexpr HRESULT VFW_E_DVD_INVALIDDOMAIN = MakeFailure(0x80040277);
inline constexpr HRESULT VFW_E_DVD_NO_BUTTON = MakeFailure(0x80040278);
inline constexpr HRESULT VFW_E_DVD_STREAM_DISABLED = MakeFailure(0x8004028B);
inline constexpr HRESULT VFW_E_DVD_INVALID_DISC = MakeFailure(0x80040291);

} // namespace kolvarin::media
