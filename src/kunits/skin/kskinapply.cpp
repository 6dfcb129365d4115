#include "skin/kskinapply.h"

#include <initializer_list>

#include "core/desktop/kbitmaps.h"
#include "skin/kskinelements.h"
#include "skin/kskinnedmain.h"
#include "skin/kskinnedmediacontrols.h"
#include "skin/kskinnedplaylist.h"
#include "skin/kskinnedvideo.h"

namespace kolvarin {

namespace {

void Place(QWidget& control, TKSPoint pos, TKSSize size)
{
    control.setGeometry(pos.X, pos.Y, std::max(size.Width, 0), std::max(size.Height, 0));
}

// Marks every image transparent with the skin's colour when any of them
// holds it; the control follows. Returns whether it did.
template <typename Images>
bool DecideTransparency(const TKGUI& skin, TKImage& control, Images images)
{
    bool found = false;
    for (gdi::Bitmap* image : images)
        found = found || BitmapHasColor(*image, skin.TransparentColor);
    for (gdi::Bitmap* image : images) {
        image->setTransparentColor(skin.TransparentColor);
        image->setTransparent(found);
    }
    control.SetTransparent(found);
    return found;
}

template <size_t N>
std::vector<gdi::Bitmap*> All(std::array<gdi::Bitmap, N>& images)
{
    std::vector<gdi::Bitmap*> out;
    for (gdi::Bitmap& image : images)
        out.push_back(&image);
    return out;
}

} // namespace

bool SkinApplyForm(TKGUI& skin, TKImage& control, TKSForm& form, QWidget& window)
{
    return SkinApplyFormBackground(skin, control, form, window);
}

void SkinApplyImage(TKGUI& skin, TKImage& control, TKSImage& image)
{
    Place(control, image.FormPos, image.Size);
    DecideTransparency(skin, control, std::vector<gdi::Bitmap*>{&image.Bitmap});
    control.SetPicture(image.Bitmap);
}

void SkinApplyButton(TKGUI& skin, TKImage& control, TKSButton& button)
{
    Place(control, button.FormPos, button.Size);
    control.setVisible(button.Visible);
    DecideTransparency(skin, control, All(button.Bitmaps));
    control.SetPicture(button.Bitmaps[1]);
}

// Check boxes mark all their state images too, so every state looks the
// same as a button's.
void SkinApplyCheckbox(TKGUI& skin, TKImage& control, TKSCheckbox& box) { SkinApplyButton(skin, control, box); }

void SkinApplyBar(TKGUI& skin, TKImage& control, TKSBar& bar)
{
    Place(control, bar.FormPos, bar.Size);
    DecideTransparency(skin, control, All(bar.Bitmaps));
    control.SetPicture(bar.Bitmaps[0]);
}

void SkinApplySeekBar(TKGUI& skin, TKImage& background, TKImage& thumb, TKSSeekBar& bar)
{
    Place(background, bar.BgFormPos, bar.BgSize);
    Place(thumb, bar.BgFormPos, bar.BarSize);
    background.setVisible(bar.Visible);
    thumb.setVisible(bar.Visible);
    DecideTransparency(skin, background, std::vector<gdi::Bitmap*>{&bar.BgBitmap});
    DecideTransparency(skin, thumb, All(bar.BarBitmaps));
    background.SetPicture(bar.BgBitmap);
    thumb.SetPicture(bar.BarBitmaps[0]);
}

void SkinApplyScrollLabel(TKGUI&, TKPaintbox& control, TKSScrollLabel& label)
{
    Place(control, label.FormPos, label.Size);
}

void SkinApplyTime(TKGUI& skin, TKImage& control, TKSTime& time)
{
    const gdi::Size size = SkinSizeTime(time);
    control.setGeometry(time.FormPos.X, time.FormPos.Y, size.cx, size.cy);
    DecideTransparency(skin, control, All(time.CharBitmaps));
    control.ClearPicture();
}

void SkinApplyResizeForm(TKGUI&, TKPaintbox& control, TKSResizeForm& form)
{
    Place(control, {0, 0}, form.Size);
    SkinComposeResizeForm(form, form.Size.Width, form.Size.Height);
    control.Invalidate();
}

void SkinApplyCaptionBar(TKGUI& skin, TKImage& control, TKSCaptionBar& bar)
{
    Place(control, bar.FormPos, bar.Size);
    DecideTransparency(skin, control, All(bar.Bitmaps));
    control.SetPicture(bar.Bitmaps[0]);
}

void SkinApplyStatusIcon(TKGUI& skin, TKImage& control, TKSImage& icon)
{
    Place(control, icon.FormPos, icon.Size);
    DecideTransparency(skin, control, std::vector<gdi::Bitmap*>{&icon.Bitmap});
    control.ClearPicture();
}

void SkinApplyScrollBar(TKGUI& skin, TKImage& control, TKSScrollBar& bar)
{
    Place(control, {0, 0}, bar.Size);
    DecideTransparency(skin, control, All(bar.Bitmaps));
    control.SetPicture(bar.Bitmaps[0]);
}

void SkinApplyPopup(const TKGUI& skin, TBarPopupMenu& menu, const TKSImage& image)
{
    gdi::Bitmap bitmap = image.Bitmap;
    bitmap.setTransparentColor(skin.TransparentColor);
    bitmap.setTransparent(true);
    menu.SetBitmap(bitmap);
    menu.SetBarWidth(image.Bitmap.width() + 2);
}

namespace {

void ApplyMain(TKGUI& skin, TKSkinnedMain& w)
{
    TKSMain& m = skin.Main;
    w.resize(std::max(m.Form.Size.Width, 0), std::max(m.Form.Size.Height, 0));
    SkinApplyForm(skin, *w.imgForm, m.Form, w);
    SkinApplyCaptionBar(skin, *w.imgCaptionbar, m.CaptionBar);
    SkinApplyButton(skin, *w.imgCloseButton, m.CloseButton);
    SkinApplyButton(skin, *w.imgMinimizeButton, m.MinimizeButton);
    Place(*w.imgAnalyzer, m.Analyzer.FormPos, m.Analyzer.Size);
    w.imgAnalyzer->Invalidate();
    SkinApplyImage(skin, *w.imgScrollabelBackground, m.ScrolllabelBackground);
    SkinApplyScrollLabel(skin, *w.imgScrolllabel, m.Scrolllabel);
    SkinApplyBar(skin, *w.imgProgressBar, m.ProgressBar);
    SkinApplySeekBar(skin, *w.imgProgressSeekbarBackground, *w.imgProgressSeekbarBar, m.ProgressSeekBar);
    const std::pair<THoverImage*, TKSButton*> transport[] = {
        {w.imgRewindButton, &m.RewindButton},   {w.imgPlayButton, &m.PlayButton},
        {w.imgPauseButton, &m.PauseButton},     {w.imgStopButton, &m.StopButton},
        {w.imgForwardButton, &m.ForwardButton}, {w.imgEjectButton, &m.EjectButton},
    };
    for (const auto& [control, element] : transport)
        SkinApplyButton(skin, *control, *element);
    SkinApplyBar(skin, *w.imgVolume, m.Volume);
    SkinApplySeekBar(skin, *w.imgVolumeSeekbarBackground, *w.imgVolumeSeekbarBar, m.VolumeSeekBar);
    SkinApplySeekBar(skin, *w.imgBalanceBackground, *w.imgBalanceBar, m.Balance);
    const std::pair<TKImage*, TKSCheckbox*> boxes[] = {
        {w.imgMuteCheckbox, &m.MuteCheckbox},
        {w.imgPlaymodeCheckbox, &m.PlaymodeCheckbox},
        {w.imgAutofullscreenCheckbox, &m.AutofullscreenCheckbox},
        {w.imgAutoVideoResizeCheckbox, &m.AutoVideoResizeCheckbox},
        {w.imgPlaylistCheckbox, &m.PlaylistCheckbox},
        {w.imgEqualizerCheckbox, &m.EqualizerCheckbox},
    };
    for (const auto& [control, element] : boxes)
        SkinApplyCheckbox(skin, *control, *element);
    SkinApplyButton(skin, *w.imgConfigButton, m.ConfigButton);
    SkinApplyTime(skin, *w.imgTime, m.Time);
    for (TKSImage* icon :
         {&m.StatusIconReady, &m.StatusIconStop, &m.StatusIconPlay, &m.StatusIconPause, &m.StatusIconWait})
        SkinApplyStatusIcon(skin, *w.imgStatus, *icon);
    SkinApplyPopup(skin, *w.popmMain, m.PopupBackground);
}

// The sizes, background, resizer and caption of a window the user may resize.
template <class Window, class Record>
void ApplyResizable(TKGUI& skin, Window& w, Record& r)
{
    w.setMinimumSize(std::max(r.ResizeForm.DefaultSize.Width, 0), std::max(r.ResizeForm.DefaultSize.Height, 0));
    w.resize(std::max(r.ResizeForm.Size.Width, 0), std::max(r.ResizeForm.Size.Height, 0));
    SkinApplyResizeForm(skin, *w.imgForm, r.ResizeForm);
    SkinApplyImage(skin, *w.imgResizer, r.Resizer);
    SkinApplyCaptionBar(skin, *w.imgCaptionBar, r.CaptionBar);
}

void ApplyPlaylist(TKGUI& skin, TKSkinnedPlaylist& w)
{
    TKSPlaylist& p = skin.Playlist;
    ApplyResizable(skin, w, p);
    SkinLayoutPlaylist(skin, *w.imgPlaylist, *w.imgStatusbar, p.ResizeForm, p.PlaylistEditor, p.Statusbar);
    SkinApplyScrollBar(skin, *w.imgScrollBar, p.Scrollbar);
    SkinApplyPopup(skin, *w.popmPlaylist, p.PopupBackground);
    w.FormResize();
}

void ApplyMediaControls(TKGUI& skin, TKSkinnedMediaControls& w)
{
    TKSMediaControls& mc = skin.MediaControls;
    w.resize(std::max(mc.Form.Size.Width, 0), std::max(mc.Form.Size.Height, 0));
    SkinApplyForm(skin, *w.imgForm, mc.Form, w);
    SkinApplyCaptionBar(skin, *w.imgCaptionbar, mc.CaptionBar);
    SkinApplySeekBar(skin, *w.imgSpeedBackground, *w.imgSpeedBar, mc.SpeedSeekBar);
    for (size_t band = 0; band < w.imgEQBar.size(); ++band)
        SkinApplySeekBar(skin, *w.imgEQBackground[band], *w.imgEQBar[band], mc.Equalizer[band]);
    SkinApplyPopup(skin, *w.popmMediaControls, mc.PopupBackground);
}

void ApplyVideo(TKGUI& skin, TKSkinnedVideo& w)
{
    ApplyResizable(skin, w, skin.Video);
    w.FormResize();
}

} // namespace

void ApplySkin(TKGUI& skin, const TKSkinWindows& windows)
{
    QWidget* const shown[] = {windows.Main, windows.Playlist, windows.MediaControls, windows.Video};
    bool visible[std::size(shown)] = {};
    for (size_t i = 0; i < std::size(shown); ++i) {
        visible[i] = shown[i] && shown[i]->isVisible();
        if (shown[i])
            shown[i]->hide();
    }
    if (windows.FullscreenControl)
        windows.FullscreenControl->hide();
    // A failed apply must not leave the windows hidden for the skin applied next.
    const auto restore = [&] {
        for (size_t i = 0; i < std::size(shown); ++i)
            if (visible[i])
                shown[i]->show();
    };
    try {
        if (windows.Main)
            ApplyMain(skin, *windows.Main);
        if (windows.Playlist)
            ApplyPlaylist(skin, *windows.Playlist);
        if (windows.MediaControls)
            ApplyMediaControls(skin, *windows.MediaControls);
        if (windows.Video)
            ApplyVideo(skin, *windows.Video);
    } catch (...) {
        restore();
        throw;
    }
    restore();
}

bool SkinSizesEveryWindow(const TKGUI& skin)
{
    auto sized = [](const TKSSize& size) { return size.Width > 0 && size.Height > 0; };
    auto resizable = [&](const TKSResizeForm& form) {
        return sized(
            {std::max(form.Size.Width, form.DefaultSize.Width), std::max(form.Size.Height, form.DefaultSize.Height)});
    };
    return sized(skin.Main.Form.Size) && sized(skin.MediaControls.Form.Size) && resizable(skin.Playlist.ResizeForm) &&
           resizable(skin.Video.ResizeForm);
}

void ApplySkinToFullscreenControl(TKGUI& skin, TKSkinnedFullscreenControl& w)
{
    w.hide();
    TKSVideoFullscreenControl& f = skin.VideoFullscreenControl;
    w.resize(std::max(f.Form.Size.Width, 0), std::max(f.Form.Size.Height, 0));
    SkinApplyForm(skin, *w.imgForm, f.Form, w);
    SkinApplyButton(skin, *w.imgCloseButton, f.CloseButton);
    SkinApplyImage(skin, *w.imgScrollabelBackground, f.ScrolllabelBackground);
    SkinApplyScrollLabel(skin, *w.imgScrolllabel, f.Scrolllabel);
    SkinApplyBar(skin, *w.imgProgressBar, f.ProgressBar);
    SkinApplySeekBar(skin, *w.imgProgressSeekbarBackground, *w.imgProgressSeekbarBar, f.ProgressSeekBar);
    const std::pair<THoverImage*, TKSButton*> transport[] = {
        {w.imgTJBackwardButton, &f.RewindButton}, {w.imgPlayButton, &f.PlayButton},
        {w.imgPauseButton, &f.PauseButton},       {w.imgStopButton, &f.StopButton},
        {w.imgTJForwardButton, &f.ForwardButton},
    };
    for (const auto& [control, element] : transport)
        SkinApplyButton(skin, *control, *element);
    SkinApplyBar(skin, *w.imgVolume, f.Volume);
    SkinApplySeekBar(skin, *w.imgVolumeSeekbarBackground, *w.imgVolumeSeekbarBar, f.VolumeSeekBar);
    SkinApplyCheckbox(skin, *w.imgMuteCheckbox, f.MuteCheckbox);
    SkinApplyTime(skin, *w.imgTime, f.Time);
}

} // namespace kolvarin
