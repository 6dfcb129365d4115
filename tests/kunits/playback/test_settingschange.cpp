// Settings changed while an audio-library file plays: the cross-fader's
// syncs and the speaker set-up follow at once, on the offline clock.
#include <cmath>

#include <gmock/gmock.h>

#include "audio/offline.h"

#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "core/system/kglobals.h"
#include "playsystem_fixture.h"

namespace {

using namespace kolvarin;
using ktest::dcWav;
using ktest::level;

class SettingsChangeTest : public ktest::PlaySystemTest {
protected:
    // The frame of a time in ms at 44.1 kHz.
    static size_t at(double ms) { return static_cast<size_t>(ms * 44.1); }
    // A left and a right track of 1 s, the first playing with a fade of 200 ms.
    void playFirstOfTwo()
    {
        Config->Fader.Enabled = true;
        Config->Fader.Count = 200;
        Config->PlayMode = {true, 3};
        add(dcWav("left.wav", 0.5, 0, 1000));
        add(dcWav("right.wav", 0, 0.5, 1000));
        system->Play(0);
    }
};

TEST_F(SettingsChangeTest, ANewFadeTimeMovesTheFadeOfThePlayingTrack)
{
    playFirstOfTwo();
    advance(100);
    Config->Fader.Count = 500;
    system->SetEndSyncs();
    const auto out = advance(800); // from 100 ms on
    // The fade starts at 500 ms instead of 800 ms: half-way at 750 ms.
    EXPECT_NEAR(level(out, 0, at(640), at(660)), 0.25, 0.08);
    EXPECT_NEAR(level(out, 1, at(640), at(660)), 0.25, 0.08);
    EXPECT_EQ(system->ChannelSlotIndex(), 1);
}

TEST_F(SettingsChangeTest, EndSyncWhenTheFaderIsOffOrItsPointHasPassed)
{
    playFirstOfTwo();
    ASSERT_NE(system->FadeSyncHandle(), 0u);

    Config->Fader.Enabled = false;
    system->SetEndSyncs();
    EXPECT_EQ(system->FadeSyncHandle(), 0u);
    EXPECT_NE(system->EndSyncHandle(), 0u);

    // 700 ms played: a fade of 500 ms would have begun at 500 ms.
    Config->Fader.Enabled = true;
    advance(700);
    Config->Fader.Count = 500;
    system->SetEndSyncs();
    EXPECT_EQ(system->FadeSyncHandle(), 0u);
    EXPECT_NE(system->EndSyncHandle(), 0u);
    const auto out = advance(400);
    EXPECT_EQ(PlaylistPlayingIndex(), 1) << "the end moved on by the play mode";
    EXPECT_GT(level(out, 1, at(390), at(400)), 0.01);
}

// Mean of the absolute samples of one channel of interleaved frames.
double channelLevel(const std::vector<float>& frames, int channels, int channel)
{
    double sum = 0;
    const size_t count = frames.size() / static_cast<size_t>(channels);
    for (size_t i = 0; i < count; ++i)
        sum += std::fabs(frames[i * static_cast<size_t>(channels) + static_cast<size_t>(channel)]);
    return count ? sum / static_cast<double>(count) : 0;
}

TEST_F(SettingsChangeTest, ANewSpeakerCountReopensThePlayingFileWhereItWas)
{
    BASS_Free();
    audio::setOfflineSpeakers(4);
    ASSERT_TRUE(BASS_Init(0, 44100, bass::kDeviceSpeakers, nullptr, nullptr));
    system->SetDeviceSpeakers(4);
    Config->Fader.Enabled = false;
    Config->Speakers = 2;
    add(dcWav("left.wav", 0.5, 0, 1000));
    system->Play(0);
    const TStreamSet& set = system->ChannelSlots()[0];
    audio::offlineRender(static_cast<int>(at(300)));
    EXPECT_LT(channelLevel(audio::offlineRender(441), 4, 2), 0.001) << "front speakers only";
    const int64_t before = StreamSetGetPosition(set);

    Config->Speakers = 8; // limited to the device's four
    system->ApplySpeakers();
    ASSERT_NE(set[1], 0u);
    EXPECT_EQ(set[2], 0u);
    EXPECT_NE(system->EqualizerFX()[0][1], 0u);
    EXPECT_NEAR(static_cast<double>(StreamSetGetPosition(set)), static_cast<double>(before), 4.0 * 441);
    const auto out = audio::offlineRender(441);
    EXPECT_NEAR(channelLevel(out, 4, 0), 0.5, 0.02);
    EXPECT_NEAR(channelLevel(out, 4, 2), 0.5, 0.02) << "the rear pair plays as well";
    EXPECT_NE(system->EndSyncHandle(), 0u);

    // Paused, it stays paused on the new set and resumes where it was.
    system->Pause();
    Config->Speakers = 2;
    system->ApplySpeakers();
    EXPECT_EQ(set[1], 0u);
    EXPECT_LT(channelLevel(audio::offlineRender(441), 4, 0), 0.001);
    system->Pause();
    EXPECT_NEAR(channelLevel(audio::offlineRender(441), 4, 0), 0.5, 0.02);

    // Nothing plays: the count is only the next track's.
    system->Stop(true);
    Config->Speakers = 4;
    system->ApplySpeakers();
    EXPECT_FALSE(StreamSetAssigned(set));
}

} // namespace
