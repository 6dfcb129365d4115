#include "dialogs/pictogram.h"

#include <QPainter>
#include <QPixmap>

namespace kolvarin {

QIcon PictogramIcon(TPictogram draw, int side, qreal penWidth)
{
    QIcon icon;
    for (const int scale : {1, 2}) {
        QPixmap pixmap(side * scale, side * scale);
        pixmap.setDevicePixelRatio(scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(0x4C, 0xC2, 0xFF), penWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        draw(painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace kolvarin
