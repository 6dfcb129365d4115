// The application states and the display routines they share.
#include <QAction>
#include <QMenu>

#include "core/playlist/kplaylistprocs.h"
#include "core/text/kstrings.h"
#include "core/text/ktemplates.h"
#include "forms/appstates.h"
#include "forms/mediacontrolsform.h"
#include "forms/playlistform.h"
#include "forms/useractions.h"
#include "mainformfixture.h"

using namespace kolvarin;

namespace ktest {
namespace {

TEST(AppStatesTest, TimeDigitsShowTheFirstTwoDigitsOrBlanks)
{
    EXPECT_EQ(TimeDigits(123, 4, 59), (std::array<int, 6>{1, 2, 0, 4, 5, 9}));
    EXPECT_EQ(TimeDigits(1, -1, 0), (std::array<int, 6>{-1, -1, -1, -1, -1, -1}));
    EXPECT_EQ(SecondsToTimeText(3725), u"01:02:05");
}

TEST(AppStatesTest, TheOpenDialogFilterListsEveryKindThenThePlaylists)
{
    const std::u16string filter = OpenDialogFilter();
    EXPECT_EQ(filter.rfind(u"All media files|*.", 0), 0u);
    for (const char16_t* kind : {u"|Audio streams|*.", u"|Music CD files|*.", u"|DirectX Audio files|*.",
                                 u"|DirectX Video files|*.", u"|DVD files|*."})
        EXPECT_NE(filter.find(kind), std::u16string::npos) << Utf16ToUtf8(kind);
    EXPECT_EQ(filter.find(u";|"), std::u16string::npos) << "no list ends with a separator";
    const std::u16string tail = u"|Playlist files|*.kpl;*.pls;*.m3u";
    EXPECT_EQ(filter.substr(filter.size() - tail.size()), tail);
    const QStringList entries = QtFileDialogFilter(filter).split(QStringLiteral(";;"));
    ASSERT_EQ(entries.size(), 7);
    EXPECT_EQ(entries.last(), QStringLiteral("Playlist files (*.kpl *.KPL *.pls *.PLS *.m3u *.M3U)"));
}

class AppStatesWindowsTest : public MainFormTest {
protected:
    void SetUp() override
    {
        MainFormTest::SetUp();
        playlist = std::make_unique<TfrmPlaylist>();
        controls = std::make_unique<TfrmMediaControls>();
    }
    void TearDown() override
    {
        controls.reset();
        playlist.reset();
        MainFormTest::TearDown();
    }
    std::unique_ptr<TfrmPlaylist> playlist;
    std::unique_ptr<TfrmMediaControls> controls;
};

TEST_F(AppStatesWindowsTest, OnlyTheThreeStatesDoAnything)
{
    main->move(40, 50);
    Config->MainPos = {1, 2};
    SetApplicationState("PROGRAMMEND");
    SetApplicationState("programend");
    EXPECT_EQ(Config->MainPos.X, 1);
    SetApplicationState("PROGRAMEND");
    EXPECT_EQ(Config->MainPos.X, 40);
    EXPECT_EQ(Config->MainPos.Y, 50);
}

TEST_F(AppStatesWindowsTest, ArrangingFollowsTheSettingsAndTheEndStoresThem)
{
    Config->MainVis = true;
    Config->PlaylistVis = false;
    Config->MediaConVis = true;
    Config->Mute = true;
    Config->PlayMode.Enabled = false;
    Config->MainPos = {30, 40};
    Config->PlaylistPos = {30, 200};
    Config->PlaylistSize = {320, 260};
    Config->MediaControlsPos = {400, 40};
    ArrangeWindows();
    EXPECT_TRUE(main->isVisible());
    EXPECT_FALSE(playlist->isVisible());
    EXPECT_TRUE(controls->isVisible());
    EXPECT_EQ(main->pos(), QPoint(30, 40));
    EXPECT_EQ(playlist->geometry(), QRect(30, 200, 320, 260));
    EXPECT_EQ(controls->pos(), QPoint(400, 40));
    EXPECT_EQ(GUI.Main.MuteCheckbox.State, 3);
    EXPECT_EQ(main->imgPlaylistCheckbox->Tag, 0);
    EXPECT_EQ(GUI.Main.PlaymodeCheckbox.State, 1);
    EXPECT_FALSE(main->Playlistwindow1->isChecked());
    EXPECT_TRUE(main->Mediacontrols1->isChecked());

    playlist->setGeometry(10, 300, 350, 280);
    main->move(15, 25);
    SetApplicationState("PROGRAMEND");
    EXPECT_EQ(Config->MainPos.X, 15);
    EXPECT_EQ(Config->PlaylistPos.Y, 300);
    EXPECT_EQ(Config->PlaylistSize.Width, 350);
    EXPECT_EQ(Config->PlaylistSize.Height, 280);
}

// The design moved the windows back to where the last run ended.
TEST_F(AppStatesWindowsTest, ASkinChangeLeavesTheWindowsWhereTheUserHasThem)
{
    Config->MainPos = {1, 2};
    Config->PlaylistPos = {3, 4};
    main->move(70, 80);
    playlist->setGeometry(70, 300, 330, 240);
    SetApplicationState("SKINCHANGE");
    EXPECT_EQ(main->pos(), QPoint(70, 80));
    EXPECT_EQ(playlist->geometry().topLeft(), QPoint(70, 300));
    EXPECT_EQ(Config->MainPos.X, 70);
}

TEST_F(AppStatesWindowsTest, TheStartSelectsTheEntryPlayedLastWhenItExists)
{
    std::vector<int> scrolledTo;
    UserActionHooks().ScrollPlaylistTo = [&](int index) { scrolledTo.push_back(index); };
    Config->LastPlayed.Remember = true;
    for (const char16_t* name : {u"a", u"b", u"c"})
        PlaylistAdd(name, std::u16string(u"/") + name + u".mp3", "00:00:00", true, "00");
    LastPlayedIndex = 3; // the count: no entry
    SetApplicationState("PROGRAMMSTART");
    EXPECT_TRUE(scrolledTo.empty());
    EXPECT_EQ(PlaylistSelectedCount(), 3) << "nothing changed";

    LastPlayedIndex = 1;
    SetApplicationState("PROGRAMMSTART");
    EXPECT_EQ(scrolledTo, std::vector<int>{1});
    EXPECT_EQ(PlaylistSelectedCount(), 1);
    EXPECT_TRUE(PlaylistIsSelected(1));
    EXPECT_EQ(main->StatusText(), u"Ready");
    EXPECT_FALSE(main->AddFilesFilter.isEmpty());
    EXPECT_EQ(GUI.Main.Balance.Max, 200);
}

TEST_F(AppStatesWindowsTest, MediaThatFailedShowTheProblemButNoInformation)
{
    Config->Notifications.ShowMediaInfoBalloon = true;
    Config->Notifications.ShowBalloonOnProblems = true;
    TKPlaylistEntry entry;
    entry.FileName = u"/music/song.mp3";
    entry.Caption = u"Song";
    std::vector<TKStreamInfo> infos(1);
    ShowMediaInfo(infos, entry);
    ASSERT_EQ(main->KTrayIcon1.Balloons().size(), 1u);
    EXPECT_EQ(main->KTrayIcon1.Balloons()[0].Text.rfind(u"File 'song.mp3' could not be played!", 0), 0u);

    infos[0].Valid = true;
    infos[0].Kind = 2;
    infos[0].Codec = "MPEG layer 3";
    infos[0].Channels = 2;
    BalloonTemplate = new TKTemplateLoader();
    BalloonTemplate->Text = u"  %CAPTION% (%FILENAME%)\r\n%STREAMINFOS%\r\n";
    ShowMediaInfo(infos, entry);
    delete BalloonTemplate;
    BalloonTemplate = nullptr;
    ASSERT_EQ(main->KTrayIcon1.Balloons().size(), 2u);
    EXPECT_EQ(
        main->KTrayIcon1.Balloons()[1].Text.rfind(u"Song (song.mp3)\r\nAudio stream: MPEG layer 3, 2 channels", 0), 0u);
}

} // namespace
} // namespace ktest
