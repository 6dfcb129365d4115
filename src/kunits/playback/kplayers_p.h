#pragma once

// The players, one per kind of medium, and the two stream-set slots that
// the audio-library file and stream players cross-fade on. Internal to the
// play system. Main thread, except the recorder (see TKStreamPlayer).

#include <array>
#include <cstdio>
#include <list>
#include <string>
#include <vector>

#include "base/threadsafety.h"
#include "playback/kplayer_p.h"

namespace kolvarin {

// Nothing plays (type 0).
class TKNoPlayer : public TKPlayerBase {
public:
    using TKPlayerBase::TKPlayerBase;
    void Play(const std::u16string&) override {}
    void Stop(bool) override {}
    void Pause() override {}
    void Resume() override {}
    void SetVolume(bool, const TKBar&, bool) override {}
    void SetSpeed(int) override {}
    void SetBalance(int, int64_t) override {}
    void ApplyEqualizer() override;
};

// The two stream sets a new track and a fading old one play on.
struct TKChannelSlots {
    std::array<TStreamSet, 2> Sets{};
    int Index = -1; // the slot of the current track
    int Fading = -1; // the slot that fades out; -1 none
    int StoppedFading = -1; // Fading when the last Stop began
    bool FadeRunning = false;
    // Equalizer effect handles: band × stream of the current slot.
    std::array<std::array<HFX, 4>, 10> EqualizerFX{};

    TStreamSet& Current() { return Sets[Index < 0 ? 0 : Index]; }
    const TStreamSet& Current() const { return Sets[Index < 0 ? 0 : Index]; }
};

// A medium on the slots: audio-library files and internet streams.
class TKSlotPlayer : public TKAudioPlayer {
public:
    using TKAudioPlayer::TKAudioPlayer;

    void Stop(bool fullStop) override;
    void Pause() override;
    void Resume() override;
    DWORD SyncChannel() const override;
    void SetEqualizerBand(int band, int value) override;

protected:
    TStreamSet PlayingSet() const override;
    // The slot for the new stream set: toggled when cross-fading; a slot
    // still fading out ends its fade here.
    void SelectChannelSlot();
    void SetupEqualizer();
    // Before the fade-out, and instead of it.
    virtual void Leaving() {}
    // The old slot slides to silence and the fade-out stop timer runs.
    void FadeOutSlot();
    // Ends the slot's stream set, fading out when `fade`.
    void EndSlot(bool fade);
};

// Audio files the audio library plays (type 1).
class TKFilePlayer : public TKSlotPlayer {
public:
    using TKSlotPlayer::TKSlotPlayer;
    void Play(const std::u16string& fileName) override;
    void Update() override;
    void RefreshTime() override;
    // The fade sync one fade time before the end, or the end sync: by the
    // settings now in force and never at a point already passed.
    void SetEndSyncs();
    // The playing file opened again for the speaker setting now in force, at
    // its position, with its attributes, equalizer and syncs; paused stays
    // paused. Nothing when the count of streams would not change.
    void ReopenForSpeakers();
    // Bytes of the current slot's stream set.
    int64_t JumpStep(int32_t milliseconds) override;
    std::u16string PositionText(int64_t bytes) override;
};

// Internet audio streams (type 2) and their recording. The recorder is
// shared with the audio library's download thread under one mutex.
class TKStreamPlayer : public TKSlotPlayer {
public:
    using TKSlotPlayer::TKSlotPlayer;
    ~TKStreamPlayer() override;

    void Play(const std::u16string& url) override;
    void Stop(bool fullStop) override;
    void Pause() override;
    void Resume() override;
    void Update() override;
    double BufferPercent() const { return bufferPercent_; }

    void RecordOn();
    void RecordOff();
    void SetRecordName(const std::string& name, bool split);
    TKSystem::TKRecorder RecorderState() const;
    // Any thread: one block of the stream `source`; see TKSystem::RecordBlock.
    void RecordBlock(uint64_t source, const void* buffer, DWORD length);
    static void RecordDownloadProc(const void* buffer, DWORD length, void* user);

protected:
    void Leaving() override;

private:
    void SetRecordPlaying(bool playing);
    void StartRecorder(const std::u16string& stationName);

    std::string url_;
    double bufferPercent_ = 0;

    // The download callback's user value: which stream a block comes from.
    struct TKRecordSource {
        TKStreamPlayer* Player;
        uint64_t Id;
    };
    std::list<TKRecordSource> recordSources_;
    uint64_t lastRecordSource_ = 0;
    // Guards the recorder, which the download thread writes to; taken alone.
    mutable Mutex recordMutex_;
    TKSystem::TKRecorder recorder_ GUARDED_BY(recordMutex_);
};

// Music CD tracks (type 7) on one channel of their own.
class TKCDPlayer : public TKAudioPlayer {
public:
    using TKAudioPlayer::TKAudioPlayer;

    void Play(const std::u16string& fileName) override;
    void Stop(bool fullStop) override;
    void Pause() override;
    void Resume() override;
    void Update() override;
    void RefreshTime() override;
    DWORD SyncChannel() const override { return channel_; }
    void SetEqualizerBand(int band, int value) override;
    // Bytes of the channel.
    int64_t JumpStep(int32_t milliseconds) override;
    std::u16string PositionText(int64_t bytes) override;

    // Frees the channel; the play system's end frees it the same way.
    void Free();
    HSTREAM Channel() const { return channel_; }
    DWORD Drive() const { return drive_; }
    const std::array<HFX, 10>& EqualizerFX() const { return equalizerFX_; }

protected:
    TStreamSet PlayingSet() const override { return {channel_, 0, 0, 0}; }

private:
    void SetupEqualizer();

    HSTREAM channel_ = 0;
    DWORD drive_ = 0;
    std::array<HFX, 10> equalizerFX_{};
};

// The video side's kinds (types 3 to 6) behind TKVideoSide.
class TKVideoPlayer : public TKPlayerBase {
public:
    enum class Kind { File, Audio, Stream, DVD };
    TKVideoPlayer(TKSystem& system, Kind kind) : TKPlayerBase(system), kind_(kind) {}

    void Play(const std::u16string& fileName) override;
    void CancelStart() override;
    void Stop(bool fullStop) override;
    void Pause() override;
    void Resume() override;
    void Update() override;
    void RefreshTime() override;
    void SetVolume(bool noApply, const TKBar& bar, bool mute) override;
    void SetPosition(int64_t position) override;
    void SetSpeed(int speed) override;
    void SetBalance(int value, int64_t max) override;
    void ApplyEqualizer() override;
    // The video window's spectrum while the DSP filter is on.
    bool GetSpectrumData(std::span<float> values) override;
    // Files: the video side's 100 ns units, jumping by whole seconds.
    // Discs: milliseconds of the title. Streams: none.
    int64_t JumpStep(int32_t milliseconds) override;
    std::u16string PositionText(int64_t position) override;

private:
    // The start sequence on the graph of address: the entry's own name or
    // what its list gave.
    void Start(const std::u16string& fileName, const std::u16string& address);
    // A start that failed: the old status, the problem, the graph torn
    // down, a full stop, and the play mode's next entry.
    void AbortStart(const char* proc, TKErrorCode code, const std::u16string& fileName);
    // The video side's preparation, then the main window's menus and the
    // default streams.
    void PrepareVideo(bool dvd, int index);
    // The common start once the graph runs: history, play marks, length.
    void InitPlaySystem(const std::u16string& fileName);
    void ShowVideoTime(int64_t position);

    Kind kind_;
    // A stream list is on its way; the start goes on when it arrives.
    bool fetching_ = false;
    // Counts the starts, so a list that arrives late for its start is dropped.
    uint64_t starts_ = 0;
};

// A band's effect at its centre and width with 0 dB; the gain of a slider
// value on one effect. A missing effect (0) is left alone.
void SetEqualizerBandDefaults(HFX fx, int band);
void SetEqualizerEffectGain(HFX fx, int value);

// The stream information of a channel that just opened, as the only record.
void SetStreamInfo(std::vector<TKStreamInfo>& infos, DWORD handle);

// One player of each kind; the slots belong to the file and stream players.
struct TKPlayers {
    explicit TKPlayers(TKSystem& system);
    TKPlayer& Of(TSystemType type);

    TKChannelSlots Slots;
    TKNoPlayer None;
    TKFilePlayer File;
    TKStreamPlayer Stream;
    TKCDPlayer CD;
    TKVideoPlayer Video, VideoAudio, VideoStream, DVD;
};

} // namespace kolvarin
