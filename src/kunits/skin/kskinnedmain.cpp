#include "skin/kskinnedmain.h"

#include <QEvent>

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
    panel_.emplace(skin, m, *this);

    AnalyzerSLTimer.setInterval(45);
    QObject::connect(&AnalyzerSLTimer, &QTimer::timeout, [this] { AnalyzerSLTimerTimer(); });
    AnalyzerSLTimer.start();
}

void TKSkinnedMain::SetFullscreenControl(TKSkinnedFullscreenControl* bar)
{
    if (FullscreenControl)
        FullscreenControl->removeEventFilter(this);
    FullscreenControl = bar;
    if (bar)
        bar->installEventFilter(this);
}

std::vector<TKTransportPanel*> TKSkinnedMain::Panels()
{
    std::vector<TKTransportPanel*> panels{&Panel()};
    if (FullscreenControl)
        panels.push_back(&FullscreenControl->Panel());
    return panels;
}

bool TKSkinnedMain::AnalyzerSeen() const
{
    return (isVisible() && !isMinimized()) || (FullscreenControl && FullscreenControl->isVisible());
}

void TKSkinnedMain::showEvent(QShowEvent* event)
{
    TKForm::showEvent(event);
    AnalyzerSLTimer.start();
}

void TKSkinnedMain::changeEvent(QEvent* event)
{
    TKForm::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && !isMinimized() && !AnalyzerSLTimer.isActive())
        AnalyzerSLTimer.start();
}

bool TKSkinnedMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == FullscreenControl && event->type() == QEvent::Show && !AnalyzerSLTimer.isActive())
        AnalyzerSLTimer.start();
    return TKForm::eventFilter(watched, event);
}

void TKSkinnedMain::AnalyzerSLTimerTimer()
{
    if (!AppInitialized || AppKilled || !Skin().Loaded)
        return;
    if (!AnalyzerSeen()) {
        AnalyzerSLTimer.stop();
        return;
    }
    // A label that does not move was drawn when its text was set.
    Panel().ScrollStep();
    if (FullscreenControl && FullscreenControl->isVisible())
        FullscreenControl->Panel().ScrollStep();
    // Nothing to animate while nothing plays: the last frame stays.
    if (!PaintAnalyzer() && !SysPlayed)
        AnalyzerSLTimer.stop();
}

bool TKSkinnedMain::PaintAnalyzer()
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
    // Silence, a steady tone and the idle background repeat their frame.
    return imgAnalyzer->InvalidateChanged();
}

} // namespace kolvarin
