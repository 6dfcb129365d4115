#include "skin/kskinnedmediacontrols.h"

namespace kolvarin {

TKSkinnedMediaControls::TKSkinnedMediaControls(TKGUI& skin) : TKSkinnedWindow(skin)
{
    setObjectName(QStringLiteral("frmMediaControls"));
    setWindowTitle(QStringLiteral("Media Controls"));
    resize(377, 185);

    imgForm = new TKImage(this);
    imgCaptionbar = new TKImage(this);
    imgSpeedBackground = new TKImage(this);
    imgSpeedBar = new TKImage(this);
    for (size_t band = 0; band < imgEQBar.size(); ++band) {
        imgEQBackground[band] = new TKImage(this);
        imgEQBar[band] = new TKImage(this);
    }
    popmMediaControls = new TBarPopupMenu(this);
    popmMediaControls->VerticalText = u"KMediaControls";
    popmMediaControls->GradientStart = gdi::RGB(0, 0, 0);

    TKSMediaControls& mc = skin.MediaControls;
    BindMover(*imgForm, *this);
    BindMover(*imgCaptionbar, *this);
    BindSeekBar(*imgSpeedBackground, *imgSpeedBar, mc.SpeedSeekBar);
    for (size_t band = 0; band < imgEQBar.size(); ++band)
        BindSeekBar(*imgEQBackground[band], *imgEQBar[band], mc.Equalizer[band]);
}

} // namespace kolvarin
