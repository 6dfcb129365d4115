#include "dialogs/captionstrip.h"

#include <algorithm>
#include <cmath>

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include "gdi/canvas.h"

namespace kolvarin {

namespace {

QColor rgb(unsigned value) { return QColor::fromRgb(QRgb(value)); }

} // namespace

TCaptionStrip::TCaptionStrip(QWidget* parent) : QWidget(parent)
{
    setCursor(Qt::SizeAllCursor);
    window()->installEventFilter(this);
}

bool TCaptionStrip::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::WindowTitleChange)
        update();
    return QWidget::eventFilter(watched, event);
}

void TCaptionStrip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), rgb(dialogcolors::Panel));
    painter.fillRect(QRect(0, height() - 1, width(), 1), rgb(dialogcolors::Edge));
    painter.fillRect(QRect(0, 0, 3, height() - 1), rgb(dialogcolors::Accent));
    QFont font = painter.font();
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(rgb(dialogcolors::Text));
    painter.drawText(rect().adjusted(10, 0, -10, -1), Qt::AlignVCenter | Qt::AlignLeft, window()->windowTitle());
}

void TCaptionStrip::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    QWindow* handle = window()->windowHandle();
    if (handle && handle->startSystemMove())
        return;
    dragging_ = true;
    grab_ = event->globalPosition().toPoint() - window()->frameGeometry().topLeft();
}

void TCaptionStrip::mouseMoveEvent(QMouseEvent* event)
{
    if (dragging_)
        window()->move(event->globalPosition().toPoint() - grab_);
}

void TCaptionStrip::mouseReleaseEvent(QMouseEvent*) { dragging_ = false; }

void ApplyDialogPalette(QWidget* dialog)
{
    QPalette palette = dialog->palette();
    palette.setColor(QPalette::Window, rgb(dialogcolors::Body));
    palette.setColor(QPalette::WindowText, rgb(dialogcolors::Text));
    palette.setColor(QPalette::Button, rgb(dialogcolors::Panel));
    palette.setColor(QPalette::ButtonText, rgb(dialogcolors::Text));
    palette.setColor(QPalette::Base, rgb(dialogcolors::Panel));
    palette.setColor(QPalette::Text, rgb(dialogcolors::Text));
    palette.setColor(QPalette::Highlight, rgb(dialogcolors::Accent));
    palette.setColor(QPalette::Link, rgb(dialogcolors::Accent));
    dialog->setPalette(palette);
    dialog->setAutoFillBackground(true);
}

QSize DesignedSize(QSize designed, const QFont& font)
{
    const double tahoma8 = QFontMetricsF(gdi::ToQFont(gdi::Font{.name = u"Tahoma", .size = 8})).height();
    const double scale = std::max(1.0, QFontMetricsF(font).height() / tahoma8);
    return {static_cast<int>(std::lround(designed.width() * scale)),
            static_cast<int>(std::lround(designed.height() * scale))};
}

} // namespace kolvarin
