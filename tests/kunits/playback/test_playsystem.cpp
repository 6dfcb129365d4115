// Playing, pausing, stopping and moving on, on the offline clock.
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include <gmock/gmock.h>

#include "audio/offline.h"
#include "audio_fixtures.h"

#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "core/system/kglobals.h"
#include "core/text/kstrings.h"
#include "playsystem_fixture.h"

namespace {

using namespace kolvarin;
using ktest::dcWav;
using ktest::level;

class PlayTest : public ktest::PlaySystemTest {};

TEST_F(PlayTest, PlaysPausesResumesAndStops)
{
    Config->Fader.Enabled = false;
    const auto file = dcWav("left.wav", 0.5, 0, 1000);
    add(file);
    system->StartPlay();
    ASSERT_TRUE(SysActive);
    EXPECT_TRUE(SysPlayed);
    EXPECT_EQ(system->SystemType(), TSystemType::BassFile);
    EXPECT_EQ(view.Status, u"[ left is playing ]");
    EXPECT_TRUE(view.Timer(TKPlayTimer::PlayTimer).Enabled);
    EXPECT_EQ(view.Timer(TKPlayTimer::PlayTimer).Interval, 333);
    EXPECT_EQ(view.ProgressMax, 44100 * 4);
    EXPECT_TRUE(PlaylistGetItem(0)->PlayState);
    ASSERT_EQ(system->StreamInfos().size(), 1u);
    EXPECT_EQ(system->StreamInfos()[0].Codec, "Wavestream (pcm)");
    EXPECT_NEAR(system->StreamInfos()[0].BitrateKbps, 1411.2, 1.0);

    auto out = advance(100);
    EXPECT_NEAR(level(out, 0, 2000, 4410), 0.5, 0.02);

    system->Pause();
    EXPECT_TRUE(SysPaused);
    EXPECT_EQ(view.Status, u"Paused");
    EXPECT_FALSE(view.Timer(TKPlayTimer::PlayTimer).Enabled);
    out = advance(50);
    EXPECT_LT(level(out, 0, 0, out.size() / 2), 0.001);
    system->Pause();
    EXPECT_TRUE(SysPlayed);
    out = advance(50);
    EXPECT_NEAR(level(out, 0, 0, out.size() / 2), 0.5, 0.02);

    system->Stop(true);
    EXPECT_FALSE(SysActive);
    EXPECT_EQ(view.Status, u"Ready");
    EXPECT_EQ(view.Time, (std::array<int, 3>{-1, -1, -1}));
    EXPECT_FALSE(StreamSetAssigned(system->ChannelSlots()[0]));
    out = advance(50);
    EXPECT_LT(level(out, 0, 0, out.size() / 2), 0.001);
    // A second stop does nothing.
    system->Stop(true);
    EXPECT_FALSE(SysActive);
}

// Bytes of no format under an audio file's name.
std::filesystem::path RandomBytesFile(const char* name)
{
    const auto file = ktest::audio::mediaDir() / name;
    std::mt19937 random(7);
    std::string bytes(64 * 1024, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(random());
    std::ofstream(file, std::ios::binary) << bytes;
    return file;
}

TEST_F(PlayTest, MissingAndUnplayableFilesAreReported)
{
    Config->Notifications.ShowBalloonOnProblems = true;
    Config->PlayMode.Mode = 3; // next until the end
    add(ktest::audio::mediaDir() / "missing.wav");
    add(RandomBytesFile("junk.mp3"));
    add(ktest::audio::mediaDir() / "clip.avi");
    system->StartPlay(); // the settings check files at start: code 1000
    EXPECT_FALSE(SysActive);
    // The stream cannot be created (203); the play mode goes on to the video,
    // which cannot play either: a file's 1001, not the DVD's 1002.
    system->Play(1);
    EXPECT_EQ(moveOn(), 2);
    EXPECT_FALSE(SysActive);
    ASSERT_EQ(view.Balloons.size(), 3u);
    EXPECT_NE(view.Balloons[0].find(u"missing.wav"), std::u16string::npos);
    EXPECT_EQ(view.Balloons[1], u"File \"junk.mp3\" could not be played!");
    EXPECT_EQ(view.Balloons[2], u"File \"clip.avi\" could not be played!");
    EXPECT_EQ(view.Icon, TKStatusIcon::Stopped);
}

TEST_F(PlayTest, ThePlayModeGoesOnPastAnAudioFileThatCannotPlay)
{
    Config->Fader.Enabled = false;
    Config->PlayMode.Mode = 3;
    add(RandomBytesFile("noise.mp3"));
    add(dcWav("left.wav", 0.5, 0, 1000));
    system->Play(0);
    EXPECT_EQ(moveOn(), 1);
    EXPECT_TRUE(SysActive);
    EXPECT_EQ(PlaylistPlayingIndex(), 1);
    // Repeating the entry would only fail again.
    system->Stop(true);
    Config->PlayMode.Mode = 1;
    system->Play(0);
    EXPECT_FALSE(SysActive);
    EXPECT_EQ(PlaylistPlayingIndex(), -1);
}

TEST_F(PlayTest, EndSyncMovesOnByPlayModeWithoutFade)
{
    Config->Fader.Enabled = false;
    Config->PlayMode.Mode = 3;
    add(dcWav("left.wav", 0.5, 0, 1000));
    add(dcWav("right300.wav", 0, 0.5, 300));
    system->Play(0);
    advance(1100);
    EXPECT_EQ(PlaylistPlayingIndex(), 1);
    EXPECT_EQ(system->ChannelSlotIndex(), 0);
    advance(400);
    // Mode 3 stops at the end of the list.
    EXPECT_FALSE(SysActive);
}

TEST_F(PlayTest, CrossFadeOverlapsTheTracksForTheFadeTime)
{
    Config->Fader.Enabled = true;
    Config->Fader.Count = 200;
    Config->Fader.VolumeEnabled = false;
    Config->PlayMode.Mode = 3;
    add(dcWav("left.wav", 0.5, 0, 1000));
    add(dcWav("right.wav", 0, 0.5, 1000));
    system->Play(0);
    const auto out = advance(1500);
    // Fade-in of the first track: rises over 200 ms.
    EXPECT_LT(level(out, 0, 0, 441), 0.1);
    EXPECT_NEAR(level(out, 0, 8820, 13230), 0.5, 0.02);
    // The old track fades out while the new one fades in, within one step.
    const size_t fadeStart = 44100 * 800 / 1000;
    EXPECT_NEAR(level(out, 0, fadeStart - 4410, fadeStart), 0.5, 0.03);
    EXPECT_NEAR(level(out, 0, fadeStart + 3969, fadeStart + 4851), 0.25, 0.08);
    EXPECT_NEAR(level(out, 1, fadeStart + 3969, fadeStart + 4851), 0.25, 0.08);
    EXPECT_LT(level(out, 0, fadeStart + 9261, fadeStart + 13230), 0.01);
    EXPECT_NEAR(level(out, 1, fadeStart + 9261, fadeStart + 13230), 0.5, 0.02);
    EXPECT_EQ(system->ChannelSlotIndex(), 1);
    // The fade-out stop timer freed the old slot.
    EXPECT_FALSE(StreamSetAssigned(system->ChannelSlots()[0]));
    EXPECT_EQ(system->FadingSlot(), -1);
}

TEST_F(PlayTest, AShortTrackGetsAnEndSyncNotAFadeSync)
{
    Config->Fader.Enabled = true;
    Config->Fader.Count = 500;
    add(dcWav("short.wav", 0.5, 0, 300));
    system->Play(0);
    EXPECT_EQ(system->FadeSyncHandle(), 0u);
    EXPECT_NE(system->EndSyncHandle(), 0u);
}

TEST_F(PlayTest, NegativeFadeTimeCountsAsZero)
{
    Config->Fader.Enabled = true;
    Config->Fader.Count = -300;
    add(dcWav("left.wav", 0.5, 0, 1000));
    system->Play(0);
    EXPECT_NE(system->EndSyncHandle(), 0u);
    const auto out = advance(30);
    EXPECT_NEAR(level(out, 0, 0, 441), 0.5, 0.02); // no fade-in at all
}

TEST_F(PlayTest, MuteSkipsTheFadeIn)
{
    Config->Fader.Enabled = true;
    Config->Mute = true;
    add(dcWav("left.wav", 0.5, 0, 1000));
    system->Play(0);
    const auto out = advance(100);
    EXPECT_LT(level(out, 0, 0, out.size() / 2), 0.001);
}

// A sync that fires just before the user's Stop must not start the next track.
TEST_F(PlayTest, StopCancelsAPendingSync)
{
    Config->Fader.Enabled = false;
    add(dcWav("short.wav", 0.5, 0, 300));
    add(dcWav("left.wav", 0.5, 0, 1000));
    system->Play(0);
    audio::offlineRender(44100 / 2);
    audio::waitForSyncs();
    ASSERT_EQ(view.SyncStarts[2].load(), 1); // queued, not yet run
    system->Stop(true);
    EXPECT_FALSE(view.Timer(TKPlayTimer::SyncEndProcStartTimer).Enabled);
    // The queued start arrives after the stop: the handler does nothing.
    view.SetTimer(TKPlayTimer::SyncEndProcStartTimer, true, 1);
    system->SyncEndProcStartTimerTimer();
    EXPECT_FALSE(SysActive);
    EXPECT_EQ(PlaylistPlayingIndex(), -1);
}

// A sync of a medium that was replaced (the user picked another entry) does not skip the new one.
TEST_F(PlayTest, ASyncOfAReplacedTrackDoesNothing)
{
    Config->Fader.Enabled = false;
    add(dcWav("short.wav", 0.5, 0, 300));
    add(dcWav("left.wav", 0.5, 0, 1000));
    add(dcWav("right.wav", 0, 0.5, 1000));
    system->Play(0);
    audio::offlineRender(44100 / 2);
    audio::waitForSyncs();
    system->Play(2);
    view.SetTimer(TKPlayTimer::SyncEndProcStartTimer, true, 1);
    system->SyncEndProcStartTimerTimer();
    EXPECT_EQ(PlaylistPlayingIndex(), 2);
}

TEST_F(PlayTest, ANewFadeEndsTheOldAndAReusedSlotIsNotFreedByALateTimer)
{
    Config->Fader.Enabled = true;
    Config->Fader.Count = 300;
    add(dcWav("left.wav", 0.5, 0, 1000));
    add(dcWav("right.wav", 0, 0.5, 1000));
    add(dcWav("left2.wav", 0.5, 0, 1000));
    system->Play(0);
    system->Play(1); // slot 0 fades, slot 1 plays
    EXPECT_EQ(system->FadingSlot(), 0);
    system->Play(2); // slot 1 fades; the older fade on slot 0 ends, the new track takes slot 0
    EXPECT_EQ(system->FadingSlot(), 1);
    EXPECT_EQ(system->ChannelSlotIndex(), 0);
    system->FadeOutStopTimerTimer();
    EXPECT_FALSE(StreamSetAssigned(system->ChannelSlots()[1]));
    EXPECT_TRUE(StreamSetAssigned(system->ChannelSlots()[0]));

    // A fade still runs on slot 0 when the fader is switched off and the next
    // track takes slot 0: that fade ends, and its timer frees nothing.
    system->Stop(true);
    EXPECT_EQ(system->FadingSlot(), 0);
    Config->Fader.Enabled = false;
    system->Play(1);
    EXPECT_EQ(system->ChannelSlotIndex(), 0);
    EXPECT_EQ(system->FadingSlot(), -1);
    EXPECT_FALSE(view.Timer(TKPlayTimer::FadeOutStopTimer).Enabled);
    system->FadeOutStopTimerTimer();
    EXPECT_TRUE(StreamSetAssigned(system->ChannelSlots()[0]));
    const auto out = advance(50);
    EXPECT_NEAR(level(out, 1, 0, out.size() / 2), 0.5, 0.02);
}

TEST_F(PlayTest, UpdateShowsElapsedAndRemainingTimeAndCatchesAMissedEnd)
{
    Config->Fader.Enabled = false;
    Config->PlayMode.Enabled = false;
    add(dcWav("long.wav", 0.5, 0, 2500));
    system->Play(0);
    advance(1340);
    EXPECT_EQ(view.Time, (std::array<int, 3>{0, 0, 1}));
    EXPECT_GT(view.ProgressPosition, 44100 * 4);
    Config->TimeMode = 1;
    system->RefreshTimeDisplay();
    EXPECT_EQ(view.Time, (std::array<int, 3>{0, 0, 1})); // 1.16 s left
    EXPECT_TRUE(view.TimeRemaining);
    // The stream ends and no sync reports it: the next tick stops.
    BASS_ChannelRemoveSync(system->ChannelSlots()[0][0], system->EndSyncHandle());
    advance(1600);
    EXPECT_FALSE(SysActive);
}

TEST_F(PlayTest, QuitAfterPlayActsOnlyWhenAMediumEnds)
{
    Config->Fader.Enabled = false;
    int terminated = 0;
    system->SetTerminateRequest([&] { ++terminated; });
    QuitAfterPlay = true;
    add(dcWav("short.wav", 0.5, 0, 300));
    add(dcWav("left.wav", 0.5, 0, 1000));
    system->Play(0);
    system->Play(1); // a track change stops, but nothing ended
    EXPECT_EQ(terminated, 0);
    EXPECT_TRUE(QuitAfterPlay);
    advance(1100);
    EXPECT_EQ(terminated, 1);
    EXPECT_FALSE(QuitAfterPlay);
}

TEST(PlayModes, ChoiceByModeDirectionAndForce)
{
    auto random = [](int) { return 7; };
    struct Case {
        bool back, forward;
        int index;
        bool force;
        int mode, count, last, expected;
    };
    const Case cases[] = {
        {false, true, 2, false, 1, 5, -1, 2}, // repeat at the natural end
        {false, true, 2, true, 1, 5, -1, 3}, // the user's next moves on
        {false, true, 2, false, 2, 10, -1, 7}, // random
        {true, false, 2, false, 2, 10, 4, 4}, // random back: the last entry
        {true, false, 2, false, 2, 10, -1, 7}, // ... or random when it is gone
        {false, true, 4, false, 3, 5, -1, -1}, // to the end: stop
        {false, true, 4, true, 3, 5, -1, 0}, // forced: wraps
        {true, false, 0, false, 3, 5, -1, -1}, {true, false, 3, false, 3, 5, -1, 2},
        {false, true, 4, false, 4, 5, -1, 0}, // loop
        {true, false, 0, false, 4, 5, -1, 4},  {false, true, 1, false, 0, 5, -1, -2}, // none
        {true, false, 1, false, 0, 5, -1, -2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChooseNextIndex(c.back, c.forward, c.index, c.force, c.mode, c.count, c.last, random), c.expected)
            << "mode " << c.mode << " index " << c.index << " back " << c.back << " force " << c.force;
}

TEST_F(PlayTest, NextAndPreviousFollowThePlayMode)
{
    Config->Fader.Enabled = false;
    for (int i = 0; i < 3; ++i)
        add(dcWav("left.wav", 0.5, 0, 1000));
    Config->PlayMode.Mode = 3;
    system->PlayNext(true); // nothing plays: the first entry
    EXPECT_EQ(PlaylistPlayingIndex(), 0);
    system->PlayPrevious(true); // forced: wraps to the last
    EXPECT_EQ(PlaylistPlayingIndex(), 2);
    system->PlayNext(true);
    EXPECT_EQ(PlaylistPlayingIndex(), 0);
    Config->PlayMode.Mode = 2;
    system->PlayNext(true);
    const int random = PlaylistPlayingIndex();
    system->PlayPrevious(true); // back to the entry before the random step
    EXPECT_EQ(PlaylistPlayingIndex(), 0);
    (void)random;
}

} // namespace
