// A second start hands its command line to the running program and ends.
#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdlib>

#include "core/playlist/kplaylistfiles.h"
#include "core/settings/kconfig.h"
#include "core/text/kstrings.h"
#include "ipc/instancelock.h"
#include "ipc/pipe.h"
#include "kolvarinprocess.h"
#include "temphome.h"

namespace {

class HandOverTest : public ktest::TempHomeTest {
protected:
    std::filesystem::path Log() const { return home() / "kolvarin.log"; }

    // The file names of the playlist the program saved at shutdown.
    std::vector<std::u16string> SavedPlaylist() const
    {
        kolvarin::TKPlaylistEntries entries;
        EXPECT_TRUE(kolvarin::ParseKplFile(ktest::readFile(home() / "default.kpl"), entries));
        std::vector<std::u16string> names;
        for (const auto& entry : entries)
            names.push_back(entry->FileName);
        return names;
    }
};

} // namespace

TEST_F(HandOverTest, AddArrivesUnchangedAndExitEndsTheRunningProgram)
{
    ktest::WriteLoggingConfig(home());
    const auto media = dir().write("music/a  \"b\".mp3", "not really audio");
    ktest::KolvarinProcess first(home());
    ASSERT_TRUE(ktest::WaitForLogLine(Log(), "Project - Run application..."));
    // A start while the first one runs must not delete its log.
    const auto logBefore = std::filesystem::file_size(Log());

    ktest::KolvarinProcess second(home(), {"/add", media.string()});
    EXPECT_EQ(second.Wait(), 0);
    ASSERT_TRUE(ktest::WaitForLogLine(Log(), "KIPCServerReceiveProc - Leave"));
    EXPECT_GE(std::filesystem::file_size(Log()), logBefore);

    ktest::KolvarinProcess exit(home(), {"/exit"});
    EXPECT_EQ(exit.Wait(), 0);
    EXPECT_EQ(first.Wait(), 0) << "the running program ends on /exit";
    const auto lines = ktest::ReadLogLines(Log());
    EXPECT_TRUE(ktest::InOrder(lines, {"KIPCServerReceiveProc - Got close signal", "Project - Run application ok",
                                       "KKill - Leave", "Project - Release log"}));
    EXPECT_EQ(SavedPlaylist(), std::vector<std::u16string>{kolvarin::Utf8ToUtf16(media.string())});
}

TEST_F(HandOverTest, TwentyStartsAtOnceAllArrive)
{
    ktest::WriteLoggingConfig(home());
    ktest::KolvarinProcess first(home());
    ASSERT_TRUE(ktest::WaitForLogLine(Log(), "Project - Run application..."));
    std::vector<std::unique_ptr<ktest::KolvarinProcess>> starts;
    std::vector<std::u16string> expected;
    for (int i = 0; i < 20; ++i) {
        const auto media = dir().write("music/track " + std::to_string(i) + ".mp3", "x");
        expected.push_back(kolvarin::Utf8ToUtf16(media.string()));
        starts.push_back(
            std::make_unique<ktest::KolvarinProcess>(home(), std::vector<std::string>{"/add", media.string()}));
    }
    for (auto& start : starts)
        EXPECT_EQ(start->Wait(), 0);
    first.Signal(SIGTERM);
    EXPECT_EQ(first.Wait(), 0);
    auto saved = SavedPlaylist();
    std::sort(saved.begin(), saved.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(saved, expected);
}

TEST_F(HandOverTest, VolumeAndTimeJumpOptionsReachTheUserActions)
{
    ktest::WriteLoggingConfig(home()); // volume 5000 of 10000
    ktest::KolvarinProcess first(home());
    ASSERT_TRUE(ktest::WaitForLogLine(Log(), "Project - Run application..."));
    for (const char* option : {"/vdown", "/vdown", "/vup", "/tjforward"}) {
        ktest::KolvarinProcess start(home(), {option});
        EXPECT_EQ(start.Wait(), 0) << option;
    }
    ktest::KolvarinProcess exit(home(), {"/exit"});
    EXPECT_EQ(exit.Wait(), 0);
    EXPECT_EQ(first.Wait(), 0);
    kolvarin::TKConfig saved;
    saved.SetDefaults();
    saved.LoadFromFile((home() / "config.xml").string());
    EXPECT_EQ(saved.Volume, 4900) << "two steps of 100 down, one up; the time jump with nothing playing does nothing";
}

// A command line larger than one record of the channel still arrives whole.
TEST_F(HandOverTest, ACommandLineLargerThanOneRecordArrives)
{
    ktest::WriteLoggingConfig(home());
    ktest::KolvarinProcess first(home());
    ASSERT_TRUE(ktest::WaitForLogLine(Log(), "Project - Run application..."));
    const std::string deep = "music/" + std::string(180, 'd') + "/" + std::string(180, 'e') + "/";
    std::vector<std::string> args = {"/add"};
    std::vector<std::u16string> expected;
    for (int i = 0; i < 40; ++i) {
        const auto media = dir().write(deep + "track " + std::to_string(i) + ".mp3", "x");
        args.push_back(media.string());
        expected.push_back(kolvarin::Utf8ToUtf16(media.string()));
    }
    ktest::KolvarinProcess second(home(), args);
    EXPECT_EQ(second.Wait(), 0);
    ktest::KolvarinProcess exit(home(), {"/exit"});
    EXPECT_EQ(exit.Wait(), 0);
    EXPECT_EQ(first.Wait(), 0);
    EXPECT_EQ(SavedPlaylist(), expected);
}

// A running instance that is ending does not take a hand-over: the start
// waits for it and runs in its place, with its own files.
TEST_F(HandOverTest, AStartThatIsRefusedTakesThePlaceOfTheEndingInstance)
{
    ktest::WriteLoggingConfig(home());
    const auto media = dir().write("music/late.mp3", "x");
    auto ending = std::make_unique<kolvarin::ipc::TInstanceLock>((home() / "kolvarin.lock").string());
    ASSERT_TRUE(ending->Owned());
    std::atomic<int> refused{0};
    auto channel = std::make_unique<kolvarin::ipc::TKPipeServer>((home() / "kolvarin.pipe").string(),
                                                                 [&](uint8_t, const std::string&) {
                                                                     ++refused;
                                                                     return false;
                                                                 });
    ktest::KolvarinProcess start(home(), {"/add", media.string()});
    ASSERT_TRUE(ktest::WaitUntil([&] { return refused > 0; }));
    channel.reset();
    ending.reset();
    ASSERT_TRUE(ktest::WaitForLogLine(Log(), "Project - Run application..."));
    start.Signal(SIGTERM);
    EXPECT_EQ(start.Wait(), 0);
    EXPECT_EQ(SavedPlaylist(), std::vector<std::u16string>{kolvarin::Utf8ToUtf16(media.string())});
}

// A user folder that cannot be written holds no channel: each start runs on
// its own (none waits for a hand-over that cannot come) and says why, once.
TEST_F(HandOverTest, AReadOnlyUserFolderSaysSoAndEveryStartRuns)
{
    if (std::system("unshare --mount true 2>/dev/null") != 0)
        GTEST_SKIP() << "no private mount namespace here";
    ktest::WriteLoggingConfig(home());
    dir().write("home/kolvarin.lock", ""); // left by an earlier run
    ktest::TraceViewer viewer((home() / "trace.socket").string());
    // The user folder read-only for the program alone.
    const std::vector<std::string> readOnly = {
        "/usr/bin/unshare",
        "--mount",
        "/bin/sh",
        "-c",
        "mount --bind \"$0\" \"$0\" && mount -o remount,ro,bind \"$0\" && exec \"$@\"",
        home().string()};
    const std::string said = "cannot be written";
    ktest::KolvarinProcess first(home(), {}, {}, readOnly);
    ASSERT_TRUE(viewer.WaitFor(said, 20000));
    ktest::KolvarinProcess second(home(), {}, {}, readOnly);
    ASSERT_TRUE(ktest::WaitUntil(
        [&] {
            const auto lines = viewer.Lines();
            return std::count_if(lines.begin(), lines.end(),
                                 [&](const std::string& l) { return l.find(said) != std::string::npos; }) == 2;
        },
        std::chrono::seconds(10)))
        << "the second start waited for a hand-over or said nothing";
    first.Signal(SIGTERM);
    second.Signal(SIGTERM);
    EXPECT_EQ(first.Wait(), 0);
    EXPECT_EQ(second.Wait(), 0);
}
