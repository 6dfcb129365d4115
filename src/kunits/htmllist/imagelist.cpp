#include "htmllist/imagelist.h"

#include <QPainter>

#include "gdi/qtimage.h"

namespace kolvarin {

int TImageList::Add(const QImage& image)
{
    images_.push_back(image.scaled(width_, height_).convertToFormat(QImage::Format_ARGB32_Premultiplied));
    return Count() - 1;
}

void TImageList::Draw(gdi::Canvas& canvas, int x, int y, int index) const
{
    Draw(canvas, gdi::Rect{x, y, x + width_, y + height_}, index);
}

void TImageList::Draw(gdi::Canvas& canvas, const gdi::Rect& rect, int index) const
{
    if (index < 0 || index >= Count())
        return;
    QImage target = gdi::WrapAsQImage(canvas.bitmap());
    if (target.isNull())
        return;
    QPainter painter(&target);
    painter.drawImage(QRect(rect.left, rect.top, rect.width(), rect.height()), images_[std::size_t(index)]);
}

} // namespace kolvarin
