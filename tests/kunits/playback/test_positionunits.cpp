// Each kind of medium counts its progress positions in its own unit; the
// time jumps and the time texts go through the play system in that unit.
#include <fstream>

#include <gtest/gtest.h>

#include "audio/cd_drives.h"
#include "audio_fixtures.h"
#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "core/system/kglobals.h"
#include "core/text/kstrings.h"
#include "playsystem_fixture.h"

using namespace kolvarin;

namespace {

// Every start step succeeds: the video kinds run without a graph.
class StartingVideo : public TKVideoSide {
public:
    bool InitEngine(bool) override { return true; }
    bool BuildGraph(TKSystem&, const std::u16string&, bool) override { return true; }
    bool Prepare(TKSystem&, bool, int) override { return true; }
    bool Duration(int64_t& length) override { return length = 60 * kVideoUnitsPerSecond, true; }
    bool Run(std::string&) override { return true; }
    uint32_t SeekingCaps() override { return 1; }
};

class PositionUnitTest : public ktest::PlaySystemTest {
protected:
    void SetUp() override
    {
        PlaySystemTest::SetUp();
        Config->Fader.Enabled = false;
        system->SetVideoSide(&video);
        // A music CD image of one three-second track.
        const auto dir = ktest::audio::mediaDir();
        std::string bin;
        for (const std::int16_t s : ktest::audio::makeSamples(3 * 44100, 2, [](int, int) { return 0.25; })) {
            bin += static_cast<char>(s & 0xFF);
            bin += static_cast<char>((s >> 8) & 0xFF);
        }
        std::ofstream(dir / "units.bin", std::ios::binary) << bin;
        std::ofstream(dir / "units.cue") << "FILE \"units.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n";
        disc = (dir / "units.cue").string();
        audio::setCdDrives({disc});
    }
    void TearDown() override
    {
        system->Stop(true);
        audio::setCdDrives({});
        system->SetVideoSide(nullptr);
        PlaySystemTest::TearDown();
    }
    StartingVideo video;
    std::string disc;
};

// A jump once moved a video by nanoseconds: the step and the text were
// worked out far from the player, in a unit the test shared by mistake.
TEST_F(PositionUnitTest, JumpsAndTimeTextsSpeakTheUnitOfEachMedium)
{
    constexpr int64_t kMax = int64_t{1} << 40;
    constexpr int64_t kCDSecond = 44100 * 2 * 2;
    constexpr int64_t kVideoSecond = 10000000;
    struct Case {
        std::u16string name;
        TSystemType type;
        int32_t interval; // JumpInterval, milliseconds
        int64_t step; // one jump in the medium's unit
        int64_t position;
        std::u16string text;
    } cases[] = {
        // Bytes of the 44.1 kHz 16-bit stereo stream.
        {ktest::dcWav("units.wav", 0.25, 0.25, 3000).u16string(), TSystemType::BassFile, 2000, 2 * kCDSecond,
         3 * kCDSecond + 1000, u"00:00:03"},
        {Utf8ToUtf16(disc + "/Track01.cda"), TSystemType::CDTrack, 1500, 3 * kCDSecond / 2, 2 * kCDSecond, u"00:00:02"},
        // The video side's 100 ns units; the jump is whole seconds, halves to even.
        {u"/v/clip.avi", TSystemType::DirectXVideo, 2500, 2 * kVideoSecond, 3725 * kVideoSecond, u"01:02:05"},
        {u"/v/song.wma", TSystemType::DirectXAudio, 1600, 2 * kVideoSecond, 61 * kVideoSecond + 1, u"00:01:01"},
        // Milliseconds of the disc's title; its time code wraps at a day.
        {u"/v/VIDEO_TS.IFO", TSystemType::DVD, 2500, 2500, 3723500, u"01:02:03"},
        {u"/v/VIDEO_TS.IFO", TSystemType::DVD, 700, 700, (25 * 3600 + 4) * 1000, u"01:00:04"},
        // A stream has no position to jump in.
        {u"http://host/live.wmv", TSystemType::DirectXStream, 2500, 0, 1000, u""},
    };
    for (const Case& c : cases) {
        const std::string what = Utf16ToUtf8(c.name) + " " + std::to_string(c.interval);
        if (c.type == TSystemType::CDTrack)
            ASSERT_TRUE(system->AddFileToPlaylist(c.name));
        else
            PlaylistAdd(u"x", c.name, "00:00:00", false, "00");
        system->Play(PlaylistCount() - 1);
        ASSERT_TRUE(SysActive) << what;
        ASSERT_EQ(system->SystemType(), c.type) << what;
        Config->JumpInterval = c.interval;
        EXPECT_EQ(system->JumpedPosition(0, kMax, 1), c.step) << what;
        EXPECT_EQ(system->JumpedPosition(c.step + 7, kMax, -1), 7) << what;
        EXPECT_EQ(system->PositionText(c.position), c.text) << what;
        system->Stop(true);
    }
}

} // namespace
