#include "skin/kpaintbox.h"

#include <cstring>

#include <QPainter>

#include "gdi/qtimage.h"

namespace kolvarin {

namespace {

// Byte by byte, row by row: a frame is compared on every timer tick.
bool SamePixels(const gdi::Bitmap& a, const gdi::Bitmap& b)
{
    if (a.width() != b.width() || a.height() != b.height() || a.pixelFormat() != b.pixelFormat())
        return false;
    const size_t row = size_t(a.width()) * size_t(a.bytesPerPixel());
    for (int y = 0; y < a.height(); ++y)
        if (std::memcmp(a.scanLine(y), b.scanLine(y), row) != 0)
            return false;
    return true;
}

} // namespace

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

bool TKPaintbox::InvalidateChanged()
{
    if (SamePixels(Surface(), shown_))
        return false;
    update();
    return true;
}

void TKPaintbox::paintEvent(QPaintEvent*)
{
    Paint();
    shown_ = Surface();
    if (surface_.empty())
        return;
    QPainter painter(this);
    painter.drawImage(0, 0, gdi::ViewAsQImage(surface_));
}

} // namespace kolvarin
