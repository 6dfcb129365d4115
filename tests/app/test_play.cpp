// "kolvarin /play a.flac b.mp3": the real program plays both files in order
// through SDL's disk driver, writes the history and traces the play steps;
// a video clip and a DVD folder given on the command line play through the
// video side.
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <numbers>

#include "capture.h"
#include "core/settings/kconfig.h"
#include "dvd_fixture.h"
#include "kolvarinprocess.h"
#include "media_fixtures.h"
#include "temphome.h"

namespace {

namespace fs = std::filesystem;

bool makeTone(const fs::path& file, int hz)
{
    const std::string command = "ffmpeg -loglevel error -y -f lavfi -i sine=frequency=" + std::to_string(hz) +
                                ":duration=1 -ac 2 '" + file.string() + "'";
    return std::system(command.c_str()) == 0;
}

// Level of a tone in count samples taken every stride floats (Goertzel).
double tone(const std::vector<float>& s, size_t from, size_t count, size_t stride, double hz)
{
    const double coeff = 2 * std::cos(2 * std::numbers::pi * hz / 44100);
    double s1 = 0, s2 = 0;
    for (size_t k = 0; k < count; ++k) {
        const double v = s[(from + k) * stride] + coeff * s1 - s2;
        s2 = s1;
        s1 = v;
    }
    return std::sqrt(s1 * s1 + s2 * s2 - coeff * s1 * s2) * 2 / static_cast<double>(count);
}

class PlayCommandTest : public ktest::TempHomeTest {};

TEST_F(PlayCommandTest, PlaysBothFilesInOrder)
{
    const fs::path media = dir().path() / "media";
    fs::create_directories(media);
    ASSERT_TRUE(makeTone(media / "a.flac", 440));
    ASSERT_TRUE(makeTone(media / "b.mp3", 1000));
    ktest::WriteLoggingConfig(home());
    {
        // Without fades each tone plays at its full level from start to end.
        kolvarin::TKConfig config;
        config.SetDefaults();
        config.LoadFromFile((home() / "config.xml").string());
        config.Fader.Enabled = false;
        config.Fader.VolumeEnabled = false;
        config.Logging.EnableHistory = true;
        config.SaveToFile((home() / "config.xml").string());
    }
    const fs::path raw = dir().path() / "out.raw";
    ktest::KolvarinProcess program(home(), {"/play", (media / "a.flac").string(), (media / "b.mp3").string()},
                                   {"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + raw.string()});
    const fs::path log = home() / "kolvarin.log";
    // Play mode 3 stops fully after the last entry.
    ASSERT_TRUE(ktest::WaitForLogLine(log, "TKSystem.Stop - Enter with Fullstop=\"true\"", 30000));
    program.Signal(SIGTERM);
    EXPECT_EQ(program.Wait(), 0);

    const auto lines = ktest::ReadLogLines(log);
    EXPECT_TRUE(ktest::InOrder(lines, {
                                          "KInitialize - Checking bass library version...",
                                          "KInitialize - Checking bass library version ok",
                                          "KInitialize - Detecting audio devices...",
                                          "KInitialize - Detecting audio devices ok",
                                          "KInitialize - Initialize bass audio system (Surround)...",
                                          "KInitialize - Initialize bass audio system (Surround) ok.",
                                          "KLoadParameter - Start commandline play timer",
                                          "TKSystem.StartPlay - Use first playlist entry",
                                          "TKSystem.Play - Enter with Index=\"0\"",
                                          "TKSystem.GetSystemTypFromFileName - Detected bass audio file",
                                          "TKSystem.Play - Play stream ok",
                                          "TKSystem.Stop - Enter with Fullstop=\"false\"",
                                          "TKSystem.Play - Enter with Index=\"1\"",
                                          "TKSystem.Play - Play stream ok",
                                          "TKSystem.Stop - Enter with Fullstop=\"true\"",
                                          "KKill - Release bass streams...",
                                          "KKill - Release bass streams ok",
                                          "KKill - Release bass audio system...",
                                          "KKill - Release bass audio system ok",
                                      }));
    const auto history = ktest::ReadLogLines(home() / "history.log");
    ASSERT_GE(history.size(), 3u);
    EXPECT_NE(history[history.size() - 2].find("a.flac"), std::string::npos);
    EXPECT_NE(history.back().find("b.mp3"), std::string::npos);

    // The output: 440 Hz first, then 1000 Hz, each for about a second (the
    // tones are at 1/8 of full scale, the volume at half).
    const std::vector<float> samples = ktest::ReadCapture(raw);
    const size_t channels = ktest::CaptureChannels(samples);
    const size_t frames = samples.size() / channels;
    const size_t window = 2205;
    size_t first440 = 0, first1000 = 0, windows440 = 0, windows1000 = 0;
    for (size_t at = 0; at + window <= frames; at += window) {
        if (tone(samples, at, window, channels, 440) > 0.02) {
            windows440 += 1;
            first440 = first440 ? first440 : at + 1;
        }
        if (tone(samples, at, window, channels, 1000) > 0.02) {
            windows1000 += 1;
            first1000 = first1000 ? first1000 : at + 1;
        }
    }
    ASSERT_GT(first440, 0u);
    ASSERT_GT(first1000, first440);
    EXPECT_NEAR(static_cast<double>(windows440), 20, 3);
    EXPECT_NEAR(static_cast<double>(windows1000), 20, 3);
}

TEST_F(PlayCommandTest, AVideoClipAndADvdFolderPlayThroughTheVideoWindow)
{
    ktest::WriteLoggingConfig(home());
    const fs::path clip = ktest::media::MkvFixture(), disc = ktest::media::DvdFixture();
    ktest::KolvarinProcess program(home(), {"/play", clip.string(), "/dvd", disc.string()}, {"SDL_AUDIODRIVER=dummy"});
    const fs::path log = home() / "kolvarin.log";
    const std::string ifo = (disc / "VIDEO_TS" / "VIDEO_TS.IFO").string();
    // The clip ends by itself, then the disc's menu waits for a choice.
    ASSERT_TRUE(ktest::WaitForLogLine(log, "TKSystem.Play.Play_DVD - Play video \"" + ifo + "\" ok", 60000));
    program.Signal(SIGTERM);
    EXPECT_EQ(program.Wait(), 0);
    EXPECT_TRUE(ktest::InOrder(ktest::ReadLogLines(log),
                               {
                                   "TfrmVideo.WriteFilterGraphToLog - Enter",
                                   "TKSystem.Play.Play_DirectX - Play video \"" + clip.string() + "\" ok",
                                   "TKSystem.PrepareVideo - -- Video enabled",
                                   "TfrmVideo.FilterGraphDSEvent - Graph Event: EC_COMPLETE "
                                   "- All data from a particular stream has been rendered.",
                                   "TKSystem.Play.Play_DVD - Play dvd \"" + ifo + "\"...",
                                   "TfrmVideo.WriteFilterGraphToLog - Enter",
                                   "TKSystem.PrepareVideo - -- Video enabled",
                               }));
}

} // namespace
