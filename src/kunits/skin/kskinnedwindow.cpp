#include "skin/kskinnedwindow.h"

#include <QCursor>
#include <QWindow>

#include "skin/kform.h"
#include "skin/kskinelements.h"

namespace kolvarin {

QPoint CursorPos() { return QCursor::pos(); }

void TKSkinnedWindow::BindMover(TKControl& control, QWidget& window)
{
    control.OnMouseDown = [this, &window](TKControl& c, TMouseButton button, TShiftState, int x, int y) {
        FormActivate();
        if (button != TMouseButton::mbLeft)
            return;
        const QPoint global = c.mapToGlobal(QPoint(x, y));
        if (auto* form = dynamic_cast<TKForm*>(&window))
            form->StartSystemMove(global);
        else if (window.windowHandle())
            window.windowHandle()->startSystemMove();
    };
}

void TKSkinnedWindow::BindButton(THoverImage& control, TKSButton& element)
{
    control.OnMouseDown = [this, &element](TKControl& c, TMouseButton button, TShiftState, int, int) {
        SkinButtonMouseDown(skin_, static_cast<TKImage&>(c), element, button);
    };
    control.OnMouseEnter = [this, &element](TKControl& c) {
        SkinButtonMouseEnterLeave(skin_, static_cast<TKImage&>(c), element, true);
    };
    control.OnMouseLeave = [this, &element](TKControl& c) {
        SkinButtonMouseEnterLeave(skin_, static_cast<TKImage&>(c), element, false);
    };
    // A release counts as a click only while this button is the hovered one.
    control.OnMouseUp = [this, &element](TKControl& c, TMouseButton button, TShiftState, int, int) {
        const bool over = THoverImage::HoveredImage() == &c;
        if (SkinButtonMouseUp(skin_, static_cast<TKImage&>(c), element, button, over))
            ButtonClicked(static_cast<THoverImage&>(c));
    };
}

void TKSkinnedWindow::BindCheckbox(TKImage& control, TKSCheckbox& element)
{
    control.OnMouseDown = [this, &element](TKControl& c, TMouseButton button, TShiftState, int, int) {
        if (button == TMouseButton::mbLeft)
            SkinCheckboxMouseDown(skin_, static_cast<TKImage&>(c), element);
    };
    control.OnMouseUp = [this, &element](TKControl& c, TMouseButton button, TShiftState, int, int) {
        if (button != TMouseButton::mbLeft)
            return;
        SkinCheckboxMouseUp(skin_, static_cast<TKImage&>(c), element);
        CheckboxToggled(static_cast<TKImage&>(c));
    };
}

void TKSkinnedWindow::BindBar(TKImage& control, TKSBar& element)
{
    control.OnMouseDown = [this, &element](TKControl& c, TMouseButton button, TShiftState, int x, int y) {
        if (c.Tag == -1 || button != TMouseButton::mbLeft)
            return;
        SkinBarMouseDown(skin_, static_cast<TKImage&>(c), element, button, x, y);
        BarChanged(static_cast<TKImage&>(c), TKDragPhase::Down);
    };
    control.OnMouseMove = [this, &element](TKControl& c, TShiftState shift, int x, int y) {
        if (c.Tag == -1 || shift != ssLeft)
            return;
        SkinBarMouseMove(skin_, static_cast<TKImage&>(c), element, shift, x, y);
        BarChanged(static_cast<TKImage&>(c), TKDragPhase::Move);
    };
    control.OnMouseUp = [this](TKControl& c, TMouseButton button, TShiftState, int, int) {
        if (c.Tag != -1 && button == TMouseButton::mbLeft)
            BarChanged(static_cast<TKImage&>(c), TKDragPhase::Up);
    };
}

void TKSkinnedWindow::BindSeekBar(TKImage& background, TKImage& thumb, TKSSeekBar& element)
{
    TKImage* bg = &background;
    thumb.OnMouseDown = [this, &element](TKControl& c, TMouseButton button, TShiftState shift, int x, int y) {
        if (c.Tag == -1)
            return;
        auto& t = static_cast<TKImage&>(c);
        if (button == TMouseButton::mbRight || (shift & ssDouble)) {
            SeekBarChanged(t, TKDragPhase::Reset);
        } else if (button == TMouseButton::mbLeft) {
            SkinSeekBarMouseDown(skin_, t, element, button, x, y);
            SeekBarChanged(t, TKDragPhase::Down);
        }
    };
    thumb.OnMouseMove = [this, bg, &element](TKControl& c, TShiftState shift, int x, int y) {
        if (c.Tag == -1 || !(shift & ssLeft))
            return;
        auto& t = static_cast<TKImage&>(c);
        SkinSeekBarMouseMove(skin_, *bg, t, element, shift, x, y);
        SeekBarChanged(t, TKDragPhase::Move);
    };
    thumb.OnMouseUp = [this, &element](TKControl& c, TMouseButton button, TShiftState, int, int) {
        if (c.Tag == -1 || button != TMouseButton::mbLeft)
            return;
        auto& t = static_cast<TKImage&>(c);
        SkinSeekBarMouseUp(skin_, t, element);
        SeekBarChanged(t, TKDragPhase::Up);
    };
}

} // namespace kolvarin
