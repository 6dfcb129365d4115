#include "skin/kskinnedmain.h"

#include "core/desktop/kbitmaps.h"
#include "core/desktop/kwindowicon.h"
#include "core/system/kglobals.h"
#include "skin/kskinelements.h"
#include "skin/kskinnedvideo.h"
#include "skin/spectrum_vis.h"

namespace kolvarin {

TKSkinnedMain::TKSkinnedMain(TKGUI& skin) : TKSkinnedWindow(skin)
{
    Tag = kTagMaster;
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Kolvarin_Main"));
    resize(380, 170);

    imgForm = new TKImage(this);
    imgCaptionbar = new TKImage(this);
    imgAnalyzer = new TKPaintbox(this);
    imgScrollabelBackground = new TKImage(this);
    imgScrolllabel = new TKPaintbox(this);
    imgProgressBar = new TKImage(this);
    imgProgressSeekbarBackground = new TKImage(this);
    imgProgressSeekbarBar = new TKImage(this);
    imgVolume = new TKImage(this);
    imgVolumeSeekbarBackground = new TKImage(this);
    imgVolumeSeekbarBar = new TKImage(this);
    imgBalanceBackground = new TKImage(this);
    imgBalanceBar = new TKImage(this);
    imgCloseButton = new THoverImage(this);
    imgMinimizeButton = new THoverImage(this);
    imgRewindButton = new THoverImage(this);
    imgPlayButton = new THoverImage(this);
    imgPauseButton = new THoverImage(this);
    imgStopButton = new THoverImage(this);
    imgForwardButton = new THoverImage(this);
    imgEjectButton = new THoverImage(this);
    imgConfigButton = new THoverImage(this);
    imgMuteCheckbox = new TKImage(this);
    imgPlaymodeCheckbox = new TKImage(this);
    imgAutofullscreenCheckbox = new TKImage(this);
    imgAutoVideoResizeCheckbox = new TKImage(this);
    imgPlaylistCheckbox = new TKImage(this);
    imgEqualizerCheckbox = new TKImage(this);
    imgTime = new TKImage(this);
    imgStatus = new TKImage(this);
    popmMain = new TBarPopupMenu(this);
    popmMain->VerticalText = u"KMain";
    popmMain->GradientStart = gdi::RGB(0, 0, 0);
    setWindowIcon(ProgramIcon());
    KTrayIcon1.SetIcon(ProgramIcon());
    KTrayIcon1.PopupMenu = popmMain;

    TKSMain& m = skin.Main;
    BindMover(*imgForm, *this);
    BindMover(*imgCaptionbar, *this);
    const std::pair<THoverImage*, TKSButton*> buttons[] = {
        {imgCloseButton, &m.CloseButton},     {imgMinimizeButton, &m.MinimizeButton},
        {imgRewindButton, &m.RewindButton},   {imgPlayButton, &m.PlayButton},
        {imgPauseButton, &m.PauseButton},     {imgStopButton, &m.StopButton},
        {imgForwardButton, &m.ForwardButton}, {imgEjectButton, &m.EjectButton},
        {imgConfigButton, &m.ConfigButton},
    };
    for (const auto& [control, element] : buttons)
        BindButton(*control, *element);
    const std::pair<TKImage*, TKSCheckbox*> boxes[] = {
        {imgMuteCheckbox, &m.MuteCheckbox},
        {imgPlaymodeCheckbox, &m.PlaymodeCheckbox},
        {imgAutofullscreenCheckbox, &m.AutofullscreenCheckbox},
        {imgAutoVideoResizeCheckbox, &m.AutoVideoResizeCheckbox},
        {imgPlaylistCheckbox, &m.PlaylistCheckbox},
        {imgEqualizerCheckbox, &m.EqualizerCheckbox},
    };
    for (const auto& [control, element] : boxes)
        BindCheckbox(*control, *element);
    BindBar(*imgProgressBar, m.ProgressBar);
    BindBar(*imgVolume, m.Volume);
    BindSeekBar(*imgProgressSeekbarBackground, *imgProgressSeekbarBar, m.ProgressSeekBar);
    BindSeekBar(*imgVolumeSeekbarBackground, *imgVolumeSeekbarBar, m.VolumeSeekBar);
    BindSeekBar(*imgBalanceBackground, *imgBalanceBar, m.Balance);

    AnalyzerSLTimer.setInterval(45);
    QObject::connect(&AnalyzerSLTimer, &QTimer::timeout, [this] { AnalyzerSLTimerTimer(); });
    AnalyzerSLTimer.start();
}

void TKSkinnedMain::AnalyzerSLTimerTimer()
{
    if (!AppInitialized || AppKilled || !Skin().Loaded)
        return;
    TKGUI& skin = Skin();
    SkinScrollLabelPaint(skin, *imgScrolllabel, *imgScrollabelBackground, skin.Main.ScrolllabelBackground,
                         skin.Main.Scrolllabel);
    if (FullscreenControl && FullscreenControl->isVisible()) {
        TKSVideoFullscreenControl& f = skin.VideoFullscreenControl;
        SkinScrollLabelPaint(skin, *FullscreenControl->imgScrolllabel, *FullscreenControl->imgScrollabelBackground,
                             f.ScrolllabelBackground, f.Scrolllabel);
    }
    PaintAnalyzer();
}

void TKSkinnedMain::PaintAnalyzer()
{
    const TKSAnalyzer& a = Skin().Main.Analyzer;
    gdi::Bitmap& surface = imgAnalyzer->Surface();
    std::array<float, TSpectrum::kValues> values{};
    if (Spectrum && SpectrumShown && a.Visible && SpectrumData && SpectrumData(values)) {
        const int extent = a.Align == 0 ? imgAnalyzer->width() : imgAnalyzer->height();
        Spectrum->Draw(surface, values, SpectrumCount(extent, a.BarWidth, SpectrumStyle), a.Align);
    } else {
        BlitBitmap(a.Bitmap, surface);
    }
    imgAnalyzer->Invalidate();
}

} // namespace kolvarin
