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

QPalette DialogPalette()
{
    using namespace dialogcolors;
    QPalette palette;
    const struct {
        QPalette::ColorRole role;
        unsigned colour;
    } roles[] = {
        {QPalette::Window, Body},
        {QPalette::WindowText, Text},
        {QPalette::Base, Panel},
        {QPalette::AlternateBase, Hover},
        {QPalette::Text, Text},
        {QPalette::PlaceholderText, Secondary},
        {QPalette::Button, Panel},
        {QPalette::ButtonText, Text},
        {QPalette::BrightText, 0xFFFFFF},
        {QPalette::Highlight, AccentPressed},
        {QPalette::HighlightedText, 0xFFFFFF},
        {QPalette::Link, Accent},
        {QPalette::LinkVisited, AccentPressed},
        {QPalette::ToolTipBase, Panel},
        {QPalette::ToolTipText, Text},
        // The bevels the style draws from these stay within the dark body.
        {QPalette::Light, 0x3C4350},
        {QPalette::Midlight, Edge},
        {QPalette::Mid, Hover},
        {QPalette::Dark, 0x16181D},
        {QPalette::Shadow, 0x0E1013},
    };
    for (const auto& r : roles)
        palette.setColor(r.role, rgb(r.colour));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, rgb(Disabled));
    return palette;
}

void ApplyDialogPalette(QWidget* dialog)
{
    dialog->setPalette(DialogPalette());
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
