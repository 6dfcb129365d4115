#pragma once

#include <functional>

#include <QImage>
#include <QWidget>

#include "gdi/bitmap.h"

namespace kolvarin {

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// The shift state of a mouse or key event: modifier keys and held buttons.
using TShiftState = unsigned;
inline constexpr TShiftState ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64;

// A control of a skinned window: a child widget with a Tag and the mouse
// events the windows' handlers take (x and y relative to the control). A
// press captures the mouse until the release, so moves and the release of
// a drag reach the control that was pressed. Main thread only.
class TKControl : public QWidget {
public:
    explicit TKControl(QWidget* parent);

    int Tag = 0;

    using MouseButtonEvent = std::function<void(TKControl&, TMouseButton, TShiftState, int, int)>;
    using MouseMoveEvent = std::function<void(TKControl&, TShiftState, int, int)>;
    using NotifyEvent = std::function<void(TKControl&)>;
    MouseButtonEvent OnMouseDown;
    MouseButtonEvent OnMouseUp;
    MouseMoveEvent OnMouseMove;
    NotifyEvent OnDblClick;
    // The mouse came onto or left the control.
    NotifyEvent OnMouseEnter;
    NotifyEvent OnMouseLeave;

    // Left, top, width and height in the parent; negative sizes count as 0.
    void SetBounds(int left, int top, int width, int height);

    // The events as the window system would deliver them (tests use these).
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    void MouseMove(TShiftState shift, int x, int y);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
};

// The shift state of a mouse event.
TShiftState ShiftStateOf(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

// An image control: shows its picture at its top-left. When the control is
// transparent and the picture is marked transparent, the picture's
// transparent pixels show what lies below the control.
class TKImage : public TKControl {
public:
    explicit TKImage(QWidget* parent);

    const gdi::Bitmap& Picture() const { return picture_; }
    // Replaces the picture with a copy of the bitmap and repaints (when what
    // the control shows changes).
    void SetPicture(const gdi::Bitmap& bitmap);
    void ClearPicture() { SetPicture(gdi::Bitmap()); }
    // Drawing into the picture in place: call PictureChanged afterwards.
    gdi::Bitmap& EditPicture() { return picture_; }
    void PictureChanged();

    bool Transparent() const { return transparent_; }
    void SetTransparent(bool on);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    gdi::Bitmap picture_;
    QImage shown_;
    bool transparent_ = false;
};

// The picture as a Qt image; pixels of the transparent colour become fully
// transparent when keepTransparency is set and the bitmap is marked so.
QImage ToQImage(const gdi::Bitmap& bitmap, bool keepTransparency);

} // namespace kolvarin
