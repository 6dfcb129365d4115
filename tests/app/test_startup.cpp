// Runs the real program in a temporary user folder and checks the start-up
// and shutdown sequence it logs.
#include <csignal>

#include "kolvarinprocess.h"
#include "temphome.h"

namespace {

class StartupTest : public ktest::TempHomeTest {
protected:
    std::filesystem::path Log() const { return home() / "kolvarin.log"; }
};

} // namespace

TEST_F(StartupTest, StartsRunsAndShutsDownInOrderOnSigterm)
{
    ktest::WriteLoggingConfig(home());
    ktest::TraceViewer viewer((home() / "trace.socket").string());
    ktest::KolvarinProcess program(home());
    ASSERT_TRUE(ktest::WaitForLogLine(Log(), "Project - Run application..."));
    program.Signal(SIGTERM);
    EXPECT_EQ(program.Wait(), 0);

    // Lines before the settings are read reach only the viewer.
    viewer.WaitFor("Project - Release log", 20000);
    EXPECT_TRUE(ktest::InOrder(viewer.Lines(), {
                                                   "Project - Create mutex...",
                                                   "Project - Create mutex ok",
                                                   "Project - Detecting operating system",
                                                   "Project - Create ipc server...",
                                                   "Project - Create ipc server ok",
                                                   "Project - Load configuration...",
                                                   "KLoadConfiguration - Enter",
                                                   "KLoadConfiguration - Leave",
                                                   "Project - Load configuration ok",
                                                   "Project - Set log write to file",
                                               }));
    const auto lines = ktest::ReadLogLines(Log());
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "Project - Handle parameters...");
    EXPECT_TRUE(ktest::InOrder(lines, {
                                          "Project - Handle parameters...",
                                          "KHandleParameter2 - Enter",
                                          "Project - Handle parameters ok",
                                          "Project - Initialize application",
                                          "Project - Create forms...",
                                          "Project - Create forms ok",
                                          "Project - Initialize kolvarin...",
                                          "KInitialize - Enter",
                                          "KInitialize - Force private paths...",
                                          "KInitialize - Force private paths ok",
                                          "KInitialize - DirectX 7 or higher detected.",
                                          "KInitialize - Create playlist class",
                                          "KInitialize - Create history class",
                                          "KInitialize - Load parameter...",
                                          "KLoadParameter - Leave with result: false",
                                          "KInitialize - Load parameter ok",
                                          "KInitialize - Leave with result: true",
                                          "Project - Initialize kolvarin ok",
                                          "Project - Swap memory",
                                          "Project - Run application...",
                                          "Project - Run application ok",
                                          "Project - Kill kolvarin...",
                                          "KKill - Enter",
                                          "KKill - Release history...",
                                          "KKill - Release history ok",
                                          "KKill - Release config class...",
                                          "KKill - Release config class ok",
                                          "KKill - Leave",
                                          "Project - Kill kolvarin ok",
                                          "Project - Destroy forms...",
                                          "Project - Destroy forms ok",
                                          "Project - Kill ipc server",
                                          "Project - Release mutex handle",
                                          "Project - Release log",
                                      }));
    EXPECT_TRUE(std::filesystem::is_directory(home() / "data" / "templates"));
}

TEST_F(StartupTest, ExitEndsBeforeAnyWindowAndSavesNothing)
{
    ktest::WriteLoggingConfig(home());
    const std::string settings = ktest::readFile(home() / "config.xml");
    ktest::KolvarinProcess program(home(), {"/exit"});
    EXPECT_EQ(program.Wait(), 0);
    EXPECT_TRUE(ktest::InOrder(
        ktest::ReadLogLines(Log()),
        {"Project - Handle parameters ok", "Project - Got quit parameter, exiting!", "Project - Release log"}));
    for (const auto& line : ktest::ReadLogLines(Log()))
        EXPECT_NE(line, "Project - Create forms...");
    EXPECT_EQ(ktest::readFile(home() / "config.xml"), settings);
    EXPECT_FALSE(std::filesystem::exists(home() / "default.kpl"));
}
