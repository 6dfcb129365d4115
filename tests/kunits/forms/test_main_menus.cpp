// The main window's popup menus.
#include <QAction>
#include <QMenu>
#include <algorithm>

#include "core/playlist/kplaylistprocs.h"
#include "core/text/klanguage.h"
#include "forms/mediacontrolsform.h"
#include "mainformfixture.h"

using namespace kolvarin;

namespace ktest {
namespace {

TEST_F(MainFormTest, ThePlayModeMenuSwitchesTheModeAndTheCheckBox)
{
    Config->PlayMode = {};
    main->PlaymodeItems[1]->trigger();
    EXPECT_TRUE(Config->PlayMode.Enabled);
    EXPECT_EQ(Config->PlayMode.Mode, 1);
    EXPECT_EQ(GUI.Main.PlaymodeCheckbox.State, 3);
    main->PlaymodeItems[0]->trigger();
    EXPECT_FALSE(Config->PlayMode.Enabled);
    EXPECT_EQ(Config->PlayMode.Mode, 1) << "None keeps the mode";
    EXPECT_EQ(main->imgPlaymodeCheckbox->Tag, 0);
    Config->PlayMode.Enabled = true;
    Config->PlayMode.Mode = 4;
    emit main->popmPlaymode->aboutToShow();
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(main->PlaymodeItems[static_cast<size_t>(i)]->isChecked(), i == 4);
}

TEST_F(MainFormTest, WindowItemsSwitchTheWindowAndItsCheckBox)
{
    TfrmMediaControls controls;
    Config->MediaConVis = false;
    main->Mediacontrols1->trigger();
    EXPECT_TRUE(Config->MediaConVis);
    EXPECT_TRUE(main->Mediacontrols1->isChecked());
    EXPECT_EQ(GUI.Main.EqualizerCheckbox.State, 3);
    EXPECT_TRUE(controls.isVisible());
    main->Mediacontrols1->trigger();
    EXPECT_FALSE(controls.isVisible());
    EXPECT_EQ(main->imgEqualizerCheckbox->Tag, 0);
}

TEST_F(MainFormTest, TellAFriendWritesTheRecommendationIntoAMailLink)
{
    const std::u16string link = TfrmMain::TellAFriendLink();
    EXPECT_EQ(link.rfind(u"mailto:<Enter the e-mail address of your friend here>?subject=Kolvarin Mediaplayer "
                         u"recommend&body=Hello!<br>",
                         0),
              0u);
    EXPECT_EQ(link.size() - link.rfind(u"https://www.kolvarin.org/<br><br>"), 33u) << "eight lines, each ended";
}

TEST_F(MainFormTest, PausingAnAudioFileLeavesTheVideoMenuOff)
{
    const std::filesystem::path file = home() / "silence.wav";
    WriteSilence(file, 20);
    PlaylistAdd(u"silence", file.u16string(), "00:00:20", false, "00");
    system->Play(0);
    ASSERT_TRUE(SysActive);
    for (const bool paused : {true, false}) {
        system->Pause();
        ASSERT_EQ(SysPaused, paused);
        EXPECT_FALSE(main->Video1->menuAction()->isEnabled()) << paused;
    }
    system->Stop(true);
}

TEST_F(MainFormTest, TenMenuItemsShowTheirImagesEachItsOwn)
{
    const QAction* const items[] = {main->AboutKolvarin1, main->Helpcenter1->menuAction(),
                                    main->Configuration1, main->Close1,
                                    main->LiveUpdate1,    main->Minimize1,
                                    main->Restore1,       main->Fullscreen1,
                                    main->Desktop1,       main->Window1};
    std::vector<QImage> seen;
    for (const QAction* item : items) {
        const QImage image = item->icon().pixmap(16, 16).toImage();
        ASSERT_FALSE(image.isNull()) << item->objectName().toStdString();
        EXPECT_EQ(std::count(seen.begin(), seen.end(), image), 0) << item->objectName().toStdString();
        seen.push_back(image);
    }
    EXPECT_TRUE(main->Main1->icon().isNull()) << "items without an image keep none";
}

TEST_F(MainFormTest, TheLiveStreamItemsAreOneChoice)
{
    main->AudioLiveStreamRecord->trigger();
    EXPECT_TRUE(main->AudioLiveStreamRecord->isChecked());
    EXPECT_FALSE(main->AudioLiveStreamStop->isChecked());
    main->AudioLiveStreamStop->trigger();
    EXPECT_FALSE(main->AudioLiveStreamRecord->isChecked());
    EXPECT_TRUE(main->AudioLiveStreamStop->isChecked());
}

} // namespace
} // namespace ktest
