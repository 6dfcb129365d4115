// Music CD tracks from a disc image: the track convention, playing on, errors.
#include <chrono>
#include <cmath>
#include <fstream>
#include <thread>

#include "audio/cd_drives.h"
#include "audio_fixtures.h"
#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "core/system/kglobals.h"
#include "core/text/kstrings.h"
#include "playsystem_fixture.h"

namespace {

using namespace kolvarin;
namespace ka = ktest::audio;

constexpr int kSectors[] = {30, 45};

class CDTest : public ktest::PlaySystemTest {
protected:
    void SetUp() override
    {
        PlaySystemTest::SetUp();
        Config->Fader.Enabled = false;
        Config->Notifications.ShowBalloonOnProblems = true;
        const auto dir = ka::mediaDir();
        std::string bin, cue = "FILE \"cd.bin\" BINARY\n";
        int sector = 0;
        for (int t = 0; t < 2; ++t) {
            char line[64];
            std::snprintf(line, sizeof line, "  TRACK %02d AUDIO\n    INDEX 01 00:%02d:%02d\n", t + 1, sector / 75,
                          sector % 75);
            cue += line;
            const auto samples = ka::makeSamples(kSectors[t] * 588, 2, [&](int, int c) { return c == t ? 0.5 : 0.0; });
            for (const std::int16_t s : samples) {
                bin += static_cast<char>(s & 0xFF);
                bin += static_cast<char>((s >> 8) & 0xFF);
            }
            sector += kSectors[t];
        }
        std::ofstream(dir / "cd.bin", std::ios::binary) << bin;
        std::ofstream(dir / "cd.cue") << cue;
        disc = (dir / "cd.cue").string();
        audio::setCdDrives({(dir / "none.cue").string(), disc});
    }
    void TearDown() override
    {
        audio::setCdDrives({});
        PlaySystemTest::TearDown();
    }
    // Advances until the condition holds, giving the disc reader time.
    template <typename Condition>
    bool playUntil(Condition&& condition)
    {
        for (int i = 0; i < 500 && !condition(); ++i) {
            advance(10);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return condition();
    }
    std::string disc;
};

TEST_F(CDTest, TracksPlayInTurnByTheTrackFileConvention)
{
    // Track07.cda is the disc's seventh track: the entry's track text from the name, 1-based.
    EXPECT_TRUE(system->AddFileToPlaylist(Utf8ToUtf16(disc + "/Track01.cda")));
    EXPECT_TRUE(system->AddFileToPlaylist(Utf8ToUtf16(disc + "/Track02.cda")));
    EXPECT_EQ(PlaylistGetItem(1)->Track, "02");
    Config->OFPReadTime = true;
    system->Play(0);
    ASSERT_TRUE(SysActive);
    EXPECT_EQ(system->SystemType(), TSystemType::CDTrack);
    EXPECT_EQ(system->CDDriveIndex(), 1u);
    EXPECT_EQ(system->ChannelLength(), kSectors[0] * 2352);
    EXPECT_EQ(system->StreamInfos().at(0).Codec, "Music CD");
    EXPECT_NE(system->EqualizerCDFX()[0], 0u);
    ASSERT_TRUE(playUntil([] { return PlaylistPlayingIndex() == 1; }));
    EXPECT_EQ(system->ChannelLength(), kSectors[1] * 2352);
    system->Pause();
    EXPECT_TRUE(SysPaused);
    system->Pause();
    ASSERT_TRUE(playUntil([] { return !SysActive; }));
    EXPECT_EQ(system->CDChannel(), 0u);
}

TEST_F(CDTest, BadTrackFieldsAndMissingDiscsAreReported)
{
    PlaylistAdd(u"none", Utf8ToUtf16(disc + "/Track00.cda"), "", false, "00");
    PlaylistAdd(u"far", Utf8ToUtf16(disc + "/Track09.cda"), "", false, "09");
    PlaylistAdd(u"elsewhere", u"/media/other/Track01.cda", "", false, "01");
    for (int i = 0; i < 3; ++i) {
        system->Play(i);
        EXPECT_FALSE(SysActive) << i;
    }
    // 1000 for the track field, 4000 (which has no balloon text) for the rest;
    // an unknown drive is drive 0, where there is no disc.
    ASSERT_EQ(view.Balloons.size(), 1u);
    EXPECT_EQ(system->CDChannel(), 0u);
    EXPECT_EQ(CDTrackOfEntry("01"), 0);
    EXPECT_EQ(CDTrackOfEntry("-1"), -1);
    EXPECT_EQ(CDTrackOfEntry(""), -1);
    EXPECT_EQ(CDDriveOfFileName(u"/dev/sr1/Track01.cda", {"/dev/sr0", "/dev/sr1"}), 1u);
    EXPECT_EQ(CDDriveOfFileName(u"/dev/sr10/Track01.cda", {"/dev/sr0", "/dev/sr1"}), 0u);
}

} // namespace
