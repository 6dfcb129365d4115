// Runs the real program on a user folder holding non-default settings and a
// playlist, ends it with SIGTERM and checks that both come back unchanged.
#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>

#include "core/kconfig.h"
#include "core/kplaylistfiles.h"
#include "temphome.h"

namespace kolvarin {
namespace {

// The UTF-16LE bytes of an ASCII text, as the log file holds it.
std::string Utf16Bytes(const std::string& text)
{
    std::string out;
    for (char c : text) {
        out += c;
        out += '\0';
    }
    return out;
}

class SettingsRoundTrip : public ktest::TempHomeTest {
protected:
    // Starts the program, waits until its message loop runs, ends it with SIGTERM.
    void RunAndTerminate()
    {
        const std::string home = this->home().string();
        std::vector<std::string> env = {"KOLVARIN_HOME=" + home, "QT_QPA_PLATFORM=offscreen", "HOME=" + home};
        std::vector<char*> envp, argv;
        for (auto& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        std::string exe = KOLVARIN_EXE;
        argv = {exe.data(), nullptr};
        pid_t pid = 0;
        ASSERT_EQ(::posix_spawn(&pid, KOLVARIN_EXE, nullptr, nullptr, argv.data(), envp.data()), 0);
        const std::string running = Utf16Bytes("Project - Run application...");
        bool started = false;
        for (int i = 0; i < 400 && !started; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            started = ktest::readFile(this->home() / "kolvarin.log").find(running) != std::string::npos;
        }
        ::kill(pid, started ? SIGTERM : SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(started) << "the program never reached its message loop";
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
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
