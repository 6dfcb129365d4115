#include "forms/fullscreencontrol.h"

#include <QEvent>

#include "core/settings/kconfig.h"
#include "core/system/kglobals.h"
#include "forms/useractions.h"
#include "playback/ksystem.h"
#include "skin/kskinapply.h"
#include "skin/kskinelements.h"

namespace kolvarin {

bool BarIsControlled = false;
bool BarHidePending = false;
TfrmVideoFullscreenControl* frmVideoFullscreenControl = nullptr;

QPoint FullscreenBarPosition(uint8_t align, QRect monitor, QSize bar, QPoint current)
{
    const int W = monitor.width(), H = monitor.height(), w = bar.width(), h = bar.height();
    const int left = monitor.left(), centre = monitor.left() + W / 2 - w / 2, right = monitor.left() + W - w;
    const int top = monitor.top(), middle = monitor.top() + H / 2 - h / 2, bottom = monitor.top() + H - h;
    switch (align) {
    case bpTopLeft: return {left, top};
    case bpTop: return {centre, top};
    case bpTopRight: return {right, top};
    case bpLeft: return {left, middle};
    case bpRight: return {right, middle};
    case bpCenter: return {centre, middle};
    case bpBottomLeft: return {left, bottom};
    case bpBottom: return {centre, bottom};
    case bpBottomRight: return {right, bottom};
    default: return current;
    }
}

// What the display component holds. Showing and hiding it shows and hides
// the bar; it never shows itself.
class TfrmVideoFullscreenControl::Handle : public video::TVideoFullscreenControlForm {
public:
    explicit Handle(TfrmVideoFullscreenControl& bar) : bar_(bar) {}
    void SetPosition(const QRect& monitor) override { bar_.SetPosition(monitor); }
    void StartAutoHide() override { bar_.StartAutoHide(); }
    void FloatOver(QWidget& fullScreen) override { video::KeepAbove(bar_, fullScreen); }
    void setVisible(bool visible) override { bar_.setVisible(visible); }

private:
    TfrmVideoFullscreenControl& bar_;
};

TfrmVideoFullscreenControl::TfrmVideoFullscreenControl(TKGUI& skin)
    : TKSkinnedFullscreenControl(skin), handle_(std::make_unique<Handle>(*this))
{
    setWindowTitle(QStringLiteral("Kolvarin_Video_Fullscreen_Control"));
    frmVideoFullscreenControl = this;
    BarIsControlled = false;
    IsControledTimer.setInterval(3000);
    QObject::connect(&IsControledTimer, &QTimer::timeout, this, [this] { IsControledTimerTimer(); });
    QObject::connect(&MoveTimer, &QTimer::timeout, this, [this] { MoveTimerTimer(); });

    BindHover(*imgTJBackwardButton);
    BindHover(*imgPlayButton);
    BindHover(*imgPauseButton);
    BindHover(*imgStopButton);
    BindHover(*imgTJForwardButton);

    imgTime->OnMouseDown = [](TKControl&, TMouseButton button, TShiftState, int, int) {
        if (button != TMouseButton::mbLeft)
            return;
        BarIsControlled = true;
        if (Config)
            Config->TimeMode = Config->TimeMode == 0 ? 1 : 0;
    };
    imgTime->OnMouseUp = [this](TKControl&, TMouseButton button, TShiftState, int, int) {
        if (button == TMouseButton::mbLeft)
            IsControledTimer.start();
    };
    auto muteDown = imgMuteCheckbox->OnMouseDown;
    imgMuteCheckbox->OnMouseDown = [muteDown](TKControl& c, TMouseButton button, TShiftState shift, int x, int y) {
        if (button == TMouseButton::mbLeft)
            BarIsControlled = true;
        muteDown(c, button, shift, x, y);
    };
}

TfrmVideoFullscreenControl::~TfrmVideoFullscreenControl()
{
    if (frmVideoFullscreenControl == this)
        frmVideoFullscreenControl = nullptr;
}

video::TVideoFullscreenControlForm& TfrmVideoFullscreenControl::ControlForm() { return *handle_; }

void TfrmVideoFullscreenControl::BindHover(THoverImage& button)
{
    auto enter = button.OnMouseEnter;
    auto leave = button.OnMouseLeave;
    button.OnMouseEnter = [enter](TKControl& c) {
        enter(c);
        BarIsControlled = true;
    };
    // Every transport button clears the flag on leave, the play button too:
    // otherwise a hover over play kept the bar up until the next interaction.
    button.OnMouseLeave = [leave](TKControl& c) {
        leave(c);
        BarIsControlled = false;
    };
}

void TfrmVideoFullscreenControl::SetPosition(const QRect& monitor)
{
    move(FullscreenBarPosition(Skin().VideoFullscreenControl.Align, monitor, size(), pos()));
}

void TfrmVideoFullscreenControl::StartAutoHide()
{
    if (AppKilled)
        return;
    MoveTimer.start(50);
    BarHidePending = true;
}

void TfrmVideoFullscreenControl::MoveTimerTimer()
{
    if (!BarHidePending || BarIsControlled || AppKilled)
        return;
    MoveTimer.stop();
    BarHidePending = false;
    hide();
}

void TfrmVideoFullscreenControl::IsControledTimerTimer()
{
    IsControledTimer.stop();
    BarIsControlled = false;
}

void TfrmVideoFullscreenControl::LayoutBar()
{
    SkinApplyFormBackground(Skin(), *imgForm, Skin().VideoFullscreenControl.Form, *this);
    Panel().PaintBars();
}

void TfrmVideoFullscreenControl::ButtonClicked(THoverImage& button)
{
    if (&button == imgCloseButton) {
        if (OnClose)
            OnClose();
    } else if (&button == imgTJBackwardButton)
        SeekBackward();
    else if (&button == imgTJForwardButton)
        SeekForward();
    else if (!PlaySystem)
        return;
    else if (&button == imgPlayButton)
        SysPaused ? PlaySystem->Pause() : PlaySystem->StartPlay();
    else if (&button == imgPauseButton)
        PlaySystem->Pause();
    else if (&button == imgStopButton)
        PlaySystem->Stop(true);
}

void TfrmVideoFullscreenControl::CheckboxToggled(TKImage&)
{
    ToggleMute();
    IsControledTimer.start();
}

void TfrmVideoFullscreenControl::BarChanged(TKImage& bar, TKDragPhase phase)
{
    TKSVideoFullscreenControl& f = Skin().VideoFullscreenControl;
    if (&bar == imgVolume) {
        VolumeDragged(phase);
        return;
    }
    PositionDragged(TKBar{f.ProgressBar.Max, f.ProgressBar.Value}, phase);
    if (phase != TKDragPhase::Up)
        ShowTimeJump(f.ProgressBar.Value);
}

void TfrmVideoFullscreenControl::SeekBarChanged(TKImage& thumb, TKDragPhase phase)
{
    TKSVideoFullscreenControl& f = Skin().VideoFullscreenControl;
    if (phase == TKDragPhase::Reset)
        return;
    if (&thumb == imgVolumeSeekbarBar) {
        VolumeDragged(phase);
        return;
    }
    PositionDragged(TKBar{f.ProgressSeekBar.Max, f.ProgressSeekBar.Value}, phase);
    if (phase != TKDragPhase::Up)
        ShowTimeJump(f.ProgressSeekBar.Value);
}

void TfrmVideoFullscreenControl::PositionDragged(TKBar value, TKDragPhase phase)
{
    if (phase == TKDragPhase::Down) {
        BarIsControlled = true;
        Panel().BeginDrag(PlaySystem ? PlaySystem->View().StatusText() : std::u16string());
        return;
    }
    if (phase == TKDragPhase::Move) {
        BarIsControlled = true;
        return;
    }
    const std::u16string saved = Panel().EndDrag();
    if (PlaySystem)
        PlaySystem->SetPosition(value);
    if (PlaySystem)
        PlaySystem->View().SetStatusText(saved);
    IsControledTimer.start();
}

void TfrmVideoFullscreenControl::VolumeDragged(TKDragPhase phase)
{
    VolumeMoved(Panel(), phase);
    if (phase == TKDragPhase::Up)
        IsControledTimer.start();
    else
        BarIsControlled = true;
}

void TfrmVideoFullscreenControl::changeEvent(QEvent* event)
{
    TKSkinnedFullscreenControl::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        IsControledTimer.start();
}

void TfrmVideoFullscreenControl::hideEvent(QHideEvent* event)
{
    TKSkinnedFullscreenControl::hideEvent(event);
    if (PlaySystem && !AppKilled)
        PlaySystem->SwapMemory();
}

} // namespace kolvarin
