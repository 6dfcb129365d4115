#include "audio/cd_drives.h"
#include "core/settings/kconfig.h"
#include "core/system/kdebug.h"
#include "core/system/kglobals.h"
#include "core/text/kstrings.h"
#include "playback/kequalizer.h"
#include "playback/kplayers_p.h"

namespace kolvarin {

int CDTrackOfEntry(const std::string& track)
{
    if (track.empty() || track == "-1" || track == "00")
        return -1;
    int value = 0;
    for (char c : track) {
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value >= 1 ? value - 1 : -1;
}

DWORD CDDriveOfFileName(const std::u16string& fileName, const std::vector<std::string>& drives)
{
    // A drive is named by its device ("/dev/sr0"); the entry's name starts
    // with the device or with the drive's mount folder.
    const std::string name = Utf16ToUtf8(fileName);
    for (size_t i = 0; i < drives.size(); ++i) {
        const std::string& drive = drives[i];
        if (!drive.empty() && name.compare(0, drive.size(), drive) == 0 &&
            (name.size() == drive.size() || name[drive.size()] == '/'))
            return static_cast<DWORD>(i);
    }
    return 0;
}

void TKCDPlayer::Play(const std::u16string& fileName)
{
    const char* proc = "TKSystem.Play";
    TKPlayState& state = State();
    BeginStart();
    const int track = CDTrackOfEntry(state.CurrentEntry.Track);
    if (track < 0) {
        FailStart(TKErrorCode::FileNotFound, fileName, -1);
        return;
    }
    drive_ = CDDriveOfFileName(fileName, audio::cdDrives());
    Log(proc, "Create cd stream " + std::to_string(drive_) + "/" + std::to_string(track) + "...");
    channel_ = BASS_CD_StreamCreate(drive_, static_cast<DWORD>(track), 0x10200);
    SetStreamInfo(state.StreamInfos, channel_);
    bool ok = channel_ != 0 && BASS_CD_IsReady(drive_);
    if (ok) {
        SetupEqualizer();
        ApplyEqualizer();
        ok = BASS_ChannelPlay(channel_, false);
    }
    if (!ok) {
        Free();
        FailStart(TKErrorCode::CDTrackNotPlayed, fileName, -1);
        return;
    }
    View().HideVideoWindow();
    View().SetAudioMenu(true, false);
    state.ChannelLength = ChannelGetLength(channel_);
    RemoveSyncs(channel_);
    state.EndSyncHandle =
        BASS_ChannelSetSync(channel_, bass::kSyncEnd | bass::kSyncOneTime, 0, &TKSystem::SyncEndProc, &System());
    ApplyStartAttributes(PlayingSet());
    FadeIn(false);
    EnterPlaying(fileName);
    if (Config && Config->OFPReadTime && state.CurrentItem) {
        state.CurrentItem->Time = TimeTextOfMilliseconds(state.ChannelLength * 1000 / kCDBytesPerSecond);
        state.CurrentEntry = *state.CurrentItem;
    }
    FinishStart(true);
}

void TKCDPlayer::Stop(bool)
{
    RemoveSyncs(channel_);
    BASS_ChannelStop(channel_);
    Free();
}

void TKCDPlayer::Free()
{
    BASS_StreamFree(channel_);
    channel_ = 0;
}

void TKCDPlayer::Pause() { BASS_ChannelPause(channel_); }

void TKCDPlayer::Resume() { BASS_ChannelPlay(channel_, false); }

void TKCDPlayer::Update()
{
    if (!BASS_CD_IsReady(drive_)) {
        System().Stop(true);
        return;
    }
    if (BASS_ChannelIsActive(channel_) == bass::kActivePlaying)
        ShowProgress(PlayingSet(), true);
}

void TKCDPlayer::RefreshTime() { ShowProgress(PlayingSet(), false); }

int64_t TKCDPlayer::JumpStep(int32_t milliseconds)
{
    return static_cast<int64_t>(BASS_ChannelSeconds2Bytes(channel_, milliseconds / 1000.0));
}

std::u16string TKCDPlayer::PositionText(int64_t bytes) { return SecondsText(bytes / kCDBytesPerSecond); }

void TKCDPlayer::SetupEqualizer()
{
    for (int band = 0; band < EqualizerBandCount; ++band) {
        equalizerFX_[band] = BASS_ChannelSetFX(channel_, BASS_FX_DX8_PARAMEQ, 0);
        SetEqualizerBandDefaults(equalizerFX_[band], band);
    }
}

void TKCDPlayer::SetEqualizerBand(int band, int value) { SetEqualizerEffectGain(equalizerFX_[band], value); }

} // namespace kolvarin
