#include "core/desktop/kshellutils.h"

#include <QUrl>

#include <cstdlib>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "shell/dialogs.h"
#include "shell/launcher.h"
#include "temphome.h"

using namespace kolvarin;

namespace {

// Records what would be shown and answers with canned replies.
class FakeDialogs : public shell::ShellDialogs {
public:
    std::optional<std::u16string> browseForFolder(QWidget*, const std::u16string& caption,
                                                  const std::u16string& startFolder) override
    {
        shownCaption = caption;
        shownStart = startFolder;
        return folderReply;
    }
    shell::ListChoice chooseFromList(QWidget*, const std::u16string& caption, const std::u16string& label,
                                     const std::vector<std::u16string>& items) override
    {
        shownCaption = caption;
        shownLabel = label;
        shownItems = items;
        return listReply;
    }

    std::optional<std::u16string> folderReply;
    shell::ListChoice listReply;
    std::u16string shownCaption, shownLabel, shownStart;
    std::vector<std::u16string> shownItems;
};

class FakeLauncher : public shell::Launcher {
public:
    bool open(const QUrl& url) override
    {
        opened.push_back(url);
        return false;
    }
    std::vector<QUrl> opened;
};

class ShellUtilsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        shell::Dialogs().install(&dialogs);
        shell::Launchers().install(&launcher);
    }
    void TearDown() override
    {
        shell::Dialogs().install(nullptr);
        shell::Launchers().install(nullptr);
    }
    FakeDialogs dialogs;
    FakeLauncher launcher;
};

} // namespace

TEST_F(ShellUtilsTest, BrowseForFolderStartsAtTheInitialFolderAndKeepsTheOldOneOnCancel)
{
    std::u16string folder = u"/music";
    dialogs.folderReply = std::nullopt;
    EXPECT_FALSE(BrowseForFolder(nullptr, folder, u"Output folder", u"/start"));
    EXPECT_EQ(dialogs.shownCaption, u"Output folder");
    EXPECT_EQ(dialogs.shownStart, u"/start");
    EXPECT_EQ(folder, u"/music");

    dialogs.folderReply = u"/music/rock";
    EXPECT_TRUE(BrowseForFolder(nullptr, folder, u"Output folder", u""));
    EXPECT_EQ(dialogs.shownStart, u"/music");
    EXPECT_EQ(folder, u"/music/rock");
}

TEST_F(ShellUtilsTest, DontAskAgainDialogPassesTheChoiceThrough)
{
    dialogs.listReply = {true, u"mpeg", true};
    std::u16string chosen;
    bool dontAsk = false;
    EXPECT_TRUE(ShowDontAskAgainDialog(u"Kolvarin", u"Choose", {u"default", u"mpeg"}, chosen, dontAsk));
    EXPECT_EQ(dialogs.shownItems, (std::vector<std::u16string>{u"default", u"mpeg"}));
    EXPECT_EQ(dialogs.shownLabel, u"Choose");
    EXPECT_EQ(chosen, u"mpeg");
    EXPECT_TRUE(dontAsk);

    dialogs.listReply = {false, u"", true};
    EXPECT_FALSE(ShowDontAskAgainDialog(u"Kolvarin", u"Choose", {u"default"}, chosen, dontAsk));
    EXPECT_EQ(chosen, u"");
    EXPECT_TRUE(dontAsk); // the check box counts even when cancelled
}

TEST_F(ShellUtilsTest, OpenUrlHandsTheAddressToTheDesktopAndReportsNothing)
{
    OpenURL(u"http://www.example.org/faq");
    ASSERT_EQ(launcher.opened.size(), 1u);
    EXPECT_EQ(launcher.opened[0], QUrl("http://www.example.org/faq"));
}

TEST(ShellUtils, SpecialFolderIdsMapToTheUserFolders)
{
    ktest::TempDir dir;
    std::optional<std::string> savedHome;
    if (const char* h = std::getenv("HOME"))
        savedHome = h;
    ::setenv("HOME", dir.path().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (dir.path() / "config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (dir.path() / "data").c_str(), 1);
    dir.write("config/user-dirs.dirs", "XDG_MUSIC_DIR=\"$HOME/Musik\"\n");

    const std::u16string root = dir.path().u16string();
    EXPECT_EQ(GetSpecialFolderPath(CSIDL_MYMUSIC), root + u"/Musik");
    EXPECT_EQ(GetSpecialFolderPath(CSIDL_APPDATA), root + u"/data");
    EXPECT_EQ(GetSpecialFolderPath(CSIDL_LOCAL_APPDATA), root + u"/data");
    EXPECT_EQ(GetSpecialFolderPath(CSIDL_PROFILE), root);
    EXPECT_EQ(GetSpecialFolderPath(0x7F), u"");

    savedHome ? ::setenv("HOME", savedHome->c_str(), 1) : ::unsetenv("HOME");
    ::unsetenv("XDG_CONFIG_HOME");
    ::unsetenv("XDG_DATA_HOME");
}
