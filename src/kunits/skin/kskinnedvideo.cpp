#include "skin/kskinnedvideo.h"

#include "core/desktop/kbitmaps.h"
#include "core/system/kglobals.h"
#include "skin/kskinelements.h"

namespace kolvarin {

TKSkinnedVideo::TKSkinnedVideo(TKGUI& skin) : QWidget(nullptr, Qt::FramelessWindowHint), TKSkinnedWindow(skin)
{
    setObjectName(QStringLiteral("frmVideo"));
    setWindowTitle(QStringLiteral("Video"));
    imgForm = new TKPaintbox(this);
    pnlVideo = new QWidget(this);
    pnlVideo->setAutoFillBackground(true);
    QPalette black = pnlVideo->palette();
    black.setColor(QPalette::Window, Qt::black);
    pnlVideo->setPalette(black);
    imgCaptionBar = new TKImage(this);
    imgResizer = new TKImage(this);

    TKSVideo& v = skin.Video;
    imgForm->OnPaint = [&v](TKPaintbox& box) { BlitBitmap(v.ResizeForm.Background, box.Surface()); };
    BindMover(*imgForm, *this);
    BindMover(*imgCaptionBar, *this);
}

void TKSkinnedVideo::FormResize()
{
    TKGUI& skin = Skin();
    if (!skin.Loaded || AppKilled)
        return;
    TKSVideo& v = skin.Video;
    SkinPlaceGripAndCaption(*this, *imgResizer, *imgCaptionBar);
    SkinPaintResizeForm(skin, *imgForm, v.ResizeForm, *this);
    SkinPlaceVideoWindow(skin, *pnlVideo, v.ResizeForm, v.VideoWindow);
}

void TKSkinnedVideo::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    FormResize();
}

TKSkinnedFullscreenControl::TKSkinnedFullscreenControl(TKGUI& skin)
    : QWidget(nullptr, Qt::FramelessWindowHint | Qt::Tool | Qt::WindowStaysOnTopHint), TKSkinnedWindow(skin)
{
    setObjectName(QStringLiteral("frmVideoFullscreenControl"));
    imgForm = new TKImage(this);
    imgScrollabelBackground = new TKImage(this);
    imgScrolllabel = new TKPaintbox(this);
    imgProgressBar = new TKImage(this);
    imgProgressSeekbarBackground = new TKImage(this);
    imgProgressSeekbarBar = new TKImage(this);
    imgVolume = new TKImage(this);
    imgVolumeSeekbarBackground = new TKImage(this);
    imgVolumeSeekbarBar = new TKImage(this);
    imgCloseButton = new THoverImage(this);
    imgTJBackwardButton = new THoverImage(this);
    imgPlayButton = new THoverImage(this);
    imgPauseButton = new THoverImage(this);
    imgStopButton = new THoverImage(this);
    imgTJForwardButton = new THoverImage(this);
    imgMuteCheckbox = new TKImage(this);
    imgTime = new TKImage(this);

    TKSVideoFullscreenControl& f = skin.VideoFullscreenControl;
    const std::pair<THoverImage*, TKSButton*> buttons[] = {
        {imgCloseButton, &f.CloseButton}, {imgTJBackwardButton, &f.RewindButton},
        {imgPlayButton, &f.PlayButton},   {imgPauseButton, &f.PauseButton},
        {imgStopButton, &f.StopButton},   {imgTJForwardButton, &f.ForwardButton},
    };
    for (const auto& [control, element] : buttons)
        BindButton(*control, *element);
    BindCheckbox(*imgMuteCheckbox, f.MuteCheckbox);
    BindBar(*imgProgressBar, f.ProgressBar);
    BindBar(*imgVolume, f.Volume);
    BindSeekBar(*imgProgressSeekbarBackground, *imgProgressSeekbarBar, f.ProgressSeekBar);
    BindSeekBar(*imgVolumeSeekbarBackground, *imgVolumeSeekbarBar, f.VolumeSeekBar);
    panel_.emplace(skin, f, *this);
}

} // namespace kolvarin
