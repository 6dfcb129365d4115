#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kolvarin {

// A colour as the settings keep it: red in the low byte, then green, then blue.
using TColor = uint32_t;

constexpr TColor RGBColor(uint8_t red, uint8_t green, uint8_t blue)
{
    return TColor(red) | TColor(green) << 8 | TColor(blue) << 16;
}

// One row of the video filter-script table: which graph script builds the
// graph for an extension (".avi") or a file-name pattern ("AVSEQ??.MPG").
struct TVideoFilterEntry {
    std::string Extension; // at most 255 characters
    std::string Script; // at most 255 characters
    bool CanAsk = false; // the user may choose among the scripts that claim it
};

// Why a settings file was not read (LoadFromFile then changed nothing).
enum class TKConfigLoadStatus { Ok, Unreadable, NotParsed, NoRoot };

struct TKConfigLoadResult {
    TKConfigLoadStatus Status = TKConfigLoadStatus::Ok;
    std::string Text; // the parser's fault and its byte offset, or what is missing
    explicit operator bool() const { return Status == TKConfigLoadStatus::Ok; }
};

// The settings object: one field per attribute of config.xml.
//
// Naming rule: an element with one attribute is a plain field named after the
// element (Volume/Value is Volume, Skin/Name is Skin, SplashScreen/Show is
// SplashScreen); an element with several attributes, or with a child element,
// is a nested struct whose fields are named by attribute, and a child element
// is a nested struct inside it (Fader.Count, MainPos.X, OSD.Font.Name,
// Ratio.User.X). 8-bit strings are Windows-1252 (ShortString fields are cut to
// their length on load); LastDir is UTF-16.
//
// Owned by the main thread; read and written directly by every subsystem.
// LoadFromFile and SaveToFile are the only members that touch files.
class TKConfig {
public:
    // Every field zero, the lists empty: no defaults yet.
    TKConfig() = default;

    // The defaults of every settings field, and LastPlayedIndex := -1. Leaves
    // the filter-script table and the accepted-extension list alone.
    void SetDefaults();
    // Reads config.xml over the current values. A file that cannot be read,
    // does not parse or lacks the root element changes nothing and says so.
    // Throws std::runtime_error when a number does not convert; fields read
    // before it keep their new values, so the caller restores the defaults
    // (see KLoadConfiguration).
    TKConfigLoadResult LoadFromFile(const std::string& fileName);
    // Writes every setting; throws std::runtime_error when the file cannot be
    // written (the old file is then kept whole).
    void SaveToFile(const std::string& fileName);

    // The 26 default rows of the filter-script table.
    void SetDefaultFilters();
    // Index of the first row whose Extension equals ext, both lower-cased
    // (ASCII); -1 when none. Whole-text equality: a pattern matches only itself.
    int FindFilterByExtension(const std::string& ext) const;
    // Index of the first row with that Extension and Script (both compared
    // lower-cased); -1 when none.
    int FindFilterEntry(const std::string& ext, const std::string& script) const;
    // Replaces the table by the file's rows. A file that cannot be read, does
    // not parse or lacks KolvarinFilterManager/Entries keeps the current table.
    void LoadFilterManager(const std::string& fileName);
    void SaveFilterManager(const std::string& fileName) const;

    // Replaces the list by the file's items (upper-cased). A file that cannot
    // be read, does not parse or lacks KolvarinAcceptedExtensions/Entries
    // keeps the current list.
    void LoadAcceptedExtensions(const std::string& fileName);
    void SaveAcceptedExtensions(const std::string& fileName) const;
    // Clears the list and adds the extension of every format-table row: 80.
    static void FillKnownExtensions(std::vector<std::string>& list);

    std::string Skin; // Skin/Name, 60
    std::string Language; // Language/Name, 60
    int32_t Volume = 0;
    int32_t Balance = 0;
    bool OFAReadID3Tag = false;
    bool OFAReadTime = false;
    struct {
        int32_t Width = 0;
        int32_t Height = 0;
    } PlaylistSize;
    bool PlaylistVis = false;
    std::u16string LastDir; // LastDir/Path
    struct {
        bool ShowPeaks = false;
        bool Show = false;
        bool Blur = false;
        uint8_t Type = 0; // 0 "Lines", 1 "Bars"
        int8_t PeaksFallOff = 0;
        int8_t LinesFallOff = 0;
    } Spectrum;
    uint8_t TimeMode = 0; // TimeMode/Mode: 0 "Elapsed", 1 "Remaining"
    struct {
        bool Enabled = false;
        int16_t Count = 0;
        bool VolumeEnabled = false;
        int16_t VolumeCount = 0;
    } Fader;
    bool OFACheckIsValidFile = false;
    bool OFAReadPlaylistFiles = false;
    struct TPosition {
        int32_t X = 0;
        int32_t Y = 0;
    };
    TPosition MainPos;
    TPosition PlaylistPos;
    TPosition MediaControlsPos;
    struct {
        bool Enabled = false;
        int32_t Mode = 0;
    } PlayMode;
    bool MainVis = false;
    bool MediaConVis = false;
    int32_t Speed = 0; // Speed/Count
    bool AutoFullscreen = false;
    bool AutoVideoResize = false;
    bool NoScreensaver = false;
    bool HideCursor = false;
    int32_t NumTrysURLStream = 0; // NumTrysURLStream/Trys
    int32_t TryURLTime = 0; // TryURLTime/MSecs
    bool OFPReadID3Tag = false;
    bool OFPReadTime = false;
    bool MainAlwaysOnTop = false;
    bool DebugEnabled = false;
    bool CenterVideo = false;
    int16_t ShowKolvarinIn = 0; // ShowKolvarinIn/Index
    int32_t JumpInterval = 0; // JumpInterval/Interval
    struct {
        uint8_t Position = 0; // "TopLeft" .. "BottomRight"
        struct {
            std::string Name; // 60
            int32_t Size = 0;
            TColor Color = 0;
        } Font;
        bool Enabled = false;
    } OSD;
    int16_t SLMoveProg = 0; // SLMoveProg/Prog
    bool PLDrawNumbers = false;
    bool PLDrawTime = false;
    bool PLDrawFileTypeIcons = false;
    bool SearchHideOnPlay = false;
    bool Mute = false; // Mute/Active
    bool AutoLiveUpdate = false; // AutoLiveUpdate/Enabled
    int16_t BassDevice = 0; // BassDevice/Index
    struct {
        bool Remember = false; // LastPlayed/Index is the global LastPlayedIndex
    } LastPlayed;
    uint8_t SBTextAlign = 0; // SBTextAlign/Align: "None", "Left", "Right", "Center"
    int32_t Equalizer[10] = {}; // Equalizer/Band Value by id, 0..24 (12 is 0 dB)
    struct {
        uint8_t Mode = 0; // "Letterbox" .. "Userdef"
        struct {
            float X = 0;
            float Y = 0;
        } User;
    } Ratio;
    bool QxDSPFilterActive = false; // QxDSPFilterActive/Enabled
    struct {
        int32_t Brightness = 0;
        int32_t Contrast = 0;
        int32_t Hue = 0;
        int32_t Saturation = 0;
        int32_t Sharpness = 0;
        int32_t Gamma = 0;
    } VideoColorControls;
    struct {
        TColor Color = 0;
        uint8_t Strength = 0;
    } SkinColorBlend;
    struct {
        bool AutoChangeTitle = false;
        std::string FormatMask; // 255
        std::string OutputPath;
    } LSAS;
    bool LSASAutoRecord = false; // never stored: each start begins with the default
    struct {
        std::string Language; // 60
        std::string Subtitle; // 60
        bool SubtitleFailed = false;
    } VidDefault;
    uint8_t Speakers = 0; // Speakers/Count
    bool SwapMemoryMngt = false; // SwapMemoryMngt/Enabled
    bool VideoFSControlActive = false;
    std::string DVDGraph; // DVDGraph/Name
    std::vector<TVideoFilterEntry> VideoFilters; // filtermanager.xml
    uint8_t PLOnDragDropMode = 0; // PLOnDragDropMode/Mode
    bool NewsWindowOnStartUp = false;
    bool NewsWindowShowNewOnly = false;
    bool EnableMediaKeys = false;
    bool DSGraphFallback = false;
    int8_t VideoFSForceDisplay = 0; // VideoFSForceDisplay/MonitorIndex
    std::string LatestNews; // LatestNews/ID
    struct {
        std::string Host; // the news server; https when Port is 443
        int32_t Port = 0;
        std::string Path; // the news document on the server
    } NewsServer;
    std::vector<std::string> AcceptedExtensions; // acceptedextensions.xml, upper case
    bool AcceptAllFiles = false;
    uint8_t MouseWheelControlOnFocus = 0; // MouseWheelControlOnFocus/Select
    bool PLEnableDirectMove = false;
    int8_t NetPrebuffer = 0; // NetPrebuffer/Amount
    struct {
        bool ShowMediaInfoBalloon = false;
        bool ShowMediaInfoOSD = false;
        bool ShowMsgBoxOnProblems = false;
        bool ShowBalloonOnProblems = false;
    } Notifications;
    uint8_t OMProblemsAction = 0; // never stored: 0 do nothing, 1 play next media
    struct {
        uint8_t Priority = 0;
        bool UseMulticore = false;
    } AudioPlaybackPriority;
    struct {
        bool EnableTextFile = false;
        bool EnableHistory = false;
    } Logging;
    bool SplashScreen = false; // SplashScreen/Show
};

// The one settings object; created by the start-up sequence, freed at shutdown.
extern TKConfig* Config;

// The playlist index played last (LastPlayed/Index in config.xml); -1 when
// unset. Not trusted: compare with the playlist's count before use.
extern int32_t LastPlayedIndex;

// The program's file version as config.xml and the table files record it.
extern const char* const ConfigFileVersion;

} // namespace kolvarin
