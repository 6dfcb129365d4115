#include "core/settings/kconfig.h"
#include "playback/kequalizer.h"
#include "playback/ksystem.h"

namespace kolvarin {

namespace {

// Gain read-modify-write on one effect; a missing effect has no effect.
void SetEffectGain(HFX fx, int value)
{
    if (!fx)
        return;
    BASS_DX8_PARAMEQ params;
    if (!BASS_FXGetParameters(fx, &params))
        return;
    params.fGain = EqualizerGainDb(value);
    BASS_FXSetParameters(fx, &params);
}

void SetBandDefaults(HFX fx, int band)
{
    if (!fx)
        return;
    BASS_DX8_PARAMEQ params;
    params.fCenter = static_cast<float>(EqualizerBandCenters[band]);
    params.fBandwidth = EqualizerBandwidth;
    params.fGain = 0;
    BASS_FXSetParameters(fx, &params);
}

void StoreBand(int band, int value)
{
    if (Config)
        Config->Equalizer[band] = value;
}

} // namespace

void TKSystem::SetupEqualizerBass()
{
    for (int band = 0; band < EqualizerBandCount; ++band)
        StreamSetSetFX(CurrentSlot(), BASS_FX_DX8_PARAMEQ, EqualizerFX[band]);
    for (int band = 0; band < EqualizerBandCount; ++band)
        for (HFX fx : EqualizerFX[band])
            SetBandDefaults(fx, band);
}

void TKSystem::SetupEqualizerCD()
{
    for (int band = 0; band < EqualizerBandCount; ++band) {
        EqualizerCDFX[band] = BASS_ChannelSetFX(CDChannel, BASS_FX_DX8_PARAMEQ, 0);
        SetBandDefaults(EqualizerCDFX[band], band);
    }
}

void TKSystem::ApplyEqualizer()
{
    switch (SystemType) {
    case TSystemType::None:
        for (int band = 0; band < EqualizerBandCount; ++band)
            StoreBand(band, EqualizerSliders[band]);
        break;
    case TSystemType::BassFile:
    case TSystemType::BassStream:
    case TSystemType::CDTrack:
        for (int band = 0; band < EqualizerBandCount; ++band)
            SetEqualizerBandBass(band, EqualizerSliders[band]);
        break;
    default: ApplyVideoEqualizer(); break;
    }
}

void TKSystem::SetEqualizerBandBass(int band, int value)
{
    if (band < 0 || band >= EqualizerBandCount)
        return;
    EqualizerSliders[band] = value;
    if (SystemType == TSystemType::CDTrack) {
        SetEffectGain(EqualizerCDFX[band], value);
    } else if (SystemType == TSystemType::BassFile || SystemType == TSystemType::BassStream) {
        for (HFX fx : EqualizerFX[band])
            SetEffectGain(fx, value);
    }
    StoreBand(band, value);
}

void TKSystem::ApplyVideoEqualizer()
{
    for (int band = 0; band < EqualizerBandCount; ++band) {
        StoreBand(band, EqualizerSliders[band]);
        video_->SetEqualizerBand(band, VideoEqualizerGain(EqualizerSliders[band]));
    }
}

void TKSystem::ResetEqualizer()
{
    EqualizerSliders.fill(EqualizerNeutralValue);
    ApplyEqualizer();
}

bool TKSystem::LoadEqualizerPreset(const std::u16string& fileName)
{
    TEqualizerValues values{EqualizerSliders};
    if (!kolvarin::LoadEqualizerPreset(fileName, values))
        return false;
    EqualizerSliders = values.Band;
    ApplyEqualizer();
    return true;
}

bool TKSystem::SaveEqualizerPreset(const std::u16string& fileName) const
{
    return kolvarin::SaveEqualizerPreset(fileName, TEqualizerValues{EqualizerSliders});
}

} // namespace kolvarin
