// A BIN/CUE image that libcdio opens as a disc: tracks, lengths, and each
// track played to its end.

#include <cmath>
#include <fstream>
#include <numbers>

#include "audio/cd_drives.h"
#include "audio/offline.h"
#include "audio_fixtures.h"

namespace {

using namespace kolvarin;
using namespace kolvarin::audio;
using namespace ktest::audio;

constexpr int kSectorFrames = 588;
// Three audio tracks with their own tone, then a data track.
constexpr int kSectors[] = {30, 45, 20};
constexpr double kTones[] = {441.0, 882.0, 1323.0};
constexpr int kDataSectors = 10;

std::string msf(int sector)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", sector / 75 / 60, sector / 75 % 60, sector % 75);
    return text;
}

class CdTest : public OfflineAudioTest {
protected:
    void SetUp() override
    {
        OfflineAudioTest::SetUp();
        const std::filesystem::path dir = mediaDir();
        std::string bin, cue = "FILE \"disc.bin\" BINARY\n";
        int sector = 0;
        for (int t = 0; t < 3; ++t) {
            char line[64];
            std::snprintf(line, sizeof line, "  TRACK %02d AUDIO\n    INDEX 01 %s\n", t + 1, msf(sector).c_str());
            cue += line;
            const auto samples = makeSamples(kSectors[t] * kSectorFrames, 2, [&](int i, int c) {
                return (c == 0 ? 0.5 : 0.25) * std::sin(2 * std::numbers::pi * kTones[t] * i / 44100);
            });
            for (const std::int16_t s : samples) {
                bin += static_cast<char>(s & 0xFF);
                bin += static_cast<char>((s >> 8) & 0xFF);
            }
            sector += kSectors[t];
        }
        cue += "  TRACK 04 MODE1/2352\n    INDEX 01 " + msf(sector) + "\n";
        bin += std::string(kDataSectors * 2352, '\0');
        std::ofstream(dir / "disc.bin", std::ios::binary) << bin;
        std::ofstream(dir / "disc.cue") << cue;
        audio::setCdDrives({(dir / "nothing.cue").string(), (dir / "disc.cue").string()});
    }
    void TearDown() override
    {
        audio::setCdDrives({});
        OfflineAudioTest::TearDown();
    }
};

TEST_F(CdTest, TracksAndLengths)
{
    EXPECT_FALSE(BASS_CD_IsReady(0)); // no disc there
    EXPECT_EQ(BASS_ErrorGetCode(), bass::kErrorCdDrive);
    EXPECT_FALSE(BASS_CD_IsReady(7));
    EXPECT_EQ(BASS_ErrorGetCode(), bass::kErrorDevice);
    ASSERT_TRUE(BASS_CD_IsReady(1));
    EXPECT_EQ(BASS_CD_GetTracks(1), 4u);
    for (int t = 0; t < 3; ++t)
        EXPECT_EQ(BASS_CD_GetTrackLength(1, t), static_cast<DWORD>(kSectors[t] * 2352)) << t;
    EXPECT_EQ(BASS_CD_GetTrackLength(1, 3), static_cast<DWORD>(-1)); // data
    EXPECT_EQ(BASS_CD_GetTrackLength(1, 4), static_cast<DWORD>(-1));
    EXPECT_EQ(BASS_CD_StreamCreate(1, 3, 0x10200), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), bass::kErrorCdDrive);
}

TEST_F(CdTest, PlaysTrackByTrack)
{
    for (int t = 0; t < 3; ++t) {
        const HSTREAM stream = BASS_CD_StreamCreate(1, t, 0x10200);
        ASSERT_NE(stream, 0u) << t;
        BassChannelInfo info;
        ASSERT_TRUE(BASS_ChannelGetInfo(stream, &info));
        EXPECT_EQ(info.ctype, bass::kCtypeCd);
        const int frames = kSectors[t] * kSectorFrames;
        EXPECT_EQ(BASS_ChannelGetLength(stream, bass::kPosByte), static_cast<QWORD>(frames) * 4);
        ASSERT_TRUE(BASS_ChannelPlay(stream, false));
        const std::vector<float> out = playToEnd(stream);
        EXPECT_EQ(BASS_ChannelIsActive(stream), bass::kActiveStopped);
        ASSERT_EQ(out.size(), 2u * frames); // the whole track, and nothing of the next
        EXPECT_NEAR(toneLevel(out.data(), 8192, 2, kTones[t], 44100), 0.5, 0.02) << t;
        EXPECT_NEAR(toneLevel(out.data() + 1, 8192, 2, kTones[t], 44100), 0.25, 0.02) << t;
        // Seeking is exact to the frame here too.
        ASSERT_TRUE(BASS_ChannelSetPosition(stream, 1000 * 4, bass::kPosByte));
        ASSERT_TRUE(BASS_ChannelPlay(stream, false));
        const std::vector<float> again = playToEnd(stream);
        EXPECT_FLOAT_EQ(again[0], out[2000]);
        EXPECT_FLOAT_EQ(again[1], out[2001]);
        BASS_StreamFree(stream);
    }
}

} // namespace
