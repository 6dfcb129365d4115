#include "skin/kcontrol.h"

#include <QMouseEvent>
#include <QPainter>

namespace kolvarin {

namespace {

TMouseButton ButtonOf(Qt::MouseButton button)
{
    switch (button) {
    case Qt::RightButton: return TMouseButton::mbRight;
    case Qt::MiddleButton: return TMouseButton::mbMiddle;
    default: return TMouseButton::mbLeft;
    }
}

int X(const QMouseEvent* e) { return static_cast<int>(e->position().x()); }
int Y(const QMouseEvent* e) { return static_cast<int>(e->position().y()); }

} // namespace

TShiftState ShiftStateOf(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    TShiftState shift = 0;
    if (modifiers & Qt::ShiftModifier)
        shift |= ssShift;
    if (modifiers & Qt::AltModifier)
        shift |= ssAlt;
    if (modifiers & Qt::ControlModifier)
        shift |= ssCtrl;
    if (buttons & Qt::LeftButton)
        shift |= ssLeft;
    if (buttons & Qt::RightButton)
        shift |= ssRight;
    if (buttons & Qt::MiddleButton)
        shift |= ssMiddle;
    return shift;
}

TKControl::TKControl(QWidget* parent) : QWidget(parent) {}

void TKControl::SetBounds(int left, int top, int width, int height)
{
    setGeometry(left, top, std::max(width, 0), std::max(height, 0));
}

void TKControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseDown)
        OnMouseDown(*this, button, shift, x, y);
}

void TKControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseUp)
        OnMouseUp(*this, button, shift, x, y);
}

void TKControl::MouseMove(TShiftState shift, int x, int y)
{
    if (OnMouseMove)
        OnMouseMove(*this, shift, x, y);
}

void TKControl::mousePressEvent(QMouseEvent* event)
{
    MouseDown(ButtonOf(event->button()), ShiftStateOf(event->buttons(), event->modifiers()), X(event), Y(event));
}

void TKControl::mouseReleaseEvent(QMouseEvent* event)
{
    MouseUp(ButtonOf(event->button()), ShiftStateOf(event->buttons(), event->modifiers()), X(event), Y(event));
}

void TKControl::mouseMoveEvent(QMouseEvent* event)
{
    MouseMove(ShiftStateOf(event->buttons(), event->modifiers()), X(event), Y(event));
}

// The second press of a double click: the double-click event, then a press
// that carries ssDouble.
void TKControl::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (OnDblClick && event->button() == Qt::LeftButton)
        OnDblClick(*this);
    MouseDown(ButtonOf(event->button()), ShiftStateOf(event->buttons(), event->modifiers()) | ssDouble, X(event),
              Y(event));
}

void TKControl::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    if (OnMouseEnter)
        OnMouseEnter(*this);
}

void TKControl::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    if (OnMouseLeave)
        OnMouseLeave(*this);
}

QImage ToQImage(const gdi::Bitmap& bitmap, bool keepTransparency)
{
    if (bitmap.empty())
        return {};
    QImage image(bitmap.width(), bitmap.height(), QImage::Format_ARGB32);
    const bool clear = keepTransparency && bitmap.transparent();
    const gdi::Color key = bitmap.transparentColor();
    const int step = bitmap.bytesPerPixel();
    for (int y = 0; y < bitmap.height(); ++y) {
        const uint8_t* src = bitmap.scanLine(y);
        auto* dest = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < bitmap.width(); ++x, src += step) {
            const gdi::Color c = gdi::RGB(src[2], src[1], src[0]);
            dest[x] = clear && c == key ? qRgba(0, 0, 0, 0) : qRgb(src[2], src[1], src[0]);
        }
    }
    return image;
}

TKImage::TKImage(QWidget* parent) : TKControl(parent) {}

void TKImage::SetPicture(const gdi::Bitmap& bitmap)
{
    picture_ = bitmap;
    PictureChanged();
}

void TKImage::PictureChanged()
{
    QImage next = ToQImage(picture_, transparent_);
    // The play timer sets the same time digits and bars again and again.
    if (next == shown_)
        return;
    shown_ = std::move(next);
    update();
}

void TKImage::SetTransparent(bool on)
{
    if (transparent_ == on)
        return;
    transparent_ = on;
    PictureChanged();
}

void TKImage::paintEvent(QPaintEvent*)
{
    if (shown_.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(0, 0, shown_);
}

} // namespace kolvarin
