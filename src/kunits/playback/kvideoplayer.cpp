#include "core/system/kerrors.h"
#include "playback/kplayers_p.h"

namespace kolvarin {

bool TKVideoSide::Play(TKSystem& system, const std::u16string& fileName, bool, bool)
{
    // No engine for video yet: say so the way a failed engine start does.
    system.ShowMediaProblem(TKErrorCode::DirectShowInit, fileName, 0);
    return false;
}

void TKVideoPlayer::Play(const std::u16string& fileName)
{
    Video().Play(System(), fileName, kind_ == Kind::Stream, kind_ == Kind::DVD);
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

void TKVideoPlayer::SetVolume(bool, const TKBar& bar, bool mute)
{
    const int volume = bar.Max > 0 && bar.Position > 1 ? static_cast<int>(bar.Position * 10000 / bar.Max) : 0;
    Video().SetVolume(mute ? 0 : volume);
}

void TKVideoPlayer::SetSpeed(int speed) { Video().SetRate(VideoSpeedRate(speed)); }

void TKVideoPlayer::SetBalance(int value, int64_t max)
{
    if (max > 0)
        Video().SetBalance(static_cast<int>(10000 - 2 * (value * 10000 / max)));
}

void TKVideoPlayer::ApplyEqualizer() { System().ApplyVideoEqualizer(); }

} // namespace kolvarin
