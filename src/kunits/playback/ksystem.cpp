#include "playback/ksystem.h"

#include <algorithm>
#include <malloc.h>
#include <utility>

#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "core/system/kdebug.h"
#include "core/system/kfiles.h"
#include "core/system/kglobals.h"
#include "core/text/kfunctions.h"
#include "core/text/kstrings.h"
#include "core/text/kwideformat.h"
#include "playback/kplayers_p.h"

namespace kolvarin {

TKSystem* PlaySystem = nullptr;
std::vector<std::string> AudioDevices;
BassInfo BassInfoRecord;

namespace {

bool IsDirectXType(TSystemType type) { return type >= TSystemType::DirectXVideo && type <= TSystemType::DVD; }

bool IsSlotType(TSystemType type) { return type == TSystemType::BassFile || type == TSystemType::BassStream; }

const char* TrueFalse(bool value) { return value ? "true" : "false"; }

} // namespace

TKSystem::TKSystem()
    : state_(std::make_unique<TKPlayState>()),
      view_(&nullView_),
      video_(&nullVideo_),
      players_(std::make_unique<TKPlayers>(*this))
{
    if (Config) {
        for (int i = 0; i < 10; ++i)
            state_->EqualizerSliders[i] = Config->Equalizer[i];
        state_->VolumeBar.Position = Config->Volume;
        state_->BalanceValue = Config->Balance;
        state_->SpeedValue = Config->Speed;
    } else {
        state_->EqualizerSliders.fill(12);
    }
}

TKSystem::~TKSystem()
{
    // The download callbacks point into the players: no stream may outlive
    // them, nor a stream list on its way.
    Current().CancelStart();
    FreeChannelSlots();
    if (players_->CD.Channel())
        players_->CD.Free();
}

void TKSystem::SetView(TKPlayerView* view) { view_ = view ? view : &nullView_; }
void TKSystem::SetVideoSide(TKVideoSide* video) { video_ = video ? video : &nullVideo_; }
void TKSystem::SetTerminateRequest(std::function<void()> terminate) { state_->Terminate = std::move(terminate); }
void TKSystem::SetDeviceSpeakers(int speakers) { state_->DeviceSpeakers = speakers; }

void TKSystem::FreeChannelSlots()
{
    for (auto& slot : players_->Slots.Sets)
        StreamSetFree(slot);
}

TKPlayer& TKSystem::Current() { return players_->Of(state_->SystemType); }

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
    state_->StreamInfos.clear();
    state_->StreamError = {};
    TKPlaylistEntry* entry = PlaylistGetItem(index);
    if (!entry) {
        Log(proc, "Detect playlist item failed!");
        return;
    }
    const std::u16string fileName = entry->FileName;
    CancelMoveOn();
    Current().CancelStart();
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
    state_->CurrentItem = entry;
    state_->CurrentEntry = *entry;
    state_->SystemType = type;
    view_->SetTimer(TKPlayTimer::PlayTimer, false);
    Log(proc, "Play system type...");
    Current().Play(fileName);
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

void TKSystem::Stop(bool fullStop)
{
    const char* proc = "TKSystem.Stop";
    Log(proc, std::string("Enter with Fullstop=") + Quoted(TrueFalse(fullStop)));
    TKPlayState& state = *state_;
    CancelMoveOn();
    Current().CancelStart();
    if (fullStop && !SysActive) {
        Log(proc, "Double stop, reset only directx types");
        if (IsDirectXType(state.LastSystemType))
            ResetDirectX(true);
        Log(proc, "No stop needed, Exiting!");
        return;
    }
    // A sync that fired before this stop must not start the next track.
    CancelPendingSyncs();
    TKChannelSlots& slots = players_->Slots;
    slots.StoppedFading = slots.Fading;
    slots.Fading = -1;
    Log(proc, "Store last item");
    state.LastItem = state.CurrentItem;
    state.LastSystemType = state.SystemType;
    LastPlayedIndex = PlaylistPlayingIndex();
    Log(proc, "Handle system type...");
    players_->Of(state.LastSystemType).Stop(fullStop);
    Log(proc, "Handle system type ok");
    SysActive = false;
    SysPlayed = false;
    SysPaused = false;
    PlaylistClearPlayed();
    view_->RefreshPlaylist();

    view_->SetProgressBar(0, false, 100, 0);
    view_->SetTimer(TKPlayTimer::PlayTimer, false);
    view_->SetStatusIcon(TKStatusIcon::Stopped);
    view_->SetStatusText(state.Texts.Ready);
    view_->ClearAnalyzer();
    view_->ShowTime(-1, -1, -1, false);
    if (!changingTrack_)
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
        Current().Resume();
        SysPaused = false;
        SysPlayed = true;
        view_->SetTimer(TKPlayTimer::PlayTimer, true, 333);
        video_->UpdateVideoMenu();
        state_->PlayingTitle = WideFormat(state_->Texts.IsPlaying, state_->CurrentEntry.Caption);
        view_->SetStatusText(state_->PlayingTitle);
        view_->SetStatusIcon(TKStatusIcon::Play);
    } else {
        Current().Pause();
        SysPlayed = false;
        SysPaused = true;
        view_->SetTimer(TKPlayTimer::PlayTimer, false);
        video_->UpdateVideoMenu();
        view_->SetStatusText(state_->Texts.Paused);
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
    if (!IsDirectXType(state_->LastSystemType))
        return;
    Log("TKSystem.ResetDirectX", "Reset directx interfaces");
    video_->Reset(fullStop && state_->LastSystemType != TSystemType::DirectXAudio);
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
    if (state_->Terminate)
        state_->Terminate();
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
    players_->Slots.FadeRunning = false;
    // The stop trims the working set once the next track has started: the
    // trim takes milliseconds that would let the output mix a period without it.
    changingTrack_ = true;
    Stop(false);
    if (Config && Config->PlayMode.Enabled) {
        Log("TKSystem.MediumEnded", "Execute playmode...");
        PlayNextOrPrevious(false, true, index, false);
    } else {
        Log("TKSystem.MediumEnded", "Playmode disabled");
    }
    changingTrack_ = false;
    SwapMemory();
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
    return SysActive && channel != 0 && channel == Current().SyncChannel();
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

void TKSystem::PostMoveOn(int index)
{
    pendingMoveOn_ = index;
    view_->SetTimer(TKPlayTimer::MoveOnTimer, true, 1);
}

void TKSystem::CancelMoveOn()
{
    if (pendingMoveOn_ < 0)
        return;
    pendingMoveOn_ = -1;
    state_->FailedStarts = 0;
    view_->SetTimer(TKPlayTimer::MoveOnTimer, false);
}

void TKSystem::MoveOnTimerTimer()
{
    view_->SetTimer(TKPlayTimer::MoveOnTimer, false);
    const int index = std::exchange(pendingMoveOn_, -1);
    if (index < 0)
        return;
    Log("TKSystem.MoveOn", "Move on from the entry that could not start: " + std::to_string(index));
    PlayNextOrPrevious(false, true, index, false);
}

void TKSystem::FadeOutStopTimerTimer()
{
    view_->SetTimer(TKPlayTimer::FadeOutStopTimer, false);
    TKChannelSlots& slots = players_->Slots;
    slots.FadeRunning = false;
    if (IsSlotType(state_->LastSystemType) && slots.Fading >= 0) {
        StreamSetStop(slots.Sets[slots.Fading]);
        StreamSetFree(slots.Sets[slots.Fading]);
    }
    slots.Fading = -1;
}

void TKSystem::PlayTimerTimer()
{
    if (!AppInitialized || AppKilled)
        return;
    Update();
}

void TKSystem::Update()
{
    if (!AppKilled && SysActive)
        Current().Update();
}

void TKSystem::RefreshTimeDisplay()
{
    if (SysActive)
        Current().RefreshTime();
}

bool TKSystem::GetSpectrumData(std::span<float> values)
{
    std::fill(values.begin(), values.end(), 0.0f);
    return (SysPlayed || SysPaused) && values.size() >= 512 && Current().GetSpectrumData(values);
}

void TKSystem::AudioLiveStreamRecord() { players_->Stream.RecordOn(); }
void TKSystem::AudioLiveStreamStop() { players_->Stream.RecordOff(); }
void TKSystem::RecordBlock(uint64_t source, const void* buffer, DWORD length)
{
    players_->Stream.RecordBlock(source, buffer, length);
}
TKSystem::TKRecorder TKSystem::RecorderState() const { return players_->Stream.RecorderState(); }
void TKSystem::SetRecordName(const std::string& name, bool split) { players_->Stream.SetRecordName(name, split); }

TSystemType TKSystem::SystemType() const { return state_->SystemType; }
TSystemType TKSystem::LastSystemType() const { return state_->LastSystemType; }
TKPlaylistEntry* TKSystem::CurrentItem() const { return state_->CurrentItem; }
const TKPlaylistEntry& TKSystem::CurrentEntry() const { return state_->CurrentEntry; }
TKPlaylistEntry* TKSystem::LastItem() const { return state_->LastItem; }
std::vector<TKStreamInfo>& TKSystem::StreamInfos() { return state_->StreamInfos; }
const TKStreamError& TKSystem::StreamError() const { return state_->StreamError; }

void TKSystem::GetVideoSize(int& width, int& height)
{
    width = height = 0;
    for (const TKStreamInfo& info : state_->StreamInfos)
        if (info.Kind == 1) {
            width = info.Width;
            height = info.Height;
            break;
        }
    Log("TKSystem.GetVideoSize",
        "Leave with result width=" + Quoted(std::to_string(width)) + ", height=" + Quoted(std::to_string(height)));
}
const std::u16string& TKSystem::PlayingTitle() const { return state_->PlayingTitle; }
bool TKSystem::Seekable() const { return state_->Seekable; }

void TKSystem::SetVideoSeekable(bool seekable)
{
    if (state_->SystemType == TSystemType::DVD)
        state_->Seekable = seekable;
}

int64_t TKSystem::ChannelLength() const { return state_->ChannelLength; }
int TKSystem::ChannelVolume() const { return state_->ChannelVolume; }
int TKSystem::ChannelBalance() const { return state_->ChannelBalance; }
HSYNC TKSystem::FadeSyncHandle() const { return state_->FadeSyncHandle; }
HSYNC TKSystem::EndSyncHandle() const { return state_->EndSyncHandle; }
const std::array<TStreamSet, 2>& TKSystem::ChannelSlots() const { return players_->Slots.Sets; }
int TKSystem::ChannelSlotIndex() const { return players_->Slots.Index; }
int TKSystem::FadingSlot() const { return players_->Slots.Fading; }
const std::array<std::array<HFX, 4>, 10>& TKSystem::EqualizerFX() const { return players_->Slots.EqualizerFX; }
HSTREAM TKSystem::CDChannel() const { return players_->CD.Channel(); }
DWORD TKSystem::CDDriveIndex() const { return players_->CD.Drive(); }
const std::array<HFX, 10>& TKSystem::EqualizerCDFX() const { return players_->CD.EqualizerFX(); }
double TKSystem::BufferPercent() const { return players_->Stream.BufferPercent(); }
const std::array<int, 10>& TKSystem::EqualizerSliders() const { return state_->EqualizerSliders; }
TKBar& TKSystem::VolumeBar() { return state_->VolumeBar; }
const TKPlayTexts& TKSystem::Texts() const { return state_->Texts; }

void TKSystem::SetTexts(const TKPlayTexts& texts)
{
    // A stream's own title comes back with its next update.
    const std::u16string& caption = state_->CurrentEntry.Caption;
    if (state_->PlayingTitle == WideFormat(state_->Texts.IsPlaying, caption))
        state_->PlayingTitle = WideFormat(texts.IsPlaying, caption);
    state_->Texts = texts;
}

} // namespace kolvarin
