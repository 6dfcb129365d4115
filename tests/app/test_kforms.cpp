// Where the skinned windows first appear.
#include <cstdlib>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

#include "app/kforms.h"
#include "core/settings/kconfig.h"
#include "forms/appstates.h"

namespace kolvarin {
namespace {

TEST(KFormsTest, TheMainWindowAndItsDockedWindowsAppearAsOneBlockOnTheScreen)
{
    TKForms forms;
    forms.CreateAll();
    QWidget& main = *forms.Get(TKForms::frmMain);
    QWidget& playlist = *forms.Get(TKForms::frmPlaylist);
    QWidget& controls = *forms.Get(TKForms::frmMediaControls);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    // Together taller than half the screen, so centring the main window
    // alone would push the last one off its foot.
    main.resize(320, area.height() / 4);
    playlist.resize(320, area.height() / 3);
    controls.resize(320, area.height() / 4);
    forms.ShowSkinnedWindows();
    EXPECT_EQ(playlist.geometry().topLeft(), main.geometry().bottomLeft() + QPoint(0, 1));
    EXPECT_EQ(controls.geometry().topLeft(), playlist.geometry().bottomLeft() + QPoint(0, 1));
    const QRect block = main.geometry().united(controls.geometry());
    EXPECT_TRUE(area.contains(block)) << "the whole block is on the screen";
    EXPECT_LE(std::abs(block.center().y() - area.center().y()), 1) << "and centred";
    EXPECT_LE(std::abs(block.center().x() - area.center().x()), 1);

    // Taller than the screen: the top stays on it.
    playlist.resize(320, area.height());
    forms.ShowSkinnedWindows();
    EXPECT_EQ(main.y(), area.top());
    forms.DestroyAll();
}

TEST(KFormsTest, TheWindowsShownAtStartStayWhereTheyAppeared)
{
    TKConfig config;
    config.SetDefaults();
    Config = &config;
    for (const bool firstStart : {true, false}) {
        SCOPED_TRACE(firstStart);
        TKForms forms;
        forms.FirstStart = firstStart;
        forms.CreateAll();
        const QWidget& main = *forms.Get(TKForms::frmMain);
        const QWidget& playlist = *forms.Get(TKForms::frmPlaylist);
        config.MainPos = {40, 30};
        config.PlaylistPos = {40, 600};
        config.MediaControlsPos = {700, 30};
        forms.ShowAtStart();
        EXPECT_TRUE(main.isVisible());
        if (firstStart)
            EXPECT_EQ(playlist.geometry().topLeft(), main.geometry().bottomLeft() + QPoint(0, 1)) << "docked";
        else
            EXPECT_EQ(main.pos(), QPoint(40, 30)) << "where the settings say";
        const QPoint mainAt = main.pos(), playlistAt = playlist.pos();
        ArrangeWindows();
        EXPECT_EQ(main.pos(), mainAt);
        EXPECT_EQ(playlist.pos(), playlistAt);
        forms.DestroyAll();
    }
    Config = nullptr;
}

TEST(KFormsTest, WindowsThatCoverEachOtherAreFoundButDockedOnesAreNot)
{
    TKForms forms;
    forms.CreateAll();
    forms.ShowSkinnedWindows();
    EXPECT_FALSE(forms.SkinnedWindowsOverlap());
    QWidget& controls = *forms.Get(TKForms::frmMediaControls);
    const QWidget& main = *forms.Get(TKForms::frmMain);
    controls.move(main.x(), main.y() + main.height() / 2);
    EXPECT_TRUE(forms.SkinnedWindowsOverlap());
    controls.hide();
    EXPECT_FALSE(forms.SkinnedWindowsOverlap()) << "a hidden window covers nothing";
    forms.DestroyAll();
}

} // namespace
} // namespace kolvarin
