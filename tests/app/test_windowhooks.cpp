// The main window's video menu and the full-screen bar reach the video
// window and the user actions.
#include <QAction>
#include <QGuiApplication>

#include <gtest/gtest.h>

#include "app/kforms.h"
#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "forms/appstates.h"
#include "forms/mainform.h"
#include "forms/useractions.h"
#include "forms/videoform.h"
#include "forms/videogeometry.h"
#include "forms/videomenus.h"

namespace kolvarin {
namespace {

class WindowHooksTest : public ::testing::Test {
protected:
    WindowHooksTest() : main(Created(forms, config).Main()), video(forms.Video()) {}
    ~WindowHooksTest() override
    {
        forms.DestroyAll();
        Config = nullptr;
    }
    static TKForms& Created(TKForms& windows, TKConfig& settings)
    {
        Config = &settings;
        settings.SetDefaults();
        windows.CreateSkinnedWindows();
        return windows;
    }

    TKConfig config;
    TKForms forms;
    TfrmMain& main;
    TfrmVideo& video;
};

TEST_F(WindowHooksTest, TheMainRatioItemsRunTheVideoWindowsItemsOfTheSameMeaning)
{
    const std::pair<QAction*, uint8_t> items[] = {
        {main.RatStretched, rmStretched},
        {main.RatLetterbox, rmLetterbox},
        {main.RatCrop, rmCrop},
        {main.Rat43, rm43},
        {main.Rat54, rm54},
        {main.Rat169, rm169},
        {main.Rat1610, rm1610},
        {main.Rat2351, rm2351},
        {main.RatUserDef, rmUserdef},
    };
    const std::vector<QAction*> commands(video.Menu.RatioItems.begin(), video.Menu.RatioItems.end());
    for (const auto& [item, mode] : items) {
        item->trigger();
        EXPECT_EQ(Config->Ratio.Mode, mode) << item->text().toStdString();
        // Without a video the command ticks nothing, and neither does the item.
        EXPECT_FALSE(item->isChecked()) << item->text().toStdString();
        // The video window ticks the mode it applies; the main menu shows it.
        CheckOnly(commands, video.Menu.RatioItems[mode]);
        for (const auto& [other, _] : items)
            EXPECT_EQ(other->isChecked(), other == item) << other->text().toStdString();
    }
}

TEST_F(WindowHooksTest, TheMainModeItemsShowOnlyTheModeTheVideoWindowEntered)
{
    CheckOnly(MenuItems(*video.Menu.Mode1), video.Menu.Windowmode1);
    EXPECT_TRUE(main.Window1->isChecked());
    // Without a video the full-screen command refuses: the main menu once
    // ticked full screen all the same, while the video stayed in its window.
    main.Fullscreen1->trigger();
    EXPECT_FALSE(main.Fullscreen1->isChecked());
    EXPECT_TRUE(main.Window1->isChecked());
    CheckOnly(MenuItems(*video.Menu.Mode1), video.Menu.Desktopmode1);
    EXPECT_TRUE(main.Desktop1->isChecked());
    EXPECT_FALSE(main.Window1->isChecked());
    EXPECT_FALSE(main.Fullscreen1->isChecked());
}

TEST_F(WindowHooksTest, BothMonitorMenusListTheMonitors)
{
    video.RefreshOutputMonitors();
    const std::vector<QAction*> mains = MenuItems(*main.MonitorOutput1), videos = MenuItems(*video.Menu.MonitorOutput1);
    ASSERT_EQ(mains.size(), size_t(QGuiApplication::screens().size()));
    ASSERT_EQ(mains.size(), videos.size());
    for (size_t i = 0; i < mains.size(); ++i) {
        EXPECT_EQ(mains[i]->text(), videos[i]->text());
        EXPECT_EQ(ItemTag(mains[i]), int(i));
    }
    config.VideoFSForceDisplay = -1;
    mains.back()->trigger();
    EXPECT_EQ(config.VideoFSForceDisplay, int(mains.size()) - 1);
    video.RefreshOutputMonitors();
    EXPECT_EQ(MenuItems(*main.MonitorOutput1).size(), mains.size()) << "filled afresh, not appended";
}

TEST_F(WindowHooksTest, TheHooksOutliveTheirWindowsHarmlessly)
{
    // Shutdown destroys the windows while the hooks stay installed.
    forms.DestroyAll();
    TKUserActionHooks& actions = UserActionHooks();
    EXPECT_FALSE(actions.PlaylistActive());
    actions.ScrollPlaylist(10);
    actions.ScrollPlaylistTo(3);
    actions.SortPlaylist(1);
    actions.Screenshot(true);
    AppStateHooks().PlaylistLayout();
    AppStateHooks().VideoLayout();
    AppStateHooks().PlaylistRepaint();
    PlaylistHooks().RefreshPlaylist();
}

} // namespace
} // namespace kolvarin
