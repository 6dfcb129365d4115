// A save killed with the program leaves its temporary beside the user's file;
// the next start, holding the single-instance lock, removes it and logs it.
#include <csignal>
#include <thread>

#include "core/playlist/kplaylist.h"
#include "core/playlist/kplaylistfiles.h"
#include "core/playlist/kplaylistprocs.h"
#include "core/system/kfilesave.h"
#include "kolvarinprocess.h"
#include "temphome.h"

namespace {

namespace fs = std::filesystem;

class StaleSaveTest : public ktest::TempHomeTest {
protected:
    std::vector<fs::path> PlaylistTemporaries() const
    {
        std::vector<fs::path> found;
        for (const auto& entry : fs::directory_iterator(home()))
            if (kolvarin::IsSaveTemporaryName(entry.path().filename().string(), "default.kpl"))
                found.push_back(entry.path());
        return found;
    }
    fs::path Log() const { return home() / "kolvarin.log"; }
    // A start that reaches its message loop; the old log is gone first, so the
    // line found is this run's.
    bool Start(std::unique_ptr<ktest::KolvarinProcess>& program) const
    {
        fs::remove(Log());
        program = std::make_unique<ktest::KolvarinProcess>(home());
        return ktest::WaitForLogLine(Log(), "Project - Run application...", 60000);
    }
};

TEST_F(StaleSaveTest, TheNextStartRemovesWhatAKilledSaveLeft)
{
    ktest::WriteLoggingConfig(home());
    {
        // 100,000 entries: the playlist's save takes long enough to be caught.
        kolvarin::TKPlaylist playlist;
        kolvarin::Playlist = &playlist;
        for (int i = 0; i < 100000; ++i)
            kolvarin::PlaylistAdd(u"Some artist - some title", u"/music/some folder/some file.mp3", "00:03:00", false,
                                  "00");
        kolvarin::SavePlaylistFile((home() / "default.kpl").string());
        kolvarin::Playlist = nullptr;
    }
    for (int attempt = 0; attempt < 10 && PlaylistTemporaries().empty(); ++attempt) {
        std::unique_ptr<ktest::KolvarinProcess> program;
        ASSERT_TRUE(Start(program));
        program->Signal(SIGTERM);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (PlaylistTemporaries().empty() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        program->Signal(SIGKILL);
        program->Wait();
    }
    const std::vector<fs::path> left = PlaylistTemporaries();
    ASSERT_FALSE(left.empty()) << "no save was caught in the middle";

    std::unique_ptr<ktest::KolvarinProcess> program;
    ASSERT_TRUE(Start(program));
    EXPECT_TRUE(PlaylistTemporaries().empty());
    const auto lines = ktest::ReadLogLines(Log());
    for (const fs::path& file : left)
        EXPECT_NE(
            std::find(lines.begin(), lines.end(), "Project - Removed stale temporary file \"" + file.string() + "\""),
            lines.end())
            << file;
    program->Signal(SIGTERM);
    EXPECT_EQ(program->Wait(), 0);
    EXPECT_TRUE(PlaylistTemporaries().empty());
}

} // namespace
