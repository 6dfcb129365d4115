// A signal or a handed-over "/exit" ends the real program through its whole
// shutdown, also while an error box holds the main thread in a nested loop:
// a warning box during start-up, one after it, and the fatal box.
#include <csignal>

#include "core/settings/kconfig.h"
#include "kolvarinprocess.h"
#include "temphome.h"

namespace {

namespace fs = std::filesystem;

class QuitTest : public ktest::TempHomeTest {};

TEST_F(QuitTest, SignalOrExitClosesTheOpenBoxAndShutsDownWithItsSaves)
{
    const fs::path badList = dir().write("bad.pls", "no playlist here\n");
    const std::string broken = dir().write("broken.mp3", "no sound here").string();
    const std::string problemShown = "TKSystem.ShowMediaProblem - Show media problem 203 for \"" + broken + "\" (-1)";
    struct Case {
        const char* what;
        std::vector<std::string> args, env;
        std::string boxShown; // the last line logged before the box opens
        bool handOverExit; // "/exit" from a second start instead of SIGTERM
    } cases[] = {
        {"warning during start-up", {"/add", badList.string()}, {}, "KInitialize - Load parameter...", false},
        {"warning after start-up", {"/play", broken}, {}, problemShown, false},
        {"warning after start-up, /exit handed over", {"/play", broken}, {}, problemShown, true},
        {"fatal error 201",
         {},
         {"SDL_AUDIODRIVER=none-such"},
         "KInitialize - Initialize bass audio system (Normal) failed!",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(home());
        fs::create_directories(home());
        ktest::WriteLoggingConfig(home());
        kolvarin::TKConfig config;
        config.SetDefaults();
        config.LoadFromFile((home() / "config.xml").string());
        config.Notifications.ShowMsgBoxOnProblems = true;
        config.SaveToFile((home() / "config.xml").string());
        const fs::path log = home() / "kolvarin.log";

        ktest::KolvarinProcess program(home(), c.args, c.env);
        if (!ktest::WaitForLogLine(log, c.boxShown, 60000)) {
            ADD_FAILURE() << "no box";
            continue;
        }
        // The box may still be opening: the request must end it either way.
        if (c.handOverExit) {
            ktest::KolvarinProcess second(home(), {"/exit"});
            EXPECT_EQ(second.Wait(), 0);
        } else {
            program.Signal(SIGTERM);
        }
        EXPECT_EQ(program.Wait(10000), 0);

        const auto lines = ktest::ReadLogLines(log);
        const std::string configFile = "\"" + (home() / "config.xml").string() + "\"";
        EXPECT_TRUE(ktest::InOrder(lines, {c.boxShown, "Project - Run application ok", "KKill - Enter",
                                           "KKill - Save config to file " + configFile + " ok", "KKill - Leave",
                                           "Project - Release log"}));
    }
}

} // namespace
