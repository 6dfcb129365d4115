#include <gtest/gtest.h>

#include "gdi/canvas.h"
#include "skin/kskinapply.h"
#include "skin/kskinload.h"
#include "skin/kskinnedmain.h"
#include "skin/kskinnedmediacontrols.h"
#include "skin/kskinnedplaylist.h"
#include "skin/kskinnedvideo.h"
#include "zip/ziphandler.h"

using namespace kolvarin;

namespace {

class SkinApplyTest : public ::testing::Test {
protected:
    SkinApplyTest()
        : main_(skin_),
          playlist_(skin_),
          controls_(skin_),
          video_(skin_),
          bar_(skin_),
          windows_{&main_, &playlist_, &controls_, &video_, &bar_}
    {
        InitGUI(skin_);
    }

    void LoadBuiltin()
    {
        TZipHandler zip;
        ASSERT_EQ(LoadSkinByName(skin_, kDefaultSkinName, true, zip), kSkinLoaded) << LastSkinError();
    }

    TKGUI skin_;
    TKSkinnedMain main_;
    TKSkinnedPlaylist playlist_;
    TKSkinnedMediaControls controls_;
    TKSkinnedVideo video_;
    TKSkinnedFullscreenControl bar_;
    TKSkinWindows windows_;
};

gdi::Bitmap Solid(int w, int h, gdi::Color color)
{
    gdi::Bitmap b(w, h);
    gdi::Canvas c(b);
    c.brush = {gdi::BrushStyle::Solid, color};
    c.fillRect({0, 0, w, h});
    return b;
}

} // namespace

TEST_F(SkinApplyTest, TheBuiltInSkinSizesAndPlacesEveryWindow)
{
    LoadBuiltin();
    main_.show();
    bar_.show();
    ApplySkin(skin_, windows_);
    ApplySkinToFullscreenControl(skin_, bar_);
    const TKSMain& m = skin_.Main;
    EXPECT_EQ(main_.size(), QSize(m.Form.Size.Width, m.Form.Size.Height));
    EXPECT_TRUE(main_.isVisible()) << "visibility kept";
    EXPECT_FALSE(playlist_.isVisible()) << "a hidden window stays hidden";
    EXPECT_FALSE(bar_.isVisible()) << "the full-screen bar ends hidden";
    EXPECT_EQ(main_.imgPlayButton->geometry(),
              QRect(m.PlayButton.FormPos.X, m.PlayButton.FormPos.Y, m.PlayButton.Size.Width, m.PlayButton.Size.Height));
    EXPECT_EQ(main_.imgPlayButton->Picture(), m.PlayButton.Bitmaps[1]);
    EXPECT_EQ(main_.imgProgressSeekbarBar->size(),
              QSize(m.ProgressSeekBar.BarSize.Width, m.ProgressSeekBar.BarSize.Height));
    EXPECT_EQ(main_.popmMain->BarWidth(), m.PopupBackground.Bitmap.width() + 2);
    EXPECT_EQ(playlist_.minimumSize(),
              QSize(skin_.Playlist.ResizeForm.DefaultSize.Width, skin_.Playlist.ResizeForm.DefaultSize.Height));
    EXPECT_EQ(playlist_.size(), QSize(skin_.Playlist.ResizeForm.Size.Width, skin_.Playlist.ResizeForm.Size.Height));
    EXPECT_EQ(playlist_.imgResizer->geometry().bottomRight(), QPoint(playlist_.width() - 1, playlist_.height() - 1));
    EXPECT_GT(playlist_.imgPlaylist->height(), 0);
    EXPECT_EQ(controls_.imgEQBar[9]->x(), skin_.MediaControls.Equalizer[9].BgFormPos.X);
    EXPECT_EQ(bar_.size(),
              QSize(skin_.VideoFullscreenControl.Form.Size.Width, skin_.VideoFullscreenControl.Form.Size.Height));
    EXPECT_FALSE(skin_.Main.Form.Region.isEmpty()) << "the main window is shaped";
    EXPECT_FALSE(skin_.Main.Form.Region.contains(0, 0)) << "its rounded corner is cut";
}

TEST_F(SkinApplyTest, OneTransparentPixelInAnyStateMakesTheWholeElementTransparent)
{
    skin_.TransparentColor = gdi::RGB(255, 0, 255);
    TKSButton& button = skin_.Main.PlayButton;
    TKSCheckbox& box = skin_.Main.MuteCheckbox;
    for (TKSButton* element : {&button, static_cast<TKSButton*>(&box)})
        for (gdi::Bitmap& state : element->Bitmaps)
            state = Solid(6, 6, gdi::RGB(1, 2, 3));
    SkinApplyButton(skin_, *main_.imgPlayButton, button);
    EXPECT_FALSE(main_.imgPlayButton->Transparent());
    EXPECT_FALSE(button.Bitmaps[2].transparent());

    button.Bitmaps[3].setPixel(5, 5, skin_.TransparentColor);
    box.Bitmaps[0].setPixel(0, 0, skin_.TransparentColor);
    SkinApplyButton(skin_, *main_.imgPlayButton, button);
    SkinApplyCheckbox(skin_, *main_.imgMuteCheckbox, box);
    for (const TKSButton* element : {static_cast<const TKSButton*>(&button), static_cast<const TKSButton*>(&box)})
        for (const gdi::Bitmap& state : element->Bitmaps) {
            EXPECT_TRUE(state.transparent());
            EXPECT_EQ(state.transparentColor(), skin_.TransparentColor);
        }
    EXPECT_TRUE(main_.imgPlayButton->Transparent());
    EXPECT_TRUE(main_.imgMuteCheckbox->Transparent());
    EXPECT_TRUE(main_.imgPlayButton->Picture().transparent());
}
