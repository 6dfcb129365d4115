// Full screen as a user has it under a window manager: the player's real
// windows on a private X server with openbox, the mouse and the keys given
// through the X server. The control bar shows on top of the full-screen
// video, a double click on the video toggles full screen, and so do the keys
// the hot-key table gives.
#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include "core/settings/kconfig.h"
#include "core/settings/khotkeys.h"
#include "core/system/kglobals.h"
#include "desktop.h"
#include "forms/fullscreencontrol.h"
#include "forms/mainform.h"
#include "forms/useractions.h"
#include "forms/videoform.h"
#include "keyhook/keyhook.h"
#include "media_fixtures.h"
#include "playback/ksystem.h"
#include "skin/kskinapply.h"
#include "skin/kskinload.h"
#include "videoplay_fixture.h"
#include "zip/ziphandler.h"

using namespace kolvarin;
namespace fx = ktest::media;

namespace {

class FullscreenDesktopTest : public ktest::VideoPlayFixture {
protected:
    void SetUp() override
    {
        VideoPlayFixture::SetUp();
        InitGUI(GUI);
        TZipHandler zip;
        ASSERT_EQ(LoadSkinByName(GUI, kDefaultSkinName, true, zip), kSkinLoaded);
        main = std::make_unique<TfrmMain>();
        bar = std::make_unique<TfrmVideoFullscreenControl>();
        form = &StartSystem(std::make_unique<TfrmVideo>());
        TKSkinWindows windows;
        windows.Main = main.get();
        windows.Video = form;
        ApplySkin(GUI, windows);
        ApplySkinToFullscreenControl(GUI, *bar);
        system->SetView(main.get());
        PlaySystem = system.get();
        VideoDisplayMode = vdmNone;
        Config->VideoFSControlActive = true;
        // The hot keys as the program wires them.
        HotKeys = new TKHotKeys();
        HotKeys->OnAction = RunHotKeyAction;
        HotKeys->KeyFocus = [] { return TKKeyFocus{PlaylistFocused(), IsPlayerForeground(0)}; };
        keyhook::KSetKolvHandler(main.get());
        keyhook::KEnableHook();
        main->show();
    }
    void TearDown() override
    {
        keyhook::KDisableHook();
        keyhook::KSetKolvHandler(nullptr);
        delete HotKeys;
        HotKeys = nullptr;
        Close();
        bar.reset();
        main.reset();
        FreeGUI(GUI);
        GUI.Loaded = false;
        VideoPlayFixture::TearDown();
    }

    // Plays a clip long enough to outlast the test.
    void PlayClip()
    {
        system->Play(Add(fx::TimedClip("fullscreen.mp4", 60, 320, 240, 25)));
        ASSERT_TRUE(SysActive);
        ASSERT_TRUE(WaitFor([&] { return form->isVisible() && !form->GetVideoSize().isEmpty(); }, 5000));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    }
    // A double click in the middle of the video, wherever it shows.
    void DoubleClickTheVideo() const
    {
        const QWidget& display = *form->DSVideoWindowEx;
        const QPoint at = display.mapTo(display.window(), display.rect().center());
        ktest::Desktop().DoubleClick(display.window()->winId(), at.x(), at.y());
    }
    // The share of the bar's pixels that the screen shows as the bar draws them.
    double BarShownShare() const
    {
        const QImage own = bar->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRect at = bar->geometry();
        const QImage screen = QGuiApplication::primaryScreen()
                                  ->grabWindow(0, at.x(), at.y(), at.width(), at.height())
                                  .toImage()
                                  .convertToFormat(QImage::Format_RGB32);
        if (own.size() != screen.size() || own.isNull())
            return 0;
        int same = 0;
        for (int y = 0; y < own.height(); ++y)
            for (int x = 0; x < own.width(); ++x)
                same += own.pixel(x, y) == screen.pixel(x, y);
        return double(same) / (own.width() * own.height());
    }

    std::unique_ptr<TfrmMain> main;
    std::unique_ptr<TfrmVideoFullscreenControl> bar;
    TfrmVideo* form = nullptr;
};

} // namespace

TEST_F(FullscreenDesktopTest, TheControlBarShowsOverTheFullScreenVideo)
{
    PlayClip();
    form->Fullscreen1Click();
    ASSERT_TRUE(form->DSVideoWindowEx->FullScreen());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form->DSVideoWindowEx->window()));
    // Moves of the mouse over the video call the bar up.
    int step = 0;
    ASSERT_TRUE(WaitFor(
        [&] {
            ktest::Desktop().MoveTo(300 + ++step % 2 * 10, 300);
            return bar->isVisible();
        },
        3000));
    EXPECT_TRUE(WaitFor([&] { return BarShownShare() > 0.9; }, 3000)) << BarShownShare();
}

TEST_F(FullscreenDesktopTest, ADoubleClickOnTheVideoTogglesFullScreen)
{
    PlayClip();
    DoubleClickTheVideo();
    ASSERT_TRUE(WaitFor([] { return VideoDisplayMode == vdmFullscreen; }, 5000));
    EXPECT_TRUE(form->DSVideoWindowEx->FullScreen());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form->DSVideoWindowEx->window()));
    DoubleClickTheVideo();
    ASSERT_TRUE(WaitFor([] { return VideoDisplayMode == vdmWindow; }, 5000));
    EXPECT_FALSE(form->DSVideoWindowEx->FullScreen());
    EXPECT_TRUE(form->isVisible());
}

TEST_F(FullscreenDesktopTest, TheHotKeysToggleFullScreenWhereverTheVideoIs)
{
    PlayClip();
    // F, then Alt+Return: in, out, in, out.
    const char* const keys[] = {"f", "f", "alt+Return", "alt+Return"};
    bool full = false;
    for (const char* key : keys) {
        // The key goes to the window that has the focus: the video window, or
        // the full-screen video.
        QWidget* front = full ? form->DSVideoWindowEx->window() : form;
        ASSERT_TRUE(ktest::Desktop().Activate(front->winId())) << key;
        ktest::Desktop().Press(key);
        full = !full;
        EXPECT_TRUE(WaitFor([&] { return form->DSVideoWindowEx->FullScreen() == full; }, 5000)) << key;
    }
}
