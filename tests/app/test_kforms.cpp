// Where the skinned windows first appear.
#include <algorithm>
#include <cstdlib>
#include <iterator>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

#include "app/kforms.h"
#include "core/settings/kconfig.h"
#include "dialogs/aboutform.h"
#include "dialogs/newsform.h"
#include "forms/appstates.h"

namespace kolvarin {
namespace {

TEST(KFormsTest, TheSkinnedWindowsComeFirstAndTheDialogsOnceLater)
{
    TKForms forms;
    forms.CreateSkinnedWindows();
    const TKForms::Form skinned[] = {TKForms::frmMain, TKForms::frmVideo, TKForms::frmPlaylist,
                                     TKForms::frmMediaControls, TKForms::frmVideoFullscreenControl};
    for (int i = 0; i < TKForms::Count; ++i) {
        const auto form = static_cast<TKForms::Form>(i);
        const bool isSkinned = std::find(std::begin(skinned), std::end(skinned), form) != std::end(skinned);
        EXPECT_EQ(forms.Get(form) != nullptr, isSkinned) << TKForms::Name(form);
    }
    EXPECT_EQ(frmAbout, nullptr);
    EXPECT_TRUE(forms.CreateDialogs());
    for (int i = 0; i < TKForms::Count; ++i) {
        const auto form = static_cast<TKForms::Form>(i);
        EXPECT_EQ(forms.Get(form) != nullptr, form != TKForms::frmConfig) << TKForms::Name(form);
        if (const QWidget* window = forms.Get(form)) {
            EXPECT_EQ(window->objectName(), QLatin1String(TKForms::Name(form)));
        }
    }
    EXPECT_EQ(frmAbout, forms.Get(TKForms::frmAbout));
    EXPECT_EQ(frmNews, forms.Get(TKForms::frmNews));
    const QWidget* search = forms.Get(TKForms::frmSearch);
    EXPECT_FALSE(forms.CreateDialogs());
    EXPECT_EQ(forms.Get(TKForms::frmSearch), search);
    forms.DestroyAll();
    EXPECT_EQ(frmAbout, nullptr);
}

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
