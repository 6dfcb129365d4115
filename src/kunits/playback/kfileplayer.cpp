#include <sys/stat.h>

#include <cmath>

#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "core/system/kdebug.h"
#include "core/system/kfiles.h"
#include "core/system/kglobals.h"
#include "core/text/kstrings.h"
#include "playback/ksystem.h"
#include "playback/ktagcaption.h"

namespace kolvarin {

namespace {

int FadeTime() { return Config ? std::max<int>(Config->Fader.Count, 0) : 0; }

struct TKDecoder {
    std::u16string_view Extensions[3];
    TFileCreator Creator;
};

constexpr TKDecoder kDecoders[] = {
    {{u".mpc", u".mpp", u".mp+"}, &BASS_MPC_StreamCreateFile},
    {{u".ape", u".mac"}, &BASS_APE_StreamCreateFile},
    {{u".aac"}, &BASS_AAC_StreamCreateFile},
    {{u".mp4", u".m4a"}, &BASS_MP4_StreamCreateFile},
    {{u".wv"}, &BASS_WV_StreamCreateFile},
    {{u".ac3"}, &BASS_AC3_StreamCreateFile},
    {{u".flac", u".fla"}, &BASS_FLAC_StreamCreateFile},
    {{u".tta"}, &BASS_TTA_StreamCreateFile},
    {{u".ofr", u".ofs"}, &BASS_OFR_StreamCreateFile},
};

} // namespace

TFileCreator DecoderOfFileName(const std::u16string& fileName)
{
    const std::u16string ext = WideLowerCase(ExtractFileExtW(fileName));
    for (const auto& decoder : kDecoders)
        for (auto e : decoder.Extensions)
            if (!e.empty() && e == ext)
                return decoder.Creator;
    return &BASS_StreamCreateFile;
}

double BitrateKbps(int64_t fileSize, double seconds)
{
    // Nothing from a zero (or unknown) length.
    if (!(seconds > 0))
        return 0;
    const double kbps = static_cast<double>(fileSize) * 8.0 / seconds / 1000.0;
    return std::isfinite(kbps) && kbps >= 0 ? kbps : 0;
}

std::string StreamTypeName(DWORD channelType)
{
    switch (channelType) {
    case 0x10002: return "Ogg Vorbis";
    case 0x10003: return "MPEG layer 1";
    case 0x10004: return "MPEG layer 2";
    case 0x10005: return "MPEG layer 3";
    case 0x10006: return "Audio IFF";
    case 0x10200: return "Music CD";
    case 0x10500: return "WavPack Audio";
    case 0x10700: return "Monkey Audio";
    case 0x10900:
    case 0x10901: return "Free Lossless Audio Codec";
    case 0x10a00: return "Musepack Audio";
    case 0x10b00: return "Advanced Audio Codec";
    case 0x10b01: return "Mpeg-4";
    case 0x11000: return "Dolby Digital Audio";
    case 0x40000: return "Wavestream";
    case 0x50001: return "Wavestream (pcm)";
    case 0x50003: return "Wavestream (float)";
    default: return "Unknown type(" + std::to_string(channelType) + ")";
    }
}

void TKSystem::SelectChannelSlot()
{
    if (ChannelSlotIndex < 0)
        ChannelSlotIndex = 0;
    else if (Config && Config->Fader.Enabled)
        ChannelSlotIndex = ChannelSlotIndex == 0 ? 1 : 0;
    else
        ChannelSlotIndex = 0;
    // The slot about to be filled may still be fading out: that fade ends now,
    // and its stop timer must not free the new stream.
    if (FadingSlot == ChannelSlotIndex) {
        view_->SetTimer(TKPlayTimer::FadeOutStopTimer, false);
        FadingSlot = -1;
        FadeRunning = false;
    }
    StreamSetFree(CurrentSlot());
}

HSTREAM TKSystem::CreateAddonStream(const std::u16string& fileName, TStreamSet& set)
{
    return StreamSetCreateFile(DecoderOfFileName(fileName), fileName, set, SpeakerCount, 0);
}

void TKSystem::SetStreamInfo(DWORD handle)
{
    StreamInfos.assign(1, TKStreamInfo{});
    TKStreamInfo& info = StreamInfos[0];
    BassChannelInfo channel;
    if (!BASS_ChannelGetInfo(handle, &channel))
        return;
    info.Valid = true;
    info.Kind = 2;
    info.Codec = StreamTypeName(channel.ctype);
    info.SampleRateKHz = channel.freq / 1000.0;
    info.Channels = static_cast<int>(channel.chans);
    // Bitrate from the file's size and the length; nothing from a zero length.
    const double seconds = BassBytesToMilliseconds(handle, ChannelGetLength(handle)) / 1000.0;
    struct stat st {};
    if (channel.filename && ::stat(channel.filename, &st) == 0)
        info.BitrateKbps = BitrateKbps(st.st_size, seconds);
}

void TKSystem::ApplyStartAttributes(const TStreamSet& set)
{
    StreamSetGetAttributes(set, ChannelFrequency, ChannelVolume, ChannelBalance);
    StreamSetSetAttributes(set, ChannelFrequency, 0, ChannelBalance);
    BaseFrequency = ChannelFrequency;
    SetSpeed(SpeedValue);
    SetVolume(false, VolumeBar);
    FadeRunning = false;
}

void TKSystem::FadeIn(bool honourMute)
{
    if (!Config || !Config->Fader.Enabled || (honourMute && Config->Mute))
        return;
    StreamSetSetAttributes(PlayingSet(), ChannelFrequency, 0, ChannelBalance);
    StreamSetSlideAttributes(PlayingSet(), ChannelFrequency, ChannelVolume, FadeTime(), ChannelBalance);
}

// The start of the audio players: the video side reset, the status kept
// and "Loading..." shown, the speaker count, the slot for a stream set.
void TKSystem::BeginStart(bool streamSet)
{
    ResetDirectX(true);
    SaveScrollLabel();
    ChangeStatusWait();
    SpeakerCount = std::min<int>(Config ? Config->Speakers : 2, DeviceSpeakers);
    if (streamSet)
        SelectChannelSlot();
}

void TKSystem::PlayFile(const std::u16string& fileName)
{
    const char* proc = "TKSystem.Play";
    BeginStart(true);
    if (!KFileExists(fileName)) {
        RestoreScrollLabel();
        ShowMediaProblem(TKErrorCode::FileNotFound, fileName, 0);
        return;
    }
    if (Config && Config->OFPReadID3Tag && CurrentItem) {
        Log(proc, "Read tag caption");
        const std::u16string ext = WideLowerCase(ExtractFileExtW(fileName));
        const bool ape = ext == u".mpc" || ext == u".ape";
        const std::u16string caption = ape ? GetAPETagCaption(fileName) : GetID3TagCaption(fileName);
        if (!caption.empty())
            CurrentItem->Caption = caption;
        const std::string track = ape ? GetAPETagTrack(fileName) : GetID3TagTrack(fileName);
        if (track != "00")
            CurrentItem->Track = track.substr(0, 2);
        CurrentEntry = *CurrentItem;
    }
    if (Config && Config->OFPReadTime && CurrentItem) {
        Log(proc, "Read media length");
        CurrentItem->Time = GetMediaLengthText(fileName);
        CurrentEntry = *CurrentItem;
    }
    Log(proc, "Create stream " + Quoted(Utf16ToUtf8(fileName)) + "...");
    CreateAddonStream(fileName, CurrentSlot());
    SetStreamInfo(CurrentSlot()[0]);
    if (!StreamSetAssigned(CurrentSlot())) {
        Log(proc, "Create stream " + Quoted(Utf16ToUtf8(fileName)) + " failed!");
        RestoreScrollLabel();
        ShowMediaProblem(TKErrorCode::StreamCreate, fileName, -1);
        return;
    }
    SetupEqualizerBass();
    ApplyEqualizer();
    if (!StreamSetPlay(CurrentSlot(), false, 0)) {
        Log(proc, "Play stream failed!");
        StreamSetFree(CurrentSlot());
        RestoreScrollLabel();
        ShowMediaProblem(TKErrorCode::StreamPlay, fileName, -1);
        return;
    }
    Log(proc, "Play stream ok");
    view_->HideVideoWindow();
    view_->SetAudioMenu(true, false);
    ChannelLength = StreamSetGetLength(CurrentSlot());
    SetEndSyncs();
    ApplyStartAttributes(CurrentSlot());
    FadeIn(true);
    EnterPlaying(fileName);
    FinishStart(true);
}

// The player runs: flags, analyzer and the history line.
void TKSystem::EnterPlaying(const std::u16string& historyName)
{
    view_->ClearAnalyzer();
    SysActive = true;
    SysPlayed = true;
    SysPaused = false;
    if (History)
        History->Add(historyName);
}

// The windows follow: play mark, progress bar (a stream has no length),
// volume bar, balance, play timer and title.
void TKSystem::FinishStart(bool seekable)
{
    MarkPlaying();
    view_->SetProgressBar(seekable ? 0 : -1, seekable, seekable ? ChannelLength : 100, 0);
    view_->SetVolumeBarState(VolumeBar.Position, true);
    SetBalance(BalanceValue);
    ShowPlaying();
    Seekable = seekable;
}

void TKSystem::SetEndSyncs()
{
    const TStreamSet& slot = CurrentSlot();
    // Syncs of an earlier call would fire twice.
    RemoveSyncs(slot[0]);
    const int64_t lengthMs = StreamSetBytesToMilliseconds(slot, ChannelLength);
    const int fade = FadeTime();
    if (Config && Config->Fader.Enabled && fade > 0 && fade < lengthMs) {
        const int64_t at = ChannelLength - StreamSetSecondsToBytes(slot, fade / 1000.0);
        FadeSyncHandle = StreamSetSetSync(slot, bass::kSyncPos | bass::kSyncOneTime, &SyncFadeOutProc, this, at);
    } else {
        EndSyncHandle = StreamSetSetSync(slot, bass::kSyncEnd | bass::kSyncOneTime, &SyncEndProc, this, 0);
    }
}

// Library thread: note which channel fired and ask for the main thread.
void TKSystem::SyncFadeOutProc(HSYNC, DWORD channel, DWORD, void* user)
{
    auto* system = static_cast<TKSystem*>(user);
    system->pendingFadeSync_ = channel;
    system->view_->StartTimerFromSync(TKPlayTimer::SyncFadeOutProcStartTimer);
}

void TKSystem::SyncEndProc(HSYNC, DWORD channel, DWORD, void* user)
{
    auto* system = static_cast<TKSystem*>(user);
    system->pendingEndSync_ = channel;
    system->view_->StartTimerFromSync(TKPlayTimer::SyncEndProcStartTimer);
}

// True when the sync belongs to what plays now; a sync of a stopped medium
// (its timer start was already queued) does nothing.
bool TKSystem::TakePendingSync(std::atomic<DWORD>& pending)
{
    const DWORD channel = pending.exchange(0);
    if (!SysActive || channel == 0)
        return false;
    const DWORD current = SystemType == TSystemType::CDTrack ? CDChannel : CurrentSlot()[0];
    return channel == current;
}

void TKSystem::RunSyncTimer(TKPlayTimer timer, std::atomic<DWORD>& pending, const char* what)
{
    view_->SetTimer(timer, false);
    if (!TakePendingSync(pending))
        return;
    Log("TKSystem.SyncTimer", what);
    MediumEnded(true);
}

void TKSystem::SyncFadeOutProcStartTimerTimer()
{
    RunSyncTimer(TKPlayTimer::SyncFadeOutProcStartTimer, pendingFadeSync_, "Fade out sync");
}

void TKSystem::SyncEndProcStartTimerTimer()
{
    RunSyncTimer(TKPlayTimer::SyncEndProcStartTimer, pendingEndSync_, "End sync");
}

void TKSystem::EndOfTrack()
{
    Log("TKSystem.EndOfTrack", "Stream stopped without sync");
    MediumEnded(true);
}

void TKSystem::FadeOutSlot()
{
    if (SystemType != TSystemType::BassFile && SystemType != TSystemType::BassStream)
        return;
    if (SystemType == TSystemType::BassStream)
        AudioLiveStreamStop();
    if (FadingSlot < 0)
        return;
    StreamSetSlideAttributes(ChannelSlots[FadingSlot], ChannelFrequency, 0, FadeTime(), ChannelBalance);
    FadeRunning = true;
    view_->SetTimer(TKPlayTimer::FadeOutStopTimer, true, std::max(FadeTime(), 1));
}

void TKSystem::FadeOutStopTimerTimer()
{
    view_->SetTimer(TKPlayTimer::FadeOutStopTimer, false);
    FadeRunning = false;
    if ((LastSystemType == TSystemType::BassFile || LastSystemType == TSystemType::BassStream) && FadingSlot >= 0) {
        StreamSetStop(ChannelSlots[FadingSlot]);
        StreamSetFree(ChannelSlots[FadingSlot]);
    }
    FadingSlot = -1;
}

} // namespace kolvarin
