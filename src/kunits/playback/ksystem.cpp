#include "ksystem.h"

#include <malloc.h>

#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "core/system/kdebug.h"
#include "core/system/kerrors.h"
#include "core/system/kfiles.h"
#include "core/system/kglobals.h"
#include "core/text/kfunctions.h"
#include "core/text/kstrings.h"
#include "core/text/kwideformat.h"

namespace kolvarin {

TKSystem* PlaySystem = nullptr;
std::vector<std::string> AudioDevices;
BassInfo BassInfoRecord;

namespace {

bool IsDirectXType(TSystemType type) { return type >= TSystemType::DirectXVideo && type <= TSystemType::DVD; }

const char* TrueFalse(bool value) { return value ? "true" : "false"; }

} // namespace

bool TKVideoSide::Play(TKSystem& system, const std::u16string& fileName, bool, bool)
{
    // No engine for video yet: say so the way a failed engine start does.
    system.ShowMediaProblem(TKErrorCode::DirectShowInit, fileName, 0);
    return false;
}

TKSystem::TKSystem() : view_(&nullView_), video_(&nullVideo_)
{
    if (Config) {
        for (int i = 0; i < 10; ++i)
            EqualizerSliders[i] = Config->Equalizer[i];
        VolumeBar.Position = Config->Volume;
        BalanceValue = Config->Balance;
        SpeedValue = Config->Speed;
    } else {
        EqualizerSliders.fill(12);
    }
}

TKSystem::~TKSystem()
{
    // The download callbacks point into this object: no stream may outlive it.
    for (auto& slot : ChannelSlots)
        StreamSetFree(slot);
    if (CDChannel)
        BASS_StreamFree(CDChannel);
    CloseRecording();
}

void TKSystem::SetView(TKPlayerView* view) { view_ = view ? view : &nullView_; }
void TKSystem::SetVideoSide(TKVideoSide* video) { video_ = video ? video : &nullVideo_; }

TSystemType TKSystem::GetSystemTypFromFileName(const std::u16string& fileName) const
{
    const char* proc = "TKSystem.GetSystemTypFromFileName";
    Log(proc, "Set fallback extension to directx video");
    const std::u16string ext = WideLowerCase(ExtractFileExtW(fileName));
    Log(proc, "Get extension from filename ok, got: " + Utf16ToUtf8(ext));
    static const std::vector<std::string> noneAccepted;
    const bool acceptAll = !Config || Config->AcceptAllFiles;
    Log(proc, acceptAll ? "Extension white listing is disabled" : "Extension white listing is enabled");
    const TSystemType type =
        SystemTypeOfFileName(fileName, acceptAll, Config ? Config->AcceptedExtensions : noneAccepted);
    switch (type) {
    case TSystemType::None:
        if (IsURL(fileName))
            Log(proc, "Unknown live stream " + Quoted(Utf16ToUtf8(fileName)) + " for extension " +
                          Quoted(Utf16ToUtf8(ext)) + " detected, Exiting!");
        else
            Log(proc, "Search extension in whitelist failed: Not listed in extension whitelist, Exiting!");
        break;
    case TSystemType::BassStream: Log(proc, "Detected bass audio url stream, Exiting."); break;
    case TSystemType::DirectXStream: Log(proc, "Detected directx video url stream, Exiting."); break;
    case TSystemType::BassFile: Log(proc, "Detected bass audio file"); break;
    case TSystemType::DirectXAudio: Log(proc, "Detected directx audio file"); break;
    case TSystemType::DirectXVideo: Log(proc, "Detected directx video file"); break;
    case TSystemType::DVD: Log(proc, "Detected dvd file"); break;
    case TSystemType::CDTrack: Log(proc, "Detected music cd file"); break;
    }
    Log(proc, "Leave with result: " + std::to_string(static_cast<int>(type)));
    return type;
}

void TKSystem::Play(int index)
{
    const char* proc = "TKSystem.Play";
    Log(proc, "Enter with Index=" + Quoted(std::to_string(index)));
    Log(proc, "Clear stream infos/error");
    StreamInfos.clear();
    TKPlaylistEntry* entry = PlaylistGetItem(index);
    if (!entry) {
        Log(proc, "Detect playlist item failed!");
        return;
    }
    const std::u16string fileName = entry->FileName;
    const TSystemType type = GetSystemTypFromFileName(fileName);
    if (type == TSystemType::None) {
        Log(proc, "Detect system type failed!");
        ShowMediaProblem(TKErrorCode::ExtensionFiltered, fileName, 0);
        return;
    }
    if (SysActive) {
        Log(proc, "Stopping running system...");
        Stop(false);
    }
    CurrentItem = entry;
    CurrentEntry = *entry;
    SystemType = type;
    view_->SetTimer(TKPlayTimer::PlayTimer, false);
    Log(proc, "Play system type...");
    switch (type) {
    case TSystemType::BassFile: PlayFile(fileName); break;
    case TSystemType::BassStream: PlayStream(fileName); break;
    case TSystemType::DirectXVideo:
    case TSystemType::DirectXAudio: video_->Play(*this, fileName, false, false); break;
    case TSystemType::DirectXStream: video_->Play(*this, fileName, true, false); break;
    case TSystemType::DVD: video_->Play(*this, fileName, false, true); break;
    case TSystemType::CDTrack: PlayCD(fileName); break;
    case TSystemType::None: break;
    }
    Log(proc, "Show media info...");
    Log(proc, "Leave");
}

void TKSystem::StartPlay()
{
    const char* proc = "TKSystem.StartPlay";
    Log(proc, "Enter");
    if (PlaylistCount() > 0 && PlaylistItemIndex == -1) {
        Log(proc, "No selected playlist entry found!");
        Log(proc, "Use first playlist entry");
        PlaylistItemIndex = 0;
    }
    if (PlaylistItemIndex < 0 || PlaylistItemIndex >= PlaylistCount()) {
        Log(proc, "Leave");
        return;
    }
    const std::u16string fileName = PlaylistGetItem(PlaylistItemIndex)->FileName;
    if (Config && Config->OFACheckIsValidFile && !KFileExists(fileName) && !IsURL(fileName) &&
        WideLowerCase(ExtractFileExtW(fileName)) != u".cda") {
        Log(proc, "Check for file validation failed!");
        Log(proc, "Show media problems 1000");
        ShowMediaProblem(TKErrorCode::FileNotFound, fileName, 0);
        Log(proc, "Exiting");
        return;
    }
    Play(PlaylistItemIndex);
    Log(proc, "Leave");
}

void TKSystem::CancelPendingSyncs()
{
    pendingFadeSync_ = 0;
    pendingEndSync_ = 0;
    view_->SetTimer(TKPlayTimer::SyncFadeOutProcStartTimer, false);
    view_->SetTimer(TKPlayTimer::SyncEndProcStartTimer, false);
}

void TKSystem::RemoveSyncs(DWORD channel)
{
    if (FadeSyncHandle)
        BASS_ChannelRemoveSync(channel, FadeSyncHandle);
    if (EndSyncHandle)
        BASS_ChannelRemoveSync(channel, EndSyncHandle);
    FadeSyncHandle = 0;
    EndSyncHandle = 0;
}

void TKSystem::Stop(bool fullStop)
{
    const char* proc = "TKSystem.Stop";
    Log(proc, std::string("Enter with Fullstop=") + Quoted(TrueFalse(fullStop)));
    if (fullStop && !SysActive) {
        Log(proc, "Double stop, reset only directx types");
        if (IsDirectXType(LastSystemType))
            ResetDirectX(true);
        Log(proc, "No stop needed, Exiting!");
        return;
    }
    // A sync that fired before this stop must not start the next track.
    CancelPendingSyncs();
    const int previousFading = FadingSlot;
    FadingSlot = -1;
    Log(proc, "Store last item");
    LastItem = CurrentItem;
    LastSystemType = SystemType;
    LastPlayedIndex = PlaylistPlayingIndex();
    const bool fader = Config && Config->Fader.Enabled;
    Log(proc, "Handle system type...");
    switch (LastSystemType) {
    case TSystemType::BassFile:
    case TSystemType::BassStream: {
        RemoveSyncs(CurrentSlot()[0]);
        const bool startFade = fader && (LastSystemType == TSystemType::BassStream || !FadeRunning);
        if (startFade) {
            // Only one slot fades at a time: an older fade ends here.
            if (previousFading >= 0 && previousFading != ChannelSlotIndex)
                StreamSetFree(ChannelSlots[previousFading]);
            FadingSlot = ChannelSlotIndex < 0 ? 0 : ChannelSlotIndex;
            if (LastSystemType == TSystemType::BassStream)
                BufferPercent = 0;
            FadeOutSlot();
        } else {
            if (LastSystemType == TSystemType::BassStream)
                AudioLiveStreamStop();
            StreamSetStop(CurrentSlot());
            StreamSetFree(CurrentSlot());
            // The fade still running finishes and its timer frees it.
            if (FadeRunning)
                FadingSlot = previousFading;
            FadeRunning = false;
        }
        break;
    }
    case TSystemType::CDTrack:
        RemoveSyncs(CDChannel);
        BASS_ChannelStop(CDChannel);
        BASS_StreamFree(CDChannel);
        CDChannel = 0;
        break;
    case TSystemType::DirectXVideo:
    case TSystemType::DirectXStream:
    case TSystemType::DVD:
        StopDirectX();
        ResetDirectX(fullStop);
        if (LastSystemType == TSystemType::DVD)
            view_->DisableVideoMenu();
        break;
    case TSystemType::DirectXAudio:
        StopDirectX();
        ResetDirectX(false);
        view_->DisableVideoMenu();
        break;
    case TSystemType::None: break;
    }
    Log(proc, "Handle system type ok");
    SysActive = false;
    SysPlayed = false;
    SysPaused = false;
    PlaylistClearPlayed();
    view_->RefreshPlaylist();

    view_->SetProgressBar(0, false, 100, 0);
    view_->SetTimer(TKPlayTimer::PlayTimer, false);
    view_->SetStatusIcon(TKStatusIcon::Stopped);
    view_->SetStatusText(Texts.Ready);
    view_->ClearAnalyzer();
    view_->ShowTime(-1, -1, -1, false);
    SwapMemory();
    Log(proc, "Leave");
}

void TKSystem::Pause()
{
    if (!SysActive)
        return;
    const char* proc = "TKSystem.Pause";
    Log(proc, "Enter");
    if (SysPaused) {
        switch (SystemType) {
        case TSystemType::BassFile:
        case TSystemType::BassStream: StreamSetResume(CurrentSlot()); break;
        case TSystemType::CDTrack: BASS_ChannelPlay(CDChannel, false); break;
        case TSystemType::None: break;
        default: video_->Resume(); break;
        }
        SysPaused = false;
        SysPlayed = true;
        SetRecordPlaying(SystemType == TSystemType::BassStream);
        view_->SetTimer(TKPlayTimer::PlayTimer, true, 333);
        view_->UpdateVideoMenu();
        PlayingTitle = WideFormat(Texts.IsPlaying, CurrentEntry.Caption);
        view_->SetStatusText(PlayingTitle);
        view_->SetStatusIcon(TKStatusIcon::Play);
    } else {
        switch (SystemType) {
        case TSystemType::BassFile:
        case TSystemType::BassStream: StreamSetPause(CurrentSlot()); break;
        case TSystemType::CDTrack: BASS_ChannelPause(CDChannel); break;
        case TSystemType::None: break;
        default: video_->Pause(); break;
        }
        SysPlayed = false;
        SysPaused = true;
        SetRecordPlaying(false);
        view_->SetTimer(TKPlayTimer::PlayTimer, false);
        view_->UpdateVideoMenu();
        view_->SetStatusText(Texts.Paused);
        view_->SetStatusIcon(TKStatusIcon::Paused);
    }
    view_->ClearAnalyzer();
    Log(proc, "Leave");
}

void TKSystem::VideoIsFinished()
{
    const char* proc = "TKSystem.VideoIsFinished";
    Log(proc, "Enter");
    MediumEnded(true);
    Log(proc, "Leave");
}

void TKSystem::ShowMediaProblem(TKErrorCode code, const std::u16string& fileName, int extra)
{
    Log("TKSystem.ShowMediaProblem", "Show media problem " + std::to_string(static_cast<int>(code)) + " for " +
                                         Quoted(Utf16ToUtf8(fileName)) + " (" + std::to_string(extra) + ")");
    if (!Config)
        return;
    if (Config->Notifications.ShowMsgBoxOnProblems)
        ShowError(code, u"TKMedia", fileName, false);
    if (Config->Notifications.ShowBalloonOnProblems) {
        const std::u16string text = GetErrorText(code, fileName);
        if (!text.empty())
            view_->ShowBalloon(u"Kolvarin Media Player", text, 10, true);
    }
}

void TKSystem::ResetDirectX(bool fullStop)
{
    if (!IsDirectXType(LastSystemType))
        return;
    Log("TKSystem.ResetDirectX", "Reset directx interfaces");
    video_->Reset(fullStop && LastSystemType != TSystemType::DirectXAudio);
}

void TKSystem::StopDirectX()
{
    Log("TKSystem.StopDirectX", "Stopping filter graph...");
    video_->Stop();
}

void TKSystem::SwapMemory()
{
    if (Config && Config->SwapMemoryMngt)
        ::malloc_trim(0);
}

bool TKSystem::CheckQuitAfterPlay()
{
    if (!QuitAfterPlay)
        return false;
    const char* proc = "CheckQuitAfterPlay";
    Log(proc, "Quit after play active.");
    QuitAfterPlay = false;
    Log(proc, "Terminate application");
    if (Terminate)
        Terminate();
    return true;
}

// The end of a medium (sync, poll or video end): quit after play, else stop
// softly and move on by the play mode.
void TKSystem::MediumEnded(bool checkQuit)
{
    if (checkQuit && CheckQuitAfterPlay()) {
        Log("TKSystem.MediumEnded", "Quit active, Exiting!");
        return;
    }
    const int index = PlaylistPlayingIndex();
    Log("TKSystem.MediumEnded", "Playlist play index: " + std::to_string(index));
    LastPlayedIndex = index;
    FadeRunning = false;
    Stop(false);
    if (Config && Config->PlayMode.Enabled) {
        Log("TKSystem.MediumEnded", "Execute playmode...");
        PlayNextOrPrevious(false, true, index, false);
    } else {
        Log("TKSystem.MediumEnded", "Playmode disabled");
    }
}

void TKSystem::SaveScrollLabel()
{
    Log("TKSystem.Play", "Save scrolllabel");
    savedStatusText_ = view_->StatusText();
    savedStatusIcon_ = view_->StatusIcon();
}

void TKSystem::RestoreScrollLabel()
{
    view_->SetStatusIcon(savedStatusIcon_);
    view_->SetStatusText(savedStatusText_);
}

void TKSystem::ChangeStatusWait()
{
    Log("TKSystem.Play", "Change to wait icon");
    view_->SetStatusIcon(TKStatusIcon::Wait);
    Log("TKSystem.Play", "Change to wait status");
    view_->SetStatusText(Texts.Loading);
}

void TKSystem::ChangeStatusConnecting()
{
    Log("TKSystem.Play", "Change to connecting icon");
    view_->SetStatusIcon(TKStatusIcon::Wait);
    Log("TKSystem.Play", "Change to connecting status");
    view_->SetStatusText(Texts.Connecting);
}

void TKSystem::MarkPlaying()
{
    PlaylistClearPlayed();
    if (CurrentItem)
        CurrentItem->PlayState = true;
    view_->RefreshPlaylist();
}

void TKSystem::ShowPlaying()
{
    view_->SetTimer(TKPlayTimer::PlayTimer, true, 333);
    view_->SetStatusIcon(TKStatusIcon::Play);
    PlayingTitle = WideFormat(Texts.IsPlaying, CurrentEntry.Caption);
    view_->SetStatusText(PlayingTitle);
    view_->RestartScrollLabels();
}

} // namespace kolvarin
