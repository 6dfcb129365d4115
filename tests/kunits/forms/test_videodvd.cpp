// A DVD played by the play system in the video window: the mouse highlights
// and fires the menu's buttons through the picture's place in the window,
// the chapter, title and time events fill the audio, subtitle and "Jump to"
// menus, the time digits and the progress bar, and the menus' clicks reach
// the disc.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <memory>

#include <QCoreApplication>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

#include "core/playlist/kplaylistprocs.h"
#include "core/settings/kconfig.h"
#include "core/system/kglobals.h"
#include "dvd_fixture.h"
#include "forms/useractions.h"
#include "forms/videoform.h"
#include "forms/videogeometry.h"
#include "media/controlif.h"
#include "media/dvdif.h"
#include "media/notify.h"
#include "media_fixtures.h"
#include "playback/ksystem.h"
#include "skin/kgui.h"
#include "temphome.h"
#include "video/dskitfiltergraph.h"
#include "video/graphbuilder.h"
#include "video/kdirectshowside.h"
#include "videoplay_fixture.h"

using namespace kolvarin;
namespace fx = ktest::media;

namespace {

class RecordingView : public TKPlayerView {
public:
    void SetProgressBar(int tag, bool, int64_t max, int64_t) override
    {
        ProgressTag = tag;
        ProgressMax = max;
        ++ProgressCalls;
    }
    bool SeekBarDragging() const override { return Dragging; }
    void ShowTime(int hours, int minutes, int seconds, bool) override
    {
        Seconds = seconds;
        Elapsed = (hours * 60 + minutes) * 60 + seconds;
        ++TimeCalls;
    }
    int ProgressTag = 0, Seconds = -1, Elapsed = -1, ProgressCalls = 0, TimeCalls = 0;
    int64_t ProgressMax = 0;
    bool Dragging = false;
};

// Holds the graph's event notices back, as a window busy elsewhere would,
// until opened.
class NoticeGate : public QObject {
public:
    NoticeGate() { QCoreApplication::instance()->installEventFilter(this); }
    ~NoticeGate() override { QCoreApplication::instance()->removeEventFilter(this); }
    // Lets the notices through and sends one for those held back.
    void Open()
    {
        open_ = true;
        if (receiver_)
            QCoreApplication::postEvent(receiver_, new media::WindowMessageEvent(message_, wParam_, lParam_));
    }
    bool eventFilter(QObject* to, QEvent* event) override
    {
        if (open_ || event->type() != media::WindowMessageEvent::EventType())
            return false;
        const auto* notice = static_cast<const media::WindowMessageEvent*>(event);
        receiver_ = to;
        message_ = notice->Message();
        wParam_ = notice->WParam();
        lParam_ = notice->LParam();
        return true;
    }

private:
    bool open_ = false;
    QPointer<QObject> receiver_;
    int32_t message_ = 0;
    intptr_t wParam_ = 0, lParam_ = 0;
};

class VideoDvdTest : public ktest::VideoPlayFixture {
protected:
    void SetUp() override
    {
        VideoPlayFixture::SetUp();
        Config->OSD.Enabled = true;
        UseSourceScripts();
        form = &StartSystem(std::make_unique<TfrmVideo>());
        system->SetView(&view);
        PlaySystem = system.get();
        VideoDisplayMode = vdmNone;
    }
    void PlayDisc(const std::filesystem::path& disc = fx::DvdFixture())
    {
        system->Play(Add(disc / "VIDEO_TS" / "VIDEO_TS.IFO"));
        QCoreApplication::processEvents();
    }

    media::IDvdInfo2& Info() { return *side->GraphBuilder().DvdInfo; }
    // Where the navigator reads in its title, in seconds.
    int TitleSeconds()
    {
        media::DVD_PLAYBACK_LOCATION2 where;
        if (media::Failed(Info().GetCurrentLocation(&where)))
            return -1;
        return (where.TimeCode.bHours * 60 + where.TimeCode.bMinutes) * 60 + where.TimeCode.bSeconds;
    }
    uint32_t CurrentButton()
    {
        uint32_t available = 0, current = 0;
        Info().GetCurrentButton(&available, &current);
        return available ? current : 0;
    }
    static bool WaitFor(const std::function<bool()>& done, int ms = 8000) { return VideoPlayer::WaitFor(done, ms); }
    static std::vector<std::u16string> Captions(const QMenu& menu)
    {
        std::vector<std::u16string> captions;
        for (QAction* a : MenuItems(menu))
            captions.push_back(a->text().toStdU16String());
        return captions;
    }
    // Where a pixel of the DVD's picture shows in the display.
    QPoint InDisplay(QPoint pixel)
    {
        const auto renderer = side->Display().GetFilter();
        int32_t left = 0, top = 0, width = 0, height = 0, sl = 0, st = 0, sw = 0, sh = 0;
        renderer.as<media::IVideoWindow>()->GetWindowPosition(&left, &top, &width, &height);
        renderer.as<media::IBasicVideo>()->GetSourcePosition(&sl, &st, &sw, &sh);
        const QPoint window = QPoint(left, top) - side->Display().pos();
        return window + QPoint((pixel.x() - sl) * width / sw, (pixel.y() - st) * height / sh);
    }
    static QPoint Centre(const int (&r)[4]) { return {(r[0] + r[2]) / 2, (r[1] + r[3]) / 2}; }
    // The audio and subtitle menus list the fixture's title streams.
    void ExpectTheTitlesStreams()
    {
        EXPECT_EQ(Captions(*form->Menu.Audio1), (std::vector<std::u16string>{u"English", u"German"}));
        ASSERT_TRUE(Checked(*form->Menu.Audio1));
        EXPECT_EQ(Checked(*form->Menu.Audio1)->text(), "English");
        EXPECT_EQ(Captions(*form->Menu.Subtitles1),
                  (std::vector<std::u16string>{u"Show subtitles", u"English", u"French"}));
        ASSERT_EQ(form->Menu.Subtitles1->actions().size(), 4);
        EXPECT_TRUE(form->Menu.Subtitles1->actions()[1]->isSeparator());
        EXPECT_FALSE(MenuItems(*form->Menu.Subtitles1)[0]->isChecked());
    }
    // Stop once the play system has let the disc go.
    media::DVD_DOMAIN Domain()
    {
        media::DVD_DOMAIN domain = media::DVD_DOMAIN_Stop;
        if (side->GraphBuilder().DvdInfo)
            Info().GetCurrentDomain(&domain);
        return domain;
    }
    static QAction* Checked(const QMenu& menu)
    {
        for (QAction* a : MenuItems(menu))
            if (a->isChecked())
                return a;
        return nullptr;
    }

    RecordingView view;
    TfrmVideo* form = nullptr;
};

} // namespace

TEST_F(VideoDvdTest, TheMouseHighlightsAndFiresTheMenusButtonsWhereThePictureShowsThem)
{
    PlayDisc();
    ASSERT_TRUE(SysActive);
    ASSERT_TRUE(side->GraphBuilder().DvdInfo);
    ASSERT_TRUE(WaitFor([&] { return CurrentButton() == 1 && !form->GetVideoSize().isEmpty(); }));
    EXPECT_TRUE(form->Menu.Showmenu1->menuAction()->isVisible());
    // Mapping: picture pixels through the scaled, letter-boxed picture and
    // back, with and without digital zoom.
    for (const int zoom : {0, 50}) {
        form->SetDigitalZoom(zoom);
        for (const QPoint pixel : {QPoint(176, 144), QPoint(120, 100), QPoint(230, 200)}) {
            const auto back = form->DvdPicturePoint(InDisplay(pixel));
            ASSERT_TRUE(back) << zoom;
            EXPECT_NEAR(back->x, pixel.x(), 2) << zoom;
            EXPECT_NEAR(back->y, pixel.y(), 2) << zoom;
        }
    }
    form->SetDigitalZoom(0);
    if (InDisplay({0, 0}).y() > 0) {
        EXPECT_FALSE(form->DvdPicturePoint({5, InDisplay({0, 0}).y() - 2})) << "above the picture";
    }

    QWidget& display = side->Display();
    QTest::mouseMove(&display, InDisplay(Centre(fx::kDvdButton2)));
    EXPECT_TRUE(WaitFor([&] { return CurrentButton() == 2; }, 2000));
    QTest::mouseMove(&display, InDisplay({5, 5}));
    QTest::mouseRelease(&display, Qt::RightButton, {}, InDisplay(Centre(fx::kDvdButton1)));
    EXPECT_EQ(CurrentButton(), 2u) << "beside the buttons nothing changes; the right button fires nothing";
    // Twice the speed, from the speed menu.
    auto rate = std::make_shared<float>(0.0f);
    form->FilterGraph()->OnDVDPlaybackRateChange = [rate](float r) { *rate = r; };
    QAction* twice = MenuItems(*form->Menu.Forwardspeed1)[4];
    ASSERT_EQ(twice->text(), "2X");
    twice->trigger();
    EXPECT_TRUE(twice->isChecked());
    EXPECT_TRUE(WaitFor([&] { return *rate == 2.0f; }));

    QTest::mouseMove(&display, InDisplay(Centre(fx::kDvdButton1)));
    QTest::mouseRelease(&display, Qt::LeftButton, {}, InDisplay(Centre(fx::kDvdButton1)));
    ASSERT_TRUE(WaitFor([&] { return form->DvdState().DvdCurrentTitle == 1; }));
}

TEST_F(VideoDvdTest, TheDiscsEventsFillTheMenusWhoseClicksReachTheDisc)
{
    // A speed chosen on the last disc does not carry over to this one.
    MenuItems(*form->Menu.Backwardspeed1)[5]->setChecked(true);
    PlayDisc();
    ASSERT_TRUE(SysActive);
    for (QMenu* speeds : {form->Menu.Forwardspeed1, form->Menu.Backwardspeed1}) {
        const std::vector<QAction*> items = MenuItems(*speeds);
        for (size_t i = 0; i < items.size(); ++i)
            EXPECT_EQ(items[i]->isChecked(), speeds == form->Menu.Forwardspeed1 && items[i]->text() == "1X")
                << speeds->objectName().toStdString() << " " << items[i]->text().toStdString();
    }
    ASSERT_TRUE(WaitFor([&] { return CurrentButton() == 1; }));
    EXPECT_TRUE(form->Menu.Jumpto1->isEmpty()) << "no chapter has started in the disc's menu";
    ASSERT_EQ(side->GraphBuilder().DvdControl->PlayTitle(1, 0), media::S_OK);

    // The first chapter: the menus of the title's streams and the disc's
    // titles (the window may take the chapter's event late, even after
    // the short title has ended).
    ASSERT_TRUE(WaitFor([&] { return !form->Menu.Jumpto1->isEmpty(); }));
    ExpectTheTitlesStreams();
    ASSERT_EQ(Captions(*form->Menu.Jumpto1), (std::vector<std::u16string>{u"Title 1", u"Title 2"}));
    const QMenu* chapters = form->Menu.Jumpto1->actions()[0]->menu();
    ASSERT_TRUE(chapters);
    EXPECT_EQ(Captions(*chapters), (std::vector<std::u16string>{u"Chapter 1", u"Chapter 2", u"Chapter 3"}));
    EXPECT_TRUE(Checked(*chapters));
    EXPECT_EQ(form->Menu.Jumpto1->actions()[1]->menu(), nullptr) << "one chapter: the title jumps itself";
    form->popmVideoPopup();
    EXPECT_TRUE(form->Menu.Jumpto1->isEnabled());
    EXPECT_TRUE(form->Menu.Audio1->isEnabled());

    // German sound and shown subtitles, kept over a jump to the third chapter.
    // The disc's stream events name the language of the stream they choose.
    std::vector<std::pair<int, std::u16string>> audioChanges, subpictureChanges;
    form->FilterGraph()->OnDVDAudioStreamChange = [&](int stream, int lcid, const std::u16string& name) {
        EXPECT_NE(lcid, 0);
        audioChanges.emplace_back(stream, name);
    };
    form->FilterGraph()->OnDVDSubpictureStreamChange = [&](int stream, int, const std::u16string& name) {
        subpictureChanges.emplace_back(stream, name);
    };
    MenuItems(*form->Menu.Audio1)[1]->trigger();
    EXPECT_EQ(Checked(*form->Menu.Audio1)->text(), "German");
    EXPECT_EQ(OSDText, u"DVD language 'German'");
    MenuItems(*form->Menu.Subtitles1)[0]->trigger();
    EXPECT_TRUE(MenuItems(*form->Menu.Subtitles1)[0]->isChecked());
    MenuItems(*chapters)[2]->trigger();
    EXPECT_EQ(OSDText, u"Chapter 3, title 1");
    EXPECT_EQ(Checked(*chapters), MenuItems(*chapters)[2]);
    ASSERT_TRUE(WaitFor([&] {
        media::DVD_PLAYBACK_LOCATION2 where;
        return media::Succeeded(Info().GetCurrentLocation(&where)) && where.ChapterNum == 3;
    }));
    EXPECT_TRUE(WaitFor([&] {
        return std::count(audioChanges.begin(), audioChanges.end(), std::pair<int, std::u16string>{1, u"German"}) &&
               std::count(subpictureChanges.begin(), subpictureChanges.end(),
                          std::pair<int, std::u16string>{0, u"English"});
    }));
    uint32_t available = 0, current = 0;
    bool disabled = true;
    Info().GetCurrentAudio(&available, &current);
    EXPECT_EQ(current, 1u);
    Info().GetCurrentSubpicture(&available, &current, &disabled);
    EXPECT_FALSE(disabled);

    // The title menu of the "Show menu" branch, and again from the menu's
    // still, where it waits on its buttons rather than running through.
    auto stills = std::make_shared<std::atomic<int>>(0);
    form->FilterGraph()->OnDVDStillOn = [stills](bool, int) { ++*stills; };
    form->Menu.Titlemenu1->trigger();
    ASSERT_TRUE(WaitFor([&] { return Domain() == media::DVD_DOMAIN_VideoManagerMenu && *stills > 0; }));
    const int before = *stills;
    form->Menu.Titlemenu1->trigger();
    ASSERT_TRUE(WaitFor([&] { return *stills > before; }));
    EXPECT_FALSE(WaitFor([&] { return Domain() != media::DVD_DOMAIN_VideoManagerMenu; }, 800));
}

TEST_F(VideoDvdTest, TheStreamMenusAreTheTitlesThoughTheWindowTakesItsEventsBackInTheDiscsMenu)
{
    PlayDisc();
    ASSERT_TRUE(WaitFor([&] { return CurrentButton() == 1; }));
    // The window is busy: it takes no event until the one-second title has
    // played and the disc is back in its menu.
    NoticeGate gate;
    ASSERT_EQ(side->GraphBuilder().DvdControl->PlayTitle(2, 0), media::S_OK);
    ASSERT_TRUE(WaitFor([&] {
        media::DVD_PLAYBACK_LOCATION2 where;
        return media::Succeeded(Info().GetCurrentLocation(&where)) && where.TitleNum == 2 &&
               Domain() == media::DVD_DOMAIN_VideoManagerMenu;
    }));
    EXPECT_TRUE(form->Menu.Jumpto1->isEmpty());
    gate.Open();
    ASSERT_TRUE(WaitFor([&] { return !form->Menu.Jumpto1->isEmpty(); }));
    ExpectTheTitlesStreams();
    EXPECT_EQ(Checked(*form->Menu.Jumpto1), form->Menu.Jumpto1->actions()[1]);
}

TEST_F(VideoDvdTest, TheProgressBarAndTheTimeJumpsMoveTheDiscWithinItsTitle)
{
    Config->TimeMode = 0;
    PlayDisc(fx::WideDvdFixture());
    ASSERT_TRUE(SysActive);
    ASSERT_TRUE(WaitFor([&] { return system->Seekable(); })) << "the title's length is known";
    EXPECT_EQ(view.ProgressMax, fx::kWideDvdTitle1Seconds * 1000);
    ASSERT_LT(view.Elapsed, 5);
    // The navigator reads little ahead of what shows, so a seek starts from
    // the title that shows.
    ASSERT_TRUE(WaitFor([&] { return view.Elapsed >= 1; }));
    EXPECT_LE(TitleSeconds() - view.Elapsed, 2);

    // The bar let go at 0:20 (its range counts milliseconds): the disc's
    // time says it plays from there, give or take the unit it starts with.
    system->SetPosition(TKBar{view.ProgressMax, 20000});
    ASSERT_TRUE(WaitFor([&] { return view.Elapsed >= 19; }, 3000)) << view.Elapsed;

    // A jump back of five seconds from there, by the key's action.
    Config->JumpInterval = 5000;
    TKSSeekBar& seek = GUI.Main.ProgressSeekBar;
    (seek.Visible ? seek.Max : GUI.Main.ProgressBar.Max) = view.ProgressMax;
    int64_t& value = seek.Visible ? seek.Value : GUI.Main.ProgressBar.Value;
    value = 20000;
    SeekBackward();
    EXPECT_EQ(value, 15000);
    EXPECT_TRUE(WaitFor([&] { return view.Elapsed >= 14 && view.Elapsed <= 17; }, 3000)) << view.Elapsed;

    // While the bar is dragged the disc's time leaves it where the user holds it.
    view.Dragging = true;
    const int progress = view.ProgressCalls, times = view.TimeCalls;
    ASSERT_TRUE(WaitFor([&] { return view.TimeCalls > times + 1; }, 3000));
    EXPECT_EQ(view.ProgressCalls, progress);
}

TEST_F(VideoDvdTest, AWideTitleShowsInItsOwnShape)
{
    PlayDisc(fx::WideDvdFixture());
    ASSERT_TRUE(SysActive);
    ASSERT_TRUE(WaitFor([&] { return !form->GetVideoSize().isEmpty(); }));
    EXPECT_EQ(form->GetVideoSize(), QSize(720, 576));
    // The modes that keep the picture's own shape: letter box, and a user
    // ratio without values.
    for (const uint8_t mode : {uint8_t(rmLetterbox), uint8_t(rmUserdef)}) {
        Config->Ratio.User.X = Config->Ratio.User.Y = 0;
        form->SelectRatio(mode);
        int32_t left = 0, top = 0, width = 0, height = 1;
        side->Display().GetFilter().as<media::IVideoWindow>()->GetWindowPosition(&left, &top, &width, &height);
        EXPECT_NEAR(double(width) / height, 16.0 / 9, 0.02) << int(mode);
    }
    // The disc's 4:3 menu, of the same size: its pictures say their own shape.
    form->SelectRatio(rmLetterbox);
    ASSERT_EQ(side->GraphBuilder().DvdControl->ShowMenu(media::DVD_MENU_Title, 0), media::S_OK);
    EXPECT_TRUE(WaitFor([&] {
        const QSize shape = form->GetPictureShape();
        return Domain() == media::DVD_DOMAIN_VideoManagerMenu && shape.height() > 0 &&
               std::abs(double(shape.width()) / shape.height() - 4.0 / 3) < 0.02;
    }));
    EXPECT_EQ(form->GetVideoSize(), QSize(720, 576));
}
