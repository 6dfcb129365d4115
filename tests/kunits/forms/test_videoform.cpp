#include <QColor>
#include <QSignalSpy>

#include "forms/fullscreencontrol.h"
#include "forms/videogeometry.h"
#include "media/videorenderer.h"
#include "shell/dialogs.h"
#include "videoformfixture.h"

using namespace kolvarin;
namespace fx = ktest::media;
using ktest::VideoFormTest;

namespace {

void ExpectColour(const QImage& image, QPoint at, unsigned rgb)
{
    const QColor c = image.pixelColor(at);
    EXPECT_NEAR(c.red(), int(rgb >> 16 & 0xFF), 16);
    EXPECT_NEAR(c.green(), int(rgb >> 8 & 0xFF), 16);
    EXPECT_NEAR(c.blue(), int(rgb & 0xFF), 16);
}

} // namespace

TEST_F(VideoFormTest, ZoomSizesTheClientAreaToThePercentOfTheVideo)
{
    Open(fx::TimedClip("pal.mp4", 1, 720, 576, 25));
    ASSERT_EQ(form_->GetVideoSize(), QSize(720, 576));
    form_->Menu.ZoomItems[3]->trigger(); // 100 %
    EXPECT_EQ(form_->size(), QSize(720, 576)); // the old rule gave 700 x 500
    EXPECT_TRUE(form_->Menu.ZoomItems[3]->isChecked());
    form_->SetWindowZoom(50, false); // no AutoVideoResize, no force: only the tick
    EXPECT_EQ(form_->size(), QSize(720, 576));
    EXPECT_TRUE(form_->Menu.ZoomItems[1]->isChecked());
    EXPECT_FALSE(form_->Menu.ZoomItems[3]->isChecked());
    config_.AutoVideoResize = true;
    form_->SetWindowZoom(50, false);
    EXPECT_EQ(form_->size(), QSize(360, 288));
}

TEST_F(VideoFormTest, RatioItemsStoreTheModeAndShapeThePicture)
{
    Open(fx::Mp4Fixture());
    form_->resize(400, 400);
    QCoreApplication::processEvents();
    const QRect display = form_->DSVideoWindowEx->rect();
    form_->Menu.RatioItems[rm169]->trigger();
    EXPECT_EQ(config_.Ratio.Mode, rm169);
    EXPECT_TRUE(form_->Menu.RatioItems[rm169]->isChecked());
    EXPECT_EQ(PictureRect(), AspectRatioRect(rm169, display, {fx::kWidth, fx::kHeight}, 0, 0));
    EXPECT_EQ(PictureRect().width(), display.width());
    EXPECT_LT(PictureRect().height(), display.height());

    // A user ratio of 0:0 is the video's own shape, not a division by zero.
    config_.Ratio.User = {0, 0};
    form_->Menu.RatioItems[rmUserdef]->trigger();
    EXPECT_EQ(PictureRect(), AspectRatioRect(rmLetterbox, display, {fx::kWidth, fx::kHeight}, 0, 0));
    EXPECT_FALSE(form_->Menu.RatioItems[rm169]->isChecked());

    form_->Menu.RatioItems[rmStretched]->trigger();
    EXPECT_EQ(PictureRect(), display);
    // The picture fills it: its left and right halves show their colours.
    const QImage shown = GrabVideoWindow(form_->DSVideoWindowEx->GetFilter().get());
    ASSERT_FALSE(shown.isNull());
    ExpectColour(shown, {shown.width() / 4, shown.height() / 2}, fx::kLeftColour);
    ExpectColour(shown, {shown.width() * 3 / 4, shown.height() / 2}, fx::kRightColour);
}

TEST_F(VideoFormTest, ModeClicksNeedAnActiveGraph)
{
    form_->show();
    VideoDisplayMode = vdmNone;
    form_->Menu.Fullscreen1->trigger();
    EXPECT_FALSE(form_->Menu.Fullscreen1->isChecked());
    EXPECT_EQ(VideoDisplayMode, vdmNone);
    EXPECT_TRUE(form_->isVisible());

    Open(fx::Mp4Fixture());
    form_->Menu.Fullscreen1->trigger();
    EXPECT_TRUE(form_->Menu.Fullscreen1->isChecked());
    EXPECT_EQ(VideoDisplayMode, vdmFullscreen);
    EXPECT_FALSE(form_->isVisible());
    EXPECT_TRUE(form_->DSVideoWindowEx->FullScreen());

    form_->Menu.Windowmode1->trigger();
    EXPECT_TRUE(form_->Menu.Windowmode1->isChecked());
    EXPECT_FALSE(form_->Menu.Fullscreen1->isChecked());
    EXPECT_EQ(VideoDisplayMode, vdmWindow);
    EXPECT_TRUE(form_->isVisible());
    EXPECT_FALSE(form_->DSVideoWindowEx->FullScreen());
    EXPECT_EQ(form_->DSVideoWindowEx->parentWidget(), form_->pnlVideo);
    EXPECT_EQ(form_->DSVideoWindowEx->geometry(), form_->pnlVideo->rect());
    VideoDisplayMode = vdmNone;
}

TEST_F(VideoFormTest, ResizerStaysInTheCornerAndItsDoubleClickShrinksTheWindow)
{
    form_->show();
    form_->resize(500, 400);
    QCoreApplication::processEvents();
    EXPECT_EQ(form_->imgResizer->geometry().bottomRight(), QPoint(499, 399));
    const QRect caption = form_->imgCaptionBar->geometry();
    EXPECT_EQ(caption.left(), 500 / 2 - caption.width() / 2);
    EXPECT_TRUE(
        form_->pnlVideo->geometry().contains(form_->DSVideoWindowEx->geometry().translated(form_->pnlVideo->pos())));
    QTest::mouseDClick(form_->imgResizer, Qt::LeftButton, {}, form_->imgResizer->rect().center());
    EXPECT_EQ(form_->size(), QSize(100, 100));
}

TEST_F(VideoFormTest, EmptyStreamMenusAreDisabledWhenThePopupOpens)
{
    form_->Menu.Audio1->addAction(QStringLiteral("English"));
    form_->popmVideoPopup();
    EXPECT_TRUE(form_->Menu.Audio1->isEnabled());
    for (QMenu* empty : {form_->Menu.Subtitles1, form_->Menu.Jumpto1, form_->Menu.Filter1})
        EXPECT_FALSE(empty->isEnabled()) << empty->objectName().toStdString();
}

TEST_F(VideoFormTest, DigitalZoomTwoHundredPercentPassesEighty)
{
    Open(fx::Mp4Fixture());
    form_->Menu.N2001->trigger();
    EXPECT_EQ(form_->DSVideoWindowEx->DigitalZoom(), 80);
    EXPECT_TRUE(form_->Menu.N2001->isChecked());
    form_->Menu.Off1->trigger();
    EXPECT_EQ(form_->DSVideoWindowEx->DigitalZoom(), 0);
    EXPECT_FALSE(form_->Menu.N2001->isChecked());
}

TEST_F(VideoFormTest, SeveralFittingScriptsAreOfferedInTheListDialog)
{
    struct Dialogs : shell::ShellDialogs {
        std::optional<std::u16string> browseForFolder(QWidget*, const std::u16string&, const std::u16string&) override
        {
            return std::nullopt;
        }
        shell::ListChoice chooseFromList(QWidget*, const std::u16string& caption, const std::u16string& label,
                                         const std::vector<std::u16string>& items) override
        {
            shown = caption + u"|" + label + u"|" + std::u16string(items.size(), u'*');
            return {accept, items.back(), true};
        }
        bool accept = true;
        std::u16string shown;
    } dialogs;
    shell::Dialogs().install(&dialogs);
    std::string chosen;
    bool dontAsk = false;
    EXPECT_TRUE(form_->ChooseScript({"MPEG 1-2", "Video CD"}, chosen, dontAsk));
    EXPECT_EQ(dialogs.shown, u"Choose video filter script|Filterscript:|**");
    EXPECT_EQ(chosen, "Video CD");
    EXPECT_TRUE(dontAsk);
    dialogs.accept = false;
    EXPECT_FALSE(form_->ChooseScript({"MPEG 1-2"}, chosen, dontAsk)) << "cancelled";
    shell::Dialogs().install(nullptr);
}

// What the configuration dialog applies reaches a playing video at once.
TEST_F(VideoFormTest, AppliedSettingsReachThePlayingVideoAtOnce)
{
    Open(fx::Mp4Fixture());
    auto& colours = config_.VideoColorControls;
    colours = {2500, 15000, -40, 5000, 7, 100};
    form_->ApplyColorControls();
    auto mixer = video::FindMixerConfig(graph_);
    ASSERT_TRUE(mixer);
    media::DDCOLORCONTROL shown{};
    shown.dwSize = 40;
    ASSERT_TRUE(media::Succeeded(mixer->GetOverlaySurfaceColorControls(&shown)));
    EXPECT_EQ(std::vector<int32_t>(
                  {shown.lBrightness, shown.lContrast, shown.lHue, shown.lSaturation, shown.lSharpness, shown.lGamma}),
              std::vector<int32_t>({2500, 15000, -40, 5000, 7, 100}));
    colours.Brightness = 20000; // out of range: the control keeps its own
    form_->ApplyColorControls();
    EXPECT_EQ(form_->DSVideoWindowEx->ColorControl().Brightness(), 2500);

    for (const bool hide : {false, true}) {
        config_.HideCursor = hide;
        form_->ApplyCursorHiding();
        EXPECT_EQ(form_->DSVideoWindowEx->AutoHideCursor(), hide ? 3000 : 0);
    }

    TfrmVideoFullscreenControl bar(skin_);
    bar.show();
    config_.VideoFSControlActive = false;
    form_->ApplyFullscreenControl();
    EXPECT_FALSE(form_->DSVideoWindowEx->FSControlActive());
    EXPECT_FALSE(bar.isVisible()) << "a bar on show goes";
    config_.VideoFSControlActive = true;
    form_->ApplyFullscreenControl();
    EXPECT_TRUE(form_->DSVideoWindowEx->FSControlActive());
}
