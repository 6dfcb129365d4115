#include "core/settings/kconfig.h"
#include "playback/ksystem.h"

namespace kolvarin {

namespace {

bool IsBassType(TSystemType type)
{
    return type == TSystemType::BassFile || type == TSystemType::BassStream || type == TSystemType::CDTrack;
}

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
    const bool mute = Config && Config->Mute;
    if (IsBassType(SystemType)) {
        ChannelVolume = bar.Max > 0 ? static_cast<int>(bar.Position * 100 / bar.Max) : 0;
        if (noApply)
            return;
        const int target = mute ? 0 : ChannelVolume;
        const bool slide = Config && Config->Fader.VolumeEnabled;
        const int time = Config ? std::max<int>(Config->Fader.VolumeCount, 0) : 0;
        if (slide)
            StreamSetSlideAttributes(PlayingSet(), ChannelFrequency, target, time, ChannelBalance);
        else
            StreamSetSetAttributes(PlayingSet(), ChannelFrequency, target, ChannelBalance);
    } else if (SystemType != TSystemType::None) {
        int volume = bar.Max > 0 && bar.Position > 1 ? static_cast<int>(bar.Position * 10000 / bar.Max) : 0;
        video_->SetVolume(mute ? 0 : volume);
    }
}

void TKSystem::SetPosition(const TKBar& bar)
{
    switch (SystemType) {
    case TSystemType::BassFile:
    case TSystemType::BassStream:
    case TSystemType::CDTrack: StreamSetSetPosition(PlayingSet(), bar.Position); break;
    default: break; // the video side seeks its own graph
    }
}

void TKSystem::SetSpeed(int speed)
{
    speed = std::clamp(speed, 1, 12);
    SpeedValue = speed;
    if (Config)
        Config->Speed = speed;
    if (IsBassType(SystemType)) {
        ChannelFrequency = SpeedFrequency(BaseFrequency, speed);
        StreamSetSetFrequency(PlayingSet(), ChannelFrequency);
    } else if (SystemType != TSystemType::None) {
        video_->SetRate(VideoSpeedRate(speed));
    }
}

void TKSystem::SetBalance(int value, int64_t max)
{
    BalanceValue = value;
    if (IsBassType(SystemType)) {
        ChannelBalance = value - 100;
        // Only the pan: setting the volume too would end a fade-in and undo mute.
        for (HSTREAM h : PlayingSet())
            if (h)
                BASS_ChannelSetAttribute(h, bass::kAttribPan, ChannelBalance / 100.0f);
    } else if (SystemType != TSystemType::None && max > 0) {
        video_->SetBalance(static_cast<int>(10000 - 2 * (value * 10000 / max)));
    }
}

} // namespace kolvarin
