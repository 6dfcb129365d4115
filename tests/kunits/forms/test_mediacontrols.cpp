#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include "core/settings/kconfig.h"
#include "core/system/kglobals.h"
#include "core/system/kpaths.h"
#include "core/text/klanguage.h"
#include "forms/mainform.h"
#include "forms/mediacontrolsform.h"
#include "forms/videoform.h"
#include "playback/ksystem.h"
#include "skin/kskinapply.h"
#include "skin/kskinelements.h"
#include "skin/kskinload.h"
#include "temphome.h"
#include "zip/ziphandler.h"

using namespace kolvarin;

namespace {

class MediaControlsTest : public ktest::TempHomeTest {
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        ResetProcessFlags();
        AppInitialized = true;
        Config = new TKConfig();
        Config->SetDefaults();
        SetDefaultLanguage(Language);
        ApplicationPath = dir().path().string() + "/";
        system_ = std::make_unique<TKSystem>();
        InitGUI(skin_);
        TZipHandler zip;
        ASSERT_EQ(LoadSkinByName(skin_, kDefaultSkinName, true, zip), kSkinLoaded) << LastSkinError();
        main_ = std::make_unique<TfrmMain>(skin_);
        form_ = std::make_unique<TfrmMediaControls>(skin_);
        form_->System = system_.get();
        form_->Hooks.ShowMessage = [this](const QString& text) { messages_.push_back(text); };
        ApplySkin(skin_, TKSkinWindows{nullptr, nullptr, form_.get(), nullptr, nullptr});
        // The start states of the application states.
        setRange(speed(), 1, 10, TfrmMediaControls::DefaultSpeed);
        for (int i = 0; i < 10; ++i)
            setRange(band(i), 0, 24, 12);
        form_->PlaceSliders();
        form_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
    }

    void TearDown() override
    {
        form_.reset();
        main_.reset();
        system_.reset();
        FreeGUI(GUI);
        GUI.Loaded = false;
        delete Config;
        Config = nullptr;
        ResetProcessFlags();
        TempHomeTest::TearDown();
    }

    // Presses the thumb in its middle, drags it to the given point of its
    // background (both in the background's coordinates) and releases it.
    void drag(TKImage& background, TKImage& thumb, QPoint to)
    {
        const QPoint grab = thumb.rect().center();
        QTest::mousePress(&thumb, Qt::LeftButton, {}, grab);
        QTest::mouseMove(&thumb, thumb.mapFrom(form_.get(), background.geometry().topLeft() + to));
        QTest::mouseRelease(&thumb, Qt::LeftButton, {},
                            thumb.mapFrom(form_.get(), background.geometry().topLeft() + to));
    }
    static void setRange(TKSSeekBar& bar, int min, int max, int value)
    {
        bar.Min = min;
        bar.Max = max;
        bar.Value = value;
    }
    TKSSeekBar& band(int i) { return skin_.MediaControls.Equalizer[i]; }
    TKSSeekBar& speed() { return skin_.MediaControls.SpeedSeekBar; }
    std::u16string status() const { return main_->StatusText(); }

    TKGUI& skin_ = GUI; // the user actions work on the process-wide record
    std::unique_ptr<TKSystem> system_;
    std::unique_ptr<TfrmMain> main_; // shows the status texts
    std::unique_ptr<TfrmMediaControls> form_;
    std::vector<QString> messages_;
};

TEST_F(MediaControlsTest, DraggingABandToItsEndsSetsTheGainEverywhere)
{
    struct Case {
        int band;
        bool top;
        int value;
        std::u16string status;
    };
    const Case cases[] = {
        {0, true, 24, u"Equalizer 60 Hz: +12 db"},
        {9, false, 0, u"Equalizer 16 KHz: -12 db"},
        {4, true, 24, u"Equalizer 1 KHz: +12 db"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.band);
        TKImage& bg = *form_->imgEQBackground[c.band];
        drag(bg, *form_->imgEQBar[c.band], QPoint(bg.width() / 2, c.top ? -20 : bg.height() + 20));
        EXPECT_EQ(band(c.band).Value, c.value);
        EXPECT_EQ(system_->EqualizerSliders()[c.band], c.value);
        EXPECT_EQ(Config->Equalizer[c.band], c.value);
        EXPECT_EQ(status(), c.status);
    }
    EXPECT_EQ(system_->EqualizerSliders()[1], 12) << "other bands keep their values";
}

TEST_F(MediaControlsTest, DraggingTheSpeedSetsTheRateAndShowsIt)
{
    TKImage& bg = *form_->imgSpeedBackground;
    drag(bg, *form_->imgSpeedBar, QPoint(bg.width() / 2, -20));
    EXPECT_EQ(speed().Value, 10);
    EXPECT_EQ(Config->Speed, 10);
    EXPECT_EQ(status(), u"[ Speed 250 % ]");
}

TEST_F(MediaControlsTest, RightClickOrDoubleClickResetsASlider)
{
    band(3).Value = 20;
    speed().Value = 9;
    form_->PlaceSliders();
    QTest::mouseClick(form_->imgEQBar[3], Qt::RightButton);
    EXPECT_EQ(band(3).Value, 12);
    EXPECT_EQ(system_->EqualizerSliders()[3], 12);
    EXPECT_EQ(status(), u"Equalizer 600 Hz: +0 db");

    Config->Speed = 9;
    QTest::mouseDClick(form_->imgSpeedBar, Qt::LeftButton);
    EXPECT_EQ(speed().Value, 4);
    EXPECT_EQ(Config->Speed, 4);
    EXPECT_EQ(status(), u"[ Speed 100 % ]");
    const QPoint placed = form_->imgSpeedBar->pos();
    form_->PlaceSliders();
    EXPECT_EQ(form_->imgSpeedBar->pos(), placed) << "the thumb sits where value 4 belongs";
}

TEST_F(MediaControlsTest, MovingWithoutTheButtonChangesNothing)
{
    const QPoint before = form_->imgEQBar[2]->pos();
    form_->imgEQBar[2]->MouseMove(0, 2, -30);
    form_->imgSpeedBar->MouseMove(ssRight, 2, -30);
    EXPECT_EQ(band(2).Value, 12);
    EXPECT_EQ(speed().Value, 4);
    EXPECT_EQ(form_->imgEQBar[2]->pos(), before);
    EXPECT_TRUE(status().empty());
}

TEST_F(MediaControlsTest, PresetMenuListsTheFolderAndLoadsTheChosenFile)
{
    form_->BuildPresetMenu();
    EXPECT_TRUE(form_->Presets1->actions().isEmpty()) << "no preset folder: an empty submenu";

    std::string rock = "// Rock\r\n";
    for (int i = 0; i < 10; ++i)
        rock += "EQBand" + std::to_string(i) + " [ " + std::to_string(i - 5) + " ]\r\n";
    dir().write("data/presets/Rock & Roll.keqp", rock);
    dir().write("data/presets/Flat.keqp", "EQBand0 [ 0 ]\r\n");
    dir().write("data/presets/notes.txt", "not a preset");
    form_->BuildPresetMenu();
    const QList<QAction*> items = form_->Presets1->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->text(), "Flat");
    EXPECT_EQ(items[1]->text(), "Rock && Roll") << "the ampersand is shown, not an access key";
    EXPECT_EQ(items[1]->data().toInt(), 1);

    items[1]->trigger();
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(band(i).Value, i + 7) << i;
    EXPECT_EQ(system_->EqualizerSliders()[0], 7);
    const QPoint raised = form_->imgEQBar[9]->pos();

    form_->DefaultPreset1->trigger();
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(band(i).Value, 12) << i;
    EXPECT_GT(form_->imgEQBar[9]->pos().y(), raised.y()) << "the thumb went back down to 0 dB";
}

TEST_F(MediaControlsTest, PresetFilesLoadAndSaveThroughTheDialogs)
{
    const QString file = QString::fromStdString((dir().path() / "mine.keqp").string());
    band(0).Value = 2;
    form_->PlaceSliders();
    QTest::mouseClick(form_->imgEQBar[1], Qt::RightButton); // hands the sliders to the play system
    form_->Hooks.ChoosePresetFile = [&](bool) { return file; };
    form_->SavePreset1->trigger();
    form_->DefaultPreset1->trigger();
    EXPECT_EQ(band(0).Value, 12);
    form_->LoadPreset1->trigger();
    EXPECT_EQ(band(0).Value, 2);
    EXPECT_TRUE(messages_.empty());

    form_->Hooks.ChoosePresetFile = [](bool) { return QString(); };
    form_->LoadPreset1->trigger();
    form_->SavePreset1->trigger();
    EXPECT_TRUE(messages_.empty()) << "a cancelled dialog does nothing";

    const QString missing = QString::fromStdString((dir().path() / "no" / "such.keqp").string());
    form_->Hooks.ChoosePresetFile = [&](bool) { return missing; };
    form_->LoadPreset1->trigger();
    form_->SavePreset1->trigger();
    ASSERT_EQ(messages_.size(), 2u);
    EXPECT_TRUE(messages_[0].contains("cannot be read"));
    EXPECT_TRUE(messages_[1].contains("cannot be written"));
    EXPECT_EQ(band(0).Value, 2) << "a failed load keeps the sliders";
}

TEST_F(MediaControlsTest, ShowingAndHidingFollowTheSettingAfterStartUp)
{
    form_->hide();
    EXPECT_FALSE(Config->MediaConVis);
    EXPECT_FALSE(main_->Mediacontrols1->isChecked());
    form_->show();
    EXPECT_TRUE(Config->MediaConVis);
    EXPECT_TRUE(main_->Mediacontrols1->isChecked());

    AppInitialized = false;
    form_->hide();
    EXPECT_TRUE(Config->MediaConVis) << "start-up and shutdown arrange the windows themselves";
    EXPECT_TRUE(main_->Mediacontrols1->isChecked());
}

TEST_F(MediaControlsTest, APressOnTheCaptionActivatesItAndDeactivatesTheMainCaption)
{
    ASSERT_NE(skin_.Main.CaptionBar.Bitmaps[0], skin_.Main.CaptionBar.Bitmaps[1]);
    SkinSetCaptionActive(skin_, *main_->imgCaptionbar, skin_.Main.CaptionBar, true);
    QTest::mousePress(form_->imgCaptionbar, Qt::RightButton, {}, QPoint(3, 3));
    QTest::mouseRelease(form_->imgCaptionbar, Qt::RightButton, {}, QPoint(3, 3));
    EXPECT_EQ(form_->imgCaptionbar->Picture(), skin_.MediaControls.CaptionBar.Bitmaps[1]);
    EXPECT_EQ(main_->imgCaptionbar->Picture(), skin_.Main.CaptionBar.Bitmaps[0]);

    AppKilled = true;
    SkinSetCaptionActive(skin_, *main_->imgCaptionbar, skin_.Main.CaptionBar, true);
    form_->FormActivate();
    EXPECT_EQ(main_->imgCaptionbar->Picture(), skin_.Main.CaptionBar.Bitmaps[1]) << "nothing once shutdown began";
}

TEST_F(MediaControlsTest, APressOnTheVideoCaptionShowsTheOtherCaptionsInactive)
{
    TfrmVideo video(skin_);
    ApplySkin(skin_, TKSkinWindows{nullptr, nullptr, nullptr, &video, nullptr});
    SkinSetCaptionActive(skin_, *main_->imgCaptionbar, skin_.Main.CaptionBar, true);
    SkinSetCaptionActive(skin_, *form_->imgCaptionbar, skin_.MediaControls.CaptionBar, true);
    QTest::mousePress(video.imgCaptionBar, Qt::RightButton, {}, QPoint(3, 3));
    QTest::mouseRelease(video.imgCaptionBar, Qt::RightButton, {}, QPoint(3, 3));
    EXPECT_EQ(video.imgCaptionBar->Picture(), skin_.Video.CaptionBar.Bitmaps[1]);
    EXPECT_EQ(main_->imgCaptionbar->Picture(), skin_.Main.CaptionBar.Bitmaps[0]);
    EXPECT_EQ(form_->imgCaptionbar->Picture(), skin_.MediaControls.CaptionBar.Bitmaps[0]);
}

TEST_F(MediaControlsTest, ContextMenusBelongToTheBackgroundAndTheCaption)
{
    QMenu& mainMenu = *main_->popmMain;
    QContextMenuEvent onForm(QContextMenuEvent::Mouse, QPoint(5, 60), form_->imgForm->mapToGlobal(QPoint(5, 60)));
    QApplication::sendEvent(form_->imgForm, &onForm);
    EXPECT_TRUE(form_->popmMediaControls->isVisible());
    form_->popmMediaControls->hide();
    QContextMenuEvent onCaption(QContextMenuEvent::Mouse, QPoint(5, 5),
                                form_->imgCaptionbar->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(form_->imgCaptionbar, &onCaption);
    EXPECT_TRUE(mainMenu.isVisible());
    EXPECT_FALSE(form_->popmMediaControls->isVisible());
    mainMenu.hide();
}

} // namespace
