// Volume, position, speed, balance and the equalizer of the running medium.
#include "audio/offline.h"
#include "core/settings/kconfig.h"
#include "core/system/kglobals.h"
#include "core/text/kstrings.h"
#include "playback/kequalizer.h"
#include "playsystem_fixture.h"

namespace {

using namespace kolvarin;
using ktest::dcWav;
using ktest::level;

class ControlsTest : public ktest::PlaySystemTest {
protected:
    void SetUp() override
    {
        PlaySystemTest::SetUp();
        Config->Fader.Enabled = false;
        add(dcWav("both.wav", 0.5, 0.5, 1000));
        system->Play(0);
    }
    float attribute(DWORD attrib)
    {
        float value = -1;
        BASS_ChannelGetAttribute(system->ChannelSlots()[0][0], attrib, &value);
        return value;
    }
};

TEST_F(ControlsTest, VolumeRoundsTheBarAndFollowsMute)
{
    TKBar bar{10000, 4567};
    system->SetVolume(false, bar);
    EXPECT_EQ(bar.Position, 4500);
    EXPECT_EQ(Config->Volume, 4500);
    EXPECT_EQ(system->ChannelVolume(), 45);
    EXPECT_NEAR(attribute(bass::kAttribVol), 0.45f, 1e-4);
    Config->Mute = true;
    system->SetVolume(false, bar);
    EXPECT_EQ(attribute(bass::kAttribVol), 0.0f);
    Config->Mute = false;
    Config->Fader.VolumeEnabled = true;
    Config->Fader.VolumeCount = 100;
    bar.Position = 10000;
    system->SetVolume(false, bar);
    EXPECT_TRUE(BASS_ChannelIsSliding(system->ChannelSlots()[0][0], bass::kAttribVol));
    advance(120);
    EXPECT_NEAR(attribute(bass::kAttribVol), 1.0f, 1e-4);
}

TEST_F(ControlsTest, BalanceMovesOnlyThePan)
{
    system->SetBalance(100);
    EXPECT_EQ(system->ChannelBalance(), 0);
    system->SetBalance(0);
    EXPECT_EQ(system->ChannelBalance(), -100);
    EXPECT_NEAR(attribute(bass::kAttribPan), -1.0f, 1e-4);
    const auto out = advance(50);
    EXPECT_GT(level(out, 0, 0, out.size() / 2), 0.4);
    EXPECT_LT(level(out, 1, 0, out.size() / 2), 0.01);
    // Balance during a muted medium keeps it muted.
    Config->Mute = true;
    TKBar bar{10000, 10000};
    system->SetVolume(false, bar);
    system->SetBalance(150);
    EXPECT_EQ(attribute(bass::kAttribVol), 0.0f);
}

TEST_F(ControlsTest, SpeedTable)
{
    struct Case {
        int base, speed, frequency;
    };
    const Case cases[] = {
        {44100, 4, 44100}, {44100, 1, 11025},   {44100, 12, 110250}, {44100, 8, 77175},    {48000, 12, 110250},
        {48000, 0, 12000}, {48000, 13, 110250}, {192000, 5, 228000}, {192000, 12, 480000}, // above 110250 Hz a step
                                                                                           // still raises the rate
    };
    for (const auto& c : cases)
        EXPECT_EQ(SpeedFrequency(c.base, c.speed), c.frequency) << c.base << " at " << c.speed;
    const double rates[] = {0.25, 0.25, 1.0, 2.5, 2.5, 2.5};
    const int speeds[] = {0, 1, 4, 10, 11, 12};
    for (int i = 0; i < 6; ++i)
        EXPECT_DOUBLE_EQ(VideoSpeedRate(speeds[i]), rates[i]) << speeds[i];

    system->SetSpeed(1);
    EXPECT_EQ(Config->Speed, 1);
    EXPECT_EQ(attribute(bass::kAttribFreq), 11025.0f);
    system->SetSpeed(4);
    EXPECT_EQ(attribute(bass::kAttribFreq), 44100.0f);
}

TEST_F(ControlsTest, SeekMovesThePositionAndTheTime)
{
    system->SetPosition(TKBar{system->ChannelLength(), 44100 * 4 / 2});
    EXPECT_EQ(StreamSetGetPosition(system->ChannelSlots()[0]), 44100 * 2);
    system->RefreshTimeDisplay();
    EXPECT_EQ(view.Time, (std::array<int, 3>{0, 0, 0}));
    system->SetPosition(TKBar{system->ChannelLength(), 44100 * 4 * 3 / 4});
    advance(400);
    EXPECT_FALSE(SysActive); // the rest of the track played and it ended
}

TEST_F(ControlsTest, EqualizerEffectsFollowTheSliders)
{
    for (int band = 0; band < 10; ++band) {
        BASS_DX8_PARAMEQ p;
        ASSERT_TRUE(BASS_FXGetParameters(system->EqualizerFX()[band][0], &p));
        EXPECT_EQ(p.fCenter, static_cast<float>(EqualizerBandCenters[band]));
        EXPECT_EQ(p.fBandwidth, 18.0f);
        EXPECT_EQ(p.fGain, 0.0f);
    }
    system->SetEqualizerBandBass(3, 20);
    BASS_DX8_PARAMEQ p;
    BASS_FXGetParameters(system->EqualizerFX()[3][0], &p);
    EXPECT_EQ(p.fGain, 8.0f);
    EXPECT_EQ(Config->Equalizer[3], 20);
    system->ResetEqualizer();
    BASS_FXGetParameters(system->EqualizerFX()[3][0], &p);
    EXPECT_EQ(p.fGain, 0.0f);
    EXPECT_EQ(Config->Equalizer[3], 12);

    // The next track gets fresh effects with the sliders' values.
    system->SetEqualizerBandBass(0, 0);
    add(dcWav("both.wav", 0.5, 0.5, 1000));
    system->Play(1);
    BASS_FXGetParameters(system->EqualizerFX()[0][0], &p);
    EXPECT_EQ(p.fGain, -12.0f);

    // A preset sets the sliders and the playing effects.
    const std::u16string preset = Utf8ToUtf16((home() / "p.keqp").string());
    system->ResetEqualizer();
    system->SetEqualizerBandBass(9, 24);
    ASSERT_TRUE(system->SaveEqualizerPreset(preset));
    system->ResetEqualizer();
    ASSERT_TRUE(system->LoadEqualizerPreset(preset));
    BASS_FXGetParameters(system->EqualizerFX()[9][0], &p);
    EXPECT_EQ(p.fGain, 12.0f);
    EXPECT_EQ(Config->Equalizer[9], 24);
    EXPECT_FALSE(system->LoadEqualizerPreset(preset + u".missing"));

    // Nothing played yet: only the settings change.
    system->Stop(true);
    Config->Equalizer[5] = 7;
    TKSystem idle;
    Config->Equalizer[5] = 0;
    idle.ApplyEqualizer();
    EXPECT_EQ(Config->Equalizer[5], 7);
}

TEST_F(ControlsTest, EveryStreamOfASpeakerSetGetsTheControls)
{
    system->Stop(true);
    BASS_Free();
    audio::setOfflineSpeakers(8);
    ASSERT_TRUE(BASS_Init(0, 44100, bass::kDeviceSpeakers, nullptr, nullptr));
    system->SetDeviceSpeakers(8);
    Config->Speakers = 6;
    system->Play(0);
    const TStreamSet& set = system->ChannelSlots()[0];
    EXPECT_NE(set[2], 0u);
    EXPECT_EQ(set[3], 0u);
    EXPECT_NE(system->EqualizerFX()[9][2], 0u);
    EXPECT_EQ(system->EqualizerFX()[9][3], 0u);
    system->SetSpeed(12);
    float f = 0;
    BASS_ChannelGetAttribute(set[2], bass::kAttribFreq, &f);
    EXPECT_EQ(f, 110250.0f);
    system->Stop(true);
    for (HSTREAM h : set)
        EXPECT_EQ(h, 0u);
    EXPECT_EQ(StreamSetStreamCount(2), 1);
    EXPECT_EQ(StreamSetStreamCount(5), 2);
    EXPECT_EQ(StreamSetStreamCount(8), 4);
}

} // namespace
