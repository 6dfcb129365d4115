#include "skin/barpopupmenu.h"

#include <QFontMetrics>
#include <QPainter>

#include "skin/kcontrol.h"

namespace kolvarin {

TBarPopupMenu::TBarPopupMenu(QWidget* parent) : QMenu(parent) { UpdateMargins(); }

void TBarPopupMenu::SetBarVisible(bool visible)
{
    barVisible_ = visible;
    UpdateMargins();
}

void TBarPopupMenu::SetBarWidth(int width)
{
    barWidth_ = std::max(width, 0);
    UpdateMargins();
}

void TBarPopupMenu::SetBitmap(const gdi::Bitmap& bitmap)
{
    bitmap_ = bitmap;
    update();
}

// Items are measured wider by the bar: they start right of it.
void TBarPopupMenu::UpdateMargins() { setContentsMargins(barVisible_ ? barWidth_ : 0, 0, 0, 0); }

QImage TBarPopupMenu::RenderSideBar(int height) const
{
    const int width = std::max(barWidth_ - 2, 0);
    if (width == 0 || height <= 0)
        return {};
    QImage bar(width, height, QImage::Format_RGB32);
    QPainter painter(&bar);
    for (int row = 0; row < height; ++row) {
        auto channel = [&](uint8_t (*get)(gdi::Color)) {
            const int from = get(GradientStart), to = get(GradientEnd);
            return from + (to - from) * row / height;
        };
        const QColor color =
            GradientStart == GradientEnd
                ? QColor(gdi::GetRValue(GradientStart), gdi::GetGValue(GradientStart), gdi::GetBValue(GradientStart))
                : QColor(channel(gdi::GetRValue), channel(gdi::GetGValue), channel(gdi::GetBValue));
        painter.setPen(color);
        painter.drawLine(0, row, width - 1, row);
    }
    const int bitmapHeight = bitmap_.empty() ? 0 : bitmap_.height();
    if (!VerticalText.empty()) {
        const QFont font = gdi::ToQFont(VerticalFont);
        painter.setFont(font);
        painter.setPen(QColor(gdi::GetRValue(VerticalFont.color), gdi::GetGValue(VerticalFont.color),
                              gdi::GetBValue(VerticalFont.color)));
        const QFontMetrics metrics(font);
        int start = height + VerticalTextOffsetY;
        if (BitmapVertAlignment == 1)
            start -= bitmapHeight;
        painter.save();
        // Written upwards, the letters' tops to the left, centred across the bar.
        painter.translate((width + metrics.ascent() - metrics.descent()) / 2, start);
        painter.rotate(-90);
        painter.drawText(0, 0, QString::fromStdU16String(VerticalText));
        painter.restore();
    }
    if (!bitmap_.empty()) {
        int y = BitmapOffsetY;
        if (BitmapVertAlignment == 1)
            y = height + BitmapOffsetY - bitmap_.height();
        else if (BitmapVertAlignment == 2)
            y = (height - bitmap_.height()) / 2 + BitmapOffsetY;
        int x = BitmapOffsetX;
        if (BitmapHorzAlignment == 1)
            x = width - bitmap_.width() + BitmapOffsetX;
        else if (BitmapHorzAlignment == 2)
            x = (width - bitmap_.width()) / 2 + BitmapOffsetX;
        painter.drawImage(x, y, ToQImage(bitmap_, true));
    }
    return bar;
}

void TBarPopupMenu::paintEvent(QPaintEvent* event)
{
    QMenu::paintEvent(event);
    if (!barVisible_)
        return;
    QPainter painter(this);
    painter.drawImage(0, 0, RenderSideBar(height()));
}

} // namespace kolvarin
