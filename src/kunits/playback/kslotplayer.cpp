#include "core/settings/kconfig.h"
#include "playback/kequalizer.h"
#include "playback/kplayers_p.h"

namespace kolvarin {

DWORD TKSlotPlayer::SyncChannel() const { return Slots().Current()[0]; }

TStreamSet TKSlotPlayer::PlayingSet() const { return Slots().Current(); }

void TKSlotPlayer::SelectChannelSlot()
{
    TKChannelSlots& s = Slots();
    if (s.Index < 0)
        s.Index = 0;
    else if (Config && Config->Fader.Enabled)
        s.Index = s.Index == 0 ? 1 : 0;
    else
        s.Index = 0;
    // The slot about to be filled may still be fading out: that fade ends now,
    // and its stop timer must not free the new stream.
    if (s.Fading == s.Index) {
        View().SetTimer(TKPlayTimer::FadeOutStopTimer, false);
        s.Fading = -1;
        s.FadeRunning = false;
    }
    StreamSetFree(s.Current());
}

void TKSlotPlayer::Stop(bool) { EndSlot(Config && Config->Fader.Enabled && !Slots().FadeRunning); }

void TKSlotPlayer::EndSlot(bool fade)
{
    TKChannelSlots& s = Slots();
    RemoveSyncs(s.Current()[0]);
    if (fade) {
        // Only one slot fades at a time: an older fade ends here.
        if (s.StoppedFading >= 0 && s.StoppedFading != s.Index)
            StreamSetFree(s.Sets[s.StoppedFading]);
        s.Fading = s.Index < 0 ? 0 : s.Index;
        FadeOutSlot();
    } else {
        Leaving();
        StreamSetStop(s.Current());
        StreamSetFree(s.Current());
        // The fade still running finishes and its timer frees it.
        if (s.FadeRunning)
            s.Fading = s.StoppedFading;
        s.FadeRunning = false;
    }
}

void TKSlotPlayer::FadeOutSlot()
{
    Leaving();
    TKChannelSlots& s = Slots();
    if (s.Fading < 0)
        return;
    const TKPlayState& state = State();
    StreamSetSlideAttributes(s.Sets[s.Fading], state.ChannelFrequency, 0, FadeTime(), state.ChannelBalance);
    s.FadeRunning = true;
    View().SetTimer(TKPlayTimer::FadeOutStopTimer, true, std::max(FadeTime(), 1));
}

void TKSlotPlayer::Pause() { StreamSetPause(Slots().Current()); }

void TKSlotPlayer::Resume() { StreamSetResume(Slots().Current()); }

void TKSlotPlayer::SetupEqualizer()
{
    TKChannelSlots& s = Slots();
    for (int band = 0; band < EqualizerBandCount; ++band)
        StreamSetSetFX(s.Current(), BASS_FX_DX8_PARAMEQ, s.EqualizerFX[band]);
    for (int band = 0; band < EqualizerBandCount; ++band)
        for (HFX fx : s.EqualizerFX[band])
            SetEqualizerBandDefaults(fx, band);
}

void TKSlotPlayer::SetEqualizerBand(int band, int value)
{
    for (HFX fx : Slots().EqualizerFX[band])
        SetEqualizerEffectGain(fx, value);
}

} // namespace kolvarin
