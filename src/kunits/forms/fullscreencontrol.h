#pragma once

// TfrmVideoFullscreenControl: the skinned bar over full-screen video. The
// display component places and shows it through ControlForm() (its
// SetPosition and StartAutoHide come here) and asks it to hide after a
// quiet time; the bar hides only once the user stops working with it.
// One instance, frmVideoFullscreenControl. Main thread only.

#include <functional>
#include <memory>
#include <string>

#include <QRect>
#include <QScreen>
#include <QTimer>

#include "playback/ksystem.h"
#include "skin/kskinnedvideo.h"
#include "video/dskitvideowindow.h"

namespace kolvarin {

// The bar's top-left corner in monitor for the skin's position 0..8; other
// values keep current.
QPoint FullscreenBarPosition(uint8_t align, QRect monitor, QSize bar, QPoint current);

// The user works with the bar (press or hover): it does not hide meanwhile.
extern bool BarIsControlled;
// A hide was asked for and waits until the bar is not controlled.
extern bool BarHidePending;

class TfrmVideoFullscreenControl : public TKSkinnedFullscreenControl {
public:
    explicit TfrmVideoFullscreenControl(TKGUI& skin = GUI);
    ~TfrmVideoFullscreenControl() override;

    // What the display component holds: its show, hide, SetPosition and
    // StartAutoHide act on this bar.
    video::TVideoFullscreenControlForm& ControlForm();

    void SetPosition(const QRect& monitor);
    void StartAutoHide();
    // Background and volume control laid out from the skin (entering full
    // screen).
    void LayoutBar();

    // The close button: the video back in its window.
    std::function<void()> OnClose;

    QTimer IsControledTimer; // 3000 ms after the last interaction
    QTimer MoveTimer; // 50 ms ticks while a hide waits
    void MoveTimerTimer();
    void IsControledTimerTimer();

protected:
    void ButtonClicked(THoverImage& button) override;
    void CheckboxToggled(TKImage& box) override;
    void BarChanged(TKImage& bar, TKDragPhase phase) override;
    void SeekBarChanged(TKImage& thumb, TKDragPhase phase) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    class Handle;
    void BindHover(THoverImage& button);
    // A bar or seek bar moved by the mouse.
    void PositionDragged(TKBar value, TKDragPhase phase);
    void VolumeDragged(TKDragPhase phase);
    std::unique_ptr<Handle> handle_;
};

extern TfrmVideoFullscreenControl* frmVideoFullscreenControl;

} // namespace kolvarin
