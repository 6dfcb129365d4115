#pragma once

// The play system: turns a playlist entry into sound by its system type,
// moves on by the play mode, polls the running medium and carries the
// user's volume, balance, speed, seek and equalizer changes. Each kind of
// medium has one player object (playback/kplayers_p.h) that the play system
// dispatches to; audio-library files and streams cross-fade on two
// stream-set slots. Main thread only, except the audio library's callbacks
// (SyncFadeOutProc, SyncEndProc, the stream's download callback), which
// touch nothing but what they document.

#include <array>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/playlist/kplaylist.h"
#include "core/settings/ksystemtypes.h"
#include "core/system/kerrors.h"
#include "playback/kbass.h"
#include "playback/kplayerview.h"
#include "playback/kstreamset.h"
#include "playback/kvideoside.h"

namespace kolvarin {

// A skin bar as the play system reads it.
struct TKBar {
    int64_t Max = 100;
    int64_t Position = 0;
};

// A stream no decoder was found for: its kind and format.
struct TKMissingDecoder {
    uint8_t Kind = 0; // 1 video, 2 audio, 3 subtitle
    std::string Format;
};

// One record of the stream information of the current medium. Valid: the
// stream is in use (selected); an unused one may list the decoders that
// were missing for it.
struct TKStreamInfo {
    bool Valid = false;
    uint8_t Kind = 0; // 1 video, 2 audio, 3 subtitle
    std::string Codec;
    double SampleRateKHz = 0;
    int Channels = 0;
    double BitrateKbps = 0;
    int Width = 0;
    int Height = 0;
    int BitDepth = 0;
    std::string Language; // subtitles
    std::u16string TrackName; // subtitles
    std::vector<TKMissingDecoder> MissingDecoders;
};

// Why the last graph could not be built or started: the media problem's
// code (0: it did not fail) and the reason.
struct TKStreamError {
    int32_t Code = 0;
    std::string Text;
};

struct TKPlayState;
struct TKPlayers;
class TKPlayer;

class TKSystem {
public:
    TKSystem();
    // Frees the streams it still holds.
    ~TKSystem();
    TKSystem(const TKSystem&) = delete;
    TKSystem& operator=(const TKSystem&) = delete;

    // Neither is owned; null restores the do-nothing default.
    void SetView(TKPlayerView* view);
    void SetVideoSide(TKVideoSide* video);
    TKPlayerView& View() { return *view_; }
    // Asks the program to end (quit after play); empty does nothing.
    void SetTerminateRequest(std::function<void()> terminate);
    // What the opened output reported (BassInfo's speakers).
    void SetDeviceSpeakers(int speakers);

    // --- play, stop, pause --------------------------------------------------
    TSystemType GetSystemTypFromFileName(const std::u16string& fileName) const;
    void Play(int index);
    void StartPlay();
    void Stop(bool fullStop);
    void Pause();
    void PlayNext(bool force);
    void PlayPrevious(bool force);
    void PlayNextOrPrevious(bool back, bool forward, int index, bool force);
    void VideoIsFinished();
    void ShowMediaProblem(TKErrorCode code, const std::u16string& fileName, int extra);
    void ResetDirectX(bool fullStop);
    void StopDirectX();
    void SwapMemory();
    // True when "/q" was given: clears it and asks the program to end.
    bool CheckQuitAfterPlay();
    // Frees both stream-set slots (shutdown: the audio library goes next).
    void FreeChannelSlots();

    // --- main-window timer handlers (main thread) ----------------------------
    void PlayTimerTimer();
    void SyncFadeOutProcStartTimerTimer();
    void SyncEndProcStartTimerTimer();
    void FadeOutStopTimerTimer();
    // A file that stopped without its sync: the play timer saw it.
    void EndOfTrack();
    // The play mode's next entry after a failed start.
    void MoveOnTimerTimer();

    // --- update and time display ---------------------------------------------
    void Update();
    // The analyzer's values of the running medium: the audio library's 1024-
    // point FFT (512 magnitudes) for files, internet streams and CD tracks.
    // False, with the values zeroed, when nothing plays or pauses or the
    // medium gives none.
    bool GetSpectrumData(std::span<float> values);
    void RefreshTimeDisplay();

    // --- volume, position, speed, balance ------------------------------------
    void SetVolume(bool noApply, TKBar& bar);
    void SetPosition(const TKBar& bar);
    void SetSpeed(int speed);
    void SetBalance(int value, int64_t max = 200);
    // The skin's volume bar that a starting medium applies.
    TKBar& VolumeBar();

    // --- time jumps: the progress bar speaks the running medium's unit -------
    // The progress position one JumpInterval forward (sign 1) or back (-1)
    // from position, at most max and never below 0; a medium without jumps
    // stays where it is.
    int64_t JumpedPosition(int64_t position, int64_t max, int sign);
    // The time a progress position stands for, "hh:mm:ss"; empty for a
    // medium that shows none (streams).
    std::u16string PositionText(int64_t position);

    // --- equalizer ------------------------------------------------------------
    void ApplyEqualizer();
    void SetEqualizerBandBass(int band, int value);
    void ApplyVideoEqualizer();
    void ResetEqualizer();
    // Preset files (.keqp): the sliders from the file, then applied; false
    // (nothing changed) when it cannot be read. Saving writes the sliders.
    bool LoadEqualizerPreset(const std::u16string& fileName);
    bool SaveEqualizerPreset(const std::u16string& fileName) const;
    // The ten slider values; the settings' bands when nothing else set them.
    const std::array<int, 10>& EqualizerSliders() const;

    // --- adding media ---------------------------------------------------------
    bool AddFileToPlaylist(const std::u16string& fileName);
    void AddFilesToPlaylist(const std::vector<std::u16string>& names, bool play);
    void ReadPlaylistItemTag(int index);
    void SetBassBuffer();

    // --- settings changed while an audio-library file plays or pauses --------
    // Its end syncs again for the cross-fader setting.
    void SetEndSyncs();
    // Its stream set again for the speaker setting (see TKFilePlayer).
    void ApplySpeakers();

    // --- internet streams -----------------------------------------------------
    void AudioLiveStreamRecord();
    void AudioLiveStreamStop();
    // One block of the stream `source` (buffer null: its download ended):
    // appended to the recording file, which is opened for the first block
    // and closed at a title split or the end. Any thread.
    void RecordBlock(uint64_t source, const void* buffer, DWORD length);
    // Recording of internet streams, as the download thread sees it.
    struct TKRecorder {
        bool Enabled = false;
        std::string Name;
        int Format = 0;
        bool SplitPending = false;
        bool Playing = false; // the stream plays (not paused, not stopped)
        std::FILE* Stream = nullptr;
        uint64_t Source = 0; // the stream whose blocks go to Stream
        std::string FileName;
    };
    TKRecorder RecorderState() const;
    void SetRecordName(const std::string& name, bool split);

    // --- the audio library's sync callbacks (its threads) ---------------------
    // They note which channel fired and start the matching 1 ms timer.
    static void SyncFadeOutProc(HSYNC handle, DWORD channel, DWORD data, void* user);
    static void SyncEndProc(HSYNC handle, DWORD channel, DWORD data, void* user);

    // --- state, by the design's names (main thread) --------------------------
    TSystemType SystemType() const;
    TSystemType LastSystemType() const;
    // The entry being played, and the copy taken when it started.
    TKPlaylistEntry* CurrentItem() const;
    const TKPlaylistEntry& CurrentEntry() const;
    // The entry that played when Stop last ran.
    TKPlaylistEntry* LastItem() const;
    // The streams of the current medium; the video side fills them.
    std::vector<TKStreamInfo>& StreamInfos();
    // Width and height of the first video stream of the stream infos; 0, 0
    // when there is none.
    void GetVideoSize(int& width, int& height);
    const TKStreamError& StreamError() const;
    const std::u16string& PlayingTitle() const;
    bool Seekable() const;
    // A DVD title's length became known (or unknown again): the seek bar
    // and the time jumps move the disc within its title while it is known.
    void SetVideoSeekable(bool seekable);
    // The running audio-library channel: its length in bytes, volume 0..100
    // and pan -100..100.
    int64_t ChannelLength() const;
    int ChannelVolume() const;
    int ChannelBalance() const;
    HSYNC FadeSyncHandle() const;
    HSYNC EndSyncHandle() const;
    // The cross-fade slots: the sets, the current one, the fading one (-1 none)
    // and each band's effects on the current set.
    const std::array<TStreamSet, 2>& ChannelSlots() const;
    int ChannelSlotIndex() const;
    int FadingSlot() const;
    const std::array<std::array<HFX, 4>, 10>& EqualizerFX() const;
    // The music CD's channel, drive and band effects.
    HSTREAM CDChannel() const;
    DWORD CDDriveIndex() const;
    const std::array<HFX, 10>& EqualizerCDFX() const;
    // The download buffer's fill of an internet stream, percent.
    double BufferPercent() const;
    // The texts it shows; the language texts replace the English ones, and
    // the title of what plays follows them.
    const TKPlayTexts& Texts() const;
    void SetTexts(const TKPlayTexts& texts);

private:
    friend class TKPlayerBase;

    TKPlayer& Current();
    void RunSyncTimer(TKPlayTimer timer, std::atomic<DWORD>& pending, const char* what);
    void CancelPendingSyncs();
    bool TakePendingSync(std::atomic<DWORD>& pending);
    void MediumEnded(bool checkQuit);
    // A failed start of the entry at index: the play mode moves on from the
    // event loop, so a run of media that cannot play never nests one start
    // in another.
    void PostMoveOn(int index);
    // A start or stop supersedes the posted move-on and what the failed
    // starts before it counted.
    void CancelMoveOn();

    std::unique_ptr<TKPlayState> state_;
    TKPlayerView nullView_;
    TKVideoSide nullVideo_;
    TKPlayerView* view_;
    TKVideoSide* video_;
    std::unique_ptr<TKPlayers> players_;

    // The channel whose sync fired and whose timer is pending; 0 none.
    std::atomic<DWORD> pendingFadeSync_{0};
    std::atomic<DWORD> pendingEndSync_{0};
    // MediumEnded is stopping the medium and starting the next.
    bool changingTrack_ = false;
    // The entry whose failed start the play mode moves on from; -1 none.
    int pendingMoveOn_ = -1;
};

// The process-wide play system; created by the start-up sequence.
extern TKSystem* PlaySystem;
// The audio library's output devices from device 1 on, and what it reported
// about the output it opened; filled by the start-up sequence.
extern std::vector<std::string> AudioDevices;
extern BassInfo BassInfoRecord;

// The audio library's creator for a file's extension (any letter case).
TFileCreator DecoderOfFileName(const std::u16string& fileName);
// "Ogg Vorbis", "MPEG layer 3", ... for a channel type; "Unknown type(n)".
std::string StreamTypeName(DWORD channelType);
// The length of a medium as "hh:mm:ss"; "00:00:00" when it cannot be read.
std::string GetMediaLengthText(const std::u16string& fileName);
// Buffer length and update period of the audio library for priority 0..4
// (others count as 0).
int GetBassBufferLength(int priority);
int GetBassUpdatePeriod(int priority);
// The play-mode choice, apart from playing: the index to play, -1 to stop
// (full stop), -2 for nothing. Random draws come from random(count).
int ChooseNextIndex(bool back, bool forward, int index, bool force, int mode, int count, int lastItemIndex,
                    const std::function<int(int)>& random);
// The rate of speed step 1..12 (4 = the base rate) for the audio library.
int SpeedFrequency(int baseFrequency, int speed);
// The video side's rate of a speed step: 0.25 .. 2.5, never 0.
double VideoSpeedRate(int speed);
// A music CD's stream: 44.1 kHz, 16 bits, two channels.
constexpr int64_t kCDBytesPerSecond = 176400;
// A music CD entry's track field ("01" is the disc's first track) as the
// audio library's track number from 0; -1 for "", "-1", "00" or no number.
int CDTrackOfEntry(const std::string& track);
// Index in drives of the drive the entry's file lies on; 0 when none.
DWORD CDDriveOfFileName(const std::u16string& fileName, const std::vector<std::string>& drives);
// Kbit/s of a file of that size playing that long; 0 for no length.
double BitrateKbps(int64_t fileSize, double seconds);
// The download buffer's fill of an internet stream from its file positions:
// what is ahead of playing (block streaming) or all downloaded, of the end;
// 0 when the end is 0 or unknown, at most 100.
double BufferFillPercent(QWORD end, QWORD downloaded, QWORD current, bool blockStreaming);
// Recording extension of a record format 0..5; ".unknown" else.
std::string RecordFormatExtension(int format);
int RecordFormatOfChannelType(DWORD channelType);
// Header and metadata text helpers of internet streams.
struct TKey {
    std::string Key;
    std::string Value;
};
std::string TagListToText(const char* tags);
void SplitKeyValues(std::string text, std::vector<TKey>& pairs, char separator, bool clear, char terminator);
bool FindKeyValue(const std::string& key, const std::vector<TKey>& pairs, TKey& pair);

} // namespace kolvarin
