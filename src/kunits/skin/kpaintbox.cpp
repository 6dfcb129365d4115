#include "skin/kpaintbox.h"

#include <QPainter>

#include "gdi/qtimage.h"

namespace kolvarin {

TKPaintbox::TKPaintbox(QWidget* parent) : TKControl(parent)
{
    // Nothing is erased: every pixel comes from the surface.
    setAttribute(Qt::WA_OpaquePaintEvent);
    SetBounds(0, 0, 105, 105);
}

gdi::Bitmap& TKPaintbox::Surface()
{
    if (surface_.width() != width() || surface_.height() != height())
        surface_.setSize(width(), height());
    return surface_;
}

void TKPaintbox::Paint()
{
    if (OnPaint)
        OnPaint(*this);
}

void TKPaintbox::paintEvent(QPaintEvent*)
{
    Paint();
    if (Surface().empty())
        return;
    QPainter painter(this);
    painter.drawImage(0, 0, gdi::ViewAsQImage(surface_));
}

} // namespace kolvarin
