// A second start hands its command line to the running program and ends.
#include <csignal>

#include "core/playlist/kplaylistfiles.h"
#include "core/settings/kconfig.h"
#include "core/text/kstrings.h"
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
