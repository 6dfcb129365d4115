#pragma once

// The players of the play system: one object per kind of medium behind one
// interface, which TKSystem dispatches to by the system type. Internal to
// the play system. Main thread only.

#include <span>
#include <string>

#include "playback/kplaystate_p.h"
#include "playback/kstreamset.h"
#include "playback/ksystem.h"

namespace kolvarin {

struct TKChannelSlots;

// One kind of medium.
class TKPlayer {
public:
    virtual ~TKPlayer() = default;

    // Starts the current entry. When it plays, SysActive is set; when it
    // cannot, the problem was shown and the status area is as before.
    virtual void Play(const std::u16string& fileName) = 0;
    // The tear-down of Stop for a medium of this kind that played.
    virtual void Stop(bool fullStop) = 0;
    virtual void Pause() = 0;
    virtual void Resume() = 0;
    // A start still waiting (for a stream list) is given up, the status
    // as before it; a start or stop of another supersedes it.
    virtual void CancelStart() {}
    // The play timer's poll, and the time display alone.
    virtual void Update() {}
    virtual void RefreshTime() {}
    // The channel whose syncs end the medium; 0 when it has none.
    virtual DWORD SyncChannel() const { return 0; }
    // The analyzer's 512 FFT magnitudes into values (at least 512 long);
    // false when the medium gives none.
    virtual bool GetSpectrumData(std::span<float> /*values*/) { return false; }

    // Controls of the running medium. The volume bar and speed step are the
    // skin's; the play system has stored them already.
    virtual void SetVolume(bool noApply, const TKBar& bar, bool mute) = 0;
    virtual void SetPosition(int64_t /*bytes*/) {}
    virtual void SetSpeed(int speed) = 0;
    virtual void SetBalance(int value, int64_t max) = 0;
    // The sliders onto the medium's equalizer; one band.
    virtual void ApplyEqualizer() = 0;
    virtual void SetEqualizerBand(int /*band*/, int /*value*/) {}

    // The unit of the medium's positions, which the progress bar and
    // SetPosition speak: one time jump of `milliseconds` in it (0 when the
    // medium has none), and the time a position stands for as "hh:mm:ss"
    // (empty when it shows none).
    virtual int64_t JumpStep(int32_t /*milliseconds*/) { return 0; }
    virtual std::u16string PositionText(int64_t /*position*/) { return {}; }
};

// What every player shares: the play system, its state and the start steps
// the design runs on Play's frame.
class TKPlayerBase : public TKPlayer {
public:
    explicit TKPlayerBase(TKSystem& system);

protected:
    TKSystem& System() { return system_; }
    TKPlayState& State() { return *system_.state_; }
    TKPlayerView& View() { return system_.View(); }
    TKVideoSide& Video() { return *system_.video_; }
    // The stream-set slots of the file and stream players.
    TKChannelSlots& Slots() const;

    void SaveScrollLabel();
    void RestoreScrollLabel();
    void ChangeStatusWait();
    void ChangeStatusConnecting();
    void ChangeStatusReady();
    // The video side reset, the status kept and "Loading..." shown, the
    // speaker count.
    void BeginStart();
    // The player runs: flags, analyzer and the history line.
    void EnterPlaying(const std::u16string& historyName);
    // The windows follow: play mark, progress bar (a stream has no length),
    // volume bar, balance, play timer and title.
    void FinishStart(bool seekable);
    // A failed start: the old status, then the problem.
    void FailStart(TKErrorCode code, const std::u16string& fileName, int extra);
    // After a failed start the play mode goes on as at the end of a medium,
    // from the event loop, until every entry has failed in a row; repeating
    // the same entry would only fail again.
    void MoveOnAfterFailure();
    // The current entry's index in the playlist; -1 when it has none.
    int CurrentIndex();
    // The settings' fade time in milliseconds.
    static int FadeTime();
    // The time digits for a position or remaining time, by the time mode.
    void ShowTimeOf(int64_t milliseconds);
    // "hh:mm:ss" of a count of seconds; the hours run on past a day.
    static std::u16string SecondsText(int64_t seconds);

private:
    void MarkPlaying();
    void ShowPlaying();

    TKSystem& system_;
};

// The players on an audio-library channel (files, streams, CDs): volume,
// pan, speed and seeking act on PlayingSet().
class TKAudioPlayer : public TKPlayerBase {
public:
    using TKPlayerBase::TKPlayerBase;

    void SetVolume(bool noApply, const TKBar& bar, bool mute) override;
    void SetPosition(int64_t bytes) override;
    void SetSpeed(int speed) override;
    void SetBalance(int value, int64_t max) override;
    void ApplyEqualizer() override;
    bool GetSpectrumData(std::span<float> values) override;

protected:
    virtual TStreamSet PlayingSet() const = 0;
    // The started channel's own rate, volume and pan, then the skin's.
    void ApplyStartAttributes(const TStreamSet& set);
    void FadeIn(bool honourMute);
    void RemoveSyncs(DWORD channel);
    // Position and time display of a channel that plays.
    void ShowProgress(const TStreamSet& set, bool poll);
};

} // namespace kolvarin
