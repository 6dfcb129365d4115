#include "core/settings/kconfig.h"
#include "playback/kequalizer.h"
#include "playback/kplayers_p.h"

namespace kolvarin {

namespace {

void StoreBand(int band, int value)
{
    if (Config)
        Config->Equalizer[band] = value;
}

} // namespace

// Gain read-modify-write on one effect; a missing effect has no effect.
void SetEqualizerEffectGain(HFX fx, int value)
{
    if (!fx)
        return;
    BASS_DX8_PARAMEQ params;
    if (!BASS_FXGetParameters(fx, &params))
        return;
    params.fGain = EqualizerGainDb(value);
    BASS_FXSetParameters(fx, &params);
}

void SetEqualizerBandDefaults(HFX fx, int band)
{
    if (!fx)
        return;
    BASS_DX8_PARAMEQ params;
    params.fCenter = static_cast<float>(EqualizerBandCenters[band]);
    params.fBandwidth = EqualizerBandwidth;
    params.fGain = 0;
    BASS_FXSetParameters(fx, &params);
}

void TKSystem::ApplyEqualizer() { Current().ApplyEqualizer(); }

void TKNoPlayer::ApplyEqualizer()
{
    for (int band = 0; band < EqualizerBandCount; ++band)
        StoreBand(band, State().EqualizerSliders[band]);
}

void TKAudioPlayer::ApplyEqualizer()
{
    for (int band = 0; band < EqualizerBandCount; ++band)
        System().SetEqualizerBandBass(band, State().EqualizerSliders[band]);
}

void TKSystem::SetEqualizerBandBass(int band, int value)
{
    if (band < 0 || band >= EqualizerBandCount)
        return;
    state_->EqualizerSliders[band] = value;
    Current().SetEqualizerBand(band, value);
    StoreBand(band, value);
}

void TKSystem::ApplyVideoEqualizer()
{
    for (int band = 0; band < EqualizerBandCount; ++band) {
        StoreBand(band, state_->EqualizerSliders[band]);
        video_->SetEqualizerBand(band, VideoEqualizerGain(state_->EqualizerSliders[band]));
    }
}

void TKSystem::ResetEqualizer()
{
    state_->EqualizerSliders.fill(EqualizerNeutralValue);
    ApplyEqualizer();
}

bool TKSystem::LoadEqualizerPreset(const std::u16string& fileName)
{
    TEqualizerValues values{state_->EqualizerSliders};
    if (!kolvarin::LoadEqualizerPreset(fileName, values))
        return false;
    state_->EqualizerSliders = values.Band;
    ApplyEqualizer();
    return true;
}

bool TKSystem::SaveEqualizerPreset(const std::u16string& fileName) const
{
    return kolvarin::SaveEqualizerPreset(fileName, TEqualizerValues{state_->EqualizerSliders});
}

} // namespace kolvarin
