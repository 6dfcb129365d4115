#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "core/system/kdebug.h"
#include "core/system/kerrors.h"
#include "core/system/kglobals.h"
#include "core/text/kstrings.h"
#include "playback/kplayers_p.h"

namespace kolvarin {

namespace {

std::string DurationText(int64_t units)
{
    const int64_t seconds = units / kVideoUnitsPerSecond;
    char text[32];
    std::snprintf(text, sizeof text, "%.2d:%.2d:%.2d", static_cast<int>(seconds / 3600 % 24),
                  static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
    return text;
}

} // namespace

void TKVideoPlayer::Play(const std::u16string& fileName)
{
    const bool dvd = kind_ == Kind::DVD;
    const bool stream = kind_ == Kind::Stream;
    const char* proc = dvd ? "TKSystem.Play.Play_DVD" : "TKSystem.Play.Play_DirectX";
    TKPlayState& state = State();
    if (!dvd)
        Log(proc, std::string("Enter with IsStream=") + Quoted(stream ? "true" : "false"));
    SaveScrollLabel();
    if (stream)
        ChangeStatusConnecting();
    else
        ChangeStatusWait();
    state.VideoLength = 0;
    state.VideoPosition = 0;
    state.SeekingCaps = 0;
    const uint64_t start = ++starts_;
    if (stream &&
        Video().FetchStream(fileName, [this, start, fileName](const std::u16string& address, const std::string& error) {
            if (start != starts_ || !fetching_)
                return;
            fetching_ = false;
            // The entry may have left the playlist while its list came.
            if (CurrentIndex() < 0) {
                RestoreScrollLabel();
                return;
            }
            Log("TKSystem.Play.Play_DirectX",
                address.empty() ? "Fetch stream list failed: " + error : "Stream: " + Utf16ToUtf8(address));
            Start(fileName, address);
        })) {
        Log(proc, "Fetch stream list...");
        fetching_ = true;
        return;
    }
    Start(fileName, fileName);
}

void TKVideoPlayer::CancelStart()
{
    if (!fetching_)
        return;
    Log("TKSystem.Play.Play_DirectX", "Fetch stream list cancelled");
    fetching_ = false;
    Video().CancelFetch();
    RestoreScrollLabel();
}

void TKVideoPlayer::Start(const std::u16string& fileName, const std::u16string& address)
{
    const bool dvd = kind_ == Kind::DVD;
    const char* proc = dvd ? "TKSystem.Play.Play_DVD" : "TKSystem.Play.Play_DirectX";
    TKPlayState& state = State();
    Log(proc, "Initialize video engine...");
    if (!Video().InitEngine(dvd)) {
        // Reported like a graph that cannot be built rather than returning
        // silently: 1002 is the DVD's problem, 1001 a file's.
        Log(proc, "Initialize video engine failed!");
        AbortStart(proc, dvd ? TKErrorCode::DirectShowInit : TKErrorCode::MediaNotPlayed, fileName);
        return;
    }
    Log(proc, "Initialize video engine ok");
    Log(proc, "Initialize video DSP");
    Video().InitDSP(Config && Config->QxDSPFilterActive);
    Log(proc, "Initialize video equalizer");
    System().ApplyVideoEqualizer();

    const std::string quoted = Quoted(Utf16ToUtf8(fileName));
    Log(proc, (dvd ? "Play dvd " : "Play video ") + quoted + "...");
    if (!Video().BuildGraph(System(), address, dvd)) {
        Log(proc, (dvd ? "Play dvd " : "Play video ") + quoted + " failed!");
        const TKErrorCode code = dvd ? TKErrorCode::DirectShowInit : TKErrorCode::MediaNotPlayed;
        state.StreamError = {static_cast<int32_t>(code), dvd ? "Could not play dvd!" : "Could not play video!"};
        AbortStart(proc, code, fileName);
        return;
    }
    Log(proc, "Play video " + quoted + " ok");

    const int index = CurrentIndex();
    Log(proc, "Prepare video with index " + Quoted(std::to_string(index)) + "...");
    PrepareVideo(dvd, index);

    if (!dvd) {
        Log(proc, "Get duration from media seeking...");
        if (kind_ != Kind::Stream && !Video().Duration(state.VideoLength)) {
            Log(proc, "Get duration from media seeking failed!");
            AbortStart(proc, TKErrorCode::CannotPlay, fileName);
            return;
        }
        Log(proc, "-- Video length: " + std::to_string(state.VideoLength));
    }

    state.StreamError.Code = 0;
    Log(proc, "Play filtergraph...");
    std::string message;
    if (!Video().Run(message)) {
        Log(proc, "Play filtergraph failed: " + message);
        state.StreamError = {static_cast<int32_t>(TKErrorCode::CannotPlay), message};
        AbortStart(proc, TKErrorCode::CannotPlay, fileName);
        return;
    }
    if (dvd) {
        Log(proc, "Disable seeking caps");
        state.SeekingCaps = 0;
        Log(proc, "Reset video length");
        state.VideoLength = 0;
    } else {
        state.SeekingCaps = Video().SeekingCaps();
    }
    Log(proc, "Activate play system");
    InitPlaySystem(fileName);
    Video().Started();
    if (Video().Visible()) {
        Log(proc, "Video window to the foreground");
        Video().ToForeground();
    }
    Log(proc, "Calculate video ratio");
    Video().SetAspectRatio();
    Log(proc, "Leave");
}

void TKVideoPlayer::PrepareVideo(bool dvd, int index)
{
    const char* proc = "TKSystem.PrepareVideo";
    const bool hasVideo = Video().Prepare(System(), dvd, index);
    // The main window's audio menus are not for this medium; its video menu
    // serves only a picture.
    Log(proc, "Disable video menu");
    Log(proc, "Disable audio menu");
    Log(proc, "Disable audio livestream menu");
    View().SetAudioMenu(false, false);
    if (hasVideo) {
        Log(proc, "Enable video menu");
        View().UpdateVideoMenu();
    } else {
        View().DisableVideoMenu();
    }
    Log(proc, "Set video defaults...");
    Video().SetVideoDefaults();
    Log(proc, "Leave");
}

void TKVideoPlayer::AbortStart(const char* proc, TKErrorCode code, const std::u16string& fileName)
{
    Log(proc, "Change to ready status");
    ChangeStatusReady();
    RestoreScrollLabel();
    Log(proc, "Show media problems " + std::to_string(static_cast<int>(code)));
    System().ShowMediaProblem(code, fileName, 0);
    Log(proc, "Stop full...");
    System().StopDirectX();
    System().ResetDirectX(true);
    System().Stop(true);
    Log(proc, "Exiting");
    MoveOnAfterFailure();
}

void TKVideoPlayer::InitPlaySystem(const std::u16string& fileName)
{
    const char* proc = "TKSystem.Play.InitPlaySystem";
    TKPlayState& state = State();
    Log(proc, "Write history entry");
    EnterPlaying(fileName);
    const std::string duration = DurationText(state.VideoLength);
    Log(proc, "--- Duration: " + duration);
    if (Config && Config->OFPReadTime && state.CurrentItem && state.VideoLength > 0) {
        Log(proc, "Write time to playlist entry");
        // The playing entry too: the media information shown next reads it.
        state.CurrentItem->Time = state.CurrentEntry.Time = duration;
    }
    state.ChannelLength = state.VideoLength;
    System().SetSpeed(state.SpeedValue);
    System().SetVolume(false, state.VolumeBar);
    FinishStart(state.VideoLength > 0 && state.SeekingCaps != 0);
}

void TKVideoPlayer::Stop(bool fullStop)
{
    System().StopDirectX();
    // DirectShow audio has no video window to leave.
    System().ResetDirectX(kind_ != Kind::Audio && fullStop);
    if (kind_ == Kind::Audio || kind_ == Kind::DVD)
        View().DisableVideoMenu();
}

void TKVideoPlayer::Pause() { Video().Pause(); }

void TKVideoPlayer::Resume() { Video().Resume(); }

void TKVideoPlayer::Update()
{
    if (kind_ == Kind::DVD)
        return;
    const int graphState = Video().GraphState();
    if (graphState != 2 && graphState != 3)
        return;
    TKPlayState& state = State();
    state.Seekable = state.VideoLength > 0;
    if (!Video().Position(state.VideoPosition))
        Log("TKSystem.Update", "Get current position failed!");
    if (state.VideoPosition <= 0)
        return;
    if (!View().SeekBarDragging())
        View().SetProgressPosition(true, state.VideoPosition);
    ShowVideoTime(state.VideoPosition);
}

void TKVideoPlayer::RefreshTime()
{
    if (kind_ != Kind::DVD)
        ShowVideoTime(State().VideoPosition < kVideoUnitsPerSecond ? 0 : State().VideoPosition);
}

void TKVideoPlayer::ShowVideoTime(int64_t position)
{
    const TKPlayState& state = State();
    const bool remaining = kind_ != Kind::Stream && Config && Config->TimeMode == 1;
    ShowTimeOf((remaining ? state.VideoLength - position : position) / (kVideoUnitsPerSecond / 1000));
}

void TKVideoPlayer::SetVolume(bool, const TKBar& bar, bool mute)
{
    const int volume = bar.Max > 0 && bar.Position > 1 ? static_cast<int>(bar.Position * 10000 / bar.Max) : 0;
    Video().SetVolume(mute ? 0 : volume);
}

void TKVideoPlayer::SetPosition(int64_t position)
{
    if (kind_ != Kind::DVD) {
        Video().SetPosition(position);
        return;
    }
    // A disc's bar counts milliseconds of its title; a time code goes up to 255 hours.
    const int64_t seconds = std::clamp<int64_t>(position / 1000, 0, 255 * 3600 + 3599);
    Video().PlayAtTime(static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                       static_cast<int>(seconds % 60));
}

int64_t TKVideoPlayer::JumpStep(int32_t milliseconds)
{
    switch (kind_) {
    // Whole seconds, as the bar once counted them (halves to even).
    case Kind::File:
    case Kind::Audio: return static_cast<int64_t>(std::nearbyint(milliseconds / 1000.0)) * kVideoUnitsPerSecond;
    case Kind::DVD: return milliseconds;
    case Kind::Stream: break;
    }
    return 0;
}

std::u16string TKVideoPlayer::PositionText(int64_t position)
{
    switch (kind_) {
    case Kind::File:
    case Kind::Audio: return SecondsText(position / kVideoUnitsPerSecond);
    // A disc's title time wraps at a day, as its time code does.
    case Kind::DVD: return SecondsText(position / 1000 % 86400);
    case Kind::Stream: break;
    }
    return {};
}

void TKVideoPlayer::SetSpeed(int speed) { Video().SetRate(VideoSpeedRate(speed)); }

void TKVideoPlayer::SetBalance(int value, int64_t max)
{
    if (max > 0)
        Video().SetBalance(static_cast<int>(10000 - 2 * (value * 10000 / max)));
}

void TKVideoPlayer::ApplyEqualizer() { System().ApplyVideoEqualizer(); }

bool TKVideoPlayer::GetSpectrumData(std::span<float> values)
{
    return Config && Config->QxDSPFilterActive && Video().GetSpectrumData(values);
}

} // namespace kolvarin
