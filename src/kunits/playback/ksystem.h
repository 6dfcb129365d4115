#pragma once

// The play system: turns a playlist entry into sound by its system type,
// cross-fades audio-library tracks on two stream-set slots, moves on by the
// play mode, polls the running medium and carries the user's volume,
// balance, speed, seek and equalizer changes. Main thread only, except the
// audio library's callbacks (SyncFadeOutProc, SyncEndProc,
// RecordDownloadProc), which touch nothing but what they document.

#include <array>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <list>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "audio/bass.h"
#include "core/playlist/kplaylist.h"
#include "core/settings/ksystemtypes.h"
#include "core/system/kerrors.h"
#include "playback/kplayerview.h"
#include "playback/kstreamset.h"
#include "playback/kvideoside.h"

namespace kolvarin {

// A skin bar as the play system reads it.
struct TKBar {
    int64_t Max = 100;
    int64_t Position = 0;
};

// One record of the stream information of the current medium.
struct TKStreamInfo {
    bool Valid = false;
    uint8_t Kind = 0; // 1 video, 2 audio, 3 subtitle
    std::string Codec;
    double SampleRateKHz = 0;
    int Channels = 0;
    double BitrateKbps = 0;
};

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
    std::function<void()> Terminate;

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

    // --- main-window timer handlers (main thread) ----------------------------
    void PlayTimerTimer();
    void SyncFadeOutProcStartTimerTimer();
    void SyncEndProcStartTimerTimer();
    void FadeOutStopTimerTimer();
    void EndOfTrack();

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

    // --- equalizer ------------------------------------------------------------
    void SetupEqualizerBass();
    void SetupEqualizerCD();
    void ApplyEqualizer();
    void SetEqualizerBandBass(int band, int value);
    void ApplyVideoEqualizer();
    void ResetEqualizer();
    // Preset files (.keqp): the sliders from the file, then applied; false
    // (nothing changed) when it cannot be read. Saving writes the sliders.
    bool LoadEqualizerPreset(const std::u16string& fileName);
    bool SaveEqualizerPreset(const std::u16string& fileName) const;
    // The ten slider values; the settings' bands when nothing else set them.
    std::array<int, 10> EqualizerSliders{};

    // --- adding media ---------------------------------------------------------
    bool AddFileToPlaylist(const std::u16string& fileName);
    void AddFilesToPlaylist(const std::vector<std::u16string>& names, bool play);
    void ReadPlaylistItemTag(int index);
    void SetBassBuffer();

    // --- internet streams -----------------------------------------------------
    void AudioLiveStreamRecord();
    void AudioLiveStreamStop();
    // The audio library's download callback (its download thread).
    static void RecordDownloadProc(const void* buffer, DWORD length, void* user);
    // One block of the stream `source` (buffer null: its download ended):
    // appended to the recording file, which is opened for the first block
    // and closed at a title split or the end. Any thread.
    void RecordBlock(uint64_t source, const void* buffer, DWORD length);

    // --- state ----------------------------------------------------------------
    TSystemType SystemType = TSystemType::None;
    TSystemType LastSystemType = TSystemType::None;
    TKPlaylistEntry* CurrentItem = nullptr;
    TKPlaylistEntry CurrentEntry;
    TKPlaylistEntry* LastItem = nullptr;

    std::array<TStreamSet, 2> ChannelSlots{};
    int ChannelSlotIndex = -1;
    int FadingSlot = -1;
    bool FadeRunning = false;
    HSYNC FadeSyncHandle = 0;
    HSYNC EndSyncHandle = 0;
    int64_t ChannelLength = 0;
    int ChannelFrequency = 44100;
    int ChannelVolume = 100;
    int ChannelBalance = 0;
    int BaseFrequency = 44100;
    int SpeakerCount = 2;
    int DeviceSpeakers = 2; // from BassInfo at start-up
    std::u16string PlayingTitle;
    bool Seekable = false;
    HSTREAM CDChannel = 0;
    DWORD CDDriveIndex = 0;
    std::vector<TKStreamInfo> StreamInfos;

    // Skin values the players apply when a medium starts.
    TKBar VolumeBar{10000, 5000};
    int BalanceValue = 100;
    int SpeedValue = 4;

    // Internet streams.
    double BufferPercent = 0;
    bool TemporaryStatus = false;
    std::string StreamURL;

    TKPlayTexts Texts;

    // Equalizer effect handles: band × stream of the current slot; the CD's.
    std::array<std::array<HFX, 4>, 10> EqualizerFX{};
    std::array<HFX, 10> EqualizerCDFX{};

    // Recording of internet streams; guarded by recordMutex_ between the
    // main thread and the download thread.
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

private:
    static void SyncFadeOutProc(HSYNC handle, DWORD channel, DWORD data, void* user);
    static void SyncEndProc(HSYNC handle, DWORD channel, DWORD data, void* user);

    // Steps shared by the players.
    void SaveScrollLabel();
    void RestoreScrollLabel();
    void ChangeStatusWait();
    void ChangeStatusConnecting();
    void SelectChannelSlot();
    void ShowPlaying();
    void MarkPlaying();
    void BeginStart(bool streamSet);
    void ApplyStartAttributes(const TStreamSet& set);
    void EnterPlaying(const std::u16string& historyName);
    void FinishStart(bool seekable);
    void RunSyncTimer(TKPlayTimer timer, std::atomic<DWORD>& pending, const char* what);
    void FadeIn(bool honourMute);
    void FadeOutSlot();
    void RemoveSyncs(DWORD channel);
    void CancelPendingSyncs();
    bool TakePendingSync(std::atomic<DWORD>& pending);
    void MediumEnded(bool checkQuit);
    void ShowTimeOf(int64_t milliseconds);

    void PlayFile(const std::u16string& fileName);
    void PlayStream(const std::u16string& url);
    void PlayCD(const std::u16string& fileName);
    HSTREAM CreateAddonStream(const std::u16string& fileName, TStreamSet& set);
    void SetEndSyncs();
    void SetStreamInfo(DWORD handle);
    TStreamSet& CurrentSlot() { return ChannelSlots[ChannelSlotIndex < 0 ? 0 : ChannelSlotIndex]; }
    // What the controls act on: the CD channel, or the current slot.
    TStreamSet PlayingSet()
    {
        return SystemType == TSystemType::CDTrack ? TStreamSet{CDChannel, 0, 0, 0} : CurrentSlot();
    }
    void UpdateStream();
    void CloseRecording();
    void SetRecordPlaying(bool playing);

    // The download callback's user value: which stream a block comes from.
    struct TKRecordSource {
        TKSystem* System;
        uint64_t Id;
    };
    std::list<TKRecordSource> recordSources_;
    uint64_t lastRecordSource_ = 0;

    TKPlayerView nullView_;
    TKVideoSide nullVideo_;
    TKPlayerView* view_;
    TKVideoSide* video_;
    std::u16string savedStatusText_;
    TKStatusIcon savedStatusIcon_ = TKStatusIcon::Stopped;

    // The channel whose sync fired and whose timer is pending; 0 none.
    std::atomic<DWORD> pendingFadeSync_{0};
    std::atomic<DWORD> pendingEndSync_{0};

    mutable std::mutex recordMutex_;
    TKRecorder recorder_;
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
