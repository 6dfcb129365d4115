#include "playback/kplayer_p.h"

#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "core/system/kdebug.h"
#include "core/system/kglobals.h"
#include "core/text/kwideformat.h"
#include "playback/kplayers_p.h"

namespace kolvarin {

TKPlayerBase::TKPlayerBase(TKSystem& system) : system_(system) {}

TKChannelSlots& TKPlayerBase::Slots() const { return system_.players_->Slots; }

int TKPlayerBase::FadeTime() { return Config ? std::max<int>(Config->Fader.Count, 0) : 0; }

void TKPlayerBase::SaveScrollLabel()
{
    Log("TKSystem.Play", "Save scrolllabel");
    State().SavedStatusText = View().StatusText();
    State().SavedStatusIcon = View().StatusIcon();
}

void TKPlayerBase::RestoreScrollLabel()
{
    Log("TKSystem.Play", "Restore scrolllabel");
    View().SetStatusIcon(State().SavedStatusIcon);
    View().SetStatusText(State().SavedStatusText);
}

void TKPlayerBase::ChangeStatusWait()
{
    Log("TKSystem.Play", "Change to wait icon");
    View().SetStatusIcon(TKStatusIcon::Wait);
    Log("TKSystem.Play", "Change to wait status");
    View().SetStatusText(State().Texts.Loading);
}

void TKPlayerBase::ChangeStatusReady()
{
    Log("TKSystem.Play", "Change to ready icon");
    View().SetStatusIcon(TKStatusIcon::Stopped);
}

void TKPlayerBase::ChangeStatusConnecting()
{
    Log("TKSystem.Play", "Change to connecting icon");
    View().SetStatusIcon(TKStatusIcon::Wait);
    Log("TKSystem.Play", "Change to connecting status");
    View().SetStatusText(State().Texts.Connecting);
}

void TKPlayerBase::BeginStart()
{
    System().ResetDirectX(true);
    SaveScrollLabel();
    ChangeStatusWait();
    State().SpeakerCount = std::min<int>(Config ? Config->Speakers : 2, State().DeviceSpeakers);
}

void TKPlayerBase::EnterPlaying(const std::u16string& historyName)
{
    State().FailedStarts = 0;
    View().ClearAnalyzer();
    SysActive = true;
    SysPlayed = true;
    SysPaused = false;
    if (History)
        History->Add(historyName);
}

void TKPlayerBase::FinishStart(bool seekable)
{
    TKPlayState& state = State();
    MarkPlaying();
    View().SetProgressBar(seekable ? 0 : -1, seekable, seekable ? state.ChannelLength : 100, 0);
    View().SetVolumeBarState(state.VolumeBar.Position, true);
    System().SetBalance(state.BalanceValue);
    ShowPlaying();
    state.Seekable = seekable;
    View().MediumStarted();
}

void TKPlayerBase::FailStart(TKErrorCode code, const std::u16string& fileName, int extra)
{
    RestoreScrollLabel();
    System().ShowMediaProblem(code, fileName, extra);
}

void TKPlayerBase::MoveOnAfterFailure()
{
    TKPlayState& state = State();
    const int index = CurrentIndex();
    if (!Config || !Config->PlayMode.Enabled || Config->PlayMode.Mode == 1 || index < 0)
        return;
    if (++state.FailedStarts >= PlaylistCount()) {
        Log("TKSystem.Play", "No entry of the playlist could be played");
        state.FailedStarts = 0;
        return;
    }
    System().PostMoveOn(index);
}

int TKPlayerBase::CurrentIndex()
{
    const TKPlaylistEntry* entry = State().CurrentItem;
    return Playlist && entry ? Playlist->IndexOf(entry) : -1;
}

void TKPlayerBase::MarkPlaying()
{
    PlaylistClearPlayed();
    if (State().CurrentItem)
        State().CurrentItem->PlayState = true;
    View().RefreshPlaylist();
}

void TKPlayerBase::ShowPlaying()
{
    TKPlayState& state = State();
    View().SetTimer(TKPlayTimer::PlayTimer, true, 333);
    View().SetStatusIcon(TKStatusIcon::Play);
    state.PlayingTitle = WideFormat(state.Texts.IsPlaying, state.CurrentEntry.Caption);
    View().SetStatusText(state.PlayingTitle);
    View().RestartScrollLabels();
}

void TKAudioPlayer::ApplyStartAttributes(const TStreamSet& set)
{
    TKPlayState& state = State();
    StreamSetGetAttributes(set, state.ChannelFrequency, state.ChannelVolume, state.ChannelBalance);
    StreamSetSetAttributes(set, state.ChannelFrequency, 0, state.ChannelBalance);
    state.BaseFrequency = state.ChannelFrequency;
    System().SetSpeed(state.SpeedValue);
    System().SetVolume(false, state.VolumeBar);
    // What starts now is not fading, whatever the slots still do.
    Slots().FadeRunning = false;
}

void TKAudioPlayer::FadeIn(bool honourMute)
{
    if (!Config || !Config->Fader.Enabled || (honourMute && Config->Mute))
        return;
    const TKPlayState& state = State();
    StreamSetSetAttributes(PlayingSet(), state.ChannelFrequency, 0, state.ChannelBalance);
    StreamSetSlideAttributes(PlayingSet(), state.ChannelFrequency, state.ChannelVolume, FadeTime(),
                             state.ChannelBalance);
}

bool TKAudioPlayer::GetSpectrumData(std::span<float> values)
{
    const HSTREAM lead = PlayingSet()[0];
    return lead != 0 && BASS_ChannelGetData(lead, values.data(), BASS_DATA_FFT1024) != DWORD(-1);
}

void TKAudioPlayer::RemoveSyncs(DWORD channel)
{
    TKPlayState& state = State();
    if (state.FadeSyncHandle)
        BASS_ChannelRemoveSync(channel, state.FadeSyncHandle);
    if (state.EndSyncHandle)
        BASS_ChannelRemoveSync(channel, state.EndSyncHandle);
    state.FadeSyncHandle = 0;
    state.EndSyncHandle = 0;
}

void TKPlayerBase::ShowTimeOf(int64_t milliseconds)
{
    const int mode = Config ? Config->TimeMode : 0;
    if (mode != 0 && mode != 1)
        return;
    const int seconds = static_cast<int>(milliseconds / 1000 % 60);
    const int minutes = static_cast<int>(milliseconds / 60000 % 60);
    const int hours = static_cast<int>(milliseconds / 3600000 % 24);
    View().ShowTime(hours, minutes, seconds, mode == 1);
}

std::u16string TKPlayerBase::SecondsText(int64_t seconds)
{
    return WideFormat(u"%.2d:%.2d:%.2d", seconds / 3600, seconds % 3600 / 60, seconds % 60);
}

void TKAudioPlayer::ShowProgress(const TStreamSet& set, bool poll)
{
    const bool remaining = Config && Config->TimeMode == 1;
    const int64_t position = StreamSetGetPosition(set);
    if (poll && !View().SeekBarDragging())
        View().SetProgressPosition(true, position);
    ShowTimeOf(StreamSetBytesToMilliseconds(set, remaining ? State().ChannelLength - position : position));
}

TKPlayers::TKPlayers(TKSystem& system)
    : None(system),
      File(system),
      Stream(system),
      CD(system),
      Video(system, TKVideoPlayer::Kind::File),
      VideoAudio(system, TKVideoPlayer::Kind::Audio),
      VideoStream(system, TKVideoPlayer::Kind::Stream),
      DVD(system, TKVideoPlayer::Kind::DVD)
{}

TKPlayer& TKPlayers::Of(TSystemType type)
{
    switch (type) {
    case TSystemType::BassFile: return File;
    case TSystemType::BassStream: return Stream;
    case TSystemType::DirectXVideo: return Video;
    case TSystemType::DirectXAudio: return VideoAudio;
    case TSystemType::DirectXStream: return VideoStream;
    case TSystemType::DVD: return DVD;
    case TSystemType::CDTrack: return CD;
    case TSystemType::None: break;
    }
    return None;
}

} // namespace kolvarin
