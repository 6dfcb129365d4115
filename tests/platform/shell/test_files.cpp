#include "shell/files.h"

#include <cstdlib>
#include <filesystem>
#include <optional>

#include <gtest/gtest.h>

#include "temphome.h"

using namespace kolvarin::shell;
namespace fs = std::filesystem;

namespace {

std::u16string u16(const fs::path& p) { return p.u16string(); }

// Points HOME at the temporary folder too, so the trash and the user folders
// are looked up there and on the same file system as the test files.
class ShellFilesTest : public ktest::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        if (const char* home = std::getenv("HOME"))
            savedHome_ = home;
        ::setenv("HOME", home().c_str(), 1);
    }
    void TearDown() override
    {
        if (savedHome_)
            ::setenv("HOME", savedHome_->c_str(), 1);
        else
            ::unsetenv("HOME");
        TempHomeTest::TearDown();
    }

private:
    std::optional<std::string> savedHome_;
};

} // namespace

TEST_F(ShellFilesTest, TrashKeepsTheFileRestorable)
{
    const fs::path file = dir().write("home/music/old song.mp3", "abc");
    ASSERT_TRUE(MoveToTrash(u16(file)));
    EXPECT_FALSE(fs::exists(file));
    const fs::path trash = dir().path() / "xdg-data" / "Trash";
    EXPECT_EQ(ktest::readFile(trash / "files" / "old song.mp3"), "abc");
    const std::string info = ktest::readFile(trash / "info" / "old song.mp3.trashinfo");
    EXPECT_NE(info.find("Path="), std::string::npos);

    EXPECT_FALSE(MoveToTrash(u16(file))); // gone already
    EXPECT_FALSE(MoveToTrash(u""));
}

TEST_F(ShellFilesTest, NoTrashWhenTheDataFolderCannotBeMade)
{
    const fs::path blocker = dir().write("blocker", "a file, not a folder");
    ::setenv("XDG_DATA_HOME", (blocker / "data").c_str(), 1);
    const fs::path file = dir().write("home/keep.mp3", "abc");
    EXPECT_FALSE(MoveToTrash(u16(file)));
    EXPECT_TRUE(fs::exists(file));
    EXPECT_FALSE(fs::exists(fs::current_path() / "files" / "keep.mp3"));
}

TEST_F(ShellFilesTest, DisplayNameIsTheFileNameOfAnExistingFile)
{
    const fs::path file = dir().write("home/Ünïcode name.flac", "x");
    EXPECT_EQ(DisplayName(u16(file)), u"Ünïcode name.flac");
    EXPECT_EQ(DisplayName(u"/no/such/file.mp3"), u"/no/such/file.mp3");
    EXPECT_EQ(DisplayName(u""), u"");
}

TEST_F(ShellFilesTest, SpecialFoldersFollowTheUserDirsSettings)
{
    dir().write("xdg-config/user-dirs.dirs", "XDG_MUSIC_DIR=\"$HOME/Tunes\"\nXDG_VIDEOS_DIR=\"$HOME/Films\"\n");
    EXPECT_EQ(SpecialFolderPath(SpecialFolder::Music), u16(home() / "Tunes"));
    EXPECT_EQ(SpecialFolderPath(SpecialFolder::Videos), u16(home() / "Films"));
    EXPECT_EQ(SpecialFolderPath(SpecialFolder::Home), u16(home()));
    EXPECT_EQ(SpecialFolderPath(SpecialFolder::Data), u16(dir().path() / "xdg-data"));
}
