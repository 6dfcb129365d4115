#include "core/settings/kconfig.h"
#include "playback/kplayers_p.h"

namespace kolvarin {

namespace {

int64_t RoundDownToMultiple(int64_t value, int64_t step) { return value - value % step; }

} // namespace

int SpeedFrequency(int baseFrequency, int speed)
{
    speed = std::clamp(speed, 1, 12);
    if (speed <= 4)
        return baseFrequency / 4 * speed;
    // Above 2.5 × 44.1 kHz the steps still raise the rate: up to 2.5 × base.
    // Multiplying before dividing lets step 12 reach the top exactly.
    const int64_t top = baseFrequency < 110250 ? 110250 : int64_t{baseFrequency} * 5 / 2;
    return static_cast<int>(baseFrequency + (speed - 4) * (top - baseFrequency) / 8);
}

double VideoSpeedRate(int speed) { return std::clamp(speed, 1, 10) * 0.25; }

void TKSystem::SetVolume(bool noApply, TKBar& bar)
{
    bar.Position = RoundDownToMultiple(bar.Position, 100);
    if (Config)
        Config->Volume = static_cast<int32_t>(bar.Position);
    Current().SetVolume(noApply, bar, Config && Config->Mute);
}

void TKSystem::SetPosition(const TKBar& bar) { Current().SetPosition(bar.Position); }

int64_t TKSystem::JumpedPosition(int64_t position, int64_t max, int sign)
{
    const int64_t step = Current().JumpStep(Config ? Config->JumpInterval : 5000);
    return sign > 0 ? std::min(position + step, max) : std::max<int64_t>(position - step, 0);
}

std::u16string TKSystem::PositionText(int64_t position) { return Current().PositionText(position); }

void TKSystem::SetSpeed(int speed)
{
    speed = std::clamp(speed, 1, 12);
    state_->SpeedValue = speed;
    if (Config)
        Config->Speed = speed;
    Current().SetSpeed(speed);
}

void TKSystem::SetBalance(int value, int64_t max)
{
    state_->BalanceValue = value;
    Current().SetBalance(value, max);
}

void TKAudioPlayer::SetVolume(bool noApply, const TKBar& bar, bool mute)
{
    TKPlayState& state = State();
    state.ChannelVolume = bar.Max > 0 ? static_cast<int>(bar.Position * 100 / bar.Max) : 0;
    if (noApply)
        return;
    const int target = mute ? 0 : state.ChannelVolume;
    const bool slide = Config && Config->Fader.VolumeEnabled;
    const int time = Config ? std::max<int>(Config->Fader.VolumeCount, 0) : 0;
    if (slide)
        StreamSetSlideAttributes(PlayingSet(), state.ChannelFrequency, target, time, state.ChannelBalance);
    else
        StreamSetSetAttributes(PlayingSet(), state.ChannelFrequency, target, state.ChannelBalance);
}

void TKAudioPlayer::SetPosition(int64_t bytes) { StreamSetSetPosition(PlayingSet(), bytes); }

void TKAudioPlayer::SetSpeed(int speed)
{
    TKPlayState& state = State();
    state.ChannelFrequency = SpeedFrequency(state.BaseFrequency, speed);
    StreamSetSetFrequency(PlayingSet(), state.ChannelFrequency);
}

void TKAudioPlayer::SetBalance(int value, int64_t)
{
    TKPlayState& state = State();
    state.ChannelBalance = value - 100;
    // Only the pan: setting the volume too would end a fade-in and undo mute.
    for (HSTREAM h : PlayingSet())
        if (h)
            BASS_ChannelSetAttribute(h, bass::kAttribPan, state.ChannelBalance / 100.0f);
}

} // namespace kolvarin
