// Runs the real program on a user folder holding non-default settings and a
// playlist, ends it with SIGTERM and checks that both come back unchanged.
#include <algorithm>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "core/playlist/kplaylistfiles.h"
#include "core/settings/kconfig.h"
#include "kolvarinprocess.h"
#include "temphome.h"

namespace kolvarin {
namespace {

class SettingsRoundTrip : public ktest::TempHomeTest {
protected:
    // A config.xml with non-default values and a default.kpl of two entries,
    // the latter with the one header token a save never writes.
    void SetUp() override
    {
        TempHomeTest::SetUp();
        TKConfig config;
        config.SetDefaults();
        config.Volume = 1234;
        config.LastDir = u"/home/\u00e9l\u00e8ve";
        config.Fader.Count = 3000;
        config.Ratio.Mode = 4;
        config.Ratio.User.X = 1.85f;
        config.Equalizer[3] = 20;
        config.PlayMode.Mode = 2;
        // A size the built-in skin allows and places where the windows cover
        // nothing, so the windows keep them.
        config.PlaylistSize = {340, 260};
        config.MainPos = {10, 10};
        config.PlaylistPos = {10, 400};
        config.MediaControlsPos = {600, 10};
        config.Logging.EnableTextFile = true; // the test watches the log file
        config.Logging.EnableHistory = false;
        config.SplashScreen = false;
        config.NewsWindowOnStartUp = false; // no test reaches for the news server
        config.SaveToFile((home() / "config.xml").string());
        settings = ktest::readFile(home() / "config.xml");

        TKPlaylist list;
        list.Add(u"Caf\u00e9", u"/music/caf\u00e9.mp3", false, "03", "00:04:05");
        list.Add(u"Stream", u"http://radio.example/live", false, "00", "00:00:00");
        playlist = BuildKplFile(list, 9);
        dir().write("home/default.kpl", playlist);
    }

    // Starts the program, waits until its message loop runs, ends it with SIGTERM.
    void RunAndTerminate(std::vector<std::string> args = {})
    {
        ktest::KolvarinProcess program(home(), std::move(args));
        const bool started = ktest::WaitForLogLine(home() / "kolvarin.log", "Project - Run application...");
        program.Signal(started ? SIGTERM : SIGKILL);
        EXPECT_EQ(program.Wait(), started ? 0 : -1);
        ASSERT_TRUE(started) << "the program never reached its message loop";
    }

    std::string settings;
    std::string playlist;
};

TEST_F(SettingsRoundTrip, SettingsAndPlaylistSurviveARun)
{
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

// Every file in a form no save would write, so any save would show.
TEST_F(SettingsRoundTrip, NoSaveLeavesTheFilesUntouched)
{
    const std::string config = settings + "<!-- edited by hand -->";
    const std::string filters =
        "<KolvarinFilterManager><Entries><Entry Extension=\".x\"/></Entries></KolvarinFilterManager>";
    const std::string extensions = "<KolvarinAcceptedExtensions><Entries/></KolvarinAcceptedExtensions>";
    dir().write("home/config.xml", config);
    dir().write("home/filtermanager.xml", filters);
    dir().write("home/acceptedextensions.xml", extensions);

    RunAndTerminate({"/nosave"});

    EXPECT_EQ(ktest::readFile(home() / "config.xml"), config);
    EXPECT_EQ(ktest::readFile(home() / "default.kpl"), playlist);
    EXPECT_EQ(ktest::readFile(home() / "filtermanager.xml"), filters);
    EXPECT_EQ(ktest::readFile(home() / "acceptedextensions.xml"), extensions);
    const std::string kpl = (home() / "default.kpl").string();
    EXPECT_TRUE(ktest::InOrder(ktest::ReadLogLines(home() / "kolvarin.log"),
                               {"KKill - Save config to file \"" + (home() / "config.xml").string() + "\" skipped!",
                                "KKill - Save playlist to file \"" + kpl + "\" skipped!"}));
}

// A settings file cut short (or not XML at all) is said to be damaged and
// kept beside the one the run saves, so the user's settings are not lost.
TEST_F(SettingsRoundTrip, ADamagedSettingsFileIsKeptBesideTheDefaults)
{
    const std::string path = (home() / "config.xml").string();
    for (const std::string& damaged : {settings.substr(0, settings.size() / 2), std::string("\x01\xff not XML")}) {
        dir().write("home/config.xml", damaged);
        // The defaults turn the log file off (the viewer hears the run) and
        // ask for the news, which a proxy that refuses keeps off the network.
        std::filesystem::remove(home() / "trace.socket");
        ktest::TraceViewer viewer((home() / "trace.socket").string());
        ktest::KolvarinProcess program(home(), {}, {"http_proxy=http://127.0.0.1:9", "https_proxy=http://127.0.0.1:9"});
        ASSERT_TRUE(viewer.WaitFor("Project - Run application...", 20000));
        program.Signal(SIGTERM);
        EXPECT_EQ(program.Wait(), 0);

        const std::vector<std::string> lines = viewer.Lines();
        const std::string failed = "KLoadConfiguration - Load from config file \"" + path + "\" failed: ";
        EXPECT_TRUE(
            std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.starts_with(failed); }));
        EXPECT_TRUE(std::none_of(lines.begin(), lines.end(), [](const std::string& l) {
            return l.starts_with("KLoadConfiguration - Load from config file") && l.ends_with(" ok");
        }));
        EXPECT_EQ(ktest::readFile(path + ".damaged"), damaged);
        TKConfig saved;
        ASSERT_TRUE(saved.LoadFromFile(path)) << "the run saved whole settings";
        EXPECT_EQ(saved.Volume, 5000) << "the defaults";
    }
}

} // namespace
} // namespace kolvarin
