// Runs the real program on a user folder holding non-default settings and a
// playlist, ends it with SIGTERM and checks that both come back unchanged.
#include <csignal>
#include <filesystem>

#include "core/kconfig.h"
#include "core/kplaylistfiles.h"
#include "kolvarinprocess.h"
#include "temphome.h"

namespace kolvarin {
namespace {

class SettingsRoundTrip : public ktest::TempHomeTest {
protected:
    // Starts the program, waits until its message loop runs, ends it with SIGTERM.
    void RunAndTerminate()
    {
        ktest::KolvarinProcess program(home());
        const bool started = ktest::WaitForLogLine(home() / "kolvarin.log", "Project - Run application...");
        program.Signal(started ? SIGTERM : SIGKILL);
        EXPECT_EQ(program.Wait(), started ? 0 : -1);
        ASSERT_TRUE(started) << "the program never reached its message loop";
    }
};

TEST_F(SettingsRoundTrip, SettingsAndPlaylistSurviveARun)
{
    TKConfig config;
    config.SetDefaults();
    config.Volume = 1234;
    config.LastDir = u"/home/\u00e9l\u00e8ve";
    config.Fader.Count = 3000;
    config.Ratio.Mode = 4;
    config.Ratio.User.X = 1.85f;
    config.Equalizer[3] = 20;
    config.PlayMode.Mode = 2;
    config.Logging.EnableTextFile = true; // the test watches the log file
    config.Logging.EnableHistory = false;
    config.SplashScreen = false;
    config.SaveToFile((home() / "config.xml").string());

    TKPlaylist list;
    list.Add(u"Caf\u00e9", u"/music/caf\u00e9.mp3", false, "03", "00:04:05");
    list.Add(u"Stream", u"http://radio.example/live", false, "00", "00:00:00");
    const std::string playlist = BuildKplFile(list, 0);
    ktest::TempDir other;
    other.write("default.kpl", playlist);
    std::filesystem::copy_file(other.path() / "default.kpl", home() / "default.kpl");
    const std::string settings = ktest::readFile(home() / "config.xml");

    RunAndTerminate();

    EXPECT_EQ(ktest::readFile(home() / "config.xml"), settings);
    const std::string saved = ktest::readFile(home() / "default.kpl");
    ASSERT_EQ(saved.size(), playlist.size());
    EXPECT_EQ(saved.substr(24), playlist.substr(24)) << "the same entries in the same order";
    EXPECT_EQ(saved.substr(0, 16), playlist.substr(0, 16));
    // The two tables are saved with their defaults.
    TKConfig tables;
    tables.LoadFilterManager((home() / "filtermanager.xml").string());
    tables.LoadAcceptedExtensions((home() / "acceptedextensions.xml").string());
    EXPECT_EQ(tables.VideoFilters.size(), 26u);
    EXPECT_EQ(tables.AcceptedExtensions.size(), 80u);
}

} // namespace
} // namespace kolvarin
