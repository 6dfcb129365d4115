#pragma once

#include <QPoint>

#include "skin/hoverimage.h"
#include "skin/kcontrol.h"
#include "skin/kgui.h"

class QWidget;

namespace kolvarin {

// What a seek bar, fill bar or scroll thumb reports to its window.
enum class TKDragPhase {
    Down, // pressed with the left button: the value may have changed
    Move, // dragged with the left button held: the value changed
    Up, // released
    Reset, // double click or right-button press: the window sets its reset value
};

// The skin behaviour shared by the skinned windows: binds each control to
// its element record so that the element routines give it its look and
// mouse behaviour, and reports what the user did through the virtual
// hooks below, which the windows override to act (play, volume, ...).
// A window that needs another sequence for a control replaces that
// control's On* handler. The record must outlive the window. Main thread
// only.
class TKSkinnedWindow {
public:
    explicit TKSkinnedWindow(TKGUI& skin) : skin_(skin) {}
    virtual ~TKSkinnedWindow() = default;

    TKGUI& Skin() const { return skin_; }

protected:
    // A button was clicked: released with the left button over it.
    virtual void ButtonClicked(THoverImage&) {}
    // A check box was toggled (its Tag is now the checked flag).
    virtual void CheckboxToggled(TKImage&) {}
    // A fill bar's value was set by the mouse (Down, Move) or released (Up).
    virtual void BarChanged(TKImage&, TKDragPhase) {}
    // A seek bar's thumb was pressed, dragged, released or asked to reset.
    virtual void SeekBarChanged(TKImage& /*thumb*/, TKDragPhase) {}
    // The window is being activated by a press on its surface or caption.
    virtual void FormActivate() {}

    // The window is moved by a press on the control (background, caption).
    void BindMover(TKControl& control, QWidget& window);
    void BindButton(THoverImage& control, TKSButton& element);
    void BindCheckbox(TKImage& control, TKSCheckbox& element);
    // Bars whose control's Tag is -1 ignore the mouse.
    void BindBar(TKImage& control, TKSBar& element);
    void BindSeekBar(TKImage& background, TKImage& thumb, TKSSeekBar& element);

private:
    TKGUI& skin_;
};

// The cursor's screen position (the point a system move starts from).
QPoint CursorPos();

} // namespace kolvarin
