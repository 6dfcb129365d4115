#include "dialogs/indicatorstyle.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyleOption>

namespace kolvarin {

void TIndicatorStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                    const QWidget* widget) const
{
    if (element != PE_IndicatorCheckBox && element != PE_IndicatorRadioButton) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    const bool on = option->state & (State_On | State_NoChange);
    const bool enabled = option->state & State_Enabled;
    const QColor accent = enabled ? QColor(0x4C, 0xC2, 0xFF) : QColor(0x3A, 0x5A, 0x6E);
    const QColor edge =
        option->state & State_MouseOver && enabled ? QColor(0x4C, 0xC2, 0xFF) : QColor(0x5A, 0x62, 0x72);
    const QRectF box = QRectF(option->rect).adjusted(1.5, 1.5, -1.5, -1.5);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(on ? accent : edge, 1.2));
    painter->setBrush(on ? accent : QColor(0x1D, 0x20, 0x26));
    if (element == PE_IndicatorRadioButton) {
        painter->drawEllipse(box);
        if (on) {
            painter->setPen(Qt::NoPen);
            painter->setBrush(QColor(0x1D, 0x20, 0x26));
            painter->drawEllipse(box.center(), box.width() / 4.5, box.height() / 4.5);
        }
    } else {
        painter->drawRoundedRect(box, 3, 3);
        if (on) {
            QPainterPath mark;
            mark.moveTo(box.left() + box.width() * 0.24, box.top() + box.height() * 0.52);
            mark.lineTo(box.left() + box.width() * 0.43, box.top() + box.height() * 0.72);
            mark.lineTo(box.left() + box.width() * 0.78, box.top() + box.height() * 0.3);
            painter->setPen(QPen(QColor(0xFF, 0xFF, 0xFF), 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter->setBrush(Qt::NoBrush);
            painter->drawPath(mark);
        }
    }
    painter->restore();
}

int TIndicatorStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const
{
    switch (metric) {
    case PM_IndicatorWidth:
    case PM_IndicatorHeight:
    case PM_ExclusiveIndicatorWidth:
    case PM_ExclusiveIndicatorHeight: return 16;
    default: return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

} // namespace kolvarin
